// SPDX-License-Identifier: BSD-3-Clause

#include "JsonOutput.h"

namespace {

constexpr qint64 BytesPerMB = 1 << 20; // the plug-in sends its limit in bytes
constexpr qint64 MinutesPerDay = 1440; // and the range in minutes

// The service's interval text: "2026-12-07 09:00 - 17:00", "... - 24:00" or with an end date.
std::pair<QDateTime, QDateTime> intervalBounds(const QString& interval)
{
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm");
    const QString head = interval.section(QStringLiteral(" - "), 0, 0);
    const QString tail = interval.section(QStringLiteral(" - "), 1);
    const QDateTime begin = QDateTime::fromString(head, format);
    QDateTime end = QDateTime::fromString(tail, format);
    if (tail == QLatin1String("24:00"))
        end = begin.date().addDays(1).startOfDay();
    else if (!end.isValid() && begin.isValid())
        end = QDateTime(begin.date(), QTime::fromString(tail, QStringLiteral("HH:mm")));
    return {begin, end};
}

QString stateWord(BackupRules::NextBackup state)
{
    switch (state) {
    case BackupRules::NextBackup::Off:
        return QStringLiteral("off");
    case BackupRules::NextBackup::NoWindow:
        return QStringLiteral("noWindow");
    case BackupRules::NextBackup::Unknown:
        return QStringLiteral("unknown");
    case BackupRules::NextBackup::At:
        break;
    }
    return QStringLiteral("scheduled");
}

QJsonValue nullable(const QString& text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

} // namespace

QJsonValue JsonOutput::time(const QDateTime& moment)
{
    if (!moment.isValid())
        return QJsonValue();
    const QDateTime local = moment.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

QJsonObject JsonOutput::settings(const PluginClient::Settings& settings, bool allCameras,
                                 const QStringList& cameras)
{
    const WeekSchedule schedule = WeekSchedule::fromRectangleJson(settings.scheduleJson);
    return {
        {QStringLiteral("enabled"), settings.enabled},
        {QStringLiteral("targetDir"), settings.targetDir},
        {QStringLiteral("cyclic"), settings.targetCyclic},
        {QStringLiteral("throughputMB"), settings.maxThroughputMB},
        {QStringLiteral("throughputBytes"), settings.maxThroughputMB * BytesPerMB},
        {QStringLiteral("rangeDays"), settings.maxRangeDay},
        {QStringLiteral("rangeMinutes"), settings.maxRangeDay * MinutesPerDay},
        {QStringLiteral("allCameras"), allCameras},
        {QStringLiteral("cameras"),
         QJsonArray::fromStringList(allCameras ? QStringList() : cameras)},
        {QStringLiteral("scheduleName"), settings.scheduleName},
        {QStringLiteral("schedule"),
         schedule.isValid() ? QJsonValue(schedule.toText(WeekSchedule::Names::English))
                            : QJsonValue()},
        {QStringLiteral("windows"), windows(schedule)},
    };
}

QJsonArray JsonOutput::windows(const WeekSchedule& schedule)
{
    QJsonArray list;
    for (int position = 0; position < WeekSchedule::Days; ++position) {
        const int day = (position + 1) % WeekSchedule::Days; // Monday first
        for (const WeekSchedule::Range& range : schedule.day(day))
            list.append(QJsonObject {
                {QStringLiteral("day"), WeekSchedule::dayName(day, WeekSchedule::Names::English)},
                {QStringLiteral("start"), WeekSchedule::timeText(range.startMinute)},
                {QStringLiteral("end"), WeekSchedule::timeText(range.endMinute)},
            });
    }
    return list;
}

QJsonObject JsonOutput::status(const PluginClient::Status& status)
{
    const auto [begin, end] = intervalBounds(status.interval);
    return {
        {QStringLiteral("state"), nullable(status.status)},
        {QStringLiteral("progress"), status.progress},
        {QStringLiteral("interval"), nullable(status.interval)},
        {QStringLiteral("intervalStart"), time(begin)},
        {QStringLiteral("intervalEnd"), time(end)},
    };
}

QJsonObject JsonOutput::next(BackupRules::NextBackup state, const QDateTime& start,
                             const QDateTime& at)
{
    const bool known = state == BackupRules::NextBackup::At;
    return {
        {QStringLiteral("state"), stateWord(state)},
        {QStringLiteral("after"), time(at)},
        {QStringLiteral("start"), known ? time(start) : QJsonValue()},
        {QStringLiteral("minutesUntil"), known ? QJsonValue(at.secsTo(start) / 60) : QJsonValue()},
    };
}
