// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QDateTime>
#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>

class HostFramework;
class QEventLoop;

// Talks to the schedule-backup plug-in the way its settings page does: through invokable
// methods, result signals and properties of its meta-object, never through its C++ class.
class PluginClient : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { Success, Refused, Failed, TimedOut };
    Q_ENUM(Outcome)

    struct Result
    {
        Outcome outcome = Outcome::Success;
        QString errorText;

        bool isSuccess() const { return outcome == Outcome::Success; }
    };

    struct Status
    {
        QString status;
        QString interval;
        qint64 progress = 0;
    };

    // The settings the plug-in's updateBackupInfo takes, in page units.
    struct Settings
    {
        bool enabled = false;
        bool targetCyclic = false;
        QString targetDir;
        QVariantList camList;
        QString scheduleName;
        QString scheduleJson;
        int maxThroughputMB = 0;
        int maxRangeDay = 0;
    };

    PluginClient(QObject* plugin, HostFramework* framework, QObject* parent = nullptr);

    // One budget for every call from now on, so a command of several requests ends in time.
    void setTimeout(int milliseconds);

    Result loadBackupInfo();
    Result loadBackupPath(QString* path);
    Result loadBackupStatus(Status* status);
    Result updateBackupInfo(const Settings& settings);
    Result updateSchedule(const QString& name, const QString& json);
    Result nextBackupTime(const QDateTime& at, QDateTime* next);

    // The plug-in's current settings, read from its properties.
    Settings currentSettings() const;
    QVariant pluginProperty(const char* name) const;
    bool hasAllCameras() const;

    static const QString RelayPath;

private Q_SLOTS:
    void onResult(bool success);
    void onPathResult(bool success, const QString& backupPath);
    void onStatusResult(bool success, const QString& status, const QString& interval,
                        qint64 progress);
    void onReplyDelivered(const QString& command, const QString& resultCode, const QString& reason,
                          const QString& relayPath);

private:
    Result call(const QString& command, const char* signal, const char* slot,
                const std::function<bool(bool*)>& send);
    void finish(bool success);

    QPointer<QObject> m_plugin;
    QPointer<HostFramework> m_framework;
    int m_timeout = 5000;
    QDeadlineTimer m_deadline {5000};
    QEventLoop* m_loop = nullptr;
    bool m_received = false;
    bool m_success = false;
    QString m_path;
    Status m_status;
    QHash<QString, QString> m_reasons;
};
