#include "ScheduleBackupHost.h"

#include "BackupService.h"
#include "HostFramework.h"
#include "HostLogging.h"
#include "PluginBase.h"
#include "ServerInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QQmlContext>
#include <QQmlEngine>
#include <QStandardPaths>

const QString ScheduleBackupHost::ScheduleBackupPluginId
    = QStringLiteral("185196A13473421C84A3CE473516AED7");
const QString ScheduleBackupHost::ContextPropertyName = QStringLiteral("scheduleBackup");

ScheduleBackupHost::ScheduleBackupHost(QObject* parent)
    : QObject(parent),
      m_scheduleBackup(PluginLoadResult::failed(PluginLoadResult::Error::NotFound, QString(),
                                                QStringLiteral("host not started")))
{ }

ScheduleBackupHost::~ScheduleBackupHost()
{
    shutdown();
}

PluginLoadResult ScheduleBackupHost::start(const Options& options)
{
    using Error = PluginLoadResult::Error;
    shutdown();

    const QString dataDir = options.dataDir.isEmpty() ? defaultDataDir() : options.dataDir;
    m_service = std::make_unique<BackupService>(dataDir);
    QString error;
    if (!m_service->open(&error))
        return PluginLoadResult::failed(Error::LoadFailed, QString(), error);

    m_serverInfo = std::make_unique<ServerInfo>();
    m_framework = std::make_unique<HostFramework>(m_service.get());
    m_framework->setLatency(options.latencyMs);
    m_framework->registerObject(ServerInfo::PluginId, m_serverInfo.get());
    m_engine = std::make_unique<QQmlEngine>();
    m_loader = std::make_unique<PluginLoader>();

    const QString pluginDir = options.pluginDir.isEmpty() ? defaultPluginDir() : options.pluginDir;
    m_loadResults = m_loader->loadDirectory(pluginDir);
    QStringList problems;
    for (const PluginLoadResult& result : std::as_const(m_loadResults)) {
        if (!result.isOk()) {
            qCInfo(lcHost) << "skipped" << result.describe();
            problems.append(result.describe());
            continue;
        }
        m_framework->registerPlugin(result.pluginId(), result.plugin());
    }
    // Every plug-in can reach its siblings through the framework from InitialPluginBase on.
    for (const PluginLoadResult& result : std::as_const(m_loadResults)) {
        if (result.isOk())
            result.plugin()->InitialPluginBase(m_engine->rootContext(), this, m_framework.get());
    }

    m_scheduleBackup = m_loader->find(ScheduleBackupPluginId);
    if (!m_scheduleBackup.isOk()) {
        QString text = QStringLiteral("no schedule-backup plug-in in %1").arg(pluginDir);
        if (!problems.isEmpty())
            text += QStringLiteral(" (") + problems.join(QStringLiteral("; ")) + QLatin1Char(')');
        // Report the most telling reason: a plug-in that was there but did not load.
        Error reason = Error::NotFound;
        for (const PluginLoadResult& result : std::as_const(m_loadResults)) {
            if (!result.isOk() && result.error() != Error::NotFound)
                reason = result.error();
        }
        m_scheduleBackup = PluginLoadResult::failed(reason, pluginDir, text);
        return m_scheduleBackup;
    }
    m_engine->rootContext()->setContextProperty(ContextPropertyName, scheduleBackup());
    Q_EMIT scheduleBackupChanged();
    return m_scheduleBackup;
}

void ScheduleBackupHost::shutdown()
{
    // Outstanding replies go out first (as failures) so every plug-in frees its contexts; then
    // QML lets go of the plug-ins before their libraries are unloaded.
    if (m_framework)
        m_framework->cancelPending();
    if (m_engine)
        m_engine->rootContext()->setContextProperty(ContextPropertyName, nullptr);
    m_engine.reset();
    if (m_framework)
        m_framework->unregisterAll();
    if (m_loader)
        m_loader->unloadAll();
    const bool hadPlugin = m_scheduleBackup.isOk();
    m_scheduleBackup = PluginLoadResult::failed(PluginLoadResult::Error::NotFound, QString(),
                                                QStringLiteral("host stopped"));
    m_loader.reset();
    m_framework.reset();
    m_serverInfo.reset();
    m_service.reset();
    m_loadResults.clear();
    if (hadPlugin)
        Q_EMIT scheduleBackupChanged();
}

QObject* ScheduleBackupHost::scheduleBackup() const
{
    return m_scheduleBackup.plugin();
}

QString ScheduleBackupHost::defaultPluginDir()
{
    const QDir exeDir(QCoreApplication::applicationDirPath());
    const QString buildTree = exeDir.absoluteFilePath(QStringLiteral("../plugins"));
    if (QDir(buildTree).exists())
        return QDir::cleanPath(buildTree);
    const QString installed
        = exeDir.absoluteFilePath(QStringLiteral("../" SCHEDULE_BACKUP_PLUGIN_INSTALL_DIR));
    if (QDir(installed).exists())
        return QDir::cleanPath(installed);
    return QDir::cleanPath(
        exeDir.absoluteFilePath(QStringLiteral("../lib/schedule-backup/plugins")));
}

QString ScheduleBackupHost::defaultDataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}
