#pragma once

#include "CommandLine.h"
#include "PluginClient.h"

#include <QCoreApplication>
#include <QTextStream>

// Runs one command of the front end against a started host's plug-in and prints the outcome.
class CliCommands
{
    Q_DECLARE_TR_FUNCTIONS(CliCommands)

public:
    CliCommands(PluginClient* client, QTextStream* out, QTextStream* err);

    int run(const CommandRequest& request);

    static QString progressBar(qint64 progress, int width);

private:
    int show();
    int set(const CommandRequest& request);
    int schedule(const CommandRequest& request);
    int next(const CommandRequest& request);
    int status();

    int report(const PluginClient::Result& result);
    // The next start after `at` as the commands print it, or an exit code after an error.
    int nextBackupText(const QDateTime& at, QString* text);
    void printSettings();
    void printStatus(const PluginClient::Status& status, bool terminal);

    PluginClient* m_client;
    QTextStream* m_out;
    QTextStream* m_err;
};
