// SPDX-License-Identifier: BSD-3-Clause

#include "CommandLine.h"

#include "BackupRules.h"
#include "PluginTerms.h"
#include "WeekSchedule.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

// The translation context of the command line's help and messages.
struct CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

QString description()
{
    return CommandLine::tr(
        "Demo host for the scheduled-backup settings plug-in. It loads the plug-in, runs an\n"
        "embedded backup service and drives the plug-in the way its settings page does.\n"
        "\n"
        "Commands:\n"
        "  show                     Print the backup settings, path, status and next start.\n"
        "  set [setting options]    Change settings (--enabled, --dir, --cyclic, --throughput,\n"
        "                           --range, --cameras, --schedule, --name); others are kept.\n"
        "  schedule --schedule S    Store a new schedule only (optionally --name).\n"
        "  next [--at DATETIME]     Print the next scheduled backup start in local time.\n"
        "  status                   Print the running backup's status and progress.\n"
        "\n"
        "Schedules: \"Mon-Fri 09:00-17:00; Sat 10:00-12:30\", days Sun..Sat (in English or\n"
        "your language) or \"daily\",\n"
        "times on whole or half hours up to 24:00, several windows as "
        "\"08:00-12:00,13:00-17:00\";\n"
        "\"none\" clears the schedule.\n"
        "\n"
        "Exit codes: 0 success, 1 host could not start, 2 bad options, 3 request refused by the\n"
        "plug-in, 4 request failed (the service's reason is printed), 5 no reply in time.");
}

const QStringList Commands
    = {QStringLiteral("show"), QStringLiteral("set"), QStringLiteral("schedule"),
       QStringLiteral("next"), QStringLiteral("status")};

// Every option of the program, the host's included.
struct Options
{
    HostOptionSet host;
    QCommandLineOption timeout {QStringLiteral("timeout"),
                                CommandLine::tr("How long to wait for a reply (default 5000)."),
                                QStringLiteral("ms"), QStringLiteral("5000")};
    QCommandLineOption trace {QStringLiteral("trace"),
                              CommandLine::tr("Trace level of the plug-in's log, 0 (off) to 5 "
                                              "(all); 3 and up also show host diagnostics."),
                              CommandLine::tr("level")};
    QCommandLineOption traceFile {QStringLiteral("trace-file"),
                                  CommandLine::tr("Write the plug-in's trace to this file "
                                                  "instead of stderr."),
                                  CommandLine::tr("file")};
    QCommandLineOption enabled {QStringLiteral("enabled"),
                                CommandLine::tr("set: scheduled backup on or off."),
                                QStringLiteral("on|off")};
    QCommandLineOption dir {QStringLiteral("dir"),
                            CommandLine::tr("set: target directory of the backup."),
                            CommandLine::tr("path")};
    QCommandLineOption cyclic {QStringLiteral("cyclic"),
                               CommandLine::tr("set: overwrite the oldest backups when full."),
                               QStringLiteral("on|off")};
    QCommandLineOption throughput {QStringLiteral("throughput"),
                                   CommandLine::tr("set: throughput limit, 0..1000000 MB."),
                                   QStringLiteral("MB")};
    QCommandLineOption range {QStringLiteral("range"),
                              CommandLine::tr("set: range limit, 0..3650 days."),
                              CommandLine::tr("days")};
    QCommandLineOption cameras {QStringLiteral("cameras"),
                                CommandLine::tr("set: cameras to back up, \"all\" or ids "
                                                "separated by commas (cam-01,cam-02)."),
                                QStringLiteral("ids|all")};
    QCommandLineOption schedule {QStringLiteral("schedule"),
                                 CommandLine::tr("set, schedule: the weekly backup windows."),
                                 CommandLine::tr("windows")};
    QCommandLineOption name {QStringLiteral("name"),
                             CommandLine::tr("set, schedule: name of the schedule."),
                             CommandLine::tr("name")};
    QCommandLineOption at {QStringLiteral("at"),
                           CommandLine::tr("next: local date-time to start from "
                                           "(ISO, e.g. 2026-12-07T08:00; default now)."),
                           CommandLine::tr("datetime")};

    void addTo(QCommandLineParser* parser) const
    {
        host.addTo(parser);
        parser->addOptions({timeout, trace, traceFile, enabled, dir, cyclic, throughput, range,
                            cameras, schedule, name, at});
    }
};

std::optional<bool> parseSwitch(const QString& text)
{
    const QString lower = text.toLower();
    if (lower == QLatin1String("on") || lower == QLatin1String("true")
        || lower == QLatin1String("yes"))
        return true;
    if (lower == QLatin1String("off") || lower == QLatin1String("false")
        || lower == QLatin1String("no"))
        return false;
    return std::nullopt;
}

std::optional<int> parseNumber(const QString& text, int minimum, int maximum)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

// Only the file names are used as bytes; any other value that is not UTF-8 would be changed.
QString checkEncoding(const QCommandLineParser& parser, const Options&, CommandRequest*)
{
    for (const QString& option : parser.optionNames()) {
        if (option == QLatin1String("data") || option == QLatin1String("trace-file"))
            continue;
        for (const QString& value : parser.values(option)) {
            if (HostOptionSet::encodeName(value) != value.toUtf8())
                return CommandLine::tr("--%1 expects UTF-8 text").arg(option);
        }
    }
    return QString();
}

// The command, and options of one command are errors with another, so a typo never goes
// unnoticed.
QString readCommand(const QCommandLineParser& parser, const Options& o, CommandRequest* request)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1 || !Commands.contains(positional.first()))
        return CommandLine::tr("expected one command: %1").arg(Commands.join(QStringLiteral(", ")));
    request->command = positional.first();
    const QStringList set = {QStringLiteral("set")};
    const QStringList setOrSchedule = {QStringLiteral("set"), QStringLiteral("schedule")};
    const QList<std::pair<QCommandLineOption, QStringList>> scopes = {
        {o.enabled, set},
        {o.dir, set},
        {o.cyclic, set},
        {o.throughput, set},
        {o.range, set},
        {o.cameras, set},
        {o.schedule, setOrSchedule},
        {o.name, setOrSchedule},
        {o.at, {QStringLiteral("next")}},
    };
    for (const auto& [option, commands] : scopes) {
        if (parser.isSet(option) && !commands.contains(request->command))
            return CommandLine::tr("--%1 does not apply to %2")
                .arg(option.names().first(), request->command);
    }
    return QString();
}

// The host's options, the timeout and the trace.
QString readRunOptions(const QCommandLineParser& parser, const Options& o, CommandRequest* request)
{
    QString hostError;
    if (!o.host.read(parser, &request->host, &hostError))
        return hostError;
    const auto timeoutMs = parseNumber(parser.value(o.timeout), 1, 3600000);
    if (!timeoutMs)
        return CommandLine::tr("--timeout expects a positive number of milliseconds");
    request->timeoutMs = *timeoutMs;
    if (parser.isSet(o.trace)) {
        request->traceLevel = parseNumber(parser.value(o.trace), 0, 5);
        if (!request->traceLevel)
            return CommandLine::tr("--trace expects a level from 0 to 5");
    }
    request->traceFile = parser.value(o.traceFile);
    return QString();
}

// The switches and the limits of `set`.
QString readValues(const QCommandLineParser& parser, const Options& o, CommandRequest* request)
{
    if (parser.isSet(o.enabled) && !(request->enabled = parseSwitch(parser.value(o.enabled))))
        return CommandLine::tr("--enabled expects on or off");
    if (parser.isSet(o.cyclic) && !(request->cyclic = parseSwitch(parser.value(o.cyclic))))
        return CommandLine::tr("--cyclic expects on or off");
    if (parser.isSet(o.throughput)
        && !(request->throughputMB
             = BackupRules::limitValue(parser.value(o.throughput), PluginTerms::MaxThroughputMB)))
        return CommandLine::tr("--throughput expects 0 to %1 MB").arg(PluginTerms::MaxThroughputMB);
    if (parser.isSet(o.range)
        && !(request->rangeDays
             = BackupRules::limitValue(parser.value(o.range), PluginTerms::MaxRangeDays)))
        return CommandLine::tr("--range expects 0 to %1 days").arg(PluginTerms::MaxRangeDays);
    return QString();
}

// The texts of `set` and `schedule`: directory, cameras, schedule and its name.
QString readTexts(const QCommandLineParser& parser, const Options& o, CommandRequest* request)
{
    if (parser.isSet(o.dir)) {
        switch (BackupRules::directoryProblem(parser.value(o.dir))) {
        case BackupRules::DirectoryProblem::Empty:
            return CommandLine::tr("--dir expects a directory");
        case BackupRules::DirectoryProblem::NotPlain:
            return CommandLine::tr("--dir must not contain control characters");
        case BackupRules::DirectoryProblem::None:
            request->dir = BackupRules::enteredDirectory(parser.value(o.dir));
        }
    }
    if (parser.isSet(o.cameras)
        && !(request->cameras = BackupRules::parseCameras(parser.value(o.cameras))))
        return CommandLine::tr("--cameras expects \"all\" or camera ids without control "
                               "characters");
    if (parser.isSet(o.schedule)) {
        const WeekSchedule parsed = WeekSchedule::parse(parser.value(o.schedule));
        if (!parsed.isValid())
            return CommandLine::tr("--schedule: %1").arg(parsed.errorText());
        request->scheduleJson = parsed.toRectangleJson();
    }
    if (parser.isSet(o.name)) {
        if (!BackupRules::isPlainText(parser.value(o.name)))
            return CommandLine::tr("--name must not contain control characters");
        request->scheduleName = parser.value(o.name);
    }
    return QString();
}

QString readMoment(const QCommandLineParser& parser, const Options& o, CommandRequest* request)
{
    if (!parser.isSet(o.at))
        return QString();
    QDateTime moment = QDateTime::fromString(parser.value(o.at), Qt::ISODate);
    if (!moment.isValid())
        moment = QDateTime::fromString(parser.value(o.at), QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!moment.isValid())
        return CommandLine::tr("--at expects a date-time like 2026-12-07T08:00");
    // The next start is counted in milliseconds since 1970 and printed with four-digit years.
    if (moment.date().year() < 1970 || moment.date().year() > 9998)
        return CommandLine::tr("--at must lie between the years 1970 and 9998");
    request->at = moment;
    return QString();
}

QString checkNeeds(const QCommandLineParser&, const Options&, CommandRequest* r)
{
    const CommandRequest& request = *r;
    const bool changesSomething = request.enabled || request.cyclic || request.dir
        || request.throughputMB || request.rangeDays || request.cameras || request.scheduleJson
        || request.scheduleName;
    if (request.command == QLatin1String("set") && !changesSomething)
        return CommandLine::tr("set needs at least one setting option");
    if (request.command == QLatin1String("schedule") && !request.scheduleJson)
        return CommandLine::tr("schedule needs --schedule");
    return QString();
}

} // namespace

CommandLineResult parseCommandLine(const QStringList& arguments)
{
    CommandLineResult result;
    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    parser.addPositionalArgument(CommandLine::tr("command"), Commands.join(QStringLiteral(", ")));
    const Options options;
    options.addTo(&parser);

    QString error;
    if (!parser.parse(arguments)) {
        error = parser.errorText();
    } else if (parser.isSet(helpOption)) {
        result.action = CommandLineResult::Action::Help;
        result.text = parser.helpText();
        return result;
    } else if (parser.isSet(versionOption)) {
        result.action = CommandLineResult::Action::Version;
        return result;
    }
    // Each step reads its options; the first refusal is the answer.
    using Step = QString (*)(const QCommandLineParser&, const Options&, CommandRequest*);
    for (const Step step : {checkEncoding, readCommand, readRunOptions, readValues, readTexts,
                            readMoment, checkNeeds}) {
        if (error.isEmpty())
            error = step(parser, options, &result.request);
    }
    if (!error.isEmpty()) {
        result.action = CommandLineResult::Action::Error;
        result.text = error;
    }
    return result;
}
