#include "FakeFramework.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"
#include "SignalLog.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <QTest>

namespace {

PluginScheduleBackup* plugin()
{
    return qobject_cast<PluginScheduleBackup*>(PluginLoading::instance());
}

void callSetter(PluginScheduleBackup* p, const QString& property, const QVariant& value)
{
    if (property == "cameraList")
        p->setCameraList(value.toStringList());
    else if (property == "enabled")
        p->setEnabled(value.toBool());
    else if (property == "targetCyclic")
        p->setTargetCyclic(value.toBool());
    else if (property == "maxThroughputMB")
        p->setMaxThroughputMB(value.toInt());
    else if (property == "maxRangeDay")
        p->setMaxRangeDay(value.toInt());
    else if (property == "scheduleTemplate")
        p->setScheduleTemplate(value.toString());
    else if (property == "scheduleName")
        p->setScheduleName(value.toString());
    else if (property == "targetDir")
        p->setTargetDir(value.toString());
    else
        QFAIL(qPrintable("no setter for " + property));
}

QDateTime startOfWeek(const QDateTime& moment)
{
    const QDate day = moment.date();
    return day.addDays(-(day.dayOfWeek() % 7)).startOfDay();
}

} // namespace

class tst_MetaObject : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { PluginLoading::resetInstance(); }

    void propertiesAreReadOnlyAndNotify_data();
    void propertiesAreReadOnlyAndNotify();
    void methodsInDeclarationOrder_data();
    void methodsInDeclarationOrder();
    void signalLookupByMemberGivesIndex();
    void assigningPropertyFailsAndKeepsValue_data();
    void assigningPropertyFailsAndKeepsValue();
    void settersEmitOnlyOnChange_data();
    void settersEmitOnlyOnChange();
    void setScheduleNeverEmits();
    void requestClonesSendEmptyRelayPath_data();
    void requestClonesSendEmptyRelayPath();
    void nextBackupTimeCloneUsesCurrentTime();
};

void tst_MetaObject::propertiesAreReadOnlyAndNotify_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("notify");
    QTest::addColumn<int>("position");

    const struct
    {
        const char* name;
        const char* type;
        const char* notify;
    } rows[] = {
        {"cameraList", "QStringList", "cameraListChanged(QStringList)"},
        {"enabled", "bool", "enabledChanged(bool)"},
        {"hasAllCameras", "bool", "hasAllCamerasChanged()"},
        {"targetCyclic", "bool", "targetCyclicChanged(bool)"},
        {"maxThroughputMB", "int", "maxThroughputMBChanged(int)"},
        {"maxRangeDay", "int", "maxRangeDayChanged(int)"},
        {"scheduleTemplate", "QString", "scheduleTemplateChanged(QString)"},
        {"scheduleName", "QString", "scheduleNameChanged(QString)"},
        {"targetDir", "QString", "targetDirChanged(QString)"},
    };
    int position = 0;
    for (const auto& row : rows)
        QTest::newRow(row.name) << QByteArray(row.name) << QByteArray(row.type)
                                << QByteArray(row.notify) << position++;
}

void tst_MetaObject::propertiesAreReadOnlyAndNotify()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, notify);

    const QMetaObject* meta = PluginLoading::instance()->metaObject();
    QCOMPARE(meta->propertyOffset(), QObject::staticMetaObject.propertyCount());
    QCOMPARE(meta->propertyCount() - meta->propertyOffset(), 9);

    QFETCH(int, position);
    const int index = meta->indexOfProperty(name);
    QCOMPARE(index, meta->propertyOffset() + position);

    const QMetaProperty property = meta->property(index);
    QCOMPARE(QByteArray(property.typeName()), type);
    QVERIFY(property.isReadable());
    QVERIFY(!property.isWritable());
    QVERIFY(!property.isResettable());
    QVERIFY(!property.isConstant());
    QVERIFY(property.isStored());
    QVERIFY(property.isScriptable());
    QVERIFY(property.isDesignable());
    QCOMPARE(property.revision(), 0);
    QVERIFY(property.hasNotifySignal());
    QCOMPARE(property.notifySignal().methodSignature(), notify);
}

void tst_MetaObject::methodsInDeclarationOrder_data()
{
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<QByteArray>("returnType");
    QTest::addColumn<QByteArrayList>("parameterNames");
    QTest::addColumn<bool>("isSignal");
    QTest::addColumn<bool>("cloned");
    QTest::addColumn<int>("position");

    const QByteArray update
        = "updateBackupInfo(bool,bool,QString,QVariantList,QString,QString,int,int";
    const QByteArrayList updateNames
        = {"enabled",  "targetCyclic", "targetDir",       "camList",
           "scheName", "scheJson",     "maxThroughputMB", "maxRangeDay"};
    const struct
    {
        QByteArray signature;
        QByteArray returnType;
        QByteArrayList names;
        bool isSignal;
        bool cloned;
    } rows[] = {
        {"getBackupInfoResp(bool)", "void", {"success"}, true, false},
        {"getBackupPathResp(bool,QString)", "void", {"success", "backupPath"}, true, false},
        {"getBackupStatusResp(bool,QString,QString,qlonglong)",
         "void",
         {"success", "status", "interval", "progress"},
         true,
         false},
        {"updBackupInfoResp(bool)", "void", {"success"}, true, false},
        {"updateScheduleResp(bool)", "void", {"success"}, true, false},
        {"cameraListChanged(QStringList)", "void", {"camList"}, true, false},
        {"enabledChanged(bool)", "void", {"enabled"}, true, false},
        {"targetCyclicChanged(bool)", "void", {"cyclic"}, true, false},
        {"hasAllCamerasChanged()", "void", {}, true, false},
        {"maxThroughputMBChanged(int)", "void", {"mb"}, true, false},
        {"maxRangeDayChanged(int)", "void", {"day"}, true, false},
        {"scheduleTemplateChanged(QString)", "void", {"content"}, true, false},
        {"scheduleNameChanged(QString)", "void", {"name"}, true, false},
        {"targetDirChanged(QString)", "void", {"dir"}, true, false},
        {"getBackupInfo(QString)", "bool", {"relayPath"}, false, false},
        {"getBackupInfo()", "bool", {}, false, true},
        {"getBackupPathInfo(QString)", "bool", {"relayPath"}, false, false},
        {"getBackupPathInfo()", "bool", {}, false, true},
        {"getBackupStatus(QString)", "bool", {"relayPath"}, false, false},
        {"getBackupStatus()", "bool", {}, false, true},
        {update + ",QString)", "bool", updateNames + QByteArrayList {"relayPath"}, false, false},
        {update + ")", "bool", updateNames, false, true},
        {"getNextBackupTime(QDateTime)", "qulonglong", {"date"}, false, false},
        {"getNextBackupTime()", "qulonglong", {}, false, true},
        {"updateSchedule(QString,QString,QString)",
         "bool",
         {"scheName", "scheJson", "relayPath"},
         false,
         false},
        {"updateSchedule(QString,QString)", "bool", {"scheName", "scheJson"}, false, true},
    };
    int position = 0;
    for (const auto& row : rows) {
        QTest::addRow("%02d %s", position, row.signature.constData())
            << row.signature << row.returnType << row.names << row.isSignal << row.cloned
            << position;
        ++position;
    }
}

void tst_MetaObject::methodsInDeclarationOrder()
{
    QFETCH(QByteArray, signature);
    QFETCH(QByteArray, returnType);
    QFETCH(QByteArrayList, parameterNames);
    QFETCH(bool, isSignal);
    QFETCH(bool, cloned);

    const QMetaObject* meta = PluginLoading::instance()->metaObject();
    QCOMPARE(meta->methodOffset(), QObject::staticMetaObject.methodCount());
    QCOMPARE(meta->methodCount() - meta->methodOffset(), 26);

    QFETCH(int, position);
    const QMetaMethod method = meta->method(meta->methodOffset() + position);
    QCOMPARE(method.methodSignature(), signature);
    QCOMPARE(QByteArray(method.typeName()), returnType);
    QCOMPARE(method.parameterNames(), parameterNames);
    QCOMPARE(method.methodType(), isSignal ? QMetaMethod::Signal : QMetaMethod::Method);
    QCOMPARE(method.access(), QMetaMethod::Public);
    QCOMPARE(bool(method.attributes() & QMetaMethod::Cloned), cloned);
}

void tst_MetaObject::signalLookupByMemberGivesIndex()
{
    const int offset = PluginScheduleBackup::staticMetaObject.methodOffset();
    QCOMPARE(QMetaMethod::fromSignal(&PluginScheduleBackup::getBackupInfoResp).methodIndex(),
             offset + 0);
    QCOMPARE(QMetaMethod::fromSignal(&PluginScheduleBackup::getBackupStatusResp).methodIndex(),
             offset + 2);
    QCOMPARE(QMetaMethod::fromSignal(&PluginScheduleBackup::hasAllCamerasChanged).methodIndex(),
             offset + 8);
    QCOMPARE(QMetaMethod::fromSignal(&PluginScheduleBackup::targetDirChanged).methodIndex(),
             offset + 13);
}

void tst_MetaObject::assigningPropertyFailsAndKeepsValue_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("cameraList") << QByteArray("cameraList") << QVariant(QStringList {"cam"});
    QTest::newRow("enabled") << QByteArray("enabled") << QVariant(true);
    QTest::newRow("hasAllCameras") << QByteArray("hasAllCameras") << QVariant(true);
    QTest::newRow("targetCyclic") << QByteArray("targetCyclic") << QVariant(true);
    QTest::newRow("maxThroughputMB") << QByteArray("maxThroughputMB") << QVariant(99);
    QTest::newRow("maxRangeDay") << QByteArray("maxRangeDay") << QVariant(7);
    QTest::newRow("scheduleTemplate") << QByteArray("scheduleTemplate") << QVariant("{}");
    QTest::newRow("scheduleName") << QByteArray("scheduleName") << QVariant("Night");
    QTest::newRow("targetDir") << QByteArray("targetDir") << QVariant("/mnt/x");
}

void tst_MetaObject::assigningPropertyFailsAndKeepsValue()
{
    QFETCH(QByteArray, name);
    QFETCH(QVariant, value);

    QObject* object = PluginLoading::instance();
    const QVariantMap before = readableState(object);
    SignalLog signalLog(object);

    QVERIFY(!object->setProperty(name, value));
    QCOMPARE(readableState(object), before);
    QVERIFY(object->dynamicPropertyNames().isEmpty());
    QCOMPARE(signalLog.fired(), QStringList());
}

void tst_MetaObject::settersEmitOnlyOnChange_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QVariantList>("emitted");

    // Two separately built lists with equal elements are different list objects.
    const QStringList ab = {"a", "b"};
    const QStringList abAgain = QStringList {"a"} + QStringList {"b"};
    const QStringList ba = {"b", "a"};

    QTest::newRow("enabled true twice")
        << "enabled" << QVariantList {true, true} << QVariantList {true};
    QTest::newRow("enabled initial false") << "enabled" << QVariantList {false} << QVariantList {};
    QTest::newRow("targetCyclic on and off")
        << "targetCyclic" << QVariantList {true, true, false} << QVariantList {true, false};
    QTest::newRow("maxThroughputMB initial 30")
        << "maxThroughputMB" << QVariantList {30} << QVariantList {};
    QTest::newRow("maxThroughputMB 50 twice")
        << "maxThroughputMB" << QVariantList {50, 50} << QVariantList {50};
    QTest::newRow("maxRangeDay away and back")
        << "maxRangeDay" << QVariantList {5, 2} << QVariantList {5, 2};
    QTest::newRow("targetDir empty over null")
        << "targetDir" << QVariantList {QString("")} << QVariantList {};
    QTest::newRow("targetDir twice then null")
        << "targetDir" << QVariantList {"/mnt", "/mnt", QString()}
        << QVariantList {"/mnt", QString()};
    QTest::newRow("scheduleName letter case")
        << "scheduleName" << QVariantList {"Night", "night"} << QVariantList {"Night", "night"};
    QTest::newRow("scheduleTemplate twice")
        << "scheduleTemplate" << QVariantList {"{}", QString("{}")} << QVariantList {"{}"};
    QTest::newRow("cameraList equal list other object")
        << "cameraList" << QVariantList {ab, abAgain} << QVariantList {ab};
    QTest::newRow("cameraList reordered")
        << "cameraList" << QVariantList {ab, ba} << QVariantList {ab, ba};
    QTest::newRow("cameraList initial empty")
        << "cameraList" << QVariantList {QStringList()} << QVariantList {};
}

void tst_MetaObject::settersEmitOnlyOnChange()
{
    QFETCH(QString, property);
    QFETCH(QVariantList, values);
    QFETCH(QVariantList, emitted);

    PluginScheduleBackup* p = plugin();
    const QMetaProperty meta
        = p->metaObject()->property(p->metaObject()->indexOfProperty(property.toLatin1()));
    QSignalSpy spy(p, meta.notifySignal());
    SignalLog signalLog(p);

    QVariantList seenInSlot;
    QMetaObject::Connection readBack;
    const auto record = [&] { seenInSlot.append(p->property(property.toLatin1())); };
    if (property == "enabled")
        readBack = connect(p, &PluginScheduleBackup::enabledChanged, this, record);
    else if (property == "targetCyclic")
        readBack = connect(p, &PluginScheduleBackup::targetCyclicChanged, this, record);
    else if (property == "maxThroughputMB")
        readBack = connect(p, &PluginScheduleBackup::maxThroughputMBChanged, this, record);
    else if (property == "maxRangeDay")
        readBack = connect(p, &PluginScheduleBackup::maxRangeDayChanged, this, record);
    else if (property == "targetDir")
        readBack = connect(p, &PluginScheduleBackup::targetDirChanged, this, record);
    else if (property == "scheduleName")
        readBack = connect(p, &PluginScheduleBackup::scheduleNameChanged, this, record);
    else if (property == "scheduleTemplate")
        readBack = connect(p, &PluginScheduleBackup::scheduleTemplateChanged, this, record);
    else if (property == "cameraList")
        readBack = connect(p, &PluginScheduleBackup::cameraListChanged, this, record);

    for (const QVariant& value : values)
        callSetter(p, property, value);

    QCOMPARE(spy.size(), emitted.size());
    for (int i = 0; i < emitted.size(); ++i) {
        QCOMPARE(spy.at(i).at(0), emitted.at(i));
        QCOMPARE(seenInSlot.at(i), emitted.at(i));
    }
    // Only the property's own change signal may fire.
    QCOMPARE(signalLog.fired().size(), emitted.isEmpty() ? 0 : 1);
    QVariant last = values.last();
    QVERIFY(last.convert(meta.metaType()));
    QCOMPARE(p->property(property.toLatin1()), last);
    disconnect(readBack);
}

void tst_MetaObject::setScheduleNeverEmits()
{
    PluginScheduleBackup* p = plugin();
    SignalLog signalLog(p);
    const QVariantMap schedule = {{"Ele", QVariantMap {{"Frame", QVariantMap {{"Name", "N"}}}}}};

    p->setSchedule(schedule);
    QCOMPARE(p->schedule(), QVariant(schedule));
    p->setSchedule(schedule);
    p->setSchedule(QVariant());
    QVERIFY(!p->schedule().isValid());
    QCOMPARE(signalLog.fired(), QStringList());
}

void tst_MetaObject::requestClonesSendEmptyRelayPath_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("recordsPath");

    QTest::newRow("getBackupInfo()") << QByteArray("getBackupInfo") << "GetBkpTmcard" << true;
    QTest::newRow("getBackupPathInfo()")
        << QByteArray("getBackupPathInfo") << "GetBackupPath" << false;
    QTest::newRow("getBackupStatus()")
        << QByteArray("getBackupStatus") << "GetBackupStatus" << false;
    QTest::newRow("updateSchedule(name, json)")
        << QByteArray("updateSchedule") << "UpdSchedule" << false;
}

void tst_MetaObject::requestClonesSendEmptyRelayPath()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, command);
    QFETCH(bool, recordsPath);

    PluginScheduleBackup* p = plugin();
    FakeFramework framework;
    p->InitialPluginBase(nullptr, &framework, &framework);
    p->tst_setCurRelayPath("earlier");

    bool ok = false;
    if (method == "updateSchedule") {
        QVERIFY(QMetaObject::invokeMethod(
            p, method, Q_RETURN_ARG(bool, ok), Q_ARG(QString, "Night"),
            Q_ARG(QString, R"({"Rectangles":[{"Top":1,"Bottom":2,"Left":0,"Right":1}]})")));
    } else {
        QVERIFY(QMetaObject::invokeMethod(p, method, Q_RETURN_ARG(bool, ok)));
    }
    QVERIFY(ok);
    QCOMPARE(framework.sent.size(), 1);
    QCOMPARE(framework.sent.at(0).command, command);
    QVERIFY(framework.sent.at(0).relayPath.isEmpty());
    QCOMPARE(p->curRelayPath(), recordsPath ? QString() : QStringLiteral("earlier"));
}

void tst_MetaObject::nextBackupTimeCloneUsesCurrentTime()
{
    PluginScheduleBackup* p = plugin();
    FakeFramework framework;
    FakeServerInfo serverInfo;
    framework.serverInfo = &serverInfo;
    p->InitialPluginBase(nullptr, &framework, &framework);

    // Without stored intervals the answer is the start of the week the call falls in.
    const QDateTime before = QDateTime::currentDateTime();
    qulonglong result = 0;
    QVERIFY(QMetaObject::invokeMethod(p, "getNextBackupTime", Q_RETURN_ARG(qulonglong, result)));
    const QDateTime after = QDateTime::currentDateTime();

    QCOMPARE(serverInfo.calls, 2);
    const qulonglong early = qulonglong(startOfWeek(before).toMSecsSinceEpoch());
    const qulonglong late = qulonglong(startOfWeek(after).toMSecsSinceEpoch());
    QVERIFY2(result == early || result == late, qPrintable(QString::number(result)));
}

QTEST_GUILESS_MAIN(tst_MetaObject)
#include "tst_metaobject.moc"
