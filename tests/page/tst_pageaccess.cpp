#include "FakeScheduleBackup.h"
#include "PageHarness.h"

#include <QQmlContext>
#include <QQmlProperty>
#include <QQuickItem>
#include <QStyleHints>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(ScheduleBackupPagePlugin)

// The page for every operator: keyboard only, screen readers, the schedule tools, the grouped
// camera list and the status line.
class PageAccessTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PageHarness> loadedPage(const QVariantList& inventory
                                            = PageHarness::sampleInventory());
    QQuickItem* focused(const PageHarness& harness) const
    {
        return harness.view()->activeFocusItem();
    }
    int selectedCells(const PageHarness& harness) const
    {
        return harness.item("weekGrid")->property("selectedCount").toInt();
    }

    FakeScheduleBackup m_plugin;

private Q_SLOTS:
    void init();
    void tabReachesEveryPartInReadingOrder();
    void ctrlSSavesAndF5AsksBeforeDiscarding();
    void everyTabStopHasAnAccessibleNameAndDescription();
    void groupBoxShowsThreeStatesAndTicksItsGroup();
    void keyboardTicksCamerasAndGroupsInTheList();
    void thousandsOfCamerasFilterAndSelect();
    void scheduleToolsEditTheGridAndUndo();
    void typedWindowIsAddedOrExplained();
    void nextBackupShowsTimeLeftAndNeverThePast();
    void fitsTheMinimumSizeWithoutOverlap();
};

void PageAccessTest::init()
{
    m_plugin.calls.clear();
    m_plugin.nextBackupTime = 0;
}

std::unique_ptr<PageHarness> PageAccessTest::loadedPage(const QVariantList& inventory)
{
    auto harness = std::make_unique<PageHarness>(&m_plugin, inventory);
    if (harness->error().isEmpty())
        m_plugin.answerLoad({});
    return harness;
}

void PageAccessTest::tabReachesEveryPartInReadingOrder()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    harness->retype(harness->item("targetDirField"), "/mnt/tabbed");
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
        harness->item("saveScheduleButton") == nullptr ? nullptr : harness->item("saveButton"),
    };
    QVERIFY(!expected.contains(nullptr));

    // Every stop shows that it has the focus: a focus ring of its own, or (the camera list)
    // the ring around its current row.
    const auto ringShown = [](QQuickItem* stop) {
        const auto children = stop->findChildren<QQuickItem*>();
        return std::any_of(children.cbegin(), children.cend(), [](QQuickItem* child) {
            return child->isVisible() && child->property("border").isValid()
                && child->property("color").value<QColor>().alpha() == 0
                && child->property("border").value<QObject*>()->property("width").toReal() >= 2;
        });
    };
    QQuickItem* list = harness->item("cameraList");
    expected.first()->forceActiveFocus(Qt::TabFocusReason);
    QList<QQuickItem*> visited {focused(*harness)};
    for (int i = 0; i < 80 && !visited.contains(expected.last()); ++i) {
        harness->key(Qt::Key_Tab);
        // In the camera list the focus sits on the current row.
        QQuickItem* shows = focused(*harness);
        QQuickItem* stop = shows->objectName().startsWith("camera:") ? list : shows;
        harness->view()->grabWindow();
        QVERIFY2(ringShown(shows),
                 qPrintable(QString::fromLatin1(stop->metaObject()->className()) + QLatin1Char(' ')
                            + stop->objectName()));
        visited.append(stop);
    }
    int previous = -1;
    for (QQuickItem* stop : expected) {
        const int at = int(visited.indexOf(stop));
        QVERIFY2(at > previous, qPrintable(stop->objectName() + " out of order or not reached"));
        previous = at;
    }
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
    QCOMPARE(harness->item("targetDirField")->property("text").toString(), "/mnt/keys");

    harness->item("targetDirField")->forceActiveFocus(Qt::TabFocusReason);
    harness->key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_plugin.count("updateBackupInfo"), 1);
    QCOMPARE(m_plugin.last("updateBackupInfo").arguments.at(2).toString(), "/mnt/keys");
    m_plugin.confirmUpdate();

    // Nothing unsaved: F5 (and Ctrl+R) reload at once.
    harness->key(Qt::Key_F5);
    QCOMPARE(m_plugin.count("getBackupInfo"), loads + 1);
    m_plugin.answerLoad({});
    harness->key(Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(m_plugin.count("getBackupInfo"), loads + 2);
}

void PageAccessTest::everyTabStopHasAnAccessibleNameAndDescription()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    // Popups count as well: open one, then look at everything the window draws.
    harness->click(harness->item("copyDayButton"));
    QTRY_VERIFY(harness->item("copyConfirmButton")->isVisible());
    int checked = 0;
    for (QQuickItem* item : harness->visualItems()) {
        if (!item->activeFocusOnTab() || !item->isVisible() || !item->isEnabled())
            continue;
        // What the Accessible attached property says is what a screen reader is told.
        const QString name
            = QQmlProperty(item, "Accessible.name", qmlContext(item)).read().toString();
        const QString description
            = QQmlProperty(item, "Accessible.description", qmlContext(item)).read().toString();
        const QString what
            = QStringLiteral("%1 \"%2\"").arg(item->metaObject()->className(), item->objectName());
        QVERIFY2(!name.trimmed().isEmpty(), qPrintable(what));
        QVERIFY2(!description.trimmed().isEmpty(), qPrintable(what));
        ++checked;
    }
    QVERIFY2(checked >= 20, qPrintable(QString::number(checked)));
}

void PageAccessTest::groupBoxShowsThreeStatesAndTicksItsGroup()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    QObject* cameras = harness->item("cameraSelector");
    QQuickItem* lobby = harness->item("cameraGroup:grp-lobby");
    QQuickItem* parking = harness->item("cameraGroup:grp-parking");
    QVERIFY(lobby && parking);
    // cam-01 and cam-02 of four lobby cameras are stored.
    QCOMPARE(lobby->property("checkState").toInt(), int(Qt::PartiallyChecked));
    QCOMPARE(parking->property("checkState").toInt(), int(Qt::Unchecked));

    harness->click(lobby);
    QCOMPARE(lobby->property("checkState").toInt(), int(Qt::Checked));
    QCOMPARE(cameras->property("selectedIds").toStringList(),
             QStringList({"cam-01", "cam-02", "cam-03", "cam-04"}));
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    harness->click(lobby);
    QCOMPARE(lobby->property("checkState").toInt(), int(Qt::Unchecked));
    QCOMPARE(cameras->property("selectedIds").toStringList(), QStringList());

    harness->click(harness->item("camera:cam-06"));
    QCOMPARE(parking->property("checkState").toInt(), int(Qt::PartiallyChecked));
    QCOMPARE(cameras->property("selectedIds").toStringList(), QStringList {"cam-06"});
}

void PageAccessTest::keyboardTicksCamerasAndGroupsInTheList()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    QObject* cameras = harness->item("cameraSelector");
    QQuickItem* list = harness->item("cameraList");
    list->forceActiveFocus(Qt::TabFocusReason);
    list->setProperty("currentIndex", 0);
    harness->key(Qt::Key_Down);
    harness->key(Qt::Key_Down);
    harness->key(Qt::Key_Space); // cam-03
    QCOMPARE(cameras->property("selectedIds").toStringList(),
             QStringList({"cam-01", "cam-02", "cam-03"}));
    harness->key(Qt::Key_Down);
    harness->key(Qt::Key_Down); // cam-05, first of the parking group
    harness->key(Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(harness->item("cameraGroup:grp-parking")->property("checkState").toInt(),
             int(Qt::Checked));
    QCOMPARE(cameras->property("selectedIds").toStringList().size(), 7);
}

void PageAccessTest::thousandsOfCamerasFilterAndSelect()
{
    QVariantList inventory;
    for (int i = 0; i < 2000; ++i) {
        inventory.append(QVariantMap {{"id", QStringLiteral("c%1").arg(i, 4, 10, QLatin1Char('0'))},
                                      {"group", QStringLiteral("g%1").arg(i / 100)},
                                      {"name", QStringLiteral("Camera %1").arg(i)}});
    }
    const auto harness = loadedPage(inventory);
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    QObject* cameras = harness->item("cameraSelector");
    QObject* model = cameras->property("model").value<QObject*>();
    QCOMPARE(model->property("count").toInt(), 2000 + 2); // and the two stored unknown ids
    // The list makes rows only for what it shows.
    const auto rows = harness->item("cameraList")->findChildren<QQuickItem*>();
    QVERIFY(std::count_if(rows.cbegin(), rows.cend(),
                          [](QQuickItem* row) { return row->objectName().startsWith("camera:"); })
            < 200);

    harness->retype(harness->item("cameraFilterField"), "Camera 19");
    QCOMPARE(model->property("count").toInt(), 111); // 19, 190..199, 1900..1999
    harness->click(harness->item("selectAllCamerasButton"));
    QCOMPARE(model->property("selectedCount").toInt(), 111 + 2);
    harness->retype(harness->item("cameraFilterField"), "");
    QCOMPARE(model->property("count").toInt(), 2002);
    QCOMPARE(model->property("groupStates").toMap().value("g19").toInt(), int(Qt::Checked));
    QCOMPARE(model->property("groupStates").toMap().value("g1").toInt(), int(Qt::PartiallyChecked));
    QCOMPARE(model->property("groupStates").toMap().value("g2").toInt(), int(Qt::Unchecked));
}

void PageAccessTest::scheduleToolsEditTheGridAndUndo()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    QCOMPARE(selectedCells(*harness), 16);
    harness->click(harness->item("clearScheduleButton"));
    QCOMPARE(selectedCells(*harness), 0);
    QCOMPARE(harness->property("scheduleModified").toBool(), true);
    harness->item("cameraList")->forceActiveFocus(Qt::TabFocusReason);
    harness->key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(selectedCells(*harness), 16);
    QCOMPARE(harness->property("modified").toBool(), false);
    harness->key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(selectedCells(*harness), 0);

    harness->click(harness->item("presetButton"));
    QTRY_VERIFY(harness->item("preset:weekends") && harness->item("preset:weekends")->isVisible());
    harness->click(harness->item("preset:weekends"));
    QCOMPARE(selectedCells(*harness), 2 * 48);

    harness->click(harness->item("copyDayButton"));
    QTRY_VERIFY(harness->item("copyConfirmButton")->isVisible());
    QCOMPARE(harness->item("copyConfirmButton")->isEnabled(), false);
    harness->item("copySourceBox")->setProperty("currentIndex", 0); // Sunday
    harness->click(harness->item("copyTarget3"));
    harness->click(harness->item("copyConfirmButton"));
    QCOMPARE(selectedCells(*harness), 3 * 48);
}

void PageAccessTest::typedWindowIsAddedOrExplained()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    harness->retype(harness->item("rangeEntryField"), "Sat 08:30-12:00");
    harness->key(Qt::Key_Return);
    QCOMPARE(selectedCells(*harness), 16 + 7);
    QCOMPARE(harness->item("rangeEntryField")->property("text").toString(), QString());

    harness->retype(harness->item("rangeEntryField"), "Someday 8-9");
    harness->key(Qt::Key_Return);
    QCOMPARE(selectedCells(*harness), 16 + 7);
    QVERIFY(!harness->item("rangeEntryProblem")->property("text").toString().isEmpty());
    QCOMPARE(harness->item("rangeEntryField")->property("text").toString(), "Someday 8-9");
    harness->type("x");
    QCOMPARE(harness->item("rangeEntryProblem")->property("text").toString(), QString());
}

void PageAccessTest::nextBackupShowsTimeLeftAndNeverThePast()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    m_plugin.nextBackupTime = now + ((7 * 60 + 48) * 60 + 30) * 1000;
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    QQuickItem* next = harness->item("nextBackupLabel");
    QTRY_VERIFY2(next->property("text").toString().endsWith("(in 7 h 48 min)"),
                 qPrintable(next->property("text").toString()));
    QVERIFY(!harness->item("timeZoneLabel")->property("text").toString().isEmpty());

    // A start that has passed is never shown as the next backup.
    m_plugin.nextBackupTime = now - 60000;
    QMetaObject::invokeMethod(harness->item("statusPane"), "refresh");
    QCOMPARE(next->property("text").toString(), "Not known yet");

    FakeScheduleBackup::Stored off;
    off.enabled = false;
    m_plugin.answerLoad(off);
    QCOMPARE(next->property("text").toString(), "Scheduled backup is off");
    FakeScheduleBackup::Stored empty;
    empty.schedule = R"({"Rectangles":[]})";
    m_plugin.answerLoad(empty);
    QCOMPARE(next->property("text").toString(), "No backup window scheduled");
}

void PageAccessTest::fitsTheMinimumSizeWithoutOverlap()
{
    const auto harness = loadedPage();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    QCOMPARE(harness->property("minimumWidth").toInt(), 800);
    QCOMPARE(harness->property("minimumHeight").toInt(), 600);
    harness->view()->resize(800, 600);
    QTRY_COMPARE(harness->page()->width(), 800.0);
    harness->view()->grabWindow();
    const QStringList parts {"settingsPane", "cameraSelector", "scheduleEditor", "statusPane"};
    QList<QRectF> areas;
    for (const QString& name : parts) {
        QQuickItem* part = harness->item(name);
        const QRectF area = part->mapRectToScene(QRectF(0, 0, part->width(), part->height()));
        QVERIFY2(area.left() >= 0 && area.right() <= 800, qPrintable(name));
        // Never squeezed below what its content needs.
        QVERIFY2(part->height() >= part->implicitHeight() - 1, qPrintable(name));
        QVERIFY2(part->width() >= 200, qPrintable(name));
        for (const QRectF& other : std::as_const(areas))
            QVERIFY2(!area.intersects(other), qPrintable(name));
        areas.append(area);
    }
    // The footer's buttons stay on the window.
    QQuickItem* save = harness->item("saveButton");
    QVERIFY(save->mapRectToScene(QRectF(0, 0, save->width(), save->height())).right() <= 800);
}

QTEST_MAIN(PageAccessTest)
#include "tst_pageaccess.moc"
