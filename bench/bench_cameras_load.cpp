// Camera de-duplication must stay linear: loading or confirming a time-card with ten times the
// cameras may take about ten times as long, not a hundred. Half of the cameras repeat an earlier
// identifier so that the duplicate test does real work.

#include "FrameworkWrapperBase.h"
#include "PluginScheduleBackup.h"

#include <benchmark/benchmark.h>

#include <QVariantList>
#include <QVariantMap>

namespace {

QString cameraId(int i, int count)
{
    return QStringLiteral("cam%1").arg(i % (count / 2 + 1));
}

QVariant timeCard(int count)
{
    QVariantList cams;
    cams.reserve(count);
    for (int i = 0; i < count; ++i)
        cams << QVariantMap {{QStringLiteral("#text"), cameraId(i, count)},
                             {QStringLiteral("@GrpID"), QStringLiteral("g%1").arg(i % 7)}};
    const QVariantMap tmcard {
        {QStringLiteral("Revision"), 1},
        {QStringLiteral("TmcardID"), 1},
        {QStringLiteral("CamList"), QVariantMap {{QStringLiteral("Cam"), cams}}}};
    return QVariantMap {
        {QStringLiteral("GetBkpTmcardRes"), QVariantMap {{QStringLiteral("Tmcard"), tmcard}}}};
}

// Accepts every command and keeps the last context so that its reply can be delivered.
class LoopbackFramework : public FrameworkWrapperBase
{
public:
    bool SendCommand(void*, const QString&, const QString&, const QVariant&, void* context, int,
                     const QString&) override
    {
        lastContext = context;
        return true;
    }
    QObject* GetPluginObject(void*, const QString&) override { return nullptr; }

    void* lastContext = nullptr;
};

void BM_LoadTimeCard(benchmark::State& state)
{
    const int count = int(state.range(0));
    const QVariant reply = timeCard(count);
    PluginScheduleBackup plugin;
    for (auto _ : state) {
        // An equal revision is loaded again, so every round walks all cameras.
        plugin.CommandProcessor(QStringLiteral("GetBkpTmcard"), reply, nullptr, QStringLiteral("0"),
                                QString(), false, QString());
        benchmark::DoNotOptimize(plugin.cameraList());
    }
    state.SetComplexityN(count);
}
BENCHMARK(BM_LoadTimeCard)->Arg(1000)->Arg(10000)->Complexity(benchmark::oN);

void BM_ConfirmUpdate(benchmark::State& state)
{
    const int count = int(state.range(0));
    QVariantList cams;
    cams.reserve(count);
    for (int i = 0; i < count; ++i)
        cams << QVariantMap {{QStringLiteral("Name"), cameraId(i, count)},
                             {QStringLiteral("GrpID"), QStringLiteral("g")}};
    LoopbackFramework framework;
    PluginScheduleBackup plugin;
    plugin.InitialPluginBase(nullptr, nullptr, &framework);
    const QString document = QStringLiteral(R"({"Rectangles":[]})");
    for (auto _ : state) {
        plugin.updateBackupInfo(true, false, QStringLiteral("/b"), cams, QStringLiteral("N"),
                                document, 30, 2);
        // The plug-in releases the context with the reply.
        plugin.CommandProcessor(QStringLiteral("UpdBkpTmcard"), QVariant(), framework.lastContext,
                                QStringLiteral("0"), QString(), false, QString());
        benchmark::DoNotOptimize(plugin.cameraList());
    }
    state.SetComplexityN(count);
}
BENCHMARK(BM_ConfirmUpdate)->Arg(1000)->Arg(10000)->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
