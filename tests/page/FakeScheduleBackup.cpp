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

namespace {
template<typename Value, typename Signal>
void change(FakeScheduleBackup* fake, Value* member, const Value& value, Signal signal)
{
    if (*member == value)
        return;
    *member = value;
    Q_EMIT(fake->*signal)(value);
}
} // namespace

void FakeScheduleBackup::take(const Stored& stored, bool hasAllCameras)
{
    change(this, &m_enabled, stored.enabled, &FakeScheduleBackup::enabledChanged);
    change(this, &m_targetCyclic, stored.cyclic, &FakeScheduleBackup::targetCyclicChanged);
    change(this, &m_targetDir, stored.dir, &FakeScheduleBackup::targetDirChanged);
    change(this, &m_maxThroughputMB, stored.throughputMB,
           &FakeScheduleBackup::maxThroughputMBChanged);
    change(this, &m_maxRangeDay, stored.rangeDays, &FakeScheduleBackup::maxRangeDayChanged);
    if (m_hasAllCameras != hasAllCameras) {
        m_hasAllCameras = hasAllCameras;
        Q_EMIT hasAllCamerasChanged();
    }
    change(this, &m_cameraList, stored.cameras, &FakeScheduleBackup::cameraListChanged);
    change(this, &m_scheduleName, stored.scheduleName, &FakeScheduleBackup::scheduleNameChanged);
    change(this, &m_scheduleTemplate, stored.schedule,
           &FakeScheduleBackup::scheduleTemplateChanged);
}

void FakeScheduleBackup::answerLoad(const Stored& stored)
{
    take(stored, false);
    Q_EMIT getBackupInfoResp(true);
}

void FakeScheduleBackup::confirmUpdate()
{
    const QVariantList a = last(QStringLiteral("updateBackupInfo")).arguments;
    Stored sent {a.at(0).toBool(),   a.at(1).toBool(),  a.at(2).toString(),
                 a.at(6).toInt(),    a.at(7).toInt(),   {},
                 a.at(4).toString(), a.at(5).toString()};
    for (const QVariant& camera : a.at(3).toList())
        sent.cameras.append(camera.toMap().value(QStringLiteral("Name")).toString());
    take(sent, sent.cameras == QStringList {QStringLiteral("__allcams__")});
    Q_EMIT updBackupInfoResp(true);
}
