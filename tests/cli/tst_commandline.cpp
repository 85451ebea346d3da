// SPDX-License-Identifier: BSD-3-Clause
// Parsing the command line. A refusal is Action::Error, which the program exits with as 2.

#include "CommandLine.h"
#include "Table.h"

#include <QtTest>

using Action = CommandLineResult::Action;

namespace {

CommandLineResult parse(const QStringList& arguments)
{
    return parseCommandLine(QStringList {"schedule-backup-host"} + arguments);
}

// The outcome in words: the refusal, or the command and every value that was taken.
QString described(const CommandLineResult& result)
{
    if (result.action == Action::Error)
        return "error: " + result.text;
    // A command's help: the options it lists and its example.
    if (result.action == Action::Help) {
        QStringList words {"help"};
        for (const auto& match :
             QRegularExpression("^  (--[a-z-]+)", QRegularExpression::MultilineOption)
                 .globalMatch(result.text))
            words.append(match.captured(1));
        return words.join(' ') + " | " + result.text.section("Example:\n  ", 1).section('\n', 0, 0);
    }
    const CommandRequest& r = result.request;
    QStringList words {r.command, QString::number(r.timeoutMs)};
    const auto add = [&words](const char* name, const auto& value, auto text) {
        if (value)
            words.append(QString(name) + '=' + text(*value));
    };
    const auto number = [](int value) { return QString::number(value); };
    const auto same = [](const QString& value) { return value; };
    add("enabled", r.enabled, [](bool on) { return QString(on ? "on" : "off"); });
    add("dir", r.dir, same);
    add("throughput", r.throughputMB, number);
    add("range", r.rangeDays, number);
    add("trace", r.traceLevel, number);
    add("schedule", r.scheduleJson, same);
    add("name", r.scheduleName, same);
    add("at", r.at, [](const QDateTime& at) { return at.toString(Qt::ISODate); });
    add("group", r.group, same);
    if (r.json)
        words.append("json");
    return words.join(' ');
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

    using ParseCases = Table<QStringList, QString>; // the arguments, described()
    // The arguments, what --data or --trace-file gives back as bytes, the error.
    using NameCases = Table<QByteArrayList, QByteArray, QString>;

private Q_SLOTS:
    void parses_data()
    {
        ParseCases::columns();
        const auto row = &ParseCases::row;
        const QString years = "error: --at must lie between the years 1970 and 9998";
        const QString control = "must not contain control characters";
        const QString commands = "show, set, schedule, next, status, cameras";
        row("no command", {}, "error: expected a command: " + commands);
        row("an unknown command, named with the commands", {"shwo", "--help"},
            "error: unknown command \"shwo\"; the commands are " + commands);
        row("a second command", {"show", "status"}, "error: unexpected argument \"status\"");
        row("the help of one command lists its options only, with an example", {"set", "--help"},
            "help --enabled --dir --cyclic --throughput --range --cameras --schedule --name | "
            "schedule-backup-host set --enabled on --dir /mnt/nas/video --throughput 50");
        row("cameras of a group as JSON", {"cameras", "--group", "grp-lobby", "--json"},
            "cameras 5000 group=grp-lobby json");
        // Each class of bad value once.
        row("a blank before a number", {"set", "--range", " 5"},
            "error: --range expects 0 to 3650 days");
        row("a number with a sign", {"show", "--timeout", "+100"},
            "error: --timeout expects a positive number of milliseconds");
        row("minus zero", {"show", "--latency", "-0"}, "error: --latency expects milliseconds");
        row("digits that are not ASCII", {"set", "--throughput", "٥"},
            "error: --throughput expects 0 to 1000000 MB");
        row("a switch that is neither on nor off", {"set", "--enabled", "yes"},
            "error: --enabled expects on or off");
        row("a switch in capitals", {"set", "--cyclic", "ON"}, "error: --cyclic expects on or off");
        row("all beside camera ids", {"set", "--cameras", "all,cam-01"},
            "error: --cameras expects \"all\" alone or camera ids without control characters");
        row("set without a setting option", {"set", "--timeout", "100"},
            "error: set needs at least one setting option");
        row("schedule with a name only", {"schedule", "--name", "Night"},
            "error: schedule needs --schedule");
        row("a schedule that names no window", {"set", "--schedule", ";"},
            "error: --schedule: no backup windows (use \"none\" for no backup windows)");
        row("a schedule in the schedule syntax", {"schedule", "--schedule", "Sat 9:00-9:30"},
            R"(schedule 5000 schedule={"Rectangles":[{"Top":9,"Bottom":9.5,"Left":6,"Right":7}]})");
        row("a camera id with a line feed", {"set", "--cameras", "cam-01,cam\n02"},
            "error: --cameras expects \"all\" alone or camera ids without control characters");
        row("a directory with an escape character", {"set", "--dir", "/mnt/\x1b[2J"},
            "error: --dir " + control);
        row("a directory of blanks", {"set", "--dir", "  "}, "error: --dir expects a directory");
        row("a name with a tab", {"set", "--name", "Shop\thours"}, "error: --name " + control);
        // Texts are kept as given, but for the blanks around a directory.
        row("texts", {"set", "--dir", " /mnt/a&b/vidéo ", "--name", "<b>&</b> Night \U0001F319"},
            "set 5000 dir=/mnt/a&b/vidéo name=<b>&</b> Night \U0001F319");
        row("a moment in 1969", {"next", "--at", "1969-12-31T23:59"}, years);
        row("a moment in 9999", {"next", "--at", "9999-01-01T00:00"}, years);
        row("the thirtieth of February", {"next", "--at", "2026-02-30T08:00"},
            "error: --at expects a date-time like 2026-12-07T08:00");
        row("the first moment", {"next", "--at", "1970-01-01T00:00"},
            "next 5000 at=1970-01-01T00:00:00");
        row("the last moment", {"next", "--at", "9998-12-31 23:30"},
            "next 5000 at=9998-12-31T23:30:00");
        // Each number at both bounds and one beyond each.
        const QList<std::tuple<QString, int, int, QString>> numbers
            = {{"throughput", 0, 1000000, "--throughput expects 0 to 1000000 MB"},
               {"range", 0, 3650, "--range expects 0 to 3650 days"},
               {"timeout", 1, 3600000, "--timeout expects a positive number of milliseconds"},
               {"trace", 0, 5, "--trace expects a level from 0 to 5"}};
        for (const auto& [option, least, most, error] : numbers) {
            for (const int n : {least - 1, least, most, most + 1}) {
                const QString taken = option == "timeout"
                    ? QString("set %1 enabled=on").arg(n)
                    : QString("set 5000 enabled=on %1=%2").arg(option).arg(n);
                row(QString("--%1 %2").arg(option).arg(n),
                    {"set", "--enabled", "on", "--" + option, QString::number(n)},
                    n < least || n > most ? "error: " + error : taken);
            }
        }
    }

    void parses()
    {
        const auto [arguments, outcome] = ParseCases::fetch();
        QCOMPARE(described(parse(arguments)), outcome);
    }

    void optionsApplyToTheirCommandsOnly()
    {
        const QList<QStringList> options
            = {{"--enabled", "on"},    {"--dir", "/mnt/x"}, {"--cyclic", "off"},
               {"--throughput", "10"}, {"--range", "3"},    {"--cameras", "all"},
               {"--schedule", "none"}, {"--name", "Night"}, {"--at", "2026-12-07T08:00"},
               {"--group", "grp-a"},   {"--json"}};
        QStringList taken; // "option command" for every pair that is not refused for its scope
        for (const QStringList& option : options) {
            for (const QString& command : commandNames()) {
                if (parse(QStringList {command} + option).text
                    != option.first() + " does not apply to " + command)
                    taken.append(option.first() + ' ' + command);
            }
        }
        QCOMPARE(
            taken,
            QStringList({"--enabled set", "--dir set", "--cyclic set", "--throughput set",
                         "--range set", "--cameras set", "--schedule set", "--schedule schedule",
                         "--name set", "--name schedule", "--at next", "--group cameras",
                         "--json show", "--json next", "--json status", "--json cameras"}));
    }

    void fileNamesKeepTheirBytes_data()
    {
        NameCases::columns();
        const auto row = [](const char* tag, const QByteArray& option, const QByteArray& value,
                            const QString& error = QString()) {
            NameCases::row(tag, {"show", option, value}, error.isNull() ? value : QByteArray(),
                           error);
        };
        row("a Latin-1 byte in --data", "--data", "/srv/caf\xe9");
        row("UTF-8 in --data, up to four bytes a character", "--data",
            "/srv/vid\xc3\xa9o \xf0\x9f\x8c\x99\xf0\x90\x82\x80");
        // A lone continuation byte, a cut sequence, an overlong '/', an encoded surrogate, a code
        // point beyond U+10FFFF and bytes that never start one.
        row("bytes that are not UTF-8 in --data", "--data",
            "/x\x80/\xe2\x82/\xc0\xaf/\xed\xa0\x80/\xf4\x90\x80\x80/\xfe\xff");
        row("a Latin-1 byte in --trace-file", "--trace-file", "/tmp/trace-\xe9.log");
        row("an empty --data", "--data", "", "--data expects a folder");
        NameCases::row("a Latin-1 byte in a text value", {"set", "--dir", "/srv/caf\xe9"}, {},
                       "--dir expects UTF-8 text");
        NameCases::row("a replacement character in a text value",
                       {"set", "--name", "Caf\xef\xbf\xbd"}, {}, "--name expects UTF-8 text");
    }

    void fileNamesKeepTheirBytes()
    {
        auto [arguments, name, error] = NameCases::fetch();

        arguments.prepend("schedule-backup-host");
        std::vector<const char*> argv;
        for (const QByteArray& argument : arguments)
            argv.push_back(argument.constData());
        const CommandLineResult result
            = parseCommandLine(HostOptionSet::arguments(int(argv.size()), argv.data()));
        QCOMPARE(result.text, error);
        if (name.isNull())
            return;
        const CommandRequest& request = result.request;
        const QString value
            = request.host.dataDir.isEmpty() ? request.traceFile : request.host.dataDir;
        QCOMPARE(HostOptionSet::encodeName(value), name);
        // Valid UTF-8 reads as it always did.
        if (QFile::encodeName(QFile::decodeName(name)) == name)
            QCOMPARE(value, QFile::decodeName(name));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
