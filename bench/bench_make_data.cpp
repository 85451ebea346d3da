// SPDX-License-Identifier: BSD-3-Clause
// Writes a data folder for the end-to-end rows: the seeded time-card with an inventory of N
// cameras in 200 groups. With --selected K the card names K cameras, spread over the inventory,
// instead of all cameras.
//
//   bench_make_data DIR N [--selected K]

#include "BackupStore.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

constexpr int Groups = 200;

QString cameraId(int i)
{
    return QStringLiteral("cam-%1").arg(i, 6, 10, QLatin1Char('0'));
}

ServiceData benchData(int cameras, int selected)
{
    ServiceData data = BackupStore::sampleData();
    data.inventory.clear();
    data.inventory.reserve(cameras);
    for (int i = 0; i < cameras; ++i) {
        const QString group = QStringLiteral("grp-%1").arg(i % Groups, 3, 10, QLatin1Char('0'));
        data.inventory.append({cameraId(i), group, QStringLiteral("Camera %1").arg(i)});
    }
    if (selected > 0) {
        data.card.cameras.clear();
        const int step = qMax(1, cameras / selected);
        for (int i = 0; i < selected && i * step < cameras; ++i) {
            const InventoryCamera& camera = data.inventory.at(i * step);
            data.card.cameras.append({camera.cameraId, camera.groupId});
        }
    }
    return data;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool ok = args.size() == 3 || (args.size() == 5 && args.at(3) == QLatin1String("--selected"));
    const int cameras = ok ? args.at(2).toInt(&ok) : 0;
    const int selected = ok && args.size() == 5 ? args.at(4).toInt(&ok) : 0;
    if (!ok || cameras <= 0 || selected < 0) {
        std::fprintf(stderr, "usage: bench_make_data DIR N [--selected K]\n");
        return 2;
    }
    const StoreResult<> saved = BackupStore(args.at(1)).save(benchData(cameras, selected));
    if (!saved) {
        std::fprintf(stderr, "%s\n", qPrintable(saved.errorText()));
        return 1;
    }
    return 0;
}
