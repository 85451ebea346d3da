#pragma once

#include "TimeCard.h"

#include <QDateTime>
#include <QList>
#include <QString>

struct BackupStatusReport
{
    QString status;
    QString interval;
    int progress = 0;
};

// Simulates the backup runs of a time-card: a run starts when a schedule window opens and its
// progress follows the elapsed share of the window.
class BackupStatusSimulator
{
public:
    // Sorted windows; intervals that touch or overlap form one window, empty ones are dropped.
    static QList<WeekInterval> windows(const QList<WeekInterval>& intervals);
    static BackupStatusReport statusAt(const TimeCard& card, const QDateTime& now);
    static QDateTime weekStart(const QDateTime& moment);
    static QString intervalText(const QDateTime& weekStart, const WeekInterval& window);
};
