#include "PluginLoader.h"

#include "HostLogging.h"
#include "PluginBase.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QLibrary>
#include <QPluginLoader>

PluginLoadResult PluginLoadResult::loaded(const QString& filePath, const QString& pluginId,
                                          PluginBase* plugin)
{
    PluginLoadResult result;
    result.m_filePath = filePath;
    result.m_pluginId = pluginId;
    result.m_plugin = plugin;
    return result;
}

PluginLoadResult PluginLoadResult::failed(Error error, const QString& filePath, const QString& text)
{
    PluginLoadResult result;
    result.m_error = error;
    result.m_filePath = filePath;
    result.m_errorText = text;
    return result;
}

PluginBase* PluginLoadResult::plugin() const
{
    return static_cast<PluginBase*>(m_plugin.data());
}

QString PluginLoadResult::errorName(Error error)
{
    switch (error) {
    case Error::None:
        return QStringLiteral("loaded");
    case Error::NotFound:
        return QStringLiteral("not found");
    case Error::WrongInterface:
        return QStringLiteral("wrong interface");
    case Error::LoadFailed:
        return QStringLiteral("failed to load");
    }
    return QString();
}

QString PluginLoadResult::describe() const
{
    QString text = m_filePath.isEmpty() ? errorName(m_error)
                                        : m_filePath + QStringLiteral(": ") + errorName(m_error);
    if (!m_errorText.isEmpty())
        text += QStringLiteral(": ") + m_errorText;
    return text;
}

PluginLoader::PluginLoader(QObject* parent) : QObject(parent) { }

PluginLoader::~PluginLoader()
{
    unloadAll();
}

QList<PluginLoadResult> PluginLoader::loadDirectory(const QString& directory)
{
    const QDir dir(directory);
    if (directory.isEmpty() || !dir.exists()) {
        return {PluginLoadResult::failed(PluginLoadResult::Error::NotFound, directory,
                                         QStringLiteral("no such plug-in folder"))};
    }
    QList<PluginLoadResult> results;
    const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        if (QLibrary::isLibrary(file.fileName()))
            results.append(loadFile(file.absoluteFilePath()));
    }
    if (results.isEmpty()) {
        results.append(PluginLoadResult::failed(PluginLoadResult::Error::NotFound, directory,
                                                QStringLiteral("the folder holds no plug-ins")));
    }
    return results;
}

PluginLoadResult PluginLoader::loadFile(const QString& filePath)
{
    using Error = PluginLoadResult::Error;
    if (!QFileInfo::exists(filePath))
        return PluginLoadResult::failed(Error::NotFound, filePath, QStringLiteral("no such file"));

    auto loader = std::make_unique<QPluginLoader>(filePath);
    const QJsonObject metaData = loader->metaData();
    if (metaData.isEmpty()) {
        return PluginLoadResult::failed(Error::LoadFailed, filePath, loader->errorString());
    }
    // Checked before instantiating, so foreign plug-ins never run any code in the host.
    const QString iid = metaData.value(QLatin1String("IID")).toString();
    if (iid != QLatin1String(PluginBase_iid)) {
        return PluginLoadResult::failed(Error::WrongInterface, filePath,
                                        QStringLiteral("interface \"%1\"").arg(iid));
    }
    QObject* instance = loader->instance();
    if (!instance)
        return PluginLoadResult::failed(Error::LoadFailed, filePath, loader->errorString());
    auto* plugin = qobject_cast<PluginBase*>(instance);
    if (!plugin) {
        loader->unload();
        return PluginLoadResult::failed(
            Error::WrongInterface, filePath,
            QStringLiteral("%1 does not implement the interface")
                .arg(QLatin1String(instance->metaObject()->className())));
    }
    const QString pluginId = metaData.value(QLatin1String("MetaData"))
                                 .toObject()
                                 .value(QLatin1String("PluginID"))
                                 .toString();
    qCInfo(lcHost) << "loaded" << filePath << "id" << pluginId;
    const PluginLoadResult result = PluginLoadResult::loaded(filePath, pluginId, plugin);
    m_loaders.push_back(std::move(loader));
    m_loaded.append(result);
    return result;
}

PluginLoadResult PluginLoader::find(const QString& pluginId) const
{
    for (const PluginLoadResult& result : m_loaded) {
        if (result.pluginId() == pluginId && result.plugin())
            return result;
    }
    return PluginLoadResult::failed(PluginLoadResult::Error::NotFound, QString(),
                                    QStringLiteral("no plug-in with id %1").arg(pluginId));
}

void PluginLoader::unloadAll()
{
    // Unloading deletes each plug-in's root object before its library goes away.
    for (auto it = m_loaders.rbegin(); it != m_loaders.rend(); ++it)
        (*it)->unload();
    m_loaders.clear();
    m_loaded.clear();
}
