// SPDX-License-Identifier: BSD-3-Clause
// The command-line host as processes on one data folder, and in-process for what a process
// cannot provoke.

#include "BackupStore.h"
#include "BackupWords.h"
#include "CliCommands.h"
#include "HostFramework.h"
#include "ScheduleBackupHost.h"
#include "Table.h"

#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
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
    // pipe whose reader has gone, as in `show | head -c1`; "german": the program runs in German),
    // the runs (one process each; all but the last succeed), the last one's exit code, and text in
    // its output or its one line of errors ("stored: <dir>": the directory in the data file
    // afterwards).
    using RunCases = Table<QString, QList<QStringList>, int, QString>;
    // Whether the framework knows the plug-in (if so, the server-info is gone), the arguments, the
    // exit code and the start of the only line on standard error.
    using InProcessCases = Table<bool, QStringList, int, QString>;
    // The folder in the test's folder (null: no --data and no HOME), whether it exists, the exit
    // code and the start of standard error.
    using FolderCases = Table<QByteArray, bool, int, QString>;

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
        if (setup == "german") {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("LC_ALL", "de_DE.UTF-8");
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
                QString::fromLocal8Bit(process.readAllStandardOutput()),
                QString::fromLocal8Bit(process.readAllStandardError())};
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

    QString storedDir() const { return BackupStore(m_data->path()).load().value().card.dir; }

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
        row("show says when scheduled backup is off", "", {{"set", "--enabled", "off"}, {"show"}},
            ExitCode::Success, "Next backup: Scheduled backup is off");
        row("a missing plug-in folder stops the host with 1", "",
            {{"show", "--plugin-dir", "/nonexistent/plugins"}}, ExitCode::HostFailure,
            "no schedule-backup plug-in in /nonexistent/plugins");
        row("a bad option value stops the program with 2", "", {{"set", "--enabled", "maybe"}},
            ExitCode::BadOptions, "--enabled expects on or off");
        row("an update the service refuses gives its reason and code with 4", "",
            {{"set", "--cameras", "cam-01,cam-42"}}, ExitCode::Failed,
            "error: \"UpdBkpTmcard\" failed: unknown camera \"cam-42\" (code 1004)");
        // Three requests of 400 ms each: every one fits the timeout, all of them do not.
        row("the timeout bounds the whole command, not each request, with 5", "",
            {{"show", "--latency", "400", "--timeout", "1000"}}, ExitCode::TimedOut,
            "within 1000 ms");
        row("a busy data file ends the wait at the timeout with 5, saying why", "busy",
            {{"set", "--enabled", "off", "--timeout", "1000"}}, ExitCode::TimedOut,
            "within 1000 ms: another program is saving to");
        row("a data file that is a FIFO stops the host with 1 at once", "fifo", {{"show"}},
            ExitCode::HostFailure, "it is a FIFO");
        row("show marks a camera that left the inventory", "left", {{"show"}}, ExitCode::Success,
            "Cameras: cam-03, cam-99 (no longer in the inventory) Schedule name:");
        row("a save keeps a camera that left the inventory", "left",
            {{"set", "--enabled", "off"}, {"show"}}, ExitCode::Success,
            "cam-99 (no longer in the inventory)");
        row("German day names are read and written", "german",
            {{"schedule", "--schedule", "Mo-Fr 18:00-19:00"}}, ExitCode::Success,
            ": Mo-Fr 18:00-19:00");
        row("English day names are read in German too", "german",
            {{"schedule", "--schedule", "Mon-Fri 18:00-19:00"}}, ExitCode::Success,
            ": Mo-Fr 18:00-19:00");
        row("show whose reader is gone exits 0", "stdout-gone", {{"show"}}, ExitCode::Success, "");
        row("set whose reader is gone stores and exits 0", "stdout-gone",
            {{"set", "--dir", "/no/reader"}}, ExitCode::Success, "stored: /no/reader");
        row("a bad option exits 2 without errors to read", "stderr-gone",
            {{"set", "--enabled", "maybe"}}, ExitCode::BadOptions, "");
        row("a refused update exits 4 without errors to read", "stderr-gone",
            {{"set", "--dir", "/x", "--cameras", "cam-42"}}, ExitCode::Failed,
            "stored: /srv/backup/video");
        row("--cameras replaces a list that holds a camera that left the inventory", "left",
            {{"set", "--cameras", "cam-01"}, {"show"}}, ExitCode::Success,
            "Cameras: cam-01 Schedule name:");
    }

    void runs()
    {
        const auto [setup, runs, code, text] = RunCases::fetch();
        const BackupStore::Lock held = prepare(setup);

        Run run;
        for (const QStringList& arguments : runs) {
            if (run.exitCode != -1)
                QVERIFY2(run.exitCode == ExitCode::Success && run.err.isEmpty(),
                         qPrintable(run.err));
            run = runHost(arguments, setup);
        }
        QVERIFY2(run.exitCode == code, qPrintable(run.err));
        if (setup.endsWith("-gone")) {
            if (!text.isEmpty())
                QCOMPARE("stored: " + storedDir(), text);
            return;
        }
        QVERIFY2(run.err.isEmpty() == (code == ExitCode::Success)
                     && !run.err.trimmed().contains('\n'),
                 qPrintable(run.err));
        const QString& said = code == ExitCode::Success ? run.out : run.err;
        QVERIFY2(said.simplified().contains(text), qPrintable(said));
    }

    void inProcessRuns_data()
    {
        InProcessCases::columns();
        InProcessCases::row(
            "a framework that no longer knows the plug-in turns its requests down with 3", false,
            {"show"}, ExitCode::Refused, "error: the plug-in refused to send ");
        // Without the server-info the plug-in answers 0, the start of 1970.
        InProcessCases::row("next prints no time in the past", true,
                            {"next", "--at", "2026-12-12T18:00"}, ExitCode::Failed,
                            "error: no next backup time can be given after 2026-12-12T18:00:00");
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

    void racingSetsLoseNoUpdate()
    {
        // Two processes at a time store a directory each; the latency makes them overlap.
        QCOMPARE(runHost({"show"}).exitCode, ExitCode::Success); // seeds the data folder
        const BackupStore store(m_data->path());
        qint64 revision = store.load().value().card.revision;
        for (int round = 0; round < 20; ++round) {
            std::array<QProcess, 2> processes;
            for (int p = 0; p < 2; ++p)
                processes[p].start(HOST_EXECUTABLE,
                                   hostArguments({"set", "--dir", QString("/race/%1").arg(p),
                                                  "--latency", "100"}));
            QStringList won; // the directories of the runs that succeeded
            for (int p = 0; p < 2; ++p) {
                QVERIFY(processes[p].waitForFinished(60000));
                const QString err = QString::fromLocal8Bit(processes[p].readAllStandardError());
                if (processes[p].exitCode() == ExitCode::Success) {
                    won.append(QString("/race/%1").arg(p));
                    continue;
                }
                // The loser is told that someone else stored first.
                QVERIFY2(processes[p].exitCode() == ExitCode::Failed && err.count('\n') == 1
                             && err.contains("(code 1001)"),
                         qPrintable(err));
            }
            // Every success is stored once: the revision rose by their number, and the file holds
            // the directory of one of them.
            const TimeCard card = store.load().value().card;
            QVERIFY(!won.isEmpty());
            QCOMPARE(card.revision, revision + won.size());
            QVERIFY2(won.contains(card.dir), qPrintable(card.dir));
            revision = card.revision;
        }
    }

    // The trace goes to a FIFO whose reader leaves after the first bytes, while the command still
    // has requests to make: the update is stored and the trace goes on to standard error.
    void traceFifoWhoseReaderLeaves()
    {
        const QString fifo = m_data->filePath("trace.fifo");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const int reader
            = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(reader >= 0);
        QProcess process;
        process.start(HOST_EXECUTABLE,
                      hostArguments({"set", "--dir", "/fifo/left", "--trace", "5", "--trace-file",
                                     fifo, "--latency", "200"}));
        pollfd readable {reader, POLLIN, 0};
        char bytes[64];
        const bool read
            = ::poll(&readable, 1, 30000) == 1 && ::read(reader, bytes, sizeof bytes) > 0;
        ::close(reader);
        QVERIFY(read);

        QVERIFY(process.waitForFinished(60000));
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(process.exitStatus() == QProcess::NormalExit
                     && process.exitCode() == ExitCode::Success,
                 qPrintable(err));
        QCOMPARE(err.count("ZeltLogUtl: "), 1);
        QVERIFY2(err.contains(" (Broken pipe), tracing to standard error\n"), qPrintable(err));
        QCOMPARE(storedDir(), "/fifo/left");
    }

    void dataFolderNames_data()
    {
        FolderCases::columns();
        const auto row = &FolderCases::row;
        row("a Latin-1 byte names the folder that is there", "caf\xe9", true, ExitCode::Success,
            {});
        row("bytes that are not UTF-8 name the folder that is created", "new\xff\xc3(/sub", false,
            ExitCode::Success, {});
        row("an empty name is a bad option", "", false, ExitCode::BadOptions,
            "schedule-backup-host: --data expects a folder");
        row("without a home folder the default folder is refused", QByteArray(), false,
            ExitCode::HostFailure, "error: there is no home folder");
    }

    // A QString argument cannot carry bytes that are not UTF-8, so the folder goes through the
    // environment to a shell that passes it on.
    void dataFolderNames()
    {
        const auto [folder, exists, code, error] = FolderCases::fetch();

        const QByteArray base = QFile::encodeName(m_data->path());
        const QByteArray path = folder.isEmpty() ? folder : base + '/' + folder;
        // Qt can neither list nor remove such names.
        const auto removeAll = qScopeGuard([&] {
            QProcess::execute("rm", {"-rf", "--", m_data->path()});
        });
        QVERIFY(!exists || ::mkdir(path.constData(), 0700) == 0);
        qputenv("TST_CLI_DATA", path);
        // A home of its own catches a store that goes to the default folder instead.
        qputenv("TST_CLI_HOME", base + "/home");
        const char* script = folder.isNull()
            ? R"(exec env -u HOME -u XDG_DATA_HOME "$0" "$@")"
            : R"(HOME="$TST_CLI_HOME" XDG_DATA_HOME= exec "$0" --data "$TST_CLI_DATA" "$@")";
        QProcess process;
        process.start(
            "/bin/sh",
            {"-c", script, HOST_EXECUTABLE, "set", "--dir", "/bytes", "--plugin-dir", PLUGIN_DIR});
        QVERIFY(process.waitForFinished(60000));
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == code
                     && err.startsWith(error),
                 qPrintable(err));
        if (code != ExitCode::Success)
            return;
        // The update went to that folder, and no other one was seeded beside it.
        std::ifstream stored(path + "/schedule-backup.xml");
        const std::string text((std::istreambuf_iterator<char>(stored)), {});
        QVERIFY2(text.find("<Dir>/bytes</Dir>") != std::string::npos, text.c_str());
        DIR* entries = ::opendir(base.constData());
        QVERIFY(entries != nullptr);
        int count = 0;
        while (const dirent* entry = ::readdir(entries))
            count += qstrcmp(entry->d_name, ".") != 0 && qstrcmp(entry->d_name, "..") != 0;
        ::closedir(entries);
        QCOMPARE(count, 1);
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
