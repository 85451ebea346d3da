// SPDX-License-Identifier: BSD-3-Clause
// Loading the plug-in the way a host does (QPluginLoader: load, instance, unload) against loading
// an empty plug-in of the same interface. The host has the logging library and XML2Json loaded
// already, so neither is part of either load; the logging library is kept silent.

#include "BenchMain.h"

#include <QFile>
#include <QLibrary>
#include <QObject>
#include <QPluginLoader>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Whether the dynamic loader still holds the library: a library that cannot be unloaded would
// turn every later load into a reference count.
bool stillLoaded(const QString& path)
{
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_LAZY | RTLD_NOLOAD);
    if (!handle)
        return false;
    dlclose(handle);
    return true;
}

void loadAndUnload(benchmark::State& state, const QString& path)
{
    QPluginLoader loader(path);
    // QPluginLoader keeps libraries loaded by default (PreventUnloadHint), which would make every
    // load after the first a reference count.
    loader.setLoadHints(QLibrary::LoadHints());
    for (auto _ : state) {
        QObject* instance = loader.instance();
        if (!instance) {
            state.SkipWithError(qPrintable(loader.errorString()));
            break;
        }
        benchmark::DoNotOptimize(instance);
        loader.unload();
    }
    if (stillLoaded(path))
        state.SkipWithError("the library stays loaded after unload()");
}

bool setUp()
{
    // Read by the logging library when the plug-in first asks for its trace object.
    setenv("ZELT_LOG_LEVEL", "0", 1);
    if (!dlopen(SCHEDULE_BACKUP_LOG_LIBRARY_PATH, RTLD_NOW | RTLD_GLOBAL)
        || !dlopen(SCHEDULE_BACKUP_XML2JSON_PATH, RTLD_NOW | RTLD_GLOBAL)) {
        std::fprintf(stderr, "cannot preload the host libraries: %s\n", dlerror());
        return false;
    }
    benchmark::RegisterBenchmark("plugin_load", loadAndUnload,
                                 QStringLiteral(SCHEDULE_BACKUP_PLUGIN_PATH))
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("empty_plugin_load", loadAndUnload,
                                 QStringLiteral(SCHEDULE_BACKUP_EMPTY_PLUGIN_PATH))
        ->Unit(benchmark::kMicrosecond);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    return BenchMain::run(argc, argv, setUp);
}
