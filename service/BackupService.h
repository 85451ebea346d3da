// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "BackupStore.h"
#include "ServiceReply.h"
#include "TimeCard.h"

#include <QObject>
#include <QVariant>

#include <functional>

// The backup server the host talks to: keeps one scheduled-backup time-card and a camera
// inventory in its data folder and answers the client's commands with XML replies. Every command
// reads what is stored now, so several processes can share one data folder; an update is checked
// against the stored revision and written under the data file's lock. No command waits for that
// lock: while another program saves, an update comes back busy.
class BackupService : public QObject
{
    Q_OBJECT

public:
    explicit BackupService(const QString& dataDir, QObject* parent = nullptr);
    ~BackupService() override;

    // Seeds and writes a sample data file when the folder has none; otherwise checks that the
    // file can be read. A damaged file is reported, never overwritten.
    StoreResult<> open();

    static bool isKnownCommand(const QString& command);
    ServiceReply handle(const QString& command, const QVariant& arguments);

    // The stored state as it is now.
    StoreResult<ServiceData> data() const;
    QString dataFilePath() const { return m_store.filePath(); }

private:
    ServiceReply getTimeCard(const TimeCard& card) const;
    ServiceReply getBackupPath(const TimeCard& card) const;
    ServiceReply getBackupStatus(const TimeCard& card) const;
    ServiceReply updateTimeCard(const QString& replyElement, const QVariant& arguments);
    struct Update;
    ServiceReply storeUpdate(const QString& replyElement, const Update& update);
    ServiceReply refuse(const QString& replyElement, const QString& code, const QString& reason,
                        bool busy = false) const;

    BackupStore m_store;
};
