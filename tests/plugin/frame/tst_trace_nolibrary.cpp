// SPDX-License-Identifier: BSD-3-Clause

#include "FakeFramework.h"
#include "PluginBase.h"
#include "SignalLog.h"
#include "Table.h"

#include <QDir>
#include <QPluginLoader>
#include <QTemporaryDir>
#include <QTest>

// A copy of the plug-in in a tree with its link dependency but no logging library: the path and
// status requests and replies pass trace sites and must behave as usual.
class tst_TraceNoLibrary : public QObject
{
    Q_OBJECT

    QTemporaryDir tree;
    PluginBase* plugin = nullptr;
    FakeFramework framework;
    // The invokable, the result code, the reply's Tmcard element and the signal fired.
    using Cases = Table<QByteArray, QString, QVariantMap, QString>;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDir(tree.path()).mkpath("plugins") && QDir(tree.path()).mkpath("lib"));
        const QString pluginCopy = tree.filePath("plugins/libPluginScheduleBackup.so");
        QVERIFY(QFile::copy(SCHEDULE_BACKUP_PLUGIN_PATH, pluginCopy));
        // XML2Json as clients ship it: a plain libXML2Json.so with no version in its name.
        QVERIFY(QFile::copy(SCHEDULE_BACKUP_XML2JSON_PATH, tree.filePath("lib/libXML2Json.so")));
        QPluginLoader loader(pluginCopy);
        plugin = qobject_cast<PluginBase*>(loader.instance());
        QVERIFY2(plugin, qPrintable(loader.errorString()));
        plugin->InitialPluginBase(nullptr, &framework, &framework);
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly) && !maps.readAll().contains("libZeltLogUtl"));
    }
    void init() { framework.sent.clear(); }
    void cleanupTestCase() { delete plugin; }

    // The requests go out with no argument and no context; replies count on any relay path.
    void pathAndStatus_data()
    {
        Cases::columns();
        const auto row = &Cases::row;
        const QVariantMap dir {{"Dir", "/mnt/bk"}};
        row("the path reply reports the directory", "getBackupPathInfo", "0", dir,
            R"(getBackupPathResp(true,"/mnt/bk"))");
        row("a path reply with an empty record fails", "getBackupPathInfo", "0", {},
            R"(getBackupPathResp(false,""))");
        row("the status reply reports every field", "getBackupStatus", "0", dir,
            R"(getBackupStatusResp(true,"Running","3600",42))");
        row("status result code 00 is a failure", "getBackupStatus", "00", dir,
            R"(getBackupStatusResp(false,"","",0))");
    }

    void pathAndStatus()
    {
        const auto [method, resultCode, record, fired] = Cases::fetch();
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

QTEST_GUILESS_MAIN(tst_TraceNoLibrary)
#include "tst_trace_nolibrary.moc"
