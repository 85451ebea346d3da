#include "FakeFramework.h"
#include "FrameTestKit.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"

#include <QJsonObject>
#include <QPointer>

#include <QTest>
#include <functional>

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
    void init();
    void loadingAndLifecycle();
    void initialPluginBaseCallsInitOnce();
    void metaObjectTable();
    void settersEmitOnlyOnChange_data();
    void settersEmitOnlyOnChange();
    void queries_data();
    void queries();
    void relayPathRecording();
    void replies_data();
    void replies();

private:
    PathProbeFramework framework;
    int hostData = 0;
};

void tst_Frame::init()
{
    PluginLoading::resetInstance();
    framework = PathProbeFramework();
    plugin()->InitialPluginBase(nullptr, &hostData, &framework);
}

void tst_Frame::loadingAndLifecycle()
{
    const QJsonObject metaData = PluginLoading::metaData();
    QCOMPARE(metaData.value("IID").toString(), QStringLiteral(PluginBase_iid));
    QCOMPARE(metaData.value("className").toString(), QStringLiteral("PluginScheduleBackup"));
    const QJsonObject own = metaData.value("MetaData").toObject();
    QCOMPARE(own.keys(), QStringList({"ClientOnly", "PluginID"}));
    QCOMPARE(own.value("ClientOnly"), QJsonValue(false));
    QCOMPARE(own.value("PluginID").toString(), pluginIdText);

    PluginLoading::resetInstance();
    QObject* first = PluginLoading::instance();
    QCOMPARE(PluginLoading::instance(), first);
    auto* used = static_cast<PluginScheduleBackup*>(qobject_cast<PluginBase*>(first));
    // Marks on the old object, so that a reused one would be recognised.
    used->InitialPluginBase(nullptr, &hostData, &framework);
    used->hostFlag = true;
    used->setMaxRangeDay(9);
    used->tst_setCurRelayPath("old/path");
    used->setSchedule(QVariantMap {{"Ele", "x"}});
    QPointer<QObject> guard(first);
    PluginLoading::resetInstance();
    QVERIFY(guard.isNull());

    PluginScheduleBackup* fresh = plugin();
    QVERIFY(fresh && PluginLoading::instance() == fresh);
    QVERIFY(!fresh->hostFlag && fresh->prefixName.isEmpty() && fresh->pluginId.isEmpty());
    QVERIFY(!fresh->hostData && !fresh->framework && !fresh->schedule().isValid());
    QVERIFY(fresh->revision() == -1 && fresh->tmcardId() == -1 && fresh->curRelayPath().isEmpty());
    QCOMPARE(fresh->maxRangeDay(), 2); // all initial values: see metaObjectTable
}

void tst_Frame::initialPluginBaseCallsInitOnce()
{
    InitCountingPlugin p;
    SignalLog signalLog(&p);
    auto* context = reinterpret_cast<QQmlContext*>(&hostData); // never dereferenced
    p.InitialPluginBase(context, nullptr, nullptr);
    QCOMPARE(p.contexts, QList<QQmlContext*> {context});
    p.prefixName.clear();
    p.InitialPluginBase(nullptr, &hostData, &framework);
    QCOMPARE(p.contexts, QList<QQmlContext*>({context, nullptr}));
    QCOMPARE(p.prefixName + ' ' + p.pluginId, "ScheduleBackupPlugin " + pluginIdText);
    QVERIFY(p.hostData == &hostData && p.framework == &framework && framework.sent.isEmpty());
    p.setSchedule(QVariantMap {{"Ele", "x"}}); // stored without any signal
    QCOMPARE(p.schedule(), QVariant(QVariantMap {{"Ele", "x"}}));
    QCOMPARE(signalLog.fired(), QStringList());
}

void tst_Frame::metaObjectTable()
{
    const QMetaObject* meta = plugin()->metaObject();
    QStringList actual;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        actual << QStringLiteral("%1 %2 %3 %4%5")
                      .arg(p.typeName(), p.name(), text(p.read(plugin())),
                           p.notifySignal().methodSignature(), p.isWritable() ? " writable" : "");
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
            : m.methodType() != QMetaMethod::Method              ? "?"
            : m.attributes() & QMetaMethod::Cloned               ? "C"
                                                                 : "M";
        actual << QStringLiteral("%1 %2 %3(%4)")
                      .arg(kind, m.typeName(), m.name(), parameters.join(','));
    }
    QCOMPARE(actual, QString(expectedMethods).split(';'));
}

void tst_Frame::settersEmitOnlyOnChange_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QVariantList>("emitted");

    using L = QVariantList;
    const auto row = [](const char* name, const L& values, const L& emitted) {
        QTest::newRow(name) << QByteArray(name) << values << emitted;
    };
    row("enabled", {false, true, true}, {true});
    row("targetCyclic", {true, true, false}, {true, false});
    row("maxThroughputMB", {30, 50, 50}, {50});
    row("maxRangeDay", {2, 5, 5, 2}, {5, 2});
    row("scheduleTemplate", {"", "{}", "{}"}, {"{}"});
    row("scheduleName", {"Night", "Night", "night"}, {"Night", "night"});
    row("targetDir", {QString(""), "/mnt", "/mnt", QString()}, {"/mnt", ""});
    // Equal lists built separately are different list objects.
    const QStringList ab = {"a", "b"}, ba = {"b", "a"};
    row("cameraList", {QStringList(), ab, QStringList {"a"} + QStringList {"b"}, ba}, {ab, ba});
}

void tst_Frame::settersEmitOnlyOnChange()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariantList, values);
    QFETCH(QVariantList, emitted);

    PluginScheduleBackup* p = plugin();
    const QMetaProperty meta
        = p->metaObject()->property(p->metaObject()->indexOfProperty(property));
    SignalLog signalLog(p);
    const QHash<QByteArray, std::function<void(const QVariant&)>> setters
        = {{"cameraList", [p](const QVariant& v) { p->setCameraList(v.toStringList()); }},
           {"enabled", [p](const QVariant& v) { p->setEnabled(v.toBool()); }},
           {"targetCyclic", [p](const QVariant& v) { p->setTargetCyclic(v.toBool()); }},
           {"maxThroughputMB", [p](const QVariant& v) { p->setMaxThroughputMB(v.toInt()); }},
           {"maxRangeDay", [p](const QVariant& v) { p->setMaxRangeDay(v.toInt()); }},
           {"scheduleTemplate", [p](const QVariant& v) { p->setScheduleTemplate(v.toString()); }},
           {"scheduleName", [p](const QVariant& v) { p->setScheduleName(v.toString()); }},
           {"targetDir", [p](const QVariant& v) { p->setTargetDir(v.toString()); }}};
    for (const QVariant& value : values)
        setters[property](value);

    // Only the property's own signal fires, once per real change.
    QStringList expected;
    for (const QVariant& value : emitted)
        expected << meta.notifySignal().name() + '(' + text(value) + ')';
    QCOMPARE(signalLog.fired(), expected);
    QCOMPARE(text(meta.read(p)), text(values.last()));
}

void tst_Frame::queries_data()
{
    QTest::addColumn<QString>("call"); // method and relay path
    QTest::addColumn<int>("mode"); // 1: accepted, 0: refused, -1: no framework
    QTest::addColumn<QString>("sent"); // command and relay path; empty when nothing is sent
    QTest::addColumn<QString>("recorded"); // curRelayPath afterwards; it was "old"

    const auto row
        = [](const char* name, const char* call, int mode, const char* sent, const char* recorded) {
              QTest::newRow(name) << call << mode << sent << recorded;
          };
    row("info accepted", "getBackupInfo a/7", 1, "GetBkpTmcard a/7", "a/7");
    row("info refused", "getBackupInfo a/7", 0, "GetBkpTmcard a/7", "old");
    row("info unset", "getBackupInfo a/7", -1, "", "old");
    row("path accepted", "getBackupPathInfo a/7", 1, "GetBackupPath a/7", "old");
    row("path unset", "getBackupPathInfo a/7", -1, "", "old");
    row("status accepted", "getBackupStatus a/7", 1, "GetBackupStatus a/7", "old");
    row("status unset", "getBackupStatus a/7", -1, "", "old");
}

void tst_Frame::queries()
{
    QFETCH(QString, call);
    QFETCH(int, mode);
    QFETCH(QString, sent);
    QFETCH(QString, recorded);

    PluginScheduleBackup* p = plugin();
    if (mode < 0)
        p->framework = nullptr;
    framework.accept = mode == 1;
    p->tst_setCurRelayPath("old");
    SignalLog signalLog(p);
    QCOMPARE(query(p, qPrintable(call.section(' ', 0, 0)), call.section(' ', 1)), mode == 1);
    QCOMPARE(p->curRelayPath(), recorded);
    QCOMPARE(signalLog.fired(), QStringList());
    // Besides command and relay path: no argument (an invalid QVariant), no context, flag 0.
    QStringList actual;
    for (const FakeFramework::SentCommand& s : framework.sent)
        actual << QStringLiteral("%1 %2 %3%4%5 %6")
                      .arg(s.command, s.relayPath, s.arguments.isValid() ? "argument " : "",
                           s.context ? "context " : "", QString::number(s.flag),
                           s.hostData == &hostData && s.pluginId == pluginIdText ? "own"
                                                                                 : "foreign");
    QCOMPARE(actual, sent.isEmpty() ? QStringList() : QStringList {sent + " 0 own"});
}

void tst_Frame::relayPathRecording()
{
    QVERIFY(query(plugin(), "getBackupInfo", "first"));
    framework.accept = false;
    QVERIFY(!query(plugin(), "getBackupInfo", "second"));
    QCOMPARE(plugin()->curRelayPath(), QStringLiteral("first"));
    // Recorded once SendCommand has returned, not before.
    QCOMPARE(framework.pathsDuringSend, QStringList({"", "first"}));
}

void tst_Frame::replies_data()
{
    QTest::addColumn<QString>("reply"); // command|result code|result tree
    QTest::addColumn<QStringList>("fired");

    const auto row = [](const char* name, const char* reply, const char* fired) {
        QTest::newRow(name) << reply << (*fired ? QStringList {fired} : QStringList());
    };
    const char* pathFailed = R"(getBackupPathResp(false,""))";
    const char* statusFailed = R"(getBackupStatusResp(false,"","",0))";
    row("path: Dir", "GetBackupPath|0|full", R"(getBackupPathResp(true,"/mnt/bk"))");
    row("path: record without Dir", "GetBackupPath|0|noDir", R"(getBackupPathResp(true,""))");
    row("path: empty record", "GetBackupPath|0|emptyRecord", pathFailed);
    row("path: root named after command", "GetBackupPath|0|pathRoot", pathFailed);
    row("path: invalid result", "GetBackupPath|0|none", pathFailed);
    row("path: code 00", "GetBackupPath|00|full", pathFailed);
    row("path: code 0 blank", "GetBackupPath|0 |full", pathFailed);
    row("status: all fields", "GetBackupStatus|0|full",
        R"(getBackupStatusResp(true,"Running","3600",42))");
    row("status: progress not a number", "GetBackupStatus|0|badProgress",
        R"(getBackupStatusResp(true,"","",0))");
    row("status: no status root", "GetBackupStatus|0|emptyRecord",
        R"(getBackupStatusResp(true,"","",0))");
    row("status: invalid result", "GetBackupStatus|0|none", statusFailed);
    row("status: code 00", "GetBackupStatus|00|full", statusFailed);
    row("route: lower case", "getbackuppath|0|full", "");
    row("route: trailing blank", "GetBackupStatus |0|full", "");
    row("route: unknown name", "GetCameraList|0|full", "");
}

void tst_Frame::replies()
{
    QFETCH(QString, reply);
    QFETCH(QStringList, fired);

    const QVariantMap status
        = {{"Status", "Running"}, {"BackupInterval", "3600"}, {"BackupProgress", "42"}};
    const QVariantMap trees
        = {{"full", replyTree({{"Enabled", "true"}, {"Dir", "/mnt/bk"}}, status)},
           {"noDir", replyTree({{"Enabled", "false"}})},
           {"emptyRecord", replyTree({})},
           {"pathRoot", QVariantMap {{"GetBackupPathRes", replyTree({{"Dir", "/m"}}).first()}}},
           {"badProgress", replyTree({}, QVariantMap {{"BackupProgress", "half"}})}};
    const QStringList part = reply.split('|');
    PluginScheduleBackup* p = plugin();
    p->tst_setCurRelayPath("current");
    SignalLog signalLog(p);
    // Neither a context the plug-in never made nor a foreign relay path may matter.
    QVariantMap foreign = {{"Dir", "/from/context"}};
    p->CommandProcessor(part[0], trees.value(part[2]), &foreign, part[1], QString(), false,
                        "not/asked");

    QCOMPARE(signalLog.fired(), fired);
    QCOMPARE(p->curRelayPath() + ' ' + foreign.value("Dir").toString(), "current /from/context");
}

QTEST_GUILESS_MAIN(tst_Frame)
#include "tst_frame.moc"
