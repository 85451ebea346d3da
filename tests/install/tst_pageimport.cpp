// SPDX-License-Identifier: BSD-3-Clause

#include "FakeScheduleBackup.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QtTest>

#include <memory>

// ScheduleBackup.Page as a foreign host's engine sees it: a bare QQmlEngine whose only addition
// is the import path in SCHEDULE_BACKUP_QML_IMPORT_PATH, and a scheduleBackup object that is not
// the plug-in but has its properties, signals and invokables.
class PageImportTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void createsThePage_data();
    void createsThePage();
};

void PageImportTest::createsThePage_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::newRow("versionless import") << QByteArray("import ScheduleBackup.Page\n"
                                                      "SchedulePage {}\n");
    QTest::newRow("import 1.0") << QByteArray("import ScheduleBackup.Page 1.0\n"
                                              "SchedulePage {}\n");
}

void PageImportTest::createsThePage()
{
    QFETCH(QByteArray, document);
    const QString importPath = qEnvironmentVariable("SCHEDULE_BACKUP_QML_IMPORT_PATH");
    QVERIFY2(QFileInfo::exists(importPath + QStringLiteral("/ScheduleBackup/Page/qmldir")),
             qPrintable(importPath));
    QQmlEngine engine;
    engine.addImportPath(importPath);
    QQmlComponent component(&engine);
    component.setData(document, QUrl());
    QVERIFY2(component.isReady(), qPrintable(component.errorString()));

    FakeScheduleBackup plugin;
    std::unique_ptr<QObject> page(component.createWithInitialProperties(
        {{QStringLiteral("scheduleBackup"), QVariant::fromValue<QObject*>(&plugin)}}));
    QVERIFY2(page, qPrintable(component.errorString()));
    QCOMPARE(page->property("scheduleBackup").value<QObject*>(), &plugin);
    // The page talks to the object it was given: a reload asks it for the settings.
    QVERIFY(QMetaObject::invokeMethod(page.get(), "reload"));
    QCOMPARE(plugin.count(QStringLiteral("getBackupInfo")), 1);
    // ... and shows what the object's signals report.
    plugin.answerLoad(FakeScheduleBackup::Stored());
    QVERIFY(page->property("loaded").toBool());
}

QTEST_MAIN(PageImportTest)
#include "tst_pageimport.moc"
