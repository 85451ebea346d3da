// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QString>

// Names the plug-in exchanges with the server. Values are case-sensitive and compared exactly.
namespace PluginScheduleBackupCommon {

// Commands
inline const QString REQUEST_GET_BACKUP_TIME_CARD = QStringLiteral("GetBkpTmcard");
inline const QString REQUEST_GET_BACKUP_PATH = QStringLiteral("GetBackupPath");
inline const QString REQUEST_GET_BACKUP_STATUS = QStringLiteral("GetBackupStatus");
inline const QString REQUEST_UPD_BACKUP_TIME_CARD = QStringLiteral("UpdBkpTmcard");
inline const QString REQUEST_UPD_SCHEDULE = QStringLiteral("UpdSchedule");

// Argument keys of the two update commands
inline const QString ARG_REVISION = QStringLiteral("Revision");
inline const QString ARG_TMCARD_ID = QStringLiteral("TmcardID");
inline const QString ARG_TMCARD_NAME = QStringLiteral("Name");
inline const QString ARG_TARGET_CYCLIC = QStringLiteral("TargetCyclic");
inline const QString ARG_ENABLED = QStringLiteral("Enabled");
inline const QString ARG_TARGET_DIR = QStringLiteral("Dir");
inline const QString ARG_MAX_THROUGHPUT = QStringLiteral("MaxThroughput");
inline const QString ARG_MAX_RANGE = QStringLiteral("MaxRange");
inline const QString ARG_CAM_GROUP_LIST = QStringLiteral("CamGroupList");
inline const QString ARG_CAMID = QStringLiteral("CamID");
inline const QString ARG_GROUPID = QStringLiteral("GroupID");
inline const QString ARG_TIME_FRAME_MSG = QStringLiteral("TimeFrameMessage");
inline const QString ARG_TMFRAME_NAME = QStringLiteral("TmFrameName");
inline const QString ARG_TMFRAME_JSON = QStringLiteral("TmFrameJson");

} // namespace PluginScheduleBackupCommon
