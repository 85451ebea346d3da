#include "FakeFramework.h"
#include "PluginBase.h"
#include "PluginLoading.h"
#include "TraceRecorder.h"

#include <QTest>

#include <functional>

// Built twice: once against a recorder that registers the module under id 7, once against one
// that offers no registration, where the level word carries the level alone.
#ifdef TRACE_EXPECT_NO_REGISTER
constexpr int moduleBits = 0;
#else
constexpr int moduleBits = TraceRecorder::assignedModuleId << 8;
#endif

// Something the plug-in does, with the framework it sends through.
using Operation = std::function<void(PluginBase*, FakeFramework&)>;
Q_DECLARE_METATYPE(Operation)

namespace {
Operation settingsRequest(bool accepted)
{
    return [=](PluginBase* plugin, FakeFramework& framework) {
        framework.accept = accepted;
        QMetaObject::invokeMethod(plugin, "getBackupInfo", Q_ARG(QString, "p"));
    };
}
Operation reply(const char* command, const char* resultCode, const QVariantMap& record)
{
    return [=](PluginBase* plugin, FakeFramework&) {
        const QVariantMap tree {{"GetBkpTmcardRes", QVariantMap {{"Tmcard", record}}}};
        plugin->CommandProcessor(command, tree, nullptr, resultCode, {}, false, "p");
    };
}
Operation updateSchedule(const QString& document)
{
    return [=](PluginBase* plugin, FakeFramework&) {
        QMetaObject::invokeMethod(plugin, "updateSchedule", Q_ARG(QString, "Night"),
                                  Q_ARG(QString, document), Q_ARG(QString, "p"));
    };
}
} // namespace

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

    // Each traced operation writes "<function>, Enter" and "<function>, Leave" at level 5 and,
    // between them, every failure at level 2, each line once the filter has let it pass.
    void lines_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QString>("traced");
        QTest::addColumn<QStringList>("failures");

        const QString huge = "{\"Rectangles\":["
            + QStringList(40, R"({"Top":0,"Bottom":1,"Left":0,"Right":1000})").join(',') + "]}";
        const auto row = [](const char* tag, const Operation& operation, const char* traced,
                            const QStringList& failures) {
            QTest::newRow(tag) << operation << QString(traced) << failures;
        };
        row("a refused settings request", settingsRequest(false), "getBackupInfo",
            {"getBackupInfo, SendCommand failed"});
        row("a failed path reply", reply("GetBackupPath", "1", {}), "CommandProcessor",
            {"HandleGetBackupPathResp, getBackupPath failed"});
        row("a path reply with an empty record", reply("GetBackupPath", "0", {}),
            "CommandProcessor",
            {"HandleGetBackupPathResp, getBackupPath response data is not correct"});
        row("a status reply with result code 00", reply("GetBackupStatus", "00", {}),
            "CommandProcessor", {"handleGetBackupStatusResp, getBackupStatus failed"});
        // The composer says why it refuses a document, then the request that it is not sent.
        row("a schedule document that is no JSON", updateSchedule("Monday 9 to 5"),
            "updateSchedule", {"Monday 9 to 5", "updateSchedule, invalid schedule document"});
        row("a schedule document beyond 1 MiB of intervals", updateSchedule(huge), "updateSchedule",
            {"ComposeScheduleBackupMappingEleMsg, schedule document too large",
             "updateSchedule, invalid schedule document"});
    }

    void lines()
    {
        QFETCH(Operation, operation);
        QFETCH(QString, traced);
        QFETCH(QStringList, failures);

        operation(PluginLoading::base(), framework);
        QStringList expected {QStringLiteral("%1|%2, Enter").arg(moduleBits | 5).arg(traced)};
        for (const QString& failure : failures)
            expected << QStringLiteral("%1|%2").arg(moduleBits | 2).arg(failure);
        expected << QStringLiteral("%1|%2, Leave").arg(moduleBits | 5).arg(traced);
        QStringList written;
        for (const TraceRecorder::Line& line : TraceRecorder::lines())
            written << QString::number(line.levelWord) + '|' + line.text.c_str();
        QCOMPARE(written, expected);
        QCOMPARE(TraceRecorder::filterCalls().size(), size_t(expected.size()));
    }

    // A line the filter turns down is not written, a failure no more than the rest.
    void filterTurnsLinesDown()
    {
        TraceRecorder::setRejectAll(true);
        settingsRequest(false)(PluginLoading::base(), framework);
        TraceRecorder::setRejectAll(false);
        QCOMPARE(TraceRecorder::filterCalls().size(), size_t(3));
        QCOMPARE(TraceRecorder::lines().size(), size_t(0));
    }

private:
    FakeFramework framework;
};

QTEST_GUILESS_MAIN(tst_Trace)
#include "tst_trace.moc"
