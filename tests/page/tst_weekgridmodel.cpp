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
    QTest::addColumn<int>("count"); // of the selected half-hour cells
    QTest::addColumn<QString>("output"); // the document written; reading it back changes nothing

    const QString monday = document({rect("9", "17", 1)});
    const QString workdays = document({rect("9", "17", 1), rect("9", "17", 2), rect("9", "17", 3),
                                       rect("9", "17", 4), rect("9", "17", 5)});
    QTest::newRow("monday 9 to 17") << monday << "" << 16 << monday;
    QTest::newRow("half hours") << document({rect("9.5", "10", 3), rect("22", "24", 6)}) << "" << 5
                                << document({rect("9.5", "10", 3), rect("22", "24", 6)});
    QTest::newRow("quarter hours take the touched cells")
        << document({rect("9.25", "10.25", 4)}) << "" << 3 << document({rect("9", "10.5", 4)});
    QTest::newRow("several days in one rectangle")
        << R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":6}]})"
        << "" << 80 << workdays;
    QTest::newRow("rectangle beyond saturday") << document({rect("0", "24", 6), rect("0", "0", 7)})
                                               << "" << 48 << document({rect("0", "24", 6)});
    QTest::newRow("unreadable text empties the grid") << "Rectangles: none"
                                                      << "" << 0 << document({});
    // Dragged from Friday 16:30 up and left to Monday 09:00.
    QTest::newRow("painted block: one rectangle per day")
        << document({}) << "paint 5 33 1 18" << 80 << workdays;
    // Monday 13:00 to 13:30.
    QTest::newRow("erasing splits a run")
        << monday << "toggle 1 26" << 15 << document({rect("9", "13", 1), rect("13.5", "17", 1)});
}

void WeekGridModelTest::documentAndCells()
{
    QFETCH(QString, input);
    QFETCH(QString, edit);
    QFETCH(int, count);
    QFETCH(QString, output);

    WeekGridModel model;
    model.setDocument(document({rect("0", "24", 0)})); // the input replaces this
    model.setDocument(input);
    const QStringList op = edit.split(' ');
    if (op[0] == "paint")
        model.setRange(op[1].toInt(), op[2].toInt(), op[3].toInt(), op[4].toInt(), true);
    else if (op[0] == "toggle")
        model.toggle(op[1].toInt(), op[2].toInt());

    QCOMPARE(model.selectedCount(), count);
    QCOMPARE(model.document(), output);
    WeekGridModel copy;
    copy.setDocument(output);
    QCOMPARE(copy.document(), output);
}

QTEST_GUILESS_MAIN(WeekGridModelTest)
#include "tst_weekgridmodel.moc"
