// SPDX-License-Identifier: BSD-3-Clause

#include "GridDocuments.h"
#include "Table.h"

#include <QAccessible>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

#include <memory>

namespace {

using namespace GridDocuments;

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
        QQuickItem* found = child->objectName() == objectName ? child : findItem(child, objectName);
        if (found)
            return found;
    }
    return nullptr;
}

} // namespace

// The grid in a window, driven with mouse and keyboard events as a person would. Documents are
// written as blocks for GridDocuments::document().
class WeekGridTest : public QObject
{
    Q_OBJECT

    // A label's objectName and accessible name.
    using Labels = Table<QString, QString>;
    // The document before, the events for act() (the cursor starts on Monday 09:00), the document
    // after, the count of edited() signals, and the accessible description of the cell under the
    // cursor afterwards (not checked when empty).
    using Gestures = Table<QString, QString, QString, int, QString>;

    QPoint cellCentre(int day, int row) const
    {
        QVariant cell;
        QMetaObject::invokeMethod(m_grid, "cellRect", Q_RETURN_ARG(QVariant, cell),
                                  Q_ARG(QVariant, day), Q_ARG(QVariant, row));
        return m_grid->mapToScene(cell.toRectF().center()).toPoint();
    }
    // Events in turn, separated by commas: keys in QKeySequence text ("Shift+Down"),
    // "press|move|release <day> <row>" on a cell, or "click <objectName>".
    void act(const QString& events) const
    {
        for (const QString& event : events.split(QLatin1String(", "))) {
            const QStringList w = event.split(' ');
            const QPoint at = w.size() == 3 ? cellCentre(w[1].toInt(), w[2].toInt()) : QPoint();
            if (w[0] == "press")
                QTest::mousePress(m_window, Qt::LeftButton, {}, at);
            else if (w[0] == "move")
                QTest::mouseMove(m_window, at);
            else if (w[0] == "release")
                QTest::mouseRelease(m_window, Qt::LeftButton, {}, at);
            else if (w[0] == "click")
                QTest::mouseClick(m_window, Qt::LeftButton, {}, centre(findItem(m_grid, w[1])));
            else
                QTest::keySequence(m_window, QKeySequence(event));
        }
    }
    static QPoint centre(QQuickItem* item)
    {
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    }

    std::unique_ptr<QQmlApplicationEngine> m_engine;
    QQuickWindow* m_window = nullptr;
    QQuickItem* m_grid = nullptr;

private Q_SLOTS:
    void init()
    {
        m_engine = std::make_unique<QQmlApplicationEngine>();
        m_engine->addImportPath(QStringLiteral(SCHEDULE_BACKUP_QML_DIR));
        m_engine->loadData("import QtQuick\nimport ScheduleBackup.Page\nWindow { width: 500; "
                           "height: 520; visible: true; WeekGrid { width: 480; height: 470 } }");
        m_window = qobject_cast<QQuickWindow*>(m_engine->rootObjects().value(0));
        QVERIFY(m_window);
        m_grid = m_window->contentItem()->childItems().value(0);
        m_window->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }

    void cleanup() { m_engine.reset(); }

    void labels_data()
    {
        Labels::columns();
        Labels::row("Monday's header", "dayHeader1", "Fill Monday");
        Labels::row("the 09:00 label", "hourLabel9", "Fill 09:00 hour");
    }

    // What a screen reader says of a label, and whether its text is readable.
    void labels()
    {
        const auto [label, name] = Labels::fetch();
        auto* item = findItem(m_grid, label);
        QVERIFY(item);
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(item);
        QCOMPARE(std::pair(button->role(), button->text(QAccessible::Name)),
                 std::pair(QAccessible::Button, name));
        // A button draws its text in its content item; it must be readable on the window colour.
        const QColor colour
            = item->property("contentItem").value<QQuickItem*>()->property("color").value<QColor>();
        const QColor window
            = m_grid->property("palette").value<QObject*>()->property("window").value<QColor>();
        QVERIFY2(contrast(colour, window) >= 4.5,
                 qPrintable(colour.name(QColor::HexArgb) + " on " + window.name()));
    }

    void gestures_data()
    {
        Gestures::columns();
        const QString drag = "press 2 20, move 3 22, move 3 23, release 3 23";
        const QString mark = "Shift+Right, Shift+Down, Shift+Down, Shift+Down, Shift+Down, "
                             "Shift+Down";
        const QString onMonday = "Monday 09:00 to 09:30, ";
        Gestures::row("Monday's header fills Monday only", "Mon 9-9.5", "click dayHeader1",
                      "Mon 0-24", 1, "");
        Gestures::row("the 09:00 label fills 09:00 to 10:00 on every day", "Mon 9-9.5",
                      "click hourLabel9", "* 9-10", 1, "");
        Gestures::row("a drag paints from Tuesday 10:00 to Wednesday 11:30", "Mon 9-17", drag,
                      "Mon 9-17, Tue-Wed 10-12", 1, "");
        Gestures::row("a whole drag is one step to undo", "Mon 9-17", drag + ", Ctrl+Z", "Mon 9-17",
                      2, "");
        Gestures::row("Escape cancels a drag, whatever the pointer does after", "Mon 9-17",
                      "press 2 20, move 3 23, Escape, move 4 30, release 4 30, Ctrl+Z", "Mon 9-17",
                      0, "");
        Gestures::row("Shift marks from the cursor to Tuesday 11:30 and Space paints", "",
                      mark + ", Space", "Mon-Tue 9-12", 1, "Tuesday 11:30 to 12:00, scheduled");
        Gestures::row("marking from a painted cell erases", "Mon-Tue 9-12",
                      "Right, Down, Down, Down, Down, Down, Ctrl+Left, Up, Shift+Down, "
                      "Shift+Down, Shift+Down, Space",
                      "Mon 9-11, Tue 9-12", 1, "Monday 12:30 to 13:00, not scheduled");
        Gestures::row("Space erases a painted cell", "Mon 9-17", "Space", "Mon 9.5-17", 1,
                      onMonday + "not scheduled");
        Gestures::row("Ctrl+Z takes it back", "Mon 9-17", "Space, Ctrl+Z", "Mon 9-17", 2,
                      onMonday + "scheduled");
        Gestures::row("Ctrl+Shift+Z redoes it", "Mon 9-17", "Space, Ctrl+Z, Ctrl+Shift+Z",
                      "Mon 9.5-17", 3, onMonday + "not scheduled");
        Gestures::row("Ctrl+Y redoes it too", "Mon 9-17", "Space, Ctrl+Z, Ctrl+Y", "Mon 9.5-17", 3,
                      onMonday + "not scheduled");
    }

    void gestures()
    {
        const auto [start, events, expected, edits, description] = Gestures::fetch();
        m_grid->setProperty("document", document(start));
        m_grid->forceActiveFocus(Qt::TabFocusReason);
        QSignalSpy edited(m_grid, SIGNAL(edited()));
        act(events);
        QCOMPARE(m_grid->property("document").toString(), document(expected));
        QCOMPARE(edited.size(), edits);
        // What assistive technology reads.
        const QString said
            = QAccessible::queryAccessibleInterface(m_grid)->text(QAccessible::Description);
        QCOMPARE(description.isEmpty() ? description : said, description);
    }
};

QTEST_MAIN(WeekGridTest)
#include "tst_weekgrid.moc"
