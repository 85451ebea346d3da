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

    void queryLines_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("filterRejects"); // the filter turns every line down
        QTest::addColumn<QStringList>("failures"); // level-2 lines between Enter and Leave

        const QStringList refused {"getBackupInfo, SendCommand failed"};
        QTest::newRow("accepted settings request: enter and leave")
            << QByteArray("getBackupInfo") << true << false << QStringList();
        QTest::newRow("refused settings request: a failure line between")
            << QByteArray("getBackupInfo") << false << false << refused;
        QTest::newRow("filter turning every line down: nothing written")
            << QByteArray("getBackupInfo") << false << true << refused;
    }

    void queryLines()
    {
        QFETCH(QByteArray, method);
        QFETCH(bool, accepted);
        QFETCH(bool, filterRejects);
        QFETCH(QStringList, failures);

        framework.accept = accepted;
        TraceRecorder::setRejectAll(filterRejects);
        QCOMPARE(query(PluginLoading::base(), method.constData(), "p"), accepted);
        TraceRecorder::setRejectAll(false);
        compareLines(QString::fromLatin1(method), failures, filterRejects);
    }

    void replyLines_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("resultCode");
        QTest::addColumn<QVariantMap>("record"); // the Tmcard element of the reply
        QTest::addColumn<QStringList>("failures");

        const QVariantMap dir {{"Dir", "/m"}};
        QTest::newRow("path reply: enter and leave") << "GetBackupPath"
                                                     << "0" << dir << QStringList();
        QTest::newRow("failed path reply")
            << "GetBackupPath"
            << "1" << dir << QStringList {"HandleGetBackupPathResp, getBackupPath failed"};
        QTest::newRow("path reply with an empty record")
            << "GetBackupPath"
            << "0" << QVariantMap()
            << QStringList {"HandleGetBackupPathResp, getBackupPath response data is not correct"};
        QTest::newRow("status result code 00")
            << "GetBackupStatus"
            << "00" << dir << QStringList {"handleGetBackupStatusResp, getBackupStatus failed"};
    }

    void replyLines()
    {
        QFETCH(QString, command);
        QFETCH(QString, resultCode);
        QFETCH(QVariantMap, record);
        QFETCH(QStringList, failures);

        PluginLoading::base()->CommandProcessor(command, replyTree(record), nullptr, resultCode, {},
                                                false, "p");
        compareLines("CommandProcessor", failures, false);
    }

    // A schedule document that cannot be composed: the composer says why, the request that it
    // refuses to send.
    void refusedUpdateLines_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("reason");

        const QString huge = "{\"Rectangles\":["
            + QStringList(200, R"({"Top":0,"Bottom":1,"Left":-24855,"Right":24855})").join(',')
            + "]}";
        QTest::newRow("not JSON: the document itself") << "Monday 9 to 5"
                                                       << "Monday 9 to 5";
        QTest::newRow("intervals beyond 1 MiB: too large")
            << huge << "ComposeScheduleBackupMappingEleMsg, schedule document too large";
    }

    void refusedUpdateLines()
    {
        QFETCH(QString, document);
        QFETCH(QString, reason);

        bool sent = true;
        QVERIFY(QMetaObject::invokeMethod(PluginLoading::base(), "updateSchedule",
                                          Q_RETURN_ARG(bool, sent), Q_ARG(QString, "Night"),
                                          Q_ARG(QString, document), Q_ARG(QString, "p")));
        QVERIFY(!sent);
        compareLines("updateSchedule", {reason, "updateSchedule, invalid schedule document"},
                     false);
    }

private:
    // The lines of one traced operation: Enter, the failures, Leave, all passed to the filter
    // and, unless it turned them down, written.
    void compareLines(const QString& traced, const QStringList& failures, bool filterRejects)
    {
        // "level word|text" of the lines written; the filter sees the same level words, and only
        // the last line, Leave, is on line 0.
        QStringList expected {QStringLiteral("%1|%2, Enter").arg(moduleBits | 5).arg(traced)};
        for (const QString& failure : failures)
            expected << QStringLiteral("%1|%2").arg(moduleBits | 2).arg(failure);
        expected << QStringLiteral("%1|%2, Leave").arg(moduleBits | 5).arg(traced);
        QStringList filtered, written;
        for (const TraceRecorder::Line& line : TraceRecorder::lines())
            written << QString::number(line.levelWord) + '|' + line.text.c_str();
        for (const TraceRecorder::FilterCall& call : TraceRecorder::filterCalls()) {
            filtered << QString::number(call.levelWord);
            QCOMPARE(call.line == 0, filtered.size() == expected.size());
            // Each line names the plug-in's source file.
            QVERIFY2(QFileInfo(call.file.c_str()).fileName().startsWith("PluginScheduleBackup"),
                     call.file.c_str());
        }
        QCOMPARE(written, filterRejects ? QStringList() : expected);
        QCOMPARE(filtered.join(' '),
                 expected.replaceInStrings(QRegularExpression("\\|.*"), "").join(' '));
    }

    FakeFramework framework;
};

QTEST_GUILESS_MAIN(tst_Trace)
#include "tst_trace.moc"
