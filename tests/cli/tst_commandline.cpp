// SPDX-License-Identifier: BSD-3-Clause
// Parsing the command line. A refusal is Action::Error, which the program exits with as 2.

#include "CommandLine.h"
#include "Table.h"

#include <QtTest>

using Action = CommandLineResult::Action;

namespace {

// As the program parses its argv: bytes that are not UTF-8 are kept for the file names.
CommandLineResult parse(QByteArrayList arguments)
{
    arguments.prepend("schedule-backup-host");
    std::vector<const char*> argv;
    for (const QByteArray& argument : std::as_const(arguments))
        argv.push_back(argument.constData());
    return parseCommandLine(HostOptionSet::arguments(int(argv.size()), argv.data()));
}

// A file name's bytes, and "(text)" when it reads as UTF-8 text the way it always did.
QString nameBytes(const QString& name)
{
    const QByteArray bytes = HostOptionSet::encodeName(name);
    return bytes.toPercentEncoding("/ ") + (name == QString::fromUtf8(bytes) ? " (text)" : "");
}

// The outcome in words: the refusal, a command's help (the options it lists and its example), or
// the command and every value that was taken.
QString described(const CommandLineResult& result)
{
    if (result.action == Action::Error)
        return "error: " + result.text;
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
    for (const auto& [name, file] :
         {std::pair {"data", r.host.dataDir}, {"trace-file", r.traceFile}}) {
        if (!file.isEmpty())
            words.append(QString(name) + '=' + nameBytes(file));
    }
    if (r.json)
        words.append("json");
    return words.join(' ');
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

    using ParseCases = Table<QByteArrayList, QString>; // the arguments, described()

    // File names keep their bytes; other values must be UTF-8.
    static void nameRows()
    {
        const auto row = &ParseCases::row;
        row("a Latin-1 byte in --data", {"show", "--data", "/srv/caf\xe9"},
            "show 5000 data=/srv/caf%E9");
        row("UTF-8 in --data, up to four bytes a character",
            {"show", "--data", "/v\xc3\xa9 \xf0\x9f\x8c\x99\xf0\x90\x82\x80"},
            "show 5000 data=/v%C3%A9 %F0%9F%8C%99%F0%90%82%80 (text)");
        // A lone continuation byte, a cut sequence, an overlong '/', an encoded surrogate, a code
        // point beyond U+10FFFF and bytes that never start one.
        row("bytes that are not UTF-8 in --data",
            {"show", "--data", "/x\x80/\xe2\x82/\xc0\xaf/\xed\xa0\x80/\xf4\x90\x80\x80/\xfe\xff"},
            "show 5000 data=/x%80/%E2%82/%C0%AF/%ED%A0%80/%F4%90%80%80/%FE%FF");
        row("a Latin-1 byte in --trace-file", {"show", "--trace-file", "/tmp/t\xe9"},
            "show 5000 trace-file=/tmp/t%E9");
        row("an empty --data", {"show", "--data", ""}, "error: --data expects a folder");
        row("a Latin-1 byte in a text value", {"set", "--dir", "/srv/caf\xe9"},
            "error: --dir expects UTF-8 text");
        row("a replacement character in a text value", {"set", "--name", "Caf\xef\xbf\xbd"},
            "error: --name expects UTF-8 text");
    }

    // Each class of bad value once, and each number at both bounds and one beyond each.
    static void valueRows()
    {
        const auto row = &ParseCases::row;
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
                    {"set", "--enabled", "on", "--" + option.toUtf8(), QByteArray::number(n)},
                    n < least || n > most ? "error: " + error : taken);
            }
        }
    }

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
        row("an option of another command", {"show", "--dir", "/x"},
            "error: --dir does not apply to show");
        row("--json where there is none", {"set", "--json"}, "error: --json does not apply to set");
        nameRows();
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
        valueRows();
    }

    void parses()
    {
        const auto [arguments, outcome] = ParseCases::fetch();
        QCOMPARE(described(parse(arguments)), outcome);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
