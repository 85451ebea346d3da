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

    void backupPathReply_data();
    void backupPathReply();
    void backupStatusReply_data();
    void backupStatusReply();
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

void tst_Dispatch::backupPathReply_data()
{
    QTest::addColumn<QString>("resultCode");
    QTest::addColumn<QVariant>("result");
    QTest::addColumn<QString>("relayPath");
    QTest::addColumn<bool>("success");
    QTest::addColumn<QString>("path");

    const QVariant full = pathTree({{"Enabled", "true"}, {"Dir", "/mnt/backup"}});
    QTest::newRow("record with Dir") << "0" << full << QString() << true << "/mnt/backup";
    QTest::newRow("foreign relay path") << "0" << full << "not/asked" << true << "/mnt/backup";
    QTest::newRow("empty Dir") << "0" << QVariant(pathTree({{"Dir", ""}})) << QString() << true
                               << QString();
    QTest::newRow("record without Dir")
        << "0" << QVariant(pathTree({{"Enabled", "false"}})) << QString() << true << QString();
    QTest::newRow("empty record") << "0" << QVariant(pathTree({})) << QString() << false
                                  << QString();
    QTest::newRow("record is text")
        << "0" << QVariant(QVariantMap {{"GetBkpTmcardRes", QVariantMap {{"Tmcard", "x"}}}})
        << QString() << false << QString();
    QTest::newRow("no Tmcard") << "0"
                               << QVariant(QVariantMap {
                                      {"GetBkpTmcardRes", QVariantMap {{"Dir", "/mnt"}}}})
                               << QString() << false << QString();
    QTest::newRow("root named after command")
        << "0"
        << QVariant(QVariantMap {
               {"GetBackupPathRes", QVariantMap {{"Tmcard", QVariantMap {{"Dir", "/mnt"}}}}}})
        << QString() << false << QString();
    QTest::newRow("invalid result") << "0" << QVariant() << QString() << false << QString();
    QTest::newRow("code 1") << "1" << full << QString() << false << QString();
    QTest::newRow("code 00") << "00" << full << QString() << false << QString();
    QTest::newRow("code blank 0") << " 0" << full << QString() << false << QString();
    QTest::newRow("code 0 blank") << "0 " << full << QString() << false << QString();
    QTest::newRow("code empty") << "" << full << QString() << false << QString();
    QTest::newRow("parsed reply document")
        << "0"
        << XML2Json().parse("<GetBkpTmcardRes><Tmcard><Enabled>true</Enabled>"
                            "<Dir>D:/bk/day</Dir></Tmcard></GetBkpTmcardRes>")
        << "r" << true << "D:/bk/day";
}

void tst_Dispatch::backupPathReply()
{
    QFETCH(QString, resultCode);
    QFETCH(QVariant, result);
    QFETCH(QString, relayPath);
    QFETCH(bool, success);
    QFETCH(QString, path);

    PluginScheduleBackup* p = plugin();
    p->tst_setCurRelayPath("current");
    const QVariantMap before = fullState(p);
    SignalLog signalLog(p);

    p->CommandProcessor("GetBackupPath", result, nullptr, resultCode, QString(), false, relayPath);

    QCOMPARE(signalLog.fired(), QStringList {"getBackupPathResp x1"});
    const QList<QVariant> arguments = signalLog.spy("getBackupPathResp").at(0);
    QCOMPARE(arguments.at(0).toBool(), success);
    QCOMPARE(arguments.at(1).toString(), path);
    QCOMPARE(fullState(p), before);
}

void tst_Dispatch::backupStatusReply_data()
{
    QTest::addColumn<QString>("resultCode");
    QTest::addColumn<QVariant>("result");
    QTest::addColumn<bool>("success");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<qint64>("progress");

    const QVariant running
        = statusTree({{"Status", "Running"}, {"BackupInterval", "3600"}, {"BackupProgress", "42"}});
    QTest::newRow("progress 42") << "0" << running << true << "Running"
                                 << "3600" << qint64(42);
    QTest::newRow("progress as number")
        << "0" << QVariant(statusTree({{"Status", "Idle"}, {"BackupProgress", 7}})) << true
        << "Idle" << QString() << qint64(7);
    QTest::newRow("negative progress") << "0" << QVariant(statusTree({{"BackupProgress", "-5"}}))
                                       << true << QString() << QString() << qint64(-5);
    // Read as a 32-bit int, not as a 64-bit one, even though the signal carries 64 bits.
    QTest::newRow("progress beyond 32 bits narrows")
        << "0" << QVariant(statusTree({{"BackupProgress", "5000000000"}})) << true << QString()
        << QString() << qint64(QVariant(QStringLiteral("5000000000")).toInt());
    QTest::newRow("progress not a number")
        << "0" << QVariant(statusTree({{"BackupProgress", "half"}})) << true << QString()
        << QString() << qint64(0);
    QTest::newRow("no status root") << "0" << QVariant(QVariantMap {{"Other", "x"}}) << true
                                    << QString() << QString() << qint64(0);
    QTest::newRow("empty status root")
        << "0" << QVariant(statusTree({})) << true << QString() << QString() << qint64(0);
    QTest::newRow("invalid result")
        << "0" << QVariant() << false << QString() << QString() << qint64(0);
    QTest::newRow("code 00") << "00" << running << false << QString() << QString() << qint64(0);
    QTest::newRow("code -1") << "-1" << running << false << QString() << QString() << qint64(0);
    QTest::newRow("code 0 blank") << "0 " << running << false << QString() << QString()
                                  << qint64(0);
}

void tst_Dispatch::backupStatusReply()
{
    QFETCH(QString, resultCode);
    QFETCH(QVariant, result);
    QFETCH(bool, success);
    QFETCH(QString, status);
    QFETCH(QString, interval);
    QFETCH(qint64, progress);

    PluginScheduleBackup* p = plugin();
    const QVariantMap before = fullState(p);
    SignalLog signalLog(p);

    p->CommandProcessor("GetBackupStatus", result, nullptr, resultCode, QString(), false,
                        "any/path");

    QCOMPARE(signalLog.fired(), QStringList {"getBackupStatusResp x1"});
    const QList<QVariant> arguments = signalLog.spy("getBackupStatusResp").at(0);
    QCOMPARE(arguments.at(0).toBool(), success);
    QCOMPARE(arguments.at(1).toString(), status);
    QCOMPARE(arguments.at(2).toString(), interval);
    QCOMPARE(arguments.at(3).metaType(), QMetaType::fromType<qint64>());
    QCOMPARE(arguments.at(3).toLongLong(), progress);
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
    QTest::newRow("status truncated") << "GetBackupStatu" << QString();
    QTest::newRow("time-card with trailing blank") << "GetBkpTmcard " << QString();
    QTest::newRow("time-card lower case") << "getbkptmcard" << QString();
    QTest::newRow("update lower case") << "updbkptmcard" << QString();
    QTest::newRow("schedule with trailing blank") << "UpdSchedule " << QString();
    QTest::newRow("empty name") << QString() << QString();
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
