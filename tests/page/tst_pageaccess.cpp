// SPDX-License-Identifier: BSD-3-Clause

#include "FakeScheduleBackup.h"
#include "PageHarness.h"

#include <QQmlContext>
#include <QQmlProperty>
#include <QQuickItem>
#include <QStyleHints>
#include <QtTest>

// The page for every operator: keyboard only, screen readers, the grouped camera list and the
// status line.
class PageAccessTest : public QObject
{
    Q_OBJECT

private:
    FakeScheduleBackup m_plugin;
    // Shown but not loaded: each test answers the load.
    std::unique_ptr<PageHarness> m_page;

private Q_SLOTS:
    void init()
    {
        m_plugin.calls.clear();
        m_page = std::make_unique<PageHarness>(&m_plugin);
        QVERIFY2(m_page->error().isEmpty(), qPrintable(m_page->error()));
    }
    void cleanup() { m_page.reset(); }
    void tabReachesEveryPartInReadingOrder();
    void everyTabStopHasAnAccessibleName();
    void ctrlSSavesAndF5AsksBeforeDiscarding();
    void groupBoxShowsThreeStates();
    void camerasNoLongerInTheInventoryCanBeCleared();
    void nextBackupIsNeverInThePast();
};

void PageAccessTest::tabReachesEveryPartInReadingOrder()
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

void PageAccessTest::everyTabStopHasAnAccessibleName()
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

void PageAccessTest::ctrlSSavesAndF5AsksBeforeDiscarding()
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

void PageAccessTest::groupBoxShowsThreeStates()
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

void PageAccessTest::camerasNoLongerInTheInventoryCanBeCleared()
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

void PageAccessTest::nextBackupIsNeverInThePast()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    m_plugin.nextBackupTime = now + (90 * 60 + 30) * 1000;
    m_plugin.answerLoad({});
    QQuickItem* next = m_page->item("nextBackupLabel");
    QTRY_VERIFY(next->property("text").toString().endsWith("(in 1 h 30 min)"));

    m_plugin.nextBackupTime = now - 60000;
    QMetaObject::invokeMethod(m_page->item("statusPane"), "refresh");
    QCOMPARE(next->property("text").toString(), "Not known yet");
}

QTEST_MAIN(PageAccessTest)
#include "tst_pageaccess.moc"
