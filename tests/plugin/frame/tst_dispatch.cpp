#include "FakeFramework.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"
#include "SignalLog.h"
#include "XML2Json.h"

#include <QTest>

namespace {

PluginScheduleBackup* plugin()
{
    return qobject_cast<PluginScheduleBackup*>(PluginLoading::instance());
}

QVariantMap pathTree(const QVariantMap& record)
{
    return {{"GetBkpTmcardRes", QVariantMap {{"Tmcard", record}}}};
}

QVariantMap statusTree(const QVariantMap& status)
{
    return {{"GetBackupStatusRes", status}};
}

// Everything a reply must leave alone, QML-visible or not.
QVariantMap fullState(PluginScheduleBackup* p)
{
    QVariantMap state = readableState(p);
    state.insert("~revision", p->revision());
    state.insert("~tmcardId", p->tmcardId());
    state.insert("~tmcardName", p->tmcardName());
    state.insert("~schedule", p->schedule());
    state.insert("~camGroupMapList", p->camGroupMapList());
    state.insert("~curRelayPath", p->curRelayPath());
    return state;
}

} // namespace

class tst_Dispatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void queryReply_data();
    void queryReply();
    void routingNeedsExactName_data();
    void routingNeedsExactName();
    void otherProcessorsDoNothing_data();
    void otherProcessorsDoNothing();
    void updateReplyTakesOwnContext();
    void pathReplyIgnoresContext();

private:
    FakeFramework framework;
};

void tst_Dispatch::init()
{
    PluginLoading::resetInstance();
    framework.sent.clear();
    framework.accept = true;
    plugin()->InitialPluginBase(nullptr, &framework, &framework);
}

void tst_Dispatch::queryReply_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("resultCode");
    QTest::addColumn<QVariant>("result");
    QTest::addColumn<QVariantList>("emitted");

    const QString path = QStringLiteral("GetBackupPath");
    const QString status = QStringLiteral("GetBackupStatus");
    const QVariantList pathFailed = {false, ""};
    const QVariantList statusFailed = {false, "", "", qint64(0)};
    const QVariant dir = pathTree({{"Enabled", "true"}, {"Dir", "/mnt/backup"}});
    const QVariant running
        = statusTree({{"Status", "Running"}, {"BackupInterval", "3600"}, {"BackupProgress", "42"}});
    const auto progress = [](const char* text) {
        return QVariant(statusTree({{"BackupProgress", text}}));
    };

    QTest::newRow("path: Dir") << path << "0" << dir << QVariantList {true, "/mnt/backup"};
    QTest::newRow("path: empty Dir")
        << path << "0" << QVariant(pathTree({{"Dir", ""}})) << QVariantList {true, ""};
    QTest::newRow("path: record without Dir")
        << path << "0" << QVariant(pathTree({{"Enabled", "false"}})) << QVariantList {true, ""};
    QTest::newRow("path: empty record") << path << "0" << QVariant(pathTree({})) << pathFailed;
    QTest::newRow("path: no Tmcard")
        << path << "0" << QVariant(QVariantMap {{"GetBkpTmcardRes", QVariantMap {{"Dir", "/m"}}}})
        << pathFailed;
    QTest::newRow("path: root named after command")
        << path << "0"
        << QVariant(QVariantMap {{"GetBackupPathRes", pathTree({{"Dir", "/m"}}).first()}})
        << pathFailed;
    QTest::newRow("path: invalid result") << path << "0" << QVariant() << pathFailed;
    QTest::newRow("path: code 00") << path << "00" << dir << pathFailed;
    QTest::newRow("path: code blank 0") << path << " 0" << dir << pathFailed;
    QTest::newRow("path: code 0 blank") << path << "0 " << dir << pathFailed;
    QTest::newRow("path: parsed reply document")
        << path << "0"
        << XML2Json().parse("<GetBkpTmcardRes><Tmcard><Enabled>true</Enabled>"
                            "<Dir>D:/bk/day</Dir></Tmcard></GetBkpTmcardRes>")
        << QVariantList {true, "D:/bk/day"};
    QTest::newRow("status: progress 42")
        << status << "0" << running << QVariantList {true, "Running", "3600", qint64(42)};
    QTest::newRow("status: negative progress")
        << status << "0" << progress("-5") << QVariantList {true, "", "", qint64(-5)};
    // Read as a 32-bit int, not as a 64-bit one, even though the signal carries 64 bits.
    QTest::newRow("status: progress beyond 32 bits")
        << status << "0" << progress("5000000000")
        << QVariantList {true, "", "", qint64(QVariant(QStringLiteral("5000000000")).toInt())};
    QTest::newRow("status: progress not a number")
        << status << "0" << progress("half") << QVariantList {true, "", "", qint64(0)};
    QTest::newRow("status: no status root")
        << status << "0" << QVariant(pathTree({})) << QVariantList {true, "", "", qint64(0)};
    QTest::newRow("status: invalid result") << status << "0" << QVariant() << statusFailed;
    QTest::newRow("status: code 00") << status << "00" << running << statusFailed;
    QTest::newRow("status: code 0 blank") << status << "0 " << running << statusFailed;
}

void tst_Dispatch::queryReply()
{
    QFETCH(QString, command);
    QFETCH(QString, resultCode);
    QFETCH(QVariant, result);
    QFETCH(QVariantList, emitted);

    PluginScheduleBackup* p = plugin();
    p->tst_setCurRelayPath("current");
    const QVariantMap before = fullState(p);
    SignalLog signalLog(p);

    // These replies are not matched against any request: a foreign relay path is fine.
    p->CommandProcessor(command, result, nullptr, resultCode, QString(), false, "not/asked");

    const QString signal = command == "GetBackupPath" ? "getBackupPathResp" : "getBackupStatusResp";
    QCOMPARE(signalLog.fired(), QStringList {signal + " x1"});
    const QList<QVariant> arguments = signalLog.spy(signal).at(0);
    QCOMPARE(arguments, QList<QVariant>(emitted));
    QCOMPARE(arguments.last().metaType(), emitted.last().metaType());
    QCOMPARE(fullState(p), before);
}

void tst_Dispatch::routingNeedsExactName_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("signal");

    QTest::newRow("GetBackupPath") << "GetBackupPath"
                                   << "getBackupPathResp";
    QTest::newRow("GetBackupStatus") << "GetBackupStatus"
                                     << "getBackupStatusResp";
    QTest::newRow("lower case path") << "getbackuppath" << QString();
    QTest::newRow("upper case status") << "GETBACKUPSTATUS" << QString();
    QTest::newRow("path with trailing blank") << "GetBackupPath " << QString();
    QTest::newRow("status with leading blank") << " GetBackupStatus" << QString();
    QTest::newRow("time-card with trailing blank") << "GetBkpTmcard " << QString();
    QTest::newRow("update lower case") << "updbkptmcard" << QString();
    QTest::newRow("schedule with trailing blank") << "UpdSchedule " << QString();
    QTest::newRow("unknown name") << "GetCameraList" << QString();
}

void tst_Dispatch::routingNeedsExactName()
{
    QFETCH(QString, command);
    QFETCH(QString, signal);

    PluginScheduleBackup* p = plugin();
    const QVariantMap before = fullState(p);
    SignalLog signalLog(p);
    // Valid for both query replies; a misrouted settings reply would answer it with a failure.
    QVariantMap tree = pathTree({{"Dir", "/mnt"}});
    tree.insert(statusTree({{"Status", "Idle"}}));

    p->CommandProcessor(command, tree, nullptr, "0", QString(), false, QString());

    QCOMPARE(signalLog.fired(), signal.isEmpty() ? QStringList() : QStringList {signal + " x1"});
    QCOMPARE(fullState(p), before);
}

void tst_Dispatch::otherProcessorsDoNothing_data()
{
    QTest::addColumn<QString>("processor");
    QTest::addColumn<QString>("command");

    for (const char* processor :
         {"EventProcessor", "EventProcessorEx", "CommandProcessorEx", "ErrorProcessor"}) {
        for (const char* command : {"GetBackupPath", "GetBackupStatus", "UpdSchedule"})
            QTest::addRow("%s %s", processor, command) << processor << command;
    }
}

void tst_Dispatch::otherProcessorsDoNothing()
{
    QFETCH(QString, processor);
    QFETCH(QString, command);

    PluginScheduleBackup* p = plugin();
    PluginBase* base = p;
    p->tst_setCurRelayPath("page");
    const QVariantMap before = fullState(p);
    SignalLog signalLog(p);
    QVariantMap tree = pathTree({{"Dir", "/mnt"}});
    tree.insert(statusTree({{"Status", "Idle"}}));
    int dummy = 0;
    auto* config = reinterpret_cast<ConfigBase*>(&dummy); // never dereferenced

    if (processor == "EventProcessor")
        base->EventProcessor(command, 1, 2, 3, tree, "page");
    else if (processor == "EventProcessorEx")
        base->EventProcessorEx(command, config, 1, 2, 3, tree, "page");
    else if (processor == "CommandProcessorEx")
        base->CommandProcessorEx(command, config, tree, nullptr, "0", QString(), false, "page");
    else
        p->ErrorProcessor(command, nullptr, "0");

    QCOMPARE(signalLog.fired(), QStringList());
    QCOMPARE(fullState(p), before);
    QVERIFY(framework.sent.isEmpty());
}

void tst_Dispatch::updateReplyTakesOwnContext()
{
    PluginScheduleBackup* p = plugin();
    SignalLog signalLog(p);
    const QVariantList cameras = {QVariantMap {{"Name", "cam-1"}, {"GrpID", "g1"}}};
    const QString json
        = QStringLiteral(R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":2}]})");

    bool ok = false;
    QVERIFY(QMetaObject::invokeMethod(
        p, "updateBackupInfo", Q_RETURN_ARG(bool, ok), Q_ARG(bool, true), Q_ARG(bool, true),
        Q_ARG(QString, "/mnt/night"), Q_ARG(QVariantList, cameras), Q_ARG(QString, "Night"),
        Q_ARG(QString, json), Q_ARG(int, 50), Q_ARG(int, 3)));
    QVERIFY(ok);
    QCOMPARE(framework.sent.size(), 1);
    QVERIFY(framework.sent.at(0).context != nullptr);
    QCOMPARE(signalLog.fired(), QStringList());

    // The values reach the properties only by way of the context handed back with the reply.
    framework.reply(p, 0, "0", QVariant());
    QCOMPARE(signalLog.spy("updBackupInfoResp").size(), 1);
    QCOMPARE(signalLog.spy("updBackupInfoResp").at(0).at(0).toBool(), true);
    QCOMPARE(p->targetDir(), QStringLiteral("/mnt/night"));
    QCOMPARE(p->maxThroughputMB(), 50);
    QCOMPARE(p->cameraList(), QStringList {"cam-1"});
}

void tst_Dispatch::pathReplyIgnoresContext()
{
    PluginScheduleBackup* p = plugin();
    SignalLog signalLog(p);
    // A context the plug-in never made: touching or releasing it would corrupt this map.
    QVariantMap foreign = {{"Dir", "/not/from/context"}, {"Enabled", true}};

    p->CommandProcessor("GetBackupPath", pathTree({{"Dir", "/from/reply"}}), &foreign, "0",
                        QString(), false, QString());
    QCOMPARE(signalLog.fired(), QStringList {"getBackupPathResp x1"});
    QCOMPARE(signalLog.spy("getBackupPathResp").at(0).at(1).toString(),
             QStringLiteral("/from/reply"));
    QCOMPARE(foreign.value("Dir").toString(), QStringLiteral("/not/from/context"));
    QCOMPARE(p->targetDir(), QString());
}

QTEST_GUILESS_MAIN(tst_Dispatch)
#include "tst_dispatch.moc"
