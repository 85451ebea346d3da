#include "BackupStore.h"

#include "TimeFrame.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

const QString FileName = QStringLiteral("schedule-backup.xml");
const QString RootElement = QStringLiteral("ScheduleBackupData");
constexpr int FormatVersion = 1;

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

bool readCard(QXmlStreamReader& reader, TimeCard* card)
{
    while (reader.readNextStartElement()) {
        const auto name = reader.name();
        if (name == QLatin1String("CamList")) {
            while (reader.readNextStartElement()) {
                CameraRef camera;
                camera.groupId = reader.attributes().value(QLatin1String("GrpID")).toString();
                camera.cameraId = reader.readElementText();
                card->cameras.append(camera);
            }
            continue;
        }
        const QString text = reader.readElementText();
        if (name == QLatin1String("Revision"))
            card->revision = text.toLongLong();
        else if (name == QLatin1String("TmcardID"))
            card->tmcardId = text.toLongLong();
        else if (name == QLatin1String("Name"))
            card->name = text;
        else if (name == QLatin1String("Enabled"))
            card->enabled = text == QLatin1String("true");
        else if (name == QLatin1String("TargetCyclic"))
            card->targetCyclic = text == QLatin1String("true");
        else if (name == QLatin1String("Dir"))
            card->dir = text;
        else if (name == QLatin1String("MaxThroughput"))
            card->maxThroughputBytes = text.toLongLong();
        else if (name == QLatin1String("MaxRange"))
            card->maxRangeMinutes = text.toLongLong();
        else if (name == QLatin1String("TimeFrame"))
            card->timeFrameXml = text;
    }
    return !reader.hasError();
}

} // namespace

BackupStore::BackupStore(const QString& dataDir) : m_dataDir(dataDir) { }

QString BackupStore::filePath() const
{
    return QDir(m_dataDir).filePath(FileName);
}

bool BackupStore::exists() const
{
    return QFile::exists(filePath());
}

bool BackupStore::load(TimeCard* card, QList<InventoryCamera>* inventory, QString* error) const
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    QXmlStreamReader reader(&file);
    if (!reader.readNextStartElement() || reader.name() != RootElement) {
        *error = QStringLiteral("%1 is not a schedule-backup data file").arg(file.fileName());
        return false;
    }
    TimeCard loaded;
    QList<InventoryCamera> cameras;
    bool hasCard = false;
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("Tmcard")) {
            hasCard = readCard(reader, &loaded);
        } else if (reader.name() == QLatin1String("Inventory")) {
            while (reader.readNextStartElement()) {
                InventoryCamera camera;
                camera.cameraId = reader.attributes().value(QLatin1String("ID")).toString();
                camera.groupId = reader.attributes().value(QLatin1String("GrpID")).toString();
                camera.name = reader.readElementText();
                cameras.append(camera);
            }
        } else {
            reader.skipCurrentElement();
        }
    }
    if (reader.hasError() || !hasCard) {
        *error
            = QStringLiteral("%1 is damaged: %2")
                  .arg(file.fileName(),
                       reader.hasError() ? reader.errorString() : QStringLiteral("no time-card"));
        return false;
    }
    const TimeFrame frame = TimeFrame::parse(loaded.timeFrameXml);
    if (!frame.isValid()) {
        *error = QStringLiteral("%1 holds a bad time frame: %2")
                     .arg(file.fileName(), frame.errorText());
        return false;
    }
    loaded.timeFrameName = frame.name();
    loaded.intervals = frame.intervals();
    *card = loaded;
    *inventory = cameras;
    return true;
}

bool BackupStore::save(const TimeCard& card, const QList<InventoryCamera>& inventory,
                       QString* error) const
{
    if (!QDir().mkpath(m_dataDir)) {
        *error = QStringLiteral("cannot create data folder %1").arg(m_dataDir);
        return false;
    }
    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    QXmlStreamWriter writer(&file);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(RootElement);
    writer.writeAttribute(QStringLiteral("version"), QString::number(FormatVersion));

    writer.writeStartElement(QStringLiteral("Tmcard"));
    writer.writeTextElement(QStringLiteral("Revision"), QString::number(card.revision));
    writer.writeTextElement(QStringLiteral("TmcardID"), QString::number(card.tmcardId));
    writer.writeTextElement(QStringLiteral("Name"), card.name);
    writer.writeTextElement(QStringLiteral("Enabled"), boolText(card.enabled));
    writer.writeTextElement(QStringLiteral("TargetCyclic"), boolText(card.targetCyclic));
    writer.writeTextElement(QStringLiteral("Dir"), card.dir);
    writer.writeTextElement(QStringLiteral("MaxThroughput"),
                            QString::number(card.maxThroughputBytes));
    writer.writeTextElement(QStringLiteral("MaxRange"), QString::number(card.maxRangeMinutes));
    // Kept as text so the client gets back exactly the element it stored.
    writer.writeStartElement(QStringLiteral("TimeFrame"));
    writer.writeCDATA(card.timeFrameXml);
    writer.writeEndElement();
    writer.writeStartElement(QStringLiteral("CamList"));
    for (const CameraRef& camera : card.cameras) {
        writer.writeStartElement(QStringLiteral("Cam"));
        writer.writeAttribute(QStringLiteral("GrpID"), camera.groupId);
        writer.writeCharacters(camera.cameraId);
        writer.writeEndElement();
    }
    writer.writeEndElement(); // CamList
    writer.writeEndElement(); // Tmcard

    writer.writeStartElement(QStringLiteral("Inventory"));
    for (const InventoryCamera& camera : inventory) {
        writer.writeStartElement(QStringLiteral("Camera"));
        writer.writeAttribute(QStringLiteral("ID"), camera.cameraId);
        writer.writeAttribute(QStringLiteral("GrpID"), camera.groupId);
        writer.writeCharacters(camera.name);
        writer.writeEndElement();
    }
    writer.writeEndElement(); // Inventory
    writer.writeEndElement(); // root
    writer.writeEndDocument();

    if (writer.hasError() || !file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    return true;
}

TimeCard BackupStore::sampleTimeCard()
{
    TimeCard card;
    card.revision = 1;
    card.tmcardId = 7;
    card.name = QStringLiteral("ScheduledBackup");
    card.enabled = true;
    card.targetCyclic = true;
    card.dir = QStringLiteral("/srv/backup/video");
    card.maxThroughputBytes = 30LL << 20;
    card.maxRangeMinutes = 2 * 1440;
    card.cameras = {CameraRef {AllCamerasId, QString()}};
    // Monday to Friday, 09:00 to 17:00.
    for (qint64 day = 1; day <= 5; ++day)
        card.intervals.append({day * SecondsPerDay + 9 * 3600, day * SecondsPerDay + 17 * 3600});
    card.timeFrameName = QStringLiteral("Office hours");
    card.timeFrameXml = TimeFrame::compose(card.timeFrameName, card.intervals);
    return card;
}

QList<InventoryCamera> BackupStore::sampleInventory()
{
    static const char* const places[]
        = {"Lobby entrance", "Lobby desk",      "Lift hall",       "Stairs",
           "Parking gate",   "Parking level 1", "Parking level 2", "Parking exit",
           "Loading dock",   "Warehouse aisle", "Warehouse door",  "Yard"};
    static const char* const groups[] = {"grp-lobby", "grp-parking", "grp-warehouse"};
    QList<InventoryCamera> cameras;
    for (int i = 0; i < 12; ++i) {
        cameras.append({QStringLiteral("cam-%1").arg(i + 1, 2, 10, QLatin1Char('0')),
                        QString::fromLatin1(groups[i / 4]), QString::fromLatin1(places[i])});
    }
    return cameras;
}
