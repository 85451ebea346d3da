#include "BackupService.h"
#include "HostFramework.h"
#include "PluginBase.h"
#include "PluginClient.h"
#include "PluginLoader.h"
#include "ResultCodes.h"
#include "ScheduleBackupHost.h"
#include "ServerInfo.h"
#include "WeekSchedule.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString ServerInfoId = QStringLiteral("3CE573D25E0F455B8F75EDDC573E2B64");

QVariantMap cam(const QString& id)
{
    return {{QStringLiteral("Name"), id}, {QStringLiteral("GrpID"), QString()}};
}

// The plug-in's properties, to check that a refused update leaves them alone.
QVariantMap snapshot(const QObject* plugin)
{
    QVariantMap values;
    for (const char* name :
         {"cameraList", "enabled", "hasAllCameras", "targetCyclic", "maxThroughputMB",
          "maxRangeDay", "scheduleTemplate", "scheduleName", "targetDir"})
        values.insert(QString::fromLatin1(name), plugin->property(name));
    return values;
}

} // namespace

class TestHostPlugin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void loaderReportsReasons_data();
    void loaderReportsReasons();
    void hostLoadsRealPlugin();
    void settingsSurviveAnotherHost();
    void refusalsReachThePlugin_data();
    void refusalsReachThePlugin();
    void staleRevisionIsRefused();
    void everyCommandGetsOneReply();
    void shutdownAnswersPendingCommands();
    void nextBackupTimeUsesServerInfo();

private:
    std::unique_ptr<QTemporaryDir> m_data;
    QTemporaryDir m_scratch; // lives through all rows of a data-driven test
    PluginLoadResult startHost(ScheduleBackupHost* host, int latency = 0);
};

void TestHostPlugin::init()
{
    m_data = std::make_unique<QTemporaryDir>();
    QVERIFY(m_data->isValid());
}

PluginLoadResult TestHostPlugin::startHost(ScheduleBackupHost* host, int latency)
{
    return host->start({m_data->path(), QStringLiteral(PLUGIN_DIR), latency});
}

void TestHostPlugin::loaderReportsReasons_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("directory");
    QTest::addColumn<int>("error");

    QTest::newRow("missing folder") << m_scratch.filePath(QStringLiteral("nowhere")) << true
                                    << int(PluginLoadResult::Error::NotFound);
    QTest::newRow("empty folder") << m_scratch.path() << true
                                  << int(PluginLoadResult::Error::NotFound);
    QTest::newRow("missing file") << m_scratch.filePath(QStringLiteral("libNothing.so")) << false
                                  << int(PluginLoadResult::Error::NotFound);
    QTest::newRow("foreign interface") << QStringLiteral(FOREIGN_PLUGIN_DIR) << true
                                       << int(PluginLoadResult::Error::WrongInterface);
    QTest::newRow("not a plug-in")
        << QStringLiteral(HOST_EXECUTABLE) << false << int(PluginLoadResult::Error::LoadFailed);
}

void TestHostPlugin::loaderReportsReasons()
{
    QFETCH(QString, path);
    QFETCH(bool, directory);
    QFETCH(int, error);

    PluginLoader loader;
    const PluginLoadResult result
        = directory ? loader.loadDirectory(path).value(0) : loader.loadFile(path);
    QCOMPARE(int(result.error()), error);
    QVERIFY(!result.isOk());
    QVERIFY(!result.errorText().isEmpty());
    QVERIFY(!result.plugin());
    QVERIFY(
        result.describe().contains(PluginLoadResult::errorName(PluginLoadResult::Error(error))));
    QVERIFY(loader.loadedPlugins().isEmpty());
}

void TestHostPlugin::hostLoadsRealPlugin()
{
    ScheduleBackupHost host;
    QSignalSpy changed(&host, &ScheduleBackupHost::scheduleBackupChanged);
    const PluginLoadResult result = startHost(&host);
    QVERIFY2(result.isOk(), qPrintable(result.describe()));
    QCOMPARE(result.pluginId(), ScheduleBackupHost::ScheduleBackupPluginId);
    QCOMPARE(changed.size(), 1);

    QObject* plugin = host.scheduleBackup();
    QVERIFY(plugin);
    QVERIFY(qobject_cast<PluginBase*>(plugin));
    QCOMPARE(qobject_cast<PluginBase*>(plugin)->framework, host.framework());
    QCOMPARE(host.engine()
                 ->rootContext()
                 ->contextProperty(QStringLiteral("scheduleBackup"))
                 .value<QObject*>(),
             plugin);
    QCOMPARE(host.framework()->GetPluginObject(nullptr, ScheduleBackupHost::ScheduleBackupPluginId),
             plugin);
    QVERIFY(qobject_cast<ServerInfo*>(host.framework()->GetPluginObject(nullptr, ServerInfoId)));
    QVERIFY(!host.framework()->GetPluginObject(nullptr, QStringLiteral("0000")));
    // Commands the service does not know are refused at once.
    QVERIFY(!host.framework()->SendCommand(nullptr, ScheduleBackupHost::ScheduleBackupPluginId,
                                           QStringLiteral("Reboot"), QVariant(), nullptr, 0,
                                           QString()));
    QCOMPARE(host.framework()->pendingCount(), 0);

    host.shutdown();
    QVERIFY(!host.scheduleBackup());
    QCOMPARE(changed.size(), 2);
}

void TestHostPlugin::settingsSurviveAnotherHost()
{
    const QString schedule
        = WeekSchedule::parse(QStringLiteral("Tue,Thu 06:00-07:30")).toRectangleJson();
    {
        ScheduleBackupHost host;
        QVERIFY(startHost(&host).isOk());
        PluginClient client(host.scheduleBackup(), host.framework());
        QVERIFY(client.loadBackupInfo().isSuccess());
        QCOMPARE(host.scheduleBackup()->property("hasAllCameras").toBool(), true);

        PluginClient::Settings settings = client.currentSettings();
        settings.enabled = false;
        settings.targetDir = QStringLiteral("/mnt/second");
        settings.camList = {cam(QStringLiteral("cam-03")), cam(QStringLiteral("cam-11"))};
        settings.scheduleName = QStringLiteral("Early");
        settings.scheduleJson = schedule;
        settings.maxThroughputMB = 80;
        settings.maxRangeDay = 9;
        QSignalSpy dirChanged(host.scheduleBackup(), SIGNAL(targetDirChanged(QString)));
        const PluginClient::Result result = client.updateBackupInfo(settings);
        QVERIFY2(result.isSuccess(), qPrintable(result.errorText));
        QCOMPARE(dirChanged.size(), 1);
        QCOMPARE(host.service()->revision(), 2);
    }
    ScheduleBackupHost second;
    QVERIFY(startHost(&second).isOk());
    PluginClient client(second.scheduleBackup(), second.framework());
    QVERIFY(client.loadBackupInfo().isSuccess());
    const QObject* plugin = second.scheduleBackup();
    QCOMPARE(plugin->property("enabled").toBool(), false);
    QCOMPARE(plugin->property("targetDir").toString(), QStringLiteral("/mnt/second"));
    QCOMPARE(plugin->property("cameraList").toStringList(),
             (QStringList {QStringLiteral("cam-03"), QStringLiteral("cam-11")}));
    QCOMPARE(plugin->property("hasAllCameras").toBool(), false);
    QCOMPARE(plugin->property("scheduleName").toString(), QStringLiteral("Early"));
    QCOMPARE(plugin->property("maxThroughputMB").toInt(), 80);
    QCOMPARE(plugin->property("maxRangeDay").toInt(), 9);
    QCOMPARE(
        WeekSchedule::fromRectangleJson(plugin->property("scheduleTemplate").toString()).toText(),
        QStringLiteral("Tue,Thu 06:00-07:30"));
}

void TestHostPlugin::refusalsReachThePlugin_data()
{
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QVariantList>("cameras");
    QTest::addColumn<QString>("scheduleJson");
    QTest::addColumn<QString>("code");

    const QString good
        = QStringLiteral(R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":6}]})");
    QTest::newRow("window ends before it starts")
        << "/mnt/x" << QVariantList {cam(QStringLiteral("cam-01"))}
        << R"({"Rectangles":[{"Top":17,"Bottom":9,"Left":1,"Right":2}]})"
        << ResultCodes::MalformedTimeFrame;
    QTest::newRow("window past the week")
        << "/mnt/x" << QVariantList {cam(QStringLiteral("cam-01"))}
        << R"({"Rectangles":[{"Top":0,"Bottom":24,"Left":7,"Right":8}]})"
        << ResultCodes::MalformedTimeFrame;
    QTest::newRow("no directory") << "" << QVariantList {cam(QStringLiteral("cam-01"))} << good
                                  << ResultCodes::MissingDirectory;
    QTest::newRow("unknown camera") << "/mnt/x" << QVariantList {cam(QStringLiteral("cam-77"))}
                                    << good << ResultCodes::UnknownCamera;
}

void TestHostPlugin::refusalsReachThePlugin()
{
    QFETCH(QString, dir);
    QFETCH(QVariantList, cameras);
    QFETCH(QString, scheduleJson);
    QFETCH(QString, code);

    ScheduleBackupHost host;
    QVERIFY(startHost(&host).isOk());
    QObject* plugin = host.scheduleBackup();
    PluginClient client(plugin, host.framework());
    QVERIFY(client.loadBackupInfo().isSuccess());
    const QVariantMap before = snapshot(plugin);

    QSignalSpy replies(host.framework(), &HostFramework::replyDelivered);
    QSignalSpy updated(plugin, SIGNAL(updBackupInfoResp(bool)));
    PluginClient::Settings settings = client.currentSettings();
    settings.enabled = !settings.enabled;
    settings.targetDir = dir;
    settings.camList = cameras;
    settings.scheduleJson = scheduleJson;
    const PluginClient::Result result = client.updateBackupInfo(settings);

    QCOMPARE(result.outcome, PluginClient::Outcome::Failed);
    QVERIFY(result.errorText.contains(code));
    QCOMPARE(updated.size(), 1);
    QCOMPARE(updated.first().first().toBool(), false);
    QCOMPARE(replies.size(), 1);
    QCOMPARE(replies.first().at(1).toString(), code);
    QCOMPARE(snapshot(plugin), before);
    QCOMPARE(host.service()->revision(), 1);
}

void TestHostPlugin::staleRevisionIsRefused()
{
    ScheduleBackupHost host;
    QVERIFY(startHost(&host).isOk());
    QObject* plugin = host.scheduleBackup();
    PluginClient client(plugin, host.framework());
    QVERIFY(client.loadBackupInfo().isSuccess());

    // Someone else stores the time-card after this page loaded it.
    TimeCard card = host.service()->timeCard();
    QVariantMap foreign = {{QStringLiteral("Revision"), card.revision},
                           {QStringLiteral("TmcardID"), card.tmcardId},
                           {QStringLiteral("Dir"), QStringLiteral("/elsewhere")},
                           {QStringLiteral("Enabled"), true},
                           {QStringLiteral("CamGroupList"),
                            QVariantList {QVariantMap {{QStringLiteral("CamID"), AllCamerasId}}}},
                           {QStringLiteral("TimeFrameMessage"), card.timeFrameXml},
                           {QStringLiteral("MaxThroughput"), 1},
                           {QStringLiteral("MaxRange"), 1}};
    QVERIFY(host.service()->handle(QStringLiteral("UpdBkpTmcard"), foreign).isSuccess());

    const QVariantMap before = snapshot(plugin);
    QSignalSpy scheduleResp(plugin, SIGNAL(updateScheduleResp(bool)));
    const PluginClient::Result result = client.updateSchedule(
        QStringLiteral("Late"),
        WeekSchedule::parse(QStringLiteral("Fri 18:00-20:00")).toRectangleJson());
    QCOMPARE(result.outcome, PluginClient::Outcome::Failed);
    QVERIFY(result.errorText.contains(ResultCodes::StaleRevision));
    QCOMPARE(scheduleResp.size(), 1);
    QCOMPARE(scheduleResp.first().first().toBool(), false);
    QCOMPARE(snapshot(plugin), before);
    QCOMPARE(host.service()->revision(), 2);

    // After reloading, the page holds the current revision and may store again.
    QVERIFY(client.loadBackupInfo().isSuccess());
    QCOMPARE(plugin->property("targetDir").toString(), QStringLiteral("/elsewhere"));
    QVERIFY(client
                .updateSchedule(
                    QStringLiteral("Late"),
                    WeekSchedule::parse(QStringLiteral("Fri 18:00-20:00")).toRectangleJson())
                .isSuccess());
    QCOMPARE(host.service()->timeCard().timeFrameName, QStringLiteral("Late"));
}

void TestHostPlugin::everyCommandGetsOneReply()
{
    ScheduleBackupHost host;
    QVERIFY(startHost(&host, 20).isOk());
    QObject* plugin = host.scheduleBackup();
    QSignalSpy replies(host.framework(), &HostFramework::replyDelivered);
    QSignalSpy pathResp(plugin, SIGNAL(getBackupPathResp(bool, QString)));
    QSignalSpy statusResp(plugin, SIGNAL(getBackupStatusResp(bool, QString, QString, qint64)));

    bool accepted = false;
    for (const char* method : {"getBackupPathInfo", "getBackupStatus", "getBackupPathInfo"}) {
        QVERIFY(QMetaObject::invokeMethod(plugin, method, Qt::DirectConnection,
                                          Q_RETURN_ARG(bool, accepted),
                                          Q_ARG(QString, QStringLiteral("r"))));
        QVERIFY(accepted);
    }
    // Replies never arrive inside the call that sent the command.
    QCOMPARE(host.framework()->pendingCount(), 3);
    QCOMPARE(replies.size(), 0);
    QTRY_COMPARE(replies.size(), 3);
    QCOMPARE(replies.at(0).at(0).toString(), QStringLiteral("GetBackupPath"));
    QCOMPARE(replies.at(1).at(0).toString(), QStringLiteral("GetBackupStatus"));
    QCOMPARE(replies.at(2).at(3).toString(), QStringLiteral("r"));
    QCOMPARE(pathResp.size(), 2);
    QCOMPARE(pathResp.first().at(1).toString(), QStringLiteral("/srv/backup/video"));
    QCOMPARE(statusResp.size(), 1);
    QCOMPARE(statusResp.first().at(0).toBool(), true);
    QCOMPARE(host.framework()->pendingCount(), 0);
    QTest::qWait(50);
    QCOMPARE(replies.size(), 3);
}

void TestHostPlugin::shutdownAnswersPendingCommands()
{
    ScheduleBackupHost host;
    QVERIFY(startHost(&host, 60000).isOk());
    QObject* plugin = host.scheduleBackup();
    QSignalSpy replies(host.framework(), &HostFramework::replyDelivered);
    QSignalSpy updated(plugin, SIGNAL(updBackupInfoResp(bool)));

    // An update hands its context to the host; only its reply lets the plug-in free it.
    bool accepted = false;
    QVERIFY(QMetaObject::invokeMethod(
        plugin, "updateBackupInfo", Qt::DirectConnection, Q_RETURN_ARG(bool, accepted),
        Q_ARG(bool, true), Q_ARG(bool, true), Q_ARG(QString, QStringLiteral("/mnt/x")),
        Q_ARG(QVariantList, QVariantList {cam(AllCamerasId)}), Q_ARG(QString, QStringLiteral("n")),
        Q_ARG(QString, QStringLiteral(R"({"Rectangles":[]})")), Q_ARG(int, 1), Q_ARG(int, 1),
        Q_ARG(QString, QString())));
    QVERIFY(accepted);
    QCOMPARE(host.framework()->pendingCount(), 1);

    host.framework()->cancelPending();
    QCOMPARE(replies.size(), 1);
    QCOMPARE(replies.first().at(1).toString(), ResultCodes::Cancelled);
    QCOMPARE(updated.size(), 1);
    QCOMPARE(updated.first().first().toBool(), false);
    QCOMPARE(host.service()->revision(), 1);
    host.shutdown();
    QCOMPARE(replies.size(), 1);
}

void TestHostPlugin::nextBackupTimeUsesServerInfo()
{
    ScheduleBackupHost host;
    QVERIFY(startHost(&host).isOk());
    PluginClient client(host.scheduleBackup(), host.framework());
    QVERIFY(client.loadBackupInfo().isSuccess());

    // Sample schedule: Monday to Friday 09:00-17:00; 2026-12-06 is a Sunday.
    const QDate sunday(2026, 12, 6);
    QDateTime next;
    QVERIFY(client.nextBackupTime(QDateTime(sunday, QTime(8, 0)), &next).isSuccess());
    QCOMPARE(next, QDateTime(sunday.addDays(1), QTime(9, 0)));
    QVERIFY(client.nextBackupTime(QDateTime(sunday.addDays(5), QTime(12, 0)), &next).isSuccess());
    QCOMPARE(next, QDateTime(sunday.addDays(8), QTime(9, 0)));

    ServerInfo info;
    const QDateTime moment(sunday, QTime(10, 30));
    QCOMPARE(info.getTimestamp(moment).value(0).toULongLong(), quint64(moment.toMSecsSinceEpoch()));
}

QTEST_GUILESS_MAIN(TestHostPlugin)
#include "tst_hostplugin.moc"
