#include "WeekGridModel.h"

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
    return QStringLiteral("{\"Rectangles\":[") + rectangles.join(',') + QStringLiteral("]}");
}

// The selected rows of one day as [first, end) runs, e.g. "1: 18-34".
QString runs(const WeekGridModel& model, int day)
{
    QString result = QString::number(day) + ':';
    for (int row = 0; row < WeekGridModel::RowsPerDay; ++row) {
        const int first = row;
        while (row < WeekGridModel::RowsPerDay && model.isSelected(day, row))
            ++row;
        if (row > first)
            result += QStringLiteral(" %1-%2").arg(first).arg(row);
    }
    return result;
}

} // namespace

class WeekGridModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void documentAndCells_data();
    void documentAndCells();
};

void WeekGridModelTest::documentAndCells_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("edit"); // "paint <corner> <corner>" or "toggle <day> <row>"
    QTest::addColumn<QString>("dayRuns"); // the selected runs of one day afterwards
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("output"); // the document written; reading it back changes nothing

    const QString monday = document({rect("9", "17", 1)});
    const QString workdays = document({rect("9", "17", 1), rect("9", "17", 2), rect("9", "17", 3),
                                       rect("9", "17", 4), rect("9", "17", 5)});
    QTest::newRow("monday 9 to 17") << monday << "" << "1: 18-34" << 16 << monday;
    QTest::newRow("half hours") << document({rect("9.5", "10", 3)}) << ""
                                << "3: 19-20" << 1 << document({rect("9.5", "10", 3)});
    QTest::newRow("quarter hours take the touched cells")
        << document({rect("9.25", "10.25", 4)}) << "" << "4: 18-21" << 3
        << document({rect("9", "10.5", 4)});
    QTest::newRow("two runs on one day")
        << document({rect("8", "12", 2), rect("13", "17.5", 2)}) << "" << "2: 16-24 26-35" << 17
        << document({rect("8", "12", 2), rect("13", "17.5", 2)});
    QTest::newRow("several days in one rectangle")
        << R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":6}]})" << "" << "5: 18-34"
        << 80 << workdays;
    QTest::newRow("night across midnight stays per day")
        << document({rect("22", "24", 0), rect("0", "6", 1)}) << "" << "0: 44-48" << 16
        << document({rect("22", "24", 0), rect("0", "6", 1)});
    QTest::newRow("rectangle beyond saturday")
        << document({rect("0", "24", 6), rect("0", "0", 7)}) << "" << "6: 0-48" << 48
        << document({rect("0", "24", 6)});
    QTest::newRow("unreadable text empties the grid")
        << "Rectangles: none" << "" << "1:" << 0 << document({});
    // Dragged from Friday 16:30 up and left to Monday 09:00.
    QTest::newRow("painted block: one rectangle per day")
        << document({}) << "paint 5 33 1 18" << "3: 18-34" << 80 << workdays;
    QTest::newRow("erasing splits a run") << monday << "toggle 1 26" << "1: 18-26 27-34" << 15
                                          << document({rect("9", "13", 1), rect("13.5", "17", 1)});
}

void WeekGridModelTest::documentAndCells()
{
    QFETCH(QString, input);
    QFETCH(QString, edit);
    QFETCH(QString, dayRuns);
    QFETCH(int, count);
    QFETCH(QString, output);

    WeekGridModel model;
    model.setDocument(monday());
    model.setDocument(input);
    const QStringList op = edit.split(' ');
    if (op[0] == "paint")
        model.setRange(op[1].toInt(), op[2].toInt(), op[3].toInt(), op[4].toInt(), true);
    else if (op[0] == "toggle")
        model.toggle(op[1].toInt(), op[2].toInt());

    QCOMPARE(runs(model, dayRuns.left(1).toInt()), dayRuns);
    QCOMPARE(model.selectedCount(), count);
    QCOMPARE(model.document(), output);
    WeekGridModel copy;
    copy.setDocument(output);
    QCOMPARE(copy.document(), output);
}

QTEST_GUILESS_MAIN(WeekGridModelTest)
#include "tst_weekgridmodel.moc"
