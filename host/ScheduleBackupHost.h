#pragma once

#include "PluginLoader.h"

#include <QObject>
#include <QString>

#include <memory>

class BackupService;
class HostFramework;
class QQmlEngine;
class ServerInfo;

// Everything a client process needs around the plug-in: the backup service, the framework that
// carries commands to it, a QML engine whose context the plug-ins receive, and the plug-ins.
class ScheduleBackupHost : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QObject* scheduleBackup READ scheduleBackup NOTIFY scheduleBackupChanged)

public:
    static const QString ScheduleBackupPluginId;
    static const QString ContextPropertyName;

    struct Options
    {
        QString dataDir;
        QString pluginDir;
        int latencyMs = 0;
    };

    explicit ScheduleBackupHost(QObject* parent = nullptr);
    ~ScheduleBackupHost() override;

    // Opens the service and loads the plug-ins. A failure is reported as a load result whose
    // text says what went wrong; the host stays unusable then.
    PluginLoadResult start(const Options& options);
    void shutdown();

    QObject* scheduleBackup() const;
    HostFramework* framework() const { return m_framework.get(); }
    BackupService* service() const { return m_service.get(); }
    QQmlEngine* engine() const { return m_engine.get(); }
    QList<PluginLoadResult> loadResults() const { return m_loadResults; }

    // <exe>/../plugins in a build tree, <exe>/../lib/schedule-backup/plugins when installed.
    static QString defaultPluginDir();
    static QString defaultDataDir();

Q_SIGNALS:
    void scheduleBackupChanged();

private:
    std::unique_ptr<BackupService> m_service;
    std::unique_ptr<ServerInfo> m_serverInfo;
    std::unique_ptr<HostFramework> m_framework;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<PluginLoader> m_loader;
    QList<PluginLoadResult> m_loadResults;
    PluginLoadResult m_scheduleBackup;
};
