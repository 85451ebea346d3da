// Parsing the command line: which options go with which command, the accepted values and the
// requests they become. A refusal is Action::Error, which the program turns into exit code 2.

#include "BackupProtocol.h"
#include "CommandLine.h"

#include <QtTest>

using Action = CommandLineResult::Action;

namespace {

const QStringList Commands = {"show", "set", "schedule", "next", "status"};

CommandLineResult parse(const QStringList& arguments)
{
    return parseCommandLine(QStringList {"schedule-backup-host"} + arguments);
}

// The number an option became, or -1 when the request does not carry it.
int numberOf(const CommandRequest& request, const QString& option)
{
    if (option == "throughput")
        return request.throughputMB.value_or(-1);
    if (option == "range")
        return request.rangeDays.value_or(-1);
    if (option == "latency")
        return request.host.latencyMs;
    if (option == "timeout")
        return request.timeoutMs;
    if (option == "trace")
        return request.traceLevel.value_or(-1);
    return -1;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commands_data();
    void commands();
    void optionScope_data();
    void optionScope();
    void numbers_data();
    void numbers();
    void switches_data();
    void switches();
    void cameras_data();
    void cameras();
    void texts_data();
    void texts();
    void at_data();
    void at();
};

void TestCommandLine::commands_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("text"); // part of the help text or the error

    QTest::newRow("no command is an error")
        << QStringList {} << Action::Error << "expected one command";
    QTest::newRow("an unknown command is an error")
        << QStringList {"frobnicate"} << Action::Error << "expected one command";
    QTest::newRow("two commands are an error")
        << QStringList {"show", "next"} << Action::Error << "expected one command";
    QTest::newRow("an unknown option is an error")
        << QStringList {"show", "--bogus"} << Action::Error << "bogus";
    QTest::newRow("help shows the schedule syntax")
        << QStringList {"--help"} << Action::Help << "\"none\" clears the schedule";
    QTest::newRow("version is asked for") << QStringList {"--version"} << Action::Version << "";
    QTest::newRow("set without a setting option is refused")
        << QStringList {"set"} << Action::Error << "set needs at least one setting option";
    QTest::newRow("set with host options only is refused")
        << QStringList {"set", "--data", "/tmp/x", "--timeout", "100"} << Action::Error
        << "set needs at least one setting option";
    QTest::newRow("set with a switch turned off is a change")
        << QStringList {"set", "--enabled", "off"} << Action::Run << "";
    QTest::newRow("set with a zero throughput is a change")
        << QStringList {"set", "--throughput", "0"} << Action::Run << "";
    QTest::newRow("schedule without --schedule is refused")
        << QStringList {"schedule"} << Action::Error << "schedule needs --schedule";
    QTest::newRow("schedule with a name only is refused")
        << QStringList {"schedule", "--name", "Night"} << Action::Error
        << "schedule needs --schedule";
    QTest::newRow("a schedule that names no window is refused")
        << QStringList {"set", "--schedule", ";"} << Action::Error
        << "--schedule: no backup windows";
    QTest::newRow("an option of another command is refused before its value is read")
        << QStringList {"show", "--enabled", "maybe"} << Action::Error
        << "--enabled does not apply to show";
}

void TestCommandLine::commands()
{
    QFETCH(QStringList, arguments);
    QFETCH(Action, action);
    QFETCH(QString, text);

    const CommandLineResult result = parse(arguments);
    QVERIFY2(result.action == action, qPrintable(result.text));
    QVERIFY2(result.text.contains(text), qPrintable(result.text));
    if (action == Action::Run)
        QCOMPARE(result.request.command, arguments.first());
}

void TestCommandLine::optionScope_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");

    const QList<std::pair<QStringList, QStringList>> options = {
        {{"--enabled", "on"}, {"set"}},
        {{"--dir", "/mnt/x"}, {"set"}},
        {{"--cyclic", "off"}, {"set"}},
        {{"--throughput", "10"}, {"set"}},
        {{"--range", "3"}, {"set"}},
        {{"--cameras", "cam-01"}, {"set"}},
        {{"--schedule", "Mon 09:00-10:00"}, {"set", "schedule"}},
        {{"--name", "Night"}, {"set", "schedule"}},
        {{"--at", "2026-12-07T08:00"}, {"next"}},
    };
    for (const auto& [option, scope] : options) {
        for (const QString& command : Commands) {
            const bool accepted = scope.contains(command);
            QStringList arguments = QStringList {command} + option;
            // Let schedule be complete, so that only the option under test can spoil it.
            if (command == "schedule" && option.first() != "--schedule")
                arguments << "--schedule"
                          << "daily 01:00-02:00";
            QTest::addRow("%s is %s with %s", qPrintable(option.first()),
                          accepted ? "accepted" : "refused", qPrintable(command))
                << arguments << accepted;
        }
    }
}

void TestCommandLine::optionScope()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);

    const CommandLineResult result = parse(arguments);
    if (accepted) {
        QVERIFY2(result.action == Action::Run, qPrintable(result.text));
    } else {
        QVERIFY(result.action == Action::Error);
        QCOMPARE(result.text,
                 QStringLiteral("%1 does not apply to %2").arg(arguments[1], arguments[0]));
    }
}

void TestCommandLine::numbers_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("number");

    QTest::newRow("no throughput limit") << "throughput"
                                         << "0" << true << 0;
    QTest::newRow("throughput beyond 2047 MB") << "throughput"
                                               << "4096" << true << 4096;
    QTest::newRow("the largest throughput") << "throughput"
                                            << "1000000" << true << 1000000;
    QTest::newRow("throughput above the largest") << "throughput"
                                                  << "1000001" << false << 0;
    QTest::newRow("negative throughput") << "throughput"
                                         << "-1" << false << 0;
    QTest::newRow("no range limit") << "range"
                                    << "0" << true << 0;
    QTest::newRow("the longest range, ten years") << "range"
                                                  << "3650" << true << 3650;
    QTest::newRow("range above ten years") << "range"
                                           << "3651" << false << 0;
    QTest::newRow("no latency") << "latency"
                                << "0" << true << 0;
    QTest::newRow("an hour of latency") << "latency"
                                        << "3600000" << true << 3600000;
    QTest::newRow("negative latency") << "latency"
                                      << "-1" << false << 0;
    QTest::newRow("latency above an hour") << "latency"
                                           << "3600001" << false << 0;
    QTest::newRow("the shortest timeout") << "timeout"
                                          << "1" << true << 1;
    QTest::newRow("a zero timeout") << "timeout"
                                    << "0" << false << 0;
    QTest::newRow("a timeout in seconds") << "timeout"
                                          << "5s" << false << 0;
    QTest::newRow("trace off") << "trace"
                               << "0" << true << 0;
    QTest::newRow("trace everything") << "trace"
                                      << "5" << true << 5;
    QTest::newRow("trace above everything") << "trace"
                                            << "6" << false << 0;
}

void TestCommandLine::numbers()
{
    QFETCH(QString, option);
    QFETCH(QString, value);
    QFETCH(bool, accepted);
    QFETCH(int, number);

    const bool setting = option == "throughput" || option == "range";
    const CommandLineResult result = parse({setting ? "set" : "show", "--" + option, value});
    if (!accepted) {
        QVERIFY(result.action == Action::Error);
        QVERIFY2(result.text.startsWith("--" + option), qPrintable(result.text));
        return;
    }
    QVERIFY2(result.action == Action::Run, qPrintable(result.text));
    QCOMPARE(numberOf(result.request, option), number);
}

void TestCommandLine::switches_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("on");

    for (const QString option : {"enabled", "cyclic"}) {
        for (const QString value : {"on", "yes", "ON"})
            QTest::addRow("--%s %s is on", qPrintable(option), qPrintable(value))
                << option << value << true << true;
        for (const QString value : {"off", "no", "Off"})
            QTest::addRow("--%s %s is off", qPrintable(option), qPrintable(value))
                << option << value << true << false;
        QTest::addRow("--%s maybe is refused", qPrintable(option))
            << option << "maybe" << false << false;
    }
}

void TestCommandLine::switches()
{
    QFETCH(QString, option);
    QFETCH(QString, value);
    QFETCH(bool, accepted);
    QFETCH(bool, on);

    const CommandLineResult result = parse({"set", "--" + option, value});
    if (!accepted) {
        QVERIFY(result.action == Action::Error);
        QCOMPARE(result.text, QStringLiteral("--%1 expects on or off").arg(option));
        return;
    }
    QVERIFY2(result.action == Action::Run, qPrintable(result.text));
    const std::optional<bool> read
        = option == "enabled" ? result.request.enabled : result.request.cyclic;
    const std::optional<bool> other
        = option == "enabled" ? result.request.cyclic : result.request.enabled;
    QCOMPARE(read, std::optional<bool>(on));
    QVERIFY(!other);
}

void TestCommandLine::cameras_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("cameras"); // empty when refused

    const QString all = BackupProtocol::AllCamerasTag;
    QTest::newRow("all is the all-cameras tag only") << "all" << QStringList {all};
    QTest::newRow("all in capitals with blanks") << " ALL " << QStringList {all};
    QTest::newRow("ids keep their order") << "cam-05,cam-01" << QStringList {"cam-05", "cam-01"};
    QTest::newRow("ids are trimmed, repeats and empty items dropped")
        << " cam-01 , cam-05 ,cam-01,, " << QStringList {"cam-01", "cam-05"};
    QTest::newRow("commas only are refused") << " , ," << QStringList {};
    QTest::newRow("an id with a bell character is refused") << "cam-01,cam\a02" << QStringList {};
    QTest::newRow("an id with a tab inside is refused") << "cam\t01" << QStringList {};
    QTest::newRow("an id with a line feed inside is refused") << "cam-01,cam\n02" << QStringList {};
}

void TestCommandLine::cameras()
{
    QFETCH(QString, value);
    QFETCH(QStringList, cameras);

    const CommandLineResult result = parse({"set", "--cameras", value});
    if (cameras.isEmpty()) {
        QVERIFY(result.action == Action::Error);
        QVERIFY2(result.text.startsWith("--cameras"), qPrintable(result.text));
        return;
    }
    QVERIFY2(result.action == Action::Run, qPrintable(result.text));
    QCOMPARE(result.request.cameras, cameras);
}

void TestCommandLine::texts_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("accepted"); // then carried over exactly

    QTest::newRow("a plain directory") << "dir"
                                       << "/mnt/nas/video" << true;
    QTest::newRow("a directory with markup characters and accents") << "dir"
                                                                    << "/mnt/a&b/<c>/vidéo" << true;
    QTest::newRow("an empty directory") << "dir"
                                        << "" << false;
    QTest::newRow("a blank directory") << "dir"
                                       << "   " << false;
    QTest::newRow("a directory starting with a blank") << "dir"
                                                       << " /mnt" << false;
    QTest::newRow("a directory ending with a blank") << "dir"
                                                     << "/mnt " << false;
    QTest::newRow("a directory with an escape character") << "dir"
                                                          << "/mnt/\x1b[2J" << false;
    QTest::newRow("a directory with a line feed inside") << "dir"
                                                         << "/mnt/a\nb" << false;
    QTest::newRow("a name in markup") << "name"
                                      << "<b>&</b>" << true;
    QTest::newRow("a name with a character outside the BMP") << "name"
                                                             << "Night \U0001F319" << true;
    QTest::newRow("a name with a tab") << "name"
                                       << "Shop\thours" << false;
    QTest::newRow("a name with a line feed") << "name"
                                             << "Shop\nhours" << false;
    QTest::newRow("a name with a delete character") << "name"
                                                    << "Shop\x7fhours" << false;
    QTest::newRow("a name with U+FFFE") << "name" << QString(QChar(0xFFFE)) << false;
    QTest::newRow("a name with U+FFFF") << "name" << QString(QChar(0xFFFF)) << false;
    QTest::newRow("a name with a lone high surrogate")
        << "name"
        << "a" + QString(QChar(0xD83C)) + "b" << false;
}

void TestCommandLine::texts()
{
    QFETCH(QString, option);
    QFETCH(QString, value);
    QFETCH(bool, accepted);

    const CommandLineResult result = parse({"set", "--" + option, value});
    if (!accepted) {
        QVERIFY(result.action == Action::Error);
        QVERIFY2(result.text.startsWith("--" + option), qPrintable(result.text));
        return;
    }
    QVERIFY2(result.action == Action::Run, qPrintable(result.text));
    QCOMPARE(option == "dir" ? result.request.dir : result.request.scheduleName,
             std::optional<QString>(value));
}

void TestCommandLine::at_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QDateTime>("moment"); // invalid when refused
    QTest::addColumn<QString>("error");

    const QString format = "--at expects a date-time like 2026-12-07T08:00";
    const QString years = "--at must lie between the years 1970 and 9998";
    QTest::newRow("ISO date and time")
        << "2026-12-07T08:00" << QDateTime(QDate(2026, 12, 7), QTime(8, 0)) << "";
    QTest::newRow("date and time with a blank")
        << "2026-12-07 08:00" << QDateTime(QDate(2026, 12, 7), QTime(8, 0)) << "";
    QTest::newRow("ISO with seconds")
        << "2026-12-12T18:00:30" << QDateTime(QDate(2026, 12, 12), QTime(18, 0, 30)) << "";
    QTest::newRow("the first moment of 1970")
        << "1970-01-01T00:00" << QDateTime(QDate(1970, 1, 1), QTime(0, 0)) << "";
    QTest::newRow("the last half hour of 9998")
        << "9998-12-31T23:30" << QDateTime(QDate(9998, 12, 31), QTime(23, 30)) << "";
    QTest::newRow("a moment in 1969") << "1969-12-31T23:59" << QDateTime() << years;
    QTest::newRow("a moment in 9999") << "9999-06-01T00:00" << QDateTime() << years;
    QTest::newRow("the thirtieth of February") << "2026-02-30T08:00" << QDateTime() << format;
    QTest::newRow("a time past midnight") << "2026-12-07T24:30" << QDateTime() << format;
    QTest::newRow("a word") << "tomorrow" << QDateTime() << format;
}

void TestCommandLine::at()
{
    QFETCH(QString, value);
    QFETCH(QDateTime, moment);
    QFETCH(QString, error);

    const CommandLineResult result = parse({"next", "--at", value});
    if (!moment.isValid()) {
        QVERIFY(result.action == Action::Error);
        QCOMPARE(result.text, error);
        return;
    }
    QVERIFY2(result.action == Action::Run, qPrintable(result.text));
    QCOMPARE(result.request.at, std::optional<QDateTime>(moment));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
