#include "WeekGridModel.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QString rect(const char* top, const char* bottom, int day)
{
    return QStringLiteral("{\"Top\":%1,\"Bottom\":%2,\"Left\":%3,\"Right\":%4}")
        .arg(QLatin1String(top), QLatin1String(bottom))
        .arg(day)
        .arg(day + 1);
}

QString document(const QStringList& rectangles)
{
    return QStringLiteral("{\"Rectangles\":[") + rectangles.join(QLatin1Char(','))
        + QStringLiteral("]}");
}

// The selected rows of one day as [first, end) runs, e.g. "18-34".
QString runs(const WeekGridModel& model, int day)
{
    QStringList result;
    for (int row = 0; row < WeekGridModel::RowsPerDay; ++row) {
        if (!model.isSelected(day, row))
            continue;
        const int first = row;
        while (row < WeekGridModel::RowsPerDay && model.isSelected(day, row))
            ++row;
        result.append(QStringLiteral("%1-%2").arg(first).arg(row));
    }
    return result.join(QLatin1Char(' '));
}

} // namespace

class WeekGridModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void documentFillsCells_data();
    void documentFillsCells();
    void unreadableDocumentEmptiesGrid_data();
    void unreadableDocumentEmptiesGrid();
    void paintedBlockGivesOneRectanglePerDay();
    void erasingSplitsRun();
    void strokeFromSelectedCellErasesAndShrinksBack();
    void documentReadsBackUnchanged_data();
    void documentReadsBackUnchanged();
    void signalsOnlyOnChange();
};

void WeekGridModelTest::documentFillsCells_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("expectedRuns");
    QTest::addColumn<int>("expectedCount");

    QTest::newRow("monday 9 to 17") << document({rect("9", "17", 1)}) << 1 << "18-34" << 16;
    QTest::newRow("half hours") << document({rect("9.5", "10", 3)}) << 3 << "19-20" << 1;
    QTest::newRow("saturday to 24") << document({rect("22", "24", 6)}) << 6 << "44-48" << 4;
    QTest::newRow("two runs on one day")
        << document({rect("8", "12", 2), rect("13", "17.5", 2)}) << 2 << "16-24 26-35" << 17;
    QTest::newRow("zero-height rectangle after midnight end")
        << document({rect("0", "24", 0), rect("0", "0", 1)}) << 0 << "0-48" << 48;
    QTest::newRow("rectangle beyond saturday")
        << document({rect("0", "24", 6), rect("0", "0", 7)}) << 6 << "0-48" << 48;
    QTest::newRow("several days in one rectangle")
        << R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":6}]})" << 5 << "18-34" << 80;
    QTest::newRow("quarter hours take the touched cells")
        << document({rect("9.25", "10.25", 4)}) << 4 << "18-21" << 3;
}

void WeekGridModelTest::documentFillsCells()
{
    QFETCH(QString, text);
    QFETCH(int, day);
    QFETCH(QString, expectedRuns);
    QFETCH(int, expectedCount);

    WeekGridModel model;
    model.setDocument(text);

    QCOMPARE(runs(model, day), expectedRuns);
    QCOMPARE(model.selectedCount(), expectedCount);
}

void WeekGridModelTest::unreadableDocumentEmptiesGrid_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty text") << QString();
    QTest::newRow("not json") << QStringLiteral("Rectangles: none");
    QTest::newRow("array at the top") << QStringLiteral("[]");
    QTest::newRow("no rectangles member") << QStringLiteral("{}");
}

void WeekGridModelTest::unreadableDocumentEmptiesGrid()
{
    QFETCH(QString, text);

    WeekGridModel model;
    model.setDocument(document({rect("9", "17", 1)}));
    model.setDocument(text);

    QCOMPARE(model.selectedCount(), 0);
    QCOMPARE(model.document(), QStringLiteral("{\"Rectangles\":[]}"));
}

void WeekGridModelTest::paintedBlockGivesOneRectanglePerDay()
{
    WeekGridModel model;
    // Dragged from Friday 16:30 up and left to Monday 09:00.
    model.setRange(5, 33, 1, 18, true);

    QCOMPARE(model.document(),
             document({rect("9", "17", 1), rect("9", "17", 2), rect("9", "17", 3),
                       rect("9", "17", 4), rect("9", "17", 5)}));
}

void WeekGridModelTest::erasingSplitsRun()
{
    WeekGridModel model;
    model.setDocument(document({rect("9", "17", 1)}));

    model.toggle(1, 26); // Monday 13:00 to 13:30

    QCOMPARE(model.document(), document({rect("9", "13", 1), rect("13.5", "17", 1)}));
}

void WeekGridModelTest::strokeFromSelectedCellErasesAndShrinksBack()
{
    WeekGridModel model;
    model.setDocument(document({rect("9", "17", 1), rect("9", "17", 2)}));

    model.beginStroke(1, 30); // on a selected cell: erase
    model.extendStroke(2, 33);
    QCOMPARE(model.document(), document({rect("9", "15", 1), rect("9", "15", 2)}));

    model.extendStroke(1, 31); // back towards the start: Tuesday is whole again
    model.endStroke();
    QCOMPARE(model.document(),
             document({rect("9", "15", 1), rect("16", "17", 1), rect("9", "17", 2)}));

    model.extendStroke(6, 0); // after the stroke ended nothing follows the pointer
    QCOMPARE(model.isSelected(6, 0), false);
}

void WeekGridModelTest::documentReadsBackUnchanged_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty week") << document({});
    QTest::newRow("working days") << document(
        {rect("9", "17", 1), rect("9", "17", 2), rect("9", "12.5", 5)});
    QTest::newRow("whole saturday") << document({rect("0", "24", 6)});
    QTest::newRow("night across midnight")
        << document({rect("22", "24", 0), rect("0", "6", 1), rect("22", "24", 1)});
}

void WeekGridModelTest::documentReadsBackUnchanged()
{
    QFETCH(QString, text);

    WeekGridModel model;
    model.setDocument(text);
    QCOMPARE(model.document(), text);

    WeekGridModel copy;
    copy.setDocument(model.document());
    QCOMPARE(copy.document(), text);
}

void WeekGridModelTest::signalsOnlyOnChange()
{
    WeekGridModel model;
    QSignalSpy documentSpy(&model, &WeekGridModel::documentChanged);
    QSignalSpy dataSpy(&model, &QAbstractItemModel::dataChanged);

    model.toggle(3, 20);
    QCOMPARE(documentSpy.count(), 1);
    QCOMPARE(dataSpy.count(), 1);
    const QModelIndex changed = dataSpy.first().at(0).toModelIndex();
    QCOMPARE(changed.data(WeekGridModel::DayRole).toInt(), 3);
    QCOMPARE(changed.data(WeekGridModel::RowRole).toInt(), 20);
    QCOMPARE(changed.data(WeekGridModel::SelectedRole).toBool(), true);

    model.setDocument(model.document());
    model.setRange(3, 20, 3, 20, true);
    model.toggle(7, 0);
    QCOMPARE(documentSpy.count(), 1);
    QCOMPARE(dataSpy.count(), 1);
}

QTEST_GUILESS_MAIN(WeekGridModelTest)
#include "tst_weekgridmodel.moc"
