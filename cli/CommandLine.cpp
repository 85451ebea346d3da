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
        "Commands (schedule-backup-host <command> --help shows the options of one):\n"
        "%1\n"
        "Schedules: \"Mon-Fri 09:00-17:00; Sat 10:00-12:30\", days Sun..Sat (in English or\n"
        "your language) or \"daily\",\n"
        "times on whole or half hours up to 24:00, several windows as "
        "\"08:00-12:00,13:00-17:00\";\n"
        "\"none\" clears the schedule.\n"
        "\n"
        "Exit codes: 0 success, 1 host could not start, 2 bad options, 3 request refused by the\n"
        "plug-in, 4 request failed (the service's reason is printed), 5 no reply in time.");
}

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
    QCommandLineOption group {QStringLiteral("group"),
                              CommandLine::tr("cameras: only the cameras of this group."),
                              CommandLine::tr("group")};
    QCommandLineOption json {QStringLiteral("json"),
                             CommandLine::tr("show, status, next, cameras: print JSON with "
                                             "fixed English keys, for scripts.")};

    void addTo(QCommandLineParser* parser) const
    {
        host.addTo(parser);
        parser->addOptions({timeout, trace, traceFile, enabled, dir, cyclic, throughput, range,
                            cameras, schedule, name, at, group, json});
    }
};

// A command, the options only it (and maybe others) takes and an example for its help.
struct Command
{
    QString name;
    const char* summary;
    const char* example;
    QList<QCommandLineOption Options::*> options;
};

const QList<Command>& commands()
{
    static const QList<Command> list = {
        {QStringLiteral("show"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "Print the settings, the data folder, the backup path, "
                           "the status and the next start."),
         "schedule-backup-host show --json",
         {&Options::json}},
        {QStringLiteral("set"),
         QT_TRANSLATE_NOOP("CommandLine", "Change settings; the others are kept."),
         "schedule-backup-host set --enabled on --dir /mnt/nas/video --throughput 50",
         {&Options::enabled, &Options::dir, &Options::cyclic, &Options::throughput, &Options::range,
          &Options::cameras, &Options::schedule, &Options::name}},
        {QStringLiteral("schedule"),
         QT_TRANSLATE_NOOP("CommandLine", "Store a new schedule only (--schedule is needed)."),
         "schedule-backup-host schedule --schedule \"Mon-Fri 09:00-17:00\" --name \"Office\"",
         {&Options::schedule, &Options::name}},
        {QStringLiteral("next"),
         QT_TRANSLATE_NOOP("CommandLine", "Print the next scheduled backup start in local time."),
         "schedule-backup-host next --at 2026-12-11T18:00",
         {&Options::at, &Options::json}},
        {QStringLiteral("status"),
         QT_TRANSLATE_NOOP("CommandLine", "Print the running backup's status and progress."),
         "schedule-backup-host status --json",
         {&Options::json}},
        {QStringLiteral("cameras"),
         QT_TRANSLATE_NOOP("CommandLine",
                           "List the cameras of the inventory and whether each is backed up."),
         "schedule-backup-host cameras --group grp-lobby",
         {&Options::group, &Options::json}},
    };
    return list;
}

const Command* findCommand(const QString& name)
{
    for (const Command& command : commands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

QString commandList()
{
    QString text;
    for (const Command& command : commands())
        text += QStringLiteral("  %1 %2\n")
                    .arg(command.name, -9)
                    .arg(CommandLine::tr(command.summary));
    return text;
}

// One command's options and example; the options of every command are in the main help.
QString commandHelp(const Command& command, const Options& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        CommandLine::tr(command.summary) + QStringLiteral("\n\n")
        + CommandLine::tr("Example:\n  %1").arg(QLatin1String(command.example))
        + QStringLiteral("\n\n")
        + CommandLine::tr("The options of every command (--data, --plugin-dir, --latency, "
                          "--timeout, --trace, --trace-file) are in schedule-backup-host --help."));
    parser.addPositionalArgument(command.name, CommandLine::tr("command"), command.name);
    for (const auto member : command.options)
        parser.addOption(options.*member);
    return parser.helpText();
}

// Exactly "on" or "off": a script that says "yes" has a mistake that should not pass.
std::optional<bool> parseSwitch(const QString& text)
{
    if (text == QLatin1String("on"))
        return true;
    if (text == QLatin1String("off"))
        return false;
    return std::nullopt;
}

// Values must arrive unchanged: bytes that are not UTF-8 would be stored as U+FFFD. Only the
// file names are used as bytes.
QString checkEncoding(const QCommandLineParser& parser, const Options& o, CommandRequest*)
{
    // Switches carry no value, and newer Qt warns when asked for one.
    const QStringList switches = o.json.names()
        + QStringList {QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("help-all"),
                       QStringLiteral("v"), QStringLiteral("version")};
    for (const QString& option : parser.optionNames()) {
        if (option == QLatin1String("data") || option == QLatin1String("trace-file")
            || switches.contains(option))
            continue;
        for (const QString& value : parser.values(option)) {
            if (HostOptionSet::encodeName(value) != value.toUtf8()
                || value.contains(QChar::ReplacementCharacter))
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
    if (positional.isEmpty())
        return CommandLine::tr("expected a command: %1")
            .arg(commandNames().join(QStringLiteral(", ")));
    const Command* command = findCommand(positional.first());
    if (!command)
        return CommandLine::tr("unknown command \"%1\"; the commands are %2")
            .arg(positional.first(), commandNames().join(QStringLiteral(", ")));
    if (positional.size() > 1)
        return CommandLine::tr("unexpected argument \"%1\"").arg(positional.at(1));
    request->command = command->name;
    for (const Command& other : commands()) {
        for (const auto member : other.options) {
            const QCommandLineOption& option = o.*member;
            if (parser.isSet(option) && !command->options.contains(member))
                return CommandLine::tr("--%1 does not apply to %2")
                    .arg(option.names().first(), command->name);
        }
    }
    request->json = parser.isSet(o.json);
    return QString();
}

// The host's options, the timeout and the trace.
QString readRunOptions(const QCommandLineParser& parser, const Options& o, CommandRequest* request)
{
    QString hostError;
    if (!o.host.read(parser, &request->host, &hostError))
        return hostError;
    const auto timeoutMs = HostOptionSet::count(parser.value(o.timeout), 1, 3600000);
    if (!timeoutMs)
        return CommandLine::tr("--timeout expects a positive number of milliseconds");
    request->timeoutMs = *timeoutMs;
    if (parser.isSet(o.trace)) {
        request->traceLevel = HostOptionSet::count(parser.value(o.trace), 0, 5);
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
             = HostOptionSet::count(parser.value(o.throughput), 0, PluginTerms::MaxThroughputMB)))
        return CommandLine::tr("--throughput expects 0 to %1 MB").arg(PluginTerms::MaxThroughputMB);
    if (parser.isSet(o.range)
        && !(request->rangeDays
             = HostOptionSet::count(parser.value(o.range), 0, PluginTerms::MaxRangeDays)))
        return CommandLine::tr("--range expects 0 to %1 days").arg(PluginTerms::MaxRangeDays);
    return QString();
}

// "all" stands alone; beside ids it is a mistake, not a camera.
std::optional<BackupRules::CameraChoice> readCameras(const QString& text)
{
    const auto choice = BackupRules::parseCameras(text);
    if (!choice || choice->all)
        return choice;
    for (const QString& id : choice->ids) {
        if (id.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0
            || id == PluginTerms::AllCamerasTag)
            return std::nullopt;
    }
    return choice;
}

// The texts of `set`, `schedule` and `cameras`: directory, cameras, schedule, name and group.
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
    if (parser.isSet(o.cameras) && !(request->cameras = readCameras(parser.value(o.cameras))))
        return CommandLine::tr("--cameras expects \"all\" alone or camera ids without control "
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
    if (parser.isSet(o.group))
        request->group = parser.value(o.group);
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

CommandLineResult answer(CommandLineResult::Action action, const QString& text = QString())
{
    CommandLineResult result;
    result.action = action;
    result.text = text;
    return result;
}

} // namespace

QStringList commandNames()
{
    QStringList names;
    for (const Command& command : commands())
        names.append(command.name);
    return names;
}

QString errorLine(const QString& text)
{
    return QStringLiteral("schedule-backup-host: ") + text;
}

CommandLineResult parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(description().arg(commandList()));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    parser.addPositionalArgument(CommandLine::tr("command"),
                                 commandNames().join(QStringLiteral(", ")));
    const Options options;
    options.addTo(&parser);

    if (!parser.parse(arguments))
        return answer(CommandLineResult::Action::Error, parser.errorText());
    if (parser.isSet(helpOption)) {
        const QStringList positional = parser.positionalArguments();
        if (positional.isEmpty())
            return answer(CommandLineResult::Action::Help, parser.helpText());
        if (const Command* command = findCommand(positional.first()))
            return answer(CommandLineResult::Action::Help, commandHelp(*command, options));
    } else if (parser.isSet(versionOption)) {
        return answer(CommandLineResult::Action::Version);
    }
    // Each step reads its options; the first refusal is the answer.
    CommandLineResult result;
    using Step = QString (*)(const QCommandLineParser&, const Options&, CommandRequest*);
    for (const Step step : {checkEncoding, readCommand, readRunOptions, readValues, readTexts,
                            readMoment, checkNeeds}) {
        if (const QString error = step(parser, options, &result.request); !error.isEmpty())
            return answer(CommandLineResult::Action::Error, error);
    }
    return result;
}
