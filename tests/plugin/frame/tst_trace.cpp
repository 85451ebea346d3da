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
const std::vector<std::string> registered;
#else
constexpr int moduleBits = TraceRecorder::assignedModuleId << 8;
const std::vector<std::string> registered = {"ScheduleBackup"};
#endif

class tst_Trace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY2(PluginLoading::base(), qPrintable(PluginLoading::errorString()));
        PluginLoading::base()->InitialPluginBase(nullptr, &framework, &framework);
        TraceRecorder::clear();
    }

    void moduleRegisteredAtLoad()
    {
        QVERIFY(TraceRecorder::objectHandedOut());
        QCOMPARE(TraceRecorder::registeredModules(), registered);
        QCOMPARE(TraceRecorder::registerKind(), moduleBits ? 19 : -1);
    }

    void linesPerOperation_data()
    {
        // "query <method> <outcome>", "reply <command> <code> [empty]"; a trailing "rejected" has a
        // filter reject every line, which then writes nothing.
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("traced"); // the Enter/Leave name; empty when nothing is written
        QTest::addColumn<QString>("failure"); // the failure line between them, at level 2

        const auto row = [](const char* operation, const char* traced, const char* failure = "") {
            QTest::newRow(operation) << operation << traced << failure;
        };
        const char* infoFailed = "getBackupInfo, SendCommand failed";
        row("query getBackupInfo accepted", "getBackupInfo");
        row("query getBackupInfo refused", "getBackupInfo", infoFailed);
        row("query getBackupInfo refused rejected", "getBackupInfo", infoFailed);
        row("reply GetBackupPath 0", "CommandProcessor");
        row("reply GetBackupPath 1", "CommandProcessor",
            "HandleGetBackupPathResp, getBackupPath failed");
        row("reply GetBackupPath 0 empty", "CommandProcessor",
            "HandleGetBackupPathResp, getBackupPath response data is not correct");
        row("reply GetBackupStatus 00", "CommandProcessor",
            "handleGetBackupStatusResp, getBackupStatus failed");
    }

    void linesPerOperation()
    {
        QFETCH(QString, operation);
        QFETCH(QString, traced);
        QFETCH(QString, failure);

        PluginBase* base = PluginLoading::base();
        const QStringList word = operation.split(' ');
        const bool reject = word.last() == "rejected";
        TraceRecorder::setRejectAll(reject);
        if (word[0] == "query") {
            framework.accept = word[2] == "accepted";
            QCOMPARE(query(base, qPrintable(word[1]), "p"), framework.accept);
        } else {
            base->CommandProcessor(
                word[1], replyTree(word.size() > 3 ? QVariantMap() : QVariantMap {{"Dir", "/m"}}),
                nullptr, word[2], {}, false, "p");
        }
        TraceRecorder::setRejectAll(false);

        // "level word|text" of the lines written; the filter sees the same level words, and only
        // the last line, Leave, is on line 0.
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
            QCOMPARE(call.line == 0, filtered.size() == expected.size());
            // Each line names the plug-in's source file.
            QVERIFY2(QFileInfo(call.file.c_str()).fileName().startsWith("PluginScheduleBackup"),
                     call.file.c_str());
        }
        QCOMPARE(written, reject ? QStringList() : expected);
        QCOMPARE(filtered.join(' '),
                 expected.replaceInStrings(QRegularExpression("\\|.*"), "").join(' '));
    }

private:
    FakeFramework framework;
};

QTEST_GUILESS_MAIN(tst_Trace)
#include "tst_trace.moc"
