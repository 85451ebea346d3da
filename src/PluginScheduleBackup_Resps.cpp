// SPDX-License-Identifier: BSD-3-Clause
// Handlers of the server's replies: they match replies to requests, load the time-card into the
// properties and report each outcome to the page.

#include "PluginScheduleBackup.h"

#include "PluginScheduleBackupCommon.h"
#include "PluginScheduleBackup_Log.h"
#include "PluginScheduleBackup_TimeFrame.h"
#include "XML2Json.h"

#include <QSet>

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <optional>

using namespace PluginScheduleBackupCommon;
using TimeFrame::BYTES_PER_MEGABYTE;
using TimeFrame::KEY_MAPPING;
using TimeFrame::MINUTES_PER_DAY;

namespace {
const QString ALL_CAMERAS_TAGVALUE = QStringLiteral("__allcams__");

const QString RESULT_SUCCESS = QStringLiteral("0");
const QString KEY_TMCARD_ROOT = QStringLiteral("GetBkpTmcardRes");
const QString KEY_TMCARD = QStringLiteral("Tmcard");
const QString KEY_CAM_LIST = QStringLiteral("CamList");
const QString KEY_CAM = QStringLiteral("Cam");
const QString KEY_TEXT = QStringLiteral("#text");
const QString KEY_GROUP = QStringLiteral("@GrpID");
const QString KEY_STATUS_ROOT = QStringLiteral("GetBackupStatusRes");
const QString KEY_STATUS = QStringLiteral("Status");
const QString KEY_INTERVAL = QStringLiteral("BackupInterval");
const QString KEY_PROGRESS = QStringLiteral("BackupProgress");

// Limits that do not fit the property's int saturate instead of wrapping.
int saturatedQuotient(qint64 value, qint64 divisor)
{
    const qint64 quotient = value / divisor;
    if (quotient > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (quotient < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(quotient);
}

// A value as QVariant::toString() gives it, without a conversion when it already is text.
QString textOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString)
        return *static_cast<const QString*>(value.constData());
    return value.toString();
}

QString memberText(const QVariantMap& map, const QString& key)
{
    const auto it = map.constFind(key);
    return it == map.cend() ? QString() : textOf(it.value());
}

// A camera element with a group attribute is a map; one without it arrives as its plain text.
// The identifier is returned as the tree's own string where it holds one, else it is converted
// into `converted`: reading a camera then writes nothing, not even a reference count.
const QString& cameraIdOf(const QVariant& camera, QString& converted)
{
    if (camera.typeId() != QMetaType::QVariantMap)
        return converted = camera.toString();
    const auto& map = *static_cast<const QVariantMap*>(camera.constData());
    // "#text" sorts before every attribute key ("@...") and element name, so when present it is
    // the first entry, which the map reaches without a search.
    auto text = map.cbegin();
    if (text == map.cend() || text.key() != KEY_TEXT)
        text = map.constFind(KEY_TEXT);
    if (text == map.cend())
        return converted = QString();
    if (text.value().typeId() == QMetaType::QString)
        return *static_cast<const QString*>(text.value().constData());
    return converted = text.value().toString();
}

QString cameraId(const QVariant& camera)
{
    QString converted;
    return cameraIdOf(camera, converted);
}

QString cameraGroup(const QVariant& camera)
{
    if (camera.typeId() == QMetaType::QVariantMap)
        return memberText(*static_cast<const QVariantMap*>(camera.constData()), KEY_GROUP);
    return camera.toMap().value(KEY_GROUP).toString();
}

// {"CamID": id, "GroupID": group}, built in key order without a search per key.
QVariant camGroupEntry(const QString& id, const QString& group)
{
    std::map<QString, QVariant> entry;
    entry.emplace_hint(entry.end(), ARG_CAMID, id);
    entry.emplace_hint(entry.end(), ARG_GROUPID, group);
    return QVariantMap(std::move(entry));
}

// Adds id unless it is the all-cameras tag or already seen; true when it was added.
bool addDistinct(QSet<QStringView>& seen, const QString& id)
{
    if (id == ALL_CAMERAS_TAGVALUE)
        return false;
    const qsizetype known = seen.size();
    seen.insert(id);
    return seen.size() != known;
}

// Camera identifiers in first-seen order, without repeats and without the all-cameras tag.
QStringList distinctCameraIds(const QStringList& ids)
{
    QStringList result;
    QSet<QStringView> seen; // views of the strings in ids
    seen.reserve(ids.size());
    for (const QString& id : ids) {
        if (addDistinct(seen, id))
            result.append(id);
    }
    return result;
}

// Every camera with its group, up to the all-cameras tag, which stands alone: the list the server
// gets back with an update.
QVariantList camGroupList(const QVariantList& cams)
{
    QVariantList list;
    list.reserve(cams.size());
    for (const QVariant& camera : cams) {
        const QString id = cameraId(camera);
        if (id == ALL_CAMERAS_TAGVALUE) {
            list.append(QVariantMap {{ARG_CAMID, ALL_CAMERAS_TAGVALUE}});
            break;
        }
        list.append(camGroupEntry(id, cameraGroup(camera)));
    }
    return list;
}

// The distinct camera identifiers of a time-card's camera list, as distinctCameraIds gives them,
// when they differ from `shown`; nothing when they are the same. Read in one pass, each camera
// once, and compared as they are found: reloading an unchanged list, the usual case, builds no
// new list and visits no identifier a second time.
std::optional<QStringList> changedCameraIds(const QVariantList& cams, const QStringList& shown)
{
    QStringList changed; // the new list, once it differs from shown
    bool differs = false;
    qsizetype matched = 0; // leading identifiers equal to shown's
    // Views of strings that outlive the set: in shown or in changed.
    QSet<QStringView> seen;
    seen.reserve(cams.size());
    QString converted;
    for (const QVariant& camera : cams) {
        const QString& id = cameraIdOf(camera, converted);
        if (id == ALL_CAMERAS_TAGVALUE || seen.contains(id))
            continue;
        if (!differs && matched < shown.size() && shown.at(matched) == id) {
            seen.insert(shown.at(matched++));
            continue;
        }
        if (!differs) {
            differs = true;
            changed = shown.first(matched);
        }
        changed.append(id);
        seen.insert(changed.constLast());
    }
    if (!differs && matched == shown.size())
        return std::nullopt;
    if (!differs)
        changed = shown.first(matched);
    return changed;
}

QVariantMap tmcardOf(const QVariant& result)
{
    return result.toMap().value(KEY_TMCARD_ROOT).toMap().value(KEY_TMCARD).toMap();
}
} // namespace

void PluginScheduleBackup::HandleGetBackupInfoResp(const QString& resultCode,
                                                   const QVariant& result, const QString& relayPath)
{
    SCHEDULEBACKUP_ENTRY_LOG("HandleGetBackupInfoResp");
    if (relayPath != m_curRelayPath) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Ignored,
                             "%s, response is not mattched current request, just ignore",
                             "HandleGetBackupInfoResp");
        return;
    }
    if (resultCode != RESULT_SUCCESS || !result.isValid()) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s, getBackupInfo failed",
                             "HandleGetBackupInfoResp");
        Q_EMIT getBackupInfoResp(false);
        return;
    }
    const QVariantMap tmcard = tmcardOf(result);
    if (tmcard.isEmpty()) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure,
                             "%s, getBackupInfo response data is not correct",
                             "HandleGetBackupInfoResp");
        Q_EMIT getBackupInfoResp(false);
        return;
    }
    const qint64 revision = tmcard.value(ARG_REVISION).toLongLong();
    if (m_revision > revision) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Ignored,
                             "%s, response is out of date, just ignore", "HandleGetBackupInfoResp");
        return;
    }

    m_revision = revision;
    m_tmcardId = tmcard.value(ARG_TMCARD_ID).toLongLong();
    m_tmcardName = tmcard.value(ARG_TMCARD_NAME).toString();
    setEnabled(tmcard.value(ARG_ENABLED).toBool());
    setTargetCyclic(tmcard.value(ARG_TARGET_CYCLIC).toBool());
    setTargetDir(tmcard.value(ARG_TARGET_DIR).toString());
    if (tmcard.contains(ARG_MAX_THROUGHPUT))
        storeMaxThroughput(tmcard.value(ARG_MAX_THROUGHPUT).toLongLong());
    if (tmcard.contains(ARG_MAX_RANGE))
        storeMaxRange(tmcard.value(ARG_MAX_RANGE).toLongLong());

    const QVariant mapping = tmcard.value(KEY_MAPPING);
    setSchedule(mapping);
    setScheduleTemplate(readBackDocument(mapping, &m_scheduleBeyondShown));
    m_scheduleUnknown = false;
    setScheduleName(GetFirstTimeframeNameFromTimecard(tmcard));

    const QVariantList cams = transContentAsList(tmcard.value(KEY_CAM_LIST).toMap().value(KEY_CAM));
    // The list for the server is built from these when an update first needs it.
    m_loadedCams = cams;
    m_loadedCamsPending = true;
    m_camGroupMapList.clear();
    SetHasAllCameras(cams);
    if (const std::optional<QStringList> ids = changedCameraIds(cams, m_cameraList))
        setCameraList(*ids);

    Q_EMIT getBackupInfoResp(true);
}

void PluginScheduleBackup::applyConfirmedCameras(const QVariantList& camGroupList)
{
    m_camGroupMapList = camGroupList;
    m_loadedCams.clear();
    m_loadedCamsPending = false;
    QStringList ids;
    ids.reserve(m_camGroupMapList.size());
    for (const QVariant& entry : std::as_const(m_camGroupMapList))
        ids.append(entry.toMap().value(ARG_CAMID).toString());
    setCameraList(distinctCameraIds(ids));
    // The same rule as a load: all cameras only when the tag is the one and only entry.
    setHasAllCameras(ids.size() == 1 && ids.first() == ALL_CAMERAS_TAGVALUE);
}

void PluginScheduleBackup::storeMaxThroughput(qint64 bytes)
{
    m_maxThroughputBytes = bytes;
    setMaxThroughputMB(saturatedQuotient(bytes, BYTES_PER_MEGABYTE));
}

void PluginScheduleBackup::storeMaxRange(qint64 minutes)
{
    m_maxRangeMinutes = minutes;
    setMaxRangeDay(saturatedQuotient(minutes, MINUTES_PER_DAY));
}

QVariantList PluginScheduleBackup::TransferMsgJsonToCamGroupMapList(const QVariantList& cams)
{
    return camGroupList(cams);
}

QVariantList PluginScheduleBackup::camGroupMapList() const
{
    if (m_loadedCamsPending) {
        m_camGroupMapList = camGroupList(m_loadedCams);
        m_loadedCams.clear();
        m_loadedCamsPending = false;
    }
    return m_camGroupMapList;
}

void PluginScheduleBackup::SetHasAllCameras(const QVariantList& cams)
{
    setHasAllCameras(cams.size() == 1 && cameraId(cams.first()) == ALL_CAMERAS_TAGVALUE);
}

void PluginScheduleBackup::setHasAllCameras(bool hasAllCameras)
{
    if (m_hasAllCameras == hasAllCameras)
        return;
    m_hasAllCameras = hasAllCameras;
    Q_EMIT hasAllCamerasChanged();
}

void PluginScheduleBackup::HandleGetBackupPathResp(const QString& resultCode,
                                                   const QVariant& result, const QString&)
{
    if (resultCode != RESULT_SUCCESS || !result.isValid()) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s, getBackupPath failed",
                             "HandleGetBackupPathResp");
        Q_EMIT getBackupPathResp(false, QString());
        return;
    }
    const QVariantMap tmcard = tmcardOf(result);
    if (tmcard.isEmpty()) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure,
                             "%s, getBackupPath response data is not correct",
                             "HandleGetBackupPathResp");
        Q_EMIT getBackupPathResp(false, QString());
        return;
    }
    Q_EMIT getBackupPathResp(true, tmcard.value(ARG_TARGET_DIR).toString());
}

void PluginScheduleBackup::handleGetBackupStatusResp(const QString& resultCode,
                                                     const QVariant& result, const QString&)
{
    if (resultCode != RESULT_SUCCESS || !result.isValid()) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s, getBackupStatus failed",
                             "handleGetBackupStatusResp");
        Q_EMIT getBackupStatusResp(false, QString(), QString(), 0);
        return;
    }
    const QVariantMap status = result.toMap().value(KEY_STATUS_ROOT).toMap();
    Q_EMIT getBackupStatusResp(true, status.value(KEY_STATUS).toString(),
                               status.value(KEY_INTERVAL).toString(),
                               qint64(status.value(KEY_PROGRESS).toInt()));
}

void PluginScheduleBackup::HandleUpdateBackupInfoResp(const QString& resultCode, void* context,
                                                      const QString& relayPath)
{
    // The request's context is ours from here on, whatever the outcome.
    const std::unique_ptr<QVariantMap> sent(static_cast<QVariantMap*>(context));
    if (relayPath != m_curRelayPath) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Ignored,
                             "%s, response is not mattched current request, just ignore",
                             "HandleUpdateBackupInfoResp");
        return;
    }
    if (resultCode != RESULT_SUCCESS || !sent) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s, updateBackupInfo failed",
                             "HandleUpdateBackupInfoResp");
        Q_EMIT updBackupInfoResp(false);
        return;
    }
    // Replies may overtake each other: a load that already showed this update's result, or a
    // newer one, stays. Counting from the revision the update was based on, rather than from the
    // loaded one, keeps the revision from running ahead of the server's.
    const qint64 confirmedRevision = sent->value(ARG_REVISION).toLongLong() + 1;
    if (confirmedRevision <= m_revision) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Ignored,
                             "%s, a newer time-card is already loaded",
                             "HandleUpdateBackupInfoResp");
        Q_EMIT updBackupInfoResp(true);
        return;
    }

    // The schedule as the server stores it: its name without the characters the composer
    // dropped, or the stored schedule that was sent back because it could not be shown.
    XML2Json parser;
    const QVariant schedule = parser.parse(sent->value(ARG_TIME_FRAME_MSG).toString());
    bool beyondShown = false;
    if (setsNoInterval(sent->value(ARG_TMFRAME_JSON).toString()))
        readBackDocument(schedule, &beyondShown);

    setEnabled(sent->value(ARG_ENABLED).toBool());
    setTargetCyclic(sent->value(ARG_TARGET_CYCLIC).toBool());
    setTargetDir(sent->value(ARG_TARGET_DIR).toString());
    setScheduleName(GetFirstTimeframeNameFromTimecard({{KEY_MAPPING, schedule}}));
    setScheduleTemplate(beyondShown ? QString() : sent->value(ARG_TMFRAME_JSON).toString());
    storeMaxThroughput(sent->value(ARG_MAX_THROUGHPUT).toLongLong());
    storeMaxRange(sent->value(ARG_MAX_RANGE).toLongLong());

    applyConfirmedCameras(sent->value(ARG_CAM_GROUP_LIST).toList());
    setSchedule(schedule);
    m_scheduleBeyondShown = beyondShown;
    m_scheduleUnknown = false;
    m_revision = confirmedRevision;
    Q_EMIT updBackupInfoResp(true);
}

void PluginScheduleBackup::HandleUpdateScheduleResp(const QString& resultCode,
                                                    const QString& relayPath)
{
    // The reply carries no context and replies may come in any order, so it may answer any of the
    // outstanding updates. A confirmation counts from the lowest revision one was sent with, and
    // every reply retires the highest: the revision then never runs ahead of the server's, which
    // would make every later load look stale.
    qint64 sentRevision = m_revision;
    if (!m_scheduleRevisions.isEmpty()) {
        sentRevision = m_scheduleRevisions.first();
        m_scheduleRevisions.removeLast();
    }
    if (relayPath != m_curRelayPath) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Ignored,
                             "%s, response is not mattched current request, just ignore",
                             "HandleUpdateScheduleResp");
        return;
    }
    if (resultCode != RESULT_SUCCESS) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s, updateSchedule failed",
                             "HandleUpdateScheduleResp");
        Q_EMIT updateScheduleResp(false);
        return;
    }
    // As for a whole update: never ahead of the server, never backwards.
    m_revision = std::max(m_revision, sentRevision + 1);
    // The stored schedule kept for unrelated saves is no longer the server's.
    if (m_scheduleBeyondShown)
        m_scheduleUnknown = true;
    Q_EMIT updateScheduleResp(true);
}
