// SPDX-License-Identifier: BSD-3-Clause

#include "GridDocuments.h"

#include <QAccessible>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

#include <memory>

namespace {

using namespace GridDocuments;

const char* const Scene = R"(
import ScheduleBackup.Page
WeekGrid {
    width: 480
    height: 470
}
)";

// WCAG contrast ratio of a text colour, which may be translucent, on an opaque background.
double contrast(const QColor& text, const QColor& back)
{
    const auto luminance = [&](const QColor& c) {
        const auto linear = [&](double value, double backValue) {
            const double v = value * c.alphaF() + backValue * (1 - c.alphaF());
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF(), back.redF()) + 0.7152 * linear(c.greenF(), back.greenF())
            + 0.0722 * linear(c.blueF(), back.blueF());
    };
    const double lt = luminance(text), lb = luminance(back);
    return (std::max(lt, lb) + 0.05) / (std::min(lt, lb) + 0.05);
}

// Repeaters make their items children of the item they sit in, not QObject children of it, so
// findChild() misses them; this walks the item tree.
QQuickItem* findItem(QQuickItem* parent, const QString& objectName)
{
    for (QQuickItem* child : parent->childItems()) {
        if (child->objectName() == objectName)
            return child;
        if (QQuickItem* found = findItem(child, objectName))
            return found;
    }
    return nullptr;
}

} // namespace

// The grid in a window, driven with mouse and keyboard events as a person would.
class WeekGridTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void labels_data();
    void labels();
    void drag_data();
    void drag();
    void keyboard_data();
    void keyboard();

private:
    QPoint cellCentre(int day, int row) const;
    QString gridDocument() const { return m_grid->property("document").toString(); }
    void key(const QString& keys);

    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickWindow> m_window;
    std::unique_ptr<QQuickItem> m_grid;
};

void WeekGridTest::init()
{
    m_engine = std::make_unique<QQmlEngine>();
    m_engine->addImportPath(QStringLiteral(SCHEDULE_BACKUP_QML_DIR));
    QQmlComponent component(m_engine.get());
    component.setData(Scene, QUrl(QStringLiteral("qrc:/tst_weekgrid/Scene.qml")));
    m_grid.reset(qobject_cast<QQuickItem*>(component.create()));
    QVERIFY2(m_grid, qPrintable(component.errorString()));
    m_window = std::make_unique<QQuickWindow>();
    m_window->resize(500, 520);
    m_grid->setParentItem(m_window->contentItem());
    m_window->show();
    m_window->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void WeekGridTest::cleanup()
{
    m_grid.reset();
    m_window.reset();
    m_engine.reset();
}

QPoint WeekGridTest::cellCentre(int day, int row) const
{
    QVariant cell;
    QMetaObject::invokeMethod(m_grid.get(), "cellRect", Q_RETURN_ARG(QVariant, cell),
                              Q_ARG(QVariant, day), Q_ARG(QVariant, row));
    return m_grid->mapToScene(cell.toRectF().center()).toPoint();
}

// Keys pressed in turn, each in QKeySequence text, separated by commas: "Shift+Down, Space".
void WeekGridTest::key(const QString& keys)
{
    for (const QString& keyText : keys.split(QLatin1String(", "))) {
        const QKeySequence sequence(keyText);
        QVERIFY2(sequence.count() == 1, qPrintable(keyText));
        QTest::keySequence(m_window.get(), sequence);
    }
}

void WeekGridTest::labels_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected"); // clicked over a Monday 09:00 to 09:30

    QTest::newRow("Monday's header fills Monday only")
        << "dayHeader1"
        << "Fill Monday" << document({rect("0", "24", Mon)});
    QTest::newRow("the 09:00 label fills 09:00 to 10:00 on every day")
        << "hourLabel9"
        << "Fill 09:00 hour"
        << document({rect("9", "10", Sun), rect("9", "10", Mon), rect("9", "10", Tue),
                     rect("9", "10", Wed), rect("9", "10", Thu), rect("9", "10", Fri),
                     rect("9", "10", Sat)});
}

void WeekGridTest::labels()
{
    QFETCH(QString, label);
    QFETCH(QString, name);
    QFETCH(QString, expected);

    auto* item = findItem(m_grid.get(), label);
    QVERIFY(item);
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(item);
    QVERIFY(button);
    QCOMPARE(button->role(), QAccessible::Button);
    QCOMPARE(button->text(QAccessible::Name), name);
    // A button draws its text in its content item; it must be readable on the window colour.
    auto* text = item->property("contentItem").value<QQuickItem*>();
    QVERIFY(text);
    const QColor colour = text->property("color").value<QColor>();
    auto* palette = m_grid->property("palette").value<QObject*>();
    QVERIFY(palette);
    const QColor window = palette->property("window").value<QColor>();
    QVERIFY2(
        contrast(colour, window) >= 4.5,
        qPrintable(QStringLiteral("%1 on %2").arg(colour.name(QColor::HexArgb), window.name())));

    m_grid->setProperty("document", document({rect("9", "9.5", Mon)}));
    QSignalSpy edited(m_grid.get(), SIGNAL(edited()));
    const QPointF centre(item->width() / 2, item->height() / 2);
    QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, item->mapToScene(centre).toPoint());
    QCOMPARE(gridDocument(), expected);
    QCOMPARE(edited.size(), 1);
}

void WeekGridTest::drag_data()
{
    QTest::addColumn<bool>("escape"); // pressed before the button is let go
    QTest::addColumn<QString>("expected");

    QTest::newRow("a drag paints from Tuesday 10:00 to Wednesday 11:30")
        << false << document({rect("9", "17", Mon), rect("10", "12", Tue), rect("10", "12", Wed)});
    QTest::newRow("Escape cancels it, whatever the pointer does after")
        << true << document({rect("9", "17", Mon)});
}

void WeekGridTest::drag()
{
    QFETCH(bool, escape);
    QFETCH(QString, expected);

    const QString monday = document({rect("9", "17", Mon)});
    m_grid->setProperty("document", monday);
    QSignalSpy edited(m_grid.get(), SIGNAL(edited()));
    QTest::mousePress(m_window.get(), Qt::LeftButton, {}, cellCentre(Tue, 20));
    QTest::mouseMove(m_window.get(), cellCentre(Wed, 22));
    QTest::mouseMove(m_window.get(), cellCentre(Wed, 23));
    QVERIFY(gridDocument() != monday);
    QPoint release = cellCentre(Wed, 23);
    if (escape) {
        QTest::keyClick(m_window.get(), Qt::Key_Escape);
        release = cellCentre(Thu, 30);
        QTest::mouseMove(m_window.get(), release);
    }
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, release);
    QCOMPARE(gridDocument(), expected);
    QCOMPARE(edited.size(), escape ? 0 : 1);
    // A whole drag is one step to undo.
    QCOMPARE(m_grid->property("canUndo").toBool(), !escape);
    key("Ctrl+Z");
    QCOMPARE(gridDocument(), monday);
}

void WeekGridTest::keyboard_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys"); // from the cursor's start on Monday 09:00
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("description"); // of the cell under the cursor afterwards

    const QString monday = document({rect("9", "17", Mon)});
    const QString erased = document({rect("9.5", "17", Mon)});
    const QString painted = document({rect("9", "12", Mon), rect("9", "12", Tue)});
    const QString mark = "Shift+Right, Shift+Down, Shift+Down, Shift+Down, Shift+Down, Shift+Down";
    QTest::newRow("Shift marks from the cursor to Tuesday 11:30 and Space paints")
        << document({}) << mark + ", Space" << painted << "Tuesday 11:30 to 12:00, scheduled";
    QTest::newRow("marking from a painted cell erases")
        << painted
        << "Right, Down, Down, Down, Down, Down, Ctrl+Left, Up, Shift+Down, "
           "Shift+Down, Shift+Down, Space"
        << document({rect("9", "11", Mon), rect("9", "12", Tue)})
        << "Monday 12:30 to 13:00, not scheduled";
    QTest::newRow("Space erases a painted cell")
        << monday << "Space" << erased << "Monday 09:00 to 09:30, not scheduled";
    QTest::newRow("Ctrl+Z takes it back")
        << monday << "Space, Ctrl+Z" << monday << "Monday 09:00 to 09:30, scheduled";
    QTest::newRow("Ctrl+Shift+Z redoes it") << monday << "Space, Ctrl+Z, Ctrl+Shift+Z" << erased
                                            << "Monday 09:00 to 09:30, not scheduled";
    QTest::newRow("Ctrl+Y redoes it too")
        << monday << "Space, Ctrl+Z, Ctrl+Y" << erased << "Monday 09:00 to 09:30, not scheduled";
}

void WeekGridTest::keyboard()
{
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    QFETCH(QString, description);

    m_grid->setProperty("document", start);
    m_grid->forceActiveFocus(Qt::TabFocusReason);
    key(keys);
    QCOMPARE(gridDocument(), expected);
    // What assistive technology reads.
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(m_grid.get());
    QVERIFY(grid);
    QCOMPARE(grid->text(QAccessible::Description), description);
}

QTEST_MAIN(WeekGridTest)
#include "tst_weekgrid.moc"
