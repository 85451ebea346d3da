// SPDX-License-Identifier: BSD-3-Clause

#include "BackupTerms.h"

#include "BackupRules.h"
#include "PageClock.h"
#include "PluginTerms.h"
#include "WeekSchedule.h"

BackupTerms::BackupTerms(QObject* parent) : QObject(parent) { }

QString BackupTerms::allCamerasTag() const
{
    return PluginTerms::AllCamerasTag;
}

int BackupTerms::maxThroughputMB() const
{
    return PluginTerms::MaxThroughputMB;
}

int BackupTerms::maxRangeDays() const
{
    return PluginTerms::MaxRangeDays;
}

QStringList BackupTerms::dayNames() const
{
    QStringList names;
    for (int day = 0; day < WeekSchedule::Days; ++day)
        names.append(WeekSchedule::dayName(day));
    return names;
}

QStringList BackupTerms::fullDayNames() const
{
    QStringList names;
    for (int day = 0; day < WeekSchedule::Days; ++day)
        names.append(WeekSchedule::fullDayName(day));
    return names;
}

QVariantMap BackupTerms::pageCamera(const QString& cameraId, const QString& groupId) const
{
    return BackupRules::cameraEntry(cameraId, groupId);
}

QString BackupTerms::limitProblem(const QString& text, int maximum) const
{
    switch (BackupRules::limitProblem(text, maximum)) {
    case BackupRules::LimitProblem::None:
        break;
    case BackupRules::LimitProblem::Empty:
        return QStringLiteral("empty");
    case BackupRules::LimitProblem::NotNumber:
        return QStringLiteral("notNumber");
    case BackupRules::LimitProblem::TooLarge:
        return QStringLiteral("tooLarge");
    }
    return QString();
}

QString BackupTerms::directoryProblem(const QString& text) const
{
    switch (BackupRules::directoryProblem(text)) {
    case BackupRules::DirectoryProblem::None:
        break;
    case BackupRules::DirectoryProblem::Empty:
        return QStringLiteral("empty");
    case BackupRules::DirectoryProblem::NotPlain:
        return QStringLiteral("notPlain");
    }
    return QString();
}

QString BackupTerms::statusWord(const QString& state) const
{
    return BackupRules::statusWord(state);
}

QString BackupTerms::nextBackupText(bool enabled, const QString& scheduleJson, double nextMs,
                                    double nowMs) const
{
    const QDateTime next = QDateTime::fromMSecsSinceEpoch(qint64(nextMs));
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(qint64(nowMs));
    const BackupRules::NextBackup state = BackupRules::nextBackup(enabled, scheduleJson, next, now);
    if (state != BackupRules::NextBackup::At)
        return BackupRules::nextBackupText(state, next, now);
    // Written like every other date of the page: no seconds, whatever the locale's short time.
    const QDateTime local = next.toLocalTime();
    return QStringLiteral("%1 (%2)").arg(PageClock::dateTimeText(local.date(), local.time()),
                                         BackupRules::untilText(now.msecsTo(next)));
}
