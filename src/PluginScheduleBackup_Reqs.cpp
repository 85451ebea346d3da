// SPDX-License-Identifier: BSD-3-Clause
// Requests the page sends to the server, and the next-backup-time computation.

#include "PluginScheduleBackup.h"

#include "FrameworkWrapperBase.h"
#include "PluginScheduleBackupCommon.h"
#include "PluginScheduleBackup_Bounds.h"
#include "PluginScheduleBackup_Log.h"
#include "PluginScheduleBackup_TimeFrame.h"

#include <QMetaObject>

#include <algorithm>
#include <limits>
#include <memory>
#include <new>
#include <vector>

using namespace PluginScheduleBackupCommon;
using namespace TimeFrame;

namespace {
const QString PSERVERINFO_PLUGIN_ID = QStringLiteral("3CE573D25E0F455B8F75EDDC573E2B64");

const QString KEY_CAMERA_NAME = QStringLiteral("Name");
const QString KEY_CAMERA_GROUP = QStringLiteral("GrpID");

// The server takes a 32-bit value; limits beyond it travel as 64-bit values instead of wrapping.
QVariant limitValue(qint64 value)
{
    if (value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max())
        return QVariant(int(value));
    return QVariant(value);
}

bool askTimestamp(QObject* serverInfo, const QDateTime& dateTime, qint64& milliseconds)
{
    QVariantList answer;
    const bool invoked
        = QMetaObject::invokeMethod(serverInfo, "getTimestamp", Qt::DirectConnection,
                                    Q_RETURN_ARG(QVariantList, answer), Q_ARG(QDateTime, dateTime));
    if (!invoked || answer.isEmpty())
        return false;
    milliseconds = qint64(answer.first().toULongLong());
    return true;
}
} // namespace

bool PluginScheduleBackup::sendCommand(const QString& command, const QVariant& arguments,
                                       void* context, const QString& relayPath)
{
    if (!framework)
        return false;
    return framework->SendCommand(hostData, pluginId, command, arguments, context, 0, relayPath);
}

bool PluginScheduleBackup::getBackupInfo(const QString& relayPath)
{
    SCHEDULEBACKUP_ENTRY_LOG("getBackupInfo");
    const QVariant noArguments;
    if (!sendCommand(REQUEST_GET_BACKUP_TIME_CARD, noArguments, nullptr, relayPath)) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s, SendCommand failed",
                             "getBackupInfo");
        return false;
    }
    // Only after the call: a reply delivered from inside SendCommand still meets the old path.
    m_curRelayPath = relayPath;
    return true;
}

bool PluginScheduleBackup::getBackupPathInfo(const QString& relayPath)
{
    return sendCommand(REQUEST_GET_BACKUP_PATH, QVariant(), nullptr, relayPath);
}

bool PluginScheduleBackup::getBackupStatus(const QString& relayPath)
{
    SCHEDULEBACKUP_ENTRY_LOG("getBackupStatus");
    return sendCommand(REQUEST_GET_BACKUP_STATUS, QVariant(), nullptr, relayPath);
}

bool PluginScheduleBackup::timeFrameToSend(const char* operation, const QString& scheName,
                                           const QString& scheJson, QString& timeFrame) const
{
    // A schedule too large to show was stored by someone else. The caller was shown no schedule
    // and sends none back; that must not wipe the stored one.
    if (m_scheduleUnknown && setsNoInterval(scheJson)) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure,
                             "%s, stored schedule changed since the load, reload first", operation);
        return false;
    }
    if (m_scheduleBeyondShown && setsNoInterval(scheJson)) {
        timeFrame = storedTimeFrame(scheName);
        if (timeFrame.isNull()) {
            SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure,
                                 "%s, stored schedule cannot be sent back", operation);
            return false;
        }
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Ignored,
                             "%s, stored schedule too large to show, sent back as stored",
                             operation);
        return true;
    }
    timeFrame = ComposeScheduleBackupMappingEleMsg(scheName, scheJson);
    // An unreadable schedule must not reach the server as an empty one and wipe its schedule.
    if (timeFrame.isNull() && !scheJson.isEmpty()) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s, invalid schedule document",
                             operation);
        return false;
    }
    return true;
}

qint64 PluginScheduleBackup::throughputBytesFor(int maxThroughputMB) const
{
    // The property shows whole megabytes; passing the shown value back keeps the stored bytes.
    if (maxThroughputMB == m_maxThroughputMB)
        return m_maxThroughputBytes;
    return qint64(maxThroughputMB) * BYTES_PER_MEGABYTE;
}

qint64 PluginScheduleBackup::rangeMinutesFor(int maxRangeDay) const
{
    if (maxRangeDay == m_maxRangeDay)
        return m_maxRangeMinutes;
    return qint64(maxRangeDay) * MINUTES_PER_DAY;
}

bool PluginScheduleBackup::composeUpdateArguments(QVariantMap& arguments, const char* operation,
                                                  bool enabled, bool targetCyclic,
                                                  const QString& targetDir,
                                                  const QVariantList& camGroupList,
                                                  const QString& scheName, const QString& scheJson,
                                                  int maxThroughputMB, int maxRangeDay) const
{
    QString timeFrame;
    if (!timeFrameToSend(operation, scheName, scheJson, timeFrame))
        return false;
    arguments.insert(ARG_REVISION, qint64(m_revision));
    arguments.insert(ARG_TMCARD_ID, qint64(m_tmcardId));
    arguments.insert(ARG_TMCARD_NAME, m_tmcardName);
    arguments.insert(ARG_ENABLED, enabled);
    arguments.insert(ARG_TARGET_CYCLIC, targetCyclic);
    arguments.insert(ARG_TARGET_DIR, targetDir);
    arguments.insert(ARG_CAM_GROUP_LIST, camGroupList);
    arguments.insert(ARG_TIME_FRAME_MSG, timeFrame);
    arguments.insert(ARG_TMFRAME_NAME, scheName);
    arguments.insert(ARG_TMFRAME_JSON, scheJson);
    arguments.insert(ARG_MAX_THROUGHPUT, limitValue(throughputBytesFor(maxThroughputMB)));
    arguments.insert(ARG_MAX_RANGE, limitValue(rangeMinutesFor(maxRangeDay)));
    return true;
}

bool PluginScheduleBackup::updateBackupInfo(bool enabled, bool targetCyclic,
                                            const QString& targetDir, const QVariantList& camList,
                                            const QString& scheName, const QString& scheJson,
                                            int maxThroughputMB, int maxRangeDay,
                                            const QString& relayPath)
{
    SCHEDULEBACKUP_ENTRY_LOG("updateBackupInfo");
    // The context travels with the command and comes back with its reply, which releases it.
    std::unique_ptr<QVariantMap> context(new (std::nothrow) QVariantMap);
    if (!context) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s, new context failed",
                             "updateBackupInfo");
        return false;
    }

    QVariantList camGroupList;
    camGroupList.reserve(camList.size());
    for (const QVariant& camera : camList) {
        const QVariantMap entry = camera.toMap();
        camGroupList.append(QVariantMap {{ARG_CAMID, entry.value(KEY_CAMERA_NAME).toString()},
                                         {ARG_GROUPID, entry.value(KEY_CAMERA_GROUP).toString()}});
    }
    if (!composeUpdateArguments(*context, "updateBackupInfo", enabled, targetCyclic, targetDir,
                                camGroupList, scheName, scheJson, maxThroughputMB, maxRangeDay))
        return false;

    const QVariant arguments(*context);
    if (!sendCommand(REQUEST_UPD_BACKUP_TIME_CARD, arguments, context.get(), relayPath)) {
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s, SendCommand failed",
                             "updateBackupInfo");
        return false;
    }
    context.release(); // owned by the request until its reply is handled
    return true;
}

bool PluginScheduleBackup::updateSchedule(const QString& scheName, const QString& scheJson,
                                          const QString& relayPath)
{
    SCHEDULEBACKUP_ENTRY_LOG("updateSchedule");
    QVariantMap arguments;
    if (!composeUpdateArguments(arguments, "updateSchedule", m_enabled, m_targetCyclic, m_targetDir,
                                camGroupMapList(), scheName, scheJson, maxThroughputMB(),
                                maxRangeDay()))
        return false;
    // Recorded before sending: a host may deliver the reply from inside SendCommand, and that
    // reply must find the revision it answers. A refused command withdraws it again, unless a
    // reply took it already.
    m_scheduleRevisions.append(m_revision);
    const qsizetype outstanding = m_scheduleRevisions.size();
    if (!sendCommand(REQUEST_UPD_SCHEDULE, QVariant(arguments), nullptr, relayPath)) {
        if (m_scheduleRevisions.size() == outstanding)
            m_scheduleRevisions.removeLast();
        SCHEDULEBACKUP_TRACE(ScheduleBackupTrace::Failure, "%s, SendCommand failed",
                             "updateSchedule");
        return false;
    }
    return true;
}

qulonglong PluginScheduleBackup::getNextBackupTime(const QDateTime& date)
{
    // Without both timestamps there is no answer to give.
    if (!framework || !date.isValid())
        return 0;
    QObject* serverInfo = framework->GetPluginObject(hostData, PSERVERINFO_PLUGIN_ID);
    if (!serverInfo)
        return 0;
    qint64 nowMs = 0;
    if (!askTimestamp(serverInfo, date, nowMs))
        return 0;

    const QDate day = date.date();
    const int weekday = day.dayOfWeek(); // Monday 1 .. Sunday 7
    const QDate sunday = weekday == 7 ? day : day.addDays(-weekday);
    // The start of a local day costs a time-zone conversion, as dear as a timestamp itself. The
    // page asks again and again within one week, so the last week's start is kept.
    if (sunday != m_weekStartDay) {
        m_weekStart = sunday.startOfDay();
        m_weekStartDay = sunday;
    }
    qint64 weekStartMs = 0;
    if (!askTimestamp(serverInfo, m_weekStart, weekStartMs))
        return 0;
    // Whole seconds rounded down: a moment just before the week start is not yet in it.
    const qint64 sinceWeekStartMs = nowMs - weekStartMs;
    const qint64 elapsed = sinceWeekStartMs / 1000 - (sinceWeekStartMs % 1000 < 0 ? 1 : 0);

    if (m_windowStarts.isEmpty())
        return qulonglong(weekStartMs);
    const auto next = std::upper_bound(m_windowStarts.cbegin(), m_windowStarts.cend(), elapsed,
                                       [](qint64 moment, int start) { return moment < start; });
    if (next != m_windowStarts.cend())
        return qulonglong(weekStartMs + qint64(*next) * 1000);
    return qulonglong(weekStartMs + MILLISECONDS_PER_WEEK + qint64(m_windowStarts.front()) * 1000);
}

QList<int> PluginScheduleBackup::scheduleWindowStarts(const QVariant& schedule) const
{
    std::vector<std::pair<int, int>> intervals;
    forEachInterval(schedule, FrameRepeats::Read, [&intervals](const QVariant& interval) {
        visitIntervalBounds(
            interval, [&intervals](const QVariant& beginBound, const QVariant& endBound) {
                int begin = 0;
                int end = 0;
                if (ScheduleBounds::readKeepingSign(beginBound, begin)
                    && ScheduleBounds::readKeepingSign(endBound, end) && begin != end)
                    intervals.emplace_back(begin, end);
            });
    });
    // Sorting by start and then end keeps the answer independent of the stored order.
    std::sort(intervals.begin(), intervals.end());

    QList<int> starts;
    for (size_t i = 0; i < intervals.size(); ++i) {
        if (i == 0 || !IsContinousInterval(intervals[i - 1], intervals[i]))
            starts.append(intervals[i].first);
    }
    return starts;
}
