#include "BackupProtocol.h"
#include "BackupService.h"
#include "BackupStore.h"
#include "CommandLine.h"
#include "HostFramework.h"
#include "PluginBase.h"
#include "PluginClient.h"
#include "ScheduleBackupHost.h"
#include "ServerInfo.h"

#include <QProcess>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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

} // namespace

class TestHost : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void hostLoadsRealPlugin();
    void refusalsReachThePlugin_data();
    void refusalsReachThePlugin();
    void cli_data();
    void cli();
    void killedProcessLeavesWholeFile_data();
    void killedProcessLeavesWholeFile();

private:
    Run runHost(QStringList arguments) const;
    std::unique_ptr<QTemporaryDir> m_data;
};

void TestHost::init()
{
    m_data = std::make_unique<QTemporaryDir>();
    QVERIFY(m_data->isValid());
}

Run TestHost::runHost(QStringList arguments) const
{
    QProcess process;
    process.start(QStringLiteral(HOST_EXECUTABLE),
                  arguments << QStringLiteral("--data") << m_data->path()
                            << QStringLiteral("--plugin-dir") << QStringLiteral(PLUGIN_DIR));
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

void TestHost::hostLoadsRealPlugin()
{
    ScheduleBackupHost host;
    const HostStartResult result = host.start({m_data->path(), QStringLiteral(PLUGIN_DIR)});
    QVERIFY2(result, qPrintable(result.errorText()));
    QObject* plugin = host.scheduleBackup();
    QVERIFY(plugin);
    QCOMPARE(qobject_cast<PluginBase*>(plugin)->framework, host.framework());
    QVERIFY(qobject_cast<ServerInfo*>(
        host.framework()->GetPluginObject(nullptr, "3CE573D25E0F455B8F75EDDC573E2B64")));
    PluginClient client(plugin, host.framework());
    QVERIFY(client.loadBackupInfo().isSuccess());
    QCOMPARE(plugin->property("targetDir").toString(), host.service()->data().value().card.dir);
    host.shutdown();
    QVERIFY(!host.scheduleBackup());
}

void TestHost::refusalsReachThePlugin_data()
{
    QTest::addColumn<bool>("scheduleOnly"); // updateSchedule rather than updateBackupInfo
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("code");

    const QString good = R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":6}]})";
    QTest::newRow("stale revision")
        << false << "/mnt/x" << good << BackupProtocol::Code::StaleRevision;
    QTest::newRow("window ends before it starts, schedule only")
        << true << "/mnt/x"
        << R"({"Rectangles":[{"Top":17,"Bottom":9,"Left":1,"Right":2}]})"
        << BackupProtocol::Code::MalformedTimeFrame;
    QTest::newRow("no directory") << false << "" << good << BackupProtocol::Code::MissingDirectory;
}

void TestHost::refusalsReachThePlugin()
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
    if (code
        == BackupProtocol::Code::StaleRevision) { // someone else stored the time-card meanwhile
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

void TestHost::cli_data()
{
    QTest::addColumn<QList<QStringList>>("runs"); // in separate processes, one data folder
    QTest::addColumn<QList<int>>("codes");
    // In the last run's standard output (blanks collapsed), or its only line on standard error.
    QTest::addColumn<QString>("text");

    // Throughput beyond 32 bits once counted in bytes.
    const QStringList setAll
        = {"set",           "--enabled",    "off",
           "--dir",         "/mnt/nas",     "--cyclic",
           "off",           "--throughput", "4096",
           "--range",       "14",           "--cameras",
           "cam-02,cam-09", "--schedule",   "Mon-Fri 09:00-17:00; Sat 10:00-12:30",
           "--name",        "Shop hours"};
    const int ok = ExitCode::Success;

    QTest::newRow("set, then one setting changed by another process, nothing lost")
        << QList<QStringList> {setAll, {"set", "--enabled", "on"}, {"show"}}
        << QList<int> {ok, ok, ok}
        << "Enabled: yes Target dir: /mnt/nas Cyclic: no Throughput: 4096 MB Range: 14 days "
           "Cameras: cam-02, cam-09 Schedule name: Shop hours Schedule: Mon-Fri 09:00-17:00; Sat "
           "10:00-12:30 Backup path: /mnt/nas";
    QTest::newRow("schedule command stores only the schedule")
        << QList<QStringList> {{"schedule", "--schedule", "Sun 20:00-24:00"}, {"show"}}
        << QList<int> {ok, ok} << "Schedule name: Office hours Schedule: Sun 20:00-24:00";
    QTest::newRow("refused update")
        << QList<QStringList> {{"set", "--cameras", "cam-01,cam-42"}}
        << QList<int> {ExitCode::Failed} << "unknown camera \"cam-42\" (code 1004)";
    QTest::newRow("bad option value")
        << QList<QStringList> {{"set", "--enabled", "maybe"}} << QList<int> {ExitCode::BadOptions}
        << "--enabled expects on or off";
    QTest::newRow("no reply in time")
        << QList<QStringList> {{"status", "--latency", "3000", "--timeout", "100"}}
        << QList<int> {ExitCode::TimedOut} << "no answer";
}

void TestHost::cli()
{
    QFETCH(QList<QStringList>, runs);
    QFETCH(QList<int>, codes);
    QFETCH(QString, text);

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
}

void TestHost::killedProcessLeavesWholeFile_data()
{
    QTest::addColumn<int>("killAfterMs");
    // During the wait for the slow reply, and around the write.
    for (int ms : {100, 350})
        QTest::newRow(qPrintable(QStringLiteral("kill after %1 ms").arg(ms))) << ms;
}

void TestHost::killedProcessLeavesWholeFile()
{
    QFETCH(int, killAfterMs);
    QCOMPARE(runHost({"show"}).exitCode, ExitCode::Success);
    QProcess process;
    process.start(QStringLiteral(HOST_EXECUTABLE),
                  {"set", "--dir", "/mnt/after-kill", "--latency", "150", "--data", m_data->path(),
                   "--plugin-dir", PLUGIN_DIR});
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

QTEST_GUILESS_MAIN(TestHost)
#include "tst_cli.moc"
