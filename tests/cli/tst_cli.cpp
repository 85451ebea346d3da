// The command-line host as a whole: the program run as processes against one data folder, and
// its commands run in-process where a process cannot provoke the case.

#include "BackupProtocol.h"
#include "BackupService.h"
#include "BackupStore.h"
#include "CliCommands.h"
#include "CommandLine.h"
#include "HostFramework.h"
#include "PluginBase.h"
#include "PluginClient.h"
#include "ScheduleBackupHost.h"
#include "ServerInfo.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <array>

namespace {

struct Run
{
    int exitCode = -1;
    QString out, err;
};

// Everything a refused update must leave alone: the plug-in's properties and the stored file.
QVariantMap snapshot(const QObject* plugin, const BackupService* service)
{
    QFile file(service->dataFilePath());
    QVariantMap values {{"file", file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray()},
                        {"revision", service->data().value().card.revision}};
    for (const char* name : {"cameraList", "enabled", "targetCyclic", "maxThroughputMB",
                             "maxRangeDay", "scheduleTemplate", "scheduleName", "targetDir"})
        values.insert(name, plugin->property(name));
    return values;
}

// The stored settings, by the names an update row changes them with.
QVariantMap settingsOf(const TimeCard& card)
{
    QStringList cameras;
    for (const CameraRef& camera : card.cameras)
        cameras.append(camera.cameraId + '@' + camera.groupId);
    QStringList intervals; // seconds from Sunday 00:00
    for (const WeekInterval& interval : card.intervals)
        intervals.append(QStringLiteral("%1-%2").arg(interval.begin).arg(interval.end));
    return {{"tmcardId", card.tmcardId},
            {"name", card.name},
            {"enabled", card.enabled},
            {"cyclic", card.targetCyclic},
            {"dir", card.dir},
            {"throughputBytes", card.maxThroughputBytes},
            {"rangeMinutes", card.maxRangeMinutes},
            {"cameras", cameras},
            {"scheduleName", card.timeFrameName},
            {"intervals", intervals}};
}

const QString ShopWeek = "Mon-Fri 09:00-17:00; Sat 10:00-12:30";
// Every setting differs from the sample the service seeds; the throughput is beyond 32 bits
// once counted in bytes.
const QStringList SetAll
    = {"set",           "--enabled",    "off",    "--dir",   "/mnt/nas",  "--cyclic",
       "off",           "--throughput", "4096",   "--range", "14",        "--cameras",
       "cam-02,cam-09", "--schedule",   ShopWeek, "--name",  "Shop hours"};

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void hostLoadsRealPlugin();
    void refusalsReachThePlugin_data();
    void refusalsReachThePlugin();
    void runs_data();
    void runs();
    void updatesKeepWhatTheyDoNotChange_data();
    void updatesKeepWhatTheyDoNotChange();
    void showGivesAStartInTheFuture();
    void inProcess_data();
    void inProcess();
    void progressBar_data();
    void progressBar();
    void racingSetsLoseNoUpdate();
    void killedProcessLeavesWholeFile_data();
    void killedProcessLeavesWholeFile();

private:
    QStringList hostArguments(QStringList arguments) const;
    Run runHost(const QStringList& arguments) const;
    TimeCard storedCard() const;

    std::unique_ptr<QTemporaryDir> m_data;
};

void TestCli::init()
{
    m_data = std::make_unique<QTemporaryDir>();
    QVERIFY(m_data->isValid());
}

QStringList TestCli::hostArguments(QStringList arguments) const
{
    arguments << QStringLiteral("--data") << m_data->path();
    if (!arguments.contains(QStringLiteral("--plugin-dir")))
        arguments << QStringLiteral("--plugin-dir") << QStringLiteral(PLUGIN_DIR);
    return arguments;
}

Run TestCli::runHost(const QStringList& arguments) const
{
    QProcess process;
    process.start(QStringLiteral(HOST_EXECUTABLE), hostArguments(arguments));
    const bool finished = process.waitForFinished(60000);
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    if (!finished || process.exitStatus() != QProcess::NormalExit)
        return {-1, QString(), (finished ? "crashed: " : "still running: ") + err};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()), err};
}

TimeCard TestCli::storedCard() const
{
    const StoreResult<ServiceData> stored = BackupStore(m_data->path()).load();
    return stored ? stored.value().card : TimeCard();
}

void TestCli::hostLoadsRealPlugin()
{
    ScheduleBackupHost host;
    const HostStartResult result = host.start({m_data->path(), QStringLiteral(PLUGIN_DIR)});
    QVERIFY2(result, qPrintable(result.errorText()));
    QObject* plugin = host.scheduleBackup();
    QVERIFY(plugin);
    QCOMPARE(qobject_cast<PluginBase*>(plugin)->framework, host.framework());
    QVERIFY(qobject_cast<ServerInfo*>(
        host.framework()->GetPluginObject(nullptr, BackupProtocol::ServerInfoPluginId)));
    PluginClient client(plugin, host.framework());
    QVERIFY(client.loadBackupInfo().isSuccess());
    QCOMPARE(plugin->property("targetDir").toString(), host.service()->data().value().card.dir);
    host.shutdown();
    QVERIFY(!host.scheduleBackup());
}

void TestCli::refusalsReachThePlugin_data()
{
    QTest::addColumn<bool>("scheduleOnly"); // updateSchedule rather than updateBackupInfo
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("code");

    const QString good = R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":6}]})";
    QTest::newRow("a stale revision fails the update")
        << false << "/mnt/x" << good << BackupProtocol::Code::StaleRevision;
    QTest::newRow("a window that ends before it starts fails the schedule")
        << true << "/mnt/x"
        << R"({"Rectangles":[{"Top":17,"Bottom":9,"Left":1,"Right":2}]})"
        << BackupProtocol::Code::MalformedTimeFrame;
    QTest::newRow("no directory fails the update")
        << false << "" << good << BackupProtocol::Code::MissingDirectory;
}

void TestCli::refusalsReachThePlugin()
{
    QFETCH(bool, scheduleOnly);
    QFETCH(QString, dir);
    QFETCH(QString, json);
    QFETCH(QString, code);

    ScheduleBackupHost host;
    QVERIFY(host.start({m_data->path(), QStringLiteral(PLUGIN_DIR)}));
    QObject* plugin = host.scheduleBackup();
    PluginClient client(plugin, host.framework());
    QVERIFY(client.loadBackupInfo().isSuccess());
    if (code == BackupProtocol::Code::StaleRevision) { // someone else stored the time-card
        const TimeCard card = host.service()->data().value().card;
        const QVariantMap other {
            {"Revision", card.revision},
            {"TmcardID", card.tmcardId},
            {"Dir", "/elsewhere"},
            {"CamGroupList", QVariantList {QVariantMap {{"CamID", BackupProtocol::AllCamerasTag}}}},
            {"TimeFrameMessage", card.timeFrameXml},
            {"MaxThroughput", 1},
            {"MaxRange", 1}};
        QCOMPARE(host.service()->handle(BackupProtocol::UpdateTimeCard, other).resultCode,
                 BackupProtocol::Code::Success);
    }
    const QVariantMap before = snapshot(plugin, host.service());

    QSignalSpy resp(
        plugin, scheduleOnly ? SIGNAL(updateScheduleResp(bool)) : SIGNAL(updBackupInfoResp(bool)));
    PluginClient::Settings settings = client.currentSettings();
    settings.enabled = !settings.enabled;
    settings.targetDir = dir;
    settings.scheduleJson = json;
    const PluginClient::Result result = scheduleOnly
        ? client.updateSchedule(QStringLiteral("New"), json)
        : client.updateBackupInfo(settings);
    QCOMPARE(result.outcome, PluginClient::Outcome::Failed);
    QVERIFY2(result.errorText.contains(code), qPrintable(result.errorText));
    QCOMPARE(QList<QVariantList>(resp), QList<QVariantList> {{false}});
    QCOMPARE(snapshot(plugin, host.service()), before);
}

void TestCli::runs_data()
{
    QTest::addColumn<QByteArray>("dataFile"); // written before the first run, unless empty
    QTest::addColumn<QList<QStringList>>("runs"); // in separate processes, one data folder
    QTest::addColumn<QList<int>>("codes");
    // In the last run's standard output (blanks collapsed), or its only line on standard error.
    QTest::addColumn<QString>("text");

    const int ok = ExitCode::Success;
    const QList<QStringList> shopWeek = {{"set", "--schedule", ShopWeek}};

    QTest::newRow("set changes one setting and keeps those another process stored")
        << QByteArray() << QList<QStringList> {SetAll, {"set", "--enabled", "on"}, {"show"}}
        << QList<int> {ok, ok, ok}
        << "Enabled: yes Target dir: /mnt/nas Cyclic: no Throughput: 4096 MB Range: 14 days "
           "Cameras: cam-02, cam-09 Schedule name: Shop hours Schedule: Mon-Fri 09:00-17:00; Sat "
           "10:00-12:30 Backup path: /mnt/nas";
    QTest::newRow("the largest throughput and range read back exactly")
        << QByteArray()
        << QList<QStringList> {{"set", "--throughput", "1000000", "--range", "3650"}, {"show"}}
        << QList<int> {ok, ok} << "Throughput: 1000000 MB Range: 3650 days";
    QTest::newRow("a name in markup reads back as it was entered")
        << QByteArray() << QList<QStringList> {{"set", "--name", "<b>&</b>"}, {"show"}}
        << QList<int> {ok, ok} << "Schedule name: <b>&</b> Schedule: Mon-Fri 09:00-17:00";
    QTest::newRow("next after the last window of a Saturday is Monday's first window")
        << QByteArray() << shopWeek + QList<QStringList> {{"next", "--at", "2026-12-12T18:00"}}
        << QList<int> {ok, ok} << "2026-12-14T09:00:00";
    QTest::newRow("next before a Saturday window is that window")
        << QByteArray() << shopWeek + QList<QStringList> {{"next", "--at", "2026-12-12 08:30"}}
        << QList<int> {ok, ok} << "2026-12-12T10:00:00";
    QTest::newRow("next says when no backup window is scheduled")
        << QByteArray() << QList<QStringList> {{"set", "--schedule", "none"}, {"next"}}
        << QList<int> {ok, ok} << "none, no backup window is scheduled";
    QTest::newRow("show says when no backup window is scheduled")
        << QByteArray() << QList<QStringList> {{"schedule", "--schedule", "none"}, {"show"}}
        << QList<int> {ok, ok} << "Next backup: none, no backup window is scheduled";
    QTest::newRow("next says when scheduled backup is off")
        << QByteArray()
        << QList<QStringList> {{"set", "--enabled", "off"}, {"next", "--at", "2026-12-12T18:00"}}
        << QList<int> {ok, ok} << "none, scheduled backup is off";
    QTest::newRow("show says when scheduled backup is off")
        << QByteArray() << QList<QStringList> {{"set", "--enabled", "off"}, {"show"}}
        << QList<int> {ok, ok} << "Next backup: none, scheduled backup is off";
    QTest::newRow("a damaged data file stops the host and is left alone")
        << QByteArray("<schedule-backup><TimeCard>") << QList<QStringList> {{"show"}}
        << QList<int> {ExitCode::HostFailure} << "schedule-backup.xml is damaged";
    QTest::newRow("a missing plug-in folder stops the host")
        << QByteArray() << QList<QStringList> {{"show", "--plugin-dir", "/nonexistent/plugins"}}
        << QList<int> {ExitCode::HostFailure}
        << "no schedule-backup plug-in in /nonexistent/plugins";
    QTest::newRow("a bad option value starts nothing")
        << QByteArray() << QList<QStringList> {{"set", "--enabled", "maybe"}}
        << QList<int> {ExitCode::BadOptions} << "--enabled expects on or off";
    QTest::newRow("next from the year 9999 on is a bad option")
        << QByteArray() << QList<QStringList> {{"next", "--at", "9999-06-01T00:00"}}
        << QList<int> {ExitCode::BadOptions} << "--at must lie between the years 1970 and 9998";
    QTest::newRow("an update the service refuses gives its reason and code")
        << QByteArray() << QList<QStringList> {{"set", "--cameras", "cam-01,cam-42"}}
        << QList<int> {ExitCode::Failed}
        << "error: \"UpdBkpTmcard\" failed: unknown camera \"cam-42\" (code 1004)";
    QTest::newRow("a reply slower than the timeout is none")
        << QByteArray() << QList<QStringList> {{"status", "--latency", "3000", "--timeout", "100"}}
        << QList<int> {ExitCode::TimedOut} << "no answer to \"GetBackupStatus\" within 100 ms";
    // Three requests of 400 ms each: every one fits the timeout, all of them do not.
    QTest::newRow("the timeout bounds the whole command, not each request")
        << QByteArray() << QList<QStringList> {{"show", "--latency", "400", "--timeout", "1000"}}
        << QList<int> {ExitCode::TimedOut} << "within 1000 ms";
}

void TestCli::runs()
{
    QFETCH(QByteArray, dataFile);
    QFETCH(QList<QStringList>, runs);
    QFETCH(QList<int>, codes);
    QFETCH(QString, text);

    const QString filePath = BackupStore(m_data->path()).filePath();
    if (!dataFile.isEmpty()) {
        QFile file(filePath);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(dataFile) == dataFile.size());
    }
    Run run;
    for (int i = 0; i < runs.size(); ++i) {
        run = runHost(runs.at(i));
        QVERIFY2(run.exitCode == codes.at(i), qPrintable(runs.at(i).join(' ') + ": " + run.err));
    }
    const bool failed = codes.last() != ExitCode::Success;
    QVERIFY2((failed ? run.err : run.out.simplified()).contains(text),
             qPrintable(run.out + run.err));
    QVERIFY2(failed ? !run.err.trimmed().contains(u'\n') : run.err.isEmpty(), qPrintable(run.err));
    // Bad options are caught before the service starts and writes anything.
    if (codes.last() == ExitCode::BadOptions)
        QVERIFY(QDir(m_data->path()).isEmpty() && run.out.isEmpty());
    if (!dataFile.isEmpty()) {
        QVERIFY2(!run.err.contains("plug-in"), qPrintable(run.err));
        QFile file(filePath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), dataFile);
    }
}

void TestCli::updatesKeepWhatTheyDoNotChange_data()
{
    QTest::addColumn<QStringList>("update"); // run after SetAll
    QTest::addColumn<QVariantMap>("changes"); // of the stored settings

    QTest::newRow("set with one option changes only that setting")
        << QStringList {"set", "--cyclic", "on"} << QVariantMap {{"cyclic", true}};
    QTest::newRow("schedule stores the schedule and keeps its name")
        << QStringList {"schedule", "--schedule", "Sun 20:00-24:00"}
        << QVariantMap {{"intervals", QStringList {"72000-86400"}}}; // Sunday 20:00 to 24:00
    QTest::newRow("schedule with a name stores both")
        << QStringList {"schedule", "--schedule", "none", "--name", "Holidays"}
        << QVariantMap {{"intervals", QStringList {}}, {"scheduleName", "Holidays"}};
}

void TestCli::updatesKeepWhatTheyDoNotChange()
{
    QFETCH(QStringList, update);
    QFETCH(QVariantMap, changes);

    Run run = runHost(SetAll);
    QVERIFY2(run.exitCode == ExitCode::Success, qPrintable(run.err));
    const TimeCard before = storedCard();
    run = runHost(update);
    QVERIFY2(run.exitCode == ExitCode::Success, qPrintable(run.err));
    const TimeCard after = storedCard();

    QVariantMap expected = settingsOf(before);
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        QVERIFY(expected.contains(it.key()));
        QVERIFY2(expected.value(it.key()) != it.value(), "the update must change something");
        expected.insert(it.key(), it.value());
    }
    QCOMPARE(settingsOf(after), expected);
    QCOMPARE(after.revision, before.revision + 1);
}

void TestCli::showGivesAStartInTheFuture()
{
    // The sample has backups on working days, so the next start is at most a week away.
    const QDateTime before = QDateTime::currentDateTime();
    const Run run = runHost({"show"});
    QVERIFY2(run.exitCode == ExitCode::Success, qPrintable(run.err));
    const QRegularExpressionMatch match
        = QRegularExpression("^Next backup: +(\\S+)$", QRegularExpression::MultilineOption)
              .match(run.out);
    QVERIFY2(match.hasMatch(), qPrintable(run.out));
    const QDateTime next = QDateTime::fromString(match.captured(1), Qt::ISODate);
    QVERIFY2(next > before && next <= before.addDays(7), qPrintable(match.captured(1)));
    QCOMPARE(next.time(), QTime(9, 0));
}

void TestCli::inProcess_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("pluginUnknown"); // to the framework; else the server-info is gone
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("error"); // the start of the only line on standard error

    const QString refused = "error: the plug-in refused to send ";
    for (const QStringList& arguments :
         {QStringList {"show"}, QStringList {"set", "--dir", "/mnt/x"},
          QStringList {"schedule", "--schedule", "none"}, QStringList {"next"},
          QStringList {"status"}}) {
        QTest::addRow("%s exits with 3 when the plug-in cannot send", qPrintable(arguments[0]))
            << arguments << true << ExitCode::Refused << refused;
    }
    // Without the server-info the plug-in answers 0, the start of 1970.
    QTest::newRow("next prints no time in the past when the plug-in has no answer")
        << QStringList {"next", "--at", "2026-12-12T18:00"} << false << ExitCode::Failed
        << "error: no next backup time can be given after 2026-12-12T18:00:00";
}

void TestCli::inProcess()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, pluginUnknown);
    QFETCH(int, code);
    QFETCH(QString, error);

    const CommandLineResult parsed = parseCommandLine(QStringList {HOST_EXECUTABLE} + arguments);
    QVERIFY2(parsed.action == CommandLineResult::Action::Run, qPrintable(parsed.text));
    ScheduleBackupHost host;
    QVERIFY(host.start({m_data->path(), QStringLiteral(PLUGIN_DIR)}));
    PluginClient client(host.scheduleBackup(), host.framework());
    if (pluginUnknown) {
        // A framework that no longer knows the plug-in turns down every command it sends.
        host.framework()->unregisterAll();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("command .* from unknown plug-in"));
    } else {
        host.framework()->registerObject(BackupProtocol::ServerInfoPluginId, nullptr);
    }
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    CliCommands commands(&client, &outStream, &errStream);

    QCOMPARE(commands.run(parsed.request), code);
    outStream.flush();
    errStream.flush();
    QVERIFY2(err.startsWith(error) && err.count('\n') == 1, qPrintable(err));
    QCOMPARE(out, QString());
    QCOMPARE(storedCard().revision, 1);
}

void TestCli::progressBar_data()
{
    QTest::addColumn<qint64>("progress");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("bar");

    QTest::newRow("below zero is empty") << qint64(-20) << 10 << "[----------]";
    QTest::newRow("half is half full") << qint64(50) << 10 << "[#####-----]";
    QTest::newRow("a part of a cell is not drawn")
        << qint64(33) << 30 << "[#########---------------------]";
    QTest::newRow("a hundred is full") << qint64(100) << 10 << "[##########]";
    QTest::newRow("above a hundred is full") << qint64(250) << 10 << "[##########]";
    QTest::newRow("beyond 32 bits is full") << (qint64(1) << 32) + 50 << 4 << "[####]";
}

void TestCli::progressBar()
{
    QFETCH(qint64, progress);
    QFETCH(int, width);
    QFETCH(QString, bar);

    QCOMPARE(CliCommands::progressBar(progress, width), bar);
}

void TestCli::racingSetsLoseNoUpdate()
{
    // Two processes at a time load the same revision and store a value of their own; the
    // latency keeps the load and the update apart, so both runs of a round usually overlap.
    const int rounds = 20;
    QTemporaryDir traces;
    QVERIFY(traces.isValid());
    QCOMPARE(runHost({"show"}).exitCode, ExitCode::Success); // seeds the data folder
    qint64 revision = storedCard().revision;
    QHash<qint64, QString> stored; // revision -> dir, as each successful run reports it
    static const QRegularExpression storedLine("stored time-card revision (\\d+)");
    int lost = 0;

    for (int round = 0; round < rounds; ++round) {
        std::array<QProcess, 2> processes;
        std::array<QString, 2> dirs;
        for (int p = 0; p < 2; ++p) {
            dirs[p] = QStringLiteral("/race/%1-%2").arg(QChar('a' + p)).arg(round);
            processes[p].start(
                HOST_EXECUTABLE,
                hostArguments({"set", "--dir", dirs[p], "--latency", "100", "--trace", "3",
                               "--trace-file", traces.filePath(QString::number(p))}));
        }
        qint64 highest = revision;
        for (int p = 0; p < 2; ++p) {
            QProcess& process = processes[p];
            QVERIFY2(process.waitForFinished(60000), qPrintable(dirs[p] + " still running"));
            const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
            const QString err = QString::fromLocal8Bit(process.readAllStandardError());
            const QString what = QStringLiteral("round %1, %2: ").arg(round).arg(dirs[p]) + err;
            if (process.exitCode() == ExitCode::Success) {
                QVERIFY2(out.startsWith("Settings saved.\n"), qPrintable(what));
                const QRegularExpressionMatch match = storedLine.match(err);
                QVERIFY2(match.hasMatch(), qPrintable(what));
                const qint64 claimed = match.captured(1).toLongLong();
                QVERIFY2(claimed > revision, qPrintable(what));
                QVERIFY2(!stored.contains(claimed),
                         qPrintable(what + " shares its revision with " + stored.value(claimed)));
                stored.insert(claimed, dirs[p]);
                highest = std::max(highest, claimed);
            } else {
                QVERIFY2(process.exitCode() == ExitCode::Failed, qPrintable(what));
                const QStringList errors = err.split('\n').filter(QRegularExpression("^error: "));
                QVERIFY2(errors.size() == 1 && errors.first().contains("(code 1001)"),
                         qPrintable(what));
                ++lost;
            }
        }
        // What the store holds now is the last value a run of this round was told it stored,
        // and every success of the round raised the revision by exactly one.
        const TimeCard card = storedCard();
        QCOMPARE(card.revision, highest);
        QCOMPARE(card.dir, stored.value(highest));
        for (qint64 r = revision + 1; r <= highest; ++r)
            QVERIFY2(stored.contains(r), qPrintable(QStringLiteral("revision %1").arg(r)));
        revision = highest;
    }
    QCOMPARE(stored.size() + lost, 2 * rounds);
    qInfo("%d of %d runs lost the race", lost, 2 * rounds);
}

void TestCli::killedProcessLeavesWholeFile_data()
{
    QTest::addColumn<int>("killAfterMs");
    // During the wait for the slow reply, and around the write.
    for (int ms : {100, 350})
        QTest::newRow(qPrintable(QStringLiteral("killed after %1 ms, the file is whole").arg(ms)))
            << ms;
}

void TestCli::killedProcessLeavesWholeFile()
{
    QFETCH(int, killAfterMs);
    QCOMPARE(runHost({"show"}).exitCode, ExitCode::Success);
    QProcess process;
    process.start(QStringLiteral(HOST_EXECUTABLE),
                  hostArguments({"set", "--dir", "/mnt/after-kill", "--latency", "150"}));
    QVERIFY(process.waitForStarted());
    QTest::qWait(killAfterMs);
    process.kill();
    process.waitForFinished();

    const StoreResult<ServiceData> stored = BackupStore(m_data->path()).load();
    QVERIFY2(stored, qPrintable(stored.errorText()));
    const TimeCard& card = stored.value().card;
    QCOMPARE(stored.value().inventory.size(), 12);
    QCOMPARE(card.dir, card.revision == 1 ? "/srv/backup/video" : "/mnt/after-kill");
    QVERIFY(card.revision == 1 || card.revision == 2);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
