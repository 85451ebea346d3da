#include "FakeScheduleBackup.h"
#include "PageHarness.h"

#include <QQmlContext>
#include <QQmlProperty>
#include <QQuickItem>
#include <QStyleHints>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(ScheduleBackupPagePlugin)

// The page for every operator: keyboard only, screen readers, the grouped camera list and the
// status line.
class PageAccessTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PageHarness> loadedPage()
    {
        auto harness = std::make_unique<PageHarness>(&m_plugin);
        if (harness->error().isEmpty())
            m_plugin.answerLoad({});
        return harness;
    }

    FakeScheduleBackup m_plugin;

private Q_SLOTS:
    void init() { m_plugin.calls.clear(); }
    void tabReachesEveryPartInReadingOrder();
    void everyTabStopHasAnAccessibleName();
    void ctrlSSavesAndF5AsksBeforeDiscarding();
    void groupBoxShowsThreeStates();
    void nextBackupIsNeverInThePast();
};

void PageAccessTest::tabReachesEveryPartInReadingOrder()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    harness->retype(harness->item("targetDirField"), "/mnt/tabbed"); // Save takes focus now
    const QList<QQuickItem*> expected {
        harness->item("enabledSwitch")->property("control").value<QQuickItem*>(),
        harness->item("targetDirField"),
        harness->item("throughputField")->property("input").value<QQuickItem*>(),
        harness->item("rangeField")->property("input").value<QQuickItem*>(),
        harness->item("allCamerasBox"),
        harness->item("cameraList"),
        harness->item("scheduleNameField"),
        harness->item("clearScheduleButton"),
        harness->item("rangeEntryField"),
        harness->item("reloadButton"),
        harness->item("saveButton"),
    };
    QVERIFY(!expected.contains(nullptr));

    QQuickItem* list = harness->item("cameraList");
    expected.first()->forceActiveFocus(Qt::TabFocusReason);
    QList<QQuickItem*> visited {harness->view()->activeFocusItem()};
    for (int i = 0; i < 80 && !visited.contains(expected.last()); ++i) {
        harness->key(Qt::Key_Tab);
        // In the camera list the focus sits on the current row.
        QQuickItem* stop = harness->view()->activeFocusItem();
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
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    // Popups count as well: open one, then look at everything the window draws.
    harness->click(harness->item("copyDayButton"));
    QTRY_VERIFY(harness->item("copyConfirmButton")->isVisible());
    QStringList unnamed;
    int checked = 0;
    for (QQuickItem* item : harness->visualItems()) {
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
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    harness->retype(harness->item("targetDirField"), "/mnt/keys");
    const int loads = m_plugin.count("getBackupInfo");
    harness->key(Qt::Key_F5);
    QTRY_VERIFY(harness->item("confirmButton")->isVisible());
    QCOMPARE(m_plugin.count("getBackupInfo"), loads);
    harness->key(Qt::Key_Escape);
    QTRY_VERIFY(!harness->item("confirmButton")->isVisible());

    harness->item("targetDirField")->forceActiveFocus(Qt::TabFocusReason);
    harness->key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_plugin.count("updateBackupInfo"), 1);
    QCOMPARE(m_plugin.last("updateBackupInfo").arguments.at(2).toString(), "/mnt/keys");
}

void PageAccessTest::groupBoxShowsThreeStates()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    QQuickItem* lobby = harness->item("cameraGroup:grp-lobby");
    QVERIFY(lobby);
    // cam-01 and cam-02 of four lobby cameras are stored.
    QCOMPARE(lobby->property("checkState").toInt(), int(Qt::PartiallyChecked));
    harness->click(lobby);
    QCOMPARE(lobby->property("checkState").toInt(), int(Qt::Checked));
    QCOMPARE(harness->item("cameraSelector")->property("selectedIds").toStringList(),
             QStringList({"cam-01", "cam-02", "cam-03", "cam-04"}));
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    harness->click(lobby);
    QCOMPARE(lobby->property("checkState").toInt(), int(Qt::Unchecked));
}

void PageAccessTest::nextBackupIsNeverInThePast()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    m_plugin.nextBackupTime = now + (90 * 60 + 30) * 1000;
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    QQuickItem* next = harness->item("nextBackupLabel");
    QTRY_VERIFY(next->property("text").toString().endsWith("(in 1 h 30 min)"));

    m_plugin.nextBackupTime = now - 60000;
    QMetaObject::invokeMethod(harness->item("statusPane"), "refresh");
    QCOMPARE(next->property("text").toString(), "Not known yet");
}

QTEST_MAIN(PageAccessTest)
#include "tst_pageaccess.moc"
