#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class PluginBase;
class QPluginLoader;

// Outcome of loading one plug-in: either the plug-in or the reason it could not be used.
class PluginLoadResult
{
public:
    enum class Error { None, NotFound, WrongInterface, LoadFailed };

    static PluginLoadResult loaded(const QString& filePath, const QString& pluginId,
                                   PluginBase* plugin);
    static PluginLoadResult failed(Error error, const QString& filePath, const QString& text);

    bool isOk() const { return m_error == Error::None; }
    Error error() const { return m_error; }
    QString errorText() const { return m_errorText; }
    QString filePath() const { return m_filePath; }
    QString pluginId() const { return m_pluginId; }
    PluginBase* plugin() const;

    static QString errorName(Error error);
    // "<file>: <reason>: <text>", for one-line diagnostics.
    QString describe() const;

private:
    Error m_error = Error::None;
    QString m_errorText;
    QString m_filePath;
    QString m_pluginId;
    QPointer<QObject> m_plugin;
};

// Finds the client plug-ins in a folder and keeps them loaded. Only libraries that declare the
// host's plug-in interface are instantiated; unloading deletes the plug-in objects.
class PluginLoader : public QObject
{
    Q_OBJECT

public:
    explicit PluginLoader(QObject* parent = nullptr);
    ~PluginLoader() override;

    QList<PluginLoadResult> loadDirectory(const QString& directory);
    PluginLoadResult loadFile(const QString& filePath);
    // Finds an already loaded plug-in; NotFound when none has this id.
    PluginLoadResult find(const QString& pluginId) const;
    QList<PluginLoadResult> loadedPlugins() const { return m_loaded; }
    void unloadAll();

private:
    std::vector<std::unique_ptr<QPluginLoader>> m_loaders;
    QList<PluginLoadResult> m_loaded;
};
