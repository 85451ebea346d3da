#include "BackupService.h"
#include "ScheduleBackupHost.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(ScheduleBackupPagePlugin)

// The page against the real plug-in and the embedded service, in-process.
class SchedulePageTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fillsAndSavesOnlyWhatTheServiceConfirms();
};

void SchedulePageTest::fillsAndSavesOnlyWhatTheServiceConfirms()
{
    QTemporaryDir dataDir;
    ScheduleBackupHost host;
    const HostStartResult started
        = host.start({dataDir.path(), QStringLiteral(SCHEDULE_BACKUP_PLUGIN_DIR), 0});
    QVERIFY2(started, qPrintable(started.errorText()));
    host.engine()->addImportPath(QStringLiteral("qrc:/"));
    QQmlComponent component(host.engine(),
                            QUrl(QStringLiteral("qrc:/ScheduleBackup/Page/SchedulePage.qml")));
    std::unique_ptr<QObject> page(component.createWithInitialProperties(
        {{QStringLiteral("scheduleBackup"), QVariant::fromValue(started.value())}}));
    QVERIFY2(page, qPrintable(component.errorString()));
    const auto child = [&page](const char* name) { return page->findChild<QObject*>(name); };
    const auto plugin = [&host](const char* name) { return host.scheduleBackup()->property(name); };
    // Fills from the service: its sample schedule is Monday to Friday, 09:00 to 17:00.
    QVERIFY(QMetaObject::invokeMethod(page.get(), "reload"));
    QTRY_COMPARE(page->property("loaded").toBool(), true);
    QCOMPARE(child("targetDirField")->property("text").toString(),
             host.service()->data().value().card.dir);
    QCOMPARE(child("scheduleNameField")->property("text").toString(), "Office hours");
    QCOMPARE(child("settingsPane")->property("throughputMB"), plugin("maxThroughputMB"));
    QCOMPARE(child("weekGrid")->property("selectedCount").toInt(), 5 * 16);
    QCOMPARE(child("weekGrid")->property("document"), plugin("scheduleTemplate"));

    // A refused save keeps the plug-in's values and says so.
    child("settingsPane")->setProperty("targetDir", "   ");
    QVERIFY(QMetaObject::invokeMethod(page.get(), "save"));
    QTRY_COMPARE(page->property("saving").toBool(), false);
    QCOMPARE(page->property("message").toString(), "The server refused the change");
    QCOMPARE(page->property("messageIsError").toBool(), true);
    QCOMPARE(plugin("targetDir").toString(), "/srv/backup/video");
    QCOMPARE(host.service()->data().value().card.revision, 1);

    // The plug-in takes the new values only once the service has confirmed them.
    child("settingsPane")->setProperty("targetDir", "/mnt/archive");
    child("settingsPane")->setProperty("throughputMB", 50);
    child("scheduleNameField")->setProperty("text", "Evenings");
    const QString evenings = R"({"Rectangles":[{"Top":18,"Bottom":22,"Left":0,"Right":1}]})";
    child("weekGrid")->setProperty("document", evenings);
    QVERIFY(QMetaObject::invokeMethod(page.get(), "save"));
    QCOMPARE(page->property("saving").toBool(), true);
    QCOMPARE(plugin("targetDir").toString(), "/srv/backup/video");
    QTRY_COMPARE(page->property("saving").toBool(), false);
    QCOMPARE(page->property("message").toString(), "Saved");
    QCOMPARE(plugin("targetDir").toString() + ' ' + plugin("scheduleName").toString(),
             "/mnt/archive Evenings");
    QCOMPARE(plugin("maxThroughputMB").toInt(), 50);
    QCOMPARE(plugin("scheduleTemplate").toString(), evenings);
    QCOMPARE(host.service()->data().value().card.dir, "/mnt/archive");
    QCOMPARE(page->property("modified").toBool(), false);
}

QTEST_MAIN(SchedulePageTest)
#include "tst_schedulepage.moc"
