// The backup service's answers: what an update stores, one refusal per check (each storing
// nothing), a write that fails for real, and several processes sharing one data folder.

#include "BackupProtocol.h"
#include "BackupService.h"
#include "FileSizeLimit.h"
#include "ServiceLimits.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <cerrno>
#include <cstring>

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

// Run as "--race DIR ROUNDS": once a line arrives on stdin, reads the stored revision and updates
// against it, ROUNDS times, printing the result code of every answer.
int race(const QString& dataDir, int rounds)
{
    BackupService service(dataDir);
    QTextStream(stdin).readLine();
    QTextStream out(stdout);
    for (int round = 0; round < rounds; ++round) {
        const qint64 revision = service.data().value().card.revision;
        out << service.handle(UpdateTimeCard, update(revision)).resultCode << Qt::endl;
    }
    return 0;
}

} // namespace

class tst_BackupService : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<BackupService> m_service;

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath("schedule-backup.xml"));
        m_service = std::make_unique<BackupService>(m_dir.path());
        QVERIFY(m_service->open());
    }

    void acceptedUpdateStoresEveryValue_data()
    {
        QTest::addColumn<QVariantList>("sent");
        QTest::addColumn<QList<CameraRef>>("stored");

        QTest::newRow("cameras as sent") << QVariantList {camera("cam-05", "grp-parking")}
                                         << QList<CameraRef> {{"cam-05", "grp-parking"}};
        QTest::newRow("a camera without group gets it from the inventory")
            << QVariantList {camera("cam-09")} << QList<CameraRef> {{"cam-09", "grp-warehouse"}};
        QTest::newRow("a camera sent twice is stored once, where it came first")
            << QVariantList {camera("cam-03"), camera("cam-01"), camera("cam-03", "grp-lobby")}
            << QList<CameraRef> {{"cam-03", "grp-lobby"}, {"cam-01", "grp-lobby"}};
    }

    void acceptedUpdateStoresEveryValue()
    {
        QFETCH(QVariantList, sent);
        QFETCH(QList<CameraRef>, stored);
        const ServiceReply reply
            = m_service->handle(UpdateTimeCard, with(update(), Arg::CamGroupList, sent));
        QCOMPARE(reply.resultCode, Code::Success);
        QCOMPARE(reply.xml, "<UpdBkpTmcardRes/>");

        // Read by a service of its own, so only what is on disk counts.
        const TimeCard card = BackupService(m_dir.path()).data().value().card;
        QCOMPARE(card.revision, 2);
        QCOMPARE(card.enabled, false);
        QCOMPARE(card.targetCyclic, false);
        QCOMPARE(card.dir, "/mnt/nas/video");
        QCOMPARE(card.maxThroughputBytes, MaxThroughputBytes);
        QCOMPARE(card.maxRangeMinutes, MaxRangeMinutes);
        QCOMPARE(card.cameras, stored);
        QCOMPARE(card.timeFrameXml, ShopHours);
        QCOMPARE(card.intervals, (QList<WeekInterval> {{118800, 147600}}));
    }

    void refusalStoresNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QVariant>("arguments");
        QTest::addColumn<QString>("code");

        const QVariantMap valid = update();
        auto row = [](const char* tag, const QVariant& arguments, const QString& code,
                      const QString& command = UpdateTimeCard) {
            QTest::newRow(tag) << command << arguments << code;
        };
        auto cameras
            = [&valid](const QVariantList& list) { return with(valid, Arg::CamGroupList, list); };

        row("an unknown command", valid, Code::UnknownCommand, "DelBkpTmcard");
        row("an older revision", update(0), Code::StaleRevision);
        row("a newer revision", update(2), Code::StaleRevision);
        row("a time frame that is not XML", with(valid, Arg::TimeFrameMessage, "Mon 09:00-17:00"),
            Code::MalformedTimeFrame);
        row("a time frame bound past the end of the week",
            with(valid, Arg::TimeFrameMessage, QString(ShopHours).replace("147600", "604801")),
            Code::MalformedTimeFrame);
        row("a directory of blanks only", with(valid, Arg::Dir, " \t \n"), Code::MissingDirectory);
        row("a control character in the directory", with(valid, Arg::Dir, "/mnt/a\x01z"),
            Code::InvalidArgument);
        row("an unknown camera", cameras({camera("cam-13")}), Code::UnknownCamera);
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
        QFETCH(QString, command);
        QFETCH(QVariant, arguments);
        QFETCH(QString, code);
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

    void racingProcessesLoseNoUpdate()
    {
        constexpr int Processes = 4;
        constexpr int Rounds = 50;
        std::vector<std::unique_ptr<QProcess>> children;
        for (int i = 0; i < Processes; ++i) {
            children.push_back(std::make_unique<QProcess>());
            children.back()->start(QCoreApplication::applicationFilePath(),
                                   {"--race", m_dir.path(), QString::number(Rounds)});
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
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--race") == 0)
        return race(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    tst_BackupService test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backupservice.moc"
