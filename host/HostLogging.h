#pragma once

#include <QLoggingCategory>

// Warnings are shown by default; info and debug are switched on by --trace.
Q_DECLARE_LOGGING_CATEGORY(lcHost)
Q_DECLARE_LOGGING_CATEGORY(lcFramework)
Q_DECLARE_LOGGING_CATEGORY(lcService)
