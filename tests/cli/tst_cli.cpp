// SPDX-License-Identifier: BSD-3-Clause
// The command-line host: parsing its command line (a refusal is Action::Error, which the program
// exits with as 2), the program as processes on one data folder, and in-process for what a process
// cannot provoke.

#include "BackupStore.h"
#include "BackupWords.h"
#include "CliCommands.h"
#include "CommandLine.h"
#include "HostFramework.h"
#include "ScheduleBackupHost.h"
#include "Table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

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

class TestCli : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode = -1;
        QString out, err;
    };
    std::unique_ptr<QTemporaryDir> m_data;
    // The data folder's setup (see prepare(); "stdout-gone": standard output is a pipe whose
    // reader has gone, as in `show | head -c1`; "german": the program runs in German;
    // "C": LC_ALL=C with LANGUAGE=de), the runs (one process each, split at "; "; all but the last
    // succeed), the last one's exit code, and text in its output or its one line of errors
    // (" … " separates texts found apart; "stored: <dir>": the directory in the data file
    // afterwards; "json": the JSON output holds the data file's values).
    using RunCases = Table<QString, QString, int, QString>;
    // Whether the framework knows the plug-in (if so, the server-info is gone), the arguments, the
    // exit code and the start of the only line on standard error.
    using InProcessCases = Table<bool, QStringList, int, QString>;
    // The folders beside the program's copy ("installed", "marked" (the build tree), "unmarked"
    // (plugins without the marker), "-empty": without the plug-in), SCHEDULE_BACKUP_PLUGIN_DIR
    // and whether the host starts.
    using PluginCases = Table<QStringList, QByteArray, bool>;

    QStringList hostArguments(const QStringList& arguments) const
    {
        // A --plugin-dir of the arguments comes later, so it wins.
        return QStringList {"--data", m_data->path(), "--plugin-dir", PLUGIN_DIR} + arguments;
    }

    // A copy of the program (`program`) finds its plug-ins itself.
    Run runHost(const QStringList& arguments, const QString& setup = QString(),
                const QString& program = HOST_EXECUTABLE) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (setup == "german" || setup == "C") {
            environment.insert("LC_ALL", setup == "C" ? "C" : "de_DE.UTF-8");
            environment.insert("LANGUAGE", "de");
        }
        environment.insert("LD_LIBRARY_PATH", BUILD_LIB_DIR); // for the copy
        process.setProcessEnvironment(environment);
        int pipe[2] = {-1, -1};
        if (setup == "stdout-gone" && ::pipe2(pipe, O_CLOEXEC) == 0) {
            ::close(pipe[0]);
            process.setChildProcessModifier([=] { ::dup2(pipe[1], STDOUT_FILENO); });
        }
        process.start(program, program == HOST_EXECUTABLE ? hostArguments(arguments) : arguments);
        ::close(pipe[1]);
        const bool exited
            = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
        return {exited ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // Runs all but the last of `runs` successfully after `setup`, and gives the last one.
    Run runAll(const QString& setup, const QString& runs) const
    {
        Run run;
        for (const QString& arguments : runs.split("; ")) {
            if (run.exitCode != -1 && (run.exitCode != ExitCode::Success || !run.err.isEmpty()))
                return {-2, {}, "an earlier run failed: " + run.err};
            run = runHost(QProcess::splitCommand(arguments), setup);
        }
        return run;
    }

    // The data folder a row starts from: "" (none yet), "left" (a stored camera has left the
    // inventory), or "busy" (another program holds the data file).
    BackupStore::Lock prepare(const QString& setup) const
    {
        const BackupStore store(m_data->path());
        ServiceData data = BackupStore::sampleData();
        data.card.cameras = {{"cam-03", "grp-lobby"}, {"cam-99", "grp-gone"}};
        if (setup == "left")
            store.save(data);
        if (setup != "busy")
            return {};
        store.save(data);
        return store.lock(QDeadlineTimer(0)).value();
    }

    ServiceData stored() const { return BackupStore(m_data->path()).load().value(); }

    // What the data file says that `command --json` prints, key by key.
    QJsonObject expectedJson(const QString& command, const QString& group) const
    {
        const ServiceData data = stored();
        const TimeCard& card = data.card;
        if (command == "show") {
            const WeekInterval first = card.intervals.first(); // Monday's in the sample
            const QTime start = QTime(0, 0).addSecs(first.begin % SecondsPerDay);
            return {
                {"enabled", card.enabled},
                {"targetDir", card.dir},
                {"cyclic", card.targetCyclic},
                {"throughputBytes", card.maxThroughputBytes},
                {"throughputMB", card.maxThroughputBytes >> 20},
                {"rangeMinutes", card.maxRangeMinutes},
                {"rangeDays", card.maxRangeMinutes / 1440},
                {"scheduleName", card.timeFrameName},
                {"dataFolder", m_data->path()},
                {"firstWindow",
                 QJsonObject {{"day", "Mon"},
                              {"start", start.toString("HH:mm")},
                              {"end", start.addSecs(first.end - first.begin).toString("HH:mm")}}}};
        }
        if (command == "cameras") {
            QJsonArray cameras;
            for (const InventoryCamera& camera : data.inventory) {
                if (camera.groupId == group)
                    cameras.append(QJsonObject {
                        {"id", camera.cameraId},
                        {"name", camera.name},
                        {"group", camera.groupId},
                        {"selected", card.cameras.contains({camera.cameraId, camera.groupId})}});
            }
            return {{"allCameras", false}, {"cameras", cameras}};
        }
        // The first window after Saturday, 2026-12-12 18:00, is in the week from the 13th.
        const QDateTime at(QDate(2026, 12, 12), QTime(18, 0));
        const QDateTime next = QDate(2026, 12, 13).startOfDay().addSecs(card.intervals[0].begin);
        if (command == "next")
            return {{"state", "scheduled"},
                    {"after", at.toString(Qt::ISODate)},
                    {"start", next.toString(Qt::ISODate)},
                    {"minutesUntil", at.secsTo(next) / 60}};
        // An all-week window runs now: from this week's Sunday to Saturday's last minute.
        const QDate today = QDate::currentDate();
        const QDateTime sunday = today.addDays(-(today.dayOfWeek() % 7)).startOfDay();
        return {{"state", "Running"},
                {"intervalStart", sunday.toString(Qt::ISODate)},
                {"intervalEnd", sunday.addDays(7).addSecs(-60).toString(Qt::ISODate)}};
    }

    // Every time carries its offset from UTC; its instant and the other values are the data file's.
    void compareJson(const Run& run, const QStringList& command) const
    {
        QJsonParseError error;
        const QJsonObject printed = QJsonDocument::fromJson(run.out.toUtf8(), &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(run.out));
        const QJsonObject expected = expectedJson(command.first(), command.value(2));
        const QRegularExpression rfc3339(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(Z|[+-]\d\d:\d\d)$)");
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            QJsonValue value
                = it.key() == "firstWindow" ? printed.value("windows")[0] : printed.value(it.key());
            if (it.value().toString().contains(QRegularExpression(R"(^\d{4}-\d\d-\d\dT)"))) {
                QVERIFY2(rfc3339.match(value.toString()).hasMatch(), qPrintable(run.out));
                value = QDateTime::fromString(value.toString(), Qt::ISODate)
                            .toLocalTime()
                            .toString(Qt::ISODate);
            }
            QVERIFY2(value == it.value(), qPrintable(it.key() + ": " + run.out));
        }
    }

    using ParseCases = Table<QByteArrayList, QString>; // the arguments, described()

    // File names keep their bytes; other values must be UTF-8.
    static void nameRows()
    {
        const auto row = &ParseCases::row;
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
    // Every run shows that --plugin-dir comes before the variable.
    void initTestCase() { qputenv("SCHEDULE_BACKUP_PLUGIN_DIR", "/nonexistent/plugins"); }

    void init()
    {
        m_data = std::make_unique<QTemporaryDir>();
        QVERIFY(m_data->isValid());
    }

    void runs_data()
    {
        RunCases::columns();
        const auto row = &RunCases::row;
        const QString missing = "show --plugin-dir /nonexistent/plugins";
        row("throughput beyond 2047 MB, 3650 days and off read back, each set keeping the others",
            "", "set --throughput 1000000; set --range 3650; set --enabled off; show",
            ExitCode::Success,
            "Throughput: 1000000 MB Range: 3650 days … Scheduled backup is off Data folder: /");
        row("next says when no backup window is scheduled, set by none in any case", "",
            "schedule --schedule None; next", ExitCode::Success, "No backup window scheduled");
        row("a missing plug-in folder stops the host with 1, in English under LC_ALL=C", "C",
            missing, ExitCode::HostFailure,
            "schedule-backup-host: no schedule-backup plug-in in /nonexistent/plugins "
            "(/nonexistent/plugins: no such plug-in folder)");
        row("a bad option value stops the program with 2", "", "set --enabled maybe",
            ExitCode::BadOptions, "schedule-backup-host: --enabled expects on or off (see --help)");
        row("an update the service refuses gives its reason and code with 4", "",
            "set --cameras cam-01,cam-42", ExitCode::Failed,
            "schedule-backup-host: \"UpdBkpTmcard\" failed: unknown camera \"cam-42\" (code 1004)");
        // Three requests of 400 ms each: every one fits the timeout, all of them do not.
        row("the timeout bounds the whole command, not each request, with 5", "",
            "show --latency 400 --timeout 1000", ExitCode::TimedOut, "within 1000 ms");
        row("a busy data file ends the wait at the timeout with 5, saying why", "busy",
            "set --enabled off --timeout 1000", ExitCode::TimedOut,
            "within 1000 ms: another program is saving to");
        row("a save keeps a camera that left the inventory, which show marks", "left",
            "set --enabled off; show", ExitCode::Success,
            "Cameras: cam-03, cam-99 (no longer in the inventory) Schedule name:");
        row("--cameras replaces a list that holds a camera that left the inventory", "left",
            "set --cameras cam-01; show", ExitCode::Success, "Cameras: cam-01 Schedule name:");
        row("the host's messages are in German", "german", missing, ExitCode::HostFailure,
            "kein Plug-in für die zeitgesteuerte Sicherung in /nonexistent/plugins "
            "(/nonexistent/plugins: kein solcher Plug-in-Ordner)");
        row("the service's reasons are in German", "german", "set --cameras cam-42",
            ExitCode::Failed, "fehlgeschlagen: unbekannte Kamera \"cam-42\" (Code 1004)");
        row("show --json", "", "show --json", ExitCode::Success, "json");
        row("status --json of an all-week window", "",
            "schedule --schedule \"daily 00:00-24:00\"; status --json", ExitCode::Success, "json");
        row("next --json after the last window of a Saturday", "",
            "next --at 2026-12-12T18:00 --json", ExitCode::Success, "json");
        row("cameras --json of a group", "left", "cameras --group grp-lobby --json",
            ExitCode::Success, "json");
        row("set whose reader is gone stores and exits 0", "stdout-gone", "set --dir /no/reader",
            ExitCode::Success, "stored: /no/reader");
    }

    void runs()
    {
        const auto [setup, runs, code, text] = RunCases::fetch();
        const BackupStore::Lock held = prepare(setup);

        const Run run = runAll(setup, runs);
        QVERIFY2(run.exitCode == code, qPrintable(run.err));
        if (setup == "stdout-gone") {
            QCOMPARE("stored: " + stored().card.dir, text);
            return;
        }
        QVERIFY2(run.err.isEmpty() == (code == ExitCode::Success)
                     && !run.err.trimmed().contains('\n'),
                 qPrintable(run.err));
        if (text == "json")
            return compareJson(run, QProcess::splitCommand(runs.section("; ", -1)));
        const QString& said = code == ExitCode::Success ? run.out : run.err;
        for (const QString& part : text.split(" … "))
            QVERIFY2(said.simplified().contains(part), qPrintable(said));
    }

    void inProcessRuns_data()
    {
        InProcessCases::columns();
        InProcessCases::row(
            "a framework that no longer knows the plug-in turns its requests down with 3", false,
            {"show"}, ExitCode::Refused, "schedule-backup-host: the plug-in refused to send ");
        // Without the server-info the plug-in answers 0, the start of 1970.
        InProcessCases::row(
            "next prints no time in the past", true, {"next", "--at", "2026-12-12T18:00"},
            ExitCode::Failed,
            "schedule-backup-host: no next backup time can be given after 2026-12-12T18:00:00");
    }

    void inProcessRuns()
    {
        const auto [pluginKnown, arguments, code, error] = InProcessCases::fetch();

        ScheduleBackupHost host;
        QVERIFY(host.start({m_data->path(), PLUGIN_DIR}));
        if (pluginKnown) {
            host.framework()->registerObject(BackupWords::ServerInfoPluginId, nullptr);
        } else {
            host.framework()->unregisterAll();
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression("command .* from unknown plug-in"));
        }
        PluginClient client(host.scheduleBackup(), host.framework());
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const CommandLineResult parsed
            = parseCommandLine(QStringList {HOST_EXECUTABLE} + arguments);

        QCOMPARE(CliCommands(&client, &outStream, &errStream).run(parsed.request), code);
        outStream.flush();
        errStream.flush();
        QVERIFY2(err.startsWith(error) && err.count('\n') == 1, qPrintable(err));
        QCOMPARE(out, QString());
    }

    void pluginFolders_data()
    {
        PluginCases::columns();
        const auto row = &PluginCases::row;
        row("the build tree, known by its marker", {"marked"}, {}, true);
        row("a folder named plugins without the marker is no build tree", {"unmarked"}, {}, false);
        row("the installed folder comes before the build tree", {"installed", "marked-empty"}, {},
            true);
        row("SCHEDULE_BACKUP_PLUGIN_DIR comes before the installed folder", {"installed-empty"},
            PLUGIN_DIR, true);
    }

    // A copy of the program in a folder of its own, with the plug-in folders beside it.
    void pluginFolders()
    {
        const auto [folders, variable, starts] = PluginCases::fetch();

        const QDir root(m_data->path());
        QVERIFY(root.mkpath("bin") && QFile::copy(HOST_EXECUTABLE, root.filePath("bin/host")));
        for (const QString& folder : folders) {
            const QString path = root.filePath(
                folder.startsWith("installed") ? SCHEDULE_BACKUP_PLUGIN_INSTALL_DIR : "plugins");
            QVERIFY(root.mkpath(path));
            if (!folder.endsWith("-empty"))
                QVERIFY(QFile::link(SCHEDULE_BACKUP_PLUGIN_PATH, path + "/plugin.so"));
            if (folder.startsWith("marked"))
                QVERIFY(QFile(path + "/" + ScheduleBackupHost::BuildTreeMarker)
                            .open(QIODevice::WriteOnly));
        }
        qputenv("SCHEDULE_BACKUP_PLUGIN_DIR", variable);
        const Run run
            = runHost({"status", "--data", root.filePath("data")}, {}, root.filePath("bin/host"));
        initTestCase();
        QVERIFY2((run.exitCode == ExitCode::Success) == starts, qPrintable(run.err));
    }

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
    void progressBarIsFilledInProportionWithinItsWidth()
    {
        QCOMPARE(CliCommands::progressBar(-20, 10), "[----------]");
        QCOMPARE(CliCommands::progressBar(50, 10), "[#####-----]");
        QCOMPARE(CliCommands::progressBar(250, 10), "[##########]");
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
