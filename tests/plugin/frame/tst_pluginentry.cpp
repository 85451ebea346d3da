#include "FakeFramework.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"
#include "SignalLog.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QPointer>
#include <QTest>

namespace {

const QString pluginIdText = QStringLiteral("185196A13473421C84A3CE473516AED7");

// Counts Init calls that arrive through the virtual table from InitialPluginBase.
class InitCountingPlugin : public PluginScheduleBackup
{
public:
    bool Init(QQmlContext* context) override
    {
        ++initCalls;
        lastContext = context;
        return PluginScheduleBackup::Init(context);
    }

    int initCalls = 0;
    QQmlContext* lastContext = nullptr;
};

PluginScheduleBackup* plugin()
{
    return qobject_cast<PluginScheduleBackup*>(PluginLoading::instance());
}

} // namespace

class tst_PluginEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { PluginLoading::resetInstance(); }

    void metaDataNamesInterfaceClassAndIdentity();
    void instanceIsSingleUntilDeleted();
    void freshInstanceHasInitialValues_data();
    void freshInstanceHasInitialValues();
    void castByName_data();
    void castByName();
    void qobjectCastReachesBothInterfaces();
    void initialPluginBaseStoresIdentityAndCallsInit();
};

void tst_PluginEntry::metaDataNamesInterfaceClassAndIdentity()
{
    const QJsonObject metaData = PluginLoading::metaData();
    QCOMPARE(metaData.value("IID").toString(), QStringLiteral(PluginBase_iid));
    QCOMPARE(metaData.value("className").toString(), QStringLiteral("PluginScheduleBackup"));

    const QJsonObject own = metaData.value("MetaData").toObject();
    QCOMPARE(own.keys(), QStringList({"ClientOnly", "PluginID"}));
    QVERIFY(own.value("ClientOnly").isBool());
    QCOMPARE(own.value("ClientOnly").toBool(), false);
    QCOMPARE(own.value("PluginID").toString(), pluginIdText);
}

void tst_PluginEntry::instanceIsSingleUntilDeleted()
{
    QObject* first = PluginLoading::instance();
    QVERIFY(first);
    QCOMPARE(PluginLoading::instance(), first);
    QVERIFY(first->parent() == nullptr);

    // Leave marks on the first object so a reused one would be recognised.
    auto* used = qobject_cast<PluginScheduleBackup*>(first);
    FakeFramework framework;
    used->InitialPluginBase(nullptr, &framework, &framework);
    used->hostFlag = true;
    used->setEnabled(true);
    used->setMaxRangeDay(9);
    used->setTargetDir("/mnt/old");
    used->tst_setRevision(12);
    used->tst_setCurRelayPath("old/path");
    used->setSchedule(QVariantMap {{"Ele", "x"}});

    QPointer<QObject> guard(first);
    PluginLoading::resetInstance();
    QVERIFY(guard.isNull());

    // A fresh object: no identity, no host, nothing loaded (properties: see the table test).
    auto* fresh = plugin();
    QVERIFY(fresh);
    QCOMPARE(PluginLoading::instance(), fresh);
    QVERIFY(!fresh->hostFlag && fresh->prefixName.isEmpty() && fresh->pluginId.isEmpty());
    QVERIFY(fresh->hostData == nullptr && fresh->framework == nullptr);
    QCOMPARE(fresh->enabled(), false);
    QCOMPARE(fresh->maxRangeDay(), 2);
    QCOMPARE(fresh->targetDir(), QString());
    QCOMPARE(fresh->revision(), qint64(-1));
    QCOMPARE(fresh->tmcardId(), qint64(-1));
    QCOMPARE(fresh->tmcardName(), QString());
    QCOMPARE(fresh->curRelayPath(), QString());
    QVERIFY(!fresh->schedule().isValid());
    QVERIFY(fresh->camGroupMapList().isEmpty());
}

void tst_PluginEntry::freshInstanceHasInitialValues_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("cameraList empty") << "cameraList" << QVariant(QStringList());
    QTest::newRow("enabled off") << "enabled" << QVariant(false);
    QTest::newRow("hasAllCameras off") << "hasAllCameras" << QVariant(false);
    QTest::newRow("targetCyclic off") << "targetCyclic" << QVariant(false);
    QTest::newRow("maxThroughputMB 30") << "maxThroughputMB" << QVariant(30);
    QTest::newRow("maxRangeDay 2") << "maxRangeDay" << QVariant(2);
    QTest::newRow("scheduleTemplate empty") << "scheduleTemplate" << QVariant(QString());
    QTest::newRow("scheduleName empty") << "scheduleName" << QVariant(QString());
    QTest::newRow("targetDir empty") << "targetDir" << QVariant(QString());
}

void tst_PluginEntry::freshInstanceHasInitialValues()
{
    QFETCH(QString, property);
    QFETCH(QVariant, expected);

    const QVariant value = PluginLoading::instance()->property(property.toLatin1());
    QCOMPARE(value.metaType(), expected.metaType());
    QCOMPARE(value, expected);
}

void tst_PluginEntry::castByName_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("class name") << QByteArray("PluginScheduleBackup") << true;
    QTest::newRow("interface id") << QByteArray(PluginBase_iid) << true;
    QTest::newRow("interface class has no meta-object") << QByteArray("PluginBase") << false;
    QTest::newRow("class name lower case") << QByteArray("pluginschedulebackup") << false;
    QTest::newRow("interface id with blank") << QByteArray(PluginBase_iid " ") << false;
    QTest::newRow("unrelated") << QByteArray("QTimer") << false;
}

void tst_PluginEntry::castByName()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, accepted);

    QObject* object = PluginLoading::instance();
    void* cast = object->qt_metacast(name.constData());
    // Both accepted names hand back the object itself (PluginBase is the primary base).
    QCOMPARE(cast, accepted ? static_cast<void*>(static_cast<PluginBase*>(plugin())) : nullptr);
    QCOMPARE(object->inherits(name.constData()), accepted);
}

void tst_PluginEntry::qobjectCastReachesBothInterfaces()
{
    QObject* object = PluginLoading::instance();
    PluginBase* base = qobject_cast<PluginBase*>(object);
    QVERIFY(base);
    QCOMPARE(static_cast<QObject*>(base), object);
    QCOMPARE(qobject_cast<PluginScheduleBackup*>(object), static_cast<PluginScheduleBackup*>(base));
    QCOMPARE(object->metaObject()->superClass(), &QObject::staticMetaObject);
    QCOMPARE(object->metaObject()->className(), "PluginScheduleBackup");
}

void tst_PluginEntry::initialPluginBaseStoresIdentityAndCallsInit()
{
    InitCountingPlugin p;
    p.prefixName = "stale prefix";
    p.pluginId = "stale id";
    FakeFramework first;
    FakeFramework second;
    int hostA = 0;
    int hostB = 0;
    auto* contextA = reinterpret_cast<QQmlContext*>(&hostA); // never dereferenced
    SignalLog signalLog(&p);

    p.InitialPluginBase(contextA, &hostA, &first);
    QCOMPARE(p.prefixName, QStringLiteral("ScheduleBackupPlugin"));
    QCOMPARE(p.pluginId, pluginIdText);
    QVERIFY(p.hostData == &hostA);
    QVERIFY(p.framework == &first);
    QCOMPARE(p.initCalls, 1);
    QVERIFY(p.lastContext == contextA);

    p.prefixName = "changed";
    p.pluginId.clear();
    p.InitialPluginBase(nullptr, &hostB, &second);
    QCOMPARE(p.prefixName, QStringLiteral("ScheduleBackupPlugin"));
    QCOMPARE(p.pluginId, pluginIdText);
    QVERIFY(p.hostData == &hostB);
    QVERIFY(p.framework == &second);
    QCOMPARE(p.initCalls, 2);
    QVERIFY(p.lastContext == nullptr);

    QVERIFY(p.PluginScheduleBackup::Init(nullptr));
    QVERIFY(first.sent.isEmpty() && second.sent.isEmpty());
    QVERIFY(first.pluginObjectRequests.isEmpty() && second.pluginObjectRequests.isEmpty());
    QCOMPARE(signalLog.fired(), QStringList());
}

QTEST_GUILESS_MAIN(tst_PluginEntry)
#include "tst_pluginentry.moc"
