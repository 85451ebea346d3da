#include "FakeScheduleBackup.h"
#include "PageHarness.h"

#include <QJSValue>
#include <QQuickItem>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(ScheduleBackupPagePlugin)

namespace {
const QString UpdateBackupInfo = QStringLiteral("updateBackupInfo");
const QString UpdateSchedule = QStringLiteral("updateSchedule");
const QString GetBackupInfo = QStringLiteral("getBackupInfo");

// Positions of updateBackupInfo's arguments.
enum Arg { Enabled, Cyclic, Dir, Cameras, ScheduleName, Schedule, ThroughputMB, RangeDays };
} // namespace

// The page against a fake plug-in whose replies the tests trigger: loading, editing, saving,
// refusals and what the operator typed.
class PageEditingTest : public QObject
{
    Q_OBJECT

private:
    // A page showing `stored`, loaded.
    std::unique_ptr<PageHarness> loadedPage(FakeScheduleBackup::Stored stored = {});
    FakeScheduleBackup m_plugin;

private Q_SLOTS:
    void init();
    void showsLoadingStateUntilTheSettingsArrive();
    void editorsAreDisabledWhileSavingAndNothingTypedIsLost();
    void scheduleOnlySaveKeepsOtherEditsAndSaysSo();
    void modifiedComparesValuesNotEdits();
    void largeStoredLimitsAreShownAndSentBackExactly();
    void outOfRangeLimitIsRefusedWithAMessage_data();
    void outOfRangeLimitIsRefusedWithAMessage();
    void emptyDirectoryAndNoCamerasAreFlaggedBeforeSending();
    void refusalAboutAFieldClearsWhenThatFieldIsEdited();
    void refusedSaveOffersReloadAndOverwrite();
    void storedTextIsShownAsPlainText();
};

void PageEditingTest::init()
{
    m_plugin.calls.clear();
    m_plugin.acceptRequests = true;
}

std::unique_ptr<PageHarness> PageEditingTest::loadedPage(FakeScheduleBackup::Stored stored)
{
    auto harness = std::make_unique<PageHarness>(&m_plugin);
    if (!harness->error().isEmpty())
        return harness;
    m_plugin.answerLoad(stored);
    return harness;
}

void PageEditingTest::showsLoadingStateUntilTheSettingsArrive()
{
    PageHarness harness(&m_plugin);
    QVERIFY2(harness.error().isEmpty(), qPrintable(harness.error()));
    // The viewer has asked for the settings; nothing may be edited before they are in.
    QCOMPARE(harness.item("loadingIndicator")->property("running").toBool(), true);
    QCOMPARE(harness.item("targetDirField")->isEnabled(), false);
    QCOMPARE(harness.item("saveButton")->isEnabled(), false);
    QCOMPARE(harness.message(), "Loading settings…");
    // No problem is reported for fields that have nothing to show yet.
    QCOMPARE(harness.item("targetDirProblem")->property("text").toString(), QString());

    m_plugin.answerLoad({});
    QCOMPARE(harness.item("loadingIndicator")->property("running").toBool(), false);
    QCOMPARE(harness.item("targetDirField")->isEnabled(), true);
    QCOMPARE(harness.item("targetDirField")->property("text").toString(), "/srv/backup/video");
    QCOMPARE(harness.property("modified").toBool(), false);
}

void PageEditingTest::editorsAreDisabledWhileSavingAndNothingTypedIsLost()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    QQuickItem* dir = harness->item("targetDirField");
    harness->retype(dir, "/mnt/archive");
    harness->click(harness->item("saveButton"));
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 1);
    QCOMPARE(m_plugin.last(UpdateBackupInfo).arguments.at(Dir).toString(), "/mnt/archive");

    // While the save is in flight no editor takes input.
    QCOMPARE(harness->property("saving").toBool(), true);
    for (const char* name : {"targetDirField", "settingsPane", "cameraSelector", "scheduleEditor",
                             "saveButton", "saveScheduleButton"})
        QVERIFY2(!harness->item(name)->isEnabled(), name);
    harness->type("xyz");
    QCOMPARE(dir->property("text").toString(), "/mnt/archive");

    m_plugin.confirmUpdate();
    QCOMPARE(harness->property("saving").toBool(), false);
    QCOMPARE(dir->property("text").toString(), "/mnt/archive");
    QCOMPARE(dir->isEnabled(), true);
    QCOMPARE(harness->property("modified").toBool(), false);
    QCOMPARE(harness->message(), "Saved");
}

void PageEditingTest::scheduleOnlySaveKeepsOtherEditsAndSaysSo()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    harness->retype(harness->item("targetDirField"), "/mnt/other");
    harness->retype(harness->item("scheduleNameField"), "Evenings");
    QVERIFY(harness->call("saveScheduleOnly").toBool());
    QCOMPARE(m_plugin.last(UpdateSchedule).arguments.first().toString(), "Evenings");

    // The plug-in keeps its old schedule until it is loaded again: the page reads it back.
    const int loadsBefore = m_plugin.count(GetBackupInfo);
    m_plugin.answerSchedule(true);
    QCOMPARE(m_plugin.count(GetBackupInfo), loadsBefore + 1);
    QCOMPARE(harness->item("targetDirField")->isEnabled(), false);
    FakeScheduleBackup::Stored stored;
    stored.scheduleName = "Evenings";
    m_plugin.answerLoad(stored);

    QCOMPARE(harness->item("scheduleNameField")->property("text").toString(), "Evenings");
    QCOMPARE(harness->item("targetDirField")->property("text").toString(), "/mnt/other");
    QCOMPARE(harness->property("modified").toBool(), true);
    QCOMPARE(harness->message(), "Schedule saved. Your other changes are not saved yet.");
    QCOMPARE(harness->property("changedFields").value<QJSValue>().toVariant().toStringList(),
             QStringList {"dir"});
}

void PageEditingTest::modifiedComparesValuesNotEdits()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    auto* toggle = harness->item("enabledSwitch")->property("control").value<QQuickItem*>();
    QVERIFY(toggle);
    harness->click(toggle);
    QCOMPARE(harness->property("modified").toBool(), true);
    QCOMPARE(harness->message(), "Unsaved changes");
    // Back with the keyboard (a second click this soon would be a double click).
    toggle->forceActiveFocus(Qt::TabFocusReason);
    harness->key(Qt::Key_Space);
    QCOMPARE(harness->property("modified").toBool(), false);
    QCOMPARE(harness->message(), QString());

    QQuickItem* throughput
        = harness->item("throughputField")->property("input").value<QQuickItem*>();
    harness->retype(throughput, "030");
    QCOMPARE(harness->property("modified").toBool(), false);
    harness->retype(throughput, "31");
    QCOMPARE(harness->property("changedFields").value<QJSValue>().toVariant().toStringList(),
             QStringList {"throughput"});
    harness->retype(throughput, "30");
    QCOMPARE(harness->property("modified").toBool(), false);
}

void PageEditingTest::largeStoredLimitsAreShownAndSentBackExactly()
{
    FakeScheduleBackup::Stored stored;
    stored.throughputMB = 4096;
    stored.rangeDays = 3650;
    stored.allCameras = true;
    // One rectangle over five days; the grid would write it as five.
    stored.schedule = R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":6}]})";
    const auto harness = loadedPage(stored);
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    QCOMPARE(harness->item("throughputField")->property("text").toString(), "4096");
    QCOMPARE(harness->item("rangeField")->property("text").toString(), "3650");
    QCOMPARE(harness->property("modified").toBool(), false);

    harness->retype(harness->item("scheduleNameField"), "Renamed");
    QVERIFY(harness->call("save").toBool());
    const QVariantList sent = m_plugin.last(UpdateBackupInfo).arguments;
    QCOMPARE(sent.at(ThroughputMB).toInt(), 4096);
    QCOMPARE(sent.at(RangeDays).toInt(), 3650);
    QCOMPARE(sent.at(ScheduleName).toString(), "Renamed");
    // An untouched schedule goes back as the stored document itself.
    QCOMPARE(sent.at(Schedule).toString(), stored.schedule);
    QCOMPARE(sent.at(Cameras).toList().size(), 1);
    QCOMPARE(sent.at(Cameras).toList().first().toMap().value("Name").toString(), "__allcams__");
}

void PageEditingTest::outOfRangeLimitIsRefusedWithAMessage_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("acceptable");
    QTest::newRow("throughput above the largest") << "throughputField"
                                                  << "1000001" << false;
    QTest::newRow("throughput at the largest") << "throughputField"
                                               << "1000000" << true;
    QTest::newRow("range above the largest") << "rangeField"
                                             << "3651" << false;
    QTest::newRow("range at the largest") << "rangeField"
                                          << "3650" << true;
    QTest::newRow("negative range") << "rangeField"
                                    << "-1" << false;
    QTest::newRow("not a number") << "throughputField"
                                  << "12a" << false;
    QTest::newRow("empty") << "rangeField"
                           << "" << false;
}

void PageEditingTest::outOfRangeLimitIsRefusedWithAMessage()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, acceptable);
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    QQuickItem* limit = harness->item(field);
    harness->retype(limit->property("input").value<QQuickItem*>(), typed);

    QCOMPARE(harness->call("save").toBool(), acceptable);
    QCOMPARE(m_plugin.count(UpdateBackupInfo), acceptable ? 1 : 0);
    const QString problem = harness->item(field + "Problem")->property("text").toString();
    QCOMPARE(problem.isEmpty(), acceptable);
    // Never clamped: the field keeps what was typed.
    QCOMPARE(limit->property("text").toString(), typed);
    if (acceptable) {
        const int index = field == "rangeField" ? RangeDays : ThroughputMB;
        QCOMPARE(m_plugin.last(UpdateBackupInfo).arguments.at(index).toString(), typed);
    } else {
        QCOMPARE(harness->message(), "Correct the marked fields. Nothing was sent.");
    }
}

void PageEditingTest::emptyDirectoryAndNoCamerasAreFlaggedBeforeSending()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    harness->retype(harness->item("targetDirField"), "   ");
    QVERIFY(!harness->item("targetDirProblem")->property("text").toString().isEmpty());
    QVERIFY(!harness->call("save").toBool());
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 0);
    QCOMPARE(harness->item("targetDirField")->hasActiveFocus(), true);

    harness->retype(harness->item("targetDirField"), "/mnt/x");
    QCOMPARE(harness->item("targetDirProblem")->property("text").toString(), QString());
    QMetaObject::invokeMethod(harness->item("cameraSelector"), "setSelection",
                              Q_ARG(QVariant, false), Q_ARG(QVariant, QVariantList {}));
    QVERIFY(!harness->item("cameraProblem")->property("text").toString().isEmpty());
    QVERIFY(!harness->call("save").toBool());
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 0);

    QMetaObject::invokeMethod(harness->item("cameraSelector"), "setSelection",
                              Q_ARG(QVariant, true), Q_ARG(QVariant, QVariantList {}));
    QCOMPARE(harness->item("cameraProblem")->property("text").toString(), QString());
    QVERIFY(harness->call("save").toBool());
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 1);
}

void PageEditingTest::refusalAboutAFieldClearsWhenThatFieldIsEdited()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    harness->retype(harness->item("targetDirField"), "/mnt/gone");
    QVERIFY(harness->call("save").toBool());
    m_plugin.refuseUpdate();
    // The viewer reports the code right after the plug-in's signal.
    harness->page()->setProperty("lastRefusal", "1003");
    QCOMPARE(harness->message(), "The server refused the change: no target directory.");
    QVERIFY(!harness->item("targetDirProblem")->property("text").toString().isEmpty());

    // Editing another field leaves the refusal; editing the directory clears it.
    harness->retype(harness->item("scheduleNameField"), "Other");
    QVERIFY(!harness->item("targetDirProblem")->property("text").toString().isEmpty());
    harness->retype(harness->item("targetDirField"), "/mnt/back");
    QCOMPARE(harness->item("targetDirProblem")->property("text").toString(), QString());
    QCOMPARE(harness->message(), "Unsaved changes");
}

void PageEditingTest::refusedSaveOffersReloadAndOverwrite()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    harness->retype(harness->item("targetDirField"), "/mnt/mine");
    QVERIFY(harness->call("save").toBool());
    m_plugin.refuseUpdate();
    harness->page()->setProperty("lastRefusal", "1001");
    QVERIFY(harness->message().startsWith("The settings were changed elsewhere"));
    QCOMPARE(harness->item("overwriteButton")->isVisible(), true);
    QCOMPARE(harness->item("conflictReloadButton")->isVisible(), true);
    QCOMPARE(harness->item("targetDirField")->property("text").toString(), "/mnt/mine");

    // Overwrite: the newest revision is loaded without touching the page, then the page's
    // values go out again.
    const int loadsBefore = m_plugin.count(GetBackupInfo);
    harness->click(harness->item("overwriteButton"));
    QCOMPARE(m_plugin.count(GetBackupInfo), loadsBefore + 1);
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 1);
    FakeScheduleBackup::Stored newer;
    newer.dir = "/elsewhere";
    newer.throughputMB = 77;
    m_plugin.answerLoad(newer);
    QCOMPARE(harness->item("targetDirField")->property("text").toString(), "/mnt/mine");
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 2);
    QCOMPARE(m_plugin.last(UpdateBackupInfo).arguments.at(Dir).toString(), "/mnt/mine");
    // The page's values win, also where the operator changed nothing.
    QCOMPARE(m_plugin.last(UpdateBackupInfo).arguments.at(ThroughputMB).toInt(), 30);
    m_plugin.confirmUpdate();
    QCOMPARE(harness->message(), "Saved");
    QCOMPARE(harness->item("overwriteButton")->isVisible(), false);
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

    // Every text item showing the stored text shows it as it is.
    int shown = 0;
    const QList<QQuickItem*> items = harness->visualItems();
    for (QQuickItem* item : items) {
        if (!item->inherits("QQuickText") || !item->isVisible())
            continue;
        const QString text = item->property("text").toString();
        if (!text.contains(markup))
            continue;
        ++shown;
        QVERIFY2(item->property("textFormat").toInt() == 0, qPrintable(text)); // Text.PlainText
    }
    // The backup path, the status and the unknown camera at least.
    QVERIFY2(shown >= 3, qPrintable(QString::number(shown)));
}

QTEST_MAIN(PageEditingTest)
#include "tst_pageediting.moc"
