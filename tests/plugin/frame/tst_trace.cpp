#include "FakeFramework.h"
#include "FrameTestKit.h"
#include "PluginBase.h"
#include "PluginLoading.h"
#include "TraceRecorder.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

// Built twice: once against a recorder that assigns module id 7, once against one that offers no
// registration, where the level word carries the level alone.
#ifdef TRACE_EXPECT_NO_REGISTER
constexpr int moduleBits = 0;
#else
constexpr int moduleBits = TraceRecorder::assignedModuleId << 8;
#endif

class tst_Trace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void moduleRegisteredAtLoad();
    void linesPerOperation_data();
    void linesPerOperation();

private:
    FakeFramework framework;
};

void tst_Trace::init()
{
    QVERIFY2(PluginLoading::base(), qPrintable(PluginLoading::errorString()));
    PluginLoading::base()->InitialPluginBase(nullptr, &framework, &framework);
    TraceRecorder::clear();
}

void tst_Trace::moduleRegisteredAtLoad()
{
    QVERIFY(TraceRecorder::objectHandedOut());
#ifdef TRACE_EXPECT_NO_REGISTER
    QVERIFY(TraceRecorder::registeredModules().empty());
#else
    QCOMPARE(TraceRecorder::registeredModules(), std::vector<std::string> {"ScheduleBackup"});
    QCOMPARE(TraceRecorder::registerKind(), 19);
#endif
}

void tst_Trace::linesPerOperation_data()
{
    QTest::addColumn<QString>("operation"); // "query <method> <outcome>", "reply <command> <code>"
    QTest::addColumn<QString>("traced"); // the Enter/Leave name; empty when nothing is written
    QTest::addColumn<QString>("failure"); // the failure line between them, at level 2
    QTest::addColumn<bool>("reject"); // a filter that rejects every line: nothing is written

    const auto row = [](const char* operation, const char* traced, const QString& failure = {}) {
        QTest::newRow(operation) << operation << traced << failure << false;
    };
    const QString infoFailed = "getBackupInfo, SendCommand failed";
    row("InitialPluginBase", "Init");
    row("delete", "~PluginScheduleBackup");
    row("create", "");
    row("query getBackupInfo accepted", "getBackupInfo");
    row("query getBackupInfo refused", "getBackupInfo", infoFailed);
    row("query getBackupInfo unset", "getBackupInfo", infoFailed);
    row("query getBackupStatus refused", "getBackupStatus");
    row("query getBackupPathInfo refused", "");
    row("reply getbackuppath 0", "CommandProcessor");
    row("reply GetBackupPath 0", "CommandProcessor");
    row("reply GetBackupPath 1", "CommandProcessor",
        "HandleGetBackupPathResp, getBackupPath failed");
    row("reply GetBackupPath 0 empty", "CommandProcessor",
        "HandleGetBackupPathResp, getBackupPath response data is not correct");
    row("reply GetBackupStatus 0", "CommandProcessor");
    row("reply GetBackupStatus 00", "CommandProcessor",
        "handleGetBackupStatusResp, getBackupStatus failed");
    QTest::newRow("rejected") << "query getBackupInfo refused"
                              << "getBackupInfo" << infoFailed << true;
}

void tst_Trace::linesPerOperation()
{
    QFETCH(QString, operation);
    QFETCH(QString, traced);
    QFETCH(QString, failure);
    QFETCH(bool, reject);

    PluginBase* base = PluginLoading::base();
    const QStringList word = operation.split(' ');
    TraceRecorder::setRejectAll(reject);
    if (word[0] == "query") {
        framework.accept = word[2] == "accepted";
        if (word[2] == "unset")
            base->framework = nullptr;
        QCOMPARE(query(base, qPrintable(word[1]), "p"), framework.accept);
    } else if (word[0] == "reply") {
        const QVariantMap tree
            = replyTree(word.size() > 3 ? QVariantMap() : QVariantMap {{"Dir", "/m"}},
                        QVariantMap {{"Status", "Idle"}});
        base->CommandProcessor(word[1], tree, nullptr, word[2], {}, false, "p");
    } else if (operation == "InitialPluginBase") {
        base->InitialPluginBase(nullptr, &framework, &framework);
    } else {
        PluginLoading::resetInstance(); // the destructor's lines
        if (operation == "create") {
            TraceRecorder::clear();
            QVERIFY(PluginLoading::instance());
        }
    }
    TraceRecorder::setRejectAll(false);

    // "level word|text" of the lines passed to the filter, each naming its file and line.
    QStringList expected, filtered, written;
    if (!traced.isEmpty())
        expected << QStringLiteral("%1|%2, Enter").arg(moduleBits | 5).arg(traced)
                 << QStringLiteral("%1|%2, Leave").arg(moduleBits | 5).arg(traced);
    if (!failure.isEmpty())
        expected.insert(1, QStringLiteral("%1|%2").arg(moduleBits | 2).arg(failure));
    for (const TraceRecorder::Line& line : TraceRecorder::lines())
        written << QString::number(line.levelWord) + '|' + line.text.c_str();
    for (const TraceRecorder::FilterCall& call : TraceRecorder::filterCalls()) {
        filtered << QString::number(call.levelWord);
        QVERIFY2(QFileInfo(call.file.c_str()).fileName().startsWith("PluginScheduleBackup"),
                 call.file.c_str());
        QCOMPARE(call.line == 0, filtered.size() == expected.size()); // Leave has line 0
    }
    QCOMPARE(written, reject ? QStringList() : expected);
    QCOMPARE(filtered.join(' '),
             expected.replaceInStrings(QRegularExpression("\\|.*"), "").join(' '));
}

QTEST_GUILESS_MAIN(tst_Trace)
#include "tst_trace.moc"
