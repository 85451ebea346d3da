#include "BackupStore.h"
#include "CommandLine.h"

#include <QDateTime>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runHost(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(HOST_EXECUTABLE), arguments);
    Run run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QString cleanLine(const QString& text)
{
    return text.trimmed();
}

} // namespace

class TestHostCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void helpDocumentsEverything();
    void badOptions_data();
    void badOptions();
    void showPrintsSeededSettings();
    void setIsSeenByNextProcess();
    void largeThroughputTravelsWhole();
    void scheduleCommandStoresOnlySchedule();
    void refusedUpdateExplainsWhy_data();
    void refusedUpdateExplainsWhy();
    void nextBackupTime_data();
    void nextBackupTime();
    void slowReplyTimesOut();
    void missingPluginFolder();
    void killedProcessLeavesWholeFile_data();
    void killedProcessLeavesWholeFile();

private:
    QStringList withData(QStringList arguments) const;
    std::unique_ptr<QTemporaryDir> m_data;
};

void TestHostCli::init()
{
    m_data = std::make_unique<QTemporaryDir>();
    QVERIFY(m_data->isValid());
}

QStringList TestHostCli::withData(QStringList arguments) const
{
    arguments << QStringLiteral("--data") << m_data->path() << QStringLiteral("--plugin-dir")
              << QStringLiteral(PLUGIN_DIR);
    return arguments;
}

void TestHostCli::helpDocumentsEverything()
{
    const Run run = runHost({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, ExitCode::Success);
    for (const char* word :
         {"show",      "set",          "schedule",  "next",         "status",
          "--data",    "--plugin-dir", "--latency", "--timeout",    "--trace",
          "--enabled", "--dir",        "--cyclic",  "--throughput", "--range",
          "--cameras", "--schedule",   "--name",    "--at",         "Exit codes"})
        QVERIFY2(run.out.contains(QLatin1String(word)), word);
}

void TestHostCli::badOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList {};
    QTest::newRow("unknown command") << QStringList {QStringLiteral("delete")};
    QTest::newRow("unknown option")
        << QStringList {QStringLiteral("show"), QStringLiteral("--fast")};
    QTest::newRow("set without settings") << QStringList {QStringLiteral("set")};
    QTest::newRow("switch not on or off") << QStringList {
        QStringLiteral("set"), QStringLiteral("--enabled"), QStringLiteral("maybe")};
    QTest::newRow("throughput too large") << QStringList {
        QStringLiteral("set"), QStringLiteral("--throughput"), QStringLiteral("1000001")};
    QTest::newRow("unreadable schedule") << QStringList {
        QStringLiteral("set"), QStringLiteral("--schedule"), QStringLiteral("Mon 9-17")};
    QTest::newRow("name breaking the time frame")
        << QStringList {QStringLiteral("set"), QStringLiteral("--name"), QStringLiteral("A&B")};
    QTest::newRow("option of another command")
        << QStringList {QStringLiteral("show"), QStringLiteral("--dir"), QStringLiteral("/x")};
    QTest::newRow("schedule command without schedule") << QStringList {QStringLiteral("schedule")};
    QTest::newRow("bad date") << QStringList {QStringLiteral("next"), QStringLiteral("--at"),
                                              QStringLiteral("tomorrow")};
    QTest::newRow("negative latency")
        << QStringList {QStringLiteral("show"), QStringLiteral("--latency"), QStringLiteral("-5")};
}

void TestHostCli::badOptions()
{
    QFETCH(QStringList, arguments);
    const Run run = runHost(withData(arguments));
    QCOMPARE(run.exitCode, ExitCode::BadOptions);
    QCOMPARE(cleanLine(run.err).count(QLatin1Char('\n')), 0);
    QVERIFY(!run.err.isEmpty());
    QVERIFY(run.out.isEmpty());
    // Bad options are caught before the service starts, so nothing was written.
    QVERIFY(!QFile::exists(m_data->filePath(QStringLiteral("schedule-backup.xml"))));
}

void TestHostCli::showPrintsSeededSettings()
{
    const Run run = runHost(withData({QStringLiteral("show")}));
    QCOMPARE(run.exitCode, ExitCode::Success);
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    for (const char* text : {"Enabled:       yes", "Target dir:    /srv/backup/video",
                             "Throughput:    30 MB", "Range:         2 days", "Cameras:       all",
                             "Schedule name: Office hours", "Schedule:      Mon-Fri 09:00-17:00",
                             "Backup path:     /srv/backup/video", "Next backup:"})
        QVERIFY2(run.out.contains(QLatin1String(text)), text);
}

void TestHostCli::setIsSeenByNextProcess()
{
    const Run set = runHost(
        withData({QStringLiteral("set"), QStringLiteral("--enabled"), QStringLiteral("off"),
                  QStringLiteral("--dir"), QStringLiteral("/mnt/nas"), QStringLiteral("--cyclic"),
                  QStringLiteral("off"), QStringLiteral("--throughput"), QStringLiteral("120"),
                  QStringLiteral("--range"), QStringLiteral("14"), QStringLiteral("--cameras"),
                  QStringLiteral("cam-02,cam-09"), QStringLiteral("--schedule"),
                  QStringLiteral("Mon-Fri 09:00-17:00; Sat 10:00-12:30"), QStringLiteral("--name"),
                  QStringLiteral("Shop hours")}));
    QCOMPARE(set.exitCode, ExitCode::Success);
    QVERIFY(set.out.contains(QLatin1String("Settings saved.")));

    const Run show = runHost(withData({QStringLiteral("show")}));
    QCOMPARE(show.exitCode, ExitCode::Success);
    for (const char* text :
         {"Enabled:       no", "Target dir:    /mnt/nas", "Cyclic:        no",
          "Throughput:    120 MB", "Range:         14 days", "Cameras:       cam-02, cam-09",
          "Schedule name: Shop hours", "Schedule:      Mon-Fri 09:00-17:00; Sat 10:00-12:30",
          "Backup path:     /mnt/nas", "Status:          Disabled"})
        QVERIFY2(show.out.contains(QLatin1String(text)), qPrintable(show.out));

    // A change of one setting keeps all the others.
    QCOMPARE(runHost(withData({QStringLiteral("set"), QStringLiteral("--enabled"),
                               QStringLiteral("on")}))
                 .exitCode,
             ExitCode::Success);
    TimeCard card;
    QList<InventoryCamera> inventory;
    QString error;
    QVERIFY(BackupStore(m_data->path()).load(&card, &inventory, &error));
    QCOMPARE(card.revision, 3);
    QCOMPARE(card.enabled, true);
    QCOMPARE(card.dir, QStringLiteral("/mnt/nas"));
    QCOMPARE(card.maxThroughputBytes, 120LL << 20);
    QCOMPARE(card.cameras.size(), 2);
    QCOMPARE(card.cameras.at(1).groupId, QStringLiteral("grp-warehouse"));
    QCOMPARE(card.timeFrameName, QStringLiteral("Shop hours"));
    QCOMPARE(card.intervals.size(), 6);
}

void TestHostCli::largeThroughputTravelsWhole()
{
    // 4096 MB in bytes does not fit 32 bits; it must neither wrap nor be cut.
    QCOMPARE(runHost(withData({QStringLiteral("set"), QStringLiteral("--throughput"),
                               QStringLiteral("4096")}))
                 .exitCode,
             ExitCode::Success);
    TimeCard card;
    QList<InventoryCamera> inventory;
    QString error;
    QVERIFY(BackupStore(m_data->path()).load(&card, &inventory, &error));
    QCOMPARE(card.maxThroughputBytes, 4096LL << 20);
    const Run show = runHost(withData({QStringLiteral("show")}));
    QVERIFY2(show.out.contains(QLatin1String("Throughput:    4096 MB")), qPrintable(show.out));
}

void TestHostCli::scheduleCommandStoresOnlySchedule()
{
    const Run run = runHost(withData({QStringLiteral("schedule"), QStringLiteral("--schedule"),
                                      QStringLiteral("Sun 20:00-24:00")}));
    QCOMPARE(run.exitCode, ExitCode::Success);
    const Run show = runHost(withData({QStringLiteral("show")}));
    QVERIFY2(show.out.contains(QLatin1String("Schedule:      Sun 20:00-24:00")),
             qPrintable(show.out));
    QVERIFY(show.out.contains(QLatin1String("Schedule name: Office hours")));
    QVERIFY(show.out.contains(QLatin1String("Cameras:       all")));
}

void TestHostCli::refusedUpdateExplainsWhy_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    QTest::newRow("unknown camera")
        << QStringList {QStringLiteral("--cameras"), QStringLiteral("cam-01,cam-42")}
        << "unknown camera \"cam-42\" (code 1004)";
    QTest::newRow("only unknown cameras")
        << QStringList {QStringLiteral("--cameras"), QStringLiteral("cam-13")}
        << "unknown camera \"cam-13\" (code 1004)";
}

void TestHostCli::refusedUpdateExplainsWhy()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    const Run run = runHost(withData(QStringList {QStringLiteral("set")} + arguments));
    QCOMPARE(run.exitCode, ExitCode::Failed);
    QCOMPARE(cleanLine(run.err).count(QLatin1Char('\n')), 0);
    QVERIFY2(run.err.contains(reason), qPrintable(run.err));
    const Run show = runHost(withData({QStringLiteral("show")}));
    QVERIFY(show.out.contains(QLatin1String("Cameras:       all")));
}

void TestHostCli::nextBackupTime_data()
{
    QTest::addColumn<QString>("at");
    QTest::addColumn<QString>("next");
    // The seeded schedule runs Monday to Friday from 09:00; 2026-12-06 is a Sunday.
    QTest::newRow("Sunday morning") << "2026-12-06T08:00"
                                    << "2026-12-07T09:00:00";
    QTest::newRow("inside Monday's window") << "2026-12-07T12:00"
                                            << "2026-12-08T09:00:00";
    QTest::newRow("Friday evening") << "2026-12-11T18:00"
                                    << "2026-12-14T09:00:00";
}

void TestHostCli::nextBackupTime()
{
    QFETCH(QString, at);
    QFETCH(QString, next);
    const Run run = runHost(withData({QStringLiteral("next"), QStringLiteral("--at"), at}));
    QCOMPARE(run.exitCode, ExitCode::Success);
    QCOMPARE(cleanLine(run.out), next);
}

void TestHostCli::slowReplyTimesOut()
{
    const Run run = runHost(
        withData({QStringLiteral("status"), QStringLiteral("--latency"), QStringLiteral("3000"),
                  QStringLiteral("--timeout"), QStringLiteral("100")}));
    QCOMPARE(run.exitCode, ExitCode::TimedOut);
    QVERIFY(run.err.contains(QLatin1String("no answer")));
    QCOMPARE(cleanLine(run.err).count(QLatin1Char('\n')), 0);
}

void TestHostCli::missingPluginFolder()
{
    const Run run
        = runHost({QStringLiteral("show"), QStringLiteral("--data"), m_data->path(),
                   QStringLiteral("--plugin-dir"), m_data->filePath(QStringLiteral("none"))});
    QCOMPARE(run.exitCode, ExitCode::HostFailure);
    QVERIFY(run.err.contains(QLatin1String("not found")));
}

void TestHostCli::killedProcessLeavesWholeFile_data()
{
    QTest::addColumn<int>("killAfterMs");
    // Kill points spread over the start, the wait for the slow reply and the write.
    for (int ms : {50, 150, 250, 350, 450, 600})
        QTest::newRow(qPrintable(QStringLiteral("kill after %1 ms").arg(ms))) << ms;
}

void TestHostCli::killedProcessLeavesWholeFile()
{
    QFETCH(int, killAfterMs);
    QCOMPARE(runHost(withData({QStringLiteral("show")})).exitCode, ExitCode::Success);

    QProcess process;
    process.start(
        QStringLiteral(HOST_EXECUTABLE),
        withData({QStringLiteral("set"), QStringLiteral("--dir"), QStringLiteral("/mnt/after-kill"),
                  QStringLiteral("--latency"), QStringLiteral("150")}));
    QVERIFY(process.waitForStarted());
    QTest::qWait(killAfterMs);
    process.kill();
    process.waitForFinished();

    TimeCard card;
    QList<InventoryCamera> inventory;
    QString error;
    QVERIFY2(BackupStore(m_data->path()).load(&card, &inventory, &error), qPrintable(error));
    QCOMPARE(inventory.size(), 12);
    if (card.revision == 1) {
        QCOMPARE(card.dir, QStringLiteral("/srv/backup/video"));
    } else {
        QCOMPARE(card.revision, 2);
        QCOMPARE(card.dir, QStringLiteral("/mnt/after-kill"));
    }
    // No temporary file is left behind as the data file.
    const QStringList files = QDir(m_data->path()).entryList(QDir::Files);
    QVERIFY(files.contains(QStringLiteral("schedule-backup.xml")));
}

QTEST_GUILESS_MAIN(TestHostCli)
#include "tst_hostcli.moc"
