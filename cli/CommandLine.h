// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "BackupRules.h"
#include "ExitCodes.h"
#include "HostOptions.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks for, checked and converted to plug-in units.
struct CommandRequest
{
    QString command; // one of commandNames()
    HostOptions host;
    int timeoutMs = 5000;
    std::optional<int> traceLevel;
    QString traceFile;

    std::optional<bool> enabled;
    std::optional<bool> cyclic;
    std::optional<QString> dir;
    std::optional<int> throughputMB;
    std::optional<int> rangeDays;
    std::optional<BackupRules::CameraChoice> cameras;
    std::optional<QString> scheduleJson;
    std::optional<QString> scheduleName;
    std::optional<QDateTime> at;
    std::optional<QString> group;
    bool json = false; // show, status, next, cameras: print JSON for scripts
};

struct CommandLineResult
{
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    CommandRequest request;
    QString text; // help text or error message
};

CommandLineResult parseCommandLine(const QStringList& arguments);

QStringList commandNames();

// A line for standard error: every error of the program starts the same way.
QString errorLine(const QString& text);
