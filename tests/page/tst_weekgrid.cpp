#include "GridDocuments.h"

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
        double sum = 0;
        const double alpha = c.alphaF();
        for (const auto& [value, backValue, weight] :
             {std::tuple {c.redF(), back.redF(), 0.2126},
              std::tuple {c.greenF(), back.greenF(), 0.7152},
              std::tuple {c.blueF(), back.blueF(), 0.0722}}) {
            const double v = value * alpha + backValue * (1 - alpha);
            sum += weight * (v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
        return sum;
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
    void keyboardMarksAndPaintsFromTheAnchor();
    void labelClicksFillDaysAndHours_data();
    void labelClicksFillDaysAndHours();
    void dragIsOneUndoStep();
    void escapeCancelsADrag();
    void undoAndRedoKeys_data();
    void undoAndRedoKeys();
    void cursorIsDescribed_data();
    void cursorIsDescribed();
    void labelsAreNamedAndReadable_data();
    void labelsAreNamedAndReadable();

private:
    QPoint cellCentre(int day, int row) const;
    QPoint itemCentre(const QString& objectName) const;
    QString gridDocument() const { return m_grid->property("document").toString(); }
    void key(const QString& keys);
    // From Tuesday 10:00 to Wednesday 11:30 over a Monday 09:00 to 17:00, not let go yet.
    void startDrag();

    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickWindow> m_window;
    std::unique_ptr<QQuickItem> m_grid;
};

void WeekGridTest::init()
{
    m_engine = std::make_unique<QQmlEngine>();
    m_engine->addImportPath(QStringLiteral("qrc:/"));
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

QPoint WeekGridTest::itemCentre(const QString& objectName) const
{
    const auto* item = findItem(m_grid.get(), objectName);
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

void WeekGridTest::startDrag()
{
    m_grid->setProperty("document", document({rect("9", "17", Mon)}));
    QTest::mousePress(m_window.get(), Qt::LeftButton, {}, cellCentre(Tue, 20));
    QTest::mouseMove(m_window.get(), cellCentre(Wed, 22));
    QTest::mouseMove(m_window.get(), cellCentre(Wed, 23));
}

void WeekGridTest::keyboardMarksAndPaintsFromTheAnchor()
{
    m_grid->forceActiveFocus(Qt::TabFocusReason);
    // The cursor starts on Monday 09:00; mark to Tuesday 11:30 and paint.
    key("Shift+Right, Shift+Down, Shift+Down, Shift+Down, Shift+Down, Shift+Down, Space");
    QCOMPARE(gridDocument(), document({rect("9", "12", Mon), rect("9", "12", Tue)}));

    // From Monday 11:00 (painted) down to 12:30 (empty): the painted first corner erases.
    key("Ctrl+Left, Up, Shift+Down, Shift+Down, Shift+Down, Space");
    QCOMPARE(gridDocument(), document({rect("9", "11", Mon), rect("9", "12", Tue)}));
}

void WeekGridTest::labelClicksFillDaysAndHours_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("expected"); // clicked over a Monday 09:00 to 09:30

    QTest::newRow("Monday's header fills Monday only")
        << "dayHeader1" << document({rect("0", "24", Mon)});
    QStringList nineOClock;
    for (int day = Sun; day <= Sat; ++day)
        nineOClock << rect("9", "10", day);
    QTest::newRow("the 09:00 label fills 09:00 to 10:00 on every day")
        << "hourLabel9" << document(nineOClock);
}

void WeekGridTest::labelClicksFillDaysAndHours()
{
    QFETCH(QString, label);
    QFETCH(QString, expected);

    m_grid->setProperty("document", document({rect("9", "9.5", Mon)}));
    QSignalSpy edited(m_grid.get(), SIGNAL(edited()));
    const QPoint centre = itemCentre(label);
    QVERIFY(!centre.isNull());
    QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, centre);
    QCOMPARE(gridDocument(), expected);
    QCOMPARE(edited.size(), 1);
}

void WeekGridTest::dragIsOneUndoStep()
{
    QSignalSpy edited(m_grid.get(), SIGNAL(edited()));
    startDrag();
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, cellCentre(Wed, 23));
    QCOMPARE(gridDocument(),
             document({rect("9", "17", Mon), rect("10", "12", Tue), rect("10", "12", Wed)}));
    QCOMPARE(edited.size(), 1);
    key("Ctrl+Z");
    QCOMPARE(gridDocument(), document({rect("9", "17", Mon)}));
    QCOMPARE(m_grid->property("canUndo").toBool(), false);
}

void WeekGridTest::escapeCancelsADrag()
{
    QSignalSpy edited(m_grid.get(), SIGNAL(edited()));
    startDrag();
    QVERIFY(gridDocument() != document({rect("9", "17", Mon)}));
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    // The pointer goes on moving before the button is let go.
    QTest::mouseMove(m_window.get(), cellCentre(Thu, 30));
    QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, cellCentre(Thu, 30));
    QCOMPARE(gridDocument(), document({rect("9", "17", Mon)}));
    QCOMPARE(m_grid->property("canUndo").toBool(), false);
    QCOMPARE(edited.size(), 0);
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
    QTest::newRow("Ctrl+Shift+Z puts the header click back")
        << "Ctrl+Z, Ctrl+Shift+Z" << both << false;
    QTest::newRow("Ctrl+Y puts it back too") << "Ctrl+Z, Ctrl+Y" << both << false;
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

void WeekGridTest::cursorIsDescribed_data()
{
    QTest::addColumn<QString>("keys"); // from the start on Monday 09:00, over Monday 9 to 17
    QTest::addColumn<QString>("description");

    QTest::newRow("a painted Monday 09:30 is scheduled") << "Down"
                                                         << "Monday 09:30 to 10:00, scheduled";
    QTest::newRow("Tuesday beside it is not scheduled") << "Right"
                                                        << "Tuesday 09:00 to 09:30, not scheduled";
    QTest::newRow("a cell erased with Space becomes not scheduled")
        << "Space"
        << "Monday 09:00 to 09:30, not scheduled";
}

void WeekGridTest::cursorIsDescribed()
{
    QFETCH(QString, keys);
    QFETCH(QString, description);

    m_grid->setProperty("document", document({rect("9", "17", Mon)}));
    m_grid->forceActiveFocus(Qt::TabFocusReason);
    key(keys);
    // What assistive technology reads.
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(m_grid.get());
    QVERIFY(grid);
    QCOMPARE(grid->text(QAccessible::Description), description);
}

void WeekGridTest::labelsAreNamedAndReadable_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("name");

    QTest::newRow("Sunday's header is Fill Sunday") << "dayHeader0"
                                                    << "Fill Sunday";
    QTest::newRow("the 09:00 label is Fill 09:00 hour") << "hourLabel9"
                                                        << "Fill 09:00 hour";
}

void WeekGridTest::labelsAreNamedAndReadable()
{
    QFETCH(QString, label);
    QFETCH(QString, name);

    auto* item = findItem(m_grid.get(), label);
    QVERIFY(item);
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(item);
    QVERIFY(button);
    QCOMPARE(button->role(), QAccessible::Button);
    QCOMPARE(button->text(QAccessible::Name), name);
    // A button draws its text in its content item.
    auto* text = item->property("contentItem").value<QQuickItem*>();
    QVERIFY(text);
    const QColor colour = text->property("color").value<QColor>();
    auto* palette = m_grid->property("palette").value<QObject*>();
    QVERIFY(palette);
    const QColor window = palette->property("window").value<QColor>();
    QVERIFY2(
        contrast(colour, window) >= 4.5,
        qPrintable(QStringLiteral("%1 on %2").arg(colour.name(QColor::HexArgb), window.name())));
}

QTEST_MAIN(WeekGridTest)
#include "tst_weekgrid.moc"
