// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "TimeCard.h"

#include <QDateTime>
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
    static BackupStatusReport statusAt(const TimeCard& card, const QDateTime& now);
};
