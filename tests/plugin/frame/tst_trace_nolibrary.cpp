#include "FakeFramework.h"
#include "FrameTestKit.h"
#include "PluginBase.h"
#include "SignalLog.h"

#include <QDir>
#include <QPluginLoader>
#include <QTemporaryDir>
#include <QTest>

// Runs a copy of the plug-in from a tree whose lib directory holds its link dependency but no
// logging library, so the bare-name open of the logging library finds nothing.
class tst_TraceNoLibrary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void behavesAsUsual()
    {
        QTemporaryDir tree;
        QVERIFY(QDir(tree.path()).mkpath("plugins") && QDir(tree.path()).mkpath("lib"));
        const QString pluginCopy = tree.filePath("plugins/libPluginScheduleBackup.so");
        QVERIFY(QFile::copy(SCHEDULE_BACKUP_PLUGIN_PATH, pluginCopy));
        // XML2Json as clients ship it: a plain libXML2Json.so with no version in its name.
        QVERIFY(QFile::copy(SCHEDULE_BACKUP_XML2JSON_PATH, tree.filePath("lib/libXML2Json.so")));
        QPluginLoader loader(pluginCopy);
        auto* base = qobject_cast<PluginBase*>(loader.instance());
        QVERIFY2(base, qPrintable(loader.errorString()));
        FakeFramework framework;
        framework.accept = false;
        base->InitialPluginBase(nullptr, &framework, &framework);
        SignalLog signalLog(base);

        // Both would write lines, a failure line included.
        QVERIFY(!query(base, "getBackupInfo", "relay"));
        base->CommandProcessor("GetBackupPath", replyTree({{"Dir", "/mnt/bk"}}), nullptr, "1", {},
                               false, "relay");
        QCOMPARE(framework.sent.size(), 1);
        QCOMPARE(signalLog.fired(), QStringList({R"(getBackupPathResp(false,""))"}));
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly) && !maps.readAll().contains("libZeltLogUtl"));
        delete base;
    }
};

QTEST_GUILESS_MAIN(tst_TraceNoLibrary)
#include "tst_trace_nolibrary.moc"
