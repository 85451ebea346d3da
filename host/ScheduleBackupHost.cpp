#include "ScheduleBackupHost.h"

#include "BackupProtocol.h"
#include "BackupService.h"
#include "HostFramework.h"
#include "HostLogging.h"
#include "PluginBase.h"
#include "ServerInfo.h"
#include "ServiceCommandHandler.h"

#include <QCoreApplication>
#include <QDir>
#include <QQmlContext>
#include <QQmlEngine>
#include <QStandardPaths>

namespace {

HostError hostError(PluginLoadError error)
{
    switch (error) {
    case PluginLoadError::NoError:
        return HostError::NoError;
    case PluginLoadError::NotFound:
        return HostError::PluginNotFound;
    case PluginLoadError::WrongInterface:
        return HostError::PluginWrongInterface;
    case PluginLoadError::LoadFailed:
        return HostError::PluginLoadFailed;
    case PluginLoadError::DuplicateId:
        return HostError::PluginIdTaken;
    }
    return HostError::PluginLoadFailed;
}

} // namespace

ScheduleBackupHost::ScheduleBackupHost(QObject* parent) : QObject(parent) { }

ScheduleBackupHost::~ScheduleBackupHost()
{
    shutdown();
}

HostStartResult ScheduleBackupHost::start(const HostOptions& options)
{
    shutdown();

    const QString dataDir = options.dataDir.isEmpty() ? defaultDataDir() : options.dataDir;
    m_service = std::make_unique<BackupService>(dataDir);
    if (const StoreResult<> opened = m_service->open(); !opened) {
        m_service.reset();
        return HostStartResult::failure(opened.errorReason() == StoreError::Damaged
                                            ? HostError::DataDamaged
                                            : HostError::DataUnusable,
                                        opened.errorText());
    }

    m_handler = std::make_unique<ServiceCommandHandler>(m_service.get());
    m_handler->setLatency(options.latencyMs);
    m_serverInfo = std::make_unique<ServerInfo>();
    m_framework = std::make_unique<HostFramework>(m_handler.get());
    m_framework->registerObject(BackupProtocol::ServerInfoPluginId, m_serverInfo.get());
    m_engine = std::make_unique<QQmlEngine>();
    m_loader = std::make_unique<PluginLoader>();

    const QString pluginDir = options.pluginDir.isEmpty() ? defaultPluginDir() : options.pluginDir;
    const QList<PluginLoadResult> results = m_loader->loadDirectory(pluginDir);
    QStringList problems;
    for (const PluginLoadResult& result : results) {
        if (result.errorReason() == PluginLoadError::DuplicateId) {
            const HostStartResult failed
                = HostStartResult::failure(HostError::PluginIdTaken, result.errorText());
            shutdown();
            return failed;
        }
        if (!result) {
            qCInfo(lcHost) << "skipped" << result.errorText();
            problems.append(result.errorText());
            continue;
        }
        m_framework->registerPlugin(result.value().pluginId, result.value().plugin());
    }
    // Every plug-in can reach its siblings through the framework from InitialPluginBase on.
    for (const PluginLoadResult& result : results) {
        if (result)
            result.value().plugin()->InitialPluginBase(m_engine->rootContext(), this,
                                                       m_framework.get());
    }

    const PluginLoadResult found = m_loader->find(BackupProtocol::ScheduleBackupPluginId);
    if (!found) {
        QString text = QStringLiteral("no schedule-backup plug-in in %1").arg(pluginDir);
        if (!problems.isEmpty())
            text += QStringLiteral(" (") + problems.join(QStringLiteral("; ")) + QLatin1Char(')');
        // Report the most telling reason: a plug-in that was there but did not load.
        HostError reason = HostError::PluginNotFound;
        for (const PluginLoadResult& result : results) {
            if (!result && result.errorReason() != PluginLoadError::NotFound)
                reason = hostError(result.errorReason());
        }
        shutdown();
        return HostStartResult::failure(reason, text);
    }
    m_scheduleBackup = found.value();
    return HostStartResult::success(m_scheduleBackup.object.data());
}

void ScheduleBackupHost::shutdown()
{
    // Outstanding replies go out first (as failures) so every plug-in frees its contexts; then
    // QML lets go of the plug-ins before their libraries are unloaded.
    if (m_framework)
        m_framework->cancelPending();
    m_engine.reset();
    if (m_framework)
        m_framework->unregisterAll();
    if (m_loader)
        m_loader->unloadAll();
    m_scheduleBackup = {};
    m_loader.reset();
    m_framework.reset();
    m_serverInfo.reset();
    m_handler.reset();
    m_service.reset();
}

QObject* ScheduleBackupHost::scheduleBackup() const
{
    return m_scheduleBackup.object;
}

QString ScheduleBackupHost::defaultPluginDir()
{
    const QDir exeDir(QCoreApplication::applicationDirPath());
    const QString buildTree = exeDir.absoluteFilePath(QStringLiteral("../plugins"));
    if (QDir(buildTree).exists())
        return QDir::cleanPath(buildTree);
    return QDir::cleanPath(
        exeDir.absoluteFilePath(QStringLiteral("../" SCHEDULE_BACKUP_PLUGIN_INSTALL_DIR)));
}

QString ScheduleBackupHost::defaultDataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}
