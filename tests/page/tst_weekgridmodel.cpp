// SPDX-License-Identifier: BSD-3-Clause

#include "WeekGridModel.h"

#include "GridDocuments.h"

#include <QtTest>

namespace {

using namespace GridDocuments;

QStringList days(const char* top, const char* bottom, int first = Sun, int last = Sat)
{
    QStringList rectangles;
    for (int day = first; day <= last; ++day)
        rectangles << rect(top, bottom, day);
    return rectangles;
}

// The document every history row loads with "load".
const QString Loaded = document({rect("12", "13", Wed)});

// Runs one step written as words: "paint <typed range>", "preset <name>", "copy <from> <to>...",
// "fillDay <day>", "fillHour <hour>", "clear", "undo", "redo", "load", "begin <day> <row>",
// "extend <day> <row>", "end", "cancel".
void run(WeekGridModel* model, const QString& step)
{
    const QStringList words = step.split(' ');
    const auto number = [&words](int i) { return words.value(i).toInt(); };
    if (words[0] == "paint")
        model->paintRange(step.section(' ', 1));
    else if (words[0] == "preset")
        model->applyPreset(words.value(1));
    else if (words[0] == "copy")
        model->copyDay(number(1), [&] {
            QList<int> to;
            for (int i = 2; i < words.size(); ++i)
                to << number(i);
            return to;
        }());
    else if (words[0] == "fillDay")
        model->fillDay(number(1));
    else if (words[0] == "fillHour")
        model->fillHour(number(1));
    else if (words[0] == "clear")
        model->clear();
    else if (words[0] == "undo")
        model->undo();
    else if (words[0] == "redo")
        model->redo();
    else if (words[0] == "load")
        model->setDocument(Loaded);
    else if (words[0] == "begin")
        model->beginStroke(number(1), number(2));
    else if (words[0] == "extend")
        model->extendStroke(number(1), number(2));
    else if (words[0] == "end")
        model->endStroke();
    else if (words[0] == "cancel")
        model->cancelStroke();
    else
        QFAIL(qPrintable("unknown step " + step));
}

} // namespace

class WeekGridModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void documentReadsBack_data();
    void documentReadsBack();
    void editChangesTheCells_data();
    void editChangesTheCells();
    void history_data();
    void history();
};

void WeekGridModelTest::documentReadsBack_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("count"); // of the selected half-hour cells
    QTest::addColumn<QString>("output"); // reading it back changes nothing

    QTest::newRow("half hours read back unchanged")
        << document({rect("9.5", "10", Wed), rect("22", "24", Sat)}) << 5
        << document({rect("9.5", "10", Wed), rect("22", "24", Sat)});
    QTest::newRow("quarter hours take every half hour they touch")
        << document({rect("9.25", "10.25", Thu)}) << 3 << document({rect("9", "10.5", Thu)});
    QTest::newRow("a rectangle over two days is written one day at a time")
        << R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":3}]})" << 32
        << document({rect("9", "17", Mon), rect("9", "17", Tue)});
    QTest::newRow("unreadable text empties the grid") << "Rectangles: none" << 0 << document({});
}

void WeekGridModelTest::documentReadsBack()
{
    QFETCH(QString, input);
    QFETCH(int, count);
    QFETCH(QString, output);

    WeekGridModel model;
    model.setDocument(document({rect("0", "24", Sun)})); // the input replaces this
    model.setDocument(input);
    QCOMPARE(model.selectedCount(), count);
    QCOMPARE(model.document(), output);
    WeekGridModel copy;
    copy.setDocument(output);
    QCOMPARE(copy.document(), output);
}

void WeekGridModelTest::editChangesTheCells_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("step"); // for run()
    QTest::addColumn<QString>("expected");

    QStringList nights;
    for (int day = Sun; day <= Sat; ++day)
        nights << rect("0", "6", day) << rect("22", "24", day);
    const QString tuesday = rect("0", "24", Tue);
    const QString monday = rect("13", "14", Mon);
    QTest::newRow("office hours are Monday to Friday from 09:00 to 17:00")
        << Loaded << "preset office" << document(days("9", "17", Mon, Fri));
    QTest::newRow("nights run from 22:00 to 06:00, Saturday's on into Sunday")
        << Loaded << "preset nights" << document(nights);
    QTest::newRow("copyDay replaces Tuesday's cells and skips days outside the week")
        << document({rect("9", "12", Mon), rect("14", "16", Tue)}) << "copy 1 2 7"
        << document({rect("9", "12", Mon), rect("9", "12", Tue)});
    QTest::newRow("copyDay onto the day itself changes nothing")
        << document({monday}) << "copy 1 1" << document({monday});
    QTest::newRow("fillDay fills a Tuesday missing only its last half hour")
        << document({rect("0", "23.5", Tue)}) << "fillDay 2" << document({tuesday});
    QTest::newRow("fillDay empties a full Tuesday and keeps Monday")
        << document({monday, tuesday}) << "fillDay 2" << document({monday});
    QTest::newRow("fillHour fills an hour full only on Sunday on the other days")
        << document({rect("9", "10", Sun)}) << "fillHour 9" << document(days("9", "10"));
    QTest::newRow("fillHour empties an hour full on every day")
        << document(days("9", "10")) << "fillHour 9" << document({});
    QTest::newRow("clear empties the grid") << document({monday}) << "clear" << document({});
    QTest::newRow("paintRange adds a range starting on the half hour")
        << document({monday}) << "paint Mon 08:30-12:00"
        << document({rect("8.5", "12", Mon), monday});
    QTest::newRow("paintRange reads 24:00, lower case, one-digit hours and spaces")
        << document({monday}) << "paint  sat 0:00 - 24:00 "
        << document({monday, rect("0", "24", Sat)});
    QTest::newRow("paintRange refuses a quarter hour")
        << document({monday}) << "paint Mon 08:15-12:00" << document({monday});
    // The rest of the typed text's rules are the client's WeekSchedule tests.
    QTest::newRow("paintRange paints a range of days")
        << document({}) << "paint Mon-Wed 18:00-19:00"
        << document({rect("18", "19", Mon), rect("18", "19", Tue), rect("18", "19", Wed)});
}

void WeekGridModelTest::editChangesTheCells()
{
    QFETCH(QString, start);
    QFETCH(QString, step);
    QFETCH(QString, expected);

    WeekGridModel model;
    model.setDocument(start);
    QSignalSpy edited(&model, &WeekGridModel::edited);
    run(&model, step);
    QCOMPARE(model.document(), expected);
    // Only an edit that changes something is a step to undo.
    QCOMPARE(model.canUndo(), expected != start);
    QCOMPARE(edited.size(), expected != start ? 1 : 0);
}

void WeekGridModelTest::history_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("canUndo");
    QTest::addColumn<bool>("canRedo");
    QTest::addColumn<int>("edits"); // edited() signals

    const QString a = "paint Mon 09:00-10:00";
    const QString b = "paint Tue 14:00-15:00";
    const QString onlyA = document({rect("9", "10", Mon)});
    QTest::newRow("undo twice and redo once gives the first edit back")
        << QStringList {a, b, "undo", "undo", "redo"} << onlyA << true << true << 5;
    QTest::newRow("a new edit after undo drops what could be redone")
        << QStringList {a, "undo", b, "redo"} << document({rect("14", "15", Tue)}) << true << false
        << 3;
    QTest::newRow("loading a document empties the history and is no edit")
        << QStringList {a, b, "undo", "load"} << Loaded << false << false << 3;
    QTest::newRow("a whole stroke is one step, signalled when it ends")
        << QStringList {a, "begin 3 10", "extend 3 12", "extend 4 14", "end", "undo"} << onlyA
        << true << true << 3;
    QTest::newRow("a cancelled stroke restores the cells and ignores the rest of the drag")
        << QStringList {"load", "begin 2 10", "extend 4 20", "cancel", "extend 6 3", "end"}
        << Loaded << false << false << 0;
    // One edit past the cap: the oldest is dropped, so undoing everything stops after the
    // first edit, at a full hour, with as many undo steps as the cap allows.
    QStringList pastTheCap(WeekGridModel::MaxUndoSteps + 1, "fillHour 9");
    pastTheCap += QStringList(WeekGridModel::MaxUndoSteps + 1, "undo");
    QTest::newRow("the history keeps the latest edits up to its cap")
        << pastTheCap << document(days("9", "10")) << false << true
        << 2 * WeekGridModel::MaxUndoSteps + 1;
}

void WeekGridModelTest::history()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    QFETCH(bool, canUndo);
    QFETCH(bool, canRedo);
    QFETCH(int, edits);

    WeekGridModel model;
    // What a binding on canUndo and canRedo last heard, starting from an empty history.
    bool heardUndo = false;
    bool heardRedo = false;
    connect(&model, &WeekGridModel::historyChanged, this, [&] {
        heardUndo = model.canUndo();
        heardRedo = model.canRedo();
    });
    QSignalSpy edited(&model, &WeekGridModel::edited);
    for (const QString& step : steps)
        run(&model, step);
    QCOMPARE(model.document(), expected);
    QCOMPARE(model.canUndo(), canUndo);
    QCOMPARE(model.canRedo(), canRedo);
    QCOMPARE(heardUndo, canUndo);
    QCOMPARE(heardRedo, canRedo);
    QCOMPARE(edited.size(), edits);
}

QTEST_GUILESS_MAIN(WeekGridModelTest)
#include "tst_weekgridmodel.moc"
