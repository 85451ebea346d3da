// The schedule text of the command line, both ways, and its rectangle document.
// Every expected week, text and document here is written out by hand.

#include "WeekSchedule.h"

#include <QJsonDocument>
#include <QtTest>

using Range = WeekSchedule::Range;
using Week = QList<QList<Range>>; // days 0 = Sunday to 6

char* toString(const Range& range)
{
    return QTest::toString(QStringLiteral("%1-%2 min").arg(range.startMinute).arg(range.endMinute));
}

namespace {

enum Day { Sun, Mon, Tue, Wed, Thu, Fri, Sat };
const QList<int> EveryDay = {Sun, Mon, Tue, Wed, Thu, Fri, Sat};

Range win(double fromHour, double toHour)
{
    return {qRound(fromHour * 60), qRound(toHour * 60)};
}

struct WeekBuilder
{
    Week days = Week(7);
    WeekBuilder& on(const QList<int>& dayList, const QList<Range>& windows)
    {
        for (int d : dayList)
            days[d] = windows;
        return *this;
    }
    operator Week() const { return days; }
};

WeekBuilder on(const QList<int>& dayList, const QList<Range>& windows)
{
    return WeekBuilder().on(dayList, windows);
}

QString box(double top, double bottom, int left, int right)
{
    return QStringLiteral(R"({"Top":%1,"Bottom":%2,"Left":%3,"Right":%4})")
        .arg(top)
        .arg(bottom)
        .arg(left)
        .arg(right);
}

QString doc(const QStringList& rectangles)
{
    return QStringLiteral(R"({"Rectangles":[)") + rectangles.join(',') + QStringLiteral("]}");
}

Week weekOf(const WeekSchedule& schedule)
{
    Week week;
    for (int d = 0; d < 7; ++d)
        week.append(schedule.day(d));
    return week;
}

} // namespace

class TestWeekSchedule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsText_data();
    void readsText();
    void refusesText_data();
    void refusesText();
    void writesRectangles_data();
    void writesRectangles();
    void readsRectangles_data();
    void readsRectangles();
};

void TestWeekSchedule::readsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Week>("week");
    QTest::addColumn<QString>("canonical"); // toText(), which must read back as the same week

    QTest::newRow("working days and a Saturday morning")
        << "Mon-Fri 09:00-17:00; Sat 10:00-12:30"
        << Week(on({Mon, Tue, Wed, Thu, Fri}, {win(9, 17)}).on({Sat}, {win(10, 12.5)}))
        << "Mon-Fri 09:00-17:00; Sat 10:00-12:30";
    QTest::newRow("Fri-Mon wraps over the weekend")
        << "Fri-Mon 09:00-10:00" << Week(on({Fri, Sat, Sun, Mon}, {win(9, 10)}))
        << "Mon,Fri-Sun 09:00-10:00";
    QTest::newRow("Sat-Sun is the weekend only")
        << "Sat-Sun 08:00-09:00" << Week(on({Sat, Sun}, {win(8, 9)})) << "Sat-Sun 08:00-09:00";
    QTest::newRow("Sun-Sat is the whole week")
        << "Sun-Sat 08:00-09:00" << Week(on(EveryDay, {win(8, 9)})) << "Mon-Sun 08:00-09:00";
    QTest::newRow("daily up to the end of the day")
        << "daily 22:00-24:00" << Week(on(EveryDay, {win(22, 24)})) << "Mon-Sun 22:00-24:00";
    QTest::newRow("a list of days is joined with commas")
        << "Mon,Wed,Fri 09:00-10:00" << Week(on({Mon, Wed, Fri}, {win(9, 10)}))
        << "Mon,Wed,Fri 09:00-10:00";
    QTest::newRow("full names, any case, and prefixes of three letters or more")
        << "monday 09:00-10:00; TUESDAY 09:00-10:00; Wedn 10:00-11:00; thu 10:00-11:00"
        << Week(on({Mon, Tue}, {win(9, 10)}).on({Wed, Thu}, {win(10, 11)}))
        << "Mon-Tue 09:00-10:00; Wed-Thu 10:00-11:00";
    QTest::newRow("single-digit hours and blanks around the dash")
        << "  Thu 9:00 - 9:30 ;  " << Week(on({Thu}, {win(9, 9.5)})) << "Thu 09:00-09:30";
    QTest::newRow("several windows on one day are sorted")
        << "Mon 13:00-17:00,08:00-12:00" << Week(on({Mon}, {win(8, 12), win(13, 17)}))
        << "Mon 08:00-12:00,13:00-17:00";
    QTest::newRow("overlapping windows merge")
        << "Mon 08:00-12:00,11:00-13:00" << Week(on({Mon}, {win(8, 13)})) << "Mon 08:00-13:00";
    QTest::newRow("windows that touch merge, also across entries")
        << "Mon 08:00-12:00; Mon 12:00-13:30" << Week(on({Mon}, {win(8, 13.5)}))
        << "Mon 08:00-13:30";
    QTest::newRow("a window inside another one leaves the larger one")
        << "Mon 08:00-18:00,09:00-10:00" << Week(on({Mon}, {win(8, 18)})) << "Mon 08:00-18:00";
    QTest::newRow("an extra window on one day splits the run of days")
        << "Mon-Fri 09:00-17:00; Wed 16:00-20:00"
        << Week(on({Mon, Tue, Thu, Fri}, {win(9, 17)}).on({Wed}, {win(9, 20)}))
        << "Mon-Tue,Thu-Fri 09:00-17:00; Wed 09:00-20:00";
    QTest::newRow("entries are written in display order, Monday first, Sunday last")
        << "Sun 07:00-08:00; Tue 08:00-09:00; Mon 10:00-11:00"
        << Week(on({Sun}, {win(7, 8)}).on({Tue}, {win(8, 9)}).on({Mon}, {win(10, 11)}))
        << "Mon 10:00-11:00; Tue 08:00-09:00; Sun 07:00-08:00";
    QTest::newRow("Sunday and Monday with one window are not a run")
        << "Sun,Mon 09:00-10:00" << Week(on({Sun, Mon}, {win(9, 10)})) << "Mon,Sun 09:00-10:00";
    QTest::newRow("the whole of a day")
        << "Sun 00:00-24:00" << Week(on({Sun}, {win(0, 24)})) << "Sun 00:00-24:00";
    QTest::newRow("none is the empty schedule") << " NONE " << Week(7) << "none";
}

void TestWeekSchedule::readsText()
{
    QFETCH(QString, text);
    QFETCH(Week, week);
    QFETCH(QString, canonical);

    const WeekSchedule schedule = WeekSchedule::parse(text);
    QVERIFY2(schedule.isValid(), qPrintable(schedule.errorText()));
    QCOMPARE(weekOf(schedule), week);
    QCOMPARE(schedule.isEmpty(), week == Week(7));
    QCOMPARE(schedule.toText(), canonical);

    const WeekSchedule reread = WeekSchedule::parse(canonical);
    QCOMPARE(weekOf(reread), week);
    const WeekSchedule fromDocument = WeekSchedule::fromRectangleJson(schedule.toRectangleJson());
    QVERIFY(fromDocument.isValid());
    QCOMPARE(weekOf(fromDocument), week);
    QCOMPARE(fromDocument.toText(), canonical);
}

void TestWeekSchedule::refusesText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error"); // part of the message

    const QString noWindows = QStringLiteral("use \"none\" for no backup windows");
    const QString badTime = QStringLiteral("expected HH:MM-HH:MM on whole or half hours");
    QTest::newRow("empty text") << "" << noWindows;
    QTest::newRow("a lone separator") << ";" << noWindows;
    QTest::newRow("separators and blanks only") << " ; ; " << noWindows;
    QTest::newRow("a day followed by a comma only") << "Mon ,"
                                                    << "expected days and times";
    QTest::newRow("daily followed by commas only") << "daily ,,,"
                                                   << "expected days and times";
    QTest::newRow("a day without times") << "Mon"
                                         << "expected days and times";
    QTest::newRow("a good entry does not excuse a bad one") << "Mon 09:00-10:00; Tue"
                                                            << "expected days and times";
    QTest::newRow("an unknown day") << "Mun 09:00-10:00"
                                    << "\"Mun\": unknown day";
    QTest::newRow("a day name shorter than three letters") << "Mo 09:00-10:00"
                                                           << "unknown day";
    QTest::newRow("a range of three days") << "Mon-Wed-Fri 09:00-10:00"
                                           << "unknown day";
    QTest::newRow("a quarter hour") << "Mon 09:15-10:00" << badTime;
    QTest::newRow("half past midnight at the end of the day") << "Mon 23:00-24:30" << badTime;
    QTest::newRow("a window starting at 24:00") << "Mon 24:00-24:00" << badTime;
    QTest::newRow("a start time without an end") << "Mon 09:00" << badTime;
    QTest::newRow("a window that ends before it starts") << "Mon 17:00-09:00"
                                                         << "the window ends before it starts";
    QTest::newRow("a window that ends where it starts") << "Mon 09:00-09:00"
                                                        << "the window ends before it starts";
}

void TestWeekSchedule::refusesText()
{
    QFETCH(QString, text);
    QFETCH(QString, error);

    const WeekSchedule schedule = WeekSchedule::parse(text);
    QVERIFY(!schedule.isValid());
    QVERIFY2(schedule.errorText().contains(error), qPrintable(schedule.errorText()));
    QVERIFY(schedule.isEmpty());
}

void TestWeekSchedule::writesRectangles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("document");

    QTest::newRow("a run of days is one rectangle, half hours as fractions")
        << "Mon-Fri 09:00-17:00; Sat 10:00-12:30"
        << doc({box(9, 17, Mon, Sat), box(10, 12.5, Sat, 7)});
    QTest::newRow("the weekend wraps, so it takes two rectangles")
        << "Sat-Sun 08:00-09:00" << doc({box(8, 9, Sun, Mon), box(8, 9, Sat, 7)});
    QTest::newRow("days apart take a rectangle each")
        << "Mon,Wed 08:00-09:00" << doc({box(8, 9, Mon, Tue), box(8, 9, Wed, Thu)});
    QTest::newRow("a run ends where the windows differ")
        << "Mon 08:00-12:00; Tue-Wed 08:00-10:00"
        << doc({box(8, 12, Mon, Tue), box(8, 10, Tue, Thu)});
    QTest::newRow("the whole week up to 24:00") << "daily 00:00-24:00" << doc({box(0, 24, Sun, 7)});
    QTest::newRow("none has no rectangles") << "none" << doc({});
}

void TestWeekSchedule::writesRectangles()
{
    QFETCH(QString, text);
    QFETCH(QString, document);

    const WeekSchedule schedule = WeekSchedule::parse(text);
    QVERIFY2(schedule.isValid(), qPrintable(schedule.errorText()));
    QCOMPARE(QJsonDocument::fromJson(schedule.toRectangleJson().toUtf8()),
             QJsonDocument::fromJson(document.toUtf8()));
}

void TestWeekSchedule::readsRectangles_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<Week>("week");

    QTest::newRow("a rectangle before Sunday is dropped")
        << doc({box(9, 10, -2, 0), box(8, 9, Mon, Tue)}) << true << Week(on({Mon}, {win(8, 9)}));
    QTest::newRow("a rectangle after Saturday is dropped")
        << doc({box(9, 10, 7, 9)}) << true << Week(7);
    QTest::newRow("a rectangle across the end of the week keeps its days in it")
        << doc({box(9, 10, Fri, 9)}) << true << Week(on({Fri, Sat}, {win(9, 10)}));
    QTest::newRow("an empty rectangle is dropped") << doc({box(9, 9, Mon, Sat)}) << true << Week(7);
    QTest::newRow("an upside-down rectangle is dropped")
        << doc({box(17, 9, Mon, Tue)}) << true << Week(7);
    QTest::newRow("hours beyond the day are cut at 24:00")
        << doc({box(22, 26, Tue, Wed)}) << true << Week(on({Tue}, {win(22, 24)}));
    QTest::newRow("overlapping rectangles merge")
        << doc({box(8, 12, Mon, Wed), box(11, 13, Tue, Wed)}) << true
        << Week(on({Mon}, {win(8, 12)}).on({Tue}, {win(8, 13)}));
    QTest::newRow("no text is no schedule") << "" << true << Week(7);
    QTest::newRow("a JSON array is not a schedule")
        << QStringLiteral(R"([{"Top":9,"Bottom":10,"Left":1,"Right":2}])") << false << Week(7);
    QTest::newRow("a number is not a schedule") << "42" << false << Week(7);
    QTest::newRow("broken JSON is not a schedule") << "{\"Rectangles\":[" << false << Week(7);
}

void TestWeekSchedule::readsRectangles()
{
    QFETCH(QString, document);
    QFETCH(bool, valid);
    QFETCH(Week, week);

    const WeekSchedule schedule = WeekSchedule::fromRectangleJson(document);
    QCOMPARE(schedule.isValid(), valid);
    QCOMPARE(schedule.errorText().isEmpty(), valid);
    QCOMPARE(weekOf(schedule), week);
}

QTEST_APPLESS_MAIN(TestWeekSchedule)
#include "tst_weekschedule.moc"
