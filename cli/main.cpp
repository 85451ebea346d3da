// SPDX-License-Identifier: BSD-3-Clause

#include "CliCommands.h"
#include "CommandLine.h"
#include "HostLogging.h"
#include "MessageLocale.h"
#include "PluginClient.h"
#include "ScheduleBackupHost.h"
#include "ServiceCommandHandler.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QTextStream>
#include <QTranslator>

#include <csignal>
#include <optional>

namespace {

// The plug-in reads its trace settings when its library is loaded, so they must be in the
// environment before the host loads any plug-in.
void configureTracing(const CommandRequest& request)
{
    if (request.traceLevel)
        qputenv("ZELT_LOG_LEVEL", QByteArray::number(*request.traceLevel));
    else if (!qEnvironmentVariableIsSet("ZELT_LOG_LEVEL"))
        qputenv("ZELT_LOG_LEVEL", "0"); // keep the front end's output clean by default
    if (!request.traceFile.isEmpty())
        qputenv("ZELT_LOG_FILE", HostOptionSet::encodeName(request.traceFile));

    const int level = request.traceLevel.value_or(0);
    QString rules;
    if (level >= 3)
        rules += QStringLiteral("schedulebackup.*.info=true\n");
    if (level >= 5)
        rules += QStringLiteral("schedulebackup.*.debug=true\n");
    if (!rules.isEmpty())
        QLoggingCategory::setFilterRules(rules);
}

// The system locale (LANG, LANGUAGE) picks the language, unless the locale is C; English needs no
// catalogue. The catalogues lie at the same place relative to the program in the build tree and
// installed.
void installTranslators(QTranslator* messages, QTranslator* qtMessages)
{
    MessageLocale::install(messages, QStringLiteral("schedule-backup-host"),
                           QCoreApplication::applicationDirPath()
                               + QStringLiteral("/" SCHEDULE_BACKUP_TRANSLATIONS_FROM_BIN));
    MessageLocale::install(qtMessages, QStringLiteral("qtbase"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

// Help, the version or a refusal of the command line; nothing when a command is to run.
std::optional<int> answerWithoutRunning(const CommandLineResult& commandLine, QTextStream& out,
                                        QTextStream& err)
{
    switch (commandLine.action) {
    case CommandLineResult::Action::Help:
        out << commandLine.text;
        return ExitCode::Success;
    case CommandLineResult::Action::Version:
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
            << Qt::endl;
        return ExitCode::Success;
    case CommandLineResult::Action::Error:
        err << errorLine(
            QCoreApplication::translate("main", "%1 (see --help)").arg(commandLine.text))
            << Qt::endl;
        return ExitCode::BadOptions;
    case CommandLineResult::Action::Run:
        break;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    // A reader of the output that leaves early (`show | head -1`) must not end the program before
    // a command is complete: a failed write is dropped and the exit code tells how the command
    // went.
    std::signal(SIGPIPE, SIG_IGN);
    MessageLocale::dropQtLocaleNotice();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("schedule-backup-host"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SCHEDULE_BACKUP_VERSION));
    QTranslator messages, qtMessages;
    installTranslators(&messages, &qtMessages);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const CommandLineResult commandLine = parseCommandLine(HostOptionSet::arguments(argc, argv));
    if (const std::optional<int> exitCode = answerWithoutRunning(commandLine, out, err))
        return *exitCode;
    const CommandRequest& request = commandLine.request;
    configureTracing(request);

    ScheduleBackupHost host;
    const HostStartResult started = host.start(request.host);
    if (!started) {
        err << errorLine(started.errorText()) << Qt::endl;
        return ExitCode::HostFailure;
    }
    qCInfo(lcHost) << "data file" << host.service()->dataFilePath();

    PluginClient client(host.scheduleBackup(), host.framework());
    client.setTimeout(request.timeoutMs);
    CliCommands commands(&client, &out, &err);
    commands.setDataFolder(host.dataFolder());
    if (const auto inventory = host.service()->inventory()) {
        QList<CliCommands::Camera> cameras;
        for (const InventoryEntry& camera : *inventory)
            cameras.append({camera.cameraId, camera.name, camera.groupId});
        commands.setInventory(cameras);
    }
    const int exitCode = commands.run(request);
    out.flush();
    host.shutdown();
    return exitCode;
}
