#include "HostLogging.h"

Q_LOGGING_CATEGORY(lcHost, "schedulebackup.host", QtWarningMsg)
Q_LOGGING_CATEGORY(lcFramework, "schedulebackup.framework", QtWarningMsg)
