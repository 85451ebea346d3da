// SPDX-License-Identifier: BSD-3-Clause

#include "ScheduleBackupHost.h"

#include "BackupWords.h"
#include "HostFramework.h"
#include "HostLogging.h"
#include "PluginBase.h"
#include "ServerInfo.h"
#include "ServiceCommandHandler.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QQmlContext>
#include <QQmlEngine>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folder under the user's data folder that both programs share, and the ones each of them
// used on its own before.
const QString SharedDataName = QStringLiteral("schedule-backup");
const QStringList OldDataNames
    = {QStringLiteral("schedule-backup-host"), QStringLiteral("schedule-backup-page")};

// The translation context of the texts that reach people.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(ScheduleBackupHost)
};

// Empty when there is no home folder: Qt would pick a folder under the file-system root.
QString userDataRoot()
{
    if (qEnvironmentVariableIsEmpty("HOME")
        && !QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME")))
        return {};
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

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

// Creates the folder and its parents, like QDir::mkpath, from the bytes of its name.
bool makePath(const QByteArray& name)
{
    for (qsizetype slash = name.indexOf('/', 1); slash != -1;
         slash = name.indexOf('/', slash + 1)) {
        if (::mkdir(name.left(slash).constData(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    return ::mkdir(name.constData(), 0777) == 0 || errno == EEXIST;
}

} // namespace

const QString ScheduleBackupHost::BuildTreeMarker = QStringLiteral("schedule-backup-build-tree");

ScheduleBackupHost::ScheduleBackupHost(QObject* parent) : QObject(parent) { }

ScheduleBackupHost::~ScheduleBackupHost()
{
    shutdown();
}

HostStartResult ScheduleBackupHost::start(const HostOptions& options)
{
    shutdown();
    HostStartResult started = startService(options);
    if (started)
        started = loadPlugins(choosePluginDir(options.pluginDir));
    if (!started)
        shutdown();
    return started;
}

HostStartResult ScheduleBackupHost::startService(const HostOptions& options)
{
    QString error;
    m_dataFolder = chooseDataFolder(options.dataDir);
    const QString dataDir = reachableDataDir(m_dataFolder.path, &error);
    if (dataDir.isEmpty())
        return HostStartResult::failure(HostError::DataUnusable, error);
    m_handler = std::make_unique<ServiceCommandHandler>(dataDir);
    if (const ServiceOpenResult opened = m_handler->open(); !opened) {
        m_handler.reset();
        return HostStartResult::failure(opened.errorReason() == ServiceOpenError::Damaged
                                            ? HostError::DataDamaged
                                            : HostError::DataUnusable,
                                        opened.errorText());
    }
    m_handler->setLatency(options.latencyMs);
    m_serverInfo = std::make_unique<ServerInfo>();
    m_framework = std::make_unique<HostFramework>(m_handler.get());
    m_framework->registerObject(BackupWords::ServerInfoPluginId, m_serverInfo.get());
    m_engine = std::make_unique<QQmlEngine>();
    m_loader = std::make_unique<PluginLoader>();
    return HostStartResult::success();
}

HostStartResult ScheduleBackupHost::loadPlugins(const QString& pluginDir)
{
    const QList<PluginLoadResult> results = m_loader->loadDirectory(pluginDir);
    QStringList problems;
    for (const PluginLoadResult& result : results) {
        if (result.errorReason() == PluginLoadError::DuplicateId)
            return HostStartResult::failure(HostError::PluginIdTaken, result.errorText());
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

    const PluginLoadResult found = m_loader->find(BackupWords::ScheduleBackupPluginId);
    if (!found) {
        QString message = Texts::tr("no schedule-backup plug-in in %1").arg(pluginDir);
        if (!problems.isEmpty())
            message
                += QStringLiteral(" (") + problems.join(QStringLiteral("; ")) + QLatin1Char(')');
        // Report the most telling reason: a plug-in that was there but did not load.
        HostError reason = HostError::PluginNotFound;
        for (const PluginLoadResult& result : results) {
            if (!result && result.errorReason() != PluginLoadError::NotFound)
                reason = hostError(result.errorReason());
        }
        return HostStartResult::failure(reason, message);
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
    if (m_dataDirFd >= 0)
        ::close(m_dataDirFd);
    m_dataDirFd = -1;
}

QObject* ScheduleBackupHost::scheduleBackup() const
{
    return m_scheduleBackup.object;
}

QString ScheduleBackupHost::choosePluginDir(const QString& option)
{
    if (!option.isEmpty())
        return option;
    if (const QString variable = qEnvironmentVariable("SCHEDULE_BACKUP_PLUGIN_DIR");
        !variable.isEmpty())
        return variable;
    const QDir exeDir(QCoreApplication::applicationDirPath());
    const QString installed = QDir::cleanPath(
        exeDir.absoluteFilePath(QStringLiteral("../" SCHEDULE_BACKUP_PLUGIN_INSTALL_DIR)));
    const QString buildTree
        = QDir::cleanPath(exeDir.absoluteFilePath(QStringLiteral("../plugins")));
    if (!QFileInfo(installed).isDir()
        && QFileInfo::exists(buildTree + QLatin1Char('/') + BuildTreeMarker))
        return buildTree;
    return installed;
}

DataFolder ScheduleBackupHost::chooseDataFolder(const QString& option)
{
    if (!option.isEmpty())
        return {option, DataFolder::Source::Option};
    if (const QByteArray variable = qgetenv("SCHEDULE_BACKUP_DATA"); !variable.isEmpty())
        return {HostOptionSet::decodeName(variable), DataFolder::Source::Environment};
    const QString root = userDataRoot();
    if (root.isEmpty())
        return {};
    const QString shared = root + QLatin1Char('/') + SharedDataName;
    if (!QFileInfo::exists(shared)) {
        // The program's own old folder wins over the other one's.
        QStringList oldNames = OldDataNames;
        if (oldNames.removeOne(QCoreApplication::applicationName()))
            oldNames.prepend(QCoreApplication::applicationName());
        for (const QString& name : std::as_const(oldNames)) {
            if (QFileInfo(root + QLatin1Char('/') + name).isDir())
                return {root + QLatin1Char('/') + name, DataFolder::Source::OldDefault};
        }
    }
    return {shared, DataFolder::Source::Default};
}

QString ScheduleBackupHost::reachableDataDir(const QString& dataDir, QString* error)
{
    if (dataDir.isEmpty()) {
        *error = Texts::tr("there is no home folder (HOME is not set); use --data");
        return {};
    }
    const QByteArray name = HostOptionSet::encodeName(dataDir);
    if (QFile::encodeName(dataDir) == name)
        return dataDir;
    // The service opens its files by Qt file names, which are UTF-8. A folder whose name is not
    // is created and opened here from its bytes and handed over as the kernel's link to it.
    if (!makePath(name)
        || (m_dataDirFd = ::open(name.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC)) < 0) {
        *error = Texts::tr("cannot open data folder %1: %2")
                     .arg(QFile::decodeName(name), QString::fromLocal8Bit(std::strerror(errno)));
        return {};
    }
    return QStringLiteral("/proc/self/fd/%1").arg(m_dataDirFd);
}
