// SPDX-License-Identifier: BSD-3-Clause
// The backup service's answers: what an update stores, one refusal per check (each storing
// nothing), a write that fails for real, and several processes (and users) sharing one data file:
// a lock holder that dies, folders linked to one file, a folder that is read-only.

#include "BackupProtocol.h"
#include "BackupService.h"
#include "FileSizeLimit.h"
#include "ServiceLimits.h"
#include "Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QThread>
#include <QXmlStreamReader>

#include <cerrno>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace BackupProtocol;
using ServiceLimits::MaxRangeMinutes;
using ServiceLimits::MaxThroughputBytes;

const QString ShopHours = R"(<Ele><Frame><Name>Shop hours</Name><Intervals>)"
                          R"(<Ele B="118800" E="147600" /></Intervals></Frame></Ele>)";

QVariantMap camera(const QString& id, const QString& group = QString())
{
    return {{Arg::CamId, id}, {Arg::GroupId, group}};
}

// An update the seeded sample (revision 1, time-card 7) accepts, with both limits at their maximum.
QVariantMap update(qint64 revision = 1)
{
    return {{Arg::Revision, revision},
            {Arg::TmcardId, 7},
            {Arg::Enabled, false},
            {Arg::TargetCyclic, false},
            {Arg::Dir, "/mnt/nas/video"},
            {Arg::MaxThroughput, MaxThroughputBytes},
            {Arg::MaxRange, MaxRangeMinutes},
            {Arg::CamGroupList, QVariantList {camera("cam-05", "grp-parking")}},
            {Arg::TimeFrameMessage, ShopHours}};
}

QVariantMap with(QVariantMap arguments, const QString& key, const QVariant& value)
{
    arguments.insert(key, value);
    return arguments;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// An update against the stored revision, asked again for as long as another program saves.
ServiceReply updateStored(BackupService& service)
{
    const qint64 revision = service.data().value().card.revision;
    ServiceReply reply;
    for (reply = service.handle(UpdateTimeCard, update(revision)); reply.busy;
         reply = service.handle(UpdateTimeCard, update(revision)))
        QThread::msleep(1);
    return reply;
}

// The child processes. "--race DIR ROUNDS": once a line arrives on stdin, updates ROUNDS times
// and prints every result code. "--hold DIR": takes the data file's lock, says "held" and keeps it
// until killed. "--update DIR" and "--read DIR": one update, or open and read, and print the code.
int child(const QString& mode, const QString& dataDir, int rounds)
{
    BackupService service(dataDir);
    QTextStream out(stdout);
    if (mode == "--hold") {
        const auto lock = BackupStore(dataDir).lock(QDeadlineTimer(0));
        out << (lock ? "held" : "not held") << Qt::endl;
        QTextStream(stdin).readLine(); // ends when the parent kills this process
        return 0;
    }
    if (mode == "--read") {
        out << (service.open() ? service.handle(GetTimeCard, {}).resultCode : "not opened")
            << Qt::endl;
        return 0;
    }
    if (mode == "--race")
        QTextStream(stdin).readLine();
    for (int round = 0; round < rounds; ++round)
        out << updateStored(service).resultCode << Qt::endl;
    return 0;
}

QString selfPath()
{
    return QCoreApplication::applicationFilePath();
}

// A child holding the data file's lock, killed for real when it goes away.
class Holder
{
public:
    explicit Holder(const QString& dataDir)
    {
        m_process.start(selfPath(), {"--hold", dataDir});
        m_held = m_process.waitForReadyRead(30000) && m_process.readLine() == "held\n";
    }
    ~Holder() { kill(); }

    bool isHolding() const { return m_held; }
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
    bool m_held = false;
};

} // namespace

class tst_BackupService : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<BackupService> m_service;
    using CameraCases = Table<QVariantList, QList<CameraRef>>; // sent, stored
    using RefusalCases = Table<QString, QVariant, QString>; // command, arguments, result code
    // The stored revision, bytes of inventory up to just below the cap, the result code.
    using LimitCases = Table<qint64, qsizetype, QString>;
    using UserCases = Table<QString, int, QString>; // the child's mode, the folder's, the code

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath("schedule-backup.xml"));
        m_service = std::make_unique<BackupService>(m_dir.path());
        QVERIFY(m_service->open());
        // The stored time-card holds a camera that has since left the inventory.
        ServiceData data = m_service->data().value();
        data.card.cameras = {{"cam-99", "grp-gone"}};
        QVERIFY(BackupStore(m_dir.path()).save(data));
    }

    void acceptedUpdateStoresEveryValue_data()
    {
        CameraCases::columns();
        const auto row = &CameraCases::row;
        row("cameras as sent", {camera("cam-05", "grp-parking")}, {{"cam-05", "grp-parking"}});
        row("a camera without group gets it from the inventory", {camera("cam-09")},
            {{"cam-09", "grp-warehouse"}});
        row("a camera sent twice is stored once, where it came first",
            {camera("cam-03"), camera("cam-01"), camera("cam-03", "grp-lobby")},
            {{"cam-03", "grp-lobby"}, {"cam-01", "grp-lobby"}});
        row("a stored camera that left the inventory stays, with its stored group",
            {camera("cam-99"), camera("cam-01")},
            {{"cam-99", "grp-gone"}, {"cam-01", "grp-lobby"}});
    }

    void acceptedUpdateStoresEveryValue()
    {
        const auto [sent, stored] = CameraCases::fetch();
        const ServiceReply reply
            = m_service->handle(UpdateTimeCard, with(update(), Arg::CamGroupList, sent));
        QCOMPARE(reply.resultCode, Code::Success);
        QCOMPARE(reply.xml, "<UpdBkpTmcardRes/>");

        // Read by a service of its own, so only what is on disk counts.
        const TimeCard card = BackupService(m_dir.path()).data().value().card;
        QCOMPARE(QVariantList({card.revision, card.enabled, card.targetCyclic, card.dir,
                               card.maxThroughputBytes, card.maxRangeMinutes, card.timeFrameXml}),
                 QVariantList({2, false, false, "/mnt/nas/video", MaxThroughputBytes,
                               MaxRangeMinutes, ShopHours}));
        QCOMPARE(card.cameras, stored);
        QCOMPARE(card.intervals, (QList<WeekInterval> {{118800, 147600}}));
    }

    // A reader of a reply gets back exactly the stored text, a carriage return included.
    void replyCarriesTheStoredText()
    {
        const QString dir = "/mnt/a\r\nb\r <&> \"q\"";
        const QVariantMap arguments = with(update(), Arg::Dir, dir);
        QCOMPARE(m_service->handle(UpdateTimeCard, arguments).resultCode, Code::Success);
        QXmlStreamReader reader(m_service->handle(GetTimeCard, {}).xml);
        while (!reader.atEnd()
               && !(reader.readNext() == QXmlStreamReader::StartElement
                    && reader.name() == Reply::Dir)) {
        }
        QCOMPARE(reader.readElementText(), dir);
    }

    void refusalStoresNothing_data()
    {
        RefusalCases::columns();
        const QVariantMap valid = update();
        auto row = [](const char* tag, const QVariant& arguments, const QString& code,
                      const QString& command = UpdateTimeCard) {
            RefusalCases::row(tag, command, arguments, code);
        };
        auto cameras
            = [&valid](const QVariantList& list) { return with(valid, Arg::CamGroupList, list); };

        row("an unknown command", valid, Code::UnknownCommand, "DelBkpTmcard");
        row("an older revision", update(0), Code::StaleRevision);
        row("a newer revision", update(2), Code::StaleRevision);
        row("a time frame that is not XML", with(valid, Arg::TimeFrameMessage, "Mon 09:00-17:00"),
            Code::MalformedTimeFrame);
        row("a time frame that declares a document type",
            with(valid, Arg::TimeFrameMessage, "<!DOCTYPE Ele>" + ShopHours),
            Code::MalformedTimeFrame);
        row("a time frame bound past the end of the week",
            with(valid, Arg::TimeFrameMessage, QString(ShopHours).replace("147600", "604801")),
            Code::MalformedTimeFrame);
        row("a directory of blanks only", with(valid, Arg::Dir, " \t \n"), Code::MissingDirectory);
        row("a control character in the directory", with(valid, Arg::Dir, "/mnt/a\x01z"),
            Code::InvalidArgument);
        row("an unknown camera", cameras({camera("cam-13")}), Code::UnknownCamera);
        row("a camera that left the inventory, sent with another group",
            cameras({camera("cam-99", "grp-lobby")}), Code::UnknownCamera);
        row("a camera sent with another group", cameras({camera("cam-01", "grp-parking")}),
            Code::UnknownCamera);
        row("no camera at all", cameras({}), Code::InvalidArgument);
        row("all cameras beside a single camera",
            cameras({camera(AllCamerasTag), camera("cam-01")}), Code::InvalidArgument);
        row("arguments that are not a map", QVariantList {valid}, Code::InvalidArgument);
        row("a revision that is not a number", with(valid, Arg::Revision, "one"),
            Code::InvalidArgument);
        row("a negative throughput limit", with(valid, Arg::MaxThroughput, -1),
            Code::InvalidArgument);
        row("a throughput limit above the maximum",
            with(valid, Arg::MaxThroughput, MaxThroughputBytes + 1), Code::InvalidArgument);
        row("a range limit above the maximum", with(valid, Arg::MaxRange, MaxRangeMinutes + 1),
            Code::InvalidArgument);
        row("an unknown time-card id", with(valid, Arg::TmcardId, 8), Code::UnknownTimeCard);
        row("a write that fails", valid, Code::StorageFailure);
    }

    void refusalStoresNothing()
    {
        const auto [command, arguments, code] = RefusalCases::fetch();
        const QByteArray before = readFile(m_service->dataFilePath());
        const bool failWrites = code == Code::StorageFailure;

        ServiceReply reply;
        {
            // Every write of this process past half the file's size fails with EFBIG.
            const FileSizeLimit limit(failWrites ? rlim_t(before.size() / 2) : RLIM_INFINITY);
            if (failWrites && !limit.isActive())
                QSKIP("the file size limit cannot be lowered here");
            reply = m_service->handle(command, arguments);
        }
        QCOMPARE(reply.resultCode, code);
        QVERIFY2(reply.xml.contains("<Error Code=\"" + code + "\">"), qPrintable(reply.xml));
        if (failWrites) {
            const QString reason = QString::fromLocal8Bit(std::strerror(EFBIG));
            QVERIFY2(reply.reason.contains(reason), qPrintable(reply.reason));
        }
        QCOMPARE(readFile(m_service->dataFilePath()), before);
    }

    void beyondTheFileLimitsNothingIsStored_data()
    {
        LimitCases::columns();
        LimitCases::row("a revision at its maximum", std::numeric_limits<qint64>::max(), 0,
                        Code::StorageFailure);
        LimitCases::row("a file that would grow beyond the size cap", 1,
                        BackupStore::MaximumFileSize - 100, Code::InvalidArgument);
    }

    void beyondTheFileLimitsNothingIsStored()
    {
        const auto [revision, padding, code] = LimitCases::fetch();
        ServiceData data = m_service->data().value();
        data.card.revision = revision;
        if (padding > 0) {
            data.inventory.append({"cam-big", "grp-big", QString()});
            const qsizetype size = BackupStore::serialize(data).size();
            data.inventory.last().name = QString(padding - size, 'x');
        }
        QVERIFY(BackupStore(m_dir.path()).save(data));
        const QByteArray before = readFile(m_service->dataFilePath());

        // The update adds a few thousand bytes: its directory is that much longer.
        const ServiceReply reply = m_service->handle(
            UpdateTimeCard, with(update(revision), Arg::Dir, QString(5000, 'd')));
        QCOMPARE(reply.resultCode, code);
        QVERIFY(readFile(m_service->dataFilePath()) == before);
        QVERIFY(m_service->data());
    }

    void aDeadHolderLeavesNoLock()
    {
        Holder holder(m_dir.path());
        QVERIFY(holder.isHolding());
        const ServiceReply busy = m_service->handle(UpdateTimeCard, update());
        QVERIFY(busy.busy);
        QCOMPARE(busy.resultCode, Code::StorageFailure);
        QVERIFY2(busy.reason.contains("another program is saving"), qPrintable(busy.reason));
        // Reading takes no lock.
        QCOMPARE(m_service->handle(GetTimeCard, {}).resultCode, Code::Success);

        holder.kill();
        QCOMPARE(m_service->handle(UpdateTimeCard, update()).resultCode, Code::Success);
    }

    void anotherUserSharesTheFolder_data()
    {
        UserCases::columns();
        // A dead holder's lock would shut the other user out for good if it outlived it.
        UserCases::row("saves after a holder died", "--update", 0777, Code::Success);
        UserCases::row("reads a read-only folder", "--read", 0755, Code::Success);
        UserCases::row("is refused, not stopped, saving to a read-only folder", "--update", 0755,
                       Code::StorageFailure);
    }

    void anotherUserSharesTheFolder()
    {
        const auto [mode, folderMode, code] = UserCases::fetch();
        const bool root = ::geteuid() == 0;
        if (root && QStandardPaths::findExecutable("setpriv").isEmpty())
            QSKIP("setpriv is needed to run as another user");
        if (!root && mode == "--update" && code == Code::Success)
            QSKIP("needs root to run as another user");
        // As root another user runs the child; otherwise the folder is read-only for this one. A
        // shared file is writable for all who share it.
        const int permissions = root ? folderMode : folderMode & 0555;
        QCOMPARE(::chmod(QFile::encodeName(m_dir.path()), mode_t(permissions)), 0);
        QCOMPARE(::chmod(QFile::encodeName(m_service->dataFilePath()), mode_t(permissions & 0666)),
                 0);
        {
            Holder holder(m_dir.path());
            QVERIFY(holder.isHolding());
        }

        QProcess other;
        const QStringList arguments {mode, m_dir.path()};
        if (root)
            other.start("setpriv",
                        QStringList {"--reuid=65534", "--regid=65534", "--clear-groups", selfPath()}
                            + arguments);
        else
            other.start(selfPath(), arguments);
        QVERIFY(other.waitForFinished(30000));
        QCOMPARE(::chmod(QFile::encodeName(m_dir.path()), 0700), 0);
        QCOMPARE(QString::fromLatin1(other.readAllStandardOutput()).trimmed(), code);
        const bool stored = mode == "--update" && code == Code::Success;
        QCOMPARE(m_service->data().value().card.revision, stored ? 2 : 1);
    }

    void racingProcessesLoseNoUpdate_data()
    {
        QTest::addColumn<bool>("linked");
        QTest::newRow("one folder") << false;
        // Writers through the link lock the folder the file is really in, and keep the link.
        QTest::newRow("two folders, one linked to the other's file") << true;
    }

    void racingProcessesLoseNoUpdate()
    {
        QFETCH(bool, linked);
        QTemporaryDir other;
        const QString link = other.filePath("schedule-backup.xml");
        if (linked)
            QVERIFY(QFile::link(m_service->dataFilePath(), link));

        constexpr int Processes = 4;
        constexpr int Rounds = 50;
        std::vector<std::unique_ptr<QProcess>> children;
        for (int i = 0; i < Processes; ++i) {
            children.push_back(std::make_unique<QProcess>());
            const QString dir = linked && i % 2 ? other.path() : m_dir.path();
            children.back()->start(selfPath(), {"--race", dir, QString::number(Rounds)});
        }
        // All start at once, so their updates overlap.
        for (const auto& child : children) {
            QVERIFY(child->waitForStarted());
            child->write("go\n");
            QVERIFY(child->waitForBytesWritten());
        }

        int accepted = 0;
        for (const auto& child : children) {
            QVERIFY(child->waitForFinished(150000));
            const QStringList codes = QString::fromLatin1(child->readAllStandardOutput())
                                          .split('\n', Qt::SkipEmptyParts);
            QCOMPARE(codes.size(), Rounds);
            for (const QString& code : codes) {
                QVERIFY2(code == Code::Success || code == Code::StaleRevision, qPrintable(code));
                accepted += code == Code::Success;
            }
        }
        // Each accepted update raised the seeded revision 1 by one; two accepted against one
        // revision would leave it behind.
        QCOMPARE(m_service->data().value().card.revision, 1 + accepted);
        if (linked)
            QVERIFY(QFileInfo(link).isSymLink());
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc >= 3 && QByteArrayList {"--race", "--hold", "--update", "--read"}.contains(argv[1]))
        return child(QString::fromLatin1(argv[1]), QFile::decodeName(argv[2]),
                     argc > 3 ? QByteArray(argv[3]).toInt() : 1);
    tst_BackupService test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backupservice.moc"
