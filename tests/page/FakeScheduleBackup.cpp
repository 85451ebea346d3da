// SPDX-License-Identifier: BSD-3-Clause

#include "FakeScheduleBackup.h"

int FakeScheduleBackup::count(const QString& method) const
{
    return int(std::count_if(calls.cbegin(), calls.cend(),
                             [&](const Call& call) { return call.method == method; }));
}

FakeScheduleBackup::Call FakeScheduleBackup::last(const QString& method) const
{
    for (auto it = calls.crbegin(); it != calls.crend(); ++it) {
        if (it->method == method)
            return *it;
    }
    return {};
}

void FakeScheduleBackup::answerLoad(const Stored& stored)
{
    setProperty("enabled", stored.enabled);
    setProperty("targetCyclic", stored.cyclic);
    setProperty("targetDir", stored.dir);
    setProperty("maxThroughputMB", stored.throughputMB);
    setProperty("maxRangeDay", stored.rangeDays);
    setProperty("hasAllCameras", false);
    setProperty("cameraList", stored.cameras);
    setProperty("scheduleName", stored.scheduleName);
    setProperty("scheduleTemplate", stored.schedule);
    Q_EMIT getBackupInfoResp(true);
}

void FakeScheduleBackup::confirmUpdate()
{
    const QVariantList a = last(QStringLiteral("updateBackupInfo")).arguments;
    QStringList ids;
    for (const QVariant& camera : a.at(3).toList())
        ids.append(camera.toMap().value(QStringLiteral("Name")).toString());
    setProperty("enabled", a.at(0));
    setProperty("targetCyclic", a.at(1));
    setProperty("targetDir", a.at(2));
    setProperty("cameraList", ids);
    setProperty("hasAllCameras", ids == QStringList {QStringLiteral("__allcams__")});
    setProperty("scheduleName", a.at(4));
    setProperty("scheduleTemplate", a.at(5));
    setProperty("maxThroughputMB", a.at(6));
    setProperty("maxRangeDay", a.at(7));
    Q_EMIT updBackupInfoResp(true);
}
