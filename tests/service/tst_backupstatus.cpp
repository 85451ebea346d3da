// SPDX-License-Identifier: BSD-3-Clause
// The simulated backup runs: windows, progress, the hour a finished run stays reported, and weeks
// with a clock change. Run in UTC and Europe/Berlin: week seconds count real time from local
// Sunday midnight.

#include "BackupProtocol.h"
#include "BackupStatus.h"
#include "Table.h"

#include <QTest>

Q_DECLARE_METATYPE(TimeCard)

namespace {

using namespace BackupProtocol;

// Week seconds of a wall-clock time in a week of 24-hour days.
constexpr qint64 ws(int day, int hour)
{
    return day * 86400 + hour * 3600;
}

const QDate Sunday(2026, 1, 4); // a week without a clock change
const QDate Spring(2026, 3, 29); // clocks go from 02:00 to 03:00 in Berlin
const QDate Autumn(2026, 10, 25); // clocks go from 03:00 back to 02:00 in Berlin
const bool InBerlin = qgetenv("TZ") == "Europe/Berlin";

QDateTime at(const QDate& sunday, int day, const char* time)
{
    return QDateTime(sunday.addDays(day), QTime::fromString(QLatin1String(time), "HH:mm:ss"));
}

const WeekInterval Monday {ws(1, 9), ws(1, 17)};

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

    // The time-card, the moment, and the status, interval and progress reported.
    using Cases = Table<TimeCard, QDateTime, QString, QString, int>;

private Q_SLOTS:
    void initTestCase()
    {
        // The clock-change rows only mean something when the zone is really in effect.
        QCOMPARE(Spring.startOfDay().secsTo(Spring.addDays(1).startOfDay()),
                 (InBerlin ? 23 : 24) * 3600);
    }

    void statusAt_data()
    {
        Cases::columns();
        const TimeCard monWed = card({{ws(3, 9), ws(3, 17)}, Monday});
        const TimeCard night = card({{ws(0, 1), ws(0, 4)}, Monday});
        const TimeCard saturdayNight = card({{ws(6, 22), ws(7, 0)}, Monday});
        const QString mon = "2026-01-05 09:00 - 17:00";
        const auto row = &Cases::row;

        row("a disabled card is disabled even inside a window", card({Monday}, false),
            at(Sunday, 1, "12:00:00"), State::Disabled, "", 0);
        row("a card with only empty windows is idle with no interval", card({{ws(1, 9), ws(1, 9)}}),
            at(Sunday, 1, "09:00:00"), State::Idle, "", 0);
        row("at the start the run begins at 0 percent", monWed, at(Sunday, 1, "09:00:00"),
            State::Running, mon, 0);
        row("in the last second the run is at 99, never 100", monWed, at(Sunday, 1, "16:59:59"),
            State::Running, mon, 99);
        row("at the end the run is completed", monWed, at(Sunday, 1, "17:00:00"), State::Completed,
            mon, 100);
        row("an hour after the end the next window is shown", monWed, at(Sunday, 1, "18:00:00"),
            State::Idle, "2026-01-07 09:00 - 17:00", 0);
        row("a run ending at 24:00 on saturday stays completed into sunday", saturdayNight,
            at(Sunday, 7, "00:30:00"), State::Completed, "2026-01-10 22:00 - 24:00", 100);
        row("an hour into sunday the run before is over", saturdayNight, at(Sunday, 7, "01:00:00"),
            State::Idle, "2026-01-12 09:00 - 17:00", 0);
        row("a window inside another runs to the outer end", card({Monday, {ws(1, 10), ws(1, 11)}}),
            at(Sunday, 1, "15:00:00"), State::Running, mon, 75);
        row("touching windows run as one, named with both days",
            card({{ws(4, 0), ws(4, 6)}, {ws(3, 22), ws(4, 0)}}), at(Sunday, 4, "02:00:00"),
            State::Running, "2026-01-07 22:00 - 2026-01-08 06:00", 50);

        // In Berlin the spring Sunday has 23 hours, so Monday's 09:00 is 10:00 on the clock; the
        // autumn Sunday has 25, so a night window until 04:00 ends at 03:00 on the clock.
        row("spring change: the monday window moves with the clock", monWed,
            at(Spring, 1, "12:00:00"), State::Running,
            InBerlin ? "2026-03-30 10:00 - 18:00" : "2026-03-30 09:00 - 17:00", InBerlin ? 25 : 37);
        row("autumn change: a night window across the change", night, at(Autumn, 0, "03:30:00"),
            InBerlin ? State::Completed : State::Running,
            InBerlin ? "2026-10-25 01:00 - 03:00" : "2026-10-25 01:00 - 04:00",
            InBerlin ? 100 : 83);
    }

    void statusAt()
    {
        const auto [card, now, status, interval, progress] = Cases::fetch();
        const BackupStatusReport report = BackupStatusSimulator::statusAt(card, now);
        QCOMPARE(report.status, status);
        QCOMPARE(report.interval, interval);
        QCOMPARE(report.progress, progress);
    }
};

QTEST_GUILESS_MAIN(tst_BackupStatus)

#include "tst_backupstatus.moc"
