#include "FakeScheduleBackup.h"
#include "PageHarness.h"

#include <QJSValue>
#include <QQuickItem>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(ScheduleBackupPagePlugin)

namespace {
const QString UpdateBackupInfo = QStringLiteral("updateBackupInfo");
const QString GetBackupInfo = QStringLiteral("getBackupInfo");

// Positions of updateBackupInfo's arguments.
enum Arg { Enabled, Cyclic, Dir, Cameras, ScheduleName, Schedule, ThroughputMB, RangeDays };

QString textOf(const PageHarness& harness, const QString& name)
{
    return harness.item(name)->property("text").toString();
}
} // namespace

// The page against a fake plug-in whose replies the tests trigger: editing, saving, refusals
// and what the operator typed.
class PageEditingTest : public QObject
{
    Q_OBJECT

private:
    // A page showing `stored`, loaded.
    std::unique_ptr<PageHarness> loadedPage(const FakeScheduleBackup::Stored& stored = {});
    QVariant sent(Arg arg) const { return m_plugin.last(UpdateBackupInfo).arguments.at(arg); }

    FakeScheduleBackup m_plugin;

private Q_SLOTS:
    void init() { m_plugin.calls.clear(); }
    void editorsAreDisabledWhileSaving();
    void scheduleOnlySaveKeepsOtherEdits();
    void switchingOffAndOnAgainIsNoChange();
    void untouchedStoredValuesAreSentBackExactly();
    void limitsAreRefusedNotClamped_data();
    void limitsAreRefusedNotClamped();
    void emptyDirectoryAndNoCamerasAreFlaggedBeforeSending();
    void refusalAboutAFieldClearsWhenThatFieldIsEdited();
    void overwriteResendsOnTopOfTheNewestRevision();
    void storedTextIsShownAsPlainText();
};

std::unique_ptr<PageHarness> PageEditingTest::loadedPage(const FakeScheduleBackup::Stored& stored)
{
    auto harness = std::make_unique<PageHarness>(&m_plugin);
    if (harness->error().isEmpty())
        m_plugin.answerLoad(stored);
    return harness;
}

void PageEditingTest::editorsAreDisabledWhileSaving()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    QQuickItem* dir = harness->item("targetDirField");
    harness->retype(dir, "/mnt/archive");
    harness->click(harness->item("saveButton"));
    QCOMPARE(sent(Dir).toString(), "/mnt/archive");

    for (const char* name : {"targetDirField", "settingsPane", "cameraSelector", "scheduleEditor",
                             "saveButton", "saveScheduleButton"})
        QVERIFY2(!harness->item(name)->isEnabled(), name);
    harness->type("xyz");
    QCOMPARE(dir->property("text").toString(), "/mnt/archive");

    m_plugin.confirmUpdate();
    QVERIFY(dir->isEnabled());
    QCOMPARE(harness->property("modified").toBool(), false);
}

void PageEditingTest::scheduleOnlySaveKeepsOtherEdits()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    harness->retype(harness->item("targetDirField"), "/mnt/other");
    harness->retype(harness->item("scheduleNameField"), "Evenings");
    QVERIFY(harness->call("saveScheduleOnly").toBool());

    // The plug-in keeps its old schedule until it is loaded again: the page reads it back.
    const int loadsBefore = m_plugin.count(GetBackupInfo);
    Q_EMIT m_plugin.updateScheduleResp(true);
    QCOMPARE(m_plugin.count(GetBackupInfo), loadsBefore + 1);
    FakeScheduleBackup::Stored stored;
    stored.scheduleName = "Evenings";
    m_plugin.answerLoad(stored);

    QCOMPARE(textOf(*harness, "scheduleNameField"), "Evenings");
    QCOMPARE(textOf(*harness, "targetDirField"), "/mnt/other");
    QCOMPARE(harness->property("changedFields").value<QJSValue>().toVariant().toStringList(),
             QStringList {"dir"});
}

void PageEditingTest::switchingOffAndOnAgainIsNoChange()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    auto* toggle = harness->item("enabledSwitch")->property("control").value<QQuickItem*>();
    QVERIFY(toggle);
    harness->click(toggle);
    QCOMPARE(harness->property("modified").toBool(), true);
    // Back with the keyboard (a second click this soon would be a double click).
    toggle->forceActiveFocus(Qt::TabFocusReason);
    harness->key(Qt::Key_Space);
    QCOMPARE(harness->property("modified").toBool(), false);
}

void PageEditingTest::untouchedStoredValuesAreSentBackExactly()
{
    FakeScheduleBackup::Stored stored;
    stored.throughputMB = 4096;
    stored.rangeDays = 3650;
    // One rectangle over five days; the grid would write it as five.
    stored.schedule = R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":6}]})";
    const auto harness = loadedPage(stored);
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    QCOMPARE(textOf(*harness, "throughputField"), "4096");
    QCOMPARE(textOf(*harness, "rangeField"), "3650");

    harness->retype(harness->item("scheduleNameField"), "Renamed");
    QVERIFY(harness->call("save").toBool());
    QCOMPARE(sent(ThroughputMB).toInt(), 4096);
    QCOMPARE(sent(RangeDays).toInt(), 3650);
    QCOMPARE(sent(Schedule).toString(), stored.schedule);
}

void PageEditingTest::limitsAreRefusedNotClamped_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("acceptable");

    QTest::newRow("throughput at the largest is sent") << "throughputField"
                                                       << "1000000" << true;
    QTest::newRow("throughput above the largest is refused") << "throughputField"
                                                             << "1000001" << false;
    QTest::newRow("range at the largest is sent") << "rangeField"
                                                  << "3650" << true;
    QTest::newRow("range above the largest is refused") << "rangeField"
                                                        << "3651" << false;
}

void PageEditingTest::limitsAreRefusedNotClamped()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, acceptable);

    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    harness->retype(harness->item(field)->property("input").value<QQuickItem*>(), typed);
    QCOMPARE(harness->call("save").toBool(), acceptable);
    QCOMPARE(m_plugin.count(UpdateBackupInfo), acceptable ? 1 : 0);
    QCOMPARE(textOf(*harness, field + "Problem").isEmpty(), acceptable);
    // Never clamped: the field keeps what was typed.
    QCOMPARE(textOf(*harness, field), typed);
}

void PageEditingTest::emptyDirectoryAndNoCamerasAreFlaggedBeforeSending()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    harness->retype(harness->item("targetDirField"), "   ");
    QVERIFY(!harness->call("save").toBool());
    QVERIFY(!textOf(*harness, "targetDirProblem").isEmpty());

    harness->retype(harness->item("targetDirField"), "/mnt/x");
    QMetaObject::invokeMethod(harness->item("cameraSelector"), "setSelection",
                              Q_ARG(QVariant, false), Q_ARG(QVariant, QVariantList {}));
    QVERIFY(!harness->call("save").toBool());
    QVERIFY(!textOf(*harness, "cameraProblem").isEmpty());
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 0);
}

void PageEditingTest::refusalAboutAFieldClearsWhenThatFieldIsEdited()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    harness->retype(harness->item("targetDirField"), "/mnt/gone");
    QVERIFY(harness->call("save").toBool());
    Q_EMIT m_plugin.updBackupInfoResp(false);
    // The viewer reports the code right after the plug-in's signal.
    harness->page()->setProperty("lastRefusal", "1003");
    QVERIFY(!textOf(*harness, "targetDirProblem").isEmpty());

    harness->retype(harness->item("targetDirField"), "/mnt/back");
    QCOMPARE(textOf(*harness, "targetDirProblem"), QString());
}

void PageEditingTest::overwriteResendsOnTopOfTheNewestRevision()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    harness->retype(harness->item("targetDirField"), "/mnt/mine");
    QVERIFY(harness->call("save").toBool());
    Q_EMIT m_plugin.updBackupInfoResp(false);
    harness->page()->setProperty("lastRefusal", "1001");

    // The newest revision is loaded first, without touching the page; then the page's values
    // go out again, also where the operator changed nothing.
    harness->click(harness->item("overwriteButton"));
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 1);
    FakeScheduleBackup::Stored newer;
    newer.dir = "/elsewhere";
    newer.throughputMB = 77;
    m_plugin.answerLoad(newer);
    QCOMPARE(textOf(*harness, "targetDirField"), "/mnt/mine");
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 2);
    QCOMPARE(sent(Dir).toString(), "/mnt/mine");
    QCOMPARE(sent(ThroughputMB).toInt(), 30);
}

void PageEditingTest::storedTextIsShownAsPlainText()
{
    const QString markup = QStringLiteral("<h1>x</h1>");
    FakeScheduleBackup::Stored stored;
    stored.dir = markup;
    stored.scheduleName = markup;
    stored.cameras = QStringList {markup};
    const auto harness = loadedPage(stored);
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    Q_EMIT m_plugin.getBackupPathResp(true, markup);
    Q_EMIT m_plugin.getBackupStatusResp(true, markup, markup, 10);

    QList<int> shown; // the text formats of the items showing the stored text
    for (QQuickItem* item : harness->visualItems()) {
        if (item->inherits("QQuickText") && item->isVisible()
            && item->property("text").toString().contains(markup))
            shown << item->property("textFormat").toInt();
    }
    // The backup path, the status and the unknown camera at least, all in Text.PlainText.
    QVERIFY(shown.size() >= 3);
    QCOMPARE(shown, QList<int>(shown.size(), 0));
}

QTEST_MAIN(PageEditingTest)
#include "tst_pageediting.moc"
