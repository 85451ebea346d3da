// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "BackupRules.h"
#include "CommandLine.h"
#include "PluginClient.h"
#include "ScheduleBackupHost.h"

#include <QCoreApplication>
#include <QJsonObject>
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

    struct Camera
    {
        QString id;
        QString name;
        QString group;
    };
    // The service's cameras; the settings then mark a camera that is no longer among them.
    void setInventory(const QList<Camera>& cameras);
    // The data folder in use, which show names.
    void setDataFolder(const DataFolder& folder);

    static QString progressBar(qint64 progress, int width);

private:
    int show(bool json);
    int set(const CommandRequest& request);
    int schedule(const CommandRequest& request);
    int next(const CommandRequest& request);
    int status(bool json);
    int cameras(const CommandRequest& request);

    int report(const PluginClient::Result& result);
    void printJson(const QJsonObject& object);
    QString dataFolderText() const;
    // What can be said about the next start after `at`, or an exit code after an error.
    int nextBackup(const QDateTime& at, BackupRules::NextBackup* state, QDateTime* start);
    void printSettings();
    void printStatus(const PluginClient::Status& status, bool terminal);
    QString cameraText() const;

    PluginClient* m_client;
    QTextStream* m_out;
    QTextStream* m_err;
    std::optional<QList<Camera>> m_inventory;
    DataFolder m_dataFolder;
};
