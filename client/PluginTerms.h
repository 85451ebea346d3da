// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "BackupWords.h"

#include <QString>

// The plug-in's words as the front ends see them: the shared words of the connection (commands,
// result codes, backup states, the all-cameras tag, plug-in ids) and the keys of a camera entry
// that the settings page hands to the plug-in's updateBackupInfo.
namespace PluginTerms {

using namespace BackupWords;

namespace PageCamera {
inline const QString Name = QStringLiteral("Name");
inline const QString GroupId = QStringLiteral("GrpID");
} // namespace PageCamera

} // namespace PluginTerms
