// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QList>
#include <QString>

// One interval of a weekly schedule, in seconds from Sunday 00:00 local time.
struct WeekInterval
{
    qint64 begin = 0;
    qint64 end = 0;

    friend bool operator==(const WeekInterval& a, const WeekInterval& b)
    {
        return a.begin == b.begin && a.end == b.end;
    }
};

struct CameraRef
{
    QString cameraId;
    QString groupId;

    friend bool operator==(const CameraRef& a, const CameraRef& b)
    {
        return a.cameraId == b.cameraId && a.groupId == b.groupId;
    }
};

struct InventoryCamera
{
    QString cameraId;
    QString groupId;
    QString name;

    friend bool operator==(const InventoryCamera& a, const InventoryCamera& b)
    {
        return a.cameraId == b.cameraId && a.groupId == b.groupId && a.name == b.name;
    }
};

// The scheduled-backup record as the service stores it. The time frame is kept as the exact
// XML element the client sent, so it is returned byte for byte; the intervals are its parsed
// form, used for the simulated backup runs.
struct TimeCard
{
    qint64 revision = 0;
    qint64 tmcardId = 0;
    QString name;
    bool enabled = false;
    bool targetCyclic = false;
    QString dir;
    qint64 maxThroughputBytes = 0;
    qint64 maxRangeMinutes = 0;
    QList<CameraRef> cameras;
    QString timeFrameXml;
    QString timeFrameName;
    QList<WeekInterval> intervals;
};

// Everything the service keeps in its data folder.
struct ServiceData
{
    TimeCard card;
    QList<InventoryCamera> inventory;
};

constexpr qint64 SecondsPerDay = 86400;
constexpr qint64 SecondsPerWeek = 7 * SecondsPerDay;
