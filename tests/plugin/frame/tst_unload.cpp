// SPDX-License-Identifier: BSD-3-Clause
// The plug-in unloaded and loaded again as a host does. QPluginLoader gives a library
// PreventUnloadHint (RTLD_NODELETE) when it gets its file name, and from Qt 6.8 on setLoadHints()
// only adds hints: a host that unloads clears them before it names the file. Nothing in the
// plug-in may then keep the dynamic loader from unmapping it; one exported inline variable would
// pin it for good.

#include <QDateTime>
#include <QLibrary>
#include <QMetaType>
#include <QPluginLoader>
#include <QPointer>
#include <QTest>

#include <dlfcn.h>

namespace {
bool mapped()
{
    void* handle = dlopen(SCHEDULE_BACKUP_PLUGIN_PATH, RTLD_LAZY | RTLD_NOLOAD);
    return handle && dlclose(handle) == 0;
}

// What a page does with a loaded plug-in: ask it for the next backup start through its
// meta-object, as QML does.
qulonglong nextBackupTime(QObject* plugin)
{
    qulonglong next = 0;
    const QDateTime monday(QDate(2024, 1, 1), QTime(0, 0));
    return QMetaObject::invokeMethod(plugin, "getNextBackupTime", Qt::DirectConnection,
                                     Q_RETURN_ARG(qulonglong, next), Q_ARG(QDateTime, monday))
        ? next
        : ~0ULL;
}
} // namespace

class tst_Unload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A host may register the plug-in's class with the meta-type system (QML does so for every
    // object it shows). Once unloaded, no type of the unmapped library may be found by name: the
    // look-up would read unmapped memory. Loaded again, the type is the new instance's.
    void unloadAndLoadAgain_data()
    {
        QTest::addColumn<bool>("registerType");
        QTest::newRow("class type registered before unload") << true;
        QTest::newRow("class type never registered") << false;
    }
    void unloadAndLoadAgain()
    {
        QFETCH(bool, registerType);
        QPluginLoader loader;
        loader.setLoadHints(QLibrary::LoadHints());
        loader.setFileName(QStringLiteral(SCHEDULE_BACKUP_PLUGIN_PATH));
        for (int round = 0; round < 2; ++round) {
            const QPointer<QObject> plugin = loader.instance();
            QVERIFY2(plugin, qPrintable(loader.errorString()));
            if (registerType) {
                const QMetaType registered = plugin->metaObject()->metaType();
                QVERIFY(registered.id() > 0);
                QCOMPARE(QMetaType::fromName("PluginScheduleBackup"), registered);
            }
            QCOMPARE(nextBackupTime(plugin), 0ULL); // no framework to ask for the time
            QVERIFY(loader.unload());
            QVERIFY(plugin.isNull());
            QVERIFY(!mapped());
            QVERIFY(!QMetaType::fromName("PluginScheduleBackup").isValid());
        }
    }
};

QTEST_GUILESS_MAIN(tst_Unload)
#include "tst_unload.moc"
