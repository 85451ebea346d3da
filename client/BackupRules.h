// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

// The rules for what people enter and read about the scheduled backup, the same on every front
// end: the limits, the target directory, the cameras, the backup states and the next start.
class BackupRules
{
    Q_DECLARE_TR_FUNCTIONS(BackupRules)

public:
    // A limit is a whole number from 0 to its maximum; beyond it the text is refused, never
    // clamped. Blanks around the digits are allowed.
    enum class LimitProblem { None, Empty, NotNumber, TooLarge };
    static LimitProblem limitProblem(const QString& text, int maximum);
    static std::optional<int> limitValue(const QString& text, int maximum);

    // No control characters (tab and line breaks included), no lone surrogates and no
    // non-characters: such text would break a line of output or could not be stored.
    static bool isPlainText(const QString& text);

    // A typed directory loses the blanks at its ends; what is left must be plain, non-empty text.
    enum class DirectoryProblem { None, Empty, NotPlain };
    static QString enteredDirectory(const QString& text);
    static DirectoryProblem directoryProblem(const QString& text);

    // Typed cameras: "all" (any case) or ids separated by commas, kept in order without
    // repeats. Nothing when no id is named or an id is not plain text.
    struct CameraChoice
    {
        bool all = false;
        QStringList ids;
    };
    static std::optional<CameraChoice> parseCameras(const QString& text);
    // The plug-in's updateBackupInfo camera list: the all-cameras tag alone, or one entry per
    // id with its group from `groups` (the service fills in a group left empty).
    static QVariantList cameraEntries(const CameraChoice& choice,
                                      const QHash<QString, QString>& groups = {});
    static QVariantMap cameraEntry(const QString& cameraId, const QString& groupId = QString());

    // A backup state of a status reply in words; an unknown state is shown as it came.
    static QString statusWord(const QString& state);

    // What can be said about the next backup. `next` is the plug-in's answer; a start that is
    // not after `now` is no answer.
    enum class NextBackup { Off, NoWindow, Unknown, At };
    static NextBackup nextBackup(bool enabled, const QString& scheduleJson, const QDateTime& next,
                                 const QDateTime& now);
    // The state in words; for At the local date and time and how long until then.
    static QString nextBackupText(NextBackup state, const QDateTime& next, const QDateTime& now);
    // "in 3 h 20 min" and the like.
    static QString untilText(qint64 milliseconds);
};
