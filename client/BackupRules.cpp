// SPDX-License-Identifier: BSD-3-Clause

#include "BackupRules.h"

#include "PluginTerms.h"
#include "WeekSchedule.h"

#include <QLocale>
#include <QSet>

#include <algorithm>

namespace {

// More digits than any maximum has are refused without converting them.
constexpr int MaxLimitDigits = 15;

} // namespace

BackupRules::LimitProblem BackupRules::limitProblem(const QString& text, int maximum)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return LimitProblem::Empty;
    if (!std::all_of(trimmed.cbegin(), trimmed.cend(),
                     [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return LimitProblem::NotNumber;
    if (trimmed.size() > MaxLimitDigits || trimmed.toLongLong() > maximum)
        return LimitProblem::TooLarge;
    return LimitProblem::None;
}

std::optional<int> BackupRules::limitValue(const QString& text, int maximum)
{
    if (limitProblem(text, maximum) != LimitProblem::None)
        return std::nullopt;
    return text.trimmed().toInt();
}

bool BackupRules::isPlainText(const QString& text)
{
    return text.isValidUtf16() && std::none_of(text.cbegin(), text.cend(), [](QChar c) {
               return c.category() == QChar::Other_Control || c.isNonCharacter();
           });
}

QString BackupRules::enteredDirectory(const QString& text)
{
    return text.trimmed();
}

BackupRules::DirectoryProblem BackupRules::directoryProblem(const QString& text)
{
    const QString entered = enteredDirectory(text);
    if (entered.isEmpty())
        return DirectoryProblem::Empty;
    return isPlainText(entered) ? DirectoryProblem::None : DirectoryProblem::NotPlain;
}

std::optional<BackupRules::CameraChoice> BackupRules::parseCameras(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0)
        return CameraChoice {true, {}};
    CameraChoice choice;
    QSet<QString> seen;
    for (const QString& item : trimmed.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString id = item.trimmed();
        if (!id.isEmpty() && !seen.contains(id)) {
            seen.insert(id);
            choice.ids.append(id);
        }
    }
    if (choice.ids.isEmpty() || !isPlainText(choice.ids.join(QLatin1Char(','))))
        return std::nullopt;
    return choice;
}

QVariantList BackupRules::cameraEntries(const CameraChoice& choice,
                                        const QHash<QString, QString>& groups)
{
    if (choice.all)
        return {cameraEntry(PluginTerms::AllCamerasTag)};
    QVariantList entries;
    for (const QString& id : choice.ids)
        entries.append(cameraEntry(id, groups.value(id)));
    return entries;
}

QVariantMap BackupRules::cameraEntry(const QString& cameraId, const QString& groupId)
{
    return {{PluginTerms::PageCamera::Name, cameraId}, {PluginTerms::PageCamera::GroupId, groupId}};
}

QString BackupRules::statusWord(const QString& state)
{
    if (state.isEmpty())
        return QStringLiteral("–");
    if (state == PluginTerms::State::Disabled)
        return tr("Off");
    if (state == PluginTerms::State::Idle)
        return tr("Waiting for the next window");
    if (state == PluginTerms::State::Running)
        return tr("Running");
    if (state == PluginTerms::State::Completed)
        return tr("Completed");
    return state;
}

BackupRules::NextBackup BackupRules::nextBackup(bool enabled, const QString& scheduleJson,
                                                const QDateTime& next, const QDateTime& now)
{
    // The plug-in answers a time even when no backup will run; it counts only when one will.
    if (!enabled)
        return NextBackup::Off;
    if (WeekSchedule::fromRectangleJson(scheduleJson).isEmpty())
        return NextBackup::NoWindow;
    return next.isValid() && next > now ? NextBackup::At : NextBackup::Unknown;
}

QString BackupRules::nextBackupText(NextBackup state, const QDateTime& next, const QDateTime& now)
{
    switch (state) {
    case NextBackup::Off:
        return tr("Scheduled backup is off");
    case NextBackup::NoWindow:
        return tr("No backup window scheduled");
    case NextBackup::Unknown:
        return tr("Not known yet");
    case NextBackup::At:
        break;
    }
    const QDateTime local = next.toLocalTime();
    const QLocale locale;
    return tr("%1, %2 (%3)")
        .arg(locale.toString(local.date(), QLocale::LongFormat),
             locale.toString(local.time(), QLocale::ShortFormat), untilText(now.msecsTo(next)));
}

QString BackupRules::untilText(qint64 milliseconds)
{
    const qint64 minutes = milliseconds / 60000;
    if (minutes < 1)
        return tr("in less than a minute");
    if (minutes < 60)
        return tr("in %1 min").arg(minutes);
    const qint64 hours = minutes / 60;
    if (hours < 24)
        return tr("in %1 h %2 min").arg(hours).arg(minutes % 60);
    return tr("in %1 d %2 h").arg(hours / 24).arg(hours % 24);
}
