#include "BackupService.h"

#include "BackupProtocol.h"
#include "BackupStatus.h"
#include "ServiceLimits.h"
#include "ServiceLogging.h"
#include "TimeFrame.h"
#include "XmlText.h"

#include <QHash>
#include <QSet>

namespace {

using namespace BackupProtocol;

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

} // namespace

BackupService::BackupService(const QString& dataDir, QObject* parent)
    : QObject(parent), m_store(dataDir), m_clock([] { return QDateTime::currentDateTime(); })
{ }

BackupService::~BackupService() = default;

StoreResult<> BackupService::open()
{
    const auto lock = m_store.lock();
    if (!lock)
        return StoreResult<>::failure(lock.errorReason(), lock.errorText());
    if (m_store.exists()) {
        const StoreResult<ServiceData> loaded = m_store.load();
        if (!loaded)
            return StoreResult<>::failure(loaded.errorReason(), loaded.errorText());
        qCInfo(lcService) << "using" << m_store.filePath() << "revision"
                          << loaded.value().card.revision;
        return StoreResult<>::success();
    }
    const StoreResult<> saved = m_store.save(BackupStore::sampleData());
    if (saved)
        qCInfo(lcService) << "seeded" << m_store.filePath();
    return saved;
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

void BackupService::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

ServiceReply BackupService::handle(const QString& command, const QVariant& arguments)
{
    if (command == UpdateTimeCard)
        return updateTimeCard(Reply::UpdateTimeCardRoot, arguments);
    if (command == UpdateSchedule)
        return updateTimeCard(Reply::UpdateScheduleRoot, arguments);
    if (!isKnownCommand(command)) {
        return refuse(Reply::ServiceRoot, Code::UnknownCommand,
                      QStringLiteral("unknown command \"%1\"").arg(command));
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
    const BackupStatusReport report = BackupStatusSimulator::statusAt(card, m_clock());
    const QString xml = QStringLiteral("<%1>").arg(Reply::StatusRoot)
        + element(Reply::Status, report.status) + element(Reply::BackupInterval, report.interval)
        + element(Reply::BackupProgress, QString::number(report.progress))
        + QStringLiteral("</%1>").arg(Reply::StatusRoot);
    return {Code::Success, xml, QString()};
}

ServiceReply BackupService::refuse(const QString& replyElement, const QString& code,
                                   const QString& reason) const
{
    qCInfo(lcService) << "refused with" << code << reason;
    const QString xml = QStringLiteral("<%1><%2 %3=\"%4\">%5</%2></%1>")
                            .arg(replyElement, Reply::Error, Reply::CodeAttribute, code,
                                 XmlText::escaped(reason));
    return {code, xml, reason};
}

ServiceReply BackupService::updateTimeCard(const QString& replyElement, const QVariant& arguments)
{
    auto fail = [&](const QString& code, const QString& reason) {
        return refuse(replyElement, code, reason);
    };
    if (arguments.metaType().id() != QMetaType::QVariantMap)
        return fail(Code::InvalidArgument, QStringLiteral("arguments must be a map"));
    const QVariantMap args = arguments.toMap();

    qint64 revision = 0;
    if (!readInteger(args, Arg::Revision, &revision))
        return fail(Code::InvalidArgument, QStringLiteral("missing revision"));
    qint64 tmcardId = 0;
    const bool hasTmcardId = readInteger(args, Arg::TmcardId, &tmcardId);

    const QString frameXml = args.value(Arg::TimeFrameMessage).toString();
    const TimeFrame frame = TimeFrame::parse(frameXml);
    if (!frame.isValid())
        return fail(Code::MalformedTimeFrame, frame.errorText());

    const QString dir = args.value(Arg::Dir).toString();
    if (dir.trimmed().isEmpty())
        return fail(Code::MissingDirectory, QStringLiteral("no target directory"));
    if (!ServiceLimits::isStorableText(dir))
        return fail(Code::InvalidArgument,
                    QStringLiteral("the target directory holds control characters"));

    qint64 throughput = 0;
    qint64 range = 0;
    if (!readInteger(args, Arg::MaxThroughput, &throughput) || throughput < 0
        || throughput > ServiceLimits::MaxThroughputBytes)
        return fail(Code::InvalidArgument, QStringLiteral("invalid throughput limit"));
    if (!readInteger(args, Arg::MaxRange, &range) || range < 0
        || range > ServiceLimits::MaxRangeMinutes)
        return fail(Code::InvalidArgument, QStringLiteral("invalid range limit"));

    const QVariantList camList = args.value(Arg::CamGroupList).toList();
    if (camList.isEmpty())
        return fail(Code::InvalidArgument, QStringLiteral("no cameras selected"));

    // From here on the stored state is read, compared and written as one step.
    const auto lock = m_store.lock();
    if (!lock)
        return fail(Code::StorageFailure, lock.errorText());
    const StoreResult<ServiceData> stored = m_store.load();
    if (!stored)
        return fail(Code::StorageFailure, stored.errorText());
    const TimeCard& current = stored.value().card;
    const QList<InventoryCamera>& inventory = stored.value().inventory;

    if (revision != current.revision) {
        return fail(Code::StaleRevision,
                    QStringLiteral("stale revision %1, the stored time-card is at revision %2")
                        .arg(revision)
                        .arg(current.revision));
    }
    if (!hasTmcardId || tmcardId != current.tmcardId) {
        return fail(
            Code::UnknownTimeCard,
            QStringLiteral("unknown time-card id %1").arg(args.value(Arg::TmcardId).toString()));
    }

    QHash<QString, const InventoryCamera*> byId;
    byId.reserve(inventory.size());
    for (const InventoryCamera& camera : inventory)
        byId.insert(camera.cameraId, &camera);
    QList<CameraRef> cameras;
    cameras.reserve(camList.size());
    QSet<QString> seen;
    for (const QVariant& entry : camList) {
        const QVariantMap map = entry.toMap();
        const QString cameraId = map.value(Arg::CamId).toString();
        const QString groupId = map.value(Arg::GroupId).toString();
        if (cameraId == AllCamerasTag) {
            if (camList.size() != 1)
                return fail(Code::InvalidArgument,
                            QStringLiteral("\"all cameras\" cannot be mixed with single cameras"));
            cameras.append({AllCamerasTag, QString()});
            break;
        }
        const InventoryCamera* known = byId.value(cameraId);
        if (!known)
            return fail(Code::UnknownCamera, QStringLiteral("unknown camera \"%1\"").arg(cameraId));
        // The inventory owns the group of a camera; a client that does not know it sends none.
        if (!groupId.isEmpty() && groupId != known->groupId)
            return fail(
                Code::UnknownCamera,
                QStringLiteral("camera \"%1\" is not in group \"%2\"").arg(cameraId, groupId));
        if (!seen.contains(cameraId)) {
            seen.insert(cameraId);
            cameras.append({cameraId, known->groupId});
        }
    }

    ServiceData updated = stored.value();
    TimeCard& card = updated.card;
    card.revision = current.revision + 1;
    card.enabled = args.value(Arg::Enabled).toBool();
    card.targetCyclic = args.value(Arg::TargetCyclic).toBool();
    card.dir = dir;
    card.maxThroughputBytes = throughput;
    card.maxRangeMinutes = range;
    card.cameras = cameras;
    card.timeFrameXml = frameXml;
    card.timeFrameName = frame.name();
    card.intervals = frame.intervals();

    if (const StoreResult<> saved = m_store.save(updated); !saved)
        return fail(Code::StorageFailure, saved.errorText());
    qCInfo(lcService) << "stored time-card revision" << card.revision;
    return {Code::Success, QStringLiteral("<%1/>").arg(replyElement), QString()};
}
