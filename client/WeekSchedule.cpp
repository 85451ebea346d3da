// SPDX-License-Identifier: BSD-3-Clause

#include "WeekSchedule.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

namespace {

const char* const ShortNames[]
    = {QT_TRANSLATE_NOOP("WeekSchedule", "Sun"), QT_TRANSLATE_NOOP("WeekSchedule", "Mon"),
       QT_TRANSLATE_NOOP("WeekSchedule", "Tue"), QT_TRANSLATE_NOOP("WeekSchedule", "Wed"),
       QT_TRANSLATE_NOOP("WeekSchedule", "Thu"), QT_TRANSLATE_NOOP("WeekSchedule", "Fri"),
       QT_TRANSLATE_NOOP("WeekSchedule", "Sat")};
const char* const FullNames[] = {
    QT_TRANSLATE_NOOP("WeekSchedule", "Sunday"),   QT_TRANSLATE_NOOP("WeekSchedule", "Monday"),
    QT_TRANSLATE_NOOP("WeekSchedule", "Tuesday"),  QT_TRANSLATE_NOOP("WeekSchedule", "Wednesday"),
    QT_TRANSLATE_NOOP("WeekSchedule", "Thursday"), QT_TRANSLATE_NOOP("WeekSchedule", "Friday"),
    QT_TRANSLATE_NOOP("WeekSchedule", "Saturday")};
// Display order: the working week first.
constexpr int DisplayOrder[] = {1, 2, 3, 4, 5, 6, 0};

QString translated(const char* text)
{
    return QCoreApplication::translate("WeekSchedule", text);
}

// The index of the first name that `lower` is, or starts from `prefixFrom` letters on (0: only
// whole names).
int matchName(const QString& lower, const QStringList& names, int prefixFrom)
{
    for (int i = 0; i < names.size(); ++i) {
        const QString name = names[i].toLower();
        if (lower == name
            || (prefixFrom > 0 && lower.size() >= prefixFrom && name.startsWith(lower)))
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

// Runs of neighbouring days (in display order) with the same windows.
struct Run
{
    int first;
    int last;
    QList<WeekSchedule::Range> ranges;
};

QList<Run> runsOfDays(const WeekSchedule& schedule)
{
    QList<Run> runs;
    for (int position = 0; position < WeekSchedule::Days; ++position) {
        const int d = DisplayOrder[position];
        const QList<WeekSchedule::Range> ranges = schedule.day(d);
        if (ranges.isEmpty())
            continue;
        const bool extends = !runs.isEmpty() && runs.last().ranges == ranges && position > 0
            && runs.last().last == DisplayOrder[position - 1];
        if (extends)
            runs.last().last = d;
        else
            runs.append({d, d, ranges});
    }
    return runs;
}

QString runText(const Run& run, WeekSchedule::Names names)
{
    const QString first = WeekSchedule::dayName(run.first, names);
    return run.first == run.last
        ? first
        : first + QLatin1Char('-') + WeekSchedule::dayName(run.last, names);
}

} // namespace

QString WeekSchedule::dayName(int dayIndex, Names names)
{
    if (dayIndex < 0 || dayIndex >= Days)
        return QString();
    return names == Names::English ? QString::fromLatin1(ShortNames[dayIndex])
                                   : translated(ShortNames[dayIndex]);
}

QString WeekSchedule::fullDayName(int dayIndex)
{
    return dayIndex >= 0 && dayIndex < Days ? translated(FullNames[dayIndex]) : QString();
}

int WeekSchedule::dayIndex(const QString& name)
{
    QStringList localShort, localFull, englishFull;
    for (int i = 0; i < Days; ++i) {
        localShort.append(translated(ShortNames[i]));
        localFull.append(translated(FullNames[i]));
        englishFull.append(QString::fromLatin1(FullNames[i]));
    }
    const QString lower = name.trimmed().toLower();
    if (lower.isEmpty())
        return -1;
    // The user's language first, so that its short names win over English prefixes.
    for (const int index : {matchName(lower, localShort, 0), matchName(lower, localFull, 3),
                            matchName(lower, englishFull, 3)}) {
        if (index >= 0)
            return index;
    }
    return -1;
}

bool WeekSchedule::isEmpty() const
{
    return std::all_of(std::begin(m_days), std::end(m_days),
                       [](const QList<Range>& ranges) { return ranges.isEmpty(); });
}

QList<WeekSchedule::Range> WeekSchedule::day(int dayIndex) const
{
    return dayIndex >= 0 && dayIndex < Days ? m_days[dayIndex] : QList<Range>();
}

void WeekSchedule::add(int dayIndex, Range range)
{
    if (dayIndex < 0 || dayIndex >= Days || range.startMinute >= range.endMinute)
        return;
    // Sorted and free of overlaps, so equal schedules compare equal as text.
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
    // Blanks around the separators are allowed, and a dash may be typed as an en dash.
    static const QRegularExpression separators(QStringLiteral("\\s*([-,])\\s*"));
    const QString trimmed = QString(text)
                                .replace(QChar(0x2013), QLatin1Char('-'))
                                .replace(separators, QStringLiteral("\\1"))
                                .trimmed();
    if (trimmed.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return schedule;
    if (trimmed.isEmpty())
        schedule.m_error = tr("empty schedule (use \"none\" for no backup windows)");
    const QStringList entries = trimmed.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    // Only "none" clears the schedule: text that names no window is a mistake, not a wish.
    if (schedule.isValid()
        && std::none_of(entries.cbegin(), entries.cend(),
                        [](const QString& entry) { return !entry.trimmed().isEmpty(); }))
        schedule.m_error = tr("no backup windows (use \"none\" for no backup windows)");
    for (const QString& entry : entries) {
        if (schedule.isValid() && !entry.trimmed().isEmpty())
            schedule.m_error = schedule.parseEntry(entry.trimmed());
    }
    if (!schedule.isValid())
        std::fill(std::begin(schedule.m_days), std::end(schedule.m_days), QList<Range>());
    return schedule;
}

QString WeekSchedule::parseEntry(const QString& entry)
{
    const qsizetype split = entry.indexOf(QRegularExpression(QStringLiteral("\\s")));
    if (split < 0)
        return tr("\"%1\": expected days and times").arg(entry);
    QList<int> days;
    if (const QString error = parseDays(entry.left(split), &days); !error.isEmpty())
        return error;
    const QStringList times
        = entry.mid(split + 1).remove(QLatin1Char(' ')).split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (days.isEmpty() || times.isEmpty())
        return tr("\"%1\": expected days and times").arg(entry);
    for (const QString& item : times) {
        const QStringList bounds = item.split(QLatin1Char('-'));
        const int start = bounds.size() == 2 ? parseTime(bounds.first(), false) : -1;
        const int end = bounds.size() == 2 ? parseTime(bounds.last(), true) : -1;
        if (start < 0 || end < 0)
            return tr("\"%1\": expected HH:MM-HH:MM on whole or half hours").arg(item);
        if (start >= end)
            return tr("\"%1\": the window ends before it starts").arg(item);
        for (int d : std::as_const(days))
            add(d, {start, end});
    }
    return QString();
}

QString WeekSchedule::parseDays(const QString& text, QList<int>* days)
{
    for (const QString& item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (item.compare(QLatin1String("daily"), Qt::CaseInsensitive) == 0) {
            *days = {0, 1, 2, 3, 4, 5, 6};
            continue;
        }
        const QStringList bounds = item.split(QLatin1Char('-'));
        const int first = dayIndex(bounds.first());
        const int last = bounds.size() == 2 ? dayIndex(bounds.last()) : first;
        if (bounds.size() > 2 || first < 0 || last < 0)
            return tr("\"%1\": unknown day").arg(item);
        // Ranges may wrap over the weekend, as in Fri-Mon.
        for (int d = first;; d = (d + 1) % Days) {
            days->append(d);
            if (d == last)
                break;
        }
    }
    return QString();
}

WeekSchedule WeekSchedule::fromRectangleJson(const QString& json)
{
    WeekSchedule schedule;
    if (json.trimmed().isEmpty())
        return schedule;
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8());
    if (!document.isObject()) {
        schedule.m_error = tr("schedule document is not a JSON object");
        return schedule;
    }
    // Minutes from hours; clamped first, so that no number is too large to round.
    const auto minute = [](const QJsonValue& hours) {
        return qRound(std::clamp(hours.toDouble(), -1.0, 25.0) * 60);
    };
    const QJsonArray rectangles = document.object().value(QLatin1String("Rectangles")).toArray();
    for (const QJsonValue& value : rectangles) {
        const QJsonObject rectangle = value.toObject();
        const int start
            = std::clamp(minute(rectangle.value(QLatin1String("Top"))), 0, MinutesPerDay);
        const int end
            = std::clamp(minute(rectangle.value(QLatin1String("Bottom"))), 0, MinutesPerDay);
        const int left = rectangle.value(QLatin1String("Left")).toInt();
        const int right = rectangle.value(QLatin1String("Right")).toInt();
        for (int d = std::max(left, 0); d < std::min(right, Days); ++d)
            schedule.add(d, {start, end});
    }
    return schedule;
}

QString WeekSchedule::toRectangleJson() const
{
    QStringList rectangles;
    for (int d = 0; d < Days; ++d) {
        // Half hours are exact in binary, so the shortest form gives 9, 9.5 and 24.
        for (const Range& range : m_days[d])
            rectangles.append(QStringLiteral("{\"Top\":%1,\"Bottom\":%2,\"Left\":%3,\"Right\":%4}")
                                  .arg(QString::number(range.startMinute / 60.0),
                                       QString::number(range.endMinute / 60.0))
                                  .arg(d)
                                  .arg(d + 1));
    }
    return QStringLiteral("{\"Rectangles\":[") + rectangles.join(QLatin1Char(','))
        + QStringLiteral("]}");
}

QString WeekSchedule::timeText(int minute)
{
    return ::timeText(minute);
}

QString WeekSchedule::toText(Names names) const
{
    if (isEmpty())
        return QStringLiteral("none");
    // Runs with the same windows share one entry: "Mon-Tue,Thu 09:00-17:00".
    const QList<Run> runs = runsOfDays(*this);
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
            dayLabels.append(runText(runs[j], names));
        }
        entries.append(dayLabels.join(QLatin1Char(',')) + QLatin1Char(' ')
                       + rangesText(runs[i].ranges));
    }
    return entries.join(QStringLiteral("; "));
}
