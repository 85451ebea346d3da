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

void callSetter(PluginScheduleBackup* p, const QByteArray& property, const QVariant& value)
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
}

} // namespace

// Reads the property back from inside the change notification, as a QML binding would.
class ReadBack : public QObject
{
    Q_OBJECT
public:
    QByteArray property;
    QVariantList seen;
public Q_SLOTS:
    void changed() { seen.append(sender()->property(property)); }
};

class tst_MetaObject : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { PluginLoading::resetInstance(); }

    void propertiesAreReadOnlyAndNotify_data();
    void propertiesAreReadOnlyAndNotify();
    void methodsInDeclarationOrder_data();
    void methodsInDeclarationOrder();
    void settersEmitOnlyOnChange_data();
    void settersEmitOnlyOnChange();
    void setScheduleNeverEmits();
    void clonesSendEmptyRelayPath_data();
    void clonesSendEmptyRelayPath();
    void nextBackupTimeCloneUsesCurrentTime();
};

void tst_MetaObject::propertiesAreReadOnlyAndNotify_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArrayList>("row"); // type, name, notify signal

    const char* rows[] = {"QStringList cameraList cameraListChanged(QStringList)",
                          "bool enabled enabledChanged(bool)",
                          "bool hasAllCameras hasAllCamerasChanged()",
                          "bool targetCyclic targetCyclicChanged(bool)",
                          "int maxThroughputMB maxThroughputMBChanged(int)",
                          "int maxRangeDay maxRangeDayChanged(int)",
                          "QString scheduleTemplate scheduleTemplateChanged(QString)",
                          "QString scheduleName scheduleNameChanged(QString)",
                          "QString targetDir targetDirChanged(QString)"};
    int position = 0;
    for (const char* row : rows) {
        const QByteArrayList fields = QByteArray(row).split(' ');
        QTest::newRow(fields.at(1)) << position++ << fields;
    }
}

void tst_MetaObject::propertiesAreReadOnlyAndNotify()
{
    QFETCH(int, position);
    QFETCH(QByteArrayList, row);

    QObject* object = PluginLoading::instance();
    const QMetaObject* meta = object->metaObject();
    QCOMPARE(meta->propertyOffset(), QObject::staticMetaObject.propertyCount());
    QCOMPARE(meta->propertyCount() - meta->propertyOffset(), 9);
    QCOMPARE(meta->indexOfProperty(row.at(1)), meta->propertyOffset() + position);

    const QMetaProperty property = meta->property(meta->propertyOffset() + position);
    QCOMPARE(QByteArray(property.typeName()), row.at(0));
    QVERIFY(property.isReadable() && property.hasNotifySignal());
    QVERIFY(!property.isWritable() && !property.isResettable() && !property.isConstant());
    QVERIFY(property.isStored() && property.isScriptable() && property.isDesignable());
    QCOMPARE(property.revision(), 0);
    QCOMPARE(property.notifySignal().methodSignature(), row.at(2));

    // QML assignment of a value that differs from every initial value must not stick.
    QVariant foreign(QStringLiteral("7"));
    QVERIFY(foreign.convert(property.metaType()));
    const QVariantMap before = readableState(object);
    SignalLog signalLog(object);
    QVERIFY(!object->setProperty(row.at(1), foreign));
    QCOMPARE(readableState(object), before);
    QVERIFY(object->dynamicPropertyNames().isEmpty());
    QCOMPARE(signalLog.fired(), QStringList());
}

void tst_MetaObject::methodsInDeclarationOrder_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArrayList>("row"); // kind, return type, signature, parameter names

    // S: signal, M: invokable method, C: its clone without the last parameter.
    const QByteArray update = "updateBackupInfo(bool,bool,QString,QVariantList,QString,QString,int,"
                              "int";
    const QByteArray updateNames = "enabled,targetCyclic,targetDir,camList,scheName,scheJson,"
                                   "maxThroughputMB,maxRangeDay";
    const QByteArray rows[] = {
        "S void getBackupInfoResp(bool) success",
        "S void getBackupPathResp(bool,QString) success,backupPath",
        "S void getBackupStatusResp(bool,QString,QString,qlonglong) "
        "success,status,interval,progress",
        "S void updBackupInfoResp(bool) success",
        "S void updateScheduleResp(bool) success",
        "S void cameraListChanged(QStringList) camList",
        "S void enabledChanged(bool) enabled",
        "S void targetCyclicChanged(bool) cyclic",
        "S void hasAllCamerasChanged() ",
        "S void maxThroughputMBChanged(int) mb",
        "S void maxRangeDayChanged(int) day",
        "S void scheduleTemplateChanged(QString) content",
        "S void scheduleNameChanged(QString) name",
        "S void targetDirChanged(QString) dir",
        "M bool getBackupInfo(QString) relayPath",
        "C bool getBackupInfo() ",
        "M bool getBackupPathInfo(QString) relayPath",
        "C bool getBackupPathInfo() ",
        "M bool getBackupStatus(QString) relayPath",
        "C bool getBackupStatus() ",
        "M bool " + update + ",QString) " + updateNames + ",relayPath",
        "C bool " + update + ") " + updateNames,
        "M qulonglong getNextBackupTime(QDateTime) date",
        "C qulonglong getNextBackupTime() ",
        "M bool updateSchedule(QString,QString,QString) scheName,scheJson,relayPath",
        "C bool updateSchedule(QString,QString) scheName,scheJson",
    };
    int position = 0;
    for (const QByteArray& row : rows) {
        const QByteArrayList fields = row.split(' ');
        QTest::addRow("%02d %s", position, fields.at(2).constData()) << position++ << fields;
    }
}

void tst_MetaObject::methodsInDeclarationOrder()
{
    QFETCH(int, position);
    QFETCH(QByteArrayList, row);

    const QMetaObject* meta = PluginLoading::instance()->metaObject();
    QCOMPARE(meta->methodOffset(), QObject::staticMetaObject.methodCount());
    QCOMPARE(meta->methodCount() - meta->methodOffset(), 26);

    const QMetaMethod method = meta->method(meta->methodOffset() + position);
    QCOMPARE(QByteArray(method.typeName()), row.at(1));
    QCOMPARE(method.methodSignature(), row.at(2));
    QCOMPARE(method.parameterNames(),
             row.at(3).isEmpty() ? QByteArrayList() : row.at(3).split(','));
    QCOMPARE(method.methodType(), row.at(0) == "S" ? QMetaMethod::Signal : QMetaMethod::Method);
    QCOMPARE(method.access(), QMetaMethod::Public);
    QCOMPARE(bool(method.attributes() & QMetaMethod::Cloned), row.at(0) == "C");
    if (row.at(0) == "S")
        QCOMPARE(meta->indexOfSignal(row.at(2)), method.methodIndex());
    // Looking a signal up by its member function gives its place in the table.
    QCOMPARE(QMetaMethod::fromSignal(&PluginScheduleBackup::getBackupStatusResp).methodIndex(),
             meta->methodOffset() + 2);
    QCOMPARE(QMetaMethod::fromSignal(&PluginScheduleBackup::targetDirChanged).methodIndex(),
             meta->methodOffset() + 13);
}

void tst_MetaObject::settersEmitOnlyOnChange_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QVariantList>("emitted");

    // Two separately built lists with equal elements are different list objects.
    const QStringList ab = {"a", "b"};
    const QStringList abAgain = QStringList {"a"} + QStringList {"b"};
    using L = QVariantList;
    QTest::newRow("enabled true twice") << QByteArray("enabled") << L {true, true} << L {true};
    QTest::newRow("enabled initial false") << QByteArray("enabled") << L {false} << L {};
    QTest::newRow("targetCyclic on, on, off")
        << QByteArray("targetCyclic") << L {true, true, false} << L {true, false};
    QTest::newRow("maxThroughputMB initial 30") << QByteArray("maxThroughputMB") << L {30} << L {};
    QTest::newRow("maxThroughputMB 50 twice")
        << QByteArray("maxThroughputMB") << L {50, 50} << L {50};
    QTest::newRow("maxRangeDay away and back") << QByteArray("maxRangeDay") << L {5, 2} << L {5, 2};
    QTest::newRow("targetDir empty over null")
        << QByteArray("targetDir") << L {QString("")} << L {};
    QTest::newRow("targetDir twice then null")
        << QByteArray("targetDir") << L {"/mnt", "/mnt", QString()} << L {"/mnt", QString()};
    QTest::newRow("scheduleName letter case")
        << QByteArray("scheduleName") << L {"Night", "night"} << L {"Night", "night"};
    QTest::newRow("scheduleTemplate twice")
        << QByteArray("scheduleTemplate") << L {"{}", "{}"} << L {"{}"};
    QTest::newRow("cameraList equal list, other object")
        << QByteArray("cameraList") << L {ab, abAgain} << L {ab};
    QTest::newRow("cameraList reordered")
        << QByteArray("cameraList") << L {ab, QStringList {"b", "a"}}
        << L {ab, QStringList {"b", "a"}};
    QTest::newRow("cameraList initial empty")
        << QByteArray("cameraList") << L {QStringList()} << L {};
}

void tst_MetaObject::settersEmitOnlyOnChange()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariantList, values);
    QFETCH(QVariantList, emitted);

    PluginScheduleBackup* p = plugin();
    const QMetaProperty meta
        = p->metaObject()->property(p->metaObject()->indexOfProperty(property));
    SignalLog signalLog(p);
    ReadBack readBack;
    readBack.property = property;
    QVERIFY(
        connect(p, meta.notifySignal(), &readBack,
                readBack.metaObject()->method(readBack.metaObject()->indexOfSlot("changed()"))));

    for (const QVariant& value : values)
        callSetter(p, property, value);

    // Only the property's own change signal may fire, once per real change.
    QCOMPARE(signalLog.fired().size(), emitted.isEmpty() ? 0 : 1);
    QSignalSpy& spy = signalLog.spy(QString::fromLatin1(meta.notifySignal().name()));
    QCOMPARE(spy.size(), emitted.size());
    for (int i = 0; i < emitted.size(); ++i) {
        QCOMPARE(spy.at(i).at(0), emitted.at(i));
        QCOMPARE(readBack.seen.at(i), emitted.at(i));
    }
    QVariant last = values.last();
    QVERIFY(last.convert(meta.metaType()));
    QCOMPARE(p->property(property), last);
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

void tst_MetaObject::clonesSendEmptyRelayPath_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("recordsPath");

    QTest::newRow("getBackupInfo()") << QByteArray("getBackupInfo") << "GetBkpTmcard" << true;
    QTest::newRow("getBackupPathInfo()")
        << QByteArray("getBackupPathInfo") << "GetBackupPath" << false;
    QTest::newRow("getBackupStatus()")
        << QByteArray("getBackupStatus") << "GetBackupStatus" << false;
}

void tst_MetaObject::clonesSendEmptyRelayPath()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, command);
    QFETCH(bool, recordsPath);

    PluginScheduleBackup* p = plugin();
    FakeFramework framework;
    p->InitialPluginBase(nullptr, &framework, &framework);
    p->tst_setCurRelayPath("earlier");

    bool ok = false;
    QVERIFY(QMetaObject::invokeMethod(p, method, Q_RETURN_ARG(bool, ok)));
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
    const auto weekStart = [](const QDateTime& moment) {
        const QDate day = moment.date();
        return qulonglong(day.addDays(-(day.dayOfWeek() % 7)).startOfDay().toMSecsSinceEpoch());
    };

    // Without stored intervals the answer is the start of the week the call falls in.
    const qulonglong early = weekStart(QDateTime::currentDateTime());
    qulonglong result = 0;
    QVERIFY(QMetaObject::invokeMethod(p, "getNextBackupTime", Q_RETURN_ARG(qulonglong, result)));
    const qulonglong late = weekStart(QDateTime::currentDateTime());

    QCOMPARE(serverInfo.calls, 2);
    QVERIFY2(result == early || result == late, qPrintable(QString::number(result)));
}

QTEST_GUILESS_MAIN(tst_MetaObject)
#include "tst_metaobject.moc"
