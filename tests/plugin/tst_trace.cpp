// SPDX-License-Identifier: BSD-3-Clause

#include "FakeFramework.h"
#include "PluginBase.h"
#include "PluginLoading.h"
#include "Table.h"
#include "TraceRecorder.h"

#include <QTest>

// Built twice: once against a recorder that registers the module under id 7, once against one
// that offers no registration, where the level word carries the level alone.
#ifdef TRACE_EXPECT_NO_REGISTER
constexpr int moduleBits = 0;
#else
constexpr int moduleBits = TraceRecorder::assignedModuleId << 8;
#endif

class tst_Trace : public QObject
{
    Q_OBJECT

    // An invokable or the command of a reply, the schedule document or the result code, and the
    // failures traced.
    using Cases = Table<QString, QString, QStringList>;
    FakeFramework framework;

private Q_SLOTS:
    void init()
    {
        QVERIFY2(PluginLoading::base(), qPrintable(PluginLoading::errorString()));
        PluginLoading::base()->InitialPluginBase(nullptr, &framework, &framework);
        framework.accept = false; // every request is refused
        TraceRecorder::recorded() = {};
    }

    // Each traced operation writes "<function>, Enter" and "<function>, Leave" at level 5 and,
    // between them, every failure at level 2, each line once the filter has let it pass.
    void lines_data()
    {
        Cases::columns();
        const QString huge = "{\"Rectangles\":["
            + QStringList(40, R"({"Top":0,"Bottom":1,"Left":0,"Right":1000})").join(',') + "]}";
        const QString years = R"({"Rectangles":[{"Top":0,"Bottom":1,"Left":0,"Right":24000},)"
                              R"({"Top":0,"Bottom":1,"Left":0,"Right":24000}]})";
        const QString invalid = "updateSchedule, invalid schedule document";
        const auto row = &Cases::row;
        row("a refused settings request", "getBackupInfo", {},
            {"getBackupInfo, SendCommand failed"});
        row("a path reply with an empty record", "GetBackupPath", "0",
            {"HandleGetBackupPathResp, getBackupPath response data is not correct"});
        // The composer says why it refuses a document, then the request that it is not sent; an
        // oversized document is named by its first 200 characters only.
        row("a schedule document that is no JSON", "updateSchedule", "Monday 9 to 5",
            {"Monday 9 to 5", invalid});
        row("a long schedule document beyond 1 MiB of intervals", "updateSchedule", huge,
            {huge.first(200) + "..., schedule document too large", invalid});
        row("a short schedule document beyond 1 MiB of intervals", "updateSchedule", years,
            {years + ", schedule document too large", invalid});
    }
    void lines()
    {
        const auto [call, argument, failures] = Cases::fetch();
        PluginBase* plugin = PluginLoading::base();
        QString traced = call;
        if (call == "getBackupInfo") {
            QMetaObject::invokeMethod(plugin, "getBackupInfo", Q_ARG(QString, "p"));
        } else if (call == "updateSchedule") {
            QMetaObject::invokeMethod(plugin, "updateSchedule", Q_ARG(QString, "Night"),
                                      Q_ARG(QString, argument), Q_ARG(QString, "p"));
        } else { // with an empty record
            const QVariantMap tree {{"GetBkpTmcardRes", QVariantMap {{"Tmcard", QVariantMap()}}}};
            plugin->CommandProcessor(call, tree, nullptr, argument, {}, false, "p");
            traced = "CommandProcessor";
        }
        QStringList expected {QStringLiteral("%1|%2, Enter").arg(moduleBits | 5).arg(traced)};
        for (const QString& failure : failures)
            expected << QStringLiteral("%1|%2").arg(moduleBits | 2).arg(failure);
        expected << QStringLiteral("%1|%2, Leave").arg(moduleBits | 5).arg(traced);
        QStringList written;
        for (const std::string& line : TraceRecorder::recorded().lines)
            written << QString::fromStdString(line);
        QCOMPARE(written, expected);
        QCOMPARE(TraceRecorder::recorded().filterCalls, expected.size());
    }
};

QTEST_GUILESS_MAIN(tst_Trace)
#include "tst_trace.moc"
