#include "FakeFramework.h"
#include "FrameTestKit.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"

#include <QJsonObject>
#include <QPointer>
#include <QTest>

namespace {

const QString pluginIdText = QStringLiteral("185196A13473421C84A3CE473516AED7");

// Type, name, initial value and notify signal of the nine properties, none of them writable.
const char* const expectedProperties
    = "QStringList cameraList [] cameraListChanged(QStringList);bool enabled false "
      "enabledChanged(bool);bool hasAllCameras false hasAllCamerasChanged();bool targetCyclic "
      "false targetCyclicChanged(bool);int maxThroughputMB 30 maxThroughputMBChanged(int);int "
      "maxRangeDay 2 maxRangeDayChanged(int);QString scheduleTemplate \"\" "
      "scheduleTemplateChanged(QString);QString scheduleName \"\" scheduleNameChanged(QString);"
      "QString targetDir \"\" targetDirChanged(QString)";
// Fourteen signals (S), then six invokables (M), each followed by its clone (C) without the last
// parameter, the one with a default.
const char* const expectedMethods
    = "S void getBackupInfoResp(bool success);S void getBackupPathResp(bool success,QString "
      "backupPath);S void getBackupStatusResp(bool success,QString status,QString "
      "interval,qlonglong progress);S void updBackupInfoResp(bool success);S void "
      "updateScheduleResp(bool success);S void cameraListChanged(QStringList camList);S void "
      "enabledChanged(bool enabled);S void targetCyclicChanged(bool cyclic);S void "
      "hasAllCamerasChanged();S void maxThroughputMBChanged(int mb);S void maxRangeDayChanged(int "
      "day);S void scheduleTemplateChanged(QString content);S void scheduleNameChanged(QString "
      "name);S void targetDirChanged(QString dir);M bool getBackupInfo(QString relayPath);C bool "
      "getBackupInfo();M bool getBackupPathInfo(QString relayPath);C bool getBackupPathInfo();M "
      "bool getBackupStatus(QString relayPath);C bool getBackupStatus();M bool "
      "updateBackupInfo(bool enabled,bool targetCyclic,QString targetDir,QVariantList "
      "camList,QString scheName,QString scheJson,int maxThroughputMB,int maxRangeDay,QString "
      "relayPath);C bool updateBackupInfo(bool enabled,bool targetCyclic,QString "
      "targetDir,QVariantList camList,QString scheName,QString scheJson,int maxThroughputMB,int "
      "maxRangeDay);M qulonglong getNextBackupTime(QDateTime date);C qulonglong "
      "getNextBackupTime();M bool updateSchedule(QString scheName,QString scheJson,QString "
      "relayPath);C bool updateSchedule(QString scheName,QString scheJson)";

PluginScheduleBackup* plugin()
{
    return qobject_cast<PluginScheduleBackup*>(PluginLoading::instance());
}

// Counts the Init calls that InitialPluginBase makes through the virtual table.
struct InitCountingPlugin : PluginScheduleBackup
{
    bool Init(QQmlContext* context) override
    {
        contexts.append(context);
        return PluginScheduleBackup::Init(context);
    }
    QList<QQmlContext*> contexts;
};

// Notes what the plug-in had recorded at the moment its command went out.
struct PathProbeFramework : FakeFramework
{
    bool SendCommand(void* h, const QString& id, const QString& command, const QVariant& arguments,
                     void* context, int flag, const QString& relayPath) override
    {
        pathsDuringSend.append(plugin()->curRelayPath());
        return FakeFramework::SendCommand(h, id, command, arguments, context, flag, relayPath);
    }
    QStringList pathsDuringSend;
};

} // namespace

class tst_Frame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        PluginLoading::resetInstance();
        framework = PathProbeFramework();
        plugin()->InitialPluginBase(nullptr, &hostData, &framework);
    }

    void lifecycle()
    {
        const QJsonObject metaData = PluginLoading::metaData();
        QCOMPARE(metaData.value("IID").toString() + ' ' + metaData.value("className").toString(),
                 QStringLiteral(PluginBase_iid " PluginScheduleBackup"));
        QCOMPARE(metaData.value("MetaData").toObject(),
                 QJsonObject({{"ClientOnly", false}, {"PluginID", pluginIdText}}));

        // One object until a reset deletes it; the next one starts unmarked.
        QPointer<PluginScheduleBackup> used = plugin();
        QCOMPARE(PluginLoading::instance(), used.data());
        used->hostFlag = true;
        used->setMaxRangeDay(9);
        used->tst_setCurRelayPath("old/path");
        used->setSchedule(QVariantMap {{"Ele", "x"}});
        PluginLoading::resetInstance();
        QVERIFY(used.isNull());
        PluginScheduleBackup* fresh = plugin();
        QVERIFY(!fresh->hostFlag && fresh->prefixName.isEmpty() && fresh->pluginId.isEmpty());
        QVERIFY(!fresh->hostData && !fresh->framework && !fresh->schedule().isValid());
        QVERIFY(fresh->revision() == -1 && fresh->tmcardId() == -1
                && fresh->curRelayPath().isEmpty());
        QCOMPARE(fresh->maxRangeDay(), 2); // all initial values: see metaObjectTable

        // InitialPluginBase calls Init through the virtual table, once per call, and sends nothing.
        InitCountingPlugin p;
        SignalLog signalLog(&p);
        auto* context = reinterpret_cast<QQmlContext*>(&hostData); // never dereferenced
        p.InitialPluginBase(context, nullptr, nullptr);
        p.prefixName.clear(); // set again by the next call
        p.InitialPluginBase(nullptr, &hostData, &framework);
        QCOMPARE(p.contexts, QList<QQmlContext*>({context, nullptr}));
        QCOMPARE(p.prefixName + ' ' + p.pluginId, "ScheduleBackupPlugin " + pluginIdText);
        QVERIFY(p.hostData == &hostData && p.framework == &framework && framework.sent.isEmpty());
        QCOMPARE(signalLog.fired(), QStringList());
    }

    void metaObjectTable()
    {
        const QMetaObject* meta = plugin()->metaObject();
        QStringList actual;
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty p = meta->property(i);
            actual << QStringLiteral("%1 %2 %3 %4%5")
                          .arg(p.typeName(), p.name(), text(p.read(plugin())),
                               p.notifySignal().methodSignature(),
                               p.isWritable() ? " writable" : "");
        }
        QCOMPARE(actual, QString(expectedProperties).split(';'));
        QCOMPARE(meta->methodOffset(), QObject::staticMetaObject.methodCount());
        actual.clear();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod m = meta->method(i);
            QStringList parameters;
            for (int k = 0; k < m.parameterCount(); ++k)
                parameters << m.parameterTypeName(k) + ' ' + m.parameterNames().at(k);
            const char* kind = m.methodType() == QMetaMethod::Signal ? "S"
                : m.attributes() & QMetaMethod::Cloned               ? "C"
                                                                     : "M";
            actual << QStringLiteral("%1 %2 %3(%4)")
                          .arg(kind, m.typeName(), m.name(), parameters.join(','));
        }
        QCOMPARE(actual, QString(expectedMethods).split(';'));
    }

    void settersEmitOnlyOnChange()
    {
        PluginScheduleBackup* p = plugin();
        SignalLog signalLog(p);
        for (bool enabled : {false, true, true})
            p->setEnabled(enabled);
        for (const QString& dir : {QString(""), QString("/mnt"), QString("/mnt"), QString()})
            p->setTargetDir(dir);
        // Equal lists built separately are different list objects.
        const QStringList ab = {"a", "b"}, ba = {"b", "a"};
        for (const QStringList& list :
             {QStringList(), ab, QStringList {"a"} + QStringList {"b"}, ba})
            p->setCameraList(list);
        // Only the property's own signal fires, once per real change; empty after null is none.
        QCOMPARE(signalLog.fired(),
                 QStringList({"cameraListChanged([a,b])", "cameraListChanged([b,a])",
                              "enabledChanged(true)", R"(targetDirChanged("/mnt"))",
                              R"(targetDirChanged(""))"}));
    }

    void queries_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<int>("mode"); // 1: accepted, 0: refused, -1: no framework
        QTest::addColumn<QString>("sent"); // the command; empty when nothing is sent
        QTest::addColumn<QString>("recorded"); // curRelayPath afterwards; it was "old"

        const auto row = [](auto name, auto method, int mode, auto sent, auto recorded) {
            QTest::newRow(name) << method << mode << sent << recorded;
        };
        row("info accepted", "getBackupInfo", 1, "GetBkpTmcard", "a/7");
        row("info refused", "getBackupInfo", 0, "GetBkpTmcard", "old");
        row("info unset", "getBackupInfo", -1, "", "old");
        row("path", "getBackupPathInfo", 1, "GetBackupPath", "old");
        row("status", "getBackupStatus", 1, "GetBackupStatus", "old");
    }

    void queries()
    {
        QFETCH(QString, method);
        QFETCH(int, mode);
        QFETCH(QString, sent);
        QFETCH(QString, recorded);

        PluginScheduleBackup* p = plugin();
        if (mode < 0)
            p->framework = nullptr;
        framework.accept = mode == 1;
        p->tst_setCurRelayPath("old");
        SignalLog signalLog(p);
        QCOMPARE(query(p, qPrintable(method), "a/7"), mode == 1);
        QCOMPARE(p->curRelayPath(), recorded);
        QCOMPARE(signalLog.fired(), QStringList());
        // The path is recorded once SendCommand has returned, not before.
        QCOMPARE(framework.pathsDuringSend, QStringList(framework.sent.size(), "old"));
        QCOMPARE(framework.sent.size(), sent.isEmpty() ? 0 : 1);
        for (const FakeFramework::SentCommand& s : framework.sent) {
            QCOMPARE(s.command + ' ' + s.relayPath, sent + " a/7");
            // No argument (an invalid QVariant), no context, flag 0, from this plug-in.
            QVERIFY(!s.arguments.isValid() && !s.context && s.flag == 0);
            QVERIFY(s.hostData == &hostData && s.pluginId == pluginIdText);
        }
    }

    void replies_data()
    {
        QTest::addColumn<QString>("reply"); // command|result code|empty, for an empty record
        QTest::addColumn<QStringList>("fired");

        const auto row = [](const char* name, const char* reply, const char* fired) {
            QTest::newRow(name) << reply << (*fired ? QStringList {fired} : QStringList());
        };
        row("path: Dir", "GetBackupPath|0", R"(getBackupPathResp(true,"/mnt/bk"))");
        row("path: empty record", "GetBackupPath|0|empty", R"(getBackupPathResp(false,""))");
        row("status: all fields", "GetBackupStatus|0",
            R"(getBackupStatusResp(true,"Running","3600",42))");
        row("status: code 00", "GetBackupStatus|00", R"(getBackupStatusResp(false,"","",0))");
        row("route: lower case", "getbackuppath|0", "");
        row("route: trailing blank", "GetBackupStatus |0", "");
    }

    void replies()
    {
        QFETCH(QString, reply);
        QFETCH(QStringList, fired);

        const QStringList part = reply.split('|');
        const QVariantMap tree
            = replyTree(part.size() > 2 ? QVariantMap() : QVariantMap {{"Dir", "/mnt/bk"}});
        PluginScheduleBackup* p = plugin();
        p->tst_setCurRelayPath("current");
        SignalLog signalLog(p);
        // Neither a context the plug-in never made nor a foreign relay path may matter.
        QVariantMap foreign = {{"Dir", "/from/context"}};
        p->CommandProcessor(part[0], tree, &foreign, part[1], QString(), false, "not/asked");
        QCOMPARE(signalLog.fired(), fired);
        QCOMPARE(p->curRelayPath() + ' ' + foreign.value("Dir").toString(),
                 "current /from/context");
    }

private:
    PathProbeFramework framework;
    int hostData = 0;
};

QTEST_GUILESS_MAIN(tst_Frame)
#include "tst_frame.moc"
