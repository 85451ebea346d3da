// Parsing the command line. A refusal is Action::Error, which the program exits with as 2.

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
    void numbersAreTakenUpToTheirBounds_data();
    void numbersAreTakenUpToTheirBounds();
    void valuesAreTaken();
    void fileNamesKeepTheirBytes_data();
    void fileNamesKeepTheirBytes();
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
    QTest::newRow("a camera id with a line feed")
        << QStringList {"set", "--cameras", "cam-01,cam\n02"}
        << "--cameras expects \"all\" or camera ids without control characters";
    QTest::newRow("a directory with an escape character")
        << QStringList {"set", "--dir", "/mnt/\x1b[2J"} << "--dir " + control;
    QTest::newRow("a directory of blanks")
        << QStringList {"set", "--dir", "  "} << "--dir expects a directory";
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

void TestCommandLine::numbersAreTakenUpToTheirBounds_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("least");
    QTest::addColumn<int>("most");
    QTest::addColumn<QString>("error"); // for one beyond either bound

    QTest::newRow("throughput, beyond 2047 MB")
        << "--throughput" << 0 << 1000000 << "--throughput expects 0 to 1000000 MB";
    QTest::newRow("range") << "--range" << 0 << 3650 << "--range expects 0 to 3650 days";
    QTest::newRow("timeout") << "--timeout" << 1 << 3600000
                             << "--timeout expects a positive number of milliseconds";
    QTest::newRow("trace") << "--trace" << 0 << 5 << "--trace expects a level from 0 to 5";
}

void TestCommandLine::numbersAreTakenUpToTheirBounds()
{
    QFETCH(QString, option);
    QFETCH(int, least);
    QFETCH(int, most);
    QFETCH(QString, error);

    for (const int number : {least - 1, least, most, most + 1}) {
        const CommandLineResult result
            = parse({"set", "--enabled", "on", option, QString::number(number)});
        const bool inBounds = number >= least && number <= most;
        QCOMPARE(result.text, inBounds ? QString() : error);
        const CommandRequest& r = result.request;
        if (inBounds)
            QCOMPARE((QHash<QString, int> {{"--throughput", r.throughputMB.value_or(-1)},
                                           {"--range", r.rangeDays.value_or(-1)},
                                           {"--timeout", r.timeoutMs},
                                           {"--trace", r.traceLevel.value_or(-1)}})
                         .value(option),
                     number);
    }
}

void TestCommandLine::valuesAreTaken()
{
    // Texts are kept as given, but for the blanks around a directory.
    const QString dir = "/mnt/a&b/<c>/vidéo", name = "<b>&</b> Night \U0001F319";
    const CommandRequest request = parse({"set", "--dir", " " + dir + " ", "--name", name}).request;
    QCOMPARE(request.dir, std::optional<QString>(dir));
    QCOMPARE(request.scheduleName, std::optional<QString>(name));
    // --at takes the first and the last year.
    QCOMPARE(parse({"next", "--at", "1970-01-01T00:00"}).request.at,
             std::optional(QDateTime(QDate(1970, 1, 1), QTime(0, 0))));
    QCOMPARE(parse({"next", "--at", "9998-12-31 23:30"}).request.at,
             std::optional(QDateTime(QDate(9998, 12, 31), QTime(23, 30))));
}

void TestCommandLine::fileNamesKeepTheirBytes_data()
{
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<QByteArray>("name"); // what --data or --trace-file gives back as bytes
    QTest::addColumn<QString>("error");

    const auto row = [](const char* tag, const QByteArray& option, const QByteArray& value,
                        const QString& error = QString()) {
        QTest::newRow(tag) << QByteArrayList {"show", option, value}
                           << (error.isNull() ? value : QByteArray()) << error;
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
    QTest::newRow("a Latin-1 byte in a text value")
        << QByteArrayList {"set", "--dir", "/srv/caf\xe9"} << QByteArray()
        << "--dir expects UTF-8 text";
}

void TestCommandLine::fileNamesKeepTheirBytes()
{
    QFETCH(QByteArrayList, arguments);
    QFETCH(QByteArray, name);
    QFETCH(QString, error);

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
    const QString value = request.host.dataDir.isEmpty() ? request.traceFile : request.host.dataDir;
    QCOMPARE(HostOptionSet::encodeName(value), name);
    // Valid UTF-8 reads as it always did.
    if (QFile::encodeName(QFile::decodeName(name)) == name)
        QCOMPARE(value, QFile::decodeName(name));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
