// The backup service's answers: what an update stores, every refusal (and that it stores nothing),
// a write that fails for real, and several processes updating one data folder at once.

#include "BackupProtocol.h"
#include "BackupService.h"
#include "BackupStore.h"
#include "FileSizeLimit.h"
#include "ServiceLimits.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <cerrno>
#include <cstring>

Q_DECLARE_METATYPE(CameraRef)

namespace {

using namespace BackupProtocol;

constexpr qint64 MB = 1 << 20;

QString frame(const QString& name, const QString& intervals)
{
    return "<Ele><Frame><Name>" + name
        + "</Name><DLMod>Period</DLMod><RepeatMod>Weekly</RepeatMod><Intervals>" + intervals
        + "</Intervals><Holiday>false</Holiday></Frame></Ele>";
}

const QString ShopHours
    = frame("Shop hours", R"(<Ele B="118800" E="147600" /><Ele B="554400" E="563400" />)");

QVariantMap camera(const QString& id, const QString& group = QString())
{
    QVariantMap entry {{Arg::CamId, id}};
    if (!group.isNull())
        entry.insert(Arg::GroupId, group);
    return entry;
}

// An update as the plug-in sends it against the seeded sample (revision 1, time-card 7).
QVariantMap update(qint64 revision = 1)
{
    return {{Arg::Revision, revision},
            {Arg::TmcardId, 7},
            {Arg::Enabled, false},
            {Arg::TargetCyclic, false},
            {Arg::Dir, "/mnt/nas/video"},
            {Arg::MaxThroughput, 50 * MB},
            {Arg::MaxRange, 7 * 1440},
            {Arg::CamGroupList,
             QVariantList {camera("cam-05", "grp-parking"), camera("cam-01", "grp-lobby")}},
            {Arg::TimeFrameMessage, ShopHours}};
}

QVariantMap with(QVariantMap arguments, const QString& key, const QVariant& value)
{
    arguments.insert(key, value);
    return arguments;
}

QVariantMap without(QVariantMap arguments, const QString& key)
{
    arguments.remove(key);
    return arguments;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Run as "--race DIR ROUNDS TAG": once a line arrives on stdin, reads the stored revision and
// updates against it, ROUNDS times, printing "revision dir code" for every answer.
int race(const QString& dataDir, int rounds, const QString& tag)
{
    BackupService service(dataDir);
    QTextStream(stdin).readLine();
    QTextStream out(stdout);
    for (int round = 0; round < rounds; ++round) {
        const StoreResult<ServiceData> stored = service.data();
        if (!stored)
            return 3;
        const qint64 revision = stored.value().card.revision;
        const QString dir = "/race/" + tag + '/' + QString::number(round);
        const ServiceReply reply
            = service.handle(UpdateTimeCard, with(update(revision), Arg::Dir, dir));
        out << revision << ' ' << dir << ' ' << reply.resultCode << Qt::endl;
    }
    return 0;
}

} // namespace

class tst_BackupService : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<BackupService> m_service;

    qint64 storedRevision() const { return m_service->data().value().card.revision; }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath("schedule-backup.xml"));
        m_service = std::make_unique<BackupService>(m_dir.path());
        QVERIFY(m_service->open());
    }

    void openSeedsTheSample()
    {
        const StoreResult<ServiceData> stored = m_service->data();
        QVERIFY2(stored, qPrintable(stored.errorText()));
        QCOMPARE(stored.value().card.revision, 1);
        QCOMPARE(stored.value().card.tmcardId, 7);
        QCOMPARE(stored.value().card.dir, "/srv/backup/video");
        QCOMPARE(stored.value().inventory.size(), 12);
        // A second open uses the file as it is.
        QCOMPARE(m_service->handle(UpdateTimeCard, update()).resultCode, Code::Success);
        QVERIFY(BackupService(m_dir.path()).open());
        QCOMPARE(storedRevision(), 2);
    }

    void openLeavesADamagedFileAlone()
    {
        const QByteArray damaged = "<ScheduleBackupData><Tmcard><Revision>x</Revision>";
        QFile file(m_service->dataFilePath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(damaged) == damaged.size());
        file.close();
        const StoreResult<> opened = BackupService(m_dir.path()).open();
        QCOMPARE(opened.errorReason(), StoreError::Damaged);
        QCOMPARE(readFile(m_service->dataFilePath()), damaged);
    }

    void acceptedUpdateStoresEveryValue_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QVariantMap>("arguments");

        QTest::newRow("settings as the plug-in sends them") << UpdateTimeCard << update();
        QTest::newRow("a schedule update takes the same values") << UpdateSchedule << update();
        QTest::newRow("numbers sent as text")
            << UpdateTimeCard
            << with(with(with(update(), Arg::Revision, "1"), Arg::MaxThroughput,
                         QString::number(50 * MB)),
                    Arg::MaxRange, "10080");
    }

    void acceptedUpdateStoresEveryValue()
    {
        QFETCH(QString, command);
        QFETCH(QVariantMap, arguments);
        const ServiceData before = m_service->data().value();

        const ServiceReply reply = m_service->handle(command, arguments);
        QCOMPARE(reply.resultCode, Code::Success);
        QCOMPARE(reply.reason, QString());
        QCOMPARE(reply.xml, "<" + command + "Res/>");

        // Read by a service of its own, so only what is on disk counts.
        const StoreResult<ServiceData> stored = BackupService(m_dir.path()).data();
        QVERIFY2(stored, qPrintable(stored.errorText()));
        const TimeCard& card = stored.value().card;
        QCOMPARE(card.revision, before.card.revision + 1);
        QCOMPARE(card.tmcardId, 7);
        QCOMPARE(card.name, before.card.name);
        QCOMPARE(card.enabled, false);
        QCOMPARE(card.targetCyclic, false);
        QCOMPARE(card.dir, "/mnt/nas/video");
        QCOMPARE(card.maxThroughputBytes, 50 * MB);
        QCOMPARE(card.maxRangeMinutes, 10080);
        QVERIFY(card.cameras
                == (QList<CameraRef> {{"cam-05", "grp-parking"}, {"cam-01", "grp-lobby"}}));
        QCOMPARE(card.timeFrameXml, ShopHours);
        QCOMPARE(card.timeFrameName, "Shop hours");
        QVERIFY(card.intervals == (QList<WeekInterval> {{118800, 147600}, {554400, 563400}}));
        QVERIFY(stored.value().inventory == before.inventory);
    }

    void storedCameras_data()
    {
        QTest::addColumn<QVariantList>("sent");
        QTest::addColumn<QList<CameraRef>>("stored");

        QTest::newRow("a camera sent without group gets its group from the inventory")
            << QVariantList {camera("cam-09"), camera("cam-02", "")}
            << QList<CameraRef> {{"cam-09", "grp-warehouse"}, {"cam-02", "grp-lobby"}};
        QTest::newRow("a camera sent twice is stored once, where it came first")
            << QVariantList {camera("cam-03"), camera("cam-01", "grp-lobby"),
                             camera("cam-03", "grp-lobby"), camera("cam-01")}
            << QList<CameraRef> {{"cam-03", "grp-lobby"}, {"cam-01", "grp-lobby"}};
        QTest::newRow("all cameras are stored as the tag alone")
            << QVariantList {camera(AllCamerasTag)} << QList<CameraRef> {{AllCamerasTag, ""}};
    }

    void storedCameras()
    {
        QFETCH(QVariantList, sent);
        QFETCH(QList<CameraRef>, stored);
        const ServiceReply reply
            = m_service->handle(UpdateTimeCard, with(update(), Arg::CamGroupList, sent));
        QCOMPARE(reply.resultCode, Code::Success);
        const QList<CameraRef> cameras = m_service->data().value().card.cameras;
        QCOMPARE(cameras.size(), stored.size());
        for (qsizetype i = 0; i < cameras.size(); ++i) {
            QCOMPARE(cameras.at(i).cameraId, stored.at(i).cameraId);
            QCOMPARE(cameras.at(i).groupId, stored.at(i).groupId);
        }
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

        row("an unknown command is refused", valid, Code::UnknownCommand, "DelBkpTmcard");
        row("a revision older than the stored one is stale", update(0), Code::StaleRevision);
        row("a revision newer than the stored one is stale", update(2), Code::StaleRevision);
        row("a stale schedule update is refused too", update(0), Code::StaleRevision,
            UpdateSchedule);
        row("a time frame that is not XML",
            with(valid, Arg::TimeFrameMessage, "Mon-Fri 09:00-17:00"), Code::MalformedTimeFrame);
        row("a time frame with another root",
            with(valid, Arg::TimeFrameMessage,
                 "<Frame><Intervals><Ele B=\"0\" E=\"1\" /></Intervals></Frame>"),
            Code::MalformedTimeFrame);
        row("a time frame bound past the end of the week",
            with(valid, Arg::TimeFrameMessage, frame("N", R"(<Ele B="0" E="604801" />)")),
            Code::MalformedTimeFrame);
        row("a negative time frame bound",
            with(valid, Arg::TimeFrameMessage, frame("N", R"(<Ele B="-1" E="60" />)")),
            Code::MalformedTimeFrame);
        row("an interval that begins after it ends",
            with(valid, Arg::TimeFrameMessage, frame("N", R"(<Ele B="7200" E="3600" />)")),
            Code::MalformedTimeFrame);
        row("a time frame declaring a document type",
            with(valid, Arg::TimeFrameMessage,
                 "<!DOCTYPE Ele [<!ENTITY n \"x\">]>" + frame("&n;", R"(<Ele B="0" E="60" />)")),
            Code::MalformedTimeFrame);
        row("no time frame at all", without(valid, Arg::TimeFrameMessage),
            Code::MalformedTimeFrame);
        row("no directory", without(valid, Arg::Dir), Code::MissingDirectory);
        row("a directory of blanks only", with(valid, Arg::Dir, " \t \n"), Code::MissingDirectory);
        row("an unknown camera", with(valid, Arg::CamGroupList, QVariantList {camera("cam-13")}),
            Code::UnknownCamera);
        row("a camera sent with another group",
            with(valid, Arg::CamGroupList, QVariantList {camera("cam-01", "grp-parking")}),
            Code::UnknownCamera);
        row("a known camera beside an unknown one",
            with(valid, Arg::CamGroupList, QVariantList {camera("cam-01"), camera("cam-99")}),
            Code::UnknownCamera);
        row("arguments that are not a map", QVariantList {valid}, Code::InvalidArgument);
        row("no arguments", QVariant(), Code::InvalidArgument);
        row("no revision", without(valid, Arg::Revision), Code::InvalidArgument);
        row("a revision that is not a number", with(valid, Arg::Revision, "one"),
            Code::InvalidArgument);
        row("no camera list", without(valid, Arg::CamGroupList), Code::InvalidArgument);
        row("an empty camera list", with(valid, Arg::CamGroupList, QVariantList()),
            Code::InvalidArgument);
        row("all cameras followed by a single camera",
            with(valid, Arg::CamGroupList, QVariantList {camera(AllCamerasTag), camera("cam-01")}),
            Code::InvalidArgument);
        row("a single camera followed by all cameras",
            with(valid, Arg::CamGroupList, QVariantList {camera("cam-01"), camera(AllCamerasTag)}),
            Code::InvalidArgument);
        row("a negative throughput limit", with(valid, Arg::MaxThroughput, -1),
            Code::InvalidArgument);
        row("a negative range limit", with(valid, Arg::MaxRange, -1), Code::InvalidArgument);
        row("a throughput limit above the maximum",
            with(valid, Arg::MaxThroughput, ServiceLimits::MaxThroughputBytes + 1),
            Code::InvalidArgument);
        row("a range limit above the maximum",
            with(valid, Arg::MaxRange, ServiceLimits::MaxRangeMinutes + 1), Code::InvalidArgument);
        row("a throughput limit that is not a number", with(valid, Arg::MaxThroughput, "fast"),
            Code::InvalidArgument);
        row("no range limit", without(valid, Arg::MaxRange), Code::InvalidArgument);
        row("a control character in the directory", with(valid, Arg::Dir, "/mnt/a\x01z"),
            Code::InvalidArgument);
        row("a lone surrogate in the directory",
            with(valid, Arg::Dir, QString("/mnt/") + QChar(0xD800)), Code::InvalidArgument);
        row("an unknown time-card id", with(valid, Arg::TmcardId, 8), Code::UnknownTimeCard);
        row("no time-card id", without(valid, Arg::TmcardId), Code::UnknownTimeCard);
    }

    void refusalStoresNothing()
    {
        QFETCH(QString, command);
        QFETCH(QVariant, arguments);
        QFETCH(QString, code);
        const QByteArray before = readFile(m_service->dataFilePath());

        const ServiceReply reply = m_service->handle(command, arguments);
        QCOMPARE(reply.resultCode, code);
        QVERIFY(!reply.reason.isEmpty());
        const QString root
            = BackupService::isKnownCommand(command) ? command + "Res" : "ServiceRes";
        QCOMPARE(reply.xml,
                 "<" + root + "><Error Code=\"" + code + "\">" + reply.reason.toHtmlEscaped()
                     + "</Error></" + root + ">");
        QCOMPARE(readFile(m_service->dataFilePath()), before);
        QCOMPARE(storedRevision(), 1);
    }

    void timeCardReplyCarriesTheStoredValues()
    {
        const QVariantMap arguments = with(with(update(), Arg::Dir, "/mnt/a&b <c>\r\nd"),
                                           Arg::CamGroupList, QVariantList {camera("cam-10")});
        QCOMPARE(m_service->handle(UpdateTimeCard, arguments).resultCode, Code::Success);

        const ServiceReply reply = m_service->handle(GetTimeCard, QVariant());
        QCOMPARE(reply.resultCode, Code::Success);
        QCOMPARE(reply.xml,
                 "<GetBkpTmcardRes><Tmcard><Revision>2</Revision><TmcardID>7</TmcardID>"
                 "<Name>ScheduledBackup</Name><Enabled>false</Enabled>"
                 "<TargetCyclic>false</TargetCyclic><Dir>/mnt/a&amp;b &lt;c&gt;&#13;\nd</Dir>"
                 "<MaxThroughput>52428800</MaxThroughput><MaxRange>10080</MaxRange><Mapping>"
                     + ShopHours
                     + "</Mapping><CamList><Cam GrpID=\"grp-warehouse\">cam-10</Cam></CamList>"
                       "</Tmcard></GetBkpTmcardRes>");
        QCOMPARE(m_service->handle(GetBackupPath, QVariant()).xml,
                 "<GetBkpTmcardRes><Tmcard><Dir>/mnt/a&amp;b &lt;c&gt;&#13;\nd</Dir></Tmcard>"
                 "</GetBkpTmcardRes>");
    }

    void statusFollowsTheClock()
    {
        // The sample runs Monday to Friday, 09:00 to 17:00.
        m_service->setClock([] { return QDateTime(QDate(2026, 1, 7), QTime(15, 0)); });
        QCOMPARE(m_service->handle(GetBackupStatus, QVariant()).xml,
                 "<GetBackupStatusRes><Status>Running</Status>"
                 "<BackupInterval>2026-01-07 09:00 - 17:00</BackupInterval>"
                 "<BackupProgress>75</BackupProgress></GetBackupStatusRes>");
    }

    void failedWriteAnswersStorageFailure()
    {
        const QByteArray before = readFile(m_service->dataFilePath());
        ServiceReply reply;
        {
            const FileSizeLimit limit(rlim_t(before.size() / 2));
            if (!limit.isActive())
                QSKIP("the file size limit cannot be lowered here");
            reply = m_service->handle(UpdateTimeCard, update());
        }
        QCOMPARE(reply.resultCode, Code::StorageFailure);
        const QString reason = QString::fromLocal8Bit(std::strerror(EFBIG));
        QVERIFY2(reply.reason.contains(reason), qPrintable(reply.reason));
        QCOMPARE(readFile(m_service->dataFilePath()), before);
        QCOMPARE(storedRevision(), 1);
    }

    void racingProcessesLoseNoUpdate()
    {
        constexpr int Processes = 4;
        constexpr int Rounds = 50;
        std::vector<std::unique_ptr<QProcess>> children;
        for (int i = 0; i < Processes; ++i) {
            auto child = std::make_unique<QProcess>();
            child->start(QCoreApplication::applicationFilePath(),
                         {"--race", m_dir.path(), QString::number(Rounds), QString::number(i)});
            children.push_back(std::move(child));
        }
        // All start at once, so that their updates overlap.
        for (const auto& child : children) {
            QVERIFY(child->waitForStarted());
            child->write("go\n");
            QVERIFY(child->waitForBytesWritten());
        }

        QHash<qint64, QString> confirmed; // revision claimed -> dir stored
        int answers = 0;
        for (const auto& child : children) {
            QVERIFY(child->waitForFinished(150000));
            QCOMPARE(child->exitStatus(), QProcess::NormalExit);
            QCOMPARE(child->exitCode(), 0);
            const QStringList lines = QString::fromLatin1(child->readAllStandardOutput())
                                          .split('\n', Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), Rounds);
            for (const QString& line : lines) {
                const QStringList fields = line.split(' ');
                QCOMPARE(fields.size(), 3);
                ++answers;
                if (fields.at(2) != Code::Success) {
                    QCOMPARE(fields.at(2), Code::StaleRevision);
                    continue;
                }
                const qint64 revision = fields.at(0).toLongLong();
                QVERIFY2(!confirmed.contains(revision),
                         qPrintable(QStringLiteral("revision %1 confirmed to %2 and %3")
                                        .arg(revision)
                                        .arg(confirmed.value(revision), fields.at(1))));
                confirmed.insert(revision, fields.at(1));
            }
        }
        QCOMPARE(answers, Processes * Rounds);
        QVERIFY(!confirmed.isEmpty());

        // Each confirmation raised the revision by one, starting from the seeded 1, and the last
        // one is what is stored now.
        const TimeCard card = m_service->data().value().card;
        QCOMPARE(card.revision, 1 + confirmed.size());
        for (qint64 revision = 1; revision < card.revision; ++revision)
            QVERIFY(confirmed.contains(revision));
        QCOMPARE(card.dir, confirmed.value(card.revision - 1));
    }
};

int main(int argc, char** argv)
{
    if (argc == 5 && qstrcmp(argv[1], "--race") == 0) {
        QCoreApplication app(argc, argv);
        return race(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt(),
                    QString::fromLocal8Bit(argv[4]));
    }
    QCoreApplication app(argc, argv);
    tst_BackupService test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backupservice.moc"
