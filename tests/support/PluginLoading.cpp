// SPDX-License-Identifier: BSD-3-Clause

#include "PluginLoading.h"

#include "PluginBase.h"

#include <QPluginLoader>

namespace {
QPluginLoader& loader()
{
    static QPluginLoader pluginLoader(QStringLiteral(SCHEDULE_BACKUP_PLUGIN_PATH));
    return pluginLoader;
}
} // namespace

namespace PluginLoading {

QObject* instance()
{
    return loader().instance();
}

PluginBase* base()
{
    return qobject_cast<PluginBase*>(instance());
}

QString errorString()
{
    return loader().errorString();
}

void resetInstance()
{
    // The loader's instance is a guarded pointer inside the plug-in: deleting the object is how
    // a host drops it, and the next instance() call then builds a new one.
    delete loader().instance();
}

} // namespace PluginLoading
