// SPDX-License-Identifier: BSD-3-Clause

#include "ServiceLogging.h"

Q_LOGGING_CATEGORY(lcService, "schedulebackup.service", QtWarningMsg)
