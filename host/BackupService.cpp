#include "BackupService.h"

#include "BackupStatus.h"
#include "HostLogging.h"
#include "ResultCodes.h"
#include "TimeFrame.h"

#include <QSet>

#include <algorithm>

namespace {

const QString CmdGetTimeCard = QStringLiteral("GetBkpTmcard");
const QString CmdGetPath = QStringLiteral("GetBackupPath");
const QString CmdGetStatus = QStringLiteral("GetBackupStatus");
const QString CmdUpdTimeCard = QStringLiteral("UpdBkpTmcard");
const QString CmdUpdSchedule = QStringLiteral("UpdSchedule");

QString element(const QString& name, const QString& text)
{
    return QStringLiteral("<%1>%2</%1>").arg(name, text.toHtmlEscaped());
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
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

bool BackupService::open(QString* error)
{
    if (m_store.exists()) {
        m_open = m_store.load(&m_card, &m_inventory, error);
        if (m_open)
            qCInfo(lcService) << "loaded" << m_store.filePath() << "revision" << m_card.revision;
        return m_open;
    }
    m_card = BackupStore::sampleTimeCard();
    m_inventory = BackupStore::sampleInventory();
    m_open = m_store.save(m_card, m_inventory, error);
    if (m_open)
        qCInfo(lcService) << "seeded" << m_store.filePath();
    return m_open;
}

QStringList BackupService::commands()
{
    return {CmdGetTimeCard, CmdGetPath, CmdGetStatus, CmdUpdTimeCard, CmdUpdSchedule};
}

bool BackupService::isKnownCommand(const QString& command)
{
    return commands().contains(command);
}

void BackupService::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

ServiceReply BackupService::handle(const QString& command, const QVariant& arguments)
{
    if (!m_open)
        return refuse(QStringLiteral("ServiceRes"), ResultCodes::StorageFailure,
                      QStringLiteral("service data is not open"));
    if (command == CmdGetTimeCard)
        return getTimeCard();
    if (command == CmdGetPath)
        return getBackupPath();
    if (command == CmdGetStatus)
        return getBackupStatus();
    if (command == CmdUpdTimeCard)
        return updateTimeCard(QStringLiteral("UpdBkpTmcardRes"), arguments);
    if (command == CmdUpdSchedule)
        return updateTimeCard(QStringLiteral("UpdScheduleRes"), arguments);
    return refuse(QStringLiteral("ServiceRes"), ResultCodes::UnknownCommand,
                  QStringLiteral("unknown command \"%1\"").arg(command));
}

ServiceReply BackupService::getTimeCard() const
{
    QString cams;
    for (const CameraRef& camera : m_card.cameras) {
        cams += QStringLiteral("<Cam GrpID=\"%1\">%2</Cam>")
                    .arg(camera.groupId.toHtmlEscaped(), camera.cameraId.toHtmlEscaped());
    }
    const QString xml = QStringLiteral("<GetBkpTmcardRes><Tmcard>")
        + element(QStringLiteral("Revision"), QString::number(m_card.revision))
        + element(QStringLiteral("TmcardID"), QString::number(m_card.tmcardId))
        + element(QStringLiteral("Name"), m_card.name)
        + element(QStringLiteral("Enabled"), boolText(m_card.enabled))
        + element(QStringLiteral("TargetCyclic"), boolText(m_card.targetCyclic))
        + element(QStringLiteral("Dir"), m_card.dir)
        + element(QStringLiteral("MaxThroughput"), QString::number(m_card.maxThroughputBytes))
        + element(QStringLiteral("MaxRange"), QString::number(m_card.maxRangeMinutes))
        + QStringLiteral("<Mapping>") + m_card.timeFrameXml + QStringLiteral("</Mapping>")
        + QStringLiteral("<CamList>") + cams + QStringLiteral("</CamList>")
        + QStringLiteral("</Tmcard></GetBkpTmcardRes>");
    return {ResultCodes::Success, xml, QString()};
}

ServiceReply BackupService::getBackupPath() const
{
    const QString xml = QStringLiteral("<GetBkpTmcardRes><Tmcard>")
        + element(QStringLiteral("Dir"), m_card.dir)
        + QStringLiteral("</Tmcard></GetBkpTmcardRes>");
    return {ResultCodes::Success, xml, QString()};
}

ServiceReply BackupService::getBackupStatus() const
{
    const BackupStatusReport report = BackupStatusSimulator::statusAt(m_card, m_clock());
    const QString xml = QStringLiteral("<GetBackupStatusRes>")
        + element(QStringLiteral("Status"), report.status)
        + element(QStringLiteral("BackupInterval"), report.interval)
        + element(QStringLiteral("BackupProgress"), QString::number(report.progress))
        + QStringLiteral("</GetBackupStatusRes>");
    return {ResultCodes::Success, xml, QString()};
}

ServiceReply BackupService::refuse(const QString& replyElement, const QString& code,
                                   const QString& reason) const
{
    qCInfo(lcService) << "refused with" << code << reason;
    const QString xml = QStringLiteral("<%1><Error Code=\"%2\">%3</Error></%1>")
                            .arg(replyElement, code, reason.toHtmlEscaped());
    return {code, xml, reason};
}

ServiceReply BackupService::updateTimeCard(const QString& replyElement, const QVariant& arguments)
{
    auto fail = [&](const QString& code, const QString& reason) {
        return refuse(replyElement, code, reason);
    };
    if (arguments.metaType().id() != QMetaType::QVariantMap)
        return fail(ResultCodes::InvalidArgument, QStringLiteral("arguments must be a map"));
    const QVariantMap args = arguments.toMap();

    qint64 revision = 0;
    if (!readInteger(args, QStringLiteral("Revision"), &revision))
        return fail(ResultCodes::InvalidArgument, QStringLiteral("missing revision"));
    if (revision != m_card.revision)
        return fail(ResultCodes::StaleRevision,
                    QStringLiteral("stale revision %1, the stored time-card is at revision %2")
                        .arg(revision)
                        .arg(m_card.revision));
    qint64 tmcardId = 0;
    if (!readInteger(args, QStringLiteral("TmcardID"), &tmcardId) || tmcardId != m_card.tmcardId)
        return fail(ResultCodes::UnknownTimeCard,
                    QStringLiteral("unknown time-card id %1")
                        .arg(args.value(QStringLiteral("TmcardID")).toString()));

    const QString frameXml = args.value(QStringLiteral("TimeFrameMessage")).toString();
    const TimeFrame frame = TimeFrame::parse(frameXml);
    if (!frame.isValid())
        return fail(ResultCodes::MalformedTimeFrame, frame.errorText());

    const QString dir = args.value(QStringLiteral("Dir")).toString().trimmed();
    if (dir.isEmpty())
        return fail(ResultCodes::MissingDirectory, QStringLiteral("no target directory"));

    qint64 throughput = 0;
    qint64 range = 0;
    if (!readInteger(args, QStringLiteral("MaxThroughput"), &throughput) || throughput < 0)
        return fail(ResultCodes::InvalidArgument, QStringLiteral("invalid throughput limit"));
    if (!readInteger(args, QStringLiteral("MaxRange"), &range) || range < 0)
        return fail(ResultCodes::InvalidArgument, QStringLiteral("invalid range limit"));

    const QVariantList camList = args.value(QStringLiteral("CamGroupList")).toList();
    if (camList.isEmpty())
        return fail(ResultCodes::InvalidArgument, QStringLiteral("no cameras selected"));
    QList<CameraRef> cameras;
    QSet<QString> seen;
    for (const QVariant& entry : camList) {
        const QVariantMap map = entry.toMap();
        const QString cameraId = map.value(QStringLiteral("CamID")).toString();
        const QString groupId = map.value(QStringLiteral("GroupID")).toString();
        if (cameraId == AllCamerasId) {
            if (camList.size() != 1)
                return fail(ResultCodes::InvalidArgument,
                            QStringLiteral("\"all cameras\" cannot be mixed with single cameras"));
            cameras.append({AllCamerasId, QString()});
            break;
        }
        const auto known = std::find_if(
            m_inventory.cbegin(), m_inventory.cend(),
            [&cameraId](const InventoryCamera& camera) { return camera.cameraId == cameraId; });
        if (known == m_inventory.cend())
            return fail(ResultCodes::UnknownCamera,
                        QStringLiteral("unknown camera \"%1\"").arg(cameraId));
        // The inventory owns the group of a camera; a client that does not know it sends none.
        if (!groupId.isEmpty() && groupId != known->groupId)
            return fail(
                ResultCodes::UnknownCamera,
                QStringLiteral("camera \"%1\" is not in group \"%2\"").arg(cameraId, groupId));
        if (!seen.contains(cameraId)) {
            seen.insert(cameraId);
            cameras.append({cameraId, known->groupId});
        }
    }

    TimeCard updated = m_card;
    updated.revision = m_card.revision + 1;
    updated.enabled = args.value(QStringLiteral("Enabled")).toBool();
    updated.targetCyclic = args.value(QStringLiteral("TargetCyclic")).toBool();
    updated.dir = dir;
    updated.maxThroughputBytes = throughput;
    updated.maxRangeMinutes = range;
    updated.cameras = cameras;
    updated.timeFrameXml = frameXml;
    updated.timeFrameName = frame.name();
    updated.intervals = frame.intervals();

    QString error;
    if (!m_store.save(updated, m_inventory, &error))
        return fail(ResultCodes::StorageFailure, error);
    m_card = updated;
    qCInfo(lcService) << "stored time-card revision" << m_card.revision;
    Q_EMIT timeCardChanged();
    return {ResultCodes::Success, QStringLiteral("<%1/>").arg(replyElement), QString()};
}
