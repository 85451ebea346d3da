#include "WeekGridModel.h"

#include <QtTest>

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

// The document every history row loads with "load".
QString loadedDocument()
{
    return document({rect("12", "13", Wed)});
}

// Runs one edit written as words: "paint <typed range>", "toggle <day> <row>",
// "range <day> <row> <day> <row> <0|1>", "preset <name>", "copy <from> <to>...",
// "fillDay <day>", "fillHour <hour>", "clear", "undo", "redo", "load", "begin <day> <row>",
// "extend <day> <row>", "end", "cancel".
void run(WeekGridModel* model, const QString& step)
{
    const QStringList words = step.split(' ');
    const QString& op = words[0];
    const auto number = [&words](int i) { return words.value(i).toInt(); };
    if (op == "paint")
        model->paintRange(step.section(' ', 1));
    else if (op == "toggle")
        model->toggle(number(1), number(2));
    else if (op == "range")
        model->setRange(number(1), number(2), number(3), number(4), number(5) != 0);
    else if (op == "preset")
        model->applyPreset(words.value(1));
    else if (op == "copy")
        model->copyDay(number(1), [&] {
            QList<int> to;
            for (int i = 2; i < words.size(); ++i)
                to.append(number(i));
            return to;
        }());
    else if (op == "fillDay")
        model->fillDay(number(1));
    else if (op == "fillHour")
        model->fillHour(number(1));
    else if (op == "clear")
        model->clear();
    else if (op == "undo")
        model->undo();
    else if (op == "redo")
        model->redo();
    else if (op == "load")
        model->setDocument(loadedDocument());
    else if (op == "begin")
        model->beginStroke(number(1), number(2));
    else if (op == "extend")
        model->extendStroke(number(1), number(2));
    else if (op == "end")
        model->endStroke();
    else if (op == "cancel")
        model->cancelStroke();
    else
        QFAIL(qPrintable("unknown step " + step));
}

} // namespace

class WeekGridModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void documentAndCells_data();
    void documentAndCells();
    void presetDocument_data();
    void presetDocument();
    void presetBoundaries_data();
    void presetBoundaries();
    void copyDay_data();
    void copyDay();
    void fillDayTogglesTheDay_data();
    void fillDayTogglesTheDay();
    void fillHourTogglesTheHour_data();
    void fillHourTogglesTheHour();
    void paintRange_data();
    void paintRange();
    void undoRedo_data();
    void undoRedo();
    void editedOnlyForUserEdits_data();
    void editedOnlyForUserEdits();
    void cancelledStrokeRestoresCells_data();
    void cancelledStrokeRestoresCells();
};

void WeekGridModelTest::documentAndCells_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("edits"); // steps for run()
    QTest::addColumn<int>("count"); // of the selected half-hour cells
    QTest::addColumn<QString>("output"); // the document written; reading it back changes nothing

    const QString monday = document({rect("9", "17", Mon)});
    const QString workdays
        = document({rect("9", "17", Mon), rect("9", "17", Tue), rect("9", "17", Wed),
                    rect("9", "17", Thu), rect("9", "17", Fri)});
    QTest::newRow("a Monday from 9 to 17 reads back unchanged")
        << monday << QStringList() << 16 << monday;
    QTest::newRow("half hours read back unchanged")
        << document({rect("9.5", "10", Wed), rect("22", "24", Sat)}) << QStringList() << 5
        << document({rect("9.5", "10", Wed), rect("22", "24", Sat)});
    QTest::newRow("quarter hours take every half hour they touch")
        << document({rect("9.25", "10.25", Thu)}) << QStringList() << 3
        << document({rect("9", "10.5", Thu)});
    QTest::newRow("a rectangle over several days is written one day at a time")
        << R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":6}]})" << QStringList() << 80
        << workdays;
    QTest::newRow("rectangles beyond Saturday are dropped")
        << document({rect("0", "24", Sat), rect("0", "0", 7)}) << QStringList() << 48
        << document({rect("0", "24", Sat)});
    QTest::newRow("unreadable text empties the grid")
        << "Rectangles: none" << QStringList() << 0 << document({});
    // From Friday 16:30 up and left to Monday 09:00.
    QTest::newRow("a painted block is written as one rectangle per day")
        << document({}) << QStringList {"range 5 33 1 18 1"} << 80 << workdays;
    // Monday 13:00 to 13:30.
    QTest::newRow("erasing one cell splits a run in two")
        << monday << QStringList {"toggle 1 26"} << 15
        << document({rect("9", "13", Mon), rect("13.5", "17", Mon)});
    QTest::newRow("a stroke from an empty cell paints the block to the pointer")
        << document({}) << QStringList {"begin 2 20", "extend 3 23", "end"} << 8
        << document({rect("10", "12", Tue), rect("10", "12", Wed)});
    QTest::newRow("a stroke from a painted cell erases")
        << monday << QStringList {"begin 1 18", "extend 1 21", "end"} << 12
        << document({rect("11", "17", Mon)});
    QTest::newRow("a stroke dragged back shrinks again")
        << document({}) << QStringList {"begin 2 20", "extend 2 30", "extend 2 21", "end"} << 2
        << document({rect("10", "11", Tue)});
}

void WeekGridModelTest::documentAndCells()
{
    QFETCH(QString, input);
    QFETCH(QStringList, edits);
    QFETCH(int, count);
    QFETCH(QString, output);

    WeekGridModel model;
    model.setDocument(document({rect("0", "24", Sun)})); // the input replaces this
    model.setDocument(input);
    for (const QString& step : edits)
        run(&model, step);

    QCOMPARE(model.selectedCount(), count);
    QCOMPARE(model.document(), output);
    WeekGridModel copy;
    copy.setDocument(output);
    QCOMPARE(copy.document(), output);
}

void WeekGridModelTest::presetDocument_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("expected");

    QStringList office;
    for (int day = Mon; day <= Fri; ++day)
        office << rect("9", "17", day);
    QStringList nights;
    for (int day = Sun; day <= Sat; ++day)
        nights << rect("0", "6", day) << rect("22", "24", day);
    QStringList always;
    for (int day = Sun; day <= Sat; ++day)
        always << rect("0", "24", day);

    QTest::newRow("office is Monday to Friday from 9 to 17")
        << "office" << true << document(office);
    QTest::newRow("nights run from 22:00 to 06:00 every night")
        << "nights" << true << document(nights);
    QTest::newRow("weekends are all of Saturday and Sunday")
        << "weekends" << true << document({rect("0", "24", Sun), rect("0", "24", Sat)});
    QTest::newRow("always is the whole week") << "always" << true << document(always);
    QTest::newRow("none empties the week") << "none" << true << document({});
    QTest::newRow("an unknown name keeps the week as it was")
        << "holidays" << false << document({rect("12", "13", Wed)});
}

void WeekGridModelTest::presetDocument()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    QFETCH(QString, expected);

    WeekGridModel model;
    // Presets replace the week rather than adding to it.
    model.setDocument(document({rect("12", "13", Wed)}));
    QCOMPARE(model.applyPreset(name), accepted);
    QCOMPARE(model.document(), expected);
}

void WeekGridModelTest::presetBoundaries_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("scheduled");

    QTest::newRow("office starts on Monday at 09:00") << "office" << Mon << 18 << true;
    QTest::newRow("office leaves Monday 08:30 free") << "office" << Mon << 17 << false;
    QTest::newRow("office ends with Friday 16:30") << "office" << Fri << 33 << true;
    QTest::newRow("office leaves Friday 17:00 free") << "office" << Fri << 34 << false;
    QTest::newRow("office leaves Saturday free") << "office" << Sat << 20 << false;
    QTest::newRow("Saturday night runs to midnight") << "nights" << Sat << 47 << true;
    QTest::newRow("Saturday night goes on into Sunday 00:00") << "nights" << Sun << 0 << true;
    QTest::newRow("Saturday night ends with Sunday 05:30") << "nights" << Sun << 11 << true;
    QTest::newRow("nights leave Sunday 06:00 free") << "nights" << Sun << 12 << false;
    QTest::newRow("nights leave Saturday 21:30 free") << "nights" << Sat << 43 << false;
    QTest::newRow("weekends leave Friday 23:30 free") << "weekends" << Fri << 47 << false;
    QTest::newRow("weekends include Sunday 00:00") << "weekends" << Sun << 0 << true;
}

void WeekGridModelTest::presetBoundaries()
{
    QFETCH(QString, name);
    QFETCH(int, day);
    QFETCH(int, row);
    QFETCH(bool, scheduled);

    WeekGridModel model;
    QVERIFY(model.applyPreset(name));
    QCOMPARE(model.isSelected(day, row), scheduled);
}

void WeekGridModelTest::copyDay_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("from");
    QTest::addColumn<QList<int>>("to");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("undoable"); // whether the copy changed something

    const QString start = document({rect("9", "12", Mon), rect("14", "16", Tue)});
    QTest::newRow("copying Monday replaces Tuesday's cells and fills Thursday")
        << start << Mon << QList<int> {Tue, Thu}
        << document({rect("9", "12", Mon), rect("9", "12", Tue), rect("9", "12", Thu)}) << true;
    QTest::newRow("copying an empty Sunday clears Tuesday")
        << start << Sun << QList<int> {Tue} << document({rect("9", "12", Mon)}) << true;
    QTest::newRow("days outside the week are skipped")
        << start << Mon << QList<int> {-1, 7, Sat}
        << document({rect("9", "12", Mon), rect("14", "16", Tue), rect("9", "12", Sat)}) << true;
    QTest::newRow("copying a day onto itself changes nothing")
        << start << Mon << QList<int> {Mon} << start << false;
    QTest::newRow("a source day outside the week copies nothing")
        << start << 7 << QList<int> {Mon, Tue} << start << false;
}

void WeekGridModelTest::copyDay()
{
    QFETCH(QString, start);
    QFETCH(int, from);
    QFETCH(QList<int>, to);
    QFETCH(QString, expected);
    QFETCH(bool, undoable);

    WeekGridModel model;
    model.setDocument(start);
    model.copyDay(from, to);
    QCOMPARE(model.document(), expected);
    QCOMPARE(model.canUndo(), undoable);
}

void WeekGridModelTest::fillDayTogglesTheDay_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("expected");

    const QString wednesday = rect("12", "13", Wed);
    QTest::newRow("an empty Tuesday is filled")
        << document({wednesday}) << Tue << document({rect("0", "24", Tue), wednesday});
    QTest::newRow("a partly painted Tuesday is filled")
        << document({rect("8", "9", Tue), wednesday}) << Tue
        << document({rect("0", "24", Tue), wednesday});
    QTest::newRow("Tuesday missing only its last half hour is filled")
        << document({rect("0", "23.5", Tue)}) << Tue << document({rect("0", "24", Tue)});
    QTest::newRow("a full Tuesday is cleared and Wednesday kept")
        << document({rect("0", "24", Tue), wednesday}) << Tue << document({wednesday});
    QTest::newRow("a day outside the week changes nothing")
        << document({wednesday}) << 7 << document({wednesday});
}

void WeekGridModelTest::fillDayTogglesTheDay()
{
    QFETCH(QString, start);
    QFETCH(int, day);
    QFETCH(QString, expected);

    WeekGridModel model;
    model.setDocument(start);
    model.fillDay(day);
    QCOMPARE(model.document(), expected);
}

void WeekGridModelTest::fillHourTogglesTheHour_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("hour");
    QTest::addColumn<QString>("expected");

    const auto everyDay = [](const char* top, const char* bottom) {
        QStringList rectangles;
        for (int day = Sun; day <= Sat; ++day)
            rectangles << rect(top, bottom, day);
        return rectangles;
    };
    QTest::newRow("an empty 09:00 hour is filled on all seven days")
        << document({}) << 9 << document(everyDay("9", "10"));
    QTest::newRow("an hour painted on some days is filled on all")
        << document({rect("9", "10", Mon), rect("9.5", "10", Sat)}) << 9
        << document(everyDay("9", "10"));
    QTest::newRow("an hour full only on Sunday is filled on the other days")
        << document({rect("9", "10", Sun)}) << 9 << document(everyDay("9", "10"));
    QTest::newRow("an hour full only on Saturday is filled on the other days")
        << document({rect("9", "10", Sat)}) << 9 << document(everyDay("9", "10"));
    QTest::newRow("a full 09:00 hour is cleared and the rest of the day kept")
        << document(everyDay("8", "11")) << 9
        << document({rect("8", "9", Sun), rect("10", "11", Sun), rect("8", "9", Mon),
                     rect("10", "11", Mon), rect("8", "9", Tue), rect("10", "11", Tue),
                     rect("8", "9", Wed), rect("10", "11", Wed), rect("8", "9", Thu),
                     rect("10", "11", Thu), rect("8", "9", Fri), rect("10", "11", Fri),
                     rect("8", "9", Sat), rect("10", "11", Sat)});
    QTest::newRow("the 23:00 hour ends at midnight")
        << document({}) << 23 << document(everyDay("23", "24"));
    QTest::newRow("hour 24 does not exist") << document({}) << 24 << document({});
}

void WeekGridModelTest::fillHourTogglesTheHour()
{
    QFETCH(QString, start);
    QFETCH(int, hour);
    QFETCH(QString, expected);

    WeekGridModel model;
    model.setDocument(start);
    model.fillHour(hour);
    QCOMPARE(model.document(), expected);
}

void WeekGridModelTest::paintRange_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("expected"); // painted over a Monday from 13 to 14

    const QString start = rect("13", "14", Mon);
    QTest::newRow("Monday morning is added to the afternoon")
        << "Mon 08:30-12:00" << true << document({rect("8.5", "12", Mon), start});
    QTest::newRow("a range touching the painted hour joins it")
        << "Mon 12:00-13:00" << true << document({rect("12", "14", Mon)});
    QTest::newRow("painting over painted cells keeps them")
        << "Mon 13:00-13:30" << true << document({start});
    QTest::newRow("24:00 ends a range at midnight")
        << "Sat 22:00-24:00" << true << document({start, rect("22", "24", Sat)});
    QTest::newRow("lower case, one-digit hours and spaces are read")
        << "  wed 0:00 - 0:30 " << true << document({start, rect("0", "0.5", Wed)});
    QTest::newRow("an en dash separates the times too")
        << "Fri 12:00–13:00" << true << document({start, rect("12", "13", Fri)});
    QTest::newRow("a quarter hour is refused") << "Mon 08:15-12:00" << false << document({start});
    QTest::newRow("an end before the start is refused")
        << "Mon 12:00-08:30" << false << document({start});
    QTest::newRow("an empty range is refused") << "Tue 09:00-09:00" << false << document({start});
    QTest::newRow("a time past midnight is refused")
        << "Tue 23:00-24:30" << false << document({start});
    QTest::newRow("hour 25 is refused") << "Tue 25:00-26:00" << false << document({start});
    QTest::newRow("an unknown day is refused") << "Fun 09:00-10:00" << false << document({start});
    QTest::newRow("a full day name is refused")
        << "Monday 09:00-10:00" << false << document({start});
    QTest::newRow("hours without minutes are refused") << "Mon 9-10" << false << document({start});
    QTest::newRow("trailing words are refused")
        << "Mon 09:00-10:00 daily" << false << document({start});
    QTest::newRow("empty text is refused") << "" << false << document({start});
}

void WeekGridModelTest::paintRange()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QString, expected);

    WeekGridModel model;
    model.setDocument(document({rect("13", "14", Mon)}));
    QCOMPARE(model.paintRange(text), accepted);
    QCOMPARE(model.document(), expected);
}

void WeekGridModelTest::undoRedo_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("canUndo");
    QTest::addColumn<bool>("canRedo");

    const QString a = "paint Mon 09:00-10:00";
    const QString b = "paint Tue 14:00-15:00";
    const QString onlyA = document({rect("9", "10", Mon)});
    const QString aAndB = document({rect("9", "10", Mon), rect("14", "15", Tue)});
    QStringList office;
    for (int day = Mon; day <= Fri; ++day)
        office << rect("9", "17", day);

    QTest::newRow("undo takes back the last edit only")
        << QStringList {a, b, "undo"} << onlyA << true << true;
    QTest::newRow("undo twice goes back to the start")
        << QStringList {a, b, "undo", "undo"} << document({}) << false << true;
    QTest::newRow("redo puts an undone edit back")
        << QStringList {a, b, "undo", "undo", "redo"} << onlyA << true << true;
    QTest::newRow("redo after every undo gives the last state")
        << QStringList {a, b, "undo", "undo", "redo", "redo"} << aAndB << true << false;
    QTest::newRow("a new edit after undo drops what could be redone")
        << QStringList {a, "undo", b, "redo"} << document({rect("14", "15", Tue)}) << true << false;
    QTest::newRow("undo with nothing to undo changes nothing")
        << QStringList {"undo"} << document({}) << false << false;
    QTest::newRow("an edit that changes nothing is no step")
        << QStringList {a, a, "undo"} << document({}) << false << true;
    QTest::newRow("a refused range is no step")
        << QStringList {a, "paint Mon 9-10", "undo"} << document({}) << false << true;
    QTest::newRow("loading a document leaves nothing to undo")
        << QStringList {a, b, "load", "undo"} << loadedDocument() << false << false;
    QTest::newRow("loading a document leaves nothing to redo")
        << QStringList {a, "undo", "load", "redo"} << loadedDocument() << false << false;
    QTest::newRow("edits after a load undo back to the loaded document")
        << QStringList {"load", a, "undo"} << loadedDocument() << false << true;
    QTest::newRow("a whole stroke is one step")
        << QStringList {a, "begin 3 10", "extend 3 12", "extend 4 14", "end", "undo"} << onlyA
        << true << true;
    QTest::newRow("two undos after a stroke go back before the edit preceding it")
        << QStringList {a, "begin 3 10", "extend 3 12", "extend 4 14", "end", "undo", "undo"}
        << document({}) << false << true;
    QTest::newRow("a toggle is one step") << QStringList {a, "toggle 1 18", "toggle 1 19", "undo"}
                                          << document({rect("9.5", "10", Mon)}) << true << true;
    QTest::newRow("a cleared week comes back with undo")
        << QStringList {"preset office", "clear", "undo"} << document(office) << true << true;
    QTest::newRow("a preset is undone to what was before")
        << QStringList {a, "preset weekends", "undo"} << onlyA << true << true;
    QTest::newRow("a copied day is undone")
        << QStringList {a, "copy 1 2 3", "undo"} << onlyA << true << true;
    QTest::newRow("a filled day is undone")
        << QStringList {a, "fillDay 1", "undo"} << onlyA << true << true;
    QTest::newRow("a filled hour is undone")
        << QStringList {a, "fillHour 20", "undo"} << onlyA << true << true;
    QTest::newRow("a painted block is redone")
        << QStringList {"range 1 18 2 19 1", "undo", "redo"}
        << document({rect("9", "10", Mon), rect("9", "10", Tue)}) << true << false;
    QTest::newRow("undo during a stroke takes back the stroke")
        << QStringList {a, "begin 3 10", "extend 3 12", "undo"} << onlyA << true << true;
}

void WeekGridModelTest::undoRedo()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    QFETCH(bool, canUndo);
    QFETCH(bool, canRedo);

    WeekGridModel model;
    // What a binding on canUndo and canRedo last heard, starting from an empty history.
    bool heardUndo = false;
    bool heardRedo = false;
    connect(&model, &WeekGridModel::historyChanged, this, [&] {
        heardUndo = model.canUndo();
        heardRedo = model.canRedo();
    });
    for (const QString& step : steps)
        run(&model, step);
    QCOMPARE(model.document(), expected);
    QCOMPARE(model.canUndo(), canUndo);
    QCOMPARE(model.canRedo(), canRedo);
    QCOMPARE(heardUndo, canUndo);
    QCOMPARE(heardRedo, canRedo);
}

void WeekGridModelTest::editedOnlyForUserEdits_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("edits"); // edited() signals

    QTest::newRow("each edit signals once")
        << QStringList {"paint Mon 09:00-10:00", "toggle 2 3", "preset office", "clear"} << 4;
    QTest::newRow("a load is no edit") << QStringList {"load"} << 0;
    QTest::newRow("undo and redo are edits")
        << QStringList {"paint Mon 09:00-10:00", "undo", "redo"} << 3;
    QTest::newRow("undo and redo with nothing to do are no edits")
        << QStringList {"undo", "redo"} << 0;
    QTest::newRow("a stroke signals once, when it ends")
        << QStringList {"begin 1 1", "extend 1 5", "extend 2 5", "end"} << 1;
    QTest::newRow("a cancelled stroke is no edit")
        << QStringList {"begin 1 1", "extend 1 5", "cancel", "end"} << 0;
    QTest::newRow("a refused range is no edit") << QStringList {"paint Mon 10:00-09:00"} << 0;
    QTest::newRow("an edit that changes nothing is no edit") << QStringList {"clear"} << 0;
}

void WeekGridModelTest::editedOnlyForUserEdits()
{
    QFETCH(QStringList, steps);
    QFETCH(int, edits);

    WeekGridModel model;
    QSignalSpy edited(&model, &WeekGridModel::edited);
    for (const QString& step : steps)
        run(&model, step);
    QCOMPARE(edited.size(), edits);
}

void WeekGridModelTest::cancelledStrokeRestoresCells_data()
{
    QTest::addColumn<QStringList>("stroke"); // steps before the cancel

    QTest::newRow("a painting stroke is taken back") << QStringList {"begin 2 10", "extend 4 20"};
    QTest::newRow("an erasing stroke puts the erased cells back")
        << QStringList {"begin 1 20", "extend 1 30"};
    QTest::newRow("a stroke dragged out and back is taken back")
        << QStringList {"begin 0 0", "extend 6 47", "extend 0 1"};
}

void WeekGridModelTest::cancelledStrokeRestoresCells()
{
    QFETCH(QStringList, stroke);

    const QString start = document({rect("9", "17", Mon), rect("0", "24", Sat)});
    WeekGridModel model;
    model.setDocument(start);
    for (const QString& step : stroke)
        run(&model, step);
    QVERIFY(model.document() != start);
    QVERIFY(model.stroking());

    QVERIFY(model.cancelStroke());
    QCOMPARE(model.document(), start);
    QVERIFY(!model.stroking());
    // The pointer keeps moving and is released; neither paints any more.
    model.extendStroke(3, 3);
    model.endStroke();
    QCOMPARE(model.document(), start);
    QVERIFY(!model.canUndo());
    QVERIFY(!model.cancelStroke());
}

QTEST_GUILESS_MAIN(WeekGridModelTest)
#include "tst_weekgridmodel.moc"
