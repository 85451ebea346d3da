// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "BackupRules.h"
#include "CommandLine.h"
#include "PluginClient.h"

#include <QCoreApplication>
#include <QSet>
#include <QTextStream>

#include <optional>

// Runs one command of the front end against a started host's plug-in and prints the outcome.
class CliCommands
{
    Q_DECLARE_TR_FUNCTIONS(CliCommands)

public:
    CliCommands(PluginClient* client, QTextStream* out, QTextStream* err);

    int run(const CommandRequest& request);

    // The service's cameras; the settings then mark a camera that is no longer among them.
    void setInventory(const QStringList& cameraIds);

    static QString progressBar(qint64 progress, int width);

private:
    int show();
    int set(const CommandRequest& request);
    int schedule(const CommandRequest& request);
    int next(const CommandRequest& request);
    int status();

    int report(const PluginClient::Result& result);
    // What can be said about the next start after `at`, or an exit code after an error.
    int nextBackup(const QDateTime& at, BackupRules::NextBackup* state, QDateTime* start);
    void printSettings();
    void printStatus(const PluginClient::Status& status, bool terminal);
    QString cameraText() const;

    PluginClient* m_client;
    QTextStream* m_out;
    QTextStream* m_err;
    std::optional<QSet<QString>> m_inventory;
};
