// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "BackupWords.h"

#include <QString>

// The words only the server needs besides the shared ones of BackupWords: argument keys, reply
// elements and the refusal codes. The service reaches both through this namespace.
namespace BackupProtocol {

using BackupWords::AllCamerasTag;
using BackupWords::GetBackupPath;
using BackupWords::GetBackupStatus;
using BackupWords::GetTimeCard;
using BackupWords::UpdateSchedule;
using BackupWords::UpdateTimeCard;
namespace State = BackupWords::State;

// Argument keys of the two update commands
namespace Arg {
inline const QString Revision = QStringLiteral("Revision");
inline const QString TmcardId = QStringLiteral("TmcardID");
inline const QString Enabled = QStringLiteral("Enabled");
inline const QString TargetCyclic = QStringLiteral("TargetCyclic");
inline const QString Dir = QStringLiteral("Dir");
inline const QString MaxThroughput = QStringLiteral("MaxThroughput");
inline const QString MaxRange = QStringLiteral("MaxRange");
inline const QString CamGroupList = QStringLiteral("CamGroupList");
inline const QString CamId = QStringLiteral("CamID");
inline const QString GroupId = QStringLiteral("GroupID");
inline const QString TimeFrameMessage = QStringLiteral("TimeFrameMessage");
} // namespace Arg

// Reply elements and attributes
namespace Reply {
using BackupWords::Reply::CancelledRoot;
using BackupWords::Reply::Reason;
inline const QString TimeCardRoot = QStringLiteral("GetBkpTmcardRes");
inline const QString StatusRoot = QStringLiteral("GetBackupStatusRes");
inline const QString UpdateTimeCardRoot = QStringLiteral("UpdBkpTmcardRes");
inline const QString UpdateScheduleRoot = QStringLiteral("UpdScheduleRes");
inline const QString ServiceRoot = QStringLiteral("ServiceRes");
inline const QString TimeCard = QStringLiteral("Tmcard");
inline const QString Revision = QStringLiteral("Revision");
inline const QString TmcardId = QStringLiteral("TmcardID");
inline const QString Name = QStringLiteral("Name");
inline const QString Enabled = QStringLiteral("Enabled");
inline const QString TargetCyclic = QStringLiteral("TargetCyclic");
inline const QString Dir = QStringLiteral("Dir");
inline const QString MaxThroughput = QStringLiteral("MaxThroughput");
inline const QString MaxRange = QStringLiteral("MaxRange");
inline const QString Mapping = QStringLiteral("Mapping");
inline const QString CamList = QStringLiteral("CamList");
inline const QString Cam = QStringLiteral("Cam");
inline const QString GroupAttribute = QStringLiteral("GrpID");
inline const QString Status = QStringLiteral("Status");
inline const QString BackupInterval = QStringLiteral("BackupInterval");
inline const QString BackupProgress = QStringLiteral("BackupProgress");
inline const QString Error = QStringLiteral("Error");
inline const QString CodeAttribute = QStringLiteral("Code");
} // namespace Reply

inline const QString True = QStringLiteral("true");
inline const QString False = QStringLiteral("false");
inline QString boolText(bool value)
{
    return value ? True : False;
}

// Refusals; success and cancellation are shared words.
namespace Code {
using BackupWords::Code::Cancelled;
using BackupWords::Code::Success;
inline const QString UnknownCommand = QStringLiteral("1000");
inline const QString StaleRevision = QStringLiteral("1001");
inline const QString MalformedTimeFrame = QStringLiteral("1002");
inline const QString MissingDirectory = QStringLiteral("1003");
inline const QString UnknownCamera = QStringLiteral("1004");
inline const QString InvalidArgument = QStringLiteral("1005");
inline const QString StorageFailure = QStringLiteral("1006");
inline const QString UnknownTimeCard = QStringLiteral("1007");
} // namespace Code

} // namespace BackupProtocol
