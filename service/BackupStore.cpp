// SPDX-License-Identifier: BSD-3-Clause

#include "BackupStore.h"

#include "BackupProtocol.h"
#include "TimeFrame.h"
#include "XmlText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>
#include <QThread>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// The translation context of the texts that reach people.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(BackupStore)
};

using namespace BackupProtocol;

const QString FileName = QStringLiteral("schedule-backup.xml");
const QString RootElement = QStringLiteral("ScheduleBackupData");
const QString InventoryElement = QStringLiteral("Inventory");
const QString CameraElement = QStringLiteral("Camera");
const QString TimeFrameElement = QStringLiteral("TimeFrame");
const QString IdAttribute = QStringLiteral("ID");
const QString VersionAttribute = QStringLiteral("version");
// Raised when a change of the format would make an older program misread a file. A file without
// a version is of the first format.
constexpr int FormatVersion = 1;
// How often a waiting writer asks for the lock again.
constexpr int LockPollMs = 10;

// Reads the time-card element by element; the first value that does not parse ends the read
// with a text naming the element.
class CardReader
{
public:
    explicit CardReader(QXmlStreamReader& reader) : m_reader(reader) { }

    bool read(TimeCard* card)
    {
        while (m_reader.readNextStartElement()) {
            const QString name = m_reader.name().toString();
            if (name == Reply::CamList) {
                if (!readCameras(card))
                    return false;
                continue;
            }
            const QString text = m_reader.readElementText();
            if (m_reader.hasError())
                return false;
            bool ok = true;
            if (name == Reply::Revision)
                ok = readCount(name, text, &card->revision);
            else if (name == Reply::TmcardId)
                ok = readCount(name, text, &card->tmcardId);
            else if (name == Reply::Name)
                card->name = text;
            else if (name == Reply::Enabled)
                ok = readBool(name, text, &card->enabled);
            else if (name == Reply::TargetCyclic)
                ok = readBool(name, text, &card->targetCyclic);
            else if (name == Reply::Dir)
                card->dir = text;
            else if (name == Reply::MaxThroughput)
                ok = readCount(name, text, &card->maxThroughputBytes);
            else if (name == Reply::MaxRange)
                ok = readCount(name, text, &card->maxRangeMinutes);
            else if (name == TimeFrameElement)
                card->timeFrameXml = text;
            if (!ok)
                return false;
            m_seen.insert(name);
        }
        for (const QString& required :
             {Reply::Revision, Reply::TmcardId, Reply::Enabled, Reply::TargetCyclic, Reply::Dir,
              Reply::MaxThroughput, Reply::MaxRange, TimeFrameElement}) {
            if (!m_seen.contains(required))
                return fail(Texts::tr("<%1> is missing").arg(required));
        }
        return !m_reader.hasError();
    }

    QString error() const { return m_error; }

private:
    bool readCameras(TimeCard* card)
    {
        while (m_reader.readNextStartElement()) {
            CameraRef camera;
            camera.groupId = m_reader.attributes().value(Reply::GroupAttribute).toString();
            camera.cameraId = m_reader.readElementText();
            card->cameras.append(camera);
        }
        if (m_reader.hasError())
            return false;
        // Only the update check stands between the two; a file that mixes them was not written
        // by the service, and reading it as either would change what is backed up.
        for (const CameraRef& camera : std::as_const(card->cameras)) {
            if (camera.cameraId == AllCamerasTag && card->cameras.size() > 1)
                return fail(Texts::tr("<%1> mixes \"%2\" with single cameras")
                                .arg(Reply::CamList, AllCamerasTag));
        }
        return true;
    }

    bool readCount(const QString& name, const QString& text, qint64* value)
    {
        bool ok = false;
        *value = text.toLongLong(&ok);
        if (!ok || *value < 0)
            return fail(Texts::tr("<%1> is not a count: \"%2\"").arg(name, text.left(40)));
        return true;
    }

    bool readBool(const QString& name, const QString& text, bool* value)
    {
        if (text != True && text != False)
            return fail(
                Texts::tr("<%1> is neither true nor false: \"%2\"").arg(name, text.left(40)));
        *value = text == True;
        return true;
    }

    bool fail(const QString& text)
    {
        m_error = text;
        return false;
    }

    QXmlStreamReader& m_reader;
    QSet<QString> m_seen;
    QString m_error;
};

bool readInventory(QXmlStreamReader& reader, QList<InventoryCamera>* inventory)
{
    while (reader.readNextStartElement()) {
        InventoryCamera camera;
        camera.cameraId = reader.attributes().value(IdAttribute).toString();
        camera.groupId = reader.attributes().value(Reply::GroupAttribute).toString();
        camera.name = reader.readElementText();
        inventory->append(camera);
    }
    return !reader.hasError();
}

// Moves to the root element. A document type declaration is refused before anything in it is
// used: it is the only way to declare entities, and entities are how a small file turns into
// a huge or a foreign one.
bool readToRoot(QXmlStreamReader& reader, QString* error)
{
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            *error = Texts::tr("it declares a document type, which data files never do");
            return false;
        case QXmlStreamReader::StartElement:
            return true;
        default:
            break;
        }
    }
    *error = reader.hasError() ? reader.errorString() : Texts::tr("it is empty");
    return false;
}

StoreResult<ServiceData> damaged(const QString& text)
{
    return StoreResult<ServiceData>::failure(StoreError::Damaged, text);
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString fileKind(mode_t mode)
{
    if (S_ISDIR(mode))
        return Texts::tr("a folder");
    if (S_ISFIFO(mode))
        return Texts::tr("a FIFO");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return Texts::tr("a device");
    if (S_ISSOCK(mode))
        return Texts::tr("a socket");
    return Texts::tr("no regular file");
}

// Reads at most `limit` bytes from `fd`; `*document` holds limit + 1 bytes when there are more.
bool readAtMost(int fd, qint64 limit, qint64 sizeHint, QByteArray* document)
{
    document->reserve(qsizetype(std::clamp<qint64>(sizeHint, 0, limit) + 1));
    char buffer[65536];
    while (document->size() <= limit) {
        const qint64 wanted = std::min<qint64>(sizeof buffer, limit + 1 - document->size());
        const ssize_t got = ::read(fd, buffer, size_t(wanted));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        document->append(buffer, got);
    }
    return true;
}

// The path with every link resolved, or an empty text when it does not exist or its name does
// not survive as text (a folder name that is not in the locale's encoding is reached through the
// name it was given instead).
QString realPath(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    char* real = ::realpath(name.constData(), nullptr);
    if (!real)
        return {};
    const QByteArray bytes(real);
    std::free(real);
    const QString text = QFile::decodeName(bytes);
    return QFile::encodeName(text) == bytes ? text : QString();
}

} // namespace

StoreLock::StoreLock(int fd, const QString& filePath) : m_fd(fd), m_filePath(filePath) { }

StoreLock::~StoreLock()
{
    ::close(m_fd); // also releases the flock
}

BackupStore::BackupStore(const QString& dataDir) : m_dataDir(dataDir) { }

BackupStore::~BackupStore() = default;

QString BackupStore::filePath() const
{
    return QDir(m_dataDir).filePath(FileName);
}

QString BackupStore::resolvedFilePath() const
{
    if (const QString file = realPath(filePath()); !file.isEmpty())
        return file;
    const QString folder = realPath(m_dataDir);
    return folder.isEmpty() ? filePath() : QDir(folder).filePath(FileName);
}

bool BackupStore::exists() const
{
    return QFile::exists(filePath());
}

StoreResult<BackupStore::Lock> BackupStore::lock(QDeadlineTimer deadline) const
{
    if (!QDir().mkpath(m_dataDir)) {
        return StoreResult<Lock>::failure(StoreError::CannotWrite,
                                          Texts::tr("cannot create data folder %1").arg(m_dataDir));
    }
    // Writers through any link lock the one folder the file is really in. A folder opens
    // read-only for anyone who may list it, whoever made it.
    const QString path = resolvedFilePath();
    const QString folder = QFileInfo(path).absolutePath();
    const int fd
        = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return StoreResult<Lock>::failure(
            StoreError::CannotWrite,
            Texts::tr("cannot open data folder %1: %2").arg(folder, systemError()));
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error != EWOULDBLOCK && error != EINTR) {
            ::close(fd);
            return StoreResult<Lock>::failure(
                StoreError::CannotWrite,
                Texts::tr("cannot lock data folder %1: %2")
                    .arg(folder, QString::fromLocal8Bit(std::strerror(error))));
        }
        if (deadline.hasExpired()) {
            ::close(fd);
            return StoreResult<Lock>::failure(
                StoreError::Locked, Texts::tr("another program is saving to %1").arg(path));
        }
        const qint64 left = deadline.isForever() ? LockPollMs : deadline.remainingTime();
        QThread::msleep(ulong(std::clamp<qint64>(left, 1, LockPollMs)));
    }
    return StoreResult<Lock>::success(std::make_shared<StoreLock>(fd, path));
}

StoreResult<ServiceData> BackupStore::load() const
{
    return readFile(filePath());
}

StoreResult<ServiceData> BackupStore::load(const StoreLock& lock) const
{
    return readFile(lock.filePath());
}

StoreResult<ServiceData> BackupStore::readFile(const QString& path)
{
    // Non-blocking, so that a FIFO in its place opens at once and is then refused.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return StoreResult<ServiceData>::failure(
            StoreError::CannotRead, Texts::tr("cannot read %1: %2").arg(path, systemError()));
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat status = {};
    if (::fstat(fd, &status) != 0) {
        return StoreResult<ServiceData>::failure(
            StoreError::CannotRead, Texts::tr("cannot read %1: %2").arg(path, systemError()));
    }
    if (!S_ISREG(status.st_mode))
        return damaged(Texts::tr("%1 is damaged: it is %2").arg(path, fileKind(status.st_mode)));
    QByteArray document;
    if (!readAtMost(fd, MaximumFileSize, status.st_size, &document)) {
        return StoreResult<ServiceData>::failure(
            StoreError::CannotRead, Texts::tr("cannot read %1: %2").arg(path, systemError()));
    }
    const StoreResult<ServiceData> parsed = parse(document);
    if (!parsed)
        return damaged(Texts::tr("%1 is damaged: %2").arg(path, parsed.errorText()));
    return parsed;
}

StoreResult<ServiceData> BackupStore::parse(const QByteArray& document)
{
    if (document.size() > MaximumFileSize)
        return damaged(Texts::tr("larger than %1 bytes").arg(MaximumFileSize));
    if (XmlText::hasCrowdedStartTag(document))
        return damaged(
            Texts::tr("an element has more than %1 attributes").arg(XmlText::MaxAttributes));
    QXmlStreamReader reader(document);
    QString error;
    if (!readToRoot(reader, &error))
        return damaged(error);
    if (reader.name() != RootElement)
        return damaged(Texts::tr("it is not a schedule-backup data file"));
    const QStringView version = reader.attributes().value(VersionAttribute);
    if (!version.isEmpty() && version != QString::number(FormatVersion))
        return damaged(Texts::tr("it is of format version %1, not %2")
                           .arg(version.toString())
                           .arg(FormatVersion));

    ServiceData data;
    bool hasCard = false;
    while (reader.readNextStartElement()) {
        if (reader.name() == Reply::TimeCard) {
            CardReader cardReader(reader);
            if (!cardReader.read(&data.card)) {
                return damaged(cardReader.error().isEmpty() ? reader.errorString()
                                                            : cardReader.error());
            }
            hasCard = true;
        } else if (reader.name() == InventoryElement) {
            if (!readInventory(reader, &data.inventory))
                return damaged(reader.errorString());
        } else {
            reader.skipCurrentElement();
        }
    }
    if (reader.hasError())
        return damaged(reader.errorString());
    // Nothing may follow the root element, not even a second one.
    while (!reader.atEnd() && !reader.hasError())
        reader.readNext();
    if (reader.hasError())
        return damaged(Texts::tr("after </%1>: %2").arg(RootElement, reader.errorString()));
    if (!hasCard)
        return damaged(Texts::tr("it holds no time-card"));

    // The stored time frame passes the same check as one the client sends.
    const TimeFrame frame = TimeFrame::parse(data.card.timeFrameXml);
    if (!frame.isValid())
        return damaged(QStringLiteral("<%1>: %2").arg(TimeFrameElement, frame.errorText()));
    data.card.timeFrameName = frame.name();
    data.card.intervals = frame.intervals();
    return StoreResult<ServiceData>::success(std::move(data));
}

QByteArray BackupStore::serialize(const ServiceData& data)
{
    const TimeCard& card = data.card;
    QByteArray document;
    QXmlStreamWriter writer(&document);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(RootElement);
    writer.writeAttribute(VersionAttribute, QString::number(FormatVersion));

    writer.writeStartElement(Reply::TimeCard);
    writer.writeTextElement(Reply::Revision, QString::number(card.revision));
    writer.writeTextElement(Reply::TmcardId, QString::number(card.tmcardId));
    XmlText::writeTextElement(writer, Reply::Name, card.name);
    writer.writeTextElement(Reply::Enabled, boolText(card.enabled));
    writer.writeTextElement(Reply::TargetCyclic, boolText(card.targetCyclic));
    XmlText::writeTextElement(writer, Reply::Dir, card.dir);
    writer.writeTextElement(Reply::MaxThroughput, QString::number(card.maxThroughputBytes));
    writer.writeTextElement(Reply::MaxRange, QString::number(card.maxRangeMinutes));
    // Kept as text so the client gets back exactly the element it stored.
    XmlText::writeTextElement(writer, TimeFrameElement, card.timeFrameXml);
    writer.writeStartElement(Reply::CamList);
    for (const CameraRef& camera : card.cameras) {
        writer.writeStartElement(Reply::Cam);
        writer.writeAttribute(Reply::GroupAttribute, camera.groupId);
        XmlText::writeCharacters(writer, camera.cameraId);
        writer.writeEndElement();
    }
    writer.writeEndElement(); // CamList
    writer.writeEndElement(); // Tmcard

    writer.writeStartElement(InventoryElement);
    for (const InventoryCamera& camera : data.inventory) {
        writer.writeStartElement(CameraElement);
        writer.writeAttribute(IdAttribute, camera.cameraId);
        writer.writeAttribute(Reply::GroupAttribute, camera.groupId);
        XmlText::writeCharacters(writer, camera.name);
        writer.writeEndElement();
    }
    writer.writeEndElement(); // Inventory
    writer.writeEndElement(); // root
    writer.writeEndDocument();
    return document;
}

StoreResult<> BackupStore::save(const ServiceData& data) const
{
    if (!QDir().mkpath(m_dataDir)) {
        return StoreResult<>::failure(
            StoreError::CannotWrite,
            Texts::tr("cannot write %1: cannot create the data folder").arg(filePath()));
    }
    return writeFile(resolvedFilePath(), data);
}

StoreResult<> BackupStore::save(const StoreLock& lock, const ServiceData& data) const
{
    return writeFile(lock.filePath(), data);
}

StoreResult<> BackupStore::writeFile(const QString& path, const ServiceData& data)
{
    auto cannotWrite = [&path](const QString& reason) {
        return StoreResult<>::failure(StoreError::CannotWrite,
                                      Texts::tr("cannot write %1: %2").arg(path, reason));
    };
    const QByteArray document = serialize(data);
    // A file the service would refuse to read is never written.
    if (document.size() > MaximumFileSize) {
        return StoreResult<>::failure(
            StoreError::TooLarge,
            Texts::tr("the data file would grow to %1 bytes, beyond its limit of %2 bytes")
                .arg(document.size())
                .arg(MaximumFileSize));
    }

    // Unbuffered: commit() does not report a failing final flush, so every byte goes out in
    // write(), where a failure shows. A short write carries no reason; the next write fails with
    // the system's. The data is synced too, and the old file is replaced only when all of it is
    // on disk. The path is the resolved one, so a link to the file stays a link.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return cannotWrite(file.errorString());
    for (qint64 written = 0; written < document.size();) {
        const qint64 chunk = file.write(document.constData() + written, document.size() - written);
        if (chunk <= 0 || file.error() != QFileDevice::NoError) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return cannotWrite(reason);
        }
        written += chunk;
    }
    if (::fsync(file.handle()) != 0) {
        const QString reason = systemError();
        file.cancelWriting();
        return cannotWrite(reason);
    }
    if (!file.commit())
        return cannotWrite(file.errorString());
    return StoreResult<>::success();
}

ServiceData BackupStore::sampleData()
{
    ServiceData data;
    TimeCard& card = data.card;
    card.revision = 1;
    card.tmcardId = 7;
    card.name = QStringLiteral("ScheduledBackup");
    card.enabled = true;
    card.targetCyclic = true;
    card.dir = QStringLiteral("/srv/backup/video");
    card.maxThroughputBytes = 30LL << 20;
    card.maxRangeMinutes = 2 * 1440;
    card.cameras = {CameraRef {AllCamerasTag, QString()}};
    // Monday to Friday, 09:00 to 17:00.
    for (qint64 day = 1; day <= 5; ++day)
        card.intervals.append({day * SecondsPerDay + 9 * 3600, day * SecondsPerDay + 17 * 3600});
    card.timeFrameName = QStringLiteral("Office hours");
    card.timeFrameXml = TimeFrame::compose(card.timeFrameName, card.intervals);

    static const char* const places[]
        = {"Lobby entrance", "Lobby desk",      "Lift hall",       "Stairs",
           "Parking gate",   "Parking level 1", "Parking level 2", "Parking exit",
           "Loading dock",   "Warehouse aisle", "Warehouse door",  "Yard"};
    static const char* const groups[] = {"grp-lobby", "grp-parking", "grp-warehouse"};
    for (int i = 0; i < 12; ++i) {
        data.inventory.append({QStringLiteral("cam-%1").arg(i + 1, 2, 10, QLatin1Char('0')),
                               QString::fromLatin1(groups[i / 4]), QString::fromLatin1(places[i])});
    }
    return data;
}
