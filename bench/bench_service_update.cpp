// SPDX-License-Identifier: BSD-3-Clause
// The service's update may cost at most time linear in the cameras it is given: selecting 10,000
// of an inventory of 100,000 cameras takes no more than about ten times as long as selecting
// 1,000, and well under a second. Every update also reads and writes the whole data file, as it
// does in use, and that part, the same for both, dominates.

#include "BackupProtocol.h"
#include "BackupService.h"
#include "BackupStore.h"
#include "BenchMain.h"

#include <QTemporaryDir>
#include <QVariantList>
#include <QVariantMap>

#include <cstdio>

namespace {

constexpr int InventorySize = 100000;

QString cameraId(int i)
{
    return QStringLiteral("cam-%1").arg(i, 6, 10, QLatin1Char('0'));
}

void serviceUpdate(benchmark::State& state)
{
    using namespace BackupProtocol;
    QTemporaryDir dir;
    ServiceData data = BackupStore::sampleData();
    data.inventory.clear();
    for (int i = 0; i < InventorySize; ++i)
        data.inventory.append({cameraId(i), QStringLiteral("grp-%1").arg(i % 50), QString()});
    if (!BackupStore(dir.path()).save(data)) {
        state.SkipWithError("cannot write the data file");
        return;
    }
    BackupService service(dir.path());

    // Spread over the inventory, so that no lookup can stop early.
    const int selected = int(state.range(0));
    QVariantList cameras;
    for (int i = 0; i < selected; ++i)
        cameras.append(QVariantMap {{Arg::CamId, cameraId(i * (InventorySize / selected))}});
    QVariantMap arguments {{Arg::TmcardId, data.card.tmcardId},
                           {Arg::Enabled, true},
                           {Arg::TargetCyclic, false},
                           {Arg::Dir, QStringLiteral("/srv/backup")},
                           {Arg::MaxThroughput, 0},
                           {Arg::MaxRange, 0},
                           {Arg::CamGroupList, cameras},
                           {Arg::TimeFrameMessage, data.card.timeFrameXml}};
    qint64 revision = data.card.revision;
    for (auto _ : state) {
        arguments.insert(Arg::Revision, revision);
        const ServiceReply reply = service.handle(UpdateTimeCard, arguments);
        if (reply.resultCode != Code::Success) {
            state.SkipWithError(qPrintable(reply.reason));
            return;
        }
        ++revision;
    }
    state.SetComplexityN(selected);
}

} // namespace

BENCHMARK(serviceUpdate)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return BenchMain::run(argc, argv, [] {
        if (!BenchMain::loggingLibraryLoaded())
            return true;
        std::fprintf(stderr, "the logging library is loaded\n");
        return false;
    });
}
