// SPDX-License-Identifier: BSD-3-Clause
// The plug-in as a host sees it: its meta-object, and its path and status requests. It runs from
// a copy in a tree with its link dependency but no logging library: trace sites must be skipped.

#include "FakeFramework.h"
#include "PluginBase.h"
#include "SignalLog.h"
#include "Table.h"

#include <QDir>
#include <QMetaMethod>
#include <QPluginLoader>
#include <QTemporaryDir>
#include <QTest>

class tst_Frame : public QObject
{
    Q_OBJECT

    QTemporaryDir tree;
    PluginBase* plugin = nullptr;
    FakeFramework framework;
    // The invokable, the result code, the reply's Tmcard element and the signal fired.
    using Cases = Table<QByteArray, QString, QVariantMap, QString>;

    static QString describe(const QMetaMethod& method)
    {
        QStringList parameters;
        for (int j = 0; j < method.parameterCount(); ++j)
            parameters << method.parameterTypeName(j) + ' ' + method.parameterNames().at(j);
        return QString::fromLatin1(method.name()) + '(' + parameters.join(", ") + ')';
    }

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

    // What QML sees: read-only properties with first values and notifiers, the other signals
    // and the invokables; "= default" marks a parameter that may be left out.
    void interface()
    {
        const QMetaObject* meta = plugin->metaObject();
        QStringList members;
        QList<int> notifiers;
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            members << QStringLiteral("%1 %2 = %3, %4")
                           .arg(property.typeName(), property.name(),
                                SignalLog::text(property.read(plugin)),
                                describe(property.notifySignal()));
            notifiers << property.notifySignalIndex();
        }
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.attributes() & QMetaMethod::Cloned)
                members.last().insert(members.last().size() - 1, " = default");
            else if (!notifiers.contains(i))
                members << QStringLiteral("%1 %2 %3")
                               .arg(method.methodType() == QMetaMethod::Signal ? "signal" : "call",
                                    method.typeName(), describe(method));
        }
        QCOMPARE(
            members,
            QStringList({
                "QStringList cameraList = [], cameraListChanged(QStringList camList)",
                "bool enabled = false, enabledChanged(bool enabled)",
                "bool hasAllCameras = false, hasAllCamerasChanged()",
                "bool targetCyclic = false, targetCyclicChanged(bool cyclic)",
                "int maxThroughputMB = 30, maxThroughputMBChanged(int mb)",
                "int maxRangeDay = 2, maxRangeDayChanged(int day)",
                R"(QString scheduleTemplate = "", scheduleTemplateChanged(QString content))",
                R"(QString scheduleName = "", scheduleNameChanged(QString name))",
                R"(QString targetDir = "", targetDirChanged(QString dir))",
                "signal void getBackupInfoResp(bool success)",
                "signal void getBackupPathResp(bool success, QString backupPath)",
                "signal void getBackupStatusResp(bool success, QString status, "
                "QString interval, qlonglong progress)",
                "signal void updBackupInfoResp(bool success)",
                "signal void updateScheduleResp(bool success)",
                "call bool getBackupInfo(QString relayPath = default)",
                "call bool getBackupPathInfo(QString relayPath = default)",
                "call bool getBackupStatus(QString relayPath = default)",
                "call bool updateBackupInfo(bool enabled, bool targetCyclic, QString targetDir, "
                "QVariantList camList, QString scheName, QString scheJson, "
                "int maxThroughputMB, int maxRangeDay, QString relayPath = default)",
                "call qulonglong getNextBackupTime(QDateTime date = default)",
                "call bool updateSchedule(QString scheName, QString scheJson, "
                "QString relayPath = default)",
            }));
    }

    // The requests go out with no argument and no context; replies count on any relay path.
    void pathAndStatus_data()
    {
        Cases::columns();
        const QVariantMap dir {{"Dir", "/mnt/bk"}};
        Cases::row("the path reply reports the directory", "getBackupPathInfo", "0", dir,
                   R"(getBackupPathResp(true,"/mnt/bk"))");
        Cases::row("a path reply with an empty record fails", "getBackupPathInfo", "0", {},
                   R"(getBackupPathResp(false,""))");
        Cases::row("the status reply reports every field", "getBackupStatus", "0", dir,
                   R"(getBackupStatusResp(true,"Running","3600",42))");
        Cases::row("status result code 00 is a failure", "getBackupStatus", "00", dir,
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

QTEST_GUILESS_MAIN(tst_Frame)
#include "tst_frame.moc"
