#include "FakeScheduleBackup.h"

FakeScheduleBackup::FakeScheduleBackup(QObject* parent) : QObject(parent) { }

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

void FakeScheduleBackup::answerLoad(const Stored& stored, bool success)
{
    if (success) {
        setProperty("enabled", stored.enabled);
        setProperty("targetCyclic", stored.cyclic);
        setProperty("targetDir", stored.dir);
        setProperty("maxThroughputMB", stored.throughputMB);
        setProperty("maxRangeDay", stored.rangeDays);
        setProperty("hasAllCameras", stored.allCameras);
        setProperty("cameraList",
                    stored.allCameras ? QStringList {QStringLiteral("__allcams__")}
                                      : stored.cameras);
        setProperty("scheduleName", stored.scheduleName);
        setProperty("scheduleTemplate", stored.schedule);
    }
    Q_EMIT getBackupInfoResp(success);
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

void FakeScheduleBackup::refuseUpdate()
{
    Q_EMIT updBackupInfoResp(false);
}

void FakeScheduleBackup::answerSchedule(bool success)
{
    Q_EMIT updateScheduleResp(success);
}

bool FakeScheduleBackup::record(const QString& method, const QVariantList& arguments)
{
    calls.append({method, arguments});
    return acceptRequests;
}

bool FakeScheduleBackup::getBackupInfo(const QString& relayPath)
{
    return record(QStringLiteral("getBackupInfo"), {relayPath});
}

bool FakeScheduleBackup::getBackupPathInfo(const QString& relayPath)
{
    return record(QStringLiteral("getBackupPathInfo"), {relayPath});
}

bool FakeScheduleBackup::getBackupStatus(const QString& relayPath)
{
    return record(QStringLiteral("getBackupStatus"), {relayPath});
}

bool FakeScheduleBackup::updateBackupInfo(bool enabled, bool targetCyclic, const QString& targetDir,
                                          const QVariantList& camList, const QString& scheName,
                                          const QString& scheJson, int maxThroughputMB,
                                          int maxRangeDay, const QString& relayPath)
{
    return record(QStringLiteral("updateBackupInfo"),
                  {enabled, targetCyclic, targetDir, camList, scheName, scheJson, maxThroughputMB,
                   maxRangeDay, relayPath});
}

qulonglong FakeScheduleBackup::getNextBackupTime(const QDateTime&)
{
    return nextBackupTime;
}

bool FakeScheduleBackup::updateSchedule(const QString& scheName, const QString& scheJson,
                                        const QString& relayPath)
{
    return record(QStringLiteral("updateSchedule"), {scheName, scheJson, relayPath});
}
