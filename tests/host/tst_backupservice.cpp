#include "BackupService.h"
#include "BackupStatus.h"
#include "ResultCodes.h"
#include "TimeFrame.h"
#include "XML2Json.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString MondayOfficeHours
    = TimeFrame::compose(QStringLiteral("Short"), {{118800, 147600}}); // Mon 09:00-17:00

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVariantMap camera(const QString& id, const QString& group = QString())
{
    return {{QStringLiteral("CamID"), id}, {QStringLiteral("GroupID"), group}};
}

// The argument map the client sends, valid for the service's current time-card.
QVariantMap updateFor(const BackupService& service)
{
    const TimeCard card = service.timeCard();
    return {{QStringLiteral("Revision"), card.revision},
            {QStringLiteral("TmcardID"), card.tmcardId},
            {QStringLiteral("Name"), card.name},
            {QStringLiteral("Enabled"), false},
            {QStringLiteral("TargetCyclic"), false},
            {QStringLiteral("Dir"), QStringLiteral("/mnt/archive")},
            {QStringLiteral("CamGroupList"),
             QVariantList {camera(QStringLiteral("cam-02")), camera(QStringLiteral("cam-05"))}},
            {QStringLiteral("TimeFrameMessage"), MondayOfficeHours},
            {QStringLiteral("TmFrameName"), QStringLiteral("Short")},
            {QStringLiteral("TmFrameJson"), QString()},
            {QStringLiteral("MaxThroughput"), int(50 << 20)},
            {QStringLiteral("MaxRange"), 3 * 1440}};
}

QVariantMap replyRoot(const ServiceReply& reply, const QString& root)
{
    return XML2Json().parse(reply.xml).toMap().value(root).toMap();
}

} // namespace

class TestBackupService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void seedsSampleDataOnFirstRun();
    void repliesCarryTheStoredTimeCard();
    void acceptedUpdatePersistsAndRaisesRevision();
    void scheduleUpdateRaisesRevision();
    void refusesUpdate_data();
    void refusesUpdate();
    void refusesUnknownCommand();
    void keepsDamagedDataFile();
    void timeFrameValidation_data();
    void timeFrameValidation();
    void simulatesBackupRuns_data();
    void simulatesBackupRuns();
};

void TestBackupService::seedsSampleDataOnFirstRun()
{
    QTemporaryDir dir;
    BackupService service(dir.path());
    QString error;
    QVERIFY2(service.open(&error), qPrintable(error));
    QVERIFY(QFile::exists(service.dataFilePath()));
    QCOMPARE(service.revision(), 1);
    QCOMPARE(service.inventory().size(), 12);
    const TimeCard card = service.timeCard();
    QCOMPARE(card.cameras, (QList<CameraRef> {CameraRef {AllCamerasId, QString()}}));
    QCOMPARE(card.intervals.size(), 5);
    QCOMPARE(card.timeFrameName, QStringLiteral("Office hours"));

    // A second start reads the seeded file instead of seeding again.
    const QByteArray seeded = fileBytes(service.dataFilePath());
    BackupService again(dir.path());
    QVERIFY(again.open(&error));
    QCOMPARE(fileBytes(again.dataFilePath()), seeded);
}

void TestBackupService::repliesCarryTheStoredTimeCard()
{
    QTemporaryDir dir;
    BackupService service(dir.path());
    QString error;
    QVERIFY(service.open(&error));

    const ServiceReply reply = service.handle(QStringLiteral("GetBkpTmcard"), QVariant());
    QCOMPARE(reply.resultCode, ResultCodes::Success);
    // The stored time frame comes back byte for byte inside Mapping.
    QVERIFY(reply.xml.contains(QStringLiteral("<Mapping>") + service.timeCard().timeFrameXml
                               + QStringLiteral("</Mapping>")));
    const QVariantMap card = replyRoot(reply, QStringLiteral("GetBkpTmcardRes"))
                                 .value(QStringLiteral("Tmcard"))
                                 .toMap();
    QCOMPARE(card.value(QStringLiteral("Revision")).toLongLong(), 1);
    QCOMPARE(card.value(QStringLiteral("Enabled")).toString(), QStringLiteral("true"));
    QCOMPARE(card.value(QStringLiteral("MaxThroughput")).toLongLong(), 30LL << 20);
    QCOMPARE(card.value(QStringLiteral("MaxRange")).toLongLong(), 2880);
    const QVariantMap cam
        = card.value(QStringLiteral("CamList")).toMap().value(QStringLiteral("Cam")).toMap();
    QCOMPARE(cam.value(QStringLiteral("#text")).toString(), AllCamerasId);
    QVERIFY(cam.contains(QStringLiteral("@GrpID")));
    const QVariantList intervals = card.value(QStringLiteral("Mapping"))
                                       .toMap()
                                       .value(QStringLiteral("Ele"))
                                       .toMap()
                                       .value(QStringLiteral("Frame"))
                                       .toMap()
                                       .value(QStringLiteral("Intervals"))
                                       .toMap()
                                       .value(QStringLiteral("Ele"))
                                       .toList();
    QCOMPARE(intervals.size(), 5);
    QCOMPARE(intervals.first().toMap().value(QStringLiteral("@B")).toInt(), 118800);

    const ServiceReply path = service.handle(QStringLiteral("GetBackupPath"), QVariant());
    QCOMPARE(replyRoot(path, QStringLiteral("GetBkpTmcardRes"))
                 .value(QStringLiteral("Tmcard"))
                 .toMap()
                 .value(QStringLiteral("Dir"))
                 .toString(),
             QStringLiteral("/srv/backup/video"));

    const ServiceReply status = service.handle(QStringLiteral("GetBackupStatus"), QVariant());
    const QVariantMap statusRoot = replyRoot(status, QStringLiteral("GetBackupStatusRes"));
    QVERIFY(!statusRoot.value(QStringLiteral("Status")).toString().isEmpty());
    QVERIFY(statusRoot.contains(QStringLiteral("BackupProgress")));
}

void TestBackupService::acceptedUpdatePersistsAndRaisesRevision()
{
    QTemporaryDir dir;
    QString error;
    {
        BackupService service(dir.path());
        QVERIFY(service.open(&error));
        QSignalSpy changed(&service, &BackupService::timeCardChanged);
        const ServiceReply reply
            = service.handle(QStringLiteral("UpdBkpTmcard"), updateFor(service));
        QVERIFY2(reply.isSuccess(), qPrintable(reply.reason));
        QCOMPARE(reply.xml, QStringLiteral("<UpdBkpTmcardRes/>"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(service.revision(), 2);
    }
    BackupService reopened(dir.path());
    QVERIFY2(reopened.open(&error), qPrintable(error));
    const TimeCard card = reopened.timeCard();
    QCOMPARE(card.revision, 2);
    QCOMPARE(card.enabled, false);
    QCOMPARE(card.dir, QStringLiteral("/mnt/archive"));
    QCOMPARE(card.maxThroughputBytes, 50LL << 20);
    QCOMPARE(card.maxRangeMinutes, 3 * 1440);
    QCOMPARE(card.timeFrameXml, MondayOfficeHours);
    QCOMPARE(card.timeFrameName, QStringLiteral("Short"));
    // Cameras sent without a group get the inventory's group.
    const QList<CameraRef> expected = {{QStringLiteral("cam-02"), QStringLiteral("grp-lobby")},
                                       {QStringLiteral("cam-05"), QStringLiteral("grp-parking")}};
    QCOMPARE(card.cameras, expected);
}

void TestBackupService::scheduleUpdateRaisesRevision()
{
    QTemporaryDir dir;
    BackupService service(dir.path());
    QString error;
    QVERIFY(service.open(&error));
    const ServiceReply reply = service.handle(QStringLiteral("UpdSchedule"), updateFor(service));
    QVERIFY2(reply.isSuccess(), qPrintable(reply.reason));
    QCOMPARE(reply.xml, QStringLiteral("<UpdScheduleRes/>"));
    QCOMPARE(service.revision(), 2);
    // The same map again now carries a stale revision.
    QVariantMap stale = updateFor(service);
    stale.insert(QStringLiteral("Revision"), 1);
    QCOMPARE(service.handle(QStringLiteral("UpdSchedule"), stale).resultCode,
             ResultCodes::StaleRevision);
}

void TestBackupService::refusesUpdate_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("code");

    const auto frame = [](qint64 b, qint64 e) {
        return QVariant(TimeFrame::compose(QStringLiteral("x"), {{b, e}}));
    };
    QTest::newRow("stale revision") << "Revision" << QVariant(0) << ResultCodes::StaleRevision;
    QTest::newRow("revision from the future")
        << "Revision" << QVariant(5) << ResultCodes::StaleRevision;
    QTest::newRow("missing revision") << "Revision" << QVariant() << ResultCodes::InvalidArgument;
    QTest::newRow("other time-card") << "TmcardID" << QVariant(8) << ResultCodes::UnknownTimeCard;
    QTest::newRow("time frame not xml")
        << "TimeFrameMessage" << QVariant(QStringLiteral("<Ele><Frame>"))
        << ResultCodes::MalformedTimeFrame;
    QTest::newRow("empty time frame")
        << "TimeFrameMessage" << QVariant(QString()) << ResultCodes::MalformedTimeFrame;
    QTest::newRow("interval past the week")
        << "TimeFrameMessage" << frame(0, 604801) << ResultCodes::MalformedTimeFrame;
    QTest::newRow("interval ends before it begins")
        << "TimeFrameMessage" << frame(147600, 118800) << ResultCodes::MalformedTimeFrame;
    QTest::newRow("empty directory")
        << "Dir" << QVariant(QString()) << ResultCodes::MissingDirectory;
    QTest::newRow("blank directory")
        << "Dir" << QVariant(QStringLiteral("   ")) << ResultCodes::MissingDirectory;
    QTest::newRow("unknown camera")
        << "CamGroupList" << QVariant(QVariantList {camera(QStringLiteral("cam-99"))})
        << ResultCodes::UnknownCamera;
    QTest::newRow("camera in another group")
        << "CamGroupList"
        << QVariant(QVariantList {camera(QStringLiteral("cam-01"), QStringLiteral("grp-yard"))})
        << ResultCodes::UnknownCamera;
    QTest::newRow("all cameras mixed with one")
        << "CamGroupList"
        << QVariant(QVariantList {camera(AllCamerasId), camera(QStringLiteral("cam-01"))})
        << ResultCodes::InvalidArgument;
    QTest::newRow("no cameras") << "CamGroupList" << QVariant(QVariantList())
                                << ResultCodes::InvalidArgument;
    QTest::newRow("negative throughput")
        << "MaxThroughput" << QVariant(-1) << ResultCodes::InvalidArgument;
}

void TestBackupService::refusesUpdate()
{
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(QString, code);

    QTemporaryDir dir;
    BackupService service(dir.path());
    QString error;
    QVERIFY(service.open(&error));
    const QByteArray before = fileBytes(service.dataFilePath());
    QSignalSpy changed(&service, &BackupService::timeCardChanged);

    QVariantMap arguments = updateFor(service);
    if (value.isValid())
        arguments.insert(key, value);
    else
        arguments.remove(key);
    const ServiceReply reply = service.handle(QStringLiteral("UpdBkpTmcard"), arguments);
    QCOMPARE(reply.resultCode, code);
    QVERIFY(!reply.reason.isEmpty());
    QCOMPARE(service.revision(), 1);
    QCOMPARE(changed.size(), 0);
    QCOMPARE(fileBytes(service.dataFilePath()), before);
}

void TestBackupService::refusesUnknownCommand()
{
    QTemporaryDir dir;
    BackupService service(dir.path());
    QString error;
    QVERIFY(service.open(&error));
    QVERIFY(!BackupService::isKnownCommand(QStringLiteral("getbkptmcard")));
    QCOMPARE(service.handle(QStringLiteral("DeleteEverything"), QVariant()).resultCode,
             ResultCodes::UnknownCommand);
    QCOMPARE(service.handle(QStringLiteral("UpdBkpTmcard"), QVariant(42)).resultCode,
             ResultCodes::InvalidArgument);
}

void TestBackupService::keepsDamagedDataFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("schedule-backup.xml"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<ScheduleBackupData><Tmcard><Revision>3</Rev");
    file.close();

    BackupService service(dir.path());
    QString error;
    QVERIFY(!service.open(&error));
    QVERIFY(error.contains(QStringLiteral("damaged")));
    QCOMPARE(fileBytes(path), QByteArray("<ScheduleBackupData><Tmcard><Revision>3</Rev"));
    QCOMPARE(service.handle(QStringLiteral("GetBkpTmcard"), QVariant()).resultCode,
             ResultCodes::StorageFailure);
}

void TestBackupService::timeFrameValidation_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("intervalCount");

    QTest::newRow("composed frame") << MondayOfficeHours << true << 1;
    QTest::newRow("no intervals") << QStringLiteral(
        "<Ele><Frame><Name>a</Name><Intervals></Intervals></Frame></Ele>")
                                  << true << 0;
    QTest::newRow("whole week, end shortened")
        << TimeFrame::compose(QStringLiteral("w"), {{0, 86400}, {518400, 604740}}) << true << 2;
    QTest::newRow("interval of zero length")
        << TimeFrame::compose(QStringLiteral("z"), {{5, 5}}) << true << 1;
    QTest::newRow("missing Intervals")
        << QStringLiteral("<Ele><Frame><Name>a</Name></Frame></Ele>") << false << 0;
    QTest::newRow("wrong root") << QStringLiteral("<Frame><Intervals/></Frame>") << false << 0;
    QTest::newRow("two frames") << QStringLiteral(
        "<Ele><Frame><Intervals/></Frame><Frame><Intervals/></Frame></Ele>")
                                << false << 0;
    QTest::newRow("trailing element")
        << QStringLiteral("<Ele><Frame><Intervals/></Frame></Ele><Ele/>") << false << 0;
    QTest::newRow("bound not a number") << QStringLiteral(
        "<Ele><Frame><Intervals><Ele B=\"x\" E=\"5\" /></Intervals></Frame></Ele>")
                                        << false << 0;
    QTest::newRow("negative bound") << QStringLiteral(
        "<Ele><Frame><Intervals><Ele B=\"-1\" E=\"5\" /></Intervals></Frame></Ele>")
                                    << false << 0;
    QTest::newRow("name with raw ampersand")
        << QStringLiteral("<Ele><Frame><Name>A&B</Name><Intervals/></Frame></Ele>") << false << 0;
}

void TestBackupService::timeFrameValidation()
{
    QFETCH(QString, xml);
    QFETCH(bool, valid);
    QFETCH(int, intervalCount);

    const TimeFrame frame = TimeFrame::parse(xml);
    QCOMPARE(frame.isValid(), valid);
    QCOMPARE(frame.errorText().isEmpty(), valid);
    QCOMPARE(frame.intervals().size(), intervalCount);
}

void TestBackupService::simulatesBackupRuns_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("progress");

    // 2026-12-07 is a Monday; the sample schedule runs Monday to Friday 09:00-17:00.
    const QDate monday(2026, 12, 7);
    QTest::newRow("before the first window") << true << QDateTime(monday, QTime(8, 0)) << "Idle"
                                             << "2026-12-07 09:00 - 17:00" << 0;
    QTest::newRow("window opens") << true << QDateTime(monday, QTime(9, 0)) << "Running"
                                  << "2026-12-07 09:00 - 17:00" << 0;
    QTest::newRow("half way") << true << QDateTime(monday, QTime(13, 0)) << "Running"
                              << "2026-12-07 09:00 - 17:00" << 50;
    QTest::newRow("just finished") << true << QDateTime(monday, QTime(17, 30)) << "Completed"
                                   << "2026-12-07 09:00 - 17:00" << 100;
    QTest::newRow("evening waits for tomorrow") << true << QDateTime(monday, QTime(20, 0)) << "Idle"
                                                << "2026-12-08 09:00 - 17:00" << 0;
    QTest::newRow("weekend waits for next week")
        << true << QDateTime(monday.addDays(5), QTime(12, 0)) << "Idle"
        << "2026-12-14 09:00 - 17:00" << 0;
    QTest::newRow("switched off") << false << QDateTime(monday, QTime(13, 0)) << "Disabled"
                                  << "" << 0;
}

void TestBackupService::simulatesBackupRuns()
{
    QFETCH(bool, enabled);
    QFETCH(QDateTime, now);
    QFETCH(QString, status);
    QFETCH(QString, interval);
    QFETCH(int, progress);

    TimeCard card = BackupStore::sampleTimeCard();
    card.enabled = enabled;
    const BackupStatusReport report = BackupStatusSimulator::statusAt(card, now);
    QCOMPARE(report.status, status);
    QCOMPARE(report.interval, interval);
    QCOMPARE(report.progress, progress);

    // The service answers with what the simulator computes for its clock.
    QTemporaryDir dir;
    BackupService service(dir.path());
    QString error;
    QVERIFY(service.open(&error));
    if (!enabled) {
        QVariantMap off = updateFor(service);
        off.insert(QStringLiteral("TimeFrameMessage"), card.timeFrameXml);
        QVERIFY(service.handle(QStringLiteral("UpdBkpTmcard"), off).isSuccess());
    }
    service.setClock([now] { return now; });
    const QVariantMap root = replyRoot(service.handle(QStringLiteral("GetBackupStatus"), {}),
                                       QStringLiteral("GetBackupStatusRes"));
    QCOMPARE(root.value(QStringLiteral("Status")).toString(), status);
    QCOMPARE(root.value(QStringLiteral("BackupInterval")).toString(), interval);
    QCOMPARE(root.value(QStringLiteral("BackupProgress")).toInt(), progress);
}

QTEST_GUILESS_MAIN(TestBackupService)
#include "tst_backupservice.moc"
