// SPDX-License-Identifier: BSD-3-Clause

#include <QLibrary>
#include <QPluginLoader>
#include <QTest>

#include <dlfcn.h>

// Nothing in the plug-in may keep the dynamic loader from unmapping it when a host unloads it:
// one exported inline variable would pin it in memory for good.
class tst_Unload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unloadsCompletelyAndLoadsAgain()
    {
        const auto mapped = [] {
            void* handle = dlopen(SCHEDULE_BACKUP_PLUGIN_PATH, RTLD_LAZY | RTLD_NOLOAD);
            return handle && dlclose(handle) == 0;
        };
        QPluginLoader loader(SCHEDULE_BACKUP_PLUGIN_PATH);
        // QPluginLoader keeps libraries loaded unless told otherwise.
        loader.setLoadHints(QLibrary::LoadHints());
        for (int round = 0; round < 2; ++round) {
            QVERIFY2(loader.instance(), qPrintable(loader.errorString()));
            QVERIFY(mapped());
            QVERIFY(loader.unload());
            QVERIFY(!mapped());
        }
    }
};

QTEST_GUILESS_MAIN(tst_Unload)
#include "tst_unload.moc"
