// SPDX-License-Identifier: BSD-3-Clause

#include "BackupStatus.h"

#include "BackupProtocol.h"

#include <algorithm>

namespace {

// A finished run is reported for an hour before the service shows the next window again.
constexpr qint64 CompletedGraceSeconds = 3600;

// Sorted windows; intervals that touch or overlap form one window, empty ones are dropped.
QList<WeekInterval> windows(const QList<WeekInterval>& intervals)
{
    QList<WeekInterval> sorted;
    for (const WeekInterval& interval : intervals) {
        if (interval.begin < interval.end)
            sorted.append(interval);
    }
    std::sort(sorted.begin(), sorted.end(),
              [](const WeekInterval& a, const WeekInterval& b) { return a.begin < b.begin; });
    QList<WeekInterval> joined;
    for (const WeekInterval& interval : std::as_const(sorted)) {
        if (!joined.isEmpty() && interval.begin <= joined.last().end)
            joined.last().end = std::max(joined.last().end, interval.end);
        else
            joined.append(interval);
    }
    return joined;
}

QDateTime weekStart(const QDateTime& moment)
{
    const QDate date = moment.toLocalTime().date();
    return date.addDays(-(date.dayOfWeek() % 7)).startOfDay();
}

QString intervalText(const QDateTime& weekStart, const WeekInterval& window)
{
    const QDateTime begin = weekStart.addSecs(window.begin);
    const QDateTime end = weekStart.addSecs(window.end);
    const QString head = begin.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    if (end.date() == begin.date())
        return head + QStringLiteral(" - ") + end.toString(QStringLiteral("HH:mm"));
    if (end.date() == begin.date().addDays(1) && end.time() == QTime(0, 0))
        return head + QStringLiteral(" - 24:00");
    return head + QStringLiteral(" - ") + end.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

} // namespace

BackupStatusReport BackupStatusSimulator::statusAt(const TimeCard& card, const QDateTime& now)
{
    if (!card.enabled)
        return {BackupProtocol::State::Disabled, QString(), 0};
    const QList<WeekInterval> runs = windows(card.intervals);
    if (runs.isEmpty())
        return {BackupProtocol::State::Idle, QString(), 0};

    const QDateTime start = weekStart(now);
    const qint64 elapsed = start.secsTo(now);
    const WeekInterval* lastEnded = nullptr;
    for (const WeekInterval& run : runs) {
        if (run.begin <= elapsed && elapsed < run.end) {
            const int progress = int((elapsed - run.begin) * 100 / (run.end - run.begin));
            return {BackupProtocol::State::Running, intervalText(start, run), progress};
        }
        if (run.end <= elapsed)
            lastEnded = &run;
    }
    if (lastEnded && elapsed - lastEnded->end < CompletedGraceSeconds)
        return {BackupProtocol::State::Completed, intervalText(start, *lastEnded), 100};
    if (!lastEnded) {
        // Early on Sunday the run that ended late last week is still the one to report.
        const QDateTime previousStart = start.addDays(-7);
        if (previousStart.secsTo(now) - runs.last().end < CompletedGraceSeconds)
            return {BackupProtocol::State::Completed, intervalText(previousStart, runs.last()),
                    100};
    }

    for (const WeekInterval& run : runs) {
        if (run.begin > elapsed)
            return {BackupProtocol::State::Idle, intervalText(start, run), 0};
    }
    return {BackupProtocol::State::Idle, intervalText(start.addDays(7), runs.first()), 0};
}
