// SPDX-License-Identifier: BSD-3-Clause

#include "HostLogging.h"

Q_LOGGING_CATEGORY(lcHost, "schedulebackup.host", QtWarningMsg)
Q_LOGGING_CATEGORY(lcFramework, "schedulebackup.framework", QtWarningMsg)
