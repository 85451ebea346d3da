// SPDX-License-Identifier: BSD-3-Clause
// The plug-in as a host sees it, loaded with QPluginLoader and linked by nothing: unloading and
// loading it again, its meta-object, and its path and status requests. It runs from a copy in a
// tree with its link dependency but no logging library: trace sites must be skipped.

#include "FakeFramework.h"
#include "PluginBase.h"
#include "SignalLog.h"
#include "Table.h"

#include <QDir>
#include <QMetaMethod>
#include <QPluginLoader>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>

class tst_Frame : public QObject
{
    Q_OBJECT

    QTemporaryDir tree;
    QString pluginCopy;
    QPluginLoader loader;
    PluginBase* plugin = nullptr;
    FakeFramework framework;
    // The invokable, the result code, the reply's Tmcard element and the signal fired.
    using Cases = Table<QByteArray, QString, QVariantMap, QString>;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDir(tree.path()).mkpath("plugins") && QDir(tree.path()).mkpath("lib"));
        pluginCopy = tree.filePath("plugins/libPluginScheduleBackup.so");
        QVERIFY(QFile::copy(SCHEDULE_BACKUP_PLUGIN_PATH, pluginCopy));
        // XML2Json as clients ship it: a plain libXML2Json.so with no version in its name.
        QVERIFY(QFile::copy(SCHEDULE_BACKUP_XML2JSON_PATH, tree.filePath("lib/libXML2Json.so")));
        // QPluginLoader gives a library PreventUnloadHint (RTLD_NODELETE) when it gets its file
        // name, and from Qt 6.8 on setLoadHints() only adds hints: a host that unloads clears
        // them before it names the file.
        loader.setLoadHints(QLibrary::LoadHints());
        loader.setFileName(pluginCopy);
    }
    void init() { framework.sent.clear(); }
    void cleanupTestCase() { loader.unload(); }

    // Nothing in the plug-in may keep the dynamic loader from unmapping it (one exported inline
    // variable would pin it for good). A host may register the plug-in's class with the meta-type
    // system, as QML does: once unloaded, no type of the unmapped library may be found by name.
    // Loaded again, the type is the new instance's, and it asks for the time as a page does.
    void unloadAndLoadAgain()
    {
        for (int round = 0; round < 2; ++round) {
            const QPointer<QObject> instance = loader.instance();
            QVERIFY2(instance, qPrintable(loader.errorString()));
            const QMetaType registered = instance->metaObject()->metaType();
            QVERIFY(registered.id() > 0); // registers it
            QCOMPARE(QMetaType::fromName("PluginScheduleBackup"), registered);
            qulonglong next = ~0ULL; // no framework to ask for the time: 0
            QVERIFY(QMetaObject::invokeMethod(instance, "getNextBackupTime", Qt::DirectConnection,
                                              Q_RETURN_ARG(qulonglong, next),
                                              Q_ARG(QDateTime, QDateTime::currentDateTime())));
            QCOMPARE(next, 0ULL);
            QVERIFY(loader.unload() && instance.isNull());
            void* handle = dlopen(qPrintable(pluginCopy), RTLD_LAZY | RTLD_NOLOAD);
            QVERIFY(!handle || dlclose(handle) != 0);
            QVERIFY(!QMetaType::fromName("PluginScheduleBackup").isValid());
        }
        plugin = qobject_cast<PluginBase*>(loader.instance());
        QVERIFY(plugin);
        plugin->InitialPluginBase(nullptr, &framework, &framework);
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly) && !maps.readAll().contains("libZeltLogUtl"));
    }
    // What QML relies on beyond the types that the page's contract test holds: the first values,
    // and the parameter names of signals and invokables (handlers and calls use them).
    void interface()
    {
        QVERIFY(plugin);
        const QMetaObject* meta = plugin->metaObject();
        QStringList members;
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
            members << meta->property(i).name()
                    + ('=' + SignalLog::text(meta->property(i).read(plugin)));
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            if (!(meta->method(i).attributes() & QMetaMethod::Cloned))
                members << meta->method(i).name() + '(' + meta->method(i).parameterNames().join(',')
                        + ')';
        }
        QCOMPARE(
            members.join(' '),
            "cameraList=[] enabled=false hasAllCameras=false targetCyclic=false "
            "maxThroughputMB=30 maxRangeDay=2 scheduleTemplate=\"\" scheduleName=\"\" "
            "targetDir=\"\" getBackupInfoResp(success) getBackupPathResp(success,backupPath) "
            "getBackupStatusResp(success,status,interval,progress) updBackupInfoResp(success) "
            "updateScheduleResp(success) cameraListChanged(camList) enabledChanged(enabled) "
            "targetCyclicChanged(cyclic) hasAllCamerasChanged() maxThroughputMBChanged(mb) "
            "maxRangeDayChanged(day) scheduleTemplateChanged(content) scheduleNameChanged(name) "
            "targetDirChanged(dir) getBackupInfo(relayPath) getBackupPathInfo(relayPath) "
            "getBackupStatus(relayPath) updateBackupInfo(enabled,targetCyclic,targetDir,camList,"
            "scheName,scheJson,maxThroughputMB,maxRangeDay,relayPath) getNextBackupTime(date) "
            "updateSchedule(scheName,scheJson,relayPath)");
    }

    // The requests go out with no argument and no context; replies count on any relay path.
    void pathAndStatus_data()
    {
        Cases::columns();
        const QVariantMap dir {{"Dir", "/mnt/bk"}};
        Cases::row("the path reply reports the directory", "getBackupPathInfo", "0", dir,
                   R"(getBackupPathResp(true,"/mnt/bk"))");
        Cases::row("the status reply reports every field", "getBackupStatus", "0", dir,
                   R"(getBackupStatusResp(true,"Running","3600",42))");
    }
    void pathAndStatus()
    {
        const auto [method, resultCode, record, fired] = Cases::fetch();
        QVERIFY(plugin);
        QVERIFY(QMetaObject::invokeMethod(plugin, method, Q_ARG(QString, "a/7")));
        QCOMPARE(framework.sent.size(), 1);
        const FakeFramework::SentCommand& s = framework.sent.first();
        QVERIFY(s.hostData == &framework && s.pluginId == "185196A13473421C84A3CE473516AED7");
        QVERIFY(!s.arguments.isValid() && !s.context && s.flag == 0);
        SignalLog signalLog(plugin);
        const QVariantMap status {
            {"Status", "Running"}, {"BackupInterval", "3600"}, {"BackupProgress", "42"}};
        framework.reply(plugin, 0, resultCode,
                        QVariantMap {{"GetBkpTmcardRes", QVariantMap {{"Tmcard", record}}},
                                     {"GetBackupStatusRes", status}});
        QCOMPARE(signalLog.fired(), QStringList {fired});
    }
};

QTEST_GUILESS_MAIN(tst_Frame)
#include "tst_frame.moc"
