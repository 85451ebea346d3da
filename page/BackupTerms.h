// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>

// The front ends' words and rules (client/) as the page's QML sees them, so that the page and
// the command line behave alike and QML never re-types them.
class BackupTerms : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString allCamerasTag READ allCamerasTag CONSTANT)
    Q_PROPERTY(int maxThroughputMB READ maxThroughputMB CONSTANT)
    Q_PROPERTY(int maxRangeDays READ maxRangeDays CONSTANT)
    // The week's days in the user's language, Sunday first: the names the typed windows accept.
    Q_PROPERTY(QStringList dayNames READ dayNames CONSTANT)
    Q_PROPERTY(QStringList fullDayNames READ fullDayNames CONSTANT)

public:
    explicit BackupTerms(QObject* parent = nullptr);

    QString allCamerasTag() const;
    int maxThroughputMB() const;
    int maxRangeDays() const;
    QStringList dayNames() const;
    QStringList fullDayNames() const;

    // A camera entry of the plug-in's updateBackupInfo camera list.
    Q_INVOKABLE QVariantMap pageCamera(const QString& cameraId, const QString& groupId) const;

    // Why a limit text cannot be sent: "" (it can), "empty", "notNumber" or "tooLarge".
    Q_INVOKABLE QString limitProblem(const QString& text, int maximum) const;
    // Why a typed directory cannot be sent: "" (it can), "empty" or "notPlain".
    Q_INVOKABLE QString directoryProblem(const QString& text) const;
    Q_INVOKABLE QString statusWord(const QString& state) const;
    // What the page says about the next backup; `nextMs` is the plug-in's answer.
    Q_INVOKABLE QString nextBackupText(bool enabled, const QString& scheduleJson, double nextMs,
                                       double nowMs) const;
};
