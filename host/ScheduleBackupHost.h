// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "HostOptions.h"
#include "PluginLoader.h"
#include "Result.h"

#include <QObject>
#include <QString>

#include <memory>

class HostFramework;
class QQmlEngine;
class ServerInfo;
class ServiceCommandHandler;

enum class HostError {
    NoError,
    DataUnusable, // the data folder or file cannot be read or written
    DataDamaged, // the data file is there but damaged; it is left as it is
    PluginNotFound,
    PluginWrongInterface,
    PluginLoadFailed,
    PluginIdTaken, // two plug-ins in the folder claim one id
};

// On success, the schedule-backup plug-in object.
using HostStartResult = Result<HostError, QObject*>;

// The data folder a host uses, and why that one.
struct DataFolder
{
    enum class Source { Option, Environment, Default, OldDefault };
    QString path; // empty when there is no home folder to put the default in
    Source source = Source::Default;
};

// Everything a client process needs around the plug-in: the backup service, the framework that
// carries commands to it, a QML engine whose context the plug-ins receive, and the plug-ins.
class ScheduleBackupHost : public QObject
{
    Q_OBJECT

public:
    explicit ScheduleBackupHost(QObject* parent = nullptr);
    ~ScheduleBackupHost() override;

    // Opens the service and loads the plug-ins; the host stays unusable after a failure.
    HostStartResult start(const HostOptions& options);
    void shutdown();

    QObject* scheduleBackup() const;
    HostFramework* framework() const { return m_framework.get(); }
    // The embedded backup service as the host wires it in.
    ServiceCommandHandler* service() const { return m_handler.get(); }
    QQmlEngine* engine() const { return m_engine.get(); }
    // The data folder of the last start, as the user would name it.
    DataFolder dataFolder() const { return m_dataFolder; }

    // --data, else SCHEDULE_BACKUP_DATA, else the default folder that both programs share; an
    // old default folder of either program is used while the shared one does not exist.
    static DataFolder chooseDataFolder(const QString& option);
    // --plugin-dir, else SCHEDULE_BACKUP_PLUGIN_DIR, else the installed folder relative to the
    // program, else the build tree's folder, known by the marker file the build writes there.
    static QString choosePluginDir(const QString& option);
    static const QString BuildTreeMarker;

private:
    // The steps of start(); each leaves the clean-up after a failure to start().
    HostStartResult startService(const HostOptions& options);
    HostStartResult loadPlugins(const QString& pluginDir);
    // The folder as the service can open it, or an empty text with `error` set.
    QString reachableDataDir(const QString& dataDir, QString* error);

    std::unique_ptr<ServiceCommandHandler> m_handler;
    std::unique_ptr<ServerInfo> m_serverInfo;
    std::unique_ptr<HostFramework> m_framework;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<PluginLoader> m_loader;
    LoadedPlugin m_scheduleBackup;
    DataFolder m_dataFolder;
    int m_dataDirFd = -1; // holds a data folder whose name is not UTF-8
};
