#include "BackupService.h"
#include "ScheduleBackupHost.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(ScheduleBackupPagePlugin)

// The page against the real plug-in and the embedded service, in-process: it fills from the
// service, and what it saves reaches the plug-in only once the service has confirmed it.
class SchedulePageTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void fillsFromService();
    void saveAppliesValuesAfterConfirmation();
    void refusedSaveKeepsPluginValues();
    void savesChosenCameras();
    void scheduleOnlySaveReloadsSchedule();

private:
    QObject* child(const char* objectName) const;
    QVariant pluginValue(const char* name) const
    {
        return m_host->scheduleBackup()->property(name);
    }
    bool callPage(const char* function);

    std::unique_ptr<QTemporaryDir> m_dataDir;
    std::unique_ptr<ScheduleBackupHost> m_host;
    std::unique_ptr<QObject> m_page;
};

void SchedulePageTest::init()
{
    m_dataDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dataDir->isValid());
    m_host = std::make_unique<ScheduleBackupHost>();
    const PluginLoadResult started
        = m_host->start({m_dataDir->path(), QStringLiteral(SCHEDULE_BACKUP_PLUGIN_DIR), 0});
    QVERIFY2(started.isOk(), qPrintable(started.describe()));

    QVariantList inventory;
    for (const InventoryCamera& camera : m_host->service()->inventory()) {
        inventory.append(QVariantMap {{QStringLiteral("id"), camera.cameraId},
                                      {QStringLiteral("group"), camera.groupId},
                                      {QStringLiteral("name"), camera.name}});
    }
    m_host->engine()->addImportPath(QStringLiteral("qrc:/"));
    QQmlComponent component(m_host->engine(),
                            QUrl(QStringLiteral("qrc:/ScheduleBackup/Page/SchedulePage.qml")));
    m_page.reset(
        component.createWithInitialProperties({{QStringLiteral("cameraInventory"), inventory}}));
    QVERIFY2(m_page, qPrintable(component.errorString()));

    QVERIFY(callPage("reload"));
    QTRY_COMPARE(m_page->property("loaded").toBool(), true);
}

void SchedulePageTest::cleanup()
{
    m_page.reset();
    m_host.reset();
    m_dataDir.reset();
}

QObject* SchedulePageTest::child(const char* objectName) const
{
    QObject* found = m_page->findChild<QObject*>(QLatin1String(objectName));
    if (!found)
        qWarning("no child named %s", objectName);
    return found;
}

bool SchedulePageTest::callPage(const char* function)
{
    QVariant result;
    return QMetaObject::invokeMethod(m_page.get(), function, Q_RETURN_ARG(QVariant, result));
}

void SchedulePageTest::fillsFromService()
{
    QCOMPARE(child("targetDirField")->property("text"), pluginValue("targetDir"));
    QCOMPARE(child("targetDirField")->property("text").toString(),
             m_host->service()->timeCard().dir);
    QCOMPARE(child("scheduleNameField")->property("text").toString(),
             QStringLiteral("Office hours"));
    QCOMPARE(child("settingsPane")->property("throughputMB"), pluginValue("maxThroughputMB"));
    QCOMPARE(child("cameraSelector")->property("allCameras").toBool(), true);
    // The service's sample schedule is Monday to Friday, 09:00 to 17:00.
    QObject* grid = child("weekGrid");
    QCOMPARE(grid->property("selectedCount").toInt(), 5 * 16);
    QCOMPARE(grid->property("document"), pluginValue("scheduleTemplate"));
    QTRY_COMPARE(child("backupPathLabel")->property("text").toString(),
                 m_host->service()->timeCard().dir);
    QTRY_VERIFY(!child("backupStatusLabel")->property("text").toString().startsWith(u'–'));
}

void SchedulePageTest::saveAppliesValuesAfterConfirmation()
{
    QObject* settings = child("settingsPane");
    settings->setProperty("targetDir", QStringLiteral("/mnt/archive"));
    settings->setProperty("throughputMB", 50);
    settings->setProperty("rangeDays", 3);
    settings->setProperty("backupEnabled", false);
    child("scheduleNameField")->setProperty("text", QStringLiteral("Evenings"));
    QVERIFY(QMetaObject::invokeMethod(child("weekGrid")->property("model").value<QObject*>(),
                                      "setRange", Q_ARG(int, 0), Q_ARG(int, 36), Q_ARG(int, 0),
                                      Q_ARG(int, 43), Q_ARG(bool, true)));

    QVERIFY(callPage("save"));
    QCOMPARE(m_page->property("saving").toBool(), true);
    QCOMPARE(pluginValue("targetDir").toString(), QStringLiteral("/srv/backup/video"));

    QTRY_COMPARE(m_page->property("saving").toBool(), false);
    QCOMPARE(m_page->property("message").toString(), QStringLiteral("Saved"));
    QCOMPARE(pluginValue("targetDir").toString(), QStringLiteral("/mnt/archive"));
    QCOMPARE(pluginValue("maxThroughputMB").toInt(), 50);
    QCOMPARE(pluginValue("maxRangeDay").toInt(), 3);
    QCOMPARE(pluginValue("enabled").toBool(), false);
    QCOMPARE(pluginValue("scheduleName").toString(), QStringLiteral("Evenings"));
    QVERIFY(pluginValue("scheduleTemplate")
                .toString()
                .startsWith(QStringLiteral(R"({"Rectangles":[{"Top":18,"Bottom":22,"Left":0,)")));

    const TimeCard stored = m_host->service()->timeCard();
    QCOMPARE(stored.dir, QStringLiteral("/mnt/archive"));
    QCOMPARE(stored.maxThroughputBytes, 50LL << 20);
    QCOMPARE(stored.cameras.size(), 1);
    QCOMPARE(stored.cameras.first().cameraId, AllCamerasId);
    QCOMPARE(stored.intervals.first(), (WeekInterval {18 * 3600, 22 * 3600}));
    // The page shows what the plug-in now holds; "all cameras" is still ticked.
    QCOMPARE(m_page->property("modified").toBool(), false);
    QCOMPARE(child("cameraSelector")->property("allCameras").toBool(), true);
}

void SchedulePageTest::refusedSaveKeepsPluginValues()
{
    child("settingsPane")->setProperty("targetDir", QStringLiteral("   "));

    QVERIFY(callPage("save"));

    QTRY_COMPARE(m_page->property("saving").toBool(), false);
    QCOMPARE(m_page->property("message").toString(),
             QStringLiteral("The server refused the change"));
    QCOMPARE(m_page->property("messageIsError").toBool(), true);
    QCOMPARE(pluginValue("targetDir").toString(), QStringLiteral("/srv/backup/video"));
    QCOMPARE(m_host->service()->revision(), 1);
}

void SchedulePageTest::savesChosenCameras()
{
    QObject* cameras = child("cameraSelector");
    cameras->setProperty("allCameras", false);
    cameras->setProperty("selectedIds",
                         QStringList {QStringLiteral("cam-06"), QStringLiteral("cam-02")});

    QVERIFY(callPage("save"));
    QTRY_COMPARE(m_page->property("saving").toBool(), false);

    QCOMPARE(m_page->property("message").toString(), QStringLiteral("Saved"));
    const QList<CameraRef> expected = {{QStringLiteral("cam-06"), QStringLiteral("grp-parking")},
                                       {QStringLiteral("cam-02"), QStringLiteral("grp-lobby")}};
    QCOMPARE(m_host->service()->timeCard().cameras, expected);
    QCOMPARE(pluginValue("cameraList").toStringList(),
             (QStringList {QStringLiteral("cam-06"), QStringLiteral("cam-02")}));
    QCOMPARE(cameras->property("allCameras").toBool(), false);
}

void SchedulePageTest::scheduleOnlySaveReloadsSchedule()
{
    // A local edit outside the schedule is not sent with the schedule.
    child("settingsPane")->setProperty("targetDir", QStringLiteral("/elsewhere"));
    child("weekGrid")
        ->setProperty("document",
                      QStringLiteral(R"({"Rectangles":[{"Top":10,"Bottom":12,)"
                                     R"("Left":6,"Right":7}]})"));

    QVERIFY(callPage("saveScheduleOnly"));

    QTRY_COMPARE(pluginValue("scheduleTemplate").toString(),
                 QStringLiteral(R"({"Rectangles":[{"Top":10,"Bottom":12,"Left":6,"Right":7}]})"));
    QCOMPARE(m_page->property("message").toString(), QStringLiteral("Schedule saved"));
    QCOMPARE(m_host->service()->timeCard().dir, QStringLiteral("/srv/backup/video"));
    QCOMPARE(child("targetDirField")->property("text").toString(), QStringLiteral("/elsewhere"));
    QCOMPARE(child("weekGrid")->property("selectedCount").toInt(), 4);
}

QTEST_MAIN(SchedulePageTest)
#include "tst_schedulepage.moc"
