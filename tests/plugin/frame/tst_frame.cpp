#include "FakeFramework.h"
#include "FrameTestKit.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"
#include "SignalLog.h"

#include <QJsonObject>
#include <QMetaMethod>
#include <QTest>

namespace {

const QString pluginIdText = QStringLiteral("185196A13473421C84A3CE473516AED7");

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

    void metaData()
    {
        const QJsonObject metaData = PluginLoading::metaData();
        QCOMPARE(metaData.value("IID").toString(), QStringLiteral(PluginBase_iid));
        QCOMPARE(metaData.value("className").toString(), "PluginScheduleBackup");
        QCOMPARE(metaData.value("MetaData").toObject(),
                 QJsonObject({{"ClientOnly", false}, {"PluginID", pluginIdText}}));
    }

    void freshObjectHasNoTimeCard()
    {
        PluginLoading::resetInstance();
        const PluginScheduleBackup* fresh = plugin();
        QVERIFY(!fresh->hostFlag && fresh->prefixName.isEmpty() && fresh->pluginId.isEmpty());
        QVERIFY(!fresh->hostData && !fresh->framework && !fresh->schedule().isValid());
        QCOMPARE(fresh->revision(), -1);
        QCOMPARE(fresh->tmcardId(), -1);
        QVERIFY(fresh->curRelayPath().isEmpty());
    }

    void initialPluginBaseCallsInitEachTime()
    {
        InitCountingPlugin p;
        SignalLog signalLog(&p);
        auto* context = reinterpret_cast<QQmlContext*>(&hostData); // never dereferenced
        p.InitialPluginBase(context, nullptr, nullptr);
        p.prefixName.clear(); // set again by the next call
        p.InitialPluginBase(nullptr, &hostData, &framework);
        QCOMPARE(p.contexts, QList<QQmlContext*>({context, nullptr}));
        QCOMPARE(p.prefixName, "ScheduleBackupPlugin");
        QCOMPARE(p.pluginId, pluginIdText);
        QVERIFY(p.hostData == &hostData && p.framework == &framework);
        QVERIFY(framework.sent.isEmpty());
        QCOMPARE(signalLog.fired(), QStringList());
    }

    // QML sees nine read-only properties, each with its change signal.
    void property_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QString>("initial"); // as SignalLog writes a value
        QTest::addColumn<QByteArray>("notify");

        const auto row
            = [](const char* name, const char* type, const char* initial, const char* notify) {
                  QTest::newRow(name) << QByteArray(name) << QByteArray(type) << QString(initial)
                                      << QByteArray(notify);
              };
        row("cameraList", "QStringList", "[]", "cameraListChanged(QStringList)");
        row("enabled", "bool", "false", "enabledChanged(bool)");
        row("hasAllCameras", "bool", "false", "hasAllCamerasChanged()");
        row("targetCyclic", "bool", "false", "targetCyclicChanged(bool)");
        row("maxThroughputMB", "int", "30", "maxThroughputMBChanged(int)");
        row("maxRangeDay", "int", "2", "maxRangeDayChanged(int)");
        row("scheduleTemplate", "QString", R"("")", "scheduleTemplateChanged(QString)");
        row("scheduleName", "QString", R"("")", "scheduleNameChanged(QString)");
        row("targetDir", "QString", R"("")", "targetDirChanged(QString)");
    }

    void property()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, type);
        QFETCH(QString, initial);
        QFETCH(QByteArray, notify);
        const QMetaObject* meta = plugin()->metaObject();
        const int index = meta->indexOfProperty(name);
        QVERIFY(index >= meta->propertyOffset());
        const QMetaProperty property = meta->property(index);
        QCOMPARE(QByteArray(property.typeName()), type);
        QCOMPARE(SignalLog::text(property.read(plugin())), initial);
        QCOMPARE(property.notifySignal().methodSignature(), notify);
        QVERIFY(!property.isWritable());
    }

    // Signals and invokable methods, by signature. A method whose last parameter has a default
    // also exists without it, as a clone.
    void method_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<QMetaMethod::MethodType>("kind");
        QTest::addColumn<bool>("clone");
        QTest::addColumn<QByteArray>("returnType");
        QTest::addColumn<QByteArrayList>("parameterNames");

        const auto member = [](const char* signature, QMetaMethod::MethodType kind, bool clone,
                               const char* returnType, const QByteArrayList& parameterNames) {
            QTest::newRow(signature) << QByteArray(signature) << kind << clone
                                     << QByteArray(returnType) << parameterNames;
        };
        const auto signal = [&](const char* signature, const QByteArrayList& parameterNames) {
            member(signature, QMetaMethod::Signal, false, "void", parameterNames);
        };
        signal("getBackupInfoResp(bool)", {"success"});
        signal("getBackupPathResp(bool,QString)", {"success", "backupPath"});
        signal("getBackupStatusResp(bool,QString,QString,qlonglong)",
               {"success", "status", "interval", "progress"});
        signal("updBackupInfoResp(bool)", {"success"});
        signal("updateScheduleResp(bool)", {"success"});
        signal("cameraListChanged(QStringList)", {"camList"});
        signal("enabledChanged(bool)", {"enabled"});
        signal("targetCyclicChanged(bool)", {"cyclic"});
        signal("hasAllCamerasChanged()", {});
        signal("maxThroughputMBChanged(int)", {"mb"});
        signal("maxRangeDayChanged(int)", {"day"});
        signal("scheduleTemplateChanged(QString)", {"content"});
        signal("scheduleNameChanged(QString)", {"name"});
        signal("targetDirChanged(QString)", {"dir"});

        // Each invokable with all its parameters, then its clone without the relay path.
        const auto invokable = [&](const char* signature, const char* clone, const char* returnType,
                                   const QByteArrayList& parameterNames) {
            member(signature, QMetaMethod::Method, false, returnType, parameterNames);
            member(clone, QMetaMethod::Method, true, returnType,
                   parameterNames.mid(0, parameterNames.size() - 1));
        };
        invokable("getBackupInfo(QString)", "getBackupInfo()", "bool", {"relayPath"});
        invokable("getBackupPathInfo(QString)", "getBackupPathInfo()", "bool", {"relayPath"});
        invokable("getBackupStatus(QString)", "getBackupStatus()", "bool", {"relayPath"});
        invokable(
            "updateBackupInfo(bool,bool,QString,QVariantList,QString,QString,int,int,QString)",
            "updateBackupInfo(bool,bool,QString,QVariantList,QString,QString,int,int)", "bool",
            {"enabled", "targetCyclic", "targetDir", "camList", "scheName", "scheJson",
             "maxThroughputMB", "maxRangeDay", "relayPath"});
        invokable("getNextBackupTime(QDateTime)", "getNextBackupTime()", "qulonglong", {"date"});
        invokable("updateSchedule(QString,QString,QString)", "updateSchedule(QString,QString)",
                  "bool", {"scheName", "scheJson", "relayPath"});
    }

    void method()
    {
        QFETCH(QByteArray, signature);
        QFETCH(QMetaMethod::MethodType, kind);
        QFETCH(bool, clone);
        QFETCH(QByteArray, returnType);
        QFETCH(QByteArrayList, parameterNames);
        const QMetaObject* meta = plugin()->metaObject();
        const int index = meta->indexOfMethod(signature);
        QVERIFY(index >= meta->methodOffset());
        const QMetaMethod method = meta->method(index);
        QCOMPARE(method.methodType(), kind);
        QCOMPARE(bool(method.attributes() & QMetaMethod::Cloned), clone);
        QCOMPARE(QByteArray(method.typeName()), returnType);
        QCOMPARE(method.parameterNames(), parameterNames);
    }

    void noOtherMembers()
    {
        // The rows above: nine properties, fourteen signals, six invokables and their six clones.
        const QMetaObject* meta = plugin()->metaObject();
        QCOMPARE(meta->propertyCount() - meta->propertyOffset(), 9);
        QCOMPARE(meta->methodCount() - meta->methodOffset(), 26);
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
                 QStringList({"enabledChanged(true)", R"(targetDirChanged("/mnt"))",
                              R"(targetDirChanged(""))", "cameraListChanged([a,b])",
                              "cameraListChanged([b,a])"}));
    }

    void queries_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<bool>("frameworkPresent");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("command"); // what goes to the framework, if there is one
        QTest::addColumn<QString>("recorded"); // curRelayPath afterwards; it was "old"

        QTest::newRow("accepted settings request records its path")
            << QByteArray("getBackupInfo") << true << true << "GetBkpTmcard"
            << "a/7";
        QTest::newRow("refused settings request keeps the old path")
            << QByteArray("getBackupInfo") << true << false << "GetBkpTmcard"
            << "old";
        QTest::newRow("settings request without a framework sends nothing")
            << QByteArray("getBackupInfo") << false << false << "GetBkpTmcard"
            << "old";
        QTest::newRow("path request records no path")
            << QByteArray("getBackupPathInfo") << true << true << "GetBackupPath"
            << "old";
        QTest::newRow("status request records no path")
            << QByteArray("getBackupStatus") << true << true << "GetBackupStatus"
            << "old";
    }

    void queries()
    {
        QFETCH(QByteArray, method);
        QFETCH(bool, frameworkPresent);
        QFETCH(bool, accepted);
        QFETCH(QString, command);
        QFETCH(QString, recorded);

        PluginScheduleBackup* p = plugin();
        p->framework = frameworkPresent ? &framework : nullptr;
        framework.accept = accepted;
        p->tst_setCurRelayPath("old");
        SignalLog signalLog(p);
        QCOMPARE(query(p, method.constData(), "a/7"), accepted);
        QCOMPARE(p->curRelayPath(), recorded);
        QCOMPARE(signalLog.fired(), QStringList());
        QCOMPARE(framework.sent.size(), qsizetype(frameworkPresent));
        // The path is recorded once SendCommand has returned, not before.
        QCOMPARE(framework.pathsDuringSend, QStringList(framework.sent.size(), "old"));
        for (const FakeFramework::SentCommand& s : std::as_const(framework.sent)) {
            QCOMPARE(s.command, command);
            QCOMPARE(s.relayPath, "a/7");
            // No argument (an invalid QVariant), no context, flag 0, from this plug-in.
            QVERIFY(!s.arguments.isValid() && !s.context && s.flag == 0);
            QVERIFY(s.hostData == &hostData && s.pluginId == pluginIdText);
        }
    }

    void replies_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("resultCode");
        QTest::addColumn<QVariantMap>("record"); // the Tmcard element of the reply
        QTest::addColumn<QStringList>("fired");

        const QVariantMap dir {{"Dir", "/mnt/bk"}};
        QTest::newRow("path reply reports the directory")
            << "GetBackupPath"
            << "0" << dir << QStringList {R"(getBackupPathResp(true,"/mnt/bk"))"};
        QTest::newRow("path reply with an empty record fails")
            << "GetBackupPath"
            << "0" << QVariantMap() << QStringList {R"(getBackupPathResp(false,""))"};
        QTest::newRow("status reply reports every field")
            << "GetBackupStatus"
            << "0" << dir << QStringList {R"(getBackupStatusResp(true,"Running","3600",42))"};
        QTest::newRow("status result code 00 is a failure")
            << "GetBackupStatus"
            << "00" << dir << QStringList {R"(getBackupStatusResp(false,"","",0))"};
        QTest::newRow("command names are case-sensitive") << "getbackuppath"
                                                          << "0" << dir << QStringList();
        QTest::newRow("a trailing blank names another command") << "GetBackupStatus "
                                                                << "0" << dir << QStringList();
    }

    void replies()
    {
        QFETCH(QString, command);
        QFETCH(QString, resultCode);
        QFETCH(QVariantMap, record);
        QFETCH(QStringList, fired);

        PluginScheduleBackup* p = plugin();
        p->tst_setCurRelayPath("current");
        SignalLog signalLog(p);
        // Neither a context the plug-in never made nor a foreign relay path may matter.
        QVariantMap foreign = {{"Dir", "/from/context"}};
        p->CommandProcessor(command, replyTree(record), &foreign, resultCode, QString(), false,
                            "not/asked");
        QCOMPARE(signalLog.fired(), fired);
        QCOMPARE(p->curRelayPath(), "current");
        QCOMPARE(foreign.value("Dir").toString(), "/from/context");
    }

private:
    PathProbeFramework framework;
    int hostData = 0;
};

QTEST_GUILESS_MAIN(tst_Frame)
#include "tst_frame.moc"
