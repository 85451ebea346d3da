#pragma once

#include <QCommandLineOption>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// Exit codes of schedule-backup-host.
namespace ExitCode {
constexpr int Success = 0;
constexpr int HostFailure = 1; // data folder or plug-in unusable
constexpr int BadOptions = 2;
constexpr int Refused = 3; // the plug-in did not send the request
constexpr int Failed = 4; // the reply reported a failure
constexpr int TimedOut = 5; // no reply in time
} // namespace ExitCode

// What the command line asks for, checked and converted to plug-in units.
struct CommandRequest
{
    QString command; // show, set, schedule, next, status
    QString dataDir;
    QString pluginDir;
    int latencyMs = 0;
    int timeoutMs = 5000;
    std::optional<int> traceLevel;
    QString traceFile;

    std::optional<bool> enabled;
    std::optional<bool> cyclic;
    std::optional<QString> dir;
    std::optional<int> throughputMB;
    std::optional<int> rangeDays;
    std::optional<QStringList> cameras; // {"__allcams__"} for all
    std::optional<QString> scheduleJson;
    std::optional<QString> scheduleName;
    std::optional<QDateTime> at;
};

struct CommandLineResult
{
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    CommandRequest request;
    QString text; // help text or error message
};

// The options every program of the kit shares: the service's data folder, where the plug-ins
// come from and the delay of the service's replies.
struct HostOptions
{
    QCommandLineOption data;
    QCommandLineOption pluginDir;
    QCommandLineOption latency;
};
HostOptions hostOptions();

CommandLineResult parseCommandLine(const QStringList& arguments);
