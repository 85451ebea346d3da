// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QtGlobal>

// The library is built with hidden visibility: what hosts and white-box tests link against is the
// plug-in class, marked with this, and the trace globals (PluginScheduleBackup_Log.h).
#if defined(PLUGINSCHEDULEBACKUP_LIBRARY)
#define PLUGINSCHEDULEBACKUP_EXPORT Q_DECL_EXPORT
#else
#define PLUGINSCHEDULEBACKUP_EXPORT Q_DECL_IMPORT
#endif
