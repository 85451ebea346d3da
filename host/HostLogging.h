// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QLoggingCategory>

// Warnings are shown by default; the programs switch info and debug on with --trace.
Q_DECLARE_LOGGING_CATEGORY(lcHost)
Q_DECLARE_LOGGING_CATEGORY(lcFramework)
