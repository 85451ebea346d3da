#include "ScheduleTrees.h"

#include "XML2Json.h"

#include <QtTest>

using namespace ScheduleTrees;

class RoundTripTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void composedScheduleReadsBackPerDay_data();
    void composedScheduleReadsBackPerDay();
};

void RoundTripTest::initTestCase()
{
    QVERIFY(plugin());
}

void RoundTripTest::composedScheduleReadsBackPerDay_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("expected");

    QTest::newRow("half hours on monday")
        << "Office"
        << R"({"Rectangles":[{"Top":9.5,"Bottom":17.5,"Left":1,"Right":2}]})"
        << document({rect("9.5", "17.5", 1)});
    QTest::newRow("rectangle over three days")
        << "Office"
        << R"({"Rectangles":[{"Top":8,"Bottom":12.5,"Left":1,"Right":4}]})"
        << document({rect("8", "12.5", 1), rect("8", "12.5", 2), rect("8", "12.5", 3)});
    QTest::newRow("saturday until 24:00")
        << "Weekend"
        << R"({"Rectangles":[{"Top":20,"Bottom":24,"Left":6,"Right":7}]})"
        << document({rect("20", "24", 6)});
    QTest::newRow("sunday whole day")
        << "Sunday"
        << R"({"Rectangles":[{"Top":0,"Bottom":24,"Left":0,"Right":1}]})"
        << document({rect("0", "24", 0)});
    QTest::newRow("friday until midnight")
        << "Friday"
        << R"({"Rectangles":[{"Top":22,"Bottom":24,"Left":5,"Right":6}]})"
        << document({rect("22", "24", 5)});
    QStringList week;
    for (int day = 0; day < 7; ++day)
        week << rect("0", "24", day);
    QTest::newRow("whole week") << "All"
                                << R"({"Rectangles":[{"Top":0,"Bottom":24,"Left":0,"Right":7}]})"
                                << document(week);
    QTest::newRow("page order kept") << "Two"
                                     << R"({"Rectangles":[{"Top":1,"Bottom":2,"Left":6,"Right":7},
                                      {"Top":9,"Bottom":10,"Left":1,"Right":2}]})"
                                     << document({rect("1", "2", 6), rect("9", "10", 1)});
    QTest::newRow("quarter hours snap")
        << "Quarter"
        << R"({"Rectangles":[{"Top":9.25,"Bottom":9.75,"Left":3,"Right":4}]})"
        << document({rect("9.5", "10", 3)});
    QTest::newRow("name with markup characters")
        << "Night & <weekend> \"1\""
        << R"({"Rectangles":[{"Top":1,"Bottom":2,"Left":0,"Right":1}]})"
        << document({rect("1", "2", 0)});
    QTest::newRow("name with placeholders")
        << "%1%2 backup %L1"
        << R"({"Rectangles":[{"Top":1,"Bottom":2,"Left":0,"Right":1}]})"
        << document({rect("1", "2", 0)});
    QTest::newRow("no rectangles reads as no schedule") << "Empty"
                                                        << "{}" << QString();
}

void RoundTripTest::composedScheduleReadsBackPerDay()
{
    QFETCH(QString, name);
    QFETCH(QString, page);
    QFETCH(QString, expected);

    const QString xml = plugin()->ComposeScheduleBackupMappingEleMsg(name, page);
    QVERIFY(!xml.isNull());
    const QVariant parsed = XML2Json().parse(xml);
    QVERIFY2(parsed.isValid(), qPrintable(xml));

    // The stored schedule is the Tmcard's "Mapping": a map holding the time-frame entry under Ele.
    const QVariantMap stored = mapping(parsed.toMap().value(QStringLiteral("Ele")));
    QCOMPARE(plugin()->ConvertScheduleContent(stored), expected);
    QCOMPARE(plugin()->GetFirstTimeframeNameFromTimecard({{QStringLiteral("Mapping"), stored}}),
             name);
}

QTEST_GUILESS_MAIN(RoundTripTest)
#include "tst_roundtrip.moc"
