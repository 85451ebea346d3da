// The command-line host as a whole: the program run as processes against one data folder where
// only a process shows the behaviour, and its commands run in-process where a process cannot
// provoke the case.

#include "BackupProtocol.h"
#include "BackupStore.h"
#include "CliCommands.h"
#include "HostFramework.h"
#include "ScheduleBackupHost.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <array>

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void runsPrint_data();
    void runsPrint();
    void failingRunExitsWith_data();
    void failingRunExitsWith();
    void racingSetsLoseNoUpdate();
    void nextPrintsNoTimeInThePast();
    void progressBarIsFilledInProportionWithinItsWidth();

private:
    struct Run
    {
        int exitCode = -1;
        QString out, err;
    };

    QStringList hostArguments(const QStringList& arguments) const;
    Run runHost(const QStringList& arguments) const;

    std::unique_ptr<QTemporaryDir> m_data;
};

void TestCli::init()
{
    m_data = std::make_unique<QTemporaryDir>();
    QVERIFY(m_data->isValid());
}

QStringList TestCli::hostArguments(const QStringList& arguments) const
{
    // A --plugin-dir of the arguments comes later, so it wins.
    return QStringList {"--data", m_data->path(), "--plugin-dir", PLUGIN_DIR} + arguments;
}

TestCli::Run TestCli::runHost(const QStringList& arguments) const
{
    QProcess process;
    process.start(HOST_EXECUTABLE, hostArguments(arguments));
    const bool exited
        = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return {exited ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

void TestCli::runsPrint_data()
{
    QTest::addColumn<QList<QStringList>>("runs"); // one process each, on one data folder
    QTest::addColumn<QString>("text"); // in the last run's standard output, blanks collapsed

    QTest::newRow("throughput beyond 2047 MB and 3650 days read back, each set keeping the other")
        << QList<QStringList> {{"set", "--throughput", "1000000"},
                               {"set", "--range", "3650"},
                               {"show"}}
        << "Throughput: 1000000 MB Range: 3650 days";
    QTest::newRow("next after the last window of a Saturday is Monday's first window")
        << QList<QStringList> {{"schedule", "--schedule", "Mon-Fri 09:00-17:00"},
                               {"next", "--at", "2026-12-12T18:00"}}
        << "2026-12-14T09:00:00";
    QTest::newRow("next says when no backup window is scheduled")
        << QList<QStringList> {{"schedule", "--schedule", "none"}, {"next"}}
        << "none, no backup window is scheduled";
    QTest::newRow("show says when scheduled backup is off")
        << QList<QStringList> {{"set", "--enabled", "off"}, {"show"}}
        << "Next backup: none, scheduled backup is off";
}

void TestCli::runsPrint()
{
    QFETCH(QList<QStringList>, runs);
    QFETCH(QString, text);

    Run run;
    for (const QStringList& arguments : runs) {
        run = runHost(arguments);
        QVERIFY2(run.exitCode == ExitCode::Success,
                 qPrintable(arguments.join(' ') + ": " + run.err));
        QCOMPARE(run.err, QString());
    }
    QVERIFY2(run.out.simplified().contains(text), qPrintable(run.out));
}

void TestCli::failingRunExitsWith_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("error"); // in the only line on standard error

    QTest::newRow("a missing plug-in folder stops the host with 1")
        << QStringList {"show", "--plugin-dir", "/nonexistent/plugins"} << ExitCode::HostFailure
        << "no schedule-backup plug-in in /nonexistent/plugins";
    QTest::newRow("a bad option value stops the program with 2")
        << QStringList {"set", "--enabled", "maybe"} << ExitCode::BadOptions
        << "--enabled expects on or off";
    QTest::newRow("an update the service refuses gives its reason and code with 4")
        << QStringList {"set", "--cameras", "cam-01,cam-42"} << ExitCode::Failed
        << "error: \"UpdBkpTmcard\" failed: unknown camera \"cam-42\" (code 1004)";
    // Three requests of 400 ms each: every one fits the timeout, all of them do not.
    QTest::newRow("the timeout bounds the whole command, not each request, with 5")
        << QStringList {"show", "--latency", "400", "--timeout", "1000"} << ExitCode::TimedOut
        << "within 1000 ms";
}

void TestCli::failingRunExitsWith()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, error);

    const Run run = runHost(arguments);
    QVERIFY2(run.exitCode == code, qPrintable(run.err));
    QVERIFY2(run.err.contains(error) && !run.err.trimmed().contains('\n'), qPrintable(run.err));
}

void TestCli::racingSetsLoseNoUpdate()
{
    // Two processes at a time load the same revision and store a directory of their own; the
    // latency keeps the load and the update apart, so both runs of a round usually overlap.
    const int rounds = 20;
    QCOMPARE(runHost({"show"}).exitCode, ExitCode::Success); // seeds the data folder
    const BackupStore store(m_data->path());
    const qint64 seeded = store.load().value().card.revision;
    QHash<qint64, QString> stored; // revision -> directory, as each successful run reports it
    static const QRegularExpression storedLine("stored time-card revision (\\d+)");

    for (int round = 0; round < rounds; ++round) {
        std::array<QProcess, 2> processes;
        for (int p = 0; p < 2; ++p)
            processes[p].start(
                HOST_EXECUTABLE,
                hostArguments({"set", "--dir", QString("/race/%1").arg(2 * round + p), "--latency",
                               "100", "--trace", "3"}));
        for (int p = 0; p < 2; ++p) {
            QVERIFY(processes[p].waitForFinished(60000));
            const QString err = QString::fromLocal8Bit(processes[p].readAllStandardError());
            const QRegularExpressionMatch match = storedLine.match(err);
            if (processes[p].exitCode() == ExitCode::Success && match.hasMatch()) {
                const qint64 revision = match.captured(1).toLongLong();
                QVERIFY2(!stored.contains(revision), qPrintable(err));
                stored.insert(revision, QString("/race/%1").arg(2 * round + p));
            } else {
                // The loser is told that someone else stored first.
                QVERIFY2(processes[p].exitCode() == ExitCode::Failed, qPrintable(err));
                const QStringList errors = err.split('\n').filter(QRegularExpression("^error: "));
                QVERIFY2(errors.size() == 1 && errors.first().contains("(code 1001)"),
                         qPrintable(err));
            }
        }
    }
    // Every success raised the revision by one, and the store holds the last one stored.
    const TimeCard card = store.load().value().card;
    QCOMPARE(card.revision, seeded + stored.size());
    QCOMPARE(card.dir, stored.value(card.revision));
}

void TestCli::nextPrintsNoTimeInThePast()
{
    ScheduleBackupHost host;
    QVERIFY(host.start({m_data->path(), PLUGIN_DIR}));
    // Without the server-info the plug-in answers 0, the start of 1970.
    host.framework()->registerObject(BackupProtocol::ServerInfoPluginId, nullptr);
    PluginClient client(host.scheduleBackup(), host.framework());
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const CommandLineResult parsed
        = parseCommandLine({HOST_EXECUTABLE, "next", "--at", "2026-12-12T18:00"});

    QCOMPARE(CliCommands(&client, &outStream, &errStream).run(parsed.request), ExitCode::Failed);
    outStream.flush();
    errStream.flush();
    QCOMPARE(err, "error: no next backup time can be given after 2026-12-12T18:00:00\n");
    QCOMPARE(out, QString());
}

void TestCli::progressBarIsFilledInProportionWithinItsWidth()
{
    QCOMPARE(CliCommands::progressBar(-20, 10), "[----------]");
    QCOMPARE(CliCommands::progressBar(50, 10), "[#####-----]");
    QCOMPARE(CliCommands::progressBar(250, 10), "[##########]");
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
