// SPDX-License-Identifier: BSD-3-Clause

#include "FakeScheduleBackup.h"
#include "PageHarness.h"

#include <QQmlContext>
#include <QQmlProperty>
#include <QQuickItem>
#include <QStyleHints>
#include <QtTest>

namespace {
const QString UpdateBackupInfo = QStringLiteral("updateBackupInfo");

// Positions of updateBackupInfo's arguments.
enum Arg { Enabled, Cyclic, Dir, Cameras, ScheduleName, Schedule, ThroughputMB, RangeDays };
} // namespace

// The page against a fake plug-in whose replies the tests trigger: editing, saving, refusals
// and what the operator typed; keyboard only, screen readers, the grouped camera list and the
// status line.
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
    void keysTypedWhileSavingAreRefusedVisibly();
    void limitsAreRefusedNotClamped_data();
    void limitsAreRefusedNotClamped();
    void emptyDirectoryAndNoCamerasAreFlaggedBeforeSending();
    void overwriteListsTheDifferencesAndWritesOnlyTheOperatorsFields();
    void storedTextIsShownAsPlainText();
    void tabReachesEveryPartInReadingOrder();
    void everyTabStopHasAnAccessibleName();
    void ctrlSSavesAndF5AsksBeforeDiscarding();
    void groupBoxShowsThreeStates();
    void camerasNoLongerInTheInventoryCanBeCleared();
    void nextBackupIsShown();
};

void PageEditingTest::keysTypedWhileSavingAreRefusedVisibly()
{
    m_plugin.answerLoad({});
    QQuickItem* dir = m_page->item("targetDirField");
    m_page->retype(dir, "/mnt/archive");
    m_page->key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(sent(Dir).toString(), "/mnt/archive");

    // Inactive, and saying why.
    for (const char* name : {"targetDirField", "settingsPane", "cameraSelector", "scheduleEditor",
                             "saveButton", "saveScheduleButton"})
        QVERIFY2(!m_page->item(name)->isEnabled(), name);
    for (const char* name : {"settingsPane", "cameraSelector", "scheduleEditor"})
        QVERIFY2(m_page->item(name)->property("title").toString().contains("saving"), name);
    m_page->type("xyz");
    QCOMPARE(text("targetDirField"), "/mnt/archive");
    QVERIFY2(text("messageLabel").contains("not applied"), qPrintable(text("messageLabel")));

    m_plugin.confirmUpdate();
    QVERIFY(dir->isEnabled());
    QVERIFY(dir->hasActiveFocus());
    QVERIFY(!m_page->item("settingsPane")->property("title").toString().contains("saving"));
    // Typing goes into the field again.
    m_page->type("2");
    QCOMPARE(text("targetDirField"), "/mnt/archive2");
}

void PageEditingTest::limitsAreRefusedNotClamped_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("acceptable");

    // Each field against its own maximum; the boundaries themselves are the client's rules.
    QTest::newRow("throughput at its largest is sent") << "throughputField"
                                                       << "1000000" << true;
    QTest::newRow("range above its largest is refused") << "rangeField"
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

void PageEditingTest::overwriteListsTheDifferencesAndWritesOnlyTheOperatorsFields()
{
    m_plugin.answerLoad({});
    m_page->retype(m_page->item("targetDirField"), "/mnt/mine");
    m_page->retype(m_page->item("rangeField")->property("input").value<QQuickItem*>(), "5");
    m_page->key(Qt::Key_S, Qt::ControlModifier);
    Q_EMIT m_plugin.updBackupInfoResp(false);
    m_page->page()->setProperty("lastRefusal", "1001");

    // Another operator changed the directory too, and the throughput and the name.
    m_page->click(m_page->item("overwriteButton"));
    FakeScheduleBackup::Stored newer;
    newer.dir = "/else%2where";
    newer.throughputMB = 77;
    newer.scheduleName = "Night shift";
    m_plugin.answerLoad(newer);
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 1);
    QTRY_VERIFY(m_page->item("overwriteConfirmButton")->isVisible());
    const QString listed = text("overwriteList");
    for (const char* shown : {"Target directory", "/else%2where", "/mnt/mine", "Time range"})
        QVERIFY2(listed.contains(shown), qPrintable(listed));
    for (const char* hidden : {"throughput", "Schedule name", "Cameras"})
        QVERIFY2(!listed.contains(hidden), qPrintable(listed));
    // The page shows the other operator's values where this one changed nothing.
    QCOMPARE(text("throughputField"), "77");
    QCOMPARE(text("scheduleNameField"), "Night shift");
    QCOMPARE(text("targetDirField"), "/mnt/mine");

    m_page->click(m_page->item("overwriteConfirmButton"));
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 2);
    QCOMPARE(sent(ThroughputMB).toInt(), 77);
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

void PageEditingTest::tabReachesEveryPartInReadingOrder()
{
    m_plugin.answerLoad({});
    m_page->retype(m_page->item("targetDirField"), "/mnt/tabbed"); // Save takes focus now
    const QList<QQuickItem*> expected {
        m_page->item("enabledSwitch")->property("control").value<QQuickItem*>(),
        m_page->item("targetDirField"),
        m_page->item("throughputField")->property("input").value<QQuickItem*>(),
        m_page->item("rangeField")->property("input").value<QQuickItem*>(),
        m_page->item("allCamerasBox"),
        m_page->item("cameraList"),
        m_page->item("scheduleNameField"),
        m_page->item("clearScheduleButton"),
        m_page->item("rangeEntryField"),
        m_page->item("reloadButton"),
        m_page->item("saveButton"),
    };
    QVERIFY(!expected.contains(nullptr));

    QQuickItem* list = m_page->item("cameraList");
    expected.first()->forceActiveFocus(Qt::TabFocusReason);
    QList<QQuickItem*> visited {m_page->view()->activeFocusItem()};
    for (int i = 0; i < 80 && !visited.contains(expected.last()); ++i) {
        m_page->key(Qt::Key_Tab);
        // In the camera list the focus sits on the current row.
        QQuickItem* stop = m_page->view()->activeFocusItem();
        visited.append(stop->objectName().startsWith("camera:") ? list : stop);
    }
    int previous = -1;
    for (QQuickItem* stop : expected) {
        const int at = int(visited.indexOf(stop));
        QVERIFY2(at > previous, qPrintable(stop->objectName() + " out of order or not reached"));
        previous = at;
    }
}

void PageEditingTest::everyTabStopHasAnAccessibleName()
{
    m_plugin.answerLoad({});
    // Popups count as well: open one, then look at everything the window draws.
    m_page->click(m_page->item("copyDayButton"));
    QTRY_VERIFY(m_page->item("copyConfirmButton")->isVisible());
    QStringList unnamed;
    int checked = 0;
    for (QQuickItem* item : m_page->visualItems()) {
        if (!item->activeFocusOnTab() || !item->isVisible() || !item->isEnabled())
            continue;
        // What the Accessible attached property says is what a screen reader is told.
        if (QQmlProperty(item, "Accessible.name", qmlContext(item)).read().toString().isEmpty())
            unnamed << QStringLiteral("%1 \"%2\"")
                           .arg(item->metaObject()->className(), item->objectName());
        ++checked;
    }
    QVERIFY2(checked >= 20, qPrintable(QString::number(checked)));
    QCOMPARE(unnamed, QStringList());
}

void PageEditingTest::ctrlSSavesAndF5AsksBeforeDiscarding()
{
    m_plugin.answerLoad({});
    m_page->retype(m_page->item("targetDirField"), "/mnt/keys");
    const int loads = m_plugin.count("getBackupInfo");
    m_page->key(Qt::Key_F5);
    QTRY_VERIFY(m_page->item("confirmButton")->isVisible());
    QCOMPARE(m_plugin.count("getBackupInfo"), loads);
    m_page->key(Qt::Key_Escape);
    QTRY_VERIFY(!m_page->item("confirmButton")->isVisible());

    m_page->item("targetDirField")->forceActiveFocus(Qt::TabFocusReason);
    m_page->key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_plugin.count("updateBackupInfo"), 1);
    QCOMPARE(m_plugin.last("updateBackupInfo").arguments.at(2).toString(), "/mnt/keys");
}

void PageEditingTest::groupBoxShowsThreeStates()
{
    m_plugin.answerLoad({});
    QQuickItem* lobby = m_page->item("cameraGroup:grp-lobby");
    QVERIFY(lobby);
    // cam-01 and cam-02 of four lobby cameras are stored.
    QCOMPARE(lobby->property("checkState").toInt(), int(Qt::PartiallyChecked));
    m_page->click(lobby);
    QCOMPARE(lobby->property("checkState").toInt(), int(Qt::Checked));
    QCOMPARE(m_page->item("cameraSelector")->property("selectedIds").toStringList(),
             QStringList({"cam-01", "cam-02", "cam-03", "cam-04"}));
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    m_page->click(lobby);
    QCOMPARE(lobby->property("checkState").toInt(), int(Qt::Unchecked));
}

void PageEditingTest::camerasNoLongerInTheInventoryCanBeCleared()
{
    FakeScheduleBackup::Stored stored;
    stored.cameras = QStringList {"cam-01", "cam-gone"};
    m_plugin.answerLoad(stored);
    QQuickItem* group = m_page->item("cameraGroup:missing");
    QVERIFY(group);
    QCOMPARE(group->property("text").toString(), "No longer in the inventory");
    QQuickItem* gone = m_page->item("camera:cam-gone");
    QVERIFY(gone && gone->property("checked").toBool());

    // Down to the last row, which is the camera that left, and Space clears it.
    m_page->item("cameraList")->forceActiveFocus(Qt::TabFocusReason);
    for (int row = 0; row < 12; ++row)
        m_page->key(Qt::Key_Down);
    m_page->key(Qt::Key_Space);
    QVERIFY(!gone->property("checked").toBool());
    m_page->key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_plugin.count("updateBackupInfo"), 1);
    const QVariantList sent = m_plugin.last("updateBackupInfo").arguments.at(3).toList();
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.first().toMap().value("Name").toString(), "cam-01");

    m_plugin.confirmUpdate();
    QCOMPARE(m_page->property("modified").toBool(), false);
    QTRY_VERIFY(!m_page->item("cameraGroup:missing"));
}

void PageEditingTest::nextBackupIsShown()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    m_plugin.nextBackupTime = now + (90 * 60 + 30) * 1000;
    m_plugin.answerLoad({});
    QQuickItem* next = m_page->item("nextBackupLabel");
    QTRY_VERIFY(next->property("text").toString().endsWith("(in 1 h 30 min)"));
}

QTEST_MAIN(PageEditingTest)
#include "tst_pageediting.moc"
