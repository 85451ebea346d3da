// Parsing the command line: which options go with which command, the accepted values and the
// requests they become. A refusal is Action::Error, which the program turns into exit code 2.

#include "BackupProtocol.h"
#include "CommandLine.h"

#include <QtTest>

using Action = CommandLineResult::Action;

namespace {

CommandLineResult parse(const QStringList& arguments)
{
    return parseCommandLine(QStringList {"schedule-backup-host"} + arguments);
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refuses_data();
    void refuses();
    void optionsApplyToTheirCommandsOnly();
    void numbersAtTheirBounds_data();
    void numbersAtTheirBounds();
    void allCamerasIsTheTagAlone();
    void cameraIdsKeepTheirOrderWithoutRepeats();
    void textsAreKeptAsGiven();
    void atTakesTheFirstAndTheLastYear();
};

void TestCommandLine::refuses_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");

    const QString years = "--at must lie between the years 1970 and 9998";
    const QString control = "must not contain control characters";
    QTest::newRow("no command") << QStringList {}
                                << "expected one command: show, set, schedule, next, status";
    QTest::newRow("set without a setting option")
        << QStringList {"set", "--timeout", "100"} << "set needs at least one setting option";
    QTest::newRow("schedule with a name only")
        << QStringList {"schedule", "--name", "Night"} << "schedule needs --schedule";
    QTest::newRow("a schedule that names no window")
        << QStringList {"set", "--schedule", ";"}
        << "--schedule: no backup windows (use \"none\" for no backup windows)";
    QTest::newRow("negative throughput")
        << QStringList {"set", "--throughput", "-1"} << "--throughput expects 0 to 1000000 MB";
    QTest::newRow("throughput above the largest")
        << QStringList {"set", "--throughput", "1000001"} << "--throughput expects 0 to 1000000 MB";
    QTest::newRow("a negative range")
        << QStringList {"set", "--range", "-1"} << "--range expects 0 to 3650 days";
    QTest::newRow("a range above ten years")
        << QStringList {"set", "--range", "3651"} << "--range expects 0 to 3650 days";
    QTest::newRow("a zero timeout") << QStringList {"show", "--timeout", "0"}
                                    << "--timeout expects a positive number of milliseconds";
    QTest::newRow("a timeout above an hour")
        << QStringList {"show", "--timeout", "3600001"}
        << "--timeout expects a positive number of milliseconds";
    QTest::newRow("a negative trace level")
        << QStringList {"show", "--trace", "-1"} << "--trace expects a level from 0 to 5";
    QTest::newRow("a trace level above everything")
        << QStringList {"show", "--trace", "6"} << "--trace expects a level from 0 to 5";
    QTest::newRow("commas instead of cameras")
        << QStringList {"set", "--cameras", " , ,"} << "--cameras expects \"all\" or camera ids";
    QTest::newRow("a camera id with a line feed")
        << QStringList {"set", "--cameras", "cam-01,cam\n02"} << "--cameras " + control;
    QTest::newRow("a directory with an escape character")
        << QStringList {"set", "--dir", "/mnt/\x1b[2J"} << "--dir " + control;
    QTest::newRow("a directory ending with a blank")
        << QStringList {"set", "--dir", "/mnt "} << "--dir must not start or end with blanks";
    QTest::newRow("a name with a tab")
        << QStringList {"set", "--name", "Shop\thours"} << "--name " + control;
    QTest::newRow("a moment in 1969") << QStringList {"next", "--at", "1969-12-31T23:59"} << years;
    QTest::newRow("a moment in 9999") << QStringList {"next", "--at", "9999-01-01T00:00"} << years;
    QTest::newRow("the thirtieth of February") << QStringList {"next", "--at", "2026-02-30T08:00"}
                                               << "--at expects a date-time like 2026-12-07T08:00";
}

void TestCommandLine::refuses()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);

    const CommandLineResult result = parse(arguments);
    QVERIFY(result.action == Action::Error);
    QCOMPARE(result.text, error);
}

void TestCommandLine::optionsApplyToTheirCommandsOnly()
{
    const QList<QStringList> options
        = {{"--enabled", "on"},    {"--dir", "/mnt/x"}, {"--cyclic", "off"},
           {"--throughput", "10"}, {"--range", "3"},    {"--cameras", "all"},
           {"--schedule", "none"}, {"--name", "Night"}, {"--at", "2026-12-07T08:00"}};
    QStringList taken; // "option command" for every pair that is not refused for its scope
    for (const QStringList& option : options) {
        for (const QString command : {"show", "set", "schedule", "next", "status"}) {
            if (parse(QStringList {command} + option).text
                != option.first() + " does not apply to " + command)
                taken.append(option.first() + ' ' + command);
        }
    }
    QCOMPARE(taken,
             QStringList({"--enabled set", "--dir set", "--cyclic set", "--throughput set",
                          "--range set", "--cameras set", "--schedule set", "--schedule schedule",
                          "--name set", "--name schedule", "--at next"}));
}

void TestCommandLine::numbersAtTheirBounds_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QList<int>>("numbers"); // throughput MB, range days, timeout ms, trace level

    QTest::newRow("the smallest of each are taken")
        << QStringList {"set", "--throughput", "0", "--range", "0", "--timeout",
                        "1",   "--trace",      "0"}
        << QList<int> {0, 0, 1, 0};
    QTest::newRow("the largest of each, throughput beyond 2047 MB, are taken")
        << QStringList {"set",     "--range", "3650",      "--throughput", "1000000",
                        "--trace", "5",       "--timeout", "3600000"}
        << QList<int> {1000000, 3650, 3600000, 5};
}

void TestCommandLine::numbersAtTheirBounds()
{
    QFETCH(QStringList, arguments);
    QFETCH(QList<int>, numbers);

    const CommandLineResult result = parse(arguments);
    QVERIFY2(result.action == Action::Run, qPrintable(result.text));
    const CommandRequest& request = result.request;
    QCOMPARE((QList<int> {request.throughputMB.value_or(-1), request.rangeDays.value_or(-1),
                          request.timeoutMs, request.traceLevel.value_or(-1)}),
             numbers);
}

void TestCommandLine::allCamerasIsTheTagAlone()
{
    QCOMPARE(parse({"set", "--cameras", " ALL "}).request.cameras,
             std::optional(QStringList {BackupProtocol::AllCamerasTag}));
}

void TestCommandLine::cameraIdsKeepTheirOrderWithoutRepeats()
{
    QCOMPARE(parse({"set", "--cameras", " cam-05 , cam-01 ,cam-05,, "}).request.cameras,
             std::optional(QStringList {"cam-05", "cam-01"}));
}

void TestCommandLine::textsAreKeptAsGiven()
{
    const QString dir = "/mnt/a&b/<c>/vidéo", name = "<b>&</b> Night \U0001F319";
    const CommandRequest request = parse({"set", "--dir", dir, "--name", name}).request;
    QCOMPARE(request.dir, std::optional<QString>(dir));
    QCOMPARE(request.scheduleName, std::optional<QString>(name));
}

void TestCommandLine::atTakesTheFirstAndTheLastYear()
{
    QCOMPARE(parse({"next", "--at", "1970-01-01T00:00"}).request.at,
             std::optional(QDateTime(QDate(1970, 1, 1), QTime(0, 0))));
    QCOMPARE(parse({"next", "--at", "9998-12-31 23:30"}).request.at,
             std::optional(QDateTime(QDate(9998, 12, 31), QTime(23, 30))));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
