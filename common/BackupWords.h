// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QString>

// The words both ends of the backup connection use: the commands, the result codes that more
// than the service looks at, the backup states, the all-cameras tag and the ids under which the
// host offers its plug-ins. The service adds the words only the server needs
// (service/BackupProtocol.h), the front ends those only they need (client/PluginTerms.h).
namespace BackupWords {

// Commands
inline const QString GetTimeCard = QStringLiteral("GetBkpTmcard");
inline const QString GetBackupPath = QStringLiteral("GetBackupPath");
inline const QString GetBackupStatus = QStringLiteral("GetBackupStatus");
inline const QString UpdateTimeCard = QStringLiteral("UpdBkpTmcard");
inline const QString UpdateSchedule = QStringLiteral("UpdSchedule");

// Result codes. Only "0" means success; the client compares the text exactly.
namespace Code {
inline const QString Success = QStringLiteral("0");
// Not sent by the service: the host answers commands it could not deliver before shutting down.
inline const QString Cancelled = QStringLiteral("1099");
} // namespace Code

// The reply the host gives in place of a command it cancels.
namespace Reply {
inline const QString CancelledRoot = QStringLiteral("CommandCancelled");
inline const QString Reason = QStringLiteral("Reason");
} // namespace Reply

// Backup states of a status reply
namespace State {
inline const QString Disabled = QStringLiteral("Disabled");
inline const QString Idle = QStringLiteral("Idle");
inline const QString Running = QStringLiteral("Running");
inline const QString Completed = QStringLiteral("Completed");
} // namespace State

// The camera id that stands for every camera of the inventory.
inline const QString AllCamerasTag = QStringLiteral("__allcams__");

// The ranges of the two limits the service accepts, in the units the front ends offer.
constexpr int MaxThroughputMB = 1000000;
constexpr int MaxRangeDays = 3650;

// Client plug-ins
inline const QString ScheduleBackupPluginId = QStringLiteral("185196A13473421C84A3CE473516AED7");
inline const QString ServerInfoPluginId = QStringLiteral("3CE573D25E0F455B8F75EDDC573E2B64");

} // namespace BackupWords
