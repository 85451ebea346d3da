#include <QFile>
#include <QLibrary>
#include <QPluginLoader>
#include <QTest>

#include <dlfcn.h>

// Hosts unload plug-ins they no longer need. Nothing in the plug-in may keep the dynamic loader
// from unmapping it: one exported inline variable would pin it in memory for good.
class tst_Unload : public QObject
{
    Q_OBJECT

    static bool mapped()
    {
        void* handle = dlopen(QFile::encodeName(SCHEDULE_BACKUP_PLUGIN_PATH).constData(),
                              RTLD_LAZY | RTLD_NOLOAD);
        if (handle)
            dlclose(handle);
        return handle != nullptr;
    }

private Q_SLOTS:
    void unloadsCompletelyAndLoadsAgain()
    {
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
