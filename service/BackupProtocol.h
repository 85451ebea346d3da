#pragma once

#include <QString>

// The words the client and the backup service exchange: command names, argument keys, reply
// elements, result codes and the ids of the client plug-ins. Everything in the kit uses these
// names; none of the texts is typed anywhere else.
namespace BackupProtocol {

// Commands
inline const QString GetTimeCard = QStringLiteral("GetBkpTmcard");
inline const QString GetBackupPath = QStringLiteral("GetBackupPath");
inline const QString GetBackupStatus = QStringLiteral("GetBackupStatus");
inline const QString UpdateTimeCard = QStringLiteral("UpdBkpTmcard");
inline const QString UpdateSchedule = QStringLiteral("UpdSchedule");

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

// A camera as the settings page hands it to the plug-in's updateBackupInfo.
namespace PageCamera {
inline const QString Name = QStringLiteral("Name");
inline const QString GroupId = QStringLiteral("GrpID");
} // namespace PageCamera

// Reply elements and attributes
namespace Reply {
inline const QString TimeCardRoot = QStringLiteral("GetBkpTmcardRes");
inline const QString StatusRoot = QStringLiteral("GetBackupStatusRes");
inline const QString UpdateTimeCardRoot = QStringLiteral("UpdBkpTmcardRes");
inline const QString UpdateScheduleRoot = QStringLiteral("UpdScheduleRes");
inline const QString ServiceRoot = QStringLiteral("ServiceRes");
inline const QString CancelledRoot = QStringLiteral("CommandCancelled");
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

inline const QString True = QStringLiteral("true");
inline const QString False = QStringLiteral("false");
inline QString boolText(bool value)
{
    return value ? True : False;
}

// Result codes. Only "0" means success; the client compares the text exactly.
namespace Code {
inline const QString Success = QStringLiteral("0");
inline const QString UnknownCommand = QStringLiteral("1000");
inline const QString StaleRevision = QStringLiteral("1001");
inline const QString MalformedTimeFrame = QStringLiteral("1002");
inline const QString MissingDirectory = QStringLiteral("1003");
inline const QString UnknownCamera = QStringLiteral("1004");
inline const QString InvalidArgument = QStringLiteral("1005");
inline const QString StorageFailure = QStringLiteral("1006");
inline const QString UnknownTimeCard = QStringLiteral("1007");
// Not sent by the service: the host answers commands it could not deliver before shutting down.
inline const QString Cancelled = QStringLiteral("1099");
} // namespace Code

// Client plug-ins
inline const QString ScheduleBackupPluginId = QStringLiteral("185196A13473421C84A3CE473516AED7");
inline const QString ServerInfoPluginId = QStringLiteral("3CE573D25E0F455B8F75EDDC573E2B64");

} // namespace BackupProtocol
