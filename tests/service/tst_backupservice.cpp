// SPDX-License-Identifier: BSD-3-Clause
// The backup service's answers: what an update stores, one refusal per check (each storing
// nothing), a write that fails for real, a lock holder that dies, and racing processes sharing one
// data file through folders linked to it.

#include "BackupProtocol.h"
#include "BackupService.h"
#include "FileSizeLimit.h"
#include "ServiceLimits.h"
#include "Table.h"

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
// Markup and carriage returns, which a reply must carry back unchanged.
const QString Dir = "/mnt/a\r\nb\r <&> \"q\"";
constexpr qint64 MaxRevision = std::numeric_limits<qint64>::max();

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
            {Arg::Dir, Dir},
            {Arg::MaxThroughput, MaxThroughputBytes},
            {Arg::MaxRange, MaxRangeMinutes},
            {Arg::CamGroupList, QVariantList {camera("cam-05", "grp-parking")}},
            {Arg::TimeFrameMessage, ShopHours}};
}

QVariantMap with(const QString& key, const QVariant& value)
{
    QVariantMap arguments = update();
    arguments.insert(key, value);
    return arguments;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// The child processes. "--race DIR ROUNDS": once a line arrives on stdin, updates ROUNDS times
// against the stored revision, asking again while another program saves, and prints every result
// code. "--hold DIR": takes the data file's lock, says "held" and keeps it until killed.
// "--update DIR" and "--read DIR": one update, or open and read, and print the code.
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
        QTextStream(stdin).readLine(); // the racers start together
    for (int round = 0; round < rounds; ++round) {
        ServiceReply reply;
        do {
            if (reply.busy)
                QThread::msleep(1);
            reply = service.handle(UpdateTimeCard, update(service.data().value().card.revision));
        } while (reply.busy);
        out << reply.resultCode << Qt::endl;
    }
    return 0;
}

} // namespace

class tst_BackupService : public QObject
{
    Q_OBJECT

    // What the stored data file is made to be before a refusal; Held: another process holds its
    // lock.
    enum Setup { Plain, FailingWrites, RevisionAtMaximum, NearTheSizeCap, Held };

    QTemporaryDir m_dir;
    std::unique_ptr<BackupService> m_service;
    using CameraCases = Table<QVariantList, QList<CameraRef>>; // sent, stored
    // The command, its arguments, the code, part of the reason, and the Setup.
    using RefusalCases = Table<QString, QVariant, QString, QString, int>;

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
        const ServiceReply reply = m_service->handle(UpdateTimeCard, with(Arg::CamGroupList, sent));
        QCOMPARE(QStringList({reply.resultCode, reply.xml}),
                 QStringList({Code::Success, "<UpdBkpTmcardRes/>"}));

        // Read by a service of its own, so only what is on disk counts.
        const TimeCard card = BackupService(m_dir.path()).data().value().card;
        QCOMPARE(
            QVariantList({card.revision, card.enabled, card.targetCyclic, card.dir,
                          card.maxThroughputBytes, card.maxRangeMinutes, card.timeFrameXml}),
            QVariantList({2, false, false, Dir, MaxThroughputBytes, MaxRangeMinutes, ShopHours}));
        QCOMPARE(card.cameras, stored);

        // A reader of a reply gets back exactly the stored text.
        QXmlStreamReader reader(m_service->handle(GetTimeCard, {}).xml);
        while (!reader.atEnd() && reader.name() != Reply::Dir)
            reader.readNext();
        QCOMPARE(reader.readElementText(), Dir);
    }

    void refusalStoresNothing_data()
    {
        RefusalCases::columns();
        const auto row = [](const char* tag, const QVariant& arguments, const QString& code,
                            Setup setup = Plain, const QString& reason = QString(),
                            const QString& command = UpdateTimeCard) {
            RefusalCases::row(tag, command, arguments, code, reason, setup);
        };
        const auto cameras = [](const QVariantList& list) { return with(Arg::CamGroupList, list); };
        namespace C = Code;
        const auto frame = [](const QString& xml) { return with(Arg::TimeFrameMessage, xml); };

        row("an unknown command", update(), C::UnknownCommand, Plain, "", "DelBkpTmcard");
        row("an older revision", update(0), C::StaleRevision);
        row("a newer revision", update(2), C::StaleRevision);
        row("a time frame that is not XML", frame("Mon 09:00-17:00"), C::MalformedTimeFrame);
        row("a time frame with a document type", frame("<!DOCTYPE Ele>" + ShopHours),
            C::MalformedTimeFrame);
        row("a time frame past the end of the week",
            frame(QString(ShopHours).replace("147600", "604801")), C::MalformedTimeFrame);
        row("a directory of blanks only", with(Arg::Dir, " \t \n"), C::MissingDirectory);
        row("a control character in the directory", with(Arg::Dir, "/a\x01z"), C::InvalidArgument);
        row("an unknown camera", cameras({camera("cam-13")}), C::UnknownCamera);
        row("a camera sent with another group", cameras({camera("cam-01", "grp-parking")}),
            C::UnknownCamera);
        row("no camera at all", cameras({}), C::InvalidArgument);
        row("all cameras beside a single camera",
            cameras({camera(AllCamerasTag), camera("cam-01")}), C::InvalidArgument);
        row("arguments that are not a map", QVariantList {update()}, C::InvalidArgument);
        row("a revision that is not a number", with(Arg::Revision, "one"), C::InvalidArgument);
        row("a negative throughput limit", with(Arg::MaxThroughput, -1), C::InvalidArgument);
        row("a throughput limit above the maximum",
            with(Arg::MaxThroughput, MaxThroughputBytes + 1), C::InvalidArgument);
        row("a range limit above the maximum", with(Arg::MaxRange, MaxRangeMinutes + 1),
            C::InvalidArgument);
        row("an unknown time-card id", with(Arg::TmcardId, 8), C::UnknownTimeCard);
        row("a write that fails", update(), C::StorageFailure, FailingWrites,
            QString::fromLocal8Bit(std::strerror(EFBIG)));
        // The update is not kept waiting: it comes back busy, to be asked again.
        row("another process holds the lock", update(), C::StorageFailure, Held,
            "another program is saving");
        row("a revision at its maximum", update(MaxRevision), C::StorageFailure, RevisionAtMaximum);
        // The update adds a few thousand bytes: its directory is that much longer.
        row("a file that would grow beyond the size cap", with(Arg::Dir, QString(5000, 'd')),
            C::InvalidArgument, NearTheSizeCap);
    }

    void refusalStoresNothing()
    {
        const auto [command, arguments, code, reason, setup] = RefusalCases::fetch();
        ServiceData data = m_service->data().value();
        if (setup == RevisionAtMaximum)
            data.card.revision = MaxRevision;
        if (setup == NearTheSizeCap) {
            data.inventory.append({"cam-big", "grp-big", QString()});
            const qsizetype size = BackupStore::serialize(data).size();
            data.inventory.last().name = QString(BackupStore::MaximumFileSize - 100 - size, 'x');
        }
        QVERIFY(BackupStore(m_dir.path()).save(data));
        const QByteArray before = readFile(m_service->dataFilePath());
        QProcess holder; // a child holding the data file's lock
        if (setup == Held) {
            holder.start(QCoreApplication::applicationFilePath(), {"--hold", m_dir.path()});
            QVERIFY(holder.waitForReadyRead(30000) && holder.readLine() == "held\n");
        }

        ServiceReply reply;
        {
            // Every write of this process past half the file's size fails with EFBIG.
            const FileSizeLimit limit(setup == FailingWrites ? rlim_t(before.size() / 2)
                                                             : RLIM_INFINITY);
            if (setup == FailingWrites && !limit.isActive())
                QSKIP("the file size limit cannot be lowered here");
            reply = m_service->handle(command, arguments);
        }
        QCOMPARE(QVariantList({reply.resultCode, reply.busy}), QVariantList({code, setup == Held}));
        QVERIFY2(reply.xml.contains("<Error Code=\"" + code + "\">"), qPrintable(reply.xml));
        QVERIFY2(reply.reason.contains(reason), qPrintable(reply.reason));
        QVERIFY(readFile(m_service->dataFilePath()) == before);
        // Reading takes no lock; the lock dies with its holder.
        QCOMPARE(m_service->handle(GetTimeCard, {}).resultCode, Code::Success);
        holder.close(); // kills it
        if (setup == Held)
            QCOMPARE(m_service->handle(UpdateTimeCard, update()).resultCode, Code::Success);
    }

    // Another user shares the folder: nothing this user leaves behind, a dead holder's lock
    // included, shuts them out, and a read-only folder still serves reads.
    void anotherUserSharesTheFolder_data()
    {
        using Row = Table<QString, int, QString>; // child mode, folder mode, code
        Row::columns();
        Row::row("saves after a holder died", "--update", 0777, Code::Success);
        Row::row("reads a read-only folder", "--read", 0755, Code::Success);
        Row::row("is refused, not stopped, saving to a read-only folder", "--update", 0755,
                 Code::StorageFailure);
    }
    void anotherUserSharesTheFolder()
    {
        const auto [mode, folderMode, code] = Table<QString, int, QString>::fetch();
        const bool root = ::geteuid() == 0, stored = mode == "--update" && code == Code::Success;
        if (root ? QStandardPaths::findExecutable("setpriv").isEmpty() : stored)
            QSKIP("needs root and setpriv to run as another user");
        // As root another user runs the child; otherwise the folder is read-only for this one.
        const int permissions = root ? folderMode : folderMode & 0555;
        QCOMPARE(::chmod(QFile::encodeName(m_dir.path()), mode_t(permissions)), 0);
        QCOMPARE(::chmod(QFile::encodeName(m_service->dataFilePath()), mode_t(permissions & 0666)),
                 0);
        {
            QProcess holder;
            holder.start(QCoreApplication::applicationFilePath(), {"--hold", m_dir.path()});
            QVERIFY(holder.waitForReadyRead(30000) && holder.readLine() == "held\n");
        } // killed
        QProcess other;
        const QStringList self {QCoreApplication::applicationFilePath(), mode, m_dir.path()};
        if (root)
            other.start("setpriv",
                        QStringList {"--reuid=65534", "--regid=65534", "--clear-groups"} + self);
        else
            other.start(self.first(), self.mid(1));
        QVERIFY(other.waitForFinished(30000));
        QCOMPARE(::chmod(QFile::encodeName(m_dir.path()), 0700), 0);
        QCOMPARE(QString::fromLatin1(other.readAllStandardOutput()).trimmed(), code);
        QCOMPARE(m_service->data().value().card.revision, stored ? 2 : 1);
    }

    // Half the writers reach the file through a link from another folder: they lock the folder
    // the file is really in, and keep the link.
    void racingProcessesLoseNoUpdate()
    {
        QTemporaryDir other;
        const QString link = other.filePath("schedule-backup.xml");
        QVERIFY(QFile::link(m_service->dataFilePath(), link));

        constexpr int Rounds = 50;
        std::vector<std::unique_ptr<QProcess>> children;
        for (int i = 0; i < 4; ++i) {
            children.push_back(std::make_unique<QProcess>());
            children.back()->start(
                QCoreApplication::applicationFilePath(),
                {"--race", i % 2 ? other.path() : m_dir.path(), QString::number(Rounds)});
        }
        // All start at once, so their updates overlap.
        for (const auto& child : children) {
            QVERIFY(child->waitForStarted() && child->write("go\n") == 3
                    && child->waitForBytesWritten());
        }

        int accepted = 0;
        for (const auto& child : children) {
            QVERIFY(child->waitForFinished(150000));
            const QStringList codes = QString::fromLatin1(child->readAllStandardOutput())
                                          .split('\n', Qt::SkipEmptyParts);
            QCOMPARE(codes.size(), Rounds);
            accepted += codes.count(Code::Success);
            QCOMPARE(codes.count(Code::StaleRevision), Rounds - codes.count(Code::Success));
        }
        // Each accepted update raised the seeded revision 1 by one; two accepted against one
        // revision would leave it behind.
        QCOMPARE(m_service->data().value().card.revision, 1 + accepted);
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
