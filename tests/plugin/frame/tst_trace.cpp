#include "FakeFramework.h"
#include "PluginBase.h"
#include "PluginLoading.h"
#include "TraceObject.h"
#include "TraceRecorder.h"

#include <QFileInfo>
#include <QLibrary>
#include <QTest>

// Built twice: once against a recorder that assigns module id 7, once against one that offers no
// registration, where the level word must carry the level alone.
#ifdef TRACE_EXPECT_NO_REGISTER
constexpr int expectedModuleId = 0;
#else
constexpr int expectedModuleId = TraceRecorder::assignedModuleId;
#endif

namespace {

constexpr int enterLeaveLevel = 5;

QStringList recordedLines()
{
    QStringList result;
    for (const TraceRecorder::Line& line : TraceRecorder::lines())
        result.append(
            QStringLiteral("%1|%2").arg(line.levelWord).arg(QString::fromStdString(line.text)));
    return result;
}

QString entry(int level, const QString& text)
{
    return QStringLiteral("%1|%2").arg((expectedModuleId << 8) | level).arg(text);
}

QStringList enterLeave(const QString& operation, const QStringList& inner = {})
{
    return QStringList {entry(enterLeaveLevel, operation + ", Enter")} + inner
        + QStringList {entry(enterLeaveLevel, operation + ", Leave")};
}

bool invokeQuery(QObject* object, const QByteArray& method, const QString& relayPath)
{
    bool ok = false;
    if (!QMetaObject::invokeMethod(object, method, Q_RETURN_ARG(bool, ok),
                                   Q_ARG(QString, relayPath)))
        qFatal("cannot invoke %s", method.constData());
    return ok;
}

QVariantMap pathTree(const QVariantMap& record)
{
    return {{"GetBkpTmcardRes", QVariantMap {{"Tmcard", record}}}};
}

} // namespace

class tst_Trace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup() { TraceRecorder::setRejectAll(false); }

    void moduleRegisteredAtLoad();
    void exportedTraceNames();
    void linesPerOperation_data();
    void linesPerOperation();
    void destructorTracesAndConstructorDoesNot();
    void rejectingFilterSuppressesOutput();

private:
    void run(const QString& operation);

    FakeFramework framework;
    PluginBase* base = nullptr;
    QObject* object = nullptr;
};

void tst_Trace::initTestCase()
{
    QVERIFY2(PluginLoading::instance(), qPrintable(PluginLoading::errorString()));
    QVERIFY(TraceRecorder::objectHandedOut());
}

void tst_Trace::init()
{
    object = PluginLoading::instance();
    base = PluginLoading::base();
    QVERIFY(base);
    framework.sent.clear();
    framework.accept = true;
    base->InitialPluginBase(nullptr, &framework, &framework);
    TraceRecorder::clear();
}

void tst_Trace::moduleRegisteredAtLoad()
{
#ifdef TRACE_EXPECT_NO_REGISTER
    QVERIFY(TraceRecorder::registeredModules().empty());
#else
    QCOMPARE(TraceRecorder::registeredModules(), std::vector<std::string> {"ScheduleBackup"});
    QCOMPARE(TraceRecorder::registerKind(), 19);
#endif
}

void tst_Trace::exportedTraceNames()
{
    QLibrary library(SCHEDULE_BACKUP_PLUGIN_PATH);
    const auto* moduleId = reinterpret_cast<int*>(library.resolve("g_nGivenModIdScheduleBackup"));
    const auto* traceObject
        = reinterpret_cast<TraceObject**>(library.resolve("g_ptTraceInfoScheduleBackup"));
    using OutputFn = void (*)(const char*, ...);
    const auto output
        = reinterpret_cast<OutputFn>(library.resolve("LocalTraceOutFuncScheduleBackup"));
    QVERIFY(moduleId && traceObject && output && library.resolve("g_ScheduleBackup"));

    QCOMPARE(*moduleId, expectedModuleId);
    TraceObject* recorderObject = nullptr;
    LogTrace_GetGlobalObject(0, &recorderObject);
    QCOMPARE(*traceObject, recorderObject);

    // The output function formats nothing itself and consults no filter.
    output("%s, probe %d", "exported", 3);
    QVERIFY(TraceRecorder::filterCalls().empty());
    QCOMPARE(TraceRecorder::lines().size(), size_t(1));
    QCOMPARE(TraceRecorder::lines().front().text, std::string("exported, probe 3"));
}

// "query <method> accepted|refused|unset", "reply <command> <result code> path|status|empty|none"
// or the name of a processor.
void tst_Trace::run(const QString& operation)
{
    const QStringList word = operation.split(' ');
    int dummy = 0;
    auto* config = reinterpret_cast<ConfigBase*>(&dummy); // never dereferenced
    const QVariantMap pathOk = pathTree({{"Dir", "/mnt"}});

    if (word.at(0) == "query") {
        framework.accept = word.at(2) == "accepted";
        if (word.at(2) == "unset")
            base->framework = nullptr;
        QCOMPARE(invokeQuery(object, word.at(1).toLatin1(), "p"), framework.accept);
    } else if (word.at(0) == "reply") {
        const QVariantMap trees
            = {{"path", pathOk},
               {"status", QVariantMap {{"GetBackupStatusRes", QVariantMap {{"Status", "Idle"}}}}},
               {"empty", pathTree({})}};
        base->CommandProcessor(word.at(1), trees.value(word.at(3)), nullptr, word.at(2), {}, false,
                               "p");
    } else if (operation == "InitialPluginBase") {
        base->InitialPluginBase(nullptr, &framework, &framework);
    } else if (operation == "Init") {
        QVERIFY(base->Init(nullptr));
    } else if (operation == "EventProcessor") {
        base->EventProcessor("Event", 1, 2, 3, QVariant(), "p");
    } else if (operation == "EventProcessorEx") {
        base->EventProcessorEx("Event", config, 1, 2, 3, QVariant(), "p");
    } else if (operation == "CommandProcessorEx") {
        base->CommandProcessorEx("GetBackupPath", config, pathOk, nullptr, "0", {}, false, "p");
    } else if (operation == "ErrorProcessor") {
        // Not virtual and not invokable: a host reaches it through the exported symbol.
        using ErrorProcessorFn = void (*)(QObject*, QString, void*, QString);
        auto fn = reinterpret_cast<ErrorProcessorFn>(
            QLibrary::resolve(SCHEDULE_BACKUP_PLUGIN_PATH,
                              "_ZN20PluginScheduleBackup14ErrorProcessorE7QStringPvS0_"));
        QVERIFY(fn);
        fn(object, "GetBackupPath", nullptr, "1");
    } else {
        QFAIL(qPrintable("unknown operation " + operation));
    }
}

void tst_Trace::linesPerOperation_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("expected");

    const QString cp = QStringLiteral("CommandProcessor");
    const QStringList infoFailed = {entry(2, "getBackupInfo, SendCommand failed")};
    const QStringList pathFailed = {entry(2, "HandleGetBackupPathResp, getBackupPath failed")};
    const auto row = [](const char* operation, const QStringList& expected) {
        QTest::newRow(operation) << QString::fromLatin1(operation) << expected;
    };
    row("InitialPluginBase", enterLeave("Init"));
    row("Init", enterLeave("Init"));
    row("EventProcessor", enterLeave("EventProcessor"));
    row("EventProcessorEx", enterLeave("EventProcessorEx"));
    row("CommandProcessorEx", enterLeave("CommandProcessorEx"));
    row("ErrorProcessor", enterLeave("ErrorProcessor"));
    row("query getBackupInfo accepted", enterLeave("getBackupInfo"));
    row("query getBackupInfo refused", enterLeave("getBackupInfo", infoFailed));
    row("query getBackupInfo unset", enterLeave("getBackupInfo", infoFailed));
    row("query getBackupStatus accepted", enterLeave("getBackupStatus"));
    row("query getBackupStatus refused", enterLeave("getBackupStatus"));
    row("query getBackupPathInfo accepted", {});
    row("query getBackupPathInfo refused", {});
    row("query getBackupPathInfo unset", {});
    row("reply getbackuppath 0 path", enterLeave(cp));
    row("reply GetBackupPath 0 path", enterLeave(cp));
    row("reply GetBackupPath 1 path", enterLeave(cp, pathFailed));
    row("reply GetBackupPath 0 none", enterLeave(cp, pathFailed));
    row("reply GetBackupPath 0 empty",
        enterLeave(cp,
                   {entry(2,
                          "HandleGetBackupPathResp, getBackupPath response data is not "
                          "correct")}));
    row("reply GetBackupStatus 0 status", enterLeave(cp));
    row("reply GetBackupStatus 00 status",
        enterLeave(cp, {entry(2, "handleGetBackupStatusResp, getBackupStatus failed")}));
}

void tst_Trace::linesPerOperation()
{
    QFETCH(QString, operation);
    QFETCH(QStringList, expected);

    run(operation);
    QCOMPARE(recordedLines(), expected);

    const std::vector<TraceRecorder::Line> lines = TraceRecorder::lines();
    QCOMPARE(TraceRecorder::filterCalls().size(), lines.size());
    for (const TraceRecorder::FilterCall& call : TraceRecorder::filterCalls())
        QCOMPARE(call.reserved, 0);
    for (const TraceRecorder::Line& line : lines) {
        const QString text = QString::fromStdString(line.text);
        const QFileInfo file(QString::fromStdString(line.file));
        QVERIFY2(file.fileName().startsWith("PluginScheduleBackup") && file.suffix() == "cpp",
                 line.file.c_str());
        QVERIFY2(file.exists(), line.file.c_str());
        if (text.endsWith(", Leave"))
            QCOMPARE(line.line, 0);
        else
            QVERIFY2(line.line > 0, qPrintable(text));
    }
    // Enter and Leave of one operation come from the same statement's file.
    if (!lines.empty())
        QCOMPARE(lines.front().file, lines.back().file);
}

void tst_Trace::destructorTracesAndConstructorDoesNot()
{
    PluginLoading::resetInstance();
    QCOMPARE(recordedLines(), enterLeave("~PluginScheduleBackup"));
    const std::vector<TraceRecorder::Line> lines = TraceRecorder::lines();
    QVERIFY(lines.front().line > 0);
    QCOMPARE(lines.back().line, 0);

    TraceRecorder::clear();
    QVERIFY(PluginLoading::instance());
    QCOMPARE(recordedLines(), QStringList());
    QVERIFY(TraceRecorder::filterCalls().empty());
}

void tst_Trace::rejectingFilterSuppressesOutput()
{
    TraceRecorder::setRejectAll(true);
    run("query getBackupInfo refused");
    run("reply GetBackupPath 0 empty");

    // Enter, failure and Leave for each operation reach the filter; none is written.
    QCOMPARE(TraceRecorder::filterCalls().size(), size_t(6));
    QCOMPARE(recordedLines(), QStringList());
    for (const TraceRecorder::FilterCall& call : TraceRecorder::filterCalls()) {
        const int level = int(call.levelWord & 0xff);
        QVERIFY(level == 2 || level == enterLeaveLevel);
        QCOMPARE(call.levelWord >> 8, int64_t(expectedModuleId));
    }
}

QTEST_GUILESS_MAIN(tst_Trace)
#include "tst_trace.moc"
