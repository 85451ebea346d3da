#include "CliCommands.h"
#include "WeekSchedule.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class TestWeekSchedule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textToRectangles_data();
    void textToRectangles();
    void rejectsBadText_data();
    void rejectsBadText();
    void rectanglesToText_data();
    void rectanglesToText();
    void progressBar_data();
    void progressBar();
};

void TestWeekSchedule::textToRectangles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("json");

    QTest::newRow("working week") << "Mon-Fri 09:00-17:00"
                                  << R"({"Rectangles":[{"Bottom":17,"Left":1,"Right":6,"Top":9}]})";
    QTest::newRow("two entries with a half hour")
        << "Mon-Fri 09:00-17:00; Sat 10:00-12:30"
        << R"({"Rectangles":[{"Bottom":17,"Left":1,"Right":6,"Top":9},)"
           R"({"Bottom":12.5,"Left":6,"Right":7,"Top":10}]})";
    QTest::newRow("wraps over the weekend")
        << "Sat-Sun 00:00-24:00"
        << R"({"Rectangles":[{"Bottom":24,"Left":0,"Right":1,"Top":0},)"
           R"({"Bottom":24,"Left":6,"Right":7,"Top":0}]})";
    QTest::newRow("full day names, two windows")
        << "monday 08:00-12:00,13:00-17:00"
        << R"({"Rectangles":[{"Bottom":12,"Left":1,"Right":2,"Top":8},)"
           R"({"Bottom":17,"Left":1,"Right":2,"Top":13}]})";
    QTest::newRow("overlapping windows merge")
        << "Tue 09:00-12:00; Tue 11:00-13:00"
        << R"({"Rectangles":[{"Bottom":13,"Left":2,"Right":3,"Top":9}]})";
    QTest::newRow("none") << "none"
                          << R"({"Rectangles":[]})";
}

void TestWeekSchedule::textToRectangles()
{
    QFETCH(QString, text);
    QFETCH(QString, json);
    const WeekSchedule schedule = WeekSchedule::parse(text);
    QVERIFY2(schedule.isValid(), qPrintable(schedule.errorText()));
    QCOMPARE(schedule.toRectangleJson(), json);
    // Reading the document back gives the same schedule.
    QCOMPARE(WeekSchedule::fromRectangleJson(json).toRectangleJson(), json);
}

void TestWeekSchedule::rejectsBadText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("hours without minutes") << "Mon 9-17";
    QTest::newRow("quarter hour") << "Mon 09:15-17:00";
    QTest::newRow("ends before it starts") << "Mon 17:00-09:00";
    QTest::newRow("empty window") << "Mon 09:00-09:00";
    QTest::newRow("starts at 24") << "Mon 24:00-24:00";
    QTest::newRow("unknown day") << "Moonday 09:00-10:00";
    QTest::newRow("two-letter day") << "Mo 09:00-10:00";
    QTest::newRow("no times") << "Mon-Fri";
    QTest::newRow("past midnight") << "Mon 09:00-25:00";
}

void TestWeekSchedule::rejectsBadText()
{
    QFETCH(QString, text);
    const WeekSchedule schedule = WeekSchedule::parse(text);
    QVERIFY(!schedule.isValid());
    QVERIFY(!schedule.errorText().isEmpty());
}

void TestWeekSchedule::rectanglesToText_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("text");

    // The plug-in writes one rectangle per day, with a zero-height one after a window that
    // ends at midnight.
    QTest::newRow("plug-in's daily rectangles")
        << R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":2},{"Top":9,"Bottom":17,"Left":2,"Right":3},)"
           R"({"Top":9,"Bottom":17,"Left":3,"Right":4},{"Top":9,"Bottom":17,"Left":4,"Right":5},)"
           R"({"Top":9,"Bottom":17,"Left":5,"Right":6},{"Top":10,"Bottom":12.5,"Left":6,"Right":7}]})"
        << "Mon-Fri 09:00-17:00; Sat 10:00-12:30";
    QTest::newRow("zero-height rectangle dropped")
        << R"({"Rectangles":[{"Top":0,"Bottom":24,"Left":0,"Right":1},{"Top":0,"Bottom":0,"Left":1,"Right":2}]})"
        << "Sun 00:00-24:00";
    QTest::newRow("rectangle past the week dropped")
        << R"({"Rectangles":[{"Top":0,"Bottom":24,"Left":6,"Right":7},{"Top":0,"Bottom":0,"Left":7,"Right":8}]})"
        << "Sat 00:00-24:00";
    QTest::newRow("same windows, days apart")
        << R"({"Rectangles":[{"Top":9,"Bottom":10,"Left":1,"Right":2},{"Top":9,"Bottom":10,"Left":3,"Right":4}]})"
        << "Mon,Wed 09:00-10:00";
    QTest::newRow("Sunday listed last")
        << R"({"Rectangles":[{"Top":8,"Bottom":9,"Left":0,"Right":7}]})"
        << "Mon-Sun 08:00-09:00";
    QTest::newRow("empty document") << ""
                                    << "none";
    QTest::newRow("no rectangles") << R"({"Rectangles":[]})"
                                   << "none";
}

void TestWeekSchedule::rectanglesToText()
{
    QFETCH(QString, json);
    QFETCH(QString, text);
    const WeekSchedule schedule = WeekSchedule::fromRectangleJson(json);
    QVERIFY(schedule.isValid());
    QCOMPARE(schedule.toText(), text);
    if (text != QLatin1String("none"))
        QCOMPARE(WeekSchedule::parse(text).toRectangleJson(), schedule.toRectangleJson());
}

void TestWeekSchedule::progressBar_data()
{
    QTest::addColumn<qint64>("progress");
    QTest::addColumn<QString>("bar");
    QTest::newRow("empty") << qint64(0) << "[----------]";
    QTest::newRow("half") << qint64(50) << "[#####-----]";
    QTest::newRow("full") << qint64(100) << "[##########]";
    QTest::newRow("clamped") << qint64(250) << "[##########]";
}

void TestWeekSchedule::progressBar()
{
    QFETCH(qint64, progress);
    QFETCH(QString, bar);
    QCOMPARE(CliCommands::progressBar(progress, 10), bar);
}

QTEST_GUILESS_MAIN(TestWeekSchedule)
#include "tst_weekschedule.moc"
