// SPDX-License-Identifier: BSD-3-Clause

#include "PluginLoader.h"

#include "HostLogging.h"
#include "PluginBase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QLibrary>
#include <QPluginLoader>

namespace {

// The translation context of the texts that reach people.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(PluginLoader)
};

PluginLoadResult failed(PluginLoadError reason, const QString& where, const QString& message)
{
    return PluginLoadResult::failure(
        reason, where.isEmpty() ? message : where + QStringLiteral(": ") + message);
}

} // namespace

PluginBase* LoadedPlugin::plugin() const
{
    return qobject_cast<PluginBase*>(object.data());
}

PluginLoader::PluginLoader(QObject* parent) : QObject(parent) { }

PluginLoader::~PluginLoader()
{
    unloadAll();
}

QList<PluginLoadResult> PluginLoader::loadDirectory(const QString& directory)
{
    const QDir dir(directory);
    if (directory.isEmpty() || !dir.exists())
        return {failed(PluginLoadError::NotFound, directory, Texts::tr("no such plug-in folder"))};
    QList<PluginLoadResult> results;
    const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        if (QLibrary::isLibrary(file.fileName()))
            results.append(loadFile(file.absoluteFilePath()));
    }
    if (results.isEmpty()) {
        results.append(failed(PluginLoadError::NotFound, directory,
                              Texts::tr("the folder holds no plug-ins")));
    }
    return results;
}

PluginLoadResult PluginLoader::loadFile(const QString& filePath)
{
    if (!QFileInfo::exists(filePath))
        return failed(PluginLoadError::NotFound, filePath, Texts::tr("no such file"));

    auto loader = std::make_unique<QPluginLoader>(filePath);
    const QJsonObject metaData = loader->metaData();
    if (metaData.isEmpty())
        return failed(PluginLoadError::LoadFailed, filePath, loader->errorString());
    // Checked before instantiating, so foreign plug-ins never run any code in the host.
    const QString iid = metaData.value(QLatin1String("IID")).toString();
    if (iid != QLatin1String(PluginBase_iid)) {
        return failed(PluginLoadError::WrongInterface, filePath,
                      Texts::tr("interface \"%1\" is not the client's").arg(iid));
    }
    const QString pluginId = metaData.value(QLatin1String("MetaData"))
                                 .toObject()
                                 .value(QLatin1String("PluginID"))
                                 .toString();
    // Two plug-ins with one id would answer each other's replies; the first one keeps it.
    if (find(pluginId)) {
        return failed(PluginLoadError::DuplicateId, filePath,
                      Texts::tr("plug-in id %1 is already taken by %2")
                          .arg(pluginId, find(pluginId).value().filePath));
    }
    QObject* instance = loader->instance();
    if (!instance)
        return failed(PluginLoadError::LoadFailed, filePath, loader->errorString());
    if (!qobject_cast<PluginBase*>(instance)) {
        const QString className = QLatin1String(instance->metaObject()->className());
        loader->unload();
        return failed(PluginLoadError::WrongInterface, filePath,
                      Texts::tr("%1 does not implement the interface").arg(className));
    }
    qCInfo(lcHost) << "loaded" << filePath << "id" << pluginId;
    const LoadedPlugin loaded {filePath, pluginId, instance};
    m_loaders.push_back(std::move(loader));
    m_loaded.append(loaded);
    return PluginLoadResult::success(loaded);
}

PluginLoadResult PluginLoader::find(const QString& pluginId) const
{
    for (const LoadedPlugin& loaded : m_loaded) {
        if (loaded.pluginId == pluginId && loaded.object)
            return PluginLoadResult::success(loaded);
    }
    return failed(PluginLoadError::NotFound, QString(),
                  Texts::tr("no plug-in with id %1").arg(pluginId));
}

void PluginLoader::unloadAll()
{
    // Unloading deletes each plug-in's root object before its library goes away.
    for (auto it = m_loaders.rbegin(); it != m_loaders.rend(); ++it)
        (*it)->unload();
    m_loaders.clear();
    m_loaded.clear();
}
