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
} // namespace

// The page against a fake plug-in whose replies the tests trigger: editing, saving, refusals
// and what the operator typed.
class PageEditingTest : public QObject
{
    Q_OBJECT

private:
    QVariant sent(Arg arg) const { return m_plugin.last(UpdateBackupInfo).arguments.at(arg); }
    QString text(const QString& name) const
    {
        return m_page->item(name)->property("text").toString();
    }

    FakeScheduleBackup m_plugin;
    // Shown but not loaded: each test answers the load with what it needs.
    std::unique_ptr<PageHarness> m_page;

private Q_SLOTS:
    void init()
    {
        m_plugin.calls.clear();
        m_page = std::make_unique<PageHarness>(&m_plugin);
        QVERIFY2(m_page->error().isEmpty(), qPrintable(m_page->error()));
    }
    void cleanup() { m_page.reset(); }
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

void PageEditingTest::editorsAreDisabledWhileSaving()
{
    m_plugin.answerLoad({});
    QQuickItem* dir = m_page->item("targetDirField");
    m_page->retype(dir, "/mnt/archive");
    m_page->click(m_page->item("saveButton"));
    QCOMPARE(sent(Dir).toString(), "/mnt/archive");

    for (const char* name : {"targetDirField", "settingsPane", "cameraSelector", "scheduleEditor",
                             "saveButton", "saveScheduleButton"})
        QVERIFY2(!m_page->item(name)->isEnabled(), name);
    m_page->type("xyz");
    QCOMPARE(dir->property("text").toString(), "/mnt/archive");

    m_plugin.confirmUpdate();
    QVERIFY(dir->isEnabled());
    QCOMPARE(m_page->property("modified").toBool(), false);
}

void PageEditingTest::scheduleOnlySaveKeepsOtherEdits()
{
    m_plugin.answerLoad({});
    m_page->retype(m_page->item("targetDirField"), "/mnt/other");
    m_page->retype(m_page->item("scheduleNameField"), "Evenings");
    QVERIFY(m_page->call("saveScheduleOnly").toBool());

    // The plug-in keeps its old schedule until it is loaded again: the page reads it back.
    const int loadsBefore = m_plugin.count(GetBackupInfo);
    Q_EMIT m_plugin.updateScheduleResp(true);
    QCOMPARE(m_plugin.count(GetBackupInfo), loadsBefore + 1);
    FakeScheduleBackup::Stored stored;
    stored.scheduleName = "Evenings";
    m_plugin.answerLoad(stored);

    QCOMPARE(text("scheduleNameField"), "Evenings");
    QCOMPARE(text("targetDirField"), "/mnt/other");
    QCOMPARE(m_page->property("changedFields").value<QJSValue>().toVariant().toStringList(),
             QStringList {"dir"});
}

void PageEditingTest::switchingOffAndOnAgainIsNoChange()
{
    m_plugin.answerLoad({});
    auto* toggle = m_page->item("enabledSwitch")->property("control").value<QQuickItem*>();
    QVERIFY(toggle);
    m_page->click(toggle);
    QCOMPARE(m_page->property("modified").toBool(), true);
    // Back with the keyboard (a second click this soon would be a double click).
    toggle->forceActiveFocus(Qt::TabFocusReason);
    m_page->key(Qt::Key_Space);
    QCOMPARE(m_page->property("modified").toBool(), false);
}

void PageEditingTest::untouchedStoredValuesAreSentBackExactly()
{
    FakeScheduleBackup::Stored stored;
    stored.throughputMB = 4096;
    stored.rangeDays = 3650;
    // One rectangle over five days; the grid would write it as five.
    stored.schedule = R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":6}]})";
    m_plugin.answerLoad(stored);
    QCOMPARE(text("throughputField"), "4096");
    QCOMPARE(text("rangeField"), "3650");

    m_page->retype(m_page->item("scheduleNameField"), "Renamed");
    QVERIFY(m_page->call("save").toBool());
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

    m_plugin.answerLoad({});
    m_page->retype(m_page->item(field)->property("input").value<QQuickItem*>(), typed);
    QCOMPARE(m_page->call("save").toBool(), acceptable);
    QCOMPARE(m_plugin.count(UpdateBackupInfo), acceptable ? 1 : 0);
    QCOMPARE(text(field + "Problem").isEmpty(), acceptable);
    // Never clamped: the field keeps what was typed.
    QCOMPARE(text(field), typed);
}

void PageEditingTest::emptyDirectoryAndNoCamerasAreFlaggedBeforeSending()
{
    m_plugin.answerLoad({});
    m_page->retype(m_page->item("targetDirField"), "   ");
    QVERIFY(!m_page->call("save").toBool());
    QVERIFY(!text("targetDirProblem").isEmpty());

    m_page->retype(m_page->item("targetDirField"), "/mnt/x");
    QMetaObject::invokeMethod(m_page->item("cameraSelector"), "setSelection",
                              Q_ARG(QVariant, false), Q_ARG(QVariant, QVariantList {}));
    QVERIFY(!m_page->call("save").toBool());
    QVERIFY(!text("cameraProblem").isEmpty());
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 0);
}

void PageEditingTest::refusalAboutAFieldClearsWhenThatFieldIsEdited()
{
    m_plugin.answerLoad({});
    m_page->retype(m_page->item("targetDirField"), "/mnt/gone");
    QVERIFY(m_page->call("save").toBool());
    Q_EMIT m_plugin.updBackupInfoResp(false);
    // The viewer reports the code right after the plug-in's signal.
    m_page->page()->setProperty("lastRefusal", "1003");
    QVERIFY(!text("targetDirProblem").isEmpty());

    m_page->retype(m_page->item("targetDirField"), "/mnt/back");
    QCOMPARE(text("targetDirProblem"), QString());
}

void PageEditingTest::overwriteResendsOnTopOfTheNewestRevision()
{
    m_plugin.answerLoad({});
    m_page->retype(m_page->item("targetDirField"), "/mnt/mine");
    QVERIFY(m_page->call("save").toBool());
    Q_EMIT m_plugin.updBackupInfoResp(false);
    m_page->page()->setProperty("lastRefusal", "1001");

    // The newest revision is loaded first, without touching the page; then the page's values
    // go out again, also where the operator changed nothing.
    m_page->click(m_page->item("overwriteButton"));
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 1);
    FakeScheduleBackup::Stored newer;
    newer.dir = "/elsewhere";
    newer.throughputMB = 77;
    m_plugin.answerLoad(newer);
    QCOMPARE(text("targetDirField"), "/mnt/mine");
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
    m_plugin.answerLoad(stored);
    Q_EMIT m_plugin.getBackupPathResp(true, markup);
    Q_EMIT m_plugin.getBackupStatusResp(true, markup, markup, 10);

    QList<int> shown; // the text formats of the items showing the stored text
    for (QQuickItem* item : m_page->visualItems()) {
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
