// The simulated backup runs: windows, progress, the hour a finished run stays reported, and weeks
// with a clock change. Run in UTC and in Europe/Berlin, since the week starts at local Sunday
// midnight and week seconds are counted on the real time scale from there.

#include "BackupProtocol.h"
#include "BackupStatus.h"

#include <QTest>

Q_DECLARE_METATYPE(WeekInterval)
Q_DECLARE_METATYPE(TimeCard)

namespace {

using namespace BackupProtocol;

constexpr qint64 Hour = 3600;
constexpr qint64 Day = 86400;

// Week seconds of a wall-clock time in a week of 24-hour days.
constexpr qint64 ws(int day, int hour, int minute = 0)
{
    return day * Day + hour * Hour + minute * 60;
}

const QDate Sunday(2026, 1, 4); // a week without a clock change
const QDate Spring(2026, 3, 29); // clocks go from 02:00 to 03:00 in Berlin
const QDate Autumn(2026, 10, 25); // clocks go from 03:00 back to 02:00 in Berlin

QDateTime at(const QDate& sunday, int day, const char* time)
{
    return QDateTime(sunday.addDays(day), QTime::fromString(QLatin1String(time), "HH:mm:ss"));
}

bool inBerlin()
{
    return qgetenv("TZ") == "Europe/Berlin";
}

const WeekInterval Monday {ws(1, 9), ws(1, 17)};
const WeekInterval Wednesday {ws(3, 9), ws(3, 17)};
const WeekInterval Friday {ws(5, 9), ws(5, 17)};

TimeCard card(const QList<WeekInterval>& intervals, bool enabled = true)
{
    TimeCard card;
    card.enabled = enabled;
    card.intervals = intervals;
    return card;
}

} // namespace

class tst_BackupStatus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The daylight-saving rows only mean something when the zone is really in effect.
        QCOMPARE(Spring.startOfDay().secsTo(Spring.addDays(1).startOfDay()),
                 (inBerlin() ? 23 : 24) * Hour);
    }

    void windows_data()
    {
        QTest::addColumn<QList<WeekInterval>>("intervals");
        QTest::addColumn<QList<WeekInterval>>("expected");

        QTest::newRow("separate windows stay apart")
            << QList<WeekInterval> {Monday, Wednesday} << QList<WeekInterval> {Monday, Wednesday};
        QTest::newRow("unsorted windows come out sorted")
            << QList<WeekInterval> {Friday, Monday, Wednesday}
            << QList<WeekInterval> {Monday, Wednesday, Friday};
        QTest::newRow("touching windows become one")
            << QList<WeekInterval> {{ws(3, 22), ws(4, 0)}, {ws(4, 0), ws(4, 6)}}
            << QList<WeekInterval> {{ws(3, 22), ws(4, 6)}};
        QTest::newRow("overlapping windows listed backwards become one")
            << QList<WeekInterval> {{ws(1, 12), ws(1, 17)}, {ws(1, 9), ws(1, 13)}}
            << QList<WeekInterval> {Monday};
        QTest::newRow("a window inside another keeps the outer end")
            << QList<WeekInterval> {Monday, {ws(1, 10), ws(1, 11)}} << QList<WeekInterval> {Monday};
        QTest::newRow("a chain of three becomes one")
            << QList<WeekInterval> {{ws(1, 15), ws(1, 17)},
                                    {ws(1, 9), ws(1, 12)},
                                    {ws(1, 12), ws(1, 15)}}
            << QList<WeekInterval> {Monday};
        QTest::newRow("empty windows are dropped, also between others")
            << QList<WeekInterval> {{ws(2, 0), ws(2, 0)}, Monday, {ws(1, 20), ws(1, 20)}}
            << QList<WeekInterval> {Monday};
        QTest::newRow("nothing gives nothing") << QList<WeekInterval>() << QList<WeekInterval>();
    }

    void windows()
    {
        QFETCH(QList<WeekInterval>, intervals);
        QFETCH(QList<WeekInterval>, expected);
        const QList<WeekInterval> joined = BackupStatusSimulator::windows(intervals);
        QCOMPARE(joined.size(), expected.size());
        for (qsizetype i = 0; i < joined.size(); ++i) {
            QCOMPARE(joined.at(i).begin, expected.at(i).begin);
            QCOMPARE(joined.at(i).end, expected.at(i).end);
        }
    }

    void statusAt_data()
    {
        QTest::addColumn<TimeCard>("card");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<int>("progress");

        const TimeCard monWedFri = card({Friday, Monday, Wednesday});
        const QString monText = "2026-01-05 09:00 - 17:00";
        const QString wedText = "2026-01-07 09:00 - 17:00";
        const QString nextMonText = "2026-01-12 09:00 - 17:00";
        auto row = [](const char* tag, const TimeCard& card, const QDateTime& now,
                      const QString& status, const QString& interval, int progress) {
            QTest::newRow(tag) << card << now << status << interval << progress;
        };

        row("a disabled card is disabled even inside a window", card({Monday}, false),
            at(Sunday, 1, "12:00:00"), State::Disabled, "", 0);
        row("a card without windows is idle with no interval", card({}), at(Sunday, 1, "12:00:00"),
            State::Idle, "", 0);
        row("a card with only empty windows is idle with no interval", card({{ws(1, 9), ws(1, 9)}}),
            at(Sunday, 1, "09:00:00"), State::Idle, "", 0);
        row("before the first window the service waits for it", monWedFri,
            at(Sunday, 0, "08:00:00"), State::Idle, monText, 0);
        row("a second before the start it still waits", monWedFri, at(Sunday, 1, "08:59:59"),
            State::Idle, monText, 0);
        row("at the start the run begins at 0 percent", monWedFri, at(Sunday, 1, "09:00:00"),
            State::Running, monText, 0);
        row("half-way through the run is at 50 percent", monWedFri, at(Sunday, 1, "13:00:00"),
            State::Running, monText, 50);
        // 287 of 28800 seconds is 0.997 percent, 28799 seconds 99.997 percent: truncated.
        row("progress just short of 1 percent is 0", monWedFri, at(Sunday, 1, "09:04:47"),
            State::Running, monText, 0);
        row("in the last second the run is at 99, never 100", monWedFri, at(Sunday, 1, "16:59:59"),
            State::Running, monText, 99);
        row("at the end the run is completed at 100", monWedFri, at(Sunday, 1, "17:00:00"),
            State::Completed, monText, 100);
        row("just inside the hour after the end it is still completed", monWedFri,
            at(Sunday, 1, "17:59:59"), State::Completed, monText, 100);
        row("an hour after the end the next window is shown", monWedFri, at(Sunday, 1, "18:00:00"),
            State::Idle, wedText, 0);
        row("after the last window of the week the next week's first follows", monWedFri,
            at(Sunday, 5, "18:00:00"), State::Idle, nextMonText, 0);
        row("late on saturday the next week's first window follows", monWedFri,
            at(Sunday, 6, "23:59:59"), State::Idle, nextMonText, 0);
        row("a window up to 24:00 is shown ending at 24:00", card({{ws(6, 22), ws(7, 0)}}),
            at(Sunday, 6, "23:00:00"), State::Running, "2026-01-10 22:00 - 24:00", 50);
        row("a window across midnight names both days", card({{ws(3, 22), ws(4, 6)}}),
            at(Sunday, 3, "21:00:00"), State::Idle, "2026-01-07 22:00 - 2026-01-08 06:00", 0);
        row("touching windows run as one", card({{ws(4, 0), ws(4, 6)}, {ws(3, 22), ws(4, 0)}}),
            at(Sunday, 4, "02:00:00"), State::Running, "2026-01-07 22:00 - 2026-01-08 06:00", 50);
        row("touching windows complete as one", card({{ws(4, 0), ws(4, 6)}, {ws(3, 22), ws(4, 0)}}),
            at(Sunday, 4, "06:30:00"), State::Completed, "2026-01-07 22:00 - 2026-01-08 06:00",
            100);
        row("overlapping windows run as one", card({{ws(1, 12), ws(1, 17)}, {ws(1, 9), ws(1, 13)}}),
            at(Sunday, 1, "15:00:00"), State::Running, monText, 75);
        row("a run ending at 24:00 on saturday stays completed into sunday",
            card({{ws(6, 22), ws(7, 0)}, Monday}), at(Sunday, 7, "00:30:00"), State::Completed,
            "2026-01-10 22:00 - 24:00", 100);
        row("an hour into sunday the run before is over", card({{ws(6, 22), ws(7, 0)}, Monday}),
            at(Sunday, 7, "01:00:00"), State::Idle, nextMonText, 0);

        // Week seconds count real time from local Sunday midnight, as the plug-in's next backup
        // start does: in Berlin the spring Sunday has 23 hours, so Monday's 09:00 falls at 10:00
        // on the clock; the autumn Sunday has 25, so it falls at 08:00.
        const bool berlin = inBerlin();
        row("spring change: the monday window moves with the clock", monWedFri,
            at(Spring, 1, "12:00:00"), State::Running,
            berlin ? "2026-03-30 10:00 - 18:00" : "2026-03-30 09:00 - 17:00", berlin ? 25 : 37);
        row("spring change: a night window across the change", card({{ws(0, 1), ws(0, 4)}, Monday}),
            at(Spring, 0, "03:30:00"), State::Running,
            berlin ? "2026-03-29 01:00 - 05:00" : "2026-03-29 01:00 - 04:00", berlin ? 50 : 83);
        row("autumn change: the monday window moves with the clock", monWedFri,
            at(Autumn, 1, "12:00:00"), State::Running,
            berlin ? "2026-10-26 08:00 - 16:00" : "2026-10-26 09:00 - 17:00", berlin ? 50 : 37);
        row("autumn change: a night window across the change", card({{ws(0, 1), ws(0, 4)}, Monday}),
            at(Autumn, 0, "03:30:00"), berlin ? State::Completed : State::Running,
            berlin ? "2026-10-25 01:00 - 03:00" : "2026-10-25 01:00 - 04:00", berlin ? 100 : 83);
    }

    void statusAt()
    {
        QFETCH(TimeCard, card);
        QFETCH(QDateTime, now);
        QFETCH(QString, status);
        QFETCH(QString, interval);
        QFETCH(int, progress);
        const BackupStatusReport report = BackupStatusSimulator::statusAt(card, now);
        QCOMPARE(report.status, status);
        QCOMPARE(report.interval, interval);
        QCOMPARE(report.progress, progress);
    }
};

QTEST_GUILESS_MAIN(tst_BackupStatus)

#include "tst_backupstatus.moc"
