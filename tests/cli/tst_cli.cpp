// SPDX-License-Identifier: BSD-3-Clause
// The command-line host as processes on one data folder, and in-process for what a process
// cannot provoke.

#include "BackupStore.h"
#include "BackupWords.h"
#include "CliCommands.h"
#include "HostFramework.h"
#include "ScheduleBackupHost.h"
#include "Table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestCli : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode = -1;
        QString out, err;
    };
    std::unique_ptr<QTemporaryDir> m_data;
    // The data folder's setup (see prepare(); "stdout-gone" or "stderr-gone": that channel is a
    // pipe whose reader has gone, as in `show | head -c1`; "german": the program runs in German;
    // "C": LC_ALL=C with LANGUAGE=de), the runs (one process each; all but the last succeed), the
    // last one's exit code, and text in its output or its one line of errors ("stored: <dir>":
    // the directory in the data file afterwards).
    using RunCases = Table<QString, QList<QStringList>, int, QString>;
    // Whether the framework knows the plug-in (if so, the server-info is gone), the arguments, the
    // exit code and the start of the only line on standard error.
    using InProcessCases = Table<bool, QStringList, int, QString>;
    // The setup, the runs before and the --json command.
    using JsonCases = Table<QString, QList<QStringList>, QStringList>;
    // --data and SCHEDULE_BACKUP_DATA (null: not given), the folders there before, whether there
    // is a home folder, the folder used (empty: none), and its source or the start of the error.
    using FolderCases = Table<QByteArray, QByteArray, QByteArrayList, bool, QByteArray, QString>;
    // The folders beside the program's copy ("installed", "marked" (the build tree), "unmarked"
    // (plugins without the marker), "-empty": without the plug-in), SCHEDULE_BACKUP_PLUGIN_DIR,
    // --plugin-dir and whether the host starts.
    using PluginCases = Table<QStringList, QString, QString, bool>;

    QStringList hostArguments(const QStringList& arguments) const
    {
        // A --plugin-dir of the arguments comes later, so it wins.
        return QStringList {"--data", m_data->path(), "--plugin-dir", PLUGIN_DIR} + arguments;
    }

    Run runHost(const QStringList& arguments, const QString& setup = QString()) const
    {
        const int closedChannel = setup == "stdout-gone" ? STDOUT_FILENO
            : setup == "stderr-gone"                     ? STDERR_FILENO
                                                         : -1;
        QProcess process;
        if (setup == "german" || setup == "C") {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("LC_ALL", setup == "C" ? "C" : "de_DE.UTF-8");
            environment.insert("LANGUAGE", "de");
            process.setProcessEnvironment(environment);
        }
        int pipe[2] = {-1, -1};
        if (closedChannel >= 0 && ::pipe2(pipe, O_CLOEXEC) == 0) {
            ::close(pipe[0]);
            process.setChildProcessModifier([=] { ::dup2(pipe[1], closedChannel); });
        }
        process.start(HOST_EXECUTABLE, hostArguments(arguments));
        ::close(pipe[1]);
        const bool exited
            = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
        return {exited ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // Runs all but the last of `runs` successfully after `setup`, and gives the last one.
    Run runAll(const QString& setup, const QList<QStringList>& runs) const
    {
        Run run;
        for (const QStringList& arguments : runs) {
            if (run.exitCode != -1 && (run.exitCode != ExitCode::Success || !run.err.isEmpty()))
                return {-2, {}, "an earlier run failed: " + run.err};
            run = runHost(arguments, setup);
        }
        return run;
    }

    // The data folder a row starts from: "" (none yet), "left" (a stored camera has left the
    // inventory), "busy" (another program holds the data file) or "fifo" (the data file is a FIFO).
    BackupStore::Lock prepare(const QString& setup) const
    {
        const BackupStore store(m_data->path());
        ServiceData data = BackupStore::sampleData();
        data.card.cameras = {{"cam-03", "grp-lobby"}, {"cam-99", "grp-gone"}};
        if (setup == "left")
            store.save(data);
        if (setup == "fifo")
            ::mkfifo(QFile::encodeName(store.filePath()).constData(), 0600);
        if (setup != "busy")
            return {};
        store.save(data);
        return store.lock(QDeadlineTimer(0)).value();
    }

    ServiceData stored() const { return BackupStore(m_data->path()).load().value(); }

    // What the data file says that `command --json` must print.
    QJsonObject expectedJson(const QString& command, const QString& group) const
    {
        const ServiceData data = stored();
        const TimeCard& card = data.card;
        QJsonArray cameras;
        for (const InventoryCamera& camera : data.inventory) {
            const bool selected
                = std::any_of(card.cameras.cbegin(), card.cameras.cend(), [&](const CameraRef& c) {
                      return c.cameraId == camera.cameraId
                          || c.cameraId == BackupWords::AllCamerasTag;
                  });
            if (camera.groupId == group)
                cameras.append(QJsonObject {{"id", camera.cameraId},
                                            {"name", camera.name},
                                            {"group", camera.groupId},
                                            {"selected", selected}});
        }
        if (command == "cameras")
            return {{"allCameras", false}, {"cameras", cameras}};
        if (command == "show") {
            QJsonArray windows;
            for (const WeekInterval& interval : card.intervals)
                windows.append(QJsonObject {
                    {"day",
                     QLocale::c().dayName(int(interval.begin / SecondsPerDay + 6) % 7 + 1,
                                          QLocale::ShortFormat)},
                    {"start",
                     QTime(0, 0).addSecs(interval.begin % SecondsPerDay).toString("HH:mm")},
                    {"end", QTime(0, 0).addSecs(interval.end % SecondsPerDay).toString("HH:mm")}});
            return {{"enabled", card.enabled},
                    {"targetDir", card.dir},
                    {"cyclic", card.targetCyclic},
                    {"throughputBytes", card.maxThroughputBytes},
                    {"throughputMB", card.maxThroughputBytes >> 20},
                    {"rangeMinutes", card.maxRangeMinutes},
                    {"rangeDays", card.maxRangeMinutes / 1440},
                    {"scheduleName", card.timeFrameName},
                    {"windows", windows},
                    {"dataFolder", m_data->path()},
                    {"dataFolderSource", "option"}};
        }
        // The first window after Saturday, 2026-12-12 18:00, is in the week from the 13th.
        const QDateTime weekStart = QDate(2026, 12, 13).startOfDay();
        if (command == "next")
            return {
                {"state", "scheduled"},
                {"after", "2026-12-12T18:00:00"},
                {"start", weekStart.addSecs(card.intervals.first().begin).toString(Qt::ISODate)},
                {"minutesUntil",
                 QDateTime(QDate(2026, 12, 12), QTime(18, 0))
                         .secsTo(weekStart.addSecs(card.intervals.first().begin))
                     / 60}};
        // An all-week window runs now: from this week's Sunday to Saturday's last minute.
        const QDate today = QDate::currentDate();
        const QDateTime sunday = today.addDays(-(today.dayOfWeek() % 7)).startOfDay();
        return {{"state", "Running"},
                {"intervalStart", sunday.toString(Qt::ISODate)},
                {"intervalEnd", sunday.addDays(7).addSecs(-60).toString(Qt::ISODate)}};
    }

private Q_SLOTS:
    void init()
    {
        m_data = std::make_unique<QTemporaryDir>();
        QVERIFY(m_data->isValid());
    }

    void runs_data()
    {
        RunCases::columns();
        const auto row = &RunCases::row;
        const QString noPlugin = "no schedule-backup plug-in in /nonexistent/plugins (";
        row("throughput beyond 2047 MB and 3650 days read back, each set keeping the other", "",
            {{"set", "--throughput", "1000000"}, {"set", "--range", "3650"}, {"show"}},
            ExitCode::Success, "Throughput: 1000000 MB Range: 3650 days");
        row("next after the last window of a Saturday is Monday's first window", "",
            {{"schedule", "--schedule", "Mon-Fri 09:00-17:00"},
             {"next", "--at", "2026-12-12T18:00"}},
            ExitCode::Success, "2026-12-14T09:00:00");
        row("next says when no backup window is scheduled", "",
            {{"schedule", "--schedule", "none"}, {"next"}}, ExitCode::Success,
            "No backup window scheduled");
        row("show says when scheduled backup is off, and names the data folder", "",
            {{"set", "--enabled", "off"}, {"show"}}, ExitCode::Success,
            "Next backup: Scheduled backup is off Data folder: /");
        row("a missing plug-in folder stops the host with 1", "",
            {{"show", "--plugin-dir", "/nonexistent/plugins"}}, ExitCode::HostFailure,
            "schedule-backup-host: " + noPlugin + "/nonexistent/plugins: no such plug-in folder)");
        row("a bad option value stops the program with 2", "", {{"set", "--enabled", "maybe"}},
            ExitCode::BadOptions, "schedule-backup-host: --enabled expects on or off (see --help)");
        row("an update the service refuses gives its reason and code with 4", "",
            {{"set", "--cameras", "cam-01,cam-42"}}, ExitCode::Failed,
            "schedule-backup-host: \"UpdBkpTmcard\" failed: unknown camera \"cam-42\" (code 1004)");
        // Three requests of 400 ms each: every one fits the timeout, all of them do not.
        row("the timeout bounds the whole command, not each request, with 5", "",
            {{"show", "--latency", "400", "--timeout", "1000"}}, ExitCode::TimedOut,
            "within 1000 ms");
        row("a busy data file ends the wait at the timeout with 5, saying why", "busy",
            {{"set", "--enabled", "off", "--timeout", "1000"}}, ExitCode::TimedOut,
            "within 1000 ms: another program is saving to");
        row("a data file that is a FIFO stops the host with 1 at once", "fifo", {{"show"}},
            ExitCode::HostFailure, "it is a FIFO");
        row("a save keeps a camera that left the inventory, which show marks", "left",
            {{"set", "--enabled", "off"}, {"show"}}, ExitCode::Success,
            "Cameras: cam-03, cam-99 (no longer in the inventory) Schedule name:");
        row("--cameras replaces a list that holds a camera that left the inventory", "left",
            {{"set", "--cameras", "cam-01"}, {"show"}}, ExitCode::Success,
            "Cameras: cam-01 Schedule name:");
        row("cameras lists a group with what is backed up", "left",
            {{"cameras", "--group", "grp-lobby"}}, ExitCode::Success,
            "cam-02 Lobby desk grp-lobby no cam-03 Lift hall grp-lobby yes cam-04");
        row("the help of a command gives an example", "", {{"next", "--help"}}, ExitCode::Success,
            "Example: schedule-backup-host next --at");
        row("German day names are read and written", "german",
            {{"schedule", "--schedule", "Mo-Fr 18:00-19:00"}}, ExitCode::Success,
            ": Mo-Fr 18:00-19:00");
        row("the host's messages are in German", "german",
            {{"show", "--plugin-dir", "/nonexistent/plugins"}}, ExitCode::HostFailure,
            "kein Plug-in für die zeitgesteuerte Sicherung in /nonexistent/plugins "
            "(/nonexistent/plugins: kein solcher Plug-in-Ordner)");
        row("the service's reasons are in German", "german", {{"set", "--cameras", "cam-42"}},
            ExitCode::Failed, "fehlgeschlagen: unbekannte Kamera \"cam-42\" (Code 1004)");
        row("LC_ALL=C is English whatever LANGUAGE says", "C",
            {{"show", "--plugin-dir", "/nonexistent/plugins"}}, ExitCode::HostFailure, noPlugin);
        row("set whose reader is gone stores and exits 0", "stdout-gone",
            {{"set", "--dir", "/no/reader"}}, ExitCode::Success, "stored: /no/reader");
        row("a refused update exits 4 without errors to read", "stderr-gone",
            {{"set", "--dir", "/x", "--cameras", "cam-42"}}, ExitCode::Failed,
            "stored: /srv/backup/video");
    }

    void runs()
    {
        const auto [setup, runs, code, text] = RunCases::fetch();
        const BackupStore::Lock held = prepare(setup);

        const Run run = runAll(setup, runs);
        QVERIFY2(run.exitCode == code, qPrintable(run.err));
        if (setup.endsWith("-gone")) {
            QCOMPARE("stored: " + stored().card.dir, text);
            return;
        }
        QVERIFY2(run.err.isEmpty() == (code == ExitCode::Success)
                     && !run.err.trimmed().contains('\n'),
                 qPrintable(run.err));
        const QString& said = code == ExitCode::Success ? run.out : run.err;
        QVERIFY2(said.simplified().contains(text), qPrintable(said));
    }

    void json_data()
    {
        JsonCases::columns();
        JsonCases::row("show", "", {}, {"show"});
        JsonCases::row("status of an all-week window", "",
                       {{"schedule", "--schedule", "daily 00:00-24:00"}}, {"status"});
        JsonCases::row("next", "", {}, {"next", "--at", "2026-12-12T18:00"});
        JsonCases::row("cameras of a group", "left", {}, {"cameras", "--group", "grp-lobby"});
    }

    // Every time carries its offset from UTC; its instant and the other values are the data file's.
    void json()
    {
        const auto [setup, before, command] = JsonCases::fetch();
        prepare(setup);

        const Run run
            = runAll(setup, before + QList<QStringList> {command + QStringList {"--json"}});
        QVERIFY2(run.exitCode == ExitCode::Success && run.err.isEmpty(), qPrintable(run.err));
        QJsonParseError error;
        const QJsonObject printed = QJsonDocument::fromJson(run.out.toUtf8(), &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(run.out));
        const QJsonObject expected = expectedJson(command.first(), command.value(2));
        const QRegularExpression rfc3339(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(Z|[+-]\d\d:\d\d)$)");
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            QJsonValue value = printed.value(it.key());
            if (it.value().toString().contains(QRegularExpression(R"(^\d{4}-\d\d-\d\dT)"))) {
                QVERIFY2(rfc3339.match(value.toString()).hasMatch(), qPrintable(run.out));
                value = QDateTime::fromString(value.toString(), Qt::ISODate)
                            .toLocalTime()
                            .toString(Qt::ISODate);
            }
            QVERIFY2(value == it.value(), qPrintable(it.key() + ": " + run.out));
        }
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

    void dataFolders_data()
    {
        FolderCases::columns();
        const auto row = &FolderCases::row;
        const QByteArray share = "home/.local/share/";
        row("--data wins over SCHEDULE_BACKUP_DATA", "option", "variable", {}, true, "option",
            "option");
        row("SCHEDULE_BACKUP_DATA wins over the default folder", {}, "variable", {}, true,
            "variable", "environment");
        row("a Latin-1 byte in --data names the folder that is there", "caf\xe9", {}, {"caf\xe9"},
            true, "caf\xe9", "option");
        row("bytes that are not UTF-8 in SCHEDULE_BACKUP_DATA name the folder that is created", {},
            "new\xff\xc3(/sub", {}, true, "new\xff\xc3(/sub", "environment");
        row("the default folder is shared by both programs", {}, {}, {}, true,
            share + "schedule-backup", "default");
        row("this program's old default folder while the shared one is missing", {}, {},
            {share + "schedule-backup-page", share + "schedule-backup-host"}, true,
            share + "schedule-backup-host", "oldDefault");
        row("the viewer's old default folder while the shared one is missing", {}, {},
            {share + "schedule-backup-page"}, true, share + "schedule-backup-page", "oldDefault");
        row("the shared folder once it is there", {}, {},
            {share + "schedule-backup", share + "schedule-backup-host"}, true,
            share + "schedule-backup", "default");
        row("an empty --data is a bad option", "", {}, {}, true, {},
            "schedule-backup-host: --data expects a folder");
        row("without a home folder the default folder is refused", {}, {}, {}, false, {},
            "schedule-backup-host: there is no home folder");
    }

    // A QString argument cannot carry bytes that are not UTF-8, so the folders go through the
    // environment to a shell that passes them on.
    void dataFolders()
    {
        const auto [option, variable, existing, home, used, said] = FolderCases::fetch();

        const QByteArray base = QFile::encodeName(m_data->path()) + '/';
        const auto removeAll = qScopeGuard([&] {
            qunsetenv("SCHEDULE_BACKUP_DATA");
            QProcess::execute("rm", {"-rf", "--", m_data->path()}); // Qt cannot remove such names
        });
        for (const QByteArray& folder : existing)
            QCOMPARE(QProcess::execute("mkdir", {"-p", QFile::decodeName(base + folder)}), 0);
        if (!variable.isNull())
            qputenv("SCHEDULE_BACKUP_DATA", base + variable);
        qputenv("TST_CLI_HOME", home ? base + "home" : QByteArray());
        qputenv("TST_CLI_DATA", option.isEmpty() ? option : base + option);
        qputenv("TST_CLI_DATA_SET", option.isNull() ? "" : "1");
        const char* script = R"(unset XDG_DATA_HOME
            if [ -n "$TST_CLI_HOME" ]; then export HOME="$TST_CLI_HOME"; else unset HOME; fi
            if [ -n "$TST_CLI_DATA_SET" ]; then set -- "$@" --data "$TST_CLI_DATA"; fi
            exec "$0" "$@")";
        QProcess process;
        process.start(
            "/bin/sh",
            {"-c", script, HOST_EXECUTABLE, "show", "--json", "--plugin-dir", PLUGIN_DIR});
        QVERIFY(process.waitForFinished(60000));
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        if (used.isEmpty()) {
            QVERIFY2(process.exitCode() != ExitCode::Success && err.startsWith(said),
                     qPrintable(err));
            return;
        }
        QVERIFY2(process.exitCode() == ExitCode::Success, qPrintable(err));
        const QJsonObject printed
            = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        QCOMPARE(printed.value("dataFolderSource").toString(), said);
        // Only the folder in use was seeded.
        for (const QByteArray& folder : existing
                 + QByteArrayList {option, variable, used, "home/.local/share/schedule-backup"}) {
            const QByteArray file = base + folder + "/schedule-backup.xml";
            QVERIFY2((::access(file.constData(), F_OK) == 0) == (folder == used), file.constData());
        }
    }

    void pluginFolders_data()
    {
        PluginCases::columns();
        const auto row = &PluginCases::row;
        row("the installed folder", {"installed"}, {}, {}, true);
        row("the build tree, known by its marker", {"marked"}, {}, {}, true);
        row("a folder named plugins without the marker is no build tree", {"unmarked"}, {}, {},
            false);
        row("the installed folder comes before the build tree", {"installed", "marked-empty"}, {},
            {}, true);
        row("SCHEDULE_BACKUP_PLUGIN_DIR comes before the installed folder", {"installed-empty"},
            PLUGIN_DIR, {}, true);
        row("--plugin-dir comes before SCHEDULE_BACKUP_PLUGIN_DIR", {}, "/nonexistent", PLUGIN_DIR,
            true);
    }

    // A copy of the program in a folder of its own, with the plug-in folders beside it.
    void pluginFolders()
    {
        const auto [folders, variable, option, starts] = PluginCases::fetch();

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
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LD_LIBRARY_PATH", BUILD_LIB_DIR);
        environment.insert("SCHEDULE_BACKUP_PLUGIN_DIR", variable);
        QProcess process;
        process.setProcessEnvironment(environment);
        const QStringList pluginDir
            = option.isEmpty() ? QStringList() : QStringList {"--plugin-dir", option};
        process.start(root.filePath("bin/host"),
                      QStringList {"status", "--data", root.filePath("data")} + pluginDir);
        QVERIFY(process.waitForFinished(60000));
        QVERIFY2((process.exitCode() == ExitCode::Success) == starts,
                 process.readAllStandardError().constData());
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
