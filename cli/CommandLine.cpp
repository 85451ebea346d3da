#include "CommandLine.h"

#include "BackupProtocol.h"
#include "ServiceLimits.h"
#include "WeekSchedule.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>

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
        "Schedules: \"Mon-Fri 09:00-17:00; Sat 10:00-12:30\", days Sun..Sat or \"daily\",\n"
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

// No control characters at all, tab and line breaks included: they would break the one-line rows
// of `show`, and a carriage return reads back from the service's XML as a line feed. The service
// only refuses what XML cannot hold.
bool isPlainText(const QString& text)
{
    return ServiceLimits::isStorableText(text)
        && std::none_of(text.cbegin(), text.cend(),
                        [](QChar c) { return c.category() == QChar::Other_Control; });
}

} // namespace

CommandLineResult parseCommandLine(const QStringList& arguments)
{
    CommandLineResult result;
    auto error = [&result](const QString& text) {
        result.action = CommandLineResult::Action::Error;
        result.text = text;
        return result;
    };

    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    parser.addPositionalArgument(CommandLine::tr("command"), Commands.join(QStringLiteral(", ")));

    const HostOptionSet hostOptions;
    hostOptions.addTo(&parser);
    const QCommandLineOption timeout(
        QStringLiteral("timeout"), CommandLine::tr("How long to wait for a reply (default 5000)."),
        QStringLiteral("ms"), QStringLiteral("5000"));
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   CommandLine::tr("Trace level of the plug-in's log, 0 (off) to 5 "
                                                   "(all); 3 and up also show host diagnostics."),
                                   CommandLine::tr("level"));
    const QCommandLineOption traceFile(QStringLiteral("trace-file"),
                                       CommandLine::tr("Write the plug-in's trace to this file "
                                                       "instead of stderr."),
                                       CommandLine::tr("file"));
    const QCommandLineOption enabled(QStringLiteral("enabled"),
                                     CommandLine::tr("set: scheduled backup on or off."),
                                     QStringLiteral("on|off"));
    const QCommandLineOption dir(QStringLiteral("dir"),
                                 CommandLine::tr("set: target directory of the backup."),
                                 CommandLine::tr("path"));
    const QCommandLineOption cyclic(QStringLiteral("cyclic"),
                                    CommandLine::tr("set: overwrite the oldest backups when full."),
                                    QStringLiteral("on|off"));
    const QCommandLineOption throughput(QStringLiteral("throughput"),
                                        CommandLine::tr("set: throughput limit, 0..1000000 MB."),
                                        QStringLiteral("MB"));
    const QCommandLineOption range(QStringLiteral("range"),
                                   CommandLine::tr("set: range limit, 0..3650 days."),
                                   CommandLine::tr("days"));
    const QCommandLineOption cameras(QStringLiteral("cameras"),
                                     CommandLine::tr("set: cameras to back up, \"all\" or ids "
                                                     "separated by commas (cam-01,cam-02)."),
                                     QStringLiteral("ids|all"));
    const QCommandLineOption schedule(QStringLiteral("schedule"),
                                      CommandLine::tr("set, schedule: the weekly backup windows."),
                                      CommandLine::tr("windows"));
    const QCommandLineOption name(QStringLiteral("name"),
                                  CommandLine::tr("set, schedule: name of the schedule."),
                                  CommandLine::tr("name"));
    const QCommandLineOption at(QStringLiteral("at"),
                                CommandLine::tr("next: local date-time to start from "
                                                "(ISO, e.g. 2026-12-07T08:00; default now)."),
                                CommandLine::tr("datetime"));
    parser.addOptions({timeout, trace, traceFile, enabled, dir, cyclic, throughput, range, cameras,
                       schedule, name, at});

    if (!parser.parse(arguments))
        return error(parser.errorText());
    if (parser.isSet(helpOption)) {
        result.action = CommandLineResult::Action::Help;
        result.text = parser.helpText();
        return result;
    }
    if (parser.isSet(versionOption)) {
        result.action = CommandLineResult::Action::Version;
        return result;
    }
    // Only these file names are used as bytes; anything else that is not UTF-8 would be changed.
    for (const QString& option : parser.optionNames()) {
        if (option == QLatin1String("data") || option == QLatin1String("trace-file"))
            continue;
        for (const QString& value : parser.values(option)) {
            if (HostOptionSet::encodeName(value) != value.toUtf8())
                return error(CommandLine::tr("--%1 expects UTF-8 text").arg(option));
        }
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1 || !Commands.contains(positional.first()))
        return error(
            CommandLine::tr("expected one command: %1").arg(Commands.join(QStringLiteral(", "))));
    CommandRequest& request = result.request;
    request.command = positional.first();

    // Options of one command are errors with another, so a typo never goes unnoticed.
    const QList<std::pair<QCommandLineOption, QStringList>> scopes = {
        {enabled, {QStringLiteral("set")}},
        {dir, {QStringLiteral("set")}},
        {cyclic, {QStringLiteral("set")}},
        {throughput, {QStringLiteral("set")}},
        {range, {QStringLiteral("set")}},
        {cameras, {QStringLiteral("set")}},
        {schedule, {QStringLiteral("set"), QStringLiteral("schedule")}},
        {name, {QStringLiteral("set"), QStringLiteral("schedule")}},
        {at, {QStringLiteral("next")}},
    };
    for (const auto& [option, commands] : scopes) {
        if (parser.isSet(option) && !commands.contains(request.command))
            return error(CommandLine::tr("--%1 does not apply to %2")
                             .arg(option.names().first(), request.command));
    }

    QString hostError;
    if (!hostOptions.read(parser, &request.host, &hostError))
        return error(hostError);
    const auto timeoutMs = parseNumber(parser.value(timeout), 1, 3600000);
    if (!timeoutMs)
        return error(CommandLine::tr("--timeout expects a positive number of milliseconds"));
    request.timeoutMs = *timeoutMs;
    if (parser.isSet(trace)) {
        request.traceLevel = parseNumber(parser.value(trace), 0, 5);
        if (!request.traceLevel)
            return error(CommandLine::tr("--trace expects a level from 0 to 5"));
    }
    request.traceFile = parser.value(traceFile);

    if (parser.isSet(enabled) && !(request.enabled = parseSwitch(parser.value(enabled))))
        return error(CommandLine::tr("--enabled expects on or off"));
    if (parser.isSet(cyclic) && !(request.cyclic = parseSwitch(parser.value(cyclic))))
        return error(CommandLine::tr("--cyclic expects on or off"));
    if (parser.isSet(dir)) {
        const QString value = parser.value(dir);
        if (value.trimmed().isEmpty())
            return error(CommandLine::tr("--dir expects a directory"));
        // The service stores the text as it is; blanks at the ends are almost always a slip.
        if (value.trimmed() != value)
            return error(CommandLine::tr("--dir must not start or end with blanks"));
        if (!isPlainText(value))
            return error(CommandLine::tr("--dir must not contain control characters"));
        request.dir = value;
    }
    if (parser.isSet(throughput)
        && !(request.throughputMB
             = parseNumber(parser.value(throughput), 0, ServiceLimits::MaxThroughputMB)))
        return error(
            CommandLine::tr("--throughput expects 0 to %1 MB").arg(ServiceLimits::MaxThroughputMB));
    if (parser.isSet(range)
        && !(request.rangeDays = parseNumber(parser.value(range), 0, ServiceLimits::MaxRangeDays)))
        return error(
            CommandLine::tr("--range expects 0 to %1 days").arg(ServiceLimits::MaxRangeDays));
    if (parser.isSet(cameras)) {
        const QString value = parser.value(cameras).trimmed();
        QStringList ids;
        if (value.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0) {
            ids = {BackupProtocol::AllCamerasTag};
        } else {
            for (const QString& id : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                if (!ids.contains(id.trimmed()) && !id.trimmed().isEmpty())
                    ids.append(id.trimmed());
            }
        }
        if (!isPlainText(ids.join(QLatin1Char(','))))
            return error(CommandLine::tr("--cameras must not contain control characters"));
        if (ids.isEmpty())
            return error(CommandLine::tr("--cameras expects \"all\" or camera ids"));
        request.cameras = ids;
    }
    if (parser.isSet(schedule)) {
        const WeekSchedule parsed = WeekSchedule::parse(parser.value(schedule));
        if (!parsed.isValid())
            return error(CommandLine::tr("--schedule: %1").arg(parsed.errorText()));
        request.scheduleJson = parsed.toRectangleJson();
    }
    if (parser.isSet(name)) {
        const QString value = parser.value(name);
        if (!isPlainText(value))
            return error(CommandLine::tr("--name must not contain control characters"));
        request.scheduleName = value;
    }
    const bool changesSomething = request.enabled || request.cyclic || request.dir
        || request.throughputMB || request.rangeDays || request.cameras || request.scheduleJson
        || request.scheduleName;
    if (request.command == QLatin1String("set") && !changesSomething)
        return error(CommandLine::tr("set needs at least one setting option"));
    if (request.command == QLatin1String("schedule") && !request.scheduleJson)
        return error(CommandLine::tr("schedule needs --schedule"));
    if (parser.isSet(at)) {
        QDateTime moment = QDateTime::fromString(parser.value(at), Qt::ISODate);
        if (!moment.isValid())
            moment = QDateTime::fromString(parser.value(at), QStringLiteral("yyyy-MM-dd HH:mm"));
        if (!moment.isValid())
            return error(CommandLine::tr("--at expects a date-time like 2026-12-07T08:00"));
        // The next start is counted in milliseconds since 1970 and printed with four-digit years.
        if (moment.date().year() < 1970 || moment.date().year() > 9998)
            return error(CommandLine::tr("--at must lie between the years 1970 and 9998"));
        request.at = moment;
    }
    return result;
}
