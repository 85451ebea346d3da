// SPDX-License-Identifier: BSD-3-Clause

#include "BackupService.h"

#include "BackupProtocol.h"
#include "BackupStatus.h"
#include "ServiceLimits.h"
#include "ServiceLogging.h"
#include "TimeFrame.h"
#include "XmlText.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

#include <limits>
#include <optional>

namespace {

// The translation context of the texts that reach people.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(BackupService)
};

using namespace BackupProtocol;

// A first start waits this long for another program that seeds the same folder.
constexpr int SeedLockWaitMs = 10000;

struct Refusal
{
    QString code;
    QString reason;
};

// Carriage returns go out as references, since a reader turns them into line feeds.
QString element(const QString& name, const QString& text)
{
    return QStringLiteral("<%1>%2</%1>").arg(name, XmlText::escaped(text));
}

// Reads an integer argument that the client may send as int, qint64 or text.
bool readInteger(const QVariantMap& arguments, const QString& key, qint64* value)
{
    const QVariant raw = arguments.value(key);
    if (!raw.isValid())
        return false;
    bool ok = false;
    *value = raw.toLongLong(&ok);
    return ok;
}

// The cameras an update may name, with their groups: those of the inventory, and those the stored
// time-card holds with the group they are stored with. So a camera that has left the inventory
// never makes the settings unsaveable, while a new camera must still be in the inventory.
QHash<QString, QString> knownCameras(const ServiceData& stored)
{
    QHash<QString, QString> groups;
    for (const CameraRef& camera : stored.card.cameras)
        groups.insert(camera.cameraId, camera.groupId);
    for (const InventoryCamera& camera : stored.inventory)
        groups.insert(camera.cameraId, camera.groupId);
    groups.remove(AllCamerasTag);
    return groups;
}

std::optional<Refusal> readCameras(const QVariantList& camList, const ServiceData& stored,
                                   QList<CameraRef>* cameras)
{
    const QHash<QString, QString> known = knownCameras(stored);
    QSet<QString> seen;
    for (const QVariant& entry : camList) {
        const QVariantMap map = entry.toMap();
        const QString cameraId = map.value(Arg::CamId).toString();
        const QString groupId = map.value(Arg::GroupId).toString();
        if (cameraId == AllCamerasTag) {
            if (camList.size() != 1)
                return Refusal {Code::InvalidArgument,
                                Texts::tr("\"all cameras\" cannot be mixed with single cameras")};
            *cameras = {{AllCamerasTag, QString()}};
            return std::nullopt;
        }
        const auto group = known.constFind(cameraId);
        if (group == known.cend())
            return Refusal {Code::UnknownCamera, Texts::tr("unknown camera \"%1\"").arg(cameraId)};
        // The service owns the group of a camera; a client that does not know it sends none.
        if (!groupId.isEmpty() && groupId != *group)
            return Refusal {
                Code::UnknownCamera,
                Texts::tr("camera \"%1\" is not in group \"%2\"").arg(cameraId, groupId)};
        if (!seen.contains(cameraId)) {
            seen.insert(cameraId);
            cameras->append({cameraId, *group});
        }
    }
    return std::nullopt;
}

} // namespace

// An update's arguments, checked as far as they can be without the stored state.
struct BackupService::Update
{
    qint64 revision = 0;
    std::optional<qint64> tmcardId;
    QString tmcardIdText;
    bool enabled = false;
    bool targetCyclic = false;
    QString dir;
    qint64 throughput = 0;
    qint64 range = 0;
    QVariantList camList;
    QString frameXml;
    TimeFrame frame;

    std::optional<Refusal> read(const QVariant& arguments)
    {
        if (arguments.metaType().id() != QMetaType::QVariantMap)
            return Refusal {Code::InvalidArgument, Texts::tr("arguments must be a map")};
        const QVariantMap args = arguments.toMap();
        if (!readInteger(args, Arg::Revision, &revision))
            return Refusal {Code::InvalidArgument, Texts::tr("missing revision")};
        if (qint64 id = 0; readInteger(args, Arg::TmcardId, &id))
            tmcardId = id;
        tmcardIdText = args.value(Arg::TmcardId).toString();
        frameXml = args.value(Arg::TimeFrameMessage).toString();
        frame = TimeFrame::parse(frameXml);
        if (!frame.isValid())
            return Refusal {Code::MalformedTimeFrame, frame.errorText()};
        dir = args.value(Arg::Dir).toString();
        if (dir.trimmed().isEmpty())
            return Refusal {Code::MissingDirectory, Texts::tr("no target directory")};
        if (!ServiceLimits::isStorableText(dir))
            return Refusal {Code::InvalidArgument,
                            Texts::tr("the target directory holds control characters")};
        if (!readInteger(args, Arg::MaxThroughput, &throughput) || throughput < 0
            || throughput > ServiceLimits::MaxThroughputBytes)
            return Refusal {Code::InvalidArgument, Texts::tr("invalid throughput limit")};
        if (!readInteger(args, Arg::MaxRange, &range) || range < 0
            || range > ServiceLimits::MaxRangeMinutes)
            return Refusal {Code::InvalidArgument, Texts::tr("invalid range limit")};
        camList = args.value(Arg::CamGroupList).toList();
        if (camList.isEmpty())
            return Refusal {Code::InvalidArgument, Texts::tr("no cameras selected")};
        enabled = args.value(Arg::Enabled).toBool();
        targetCyclic = args.value(Arg::TargetCyclic).toBool();
        return std::nullopt;
    }
};

BackupService::BackupService(const QString& dataDir, QObject* parent)
    : QObject(parent), m_store(dataDir)
{ }

BackupService::~BackupService() = default;

StoreResult<> BackupService::open()
{
    // Reading needs no lock, so a read-only folder or a full disk still serves every read.
    if (!m_store.exists()) {
        const auto lock = m_store.lock(QDeadlineTimer(SeedLockWaitMs));
        if (!lock)
            return StoreResult<>::failure(lock.errorReason(), lock.errorText());
        // Another program may have seeded the folder while this one waited.
        if (!m_store.exists()) {
            const StoreResult<> saved = m_store.save(*lock.value(), BackupStore::sampleData());
            if (saved)
                qCInfo(lcService) << "seeded" << m_store.filePath();
            return saved;
        }
    }
    const StoreResult<ServiceData> loaded = m_store.load();
    if (!loaded)
        return StoreResult<>::failure(loaded.errorReason(), loaded.errorText());
    qCInfo(lcService) << "using" << m_store.filePath() << "revision"
                      << loaded.value().card.revision;
    return StoreResult<>::success();
}

StoreResult<ServiceData> BackupService::data() const
{
    return m_store.load();
}

bool BackupService::isKnownCommand(const QString& command)
{
    return command == GetTimeCard || command == GetBackupPath || command == GetBackupStatus
        || command == UpdateTimeCard || command == UpdateSchedule;
}

ServiceReply BackupService::handle(const QString& command, const QVariant& arguments)
{
    if (command == UpdateTimeCard)
        return updateTimeCard(Reply::UpdateTimeCardRoot, arguments);
    if (command == UpdateSchedule)
        return updateTimeCard(Reply::UpdateScheduleRoot, arguments);
    if (!isKnownCommand(command)) {
        return refuse(Reply::ServiceRoot, Code::UnknownCommand,
                      Texts::tr("unknown command \"%1\"").arg(command));
    }
    const StoreResult<ServiceData> stored = m_store.load();
    if (!stored)
        return refuse(Reply::ServiceRoot, Code::StorageFailure, stored.errorText());
    const TimeCard& card = stored.value().card;
    if (command == GetTimeCard)
        return getTimeCard(card);
    if (command == GetBackupPath)
        return getBackupPath(card);
    return getBackupStatus(card);
}

ServiceReply BackupService::getTimeCard(const TimeCard& card) const
{
    QString cams;
    for (const CameraRef& camera : card.cameras) {
        cams += QStringLiteral("<%1 %2=\"%3\">%4</%1>")
                    .arg(Reply::Cam, Reply::GroupAttribute,
                         XmlText::escapedAttribute(camera.groupId),
                         XmlText::escaped(camera.cameraId));
    }
    const QString xml = QStringLiteral("<%1><%2>").arg(Reply::TimeCardRoot, Reply::TimeCard)
        + element(Reply::Revision, QString::number(card.revision))
        + element(Reply::TmcardId, QString::number(card.tmcardId)) + element(Reply::Name, card.name)
        + element(Reply::Enabled, boolText(card.enabled))
        + element(Reply::TargetCyclic, boolText(card.targetCyclic)) + element(Reply::Dir, card.dir)
        + element(Reply::MaxThroughput, QString::number(card.maxThroughputBytes))
        + element(Reply::MaxRange, QString::number(card.maxRangeMinutes))
        + QStringLiteral("<%1>%2</%1>").arg(Reply::Mapping, card.timeFrameXml)
        + QStringLiteral("<%1>%2</%1>").arg(Reply::CamList, cams)
        + QStringLiteral("</%2></%1>").arg(Reply::TimeCardRoot, Reply::TimeCard);
    return {Code::Success, xml, QString()};
}

ServiceReply BackupService::getBackupPath(const TimeCard& card) const
{
    const QString xml = QStringLiteral("<%1><%2>").arg(Reply::TimeCardRoot, Reply::TimeCard)
        + element(Reply::Dir, card.dir)
        + QStringLiteral("</%2></%1>").arg(Reply::TimeCardRoot, Reply::TimeCard);
    return {Code::Success, xml, QString()};
}

ServiceReply BackupService::getBackupStatus(const TimeCard& card) const
{
    const BackupStatusReport report
        = BackupStatusSimulator::statusAt(card, QDateTime::currentDateTime());
    const QString xml = QStringLiteral("<%1>").arg(Reply::StatusRoot)
        + element(Reply::Status, report.status) + element(Reply::BackupInterval, report.interval)
        + element(Reply::BackupProgress, QString::number(report.progress))
        + QStringLiteral("</%1>").arg(Reply::StatusRoot);
    return {Code::Success, xml, QString()};
}

ServiceReply BackupService::refuse(const QString& replyElement, const QString& code,
                                   const QString& reason, bool busy) const
{
    // A busy update is asked again and again while the other program saves.
    if (busy)
        qCDebug(lcService) << "busy:" << reason;
    else
        qCInfo(lcService) << "refused with" << code << reason;
    const QString xml = QStringLiteral("<%1><%2 %3=\"%4\">%5</%2></%1>")
                            .arg(replyElement, Reply::Error, Reply::CodeAttribute, code,
                                 XmlText::escaped(reason));
    return {code, xml, reason, busy};
}

ServiceReply BackupService::updateTimeCard(const QString& replyElement, const QVariant& arguments)
{
    Update update;
    if (const std::optional<Refusal> refused = update.read(arguments))
        return refuse(replyElement, refused->code, refused->reason);
    return storeUpdate(replyElement, update);
}

ServiceReply BackupService::storeUpdate(const QString& replyElement, const Update& update)
{
    auto fail = [&](const QString& code, const QString& reason) {
        return refuse(replyElement, code, reason);
    };
    // From here on the stored state is read, compared and written as one step. The lock is not
    // waited for here: the caller decides how long a busy data file is worth waiting for.
    const auto lock = m_store.lock(QDeadlineTimer(0));
    if (!lock) {
        return refuse(replyElement, Code::StorageFailure, lock.errorText(),
                      lock.errorReason() == StoreError::Locked);
    }
    const StoreResult<ServiceData> stored = m_store.load(*lock.value());
    if (!stored)
        return fail(Code::StorageFailure, stored.errorText());
    const TimeCard& current = stored.value().card;
    if (update.revision != current.revision) {
        return fail(Code::StaleRevision,
                    Texts::tr("stale revision %1, the stored time-card is at revision %2")
                        .arg(update.revision)
                        .arg(current.revision));
    }
    if (update.tmcardId != current.tmcardId)
        return fail(Code::UnknownTimeCard,
                    Texts::tr("unknown time-card id %1").arg(update.tmcardIdText));
    if (current.revision == std::numeric_limits<qint64>::max())
        return fail(Code::StorageFailure,
                    Texts::tr("the stored revision %1 is at its maximum and cannot be raised")
                        .arg(current.revision));
    QList<CameraRef> cameras;
    if (const std::optional<Refusal> refused
        = readCameras(update.camList, stored.value(), &cameras))
        return fail(refused->code, refused->reason);

    ServiceData updated = stored.value();
    TimeCard& card = updated.card;
    card.revision = current.revision + 1;
    card.enabled = update.enabled;
    card.targetCyclic = update.targetCyclic;
    card.dir = update.dir;
    card.maxThroughputBytes = update.throughput;
    card.maxRangeMinutes = update.range;
    card.cameras = cameras;
    card.timeFrameXml = update.frameXml;
    card.timeFrameName = update.frame.name();
    card.intervals = update.frame.intervals();

    if (const StoreResult<> saved = m_store.save(*lock.value(), updated); !saved) {
        const bool tooLarge = saved.errorReason() == StoreError::TooLarge;
        return fail(tooLarge ? Code::InvalidArgument : Code::StorageFailure, saved.errorText());
    }
    qCInfo(lcService) << "stored time-card revision" << card.revision;
    return {Code::Success, QStringLiteral("<%1/>").arg(replyElement), QString()};
}
