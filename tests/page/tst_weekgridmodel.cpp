// SPDX-License-Identifier: BSD-3-Clause

#include "WeekGridModel.h"

#include "GridDocuments.h"
#include "Table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

using namespace GridDocuments;

// The document that a bare "load" step loads.
const QString Loaded = document("Wed 12-13");

// Runs one step: "load" (Loaded) or "load <document>", or an invokable and its arguments, such as
// "paintRange Mon 08:30-12:00", "copyDay 1 2 7" (from Monday to Tuesday and past Saturday),
// "beginStroke 3 10" or "undo".
void run(WeekGridModel* model, const QString& step)
{
    const QString rest = step.section(' ', 1);
    const QByteArray method = step.section(' ', 0, 0).toLatin1();
    QList<int> n;
    for (const QString& word : rest.split(' ', Qt::SkipEmptyParts))
        n << word.toInt();
    bool called = true;
    if (method == "load")
        model->setDocument(rest.isEmpty() ? Loaded : rest);
    else if (method == "paintRange" || method == "applyPreset")
        called = QMetaObject::invokeMethod(model, method, Q_ARG(QString, rest));
    else if (method == "copyDay")
        model->copyDay(n.takeFirst(), n);
    else if (n.isEmpty())
        called = QMetaObject::invokeMethod(model, method);
    else
        called = n.size() == 1
            ? QMetaObject::invokeMethod(model, method, Q_ARG(int, n[0]))
            : QMetaObject::invokeMethod(model, method, Q_ARG(int, n[0]), Q_ARG(int, n[1]));
    QVERIFY2(called, qPrintable("unknown step " + step));
}

// The half hours of a rectangle document, counted apart from the grid.
int halfHours(const QString& json)
{
    int count = 0;
    for (const QJsonValue r : QJsonDocument::fromJson(json.toUtf8())["Rectangles"].toArray())
        count += int((r["Bottom"].toDouble() - r["Top"].toDouble()) * 2)
            * (r["Right"].toInt() - r["Left"].toInt());
    return count;
}

} // namespace

class WeekGridModelTest : public QObject
{
    Q_OBJECT

    // Documents are written as blocks for GridDocuments::document().
    // The document before, the step for run(), the document after.
    using Edits = Table<QString, QString, QString>;
    // The steps for run(), the document after, canUndo, canRedo, the count of edited() signals.
    using Histories = Table<QStringList, QString, bool, bool, int>;

private Q_SLOTS:
    void editChangesTheCells_data()
    {
        Edits::columns();
        Edits::row("office hours are Monday to Friday from 09:00 to 17:00", "Wed 12-13",
                   "applyPreset office", "Mon-Fri 9-17");
        Edits::row("nights run from 22:00 to 06:00, Saturday's on into Sunday", "Wed 12-13",
                   "applyPreset nights", "* 0-6, * 22-24");
        Edits::row("copyDay replaces Tuesday's cells and skips days outside the week",
                   "Mon 9-12, Tue 14-16", "copyDay 1 2 7", "Mon-Tue 9-12");
        Edits::row("copyDay onto the day itself changes nothing", "Mon 9-12", "copyDay 1 1",
                   "Mon 9-12");
        Edits::row("fillDay fills a day missing only its last half hour", "Tue 0-23.5", "fillDay 2",
                   "Tue 0-24");
        Edits::row("fillDay empties a full day and keeps the others", "Mon 13-14, Tue 0-24",
                   "fillDay 2", "Mon 13-14");
        Edits::row("fillHour fills an hour full on one day only", "Sun 9-10", "fillHour 9",
                   "* 9-10");
        Edits::row("fillHour empties an hour full on every day", "* 9-10", "fillHour 9", "");
        Edits::row("clear empties the grid", "Mon 13-14", "clear", "");
        // The typed text's rules are the client's WeekSchedule tests.
        Edits::row("paintRange adds a range starting on the half hour", "Mon 13-14",
                   "paintRange Mon 08:30-12:00", "Mon 8.5-12, Mon 13-14");
        Edits::row("paintRange paints days up to 24:00", "Mon 13-14",
                   "paintRange Fri-Sat 23:00-24:00", "Mon 13-14, Fri-Sat 23-24");
        Edits::row("paintRange refuses a quarter hour", "Mon 13-14", "paintRange Mon 08:15-12:00",
                   "Mon 13-14");
    }

    void editChangesTheCells()
    {
        const auto [start, step, expected] = Edits::fetch();
        WeekGridModel model;
        model.setDocument(document(start));
        QSignalSpy edited(&model, &WeekGridModel::edited);
        run(&model, step);
        QCOMPARE(model.document(), document(expected));
        // Only an edit that changes something is a step to undo.
        QCOMPARE(model.canUndo(), expected != start);
        QCOMPARE(edited.size(), expected != start ? 1 : 0);
    }

    void history_data()
    {
        Histories::columns();
        const QString a = "paintRange Mon 09:00-10:00", b = "paintRange Tue 14:00-15:00";
        // A load replaces the cells; reading them back gives the grid's own form.
        const QString spanning = R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":3}]})";
        Histories::row("half hours read back unchanged",
                       {"load", "load " + document("Wed 9.5-10, Sat 22-24")},
                       "Wed 9.5-10, Sat 22-24", false, false, 0);
        Histories::row("quarter hours take every half hour they touch",
                       {"load", "load " + document("Thu 9.25-10.25")}, "Thu 9-10.5", false, false,
                       0);
        Histories::row("a rectangle over days is written one day at a time",
                       {"load", "load " + spanning}, "Mon-Tue 9-17", false, false, 0);
        Histories::row("unreadable text empties the grid", {"load", "load Rectangles: none"}, "",
                       false, false, 0);
        Histories::row("undo twice and redo once gives the first edit back",
                       {a, b, "undo", "undo", "redo"}, "Mon 9-10", true, true, 5);
        Histories::row("a new edit after undo drops what could be redone", {a, "undo", b, "redo"},
                       "Tue 14-15", true, false, 3);
        Histories::row("loading a document empties the history and is no edit",
                       {a, b, "undo", "load"}, "Wed 12-13", false, false, 3);
        Histories::row("a whole stroke is one step, signalled when it ends",
                       {a, "beginStroke 3 10", "extendStroke 4 14", "endStroke", "undo"},
                       "Mon 9-10", true, true, 3);
        Histories::row(
            "a stroke from a selected cell erases, and moving back shrinks it",
            {"load", "beginStroke 3 25", "extendStroke 3 20", "extendStroke 3 25", "endStroke"},
            "Wed 12-12.5", true, false, 1);
        Histories::row("an edit during a stroke ends the stroke first, as a step of its own",
                       {"beginStroke 1 10", "extendStroke 1 12", "fillHour 20", "undo"},
                       "Mon 5-6.5", true, true, 3);
        Histories::row("a cancelled stroke restores the cells and ignores the rest of the drag",
                       {"load", "beginStroke 2 10", "extendStroke 4 20", "cancelStroke",
                        "extendStroke 6 3", "endStroke"},
                       "Wed 12-13", false, false, 0);
        // One edit past the cap: the oldest is dropped, so undoing everything stops after the first
        // edit, at a full hour, with as many undo steps as the cap allows.
        const int cap = WeekGridModel::MaxUndoSteps;
        Histories::row("the history keeps the latest edits up to its cap",
                       QStringList(cap + 1, "fillHour 9") + QStringList(cap + 1, "undo"), "* 9-10",
                       false, true, 2 * cap + 1);
    }

    void history()
    {
        const auto [steps, expected, canUndo, canRedo, edits] = Histories::fetch();
        WeekGridModel model;
        // What a binding on canUndo and canRedo last heard, starting from an empty history.
        std::pair<bool, bool> heard;
        connect(&model, &WeekGridModel::historyChanged, this, [&] {
            heard = {model.canUndo(), model.canRedo()};
        });
        QSignalSpy edited(&model, &WeekGridModel::edited);
        for (const QString& step : steps)
            run(&model, step);
        QCOMPARE(model.document(), document(expected));
        QCOMPARE(model.selectedCount(), halfHours(document(expected)));
        QCOMPARE(std::pair(model.canUndo(), model.canRedo()), std::pair(canUndo, canRedo));
        QCOMPARE(heard, std::pair(canUndo, canRedo));
        QCOMPARE(edited.size(), edits);
    }
};

QTEST_GUILESS_MAIN(WeekGridModelTest)
#include "tst_weekgridmodel.moc"
