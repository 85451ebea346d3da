#include "ServiceLogging.h"

Q_LOGGING_CATEGORY(lcService, "schedulebackup.service", QtWarningMsg)
