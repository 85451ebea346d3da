#include "FakeFramework.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"
#include "SignalLog.h"

#include <QTest>

namespace {

PluginScheduleBackup* plugin()
{
    return qobject_cast<PluginScheduleBackup*>(PluginLoading::instance());
}

bool query(QObject* object, const QByteArray& method, const QString& relayPath)
{
    bool ok = false;
    if (!QMetaObject::invokeMethod(object, method, Q_RETURN_ARG(bool, ok),
                                   Q_ARG(QString, relayPath)))
        qFatal("cannot invoke %s", method.constData());
    return ok;
}

// Notes what the plug-in had recorded at the moment its command went out.
class PathProbeFramework : public FakeFramework
{
public:
    bool SendCommand(void* hostData, const QString& pluginId, const QString& command,
                     const QVariant& arguments, void* context, int flag,
                     const QString& relayPath) override
    {
        pathsDuringSend.append(plugin()->curRelayPath());
        return FakeFramework::SendCommand(hostData, pluginId, command, arguments, context, flag,
                                          relayPath);
    }

    QStringList pathsDuringSend;
};

} // namespace

class tst_Queries : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void queryOutcome_data();
    void queryOutcome();
    void acceptedThenRefusedKeepsFirstPath();
    void relayPathIsRecordedAfterSendReturns();

private:
    PathProbeFramework framework;
    int hostData = 0;
};

void tst_Queries::init()
{
    PluginLoading::resetInstance();
    framework.sent.clear();
    framework.pathsDuringSend.clear();
    framework.accept = true;
}

void tst_Queries::queryOutcome_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("withFramework");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("relayPath");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("recordedPath");

    const QString previous = QStringLiteral("previous");
    const QString path = QStringLiteral("site/7/page");
    const QByteArray info = "getBackupInfo";
    const QByteArray pathInfo = "getBackupPathInfo";
    const QByteArray status = "getBackupStatus";

    QTest::newRow("info accepted")
        << info << "GetBkpTmcard" << true << true << path << true << path;
    QTest::newRow("info accepted, empty path")
        << info << "GetBkpTmcard" << true << true << QString() << true << QString();
    QTest::newRow("info accepted, non-ASCII path")
        << info << "GetBkpTmcard" << true << true << "Ü/路径 " << true << "Ü/路径 ";
    QTest::newRow("info refused") << info << "GetBkpTmcard" << true << false << path << false
                                  << previous;
    QTest::newRow("info without framework")
        << info << QString() << false << true << path << false << previous;
    QTest::newRow("path accepted")
        << pathInfo << "GetBackupPath" << true << true << path << true << previous;
    QTest::newRow("path refused") << pathInfo << "GetBackupPath" << true << false << path << false
                                  << previous;
    QTest::newRow("path without framework")
        << pathInfo << QString() << false << true << path << false << previous;
    QTest::newRow("status accepted")
        << status << "GetBackupStatus" << true << true << path << true << previous;
    QTest::newRow("status refused")
        << status << "GetBackupStatus" << true << false << path << false << previous;
    QTest::newRow("status without framework")
        << status << QString() << false << true << path << false << previous;
}

void tst_Queries::queryOutcome()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, command);
    QFETCH(bool, withFramework);
    QFETCH(bool, accept);
    QFETCH(QString, relayPath);
    QFETCH(bool, result);
    QFETCH(QString, recordedPath);

    PluginScheduleBackup* p = plugin();
    p->InitialPluginBase(nullptr, &hostData, withFramework ? &framework : nullptr);
    p->tst_setCurRelayPath("previous");
    framework.accept = accept;
    const QVariantMap stateBefore = readableState(p);
    SignalLog signalLog(p);

    QCOMPARE(query(p, method, relayPath), result);
    QCOMPARE(p->curRelayPath(), recordedPath);
    QCOMPARE(signalLog.fired(), QStringList());
    QCOMPARE(readableState(p), stateBefore);

    if (!withFramework) {
        QVERIFY(framework.sent.isEmpty());
        return;
    }
    QCOMPARE(framework.sent.size(), 1);
    const FakeFramework::SentCommand& sent = framework.sent.at(0);
    QVERIFY(sent.hostData == &hostData);
    QCOMPARE(sent.pluginId, QStringLiteral("185196A13473421C84A3CE473516AED7"));
    QCOMPARE(sent.command, command);
    QVERIFY(!sent.arguments.isValid());
    QVERIFY(!sent.arguments.metaType().isValid());
    QVERIFY(sent.context == nullptr);
    QCOMPARE(sent.flag, 0);
    QCOMPARE(sent.relayPath, relayPath);
    QVERIFY(framework.pluginObjectRequests.isEmpty());
}

void tst_Queries::acceptedThenRefusedKeepsFirstPath()
{
    PluginScheduleBackup* p = plugin();
    p->InitialPluginBase(nullptr, &hostData, &framework);

    QVERIFY(query(p, "getBackupInfo", "first"));
    framework.accept = false;
    QVERIFY(!query(p, "getBackupInfo", "second"));
    QCOMPARE(p->curRelayPath(), QStringLiteral("first"));
    QCOMPARE(framework.sent.size(), 2);
    QCOMPARE(framework.sent.at(1).relayPath, QStringLiteral("second"));
}

void tst_Queries::relayPathIsRecordedAfterSendReturns()
{
    PluginScheduleBackup* p = plugin();
    p->InitialPluginBase(nullptr, &hostData, &framework);
    p->tst_setCurRelayPath("before");

    QVERIFY(query(p, "getBackupInfo", "after"));
    QCOMPARE(framework.pathsDuringSend, QStringList {"before"});
    QCOMPARE(p->curRelayPath(), QStringLiteral("after"));
}

QTEST_GUILESS_MAIN(tst_Queries)
#include "tst_queries.moc"
