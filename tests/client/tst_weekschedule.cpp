// SPDX-License-Identifier: BSD-3-Clause
// The week schedule in its three forms, every expectation written by hand.

#include "WeekSchedule.h"

#include <QTranslator>
#include <QtTest>

namespace {

enum Day { Sun, Mon, Tue, Wed, Thu, Fri, Sat };

QString box(double top, double bottom, int left, int right)
{
    return QString::asprintf(R"({"Top":%g,"Bottom":%g,"Left":%d,"Right":%d})", top, bottom, left,
                             right);
}

QString doc(const QStringList& rectangles)
{
    return QStringLiteral(R"({"Rectangles":[)") + rectangles.join(',') + QStringLiteral("]}");
}

} // namespace

class TestWeekSchedule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsText_data();
    void readsText();
    void writesOneRectanglePerWindowAndDay();
    void windowsTouchHalfHourCells_data();
    void windowsTouchHalfHourCells();
    void readsAndWritesTheUsersLanguage_data();
    void readsAndWritesTheUsersLanguage();
    void readsRectangles_data();
    void readsRectangles();
};

void TestWeekSchedule::readsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("expected"); // toText(), Monday first, or part of the error

    QTest::newRow("working days and a Saturday morning on the half hour")
        << "Sat 10:00-12:30; Mon-Fri 09:00-17:00" << true << "Mon-Fri 09:00-17:00; Sat 10:00-12:30";
    QTest::newRow("Fri-Mon wraps over the weekend")
        << "Fri-Mon 09:00-10:00" << true << "Mon,Fri-Sun 09:00-10:00";
    QTest::newRow("daily runs Monday to Sunday, up to the end of the day")
        << "daily 22:00-24:00" << true << "Mon-Sun 22:00-24:00";
    QTest::newRow("full names, any case, prefixes, short hours and blanks")
        << "  monday,TUE,Wedn 9:00 - 9:30 ;  " << true << "Mon-Wed 09:00-09:30";
    QTest::newRow("blanks around the day range and an en dash between the times")
        << "Mon - Fri 18:00 \u2013 19:00" << true << "Mon-Fri 18:00-19:00";
    QTest::newRow("windows of a day are sorted, overlapping or touching ones merge across entries")
        << "Mon 13:00-17:00,08:00-10:00,09:00-11:00; Mon 11:00-11:30" << true
        << "Mon 08:00-11:30,13:00-17:00";
    QTest::newRow("an extra window on one day splits the run of days")
        << "Mon-Fri 09:00-17:00; Wed 16:00-20:00" << true
        << "Mon-Tue,Thu-Fri 09:00-17:00; Wed 09:00-20:00";
    QTest::newRow("none is the empty schedule") << " NONE " << true << "none";
    const QString badTime = QStringLiteral("expected HH:MM-HH:MM on whole or half hours");
    QTest::newRow("empty text") << "" << false << "use \"none\" for no backup windows";
    QTest::newRow("a good entry does not excuse a day without times")
        << "Mon 09:00-10:00; Tue" << false << "expected days and times";
    QTest::newRow("a day name of two letters")
        << "Mo 09:00-10:00" << false << "\"Mo\": unknown day";
    QTest::newRow("a quarter hour") << "Mon 09:15-10:00" << false << badTime;
    QTest::newRow("half past the end of the day") << "Mon 23:00-24:30" << false << badTime;
    QTest::newRow("a window that ends where it starts")
        << "Mon 09:00-09:00" << false << "the window ends before it starts";
}

void TestWeekSchedule::readsText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, expected);

    const WeekSchedule schedule = WeekSchedule::parse(text);
    QVERIFY2(schedule.isValid() == valid, qPrintable(schedule.errorText()));
    if (!valid) {
        QVERIFY2(schedule.errorText().contains(expected), qPrintable(schedule.errorText()));
        return;
    }
    QCOMPARE(schedule.toText(), expected);
    QCOMPARE(WeekSchedule::parse(expected).toText(), expected);
    QCOMPARE(WeekSchedule::fromRectangleJson(schedule.toRectangleJson()).toText(), expected);
}

void TestWeekSchedule::writesOneRectanglePerWindowAndDay()
{
    // Half hours are fractions, Right is exclusive, Sunday comes first, as the plug-in writes.
    const WeekSchedule schedule
        = WeekSchedule::parse("Mon-Tue 09:00-12:30,13:00-14:00; Sun 8:00-9:00");
    QCOMPARE(schedule.toRectangleJson(),
             doc({box(8, 9, Sun, Mon), box(9, 12.5, Mon, Tue), box(13, 14, Mon, Tue),
                  box(9, 12.5, Tue, Wed), box(13, 14, Tue, Wed)}));
    QCOMPARE(WeekSchedule().toRectangleJson(), doc({}));
}

void TestWeekSchedule::windowsTouchHalfHourCells_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("firstSlot");
    QTest::addColumn<int>("endSlot");

    QTest::newRow("on the grid") << 9 * 60 << 17 * 60 << 18 << 34;
    QTest::newRow("a cell counts when any part is covered")
        << 9 * 60 + 10 << 9 * 60 + 40 << 18 << 20;
    QTest::newRow("the whole day") << 0 << 1440 << 0 << 48;
}

void TestWeekSchedule::windowsTouchHalfHourCells()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, firstSlot);
    QFETCH(int, endSlot);
    const WeekSchedule::Range range {start, end};
    QCOMPARE(range.firstSlot(), firstSlot);
    QCOMPARE(range.endSlot(), endSlot);
}

void TestWeekSchedule::readsAndWritesTheUsersLanguage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("german"); // toText() in German
    QTest::addColumn<QString>("english"); // toText() without a catalogue

    QTest::newRow("German short names") << "Mo-Fr 18:00-19:00"
                                        << "Mo-Fr 18:00-19:00"
                                        << "Mon-Fri 18:00-19:00";
    QTest::newRow("English short names") << "Mon-Fri 18:00-19:00"
                                         << "Mo-Fr 18:00-19:00"
                                         << "Mon-Fri 18:00-19:00";
    QTest::newRow("German full names and prefixes, mixed with English")
        << "Samstag,Sonn 10:00-11:00; Wed 08:00-09:00"
        << "Mi 08:00-09:00; Sa-So 10:00-11:00"
        << "Wed 08:00-09:00; Sat-Sun 10:00-11:00";
}

void TestWeekSchedule::readsAndWritesTheUsersLanguage()
{
    QFETCH(QString, text);
    QFETCH(QString, german);
    QFETCH(QString, english);
    QTranslator translator;
    QVERIFY(translator.load(GERMAN_CATALOGUE));
    QCoreApplication::installTranslator(&translator);
    const WeekSchedule schedule = WeekSchedule::parse(text);
    const QString written = schedule.toText();
    QCoreApplication::removeTranslator(&translator);
    QVERIFY2(schedule.isValid(), qPrintable(schedule.errorText()));
    QCOMPARE(written, german);
    QCOMPARE(schedule.toText(), english);
}

void TestWeekSchedule::readsRectangles_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("text");

    QTest::newRow("rectangles before Sunday and after Saturday are dropped")
        << doc({box(9, 10, -2, 0), box(8, 9, Mon, Tue), box(9, 10, 7, 9)}) << true
        << "Mon 08:00-09:00";
    QTest::newRow("a rectangle across the end of the week keeps its days in it")
        << doc({box(9, 10, Fri, 9)}) << true << "Fri-Sat 09:00-10:00";
    QTest::newRow("empty and upside-down rectangles are dropped")
        << doc({box(9, 9, Mon, Sat), box(17, 9, Mon, Tue)}) << true << "none";
    QTest::newRow("hours beyond the day are cut at 24:00")
        << doc({box(22, 26, Tue, Wed)}) << true << "Tue 22:00-24:00";
    QTest::newRow("a JSON array is not a schedule")
        << QStringLiteral("[%1]").arg(box(9, 10, Mon, Tue)) << false << "none";
}

void TestWeekSchedule::readsRectangles()
{
    QFETCH(QString, document);
    QFETCH(bool, valid);
    QFETCH(QString, text);

    const WeekSchedule schedule = WeekSchedule::fromRectangleJson(document);
    QCOMPARE(schedule.isValid(), valid);
    QCOMPARE(schedule.toText(), text);
}

QTEST_GUILESS_MAIN(TestWeekSchedule)
#include "tst_weekschedule.moc"
