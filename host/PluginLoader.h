// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "Result.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class PluginBase;
class QPluginLoader;

enum class PluginLoadError {
    NoError,
    NotFound, // no such file or folder, or no plug-in with the id
    WrongInterface, // a Qt plug-in, but not one of the client's
    LoadFailed, // the library or its instance could not be loaded
    DuplicateId, // a second plug-in claims an id that is already taken
};

// A plug-in the loader holds.
struct LoadedPlugin
{
    QString filePath;
    QString pluginId;
    QPointer<QObject> object;

    PluginBase* plugin() const;
};

using PluginLoadResult = Result<PluginLoadError, LoadedPlugin>;

// Finds the client plug-ins in a folder and keeps them loaded. Only libraries that declare the
// host's plug-in interface are instantiated; unloading deletes the plug-in objects.
class PluginLoader : public QObject
{
    Q_OBJECT

public:
    explicit PluginLoader(QObject* parent = nullptr);
    ~PluginLoader() override;

    // One result per library in the folder, or one NotFound result for a missing or empty folder.
    QList<PluginLoadResult> loadDirectory(const QString& directory);
    PluginLoadResult loadFile(const QString& filePath);
    // An already loaded plug-in; NotFound when none has this id.
    PluginLoadResult find(const QString& pluginId) const;
    void unloadAll();

private:
    std::vector<std::unique_ptr<QPluginLoader>> m_loaders;
    QList<LoadedPlugin> m_loaded;
};
