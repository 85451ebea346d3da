#include <QAccessible>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(ScheduleBackupPagePlugin)

namespace {

constexpr int Sun = 0, Mon = 1, Tue = 2, Wed = 3, Thu = 4, Fri = 5, Sat = 6;

QString rect(const char* top, const char* bottom, int day)
{
    return QStringLiteral("{\"Top\":%1,\"Bottom\":%2,\"Left\":%3,\"Right\":%4}")
        .arg(QLatin1String(top), QLatin1String(bottom))
        .arg(day)
        .arg(day + 1);
}

QString document(const QStringList& rectangles)
{
    return QStringLiteral("{\"Rectangles\":[") + rectangles.join(',') + QStringLiteral("]}");
}

// A text field to tab from, then the grid, as on the page.
const char* const Scene = R"(
import QtQuick
import QtQuick.Controls
import ScheduleBackup.Page

Column {
    TextField {
        objectName: "nameField"
        width: 200
        focus: true
    }
    WeekGrid {
        objectName: "grid"
        width: 480
        height: 470
    }
}
)";

// WCAG contrast ratio of a text colour, which may be translucent, on an opaque background.
double contrast(const QColor& text, const QColor& b)
{
    const double alpha = text.alphaF();
    const QColor a = QColor::fromRgbF(text.redF() * alpha + b.redF() * (1 - alpha),
                                      text.greenF() * alpha + b.greenF() * (1 - alpha),
                                      text.blueF() * alpha + b.blueF() * (1 - alpha));
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF())
            + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
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

// The first descendant with the role, depth first.
QAccessibleInterface* findRole(QAccessibleInterface* parent, QAccessible::Role role)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface* child = parent->child(i);
        if (!child)
            continue;
        if (child->role() == role)
            return child;
        if (QAccessibleInterface* found = findRole(child, role))
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
    void keyboardAloneMakesASchedule();
    void labelClicksFillDaysAndHours_data();
    void labelClicksFillDaysAndHours();
    void escapeCancelsADrag_data();
    void escapeCancelsADrag();
    void escapeDropsAMarkedBlock();
    void undoAndRedoKeys_data();
    void undoAndRedoKeys();
    void loadingIsNotAnEdit();
    void functionsEditTheWeek_data();
    void functionsEditTheWeek();
    void cursorIsDescribed_data();
    void cursorIsDescribed();
    void labelsAreNamedButtons_data();
    void labelsAreNamedButtons();
    void captionNamesTheHoveredCell_data();
    void captionNamesTheHoveredCell();
    void textIsReadable_data();
    void textIsReadable();
    void cellsFitTheGivenSize_data();
    void cellsFitTheGivenSize();
    void cellsStopShrinkingAtSixPixels_data();
    void cellsStopShrinkingAtSixPixels();

private:
    QPoint cellCentre(int day, int row) const;
    QPoint itemCentre(const char* objectName) const;
    QString gridDocument() const { return m_grid->property("document").toString(); }
    void key(const QString& keys);
    bool tabToGrid();

    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickWindow> m_window;
    std::unique_ptr<QQuickItem> m_root;
    QQuickItem* m_grid = nullptr;
};

void WeekGridTest::init()
{
    m_engine = std::make_unique<QQmlEngine>();
    m_engine->addImportPath(QStringLiteral("qrc:/"));
    QQmlComponent component(m_engine.get());
    component.setData(Scene, QUrl(QStringLiteral("qrc:/tst_weekgrid/Scene.qml")));
    m_root.reset(qobject_cast<QQuickItem*>(component.create()));
    QVERIFY2(m_root, qPrintable(component.errorString()));
    m_grid = m_root->findChild<QQuickItem*>(QStringLiteral("grid"));
    QVERIFY(m_grid);
    m_window = std::make_unique<QQuickWindow>();
    m_window->resize(500, 520);
    m_root->setParentItem(m_window->contentItem());
    m_window->show();
    m_window->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void WeekGridTest::cleanup()
{
    m_root.reset();
    m_window.reset();
    m_engine.reset();
    m_grid = nullptr;
}

QPoint WeekGridTest::cellCentre(int day, int row) const
{
    QVariant cell;
    QMetaObject::invokeMethod(m_grid, "cellRect", Q_RETURN_ARG(QVariant, cell),
                              Q_ARG(QVariant, day), Q_ARG(QVariant, row));
    return m_grid->mapToScene(cell.toRectF().center()).toPoint();
}

QPoint WeekGridTest::itemCentre(const char* objectName) const
{
    const auto* item = findItem(m_grid, QLatin1String(objectName));
    if (!item)
        return {};
    return item->mapToScene(QRectF(0, 0, item->width(), item->height()).center()).toPoint();
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

bool WeekGridTest::tabToGrid()
{
    QTest::keyClick(m_window.get(), Qt::Key_Tab);
    return m_grid->hasActiveFocus();
}

void WeekGridTest::keyboardAloneMakesASchedule()
{
    QSignalSpy edited(m_grid, SIGNAL(edited()));
    QVERIFY(!m_grid->hasActiveFocus());
    QVERIFY(tabToGrid());

    // The cursor starts on Monday 09:00; mark to Tuesday 11:30 and paint.
    key("Shift+Right, Shift+Down, Shift+Down, Shift+Down, Shift+Down, Shift+Down, Space");
    QCOMPARE(gridDocument(), document({rect("9", "12", Mon), rect("9", "12", Tue)}));
    QCOMPARE(m_grid->property("marking").toBool(), false); // the painted block is let go

    // One more half hour on Tuesday.
    key("Down, Space");
    QCOMPARE(gridDocument(), document({rect("9", "12", Mon), rect("9", "12.5", Tue)}));

    // From Monday 11:00 (painted) down to 12:30 (empty): the painted first corner erases.
    key("Ctrl+Left, Home");
    for (int i = 0; i < 22; ++i)
        key("Down");
    key("Shift+Down, Shift+Down, Shift+Down, Space");
    QCOMPARE(gridDocument(), document({rect("9", "11", Mon), rect("9", "12.5", Tue)}));

    // Ctrl+Left steps back past Sunday to Saturday; End is its last half hour.
    key("Ctrl+Left, Ctrl+Left, End, Space");
    QCOMPARE(gridDocument(),
             document({rect("9", "11", Mon), rect("9", "12.5", Tue), rect("23.5", "24", Sat)}));

    // Ctrl+Right wraps forward to Sunday, Ctrl+Up goes up an hour: Sunday 22:30.
    key("Ctrl+Right, Ctrl+Up, Space");
    QCOMPARE(gridDocument(),
             document({rect("22.5", "23", Sun), rect("9", "11", Mon), rect("9", "12.5", Tue),
                       rect("23.5", "24", Sat)}));
    QCOMPARE(edited.size(), 5);
    QCOMPARE(m_grid->property("selectedCount").toInt(), 1 + 4 + 7 + 1);
}

void WeekGridTest::labelClicksFillDaysAndHours_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("labels"); // clicked in turn
    QTest::addColumn<QString>("expected");

    QStringList nineOClock;
    for (int day = Sun; day <= Sat; ++day)
        nineOClock << rect("9", "10", day);
    QTest::newRow("Monday's header fills Monday")
        << document({rect("9", "10", Mon)}) << QStringList {"dayHeader1"}
        << document({rect("0", "24", Mon)});
    QTest::newRow("a second click on a full Monday empties it")
        << document({}) << QStringList {"dayHeader1", "dayHeader1"} << document({});
    QTest::newRow("Saturday's header fills Saturday only")
        << document({}) << QStringList {"dayHeader6"} << document({rect("0", "24", Sat)});
    QTest::newRow("the 09:00 label fills 09:00 to 10:00 on every day")
        << document({rect("9", "9.5", Tue)}) << QStringList {"hourLabel9"} << document(nineOClock);
    QTest::newRow("a second click on the full 09:00 hour empties it")
        << document({}) << QStringList {"hourLabel9", "hourLabel9"} << document({});
    QTest::newRow("an unlabelled odd hour can be clicked too")
        << document({}) << QStringList {"hourLabel23"}
        << document({rect("23", "24", Sun), rect("23", "24", Mon), rect("23", "24", Tue),
                     rect("23", "24", Wed), rect("23", "24", Thu), rect("23", "24", Fri),
                     rect("23", "24", Sat)});
}

void WeekGridTest::labelClicksFillDaysAndHours()
{
    QFETCH(QString, start);
    QFETCH(QStringList, labels);
    QFETCH(QString, expected);

    m_grid->setProperty("document", start);
    QSignalSpy edited(m_grid, SIGNAL(edited()));
    for (const QString& label : labels) {
        const QPoint centre = itemCentre(qPrintable(label));
        QVERIFY2(!centre.isNull(), qPrintable(label));
        QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, centre);
    }
    QCOMPARE(gridDocument(), expected);
    QCOMPARE(edited.size(), labels.size());
}

void WeekGridTest::escapeCancelsADrag_data()
{
    QTest::addColumn<bool>("escape");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("canUndo");

    // Over a Monday 09:00 to 17:00, dragged from Tuesday 10:00 to Wednesday 11:30.
    QTest::newRow("a drag paints the block")
        << false << document({rect("9", "17", Mon), rect("10", "12", Tue), rect("10", "12", Wed)})
        << true;
    QTest::newRow("Escape during the drag puts the cells back")
        << true << document({rect("9", "17", Mon)}) << false;
}

void WeekGridTest::escapeCancelsADrag()
{
    QFETCH(bool, escape);
    QFETCH(QString, expected);
    QFETCH(bool, canUndo);

    const QString start = document({rect("9", "17", Mon)});
    m_grid->setProperty("document", start);
    QSignalSpy edited(m_grid, SIGNAL(edited()));
    QTest::mousePress(m_window.get(), Qt::LeftButton, {}, cellCentre(Tue, 20));
    QTest::mouseMove(m_window.get(), cellCentre(Wed, 22));
    QTest::mouseMove(m_window.get(), cellCentre(Wed, 23));
    QVERIFY(gridDocument() != start);
    if (escape)
        QTest::keyClick(m_window.get(), Qt::Key_Escape);
    // The pointer goes on moving before the button is let go.
    QTest::mouseMove(m_window.get(), cellCentre(Wed, 23));
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, cellCentre(Wed, 23));
    QCOMPARE(gridDocument(), expected);
    QCOMPARE(m_grid->property("canUndo").toBool(), canUndo);
    QCOMPARE(edited.size(), canUndo ? 1 : 0);
}

void WeekGridTest::escapeDropsAMarkedBlock()
{
    QVERIFY(tabToGrid());
    key("Shift+Down, Shift+Down, Escape");
    QCOMPARE(m_grid->property("marking").toBool(), false);
    // Space now toggles the cursor's cell (Monday 10:00) alone.
    key("Space");
    QCOMPARE(gridDocument(), document({rect("10", "10.5", Mon)}));
}

void WeekGridTest::undoAndRedoKeys_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("canRedo");

    // Before the keys: Monday 09:00 clicked, then Tuesday's header clicked.
    const QString both = document({rect("9", "9.5", Mon), rect("0", "24", Tue)});
    QTest::newRow("Ctrl+Z takes back the header click")
        << "Ctrl+Z" << document({rect("9", "9.5", Mon)}) << true;
    QTest::newRow("Ctrl+Z twice takes back the cell click too")
        << "Ctrl+Z, Ctrl+Z" << document({}) << true;
    QTest::newRow("Ctrl+Shift+Z puts the header click back")
        << "Ctrl+Z, Ctrl+Shift+Z" << both << false;
    QTest::newRow("Ctrl+Y puts it back too") << "Ctrl+Z, Ctrl+Y" << both << false;
    QTest::newRow("Space after undo leaves nothing to redo")
        << "Ctrl+Z, Space" << document({}) << false;
}

void WeekGridTest::undoAndRedoKeys()
{
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    QFETCH(bool, canRedo);

    QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, cellCentre(Mon, 18));
    QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, itemCentre("dayHeader2"));
    QVERIFY(m_grid->hasActiveFocus());
    key(keys);
    QCOMPARE(gridDocument(), expected);
    QCOMPARE(m_grid->property("canRedo").toBool(), canRedo);
}

void WeekGridTest::loadingIsNotAnEdit()
{
    QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, cellCentre(Mon, 18));
    QVERIFY(m_grid->property("canUndo").toBool());
    QSignalSpy edited(m_grid, SIGNAL(edited()));
    const QString loaded = document({rect("12", "13", Wed)});
    m_grid->setProperty("document", loaded);
    QCOMPARE(edited.size(), 0);
    QCOMPARE(m_grid->property("canUndo").toBool(), false);
    key("Ctrl+Z");
    QCOMPARE(gridDocument(), loaded);
}

void WeekGridTest::functionsEditTheWeek_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<QVariant>("result"); // invalid for functions that return nothing
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("edits");

    const QString monday = rect("9", "12", Mon);
    QStringList office;
    for (int day = Mon; day <= Fri; ++day)
        office << rect("9", "17", day);
    QStringList nineOClock;
    for (int day = Sun; day <= Sat; ++day)
        nineOClock << rect("9", "10", day);
    QTest::newRow("applyPreset puts in office hours")
        << document({monday}) << "applyPreset" << QVariantList {"office"} << QVariant(true)
        << document(office) << 1;
    QTest::newRow("applyPreset refuses an unknown name")
        << document({monday}) << "applyPreset" << QVariantList {"lunch"} << QVariant(false)
        << document({monday}) << 0;
    QTest::newRow("copyDay takes a list of days")
        << document({monday}) << "copyDay" << QVariantList {Mon, QVariantList {Tue, Fri}}
        << QVariant() << document({monday, rect("9", "12", Tue), rect("9", "12", Fri)}) << 1;
    QTest::newRow("fillDay fills Wednesday")
        << document({monday}) << "fillDay" << QVariantList {Wed} << QVariant()
        << document({monday, rect("0", "24", Wed)}) << 1;
    QTest::newRow("fillHour empties 09:00 to 10:00 when it is full")
        << document(nineOClock) << "fillHour" << QVariantList {9} << QVariant() << document({})
        << 1;
    QTest::newRow("paintRange paints a typed range")
        << document({monday}) << "paintRange" << QVariantList {"Sat 22:00-24:00"} << QVariant(true)
        << document({monday, rect("22", "24", Sat)}) << 1;
    QTest::newRow("paintRange refuses bad text")
        << document({monday}) << "paintRange" << QVariantList {"Sat 22:00"} << QVariant(false)
        << document({monday}) << 0;
    QTest::newRow("clear empties the week")
        << document({monday}) << "clear" << QVariantList {} << QVariant() << document({}) << 1;
}

void WeekGridTest::functionsEditTheWeek()
{
    QFETCH(QString, start);
    QFETCH(QString, function);
    QFETCH(QVariantList, arguments);
    QFETCH(QVariant, result);
    QFETCH(QString, expected);
    QFETCH(int, edits);

    m_grid->setProperty("document", start);
    QSignalSpy edited(m_grid, SIGNAL(edited()));
    QVariant returned;
    const QByteArray name = function.toLatin1();
    bool called = false;
    switch (arguments.size()) {
    case 0:
        called = QMetaObject::invokeMethod(m_grid, name, Q_RETURN_ARG(QVariant, returned));
        break;
    case 1:
        called = QMetaObject::invokeMethod(m_grid, name, Q_RETURN_ARG(QVariant, returned),
                                           Q_ARG(QVariant, arguments[0]));
        break;
    default:
        called = QMetaObject::invokeMethod(m_grid, name, Q_RETURN_ARG(QVariant, returned),
                                           Q_ARG(QVariant, arguments[0]),
                                           Q_ARG(QVariant, arguments[1]));
    }
    QVERIFY(called);
    QCOMPARE(returned, result);
    QCOMPARE(gridDocument(), expected);
    QCOMPARE(edited.size(), edits);
    // An edit is one step: a single undo goes back to the start.
    QVERIFY(QMetaObject::invokeMethod(m_grid, "undo"));
    QCOMPARE(gridDocument(), start);
    QCOMPARE(m_grid->property("canUndo").toBool(), false);
}

void WeekGridTest::cursorIsDescribed_data()
{
    QTest::addColumn<QString>("keys"); // from the start on Monday 09:00
    QTest::addColumn<QString>("description");

    QTest::newRow("a painted Monday 09:00 is scheduled") << ""
                                                         << "Monday 09:00 to 09:30, scheduled";
    QTest::newRow("Monday 08:30 above it is not scheduled")
        << "Up"
        << "Monday 08:30 to 09:00, not scheduled";
    QTest::newRow("Tuesday beside it is not scheduled") << "Right"
                                                        << "Tuesday 09:00 to 09:30, not scheduled";
    QTest::newRow("the last half hour ends at 24:00") << "End"
                                                      << "Monday 23:30 to 24:00, not scheduled";
    QTest::newRow("a cell painted with Space becomes scheduled")
        << "Home, Space"
        << "Monday 00:00 to 00:30, scheduled";
    QTest::newRow("a cell erased with Space becomes not scheduled")
        << "Space"
        << "Monday 09:00 to 09:30, not scheduled";
}

void WeekGridTest::cursorIsDescribed()
{
    QFETCH(QString, keys);
    QFETCH(QString, description);

    m_grid->setProperty("document", document({rect("9", "17", Mon)}));
    QVERIFY(tabToGrid());
    if (!keys.isEmpty())
        key(keys);
    QCOMPARE(m_grid->property("cursorDescription").toString(), description);
    // What assistive technology reads: the grid's description, and its focused cell.
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(m_grid);
    QVERIFY(grid);
    QCOMPARE(grid->role(), QAccessible::Table);
    QCOMPARE(grid->text(QAccessible::Name), "Weekly schedule");
    QCOMPARE(grid->text(QAccessible::Description), description);
    QAccessibleInterface* cell = findRole(grid, QAccessible::Cell);
    QVERIFY(cell);
    QVERIFY(cell->state().focused);
    QCOMPARE(cell->role(), QAccessible::Cell);
    QCOMPARE(cell->text(QAccessible::Name), description);
}

void WeekGridTest::labelsAreNamedButtons_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("name");

    QTest::newRow("Sunday's header is Fill Sunday") << "dayHeader0"
                                                    << "Fill Sunday";
    QTest::newRow("Monday's header is Fill Monday") << "dayHeader1"
                                                    << "Fill Monday";
    QTest::newRow("the 00:00 label is Fill 00:00 hour") << "hourLabel0"
                                                        << "Fill 00:00 hour";
    QTest::newRow("the 09:00 label is Fill 09:00 hour") << "hourLabel9"
                                                        << "Fill 09:00 hour";
    QTest::newRow("the 23:00 label is Fill 23:00 hour") << "hourLabel23"
                                                        << "Fill 23:00 hour";
}

void WeekGridTest::labelsAreNamedButtons()
{
    QFETCH(QString, label);
    QFETCH(QString, name);

    auto* item = findItem(m_grid, label);
    QVERIFY(item);
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(item);
    QVERIFY(button);
    QCOMPARE(button->role(), QAccessible::Button);
    QCOMPARE(button->text(QAccessible::Name), name);
    QVERIFY(button->actionInterface());
    QVERIFY(button->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));
}

void WeekGridTest::captionNamesTheHoveredCell_data()
{
    QTest::addColumn<int>("day"); // -1: beside the board
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("caption");

    QTest::newRow("Thursday 15:00 is named while hovered") << 4 << 30 << "Thursday 15:00 to 15:30";
    QTest::newRow("Sunday 23:30 is named while hovered") << Sun << 47 << "Sunday 23:30 to 24:00";
    QTest::newRow("beside the board the caption says how to paint")
        << -1 << 0 << "Drag to paint; drag from a painted cell to erase";
}

void WeekGridTest::captionNamesTheHoveredCell()
{
    QFETCH(int, day);
    QFETCH(int, row);
    QFETCH(QString, caption);

    m_grid->setProperty("document", document({rect("9", "17", Mon)}));
    const QPoint beside = m_grid->mapToScene(QPointF(5, m_grid->height() / 2)).toPoint();
    QTest::mouseMove(m_window.get(), beside);
    QTest::mouseMove(m_window.get(), day < 0 ? beside : cellCentre(day, row));
    QCOMPARE(findItem(m_grid, "hint")->property("text").toString(), caption);
    // The weekly total stays in view.
    QCOMPARE(findItem(m_grid, "counter")->property("text").toString(), "8 hours a week");
}

void WeekGridTest::textIsReadable_data()
{
    QTest::addColumn<QString>("label");

    QTest::newRow("the day headers") << "dayHeader1";
    QTest::newRow("the hour labels") << "hourLabel9";
    QTest::newRow("the hours counter") << "counter";
    QTest::newRow("the hint") << "hint";
}

void WeekGridTest::textIsReadable()
{
    QFETCH(QString, label);

    auto* item = findItem(m_grid, label);
    QVERIFY(item);
    // A button draws its text in its content item.
    QObject* text = item->property("contentItem").value<QQuickItem*>();
    if (!text)
        text = item;
    const QColor colour = text->property("color").value<QColor>();
    auto* palette = m_grid->property("palette").value<QObject*>();
    QVERIFY(palette);
    const QColor window = palette->property("window").value<QColor>();
    QVERIFY2(
        contrast(colour, window) >= 4.5,
        qPrintable(QStringLiteral("%1 on %2").arg(colour.name(QColor::HexArgb), window.name())));
}

void WeekGridTest::cellsFitTheGivenSize_data()
{
    QTest::addColumn<QString>("size"); // "minimum", "implicit" or "<width>x<height>"

    QTest::newRow("at its minimum size") << "minimum";
    QTest::newRow("at its implicit size") << "implicit";
    QTest::newRow("in 360 by 400") << "360x400";
    QTest::newRow("in 900 by 700") << "900x700";
}

void WeekGridTest::cellsFitTheGivenSize()
{
    QFETCH(QString, size);

    QSizeF given;
    if (size == "minimum")
        given = {m_grid->property("minimumWidth").toReal(),
                 m_grid->property("minimumHeight").toReal()};
    else if (size == "implicit")
        given = {m_grid->implicitWidth(), m_grid->implicitHeight()};
    else
        given = {size.section('x', 0, 0).toDouble(), size.section('x', 1, 1).toDouble()};
    m_window->resize(int(given.width()) + 20, int(given.height()) + 60);
    m_grid->setSize(given);

    QVERIFY(m_grid->property("cellWidth").toReal() >= 6);
    QVERIFY(m_grid->property("cellHeight").toReal() >= 6);
    const QRectF bounds(0, 0, given.width(), given.height());
    QVariant lastCell;
    QMetaObject::invokeMethod(m_grid, "cellRect", Q_RETURN_ARG(QVariant, lastCell),
                              Q_ARG(QVariant, Sat), Q_ARG(QVariant, 47));
    QVERIFY(bounds.contains(lastCell.toRectF()));
    for (const char* name : {"counter", "hint", "hourLabel23", "dayHeader6"}) {
        const auto* item = findItem(m_grid, QLatin1String(name));
        QVERIFY(item);
        if (!item->isVisible())
            continue; // left out for want of room
        const QRectF box = item->mapRectToItem(m_grid, QRectF(0, 0, item->width(), item->height()));
        QVERIFY2(bounds.contains(box), name);
    }
    if (size == "minimum") {
        // The minimum is no larger than it needs to be.
        QCOMPARE(m_grid->property("cellWidth").toReal(), 6);
        QCOMPARE(m_grid->property("cellHeight").toReal(), 6);
    }
}

void WeekGridTest::cellsStopShrinkingAtSixPixels_data()
{
    QTest::addColumn<QSizeF>("given");

    QTest::newRow("squeezed below the minimum height") << QSizeF(480, 250);
    QTest::newRow("squeezed below the minimum width") << QSizeF(80, 470);
}

void WeekGridTest::cellsStopShrinkingAtSixPixels()
{
    QFETCH(QSizeF, given);

    m_grid->setSize(given);
    const bool narrow = given.width() < m_grid->property("minimumWidth").toReal();
    // The squeezed side stays at six pixels; the other one keeps using the room it has.
    QCOMPARE(m_grid->property(narrow ? "cellWidth" : "cellHeight").toReal(), 6);
    QVERIFY(m_grid->property(narrow ? "cellHeight" : "cellWidth").toReal() > 6);
}

QTEST_MAIN(WeekGridTest)
#include "tst_weekgrid.moc"
