// SPDX-License-Identifier: BSD-3-Clause

#include "FakeScheduleBackup.h"
#include "PageHarness.h"

#include <QStyleHints>
#include <QtTest>

#include <ctime>

namespace {

// `count` cameras cam-00000.. in groups of `perGroup`, the groups named grp-000...
QVariantList inventory(int count, int perGroup, const QString& longName = QString())
{
    QVariantList cameras;
    cameras.reserve(count);
    for (int i = 0; i < count; ++i) {
        cameras.append(QVariantMap {
            {QStringLiteral("id"), QStringLiteral("cam-%1").arg(i, 5, 10, QLatin1Char('0'))},
            {QStringLiteral("group"),
             QStringLiteral("grp-%1").arg(i / perGroup, 3, 10, QChar('0'))},
            {QStringLiteral("name"),
             i == 0 && !longName.isEmpty() ? longName : QStringLiteral("Camera %1").arg(i)}});
    }
    return cameras;
}

// CPU time of this thread, which other processes on a busy machine disturb less than the clock.
qint64 threadCpuTime()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

// The camera list of the page with many cameras: keys, the "Selected only" view, group states
// under a filter, undo of every tick, long names, and a cost linear in the number of cameras.
class CameraListTest : public QObject
{
    Q_OBJECT

private:
    QObject* cameras() const
    {
        return m_page->item("cameraSelector")->property("model").value<QObject*>();
    }
    QStringList selectedIds() const
    {
        return m_page->item("cameraSelector")->property("selectedIds").toStringList();
    }
    // Loads an inventory of `count` cameras in groups of four with `stored` ticked.
    void load(const QVariantList& inventory, const QStringList& stored = {"cam-00000", "cam-00001"})
    {
        m_page->page()->setProperty("cameraInventory", inventory);
        FakeScheduleBackup::Stored settings;
        settings.cameras = stored;
        m_plugin.answerLoad(settings);
    }

    FakeScheduleBackup m_plugin;
    std::unique_ptr<PageHarness> m_page;

private Q_SLOTS:
    void init()
    {
        m_page = std::make_unique<PageHarness>(&m_plugin);
        QVERIFY2(m_page->error().isEmpty(), qPrintable(m_page->error()));
    }
    void cleanup() { m_page.reset(); }
    void keysMoveThroughTheList_data();
    void keysMoveThroughTheList();
    void groupBoxCountsCamerasTheFilterHides();
    void selectedOnlyNarrowsTheList();
    void everyTickIsUndoneInEditOrder_data();
    void everyTickIsUndoneInEditOrder();
    void longNamesShowInTheTooltip();
    void costGrowsLinearlyWithCameras();
};

void CameraListTest::keysMoveThroughTheList_data()
{
    QTest::addColumn<QList<int>>("keys");
    // -1: the last row; -2: the rows of a page.
    QTest::addColumn<int>("expected");

    QTest::newRow("End goes to the last camera") << QList<int> {Qt::Key_End} << -1;
    QTest::newRow("Home goes back to the first") << QList<int> {Qt::Key_End, Qt::Key_Home} << 0;
    QTest::newRow("PageDown moves a page") << QList<int> {Qt::Key_PageDown} << -2;
    QTest::newRow("PageUp stops at the first")
        << QList<int> {Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_PageUp} << 0;
}

void CameraListTest::keysMoveThroughTheList()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, expected);

    load(inventory(400, 4));
    QQuickItem* list = m_page->item("cameraList");
    list->forceActiveFocus(Qt::TabFocusReason);
    // A page is what fits when the key is pressed, measured by the row then current.
    const int page = list->property("pageRows").toInt();
    for (const int key : keys)
        m_page->key(Qt::Key(key));
    QVERIFY(page > 1);
    const int row = expected == -1 ? 399 : expected == -2 ? page : expected;
    QCOMPARE(list->property("currentIndex").toInt(), row);
    // The row is in view, and Space ticks it.
    m_page->key(Qt::Key_Space);
    const QString id = QStringLiteral("cam-%1").arg(row, 5, 10, QLatin1Char('0'));
    QTRY_VERIFY(m_page->item("camera:" + id));
    QCOMPARE(selectedIds().contains(id), row > 1);
}

void CameraListTest::groupBoxCountsCamerasTheFilterHides()
{
    load(inventory(12, 4));
    // Only cam-00000 of grp-000 is shown; cam-00001 is ticked as well, cam-00002/3 are not.
    m_page->retype(m_page->item("cameraFilterField"), "Camera 0");
    QTRY_COMPARE(cameras()->property("count").toInt(), 1);
    QQuickItem* group = m_page->item("cameraGroup:grp-000");
    QVERIFY(group);
    QCOMPARE(group->property("checkState").toInt(), int(Qt::PartiallyChecked));
    // Its tick takes the hidden cameras too, and so does clearing it.
    m_page->click(group);
    QCOMPARE(group->property("checkState").toInt(), int(Qt::Checked));
    QCOMPARE(selectedIds(), QStringList({"cam-00000", "cam-00001", "cam-00002", "cam-00003"}));
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    m_page->click(group);
    QCOMPARE(group->property("checkState").toInt(), int(Qt::Unchecked));
    QCOMPARE(selectedIds(), QStringList());
}

void CameraListTest::selectedOnlyNarrowsTheList()
{
    load(inventory(12, 4), {"cam-00003", "cam-00007"});
    QQuickItem* only = m_page->item("selectedOnlySwitch");
    QVERIFY(!only->property("text").toString().isEmpty());
    m_page->click(only);
    QTRY_COMPARE(cameras()->property("count").toInt(), 2);
    // Unticked by mistake: still there to tick again.
    m_page->click(m_page->item("camera:cam-00003"));
    QCOMPARE(selectedIds(), QStringList({"cam-00007"}));
    QCOMPARE(cameras()->property("count").toInt(), 2);
    m_page->click(only);
    QTRY_COMPARE(cameras()->property("count").toInt(), 12);
}

void CameraListTest::everyTickIsUndoneInEditOrder_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("Select all") << "selectAllCamerasButton"
                                << QStringList {"cam-00000", "cam-00001", "cam-00002",
                                                "cam-00003", "cam-00004", "cam-00005"};
    QTest::newRow("None") << "selectNoCamerasButton" << QStringList {};
    QTest::newRow("a group tick") << "cameraGroup:grp-001"
                                  << QStringList {"cam-00000", "cam-00001", "cam-00003",
                                                  "cam-00004", "cam-00005"};
}

void CameraListTest::everyTickIsUndoneInEditOrder()
{
    QFETCH(QString, button);
    QFETCH(QStringList, after);

    load(inventory(6, 3));
    QQuickItem* grid = m_page->item("scheduleEditor");
    // The cameras ticked, then the week.
    const auto state = [&] { return selectedIds() << grid->property("document").toString(); };
    const QStringList loaded = state();
    // A grid edit first, then the camera edit: Ctrl+Z undoes the camera edit, then the grid's.
    m_page->click(m_page->item("clearScheduleButton"));
    QTRY_VERIFY(state() != loaded);
    const QStringList cleared = state();
    m_page->click(m_page->item(button));
    QCOMPARE(state(), after + QStringList {cleared.last()});

    m_page->item("cameraList")->forceActiveFocus(Qt::TabFocusReason);
    m_page->key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(state(), cleared);
    m_page->key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(state(), loaded);
    // Redo in the same order.
    m_page->key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(state(), cleared);
    m_page->key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(state(), after + QStringList {cleared.last()});
}

void CameraListTest::longNamesShowInTheTooltip()
{
    const QString name = QString("Warehouse north loading dock, second gate ").repeated(3);
    load(inventory(2, 2, name));
    QQuickItem* row = m_page->item("camera:cam-00000");
    QVERIFY(row);
    QTRY_VERIFY(row->property("hint").toString().contains(name.trimmed()));
    QVERIFY(row->property("hint").toString().contains("cam-00000"));
    // A name that fits has no tooltip.
    QCOMPARE(m_page->item("camera:cam-00001")->property("hint").toString(), QString());
}

// The time for 20,000 cameras against 2,000 in the same run, each less the time for 200, which
// is about what the page costs whatever the number of cameras: linear handling gives about 10,
// quadratic about 100. The cameras go straight to the camera list, so that the fixed cost of a
// page load does not hide them, and every selection change passes through the page's bindings
// to its session. Each size takes its best of three runs, in CPU time of this thread, which
// other processes on a busy machine disturb less than the clock.
void CameraListTest::costGrowsLinearlyWithCameras()
{
    m_plugin.answerLoad({});
    QQuickItem* selector = m_page->item("cameraSelector");
    QQuickItem* filter = m_page->item("cameraFilterField");
    QMap<int, qint64> times;
    // The first round warms up the page's bindings and is not counted.
    for (const int count : {-2000, 200, 2000, 20000, 200, 2000, 20000, 200, 2000, 20000}) {
        const QVariantList choices = inventory(qAbs(count), qAbs(count) / 200);
        QStringList stored;
        for (int i = 0; i < choices.size(); i += 2)
            stored.append(choices.at(i).toMap().value("id").toString());
        const qint64 start = threadCpuTime();
        selector->setProperty("choices", choices);
        QMetaObject::invokeMethod(selector, "setSelection", Q_ARG(QVariant, false),
                                  Q_ARG(QVariant, stored));
        filter->setProperty("text", "Camera 1");
        QMetaObject::invokeMethod(cameras(), "setGroupSelected", Q_ARG(QString, "grp-001"),
                                  Q_ARG(bool, true));
        filter->setProperty("text", "");
        for (int round = 0; round < 10; ++round) {
            QMetaObject::invokeMethod(cameras(), "setShownSelected", Q_ARG(bool, true));
            QMetaObject::invokeMethod(cameras(), "undo");
        }
        const qint64 elapsed = threadCpuTime() - start;
        if (count > 0)
            times[count] = times.contains(count) ? qMin(times[count], elapsed) : elapsed;
        QCOMPARE(selectedIds().size(), qAbs(count) / 2 + (qAbs(count) / 200 + 1) / 2);
        QVERIFY(m_page->property("modified").toBool());
    }
    const double ratio = double(times[20000] - times[200]) / double(times[2000] - times[200]);
    qInfo("20000 / 2000 cameras: %.1f (%.1f / %.1f / %.1f ms)", ratio, times[20000] / 1e6,
          times[2000] / 1e6, times[200] / 1e6);
    QVERIFY2(ratio <= 25, qPrintable(QString::number(ratio)));
}

QTEST_MAIN(CameraListTest)
#include "tst_cameralist.moc"
