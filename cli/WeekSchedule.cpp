#include "WeekSchedule.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr int MinutesPerDay = 1440;
const char* const DayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
// Display order: the working week first.
constexpr int DisplayOrder[] = {1, 2, 3, 4, 5, 6, 0};

// Accepts "Mon", "mon", "Monday" and any prefix of the full name from three letters on.
int dayIndex(const QString& name)
{
    static const QStringList fullNames
        = {QStringLiteral("sunday"),    QStringLiteral("monday"),   QStringLiteral("tuesday"),
           QStringLiteral("wednesday"), QStringLiteral("thursday"), QStringLiteral("friday"),
           QStringLiteral("saturday")};
    const QString lower = name.trimmed().toLower();
    if (lower.size() < 3)
        return -1;
    for (int i = 0; i < 7; ++i) {
        if (fullNames[i].startsWith(lower))
            return i;
    }
    return -1;
}

// "HH:MM" on the half-hour grid; 24:00 only where allowEndOfDay.
int parseTime(const QString& text, bool allowEndOfDay)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    const auto match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return -1;
    const int hours = match.captured(1).toInt();
    const int minutes = match.captured(2).toInt();
    if ((minutes != 0 && minutes != 30) || hours > 24 || (hours == 24 && minutes != 0))
        return -1;
    if (hours == 24 && !allowEndOfDay)
        return -1;
    return hours * 60 + minutes;
}

QString timeText(int minute)
{
    return QStringLiteral("%1:%2")
        .arg(minute / 60, 2, 10, QLatin1Char('0'))
        .arg(minute % 60, 2, 10, QLatin1Char('0'));
}

QString rangesText(const QList<WeekSchedule::Range>& ranges)
{
    QStringList parts;
    for (const auto& range : ranges)
        parts.append(timeText(range.startMinute) + QLatin1Char('-') + timeText(range.endMinute));
    return parts.join(QLatin1Char(','));
}

} // namespace

QString WeekSchedule::dayName(int dayIndex)
{
    return dayIndex >= 0 && dayIndex < 7 ? QString::fromLatin1(DayNames[dayIndex]) : QString();
}

bool WeekSchedule::isEmpty() const
{
    return std::all_of(std::begin(m_days), std::end(m_days),
                       [](const QList<Range>& ranges) { return ranges.isEmpty(); });
}

void WeekSchedule::add(int dayIndex, Range range)
{
    // Keep each day sorted and free of overlaps, so equal schedules compare equal as text.
    QList<Range>& ranges = m_days[dayIndex];
    ranges.append(range);
    std::sort(ranges.begin(), ranges.end(),
              [](const Range& a, const Range& b) { return a.startMinute < b.startMinute; });
    QList<Range> merged;
    for (const Range& item : std::as_const(ranges)) {
        if (!merged.isEmpty() && item.startMinute <= merged.last().endMinute)
            merged.last().endMinute = std::max(merged.last().endMinute, item.endMinute);
        else
            merged.append(item);
    }
    ranges = merged;
}

WeekSchedule WeekSchedule::parse(const QString& text)
{
    WeekSchedule schedule;
    auto fail = [](const QString& error) {
        WeekSchedule failed;
        failed.m_error = error;
        return failed;
    };
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return schedule;
    if (trimmed.isEmpty())
        return fail(tr("empty schedule (use \"none\" for no backup windows)"));

    const QStringList entries = trimmed.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    // Only "none" clears the schedule: text that names no window is a mistake, not a wish.
    if (std::none_of(entries.cbegin(), entries.cend(),
                     [](const QString& entry) { return !entry.trimmed().isEmpty(); }))
        return fail(tr("no backup windows (use \"none\" for no backup windows)"));
    for (const QString& rawEntry : entries) {
        const QString entry = rawEntry.trimmed();
        if (entry.isEmpty())
            continue;
        const qsizetype split = entry.indexOf(QRegularExpression(QStringLiteral("\\s")));
        if (split < 0)
            return fail(tr("\"%1\": expected days and times").arg(entry));
        const QString daysPart = entry.left(split);
        const QString timesPart = entry.mid(split + 1).remove(QLatin1Char(' '));

        QList<int> days;
        for (const QString& item : daysPart.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            if (item.compare(QLatin1String("daily"), Qt::CaseInsensitive) == 0) {
                days = {0, 1, 2, 3, 4, 5, 6};
                continue;
            }
            const QStringList bounds = item.split(QLatin1Char('-'));
            const int first = dayIndex(bounds.first());
            const int last = bounds.size() == 2 ? dayIndex(bounds.last()) : first;
            if (bounds.size() > 2 || first < 0 || last < 0)
                return fail(tr("\"%1\": unknown day").arg(item));
            // Ranges may wrap over the weekend, as in Fri-Mon.
            for (int d = first;; d = (d + 1) % 7) {
                days.append(d);
                if (d == last)
                    break;
            }
        }
        const QStringList times = timesPart.split(QLatin1Char(','), Qt::SkipEmptyParts);
        if (days.isEmpty() || times.isEmpty())
            return fail(tr("\"%1\": expected days and times").arg(entry));
        for (const QString& item : times) {
            const QStringList bounds = item.split(QLatin1Char('-'));
            const int start = bounds.size() == 2 ? parseTime(bounds.first(), false) : -1;
            const int end = bounds.size() == 2 ? parseTime(bounds.last(), true) : -1;
            if (start < 0 || end < 0)
                return fail(tr("\"%1\": expected HH:MM-HH:MM on whole or half hours").arg(item));
            if (start >= end)
                return fail(tr("\"%1\": the window ends before it starts").arg(item));
            for (int d : std::as_const(days))
                schedule.add(d, {start, end});
        }
    }
    return schedule;
}

WeekSchedule WeekSchedule::fromRectangleJson(const QString& json)
{
    WeekSchedule schedule;
    if (json.trimmed().isEmpty())
        return schedule;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (!document.isObject()) {
        schedule.m_error = tr("schedule document is not a JSON object");
        return schedule;
    }
    const QJsonArray rectangles = document.object().value(QLatin1String("Rectangles")).toArray();
    for (const QJsonValue& value : rectangles) {
        const QJsonObject rectangle = value.toObject();
        const int top = qRound(rectangle.value(QLatin1String("Top")).toDouble() * 60);
        const int bottom = qRound(rectangle.value(QLatin1String("Bottom")).toDouble() * 60);
        const int left = rectangle.value(QLatin1String("Left")).toInt();
        const int right = rectangle.value(QLatin1String("Right")).toInt();
        const int start = std::clamp(top, 0, MinutesPerDay);
        const int end = std::clamp(bottom, 0, MinutesPerDay);
        if (start >= end)
            continue;
        for (int d = std::max(left, 0); d < std::min(right, 7); ++d)
            schedule.add(d, {start, end});
    }
    return schedule;
}

QString WeekSchedule::toRectangleJson() const
{
    // One rectangle per run of neighbouring days that share a window.
    QJsonArray rectangles;
    QList<Range> pending[7];
    for (int d = 0; d < 7; ++d)
        pending[d] = m_days[d];
    for (int d = 0; d < 7; ++d) {
        while (!pending[d].isEmpty()) {
            const Range range = pending[d].takeFirst();
            int right = d + 1;
            while (right < 7 && pending[right].removeOne(range))
                ++right;
            rectangles.append(QJsonObject {{QStringLiteral("Top"), range.startMinute / 60.0},
                                           {QStringLiteral("Bottom"), range.endMinute / 60.0},
                                           {QStringLiteral("Left"), d},
                                           {QStringLiteral("Right"), right}});
        }
    }
    return QString::fromUtf8(QJsonDocument(QJsonObject {{QStringLiteral("Rectangles"), rectangles}})
                                 .toJson(QJsonDocument::Compact));
}

QString WeekSchedule::toText() const
{
    if (isEmpty())
        return QStringLiteral("none");
    // Runs of neighbouring days (in display order) with the same windows.
    struct Run
    {
        int first;
        int last;
        QList<Range> ranges;
    };
    QList<Run> runs;
    for (int position = 0; position < 7; ++position) {
        const int d = DisplayOrder[position];
        if (m_days[d].isEmpty())
            continue;
        const bool extends = !runs.isEmpty() && runs.last().ranges == m_days[d] && position > 0
            && runs.last().last == DisplayOrder[position - 1];
        if (extends)
            runs.last().last = d;
        else
            runs.append({d, d, m_days[d]});
    }
    QStringList entries;
    QList<bool> used(runs.size(), false);
    for (int i = 0; i < runs.size(); ++i) {
        if (used[i])
            continue;
        QStringList dayLabels;
        for (int j = i; j < runs.size(); ++j) {
            if (used[j] || runs[j].ranges != runs[i].ranges)
                continue;
            used[j] = true;
            dayLabels.append(runs[j].first == runs[j].last ? dayName(runs[j].first)
                                                           : dayName(runs[j].first)
                                     + QLatin1Char('-') + dayName(runs[j].last));
        }
        entries.append(dayLabels.join(QLatin1Char(',')) + QLatin1Char(' ')
                       + rangesText(runs[i].ranges));
    }
    return entries.join(QStringLiteral("; "));
}
