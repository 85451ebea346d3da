// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "CommandHandler.h"
#include "Result.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>

class BackupService;

enum class ServiceOpenError {
    NoError,
    Unusable, // the data folder or file cannot be read or written
    Damaged, // the data file is there but damaged; it is left as it is
};
using ServiceOpenResult = Result<ServiceOpenError>;

// A camera of the service's inventory.
struct InventoryEntry
{
    QString cameraId;
    QString groupId;
    QString name;
};

// Carries commands to the embedded backup service like a network would: each answer comes from
// the event loop after the configured latency, in the order the commands were sent. While another
// program is saving, an update is asked again from the event loop until the data file is free,
// so the event loop never stalls and the waiting client alone decides how long to wait.
// This is the one place of the host that knows the service's types.
class ServiceCommandHandler : public QObject, public CommandHandler
{
    Q_OBJECT

public:
    explicit ServiceCommandHandler(BackupService* service, QObject* parent = nullptr);
    // Runs a service of its own on the data folder; open() it before the first command.
    explicit ServiceCommandHandler(const QString& dataDir, QObject* parent = nullptr);
    ~ServiceCommandHandler() override;

    // Seeds the data folder when it has no data file; a damaged file is reported, never
    // overwritten.
    ServiceOpenResult open();
    QString dataFilePath() const;
    // Nothing when the data file cannot be read.
    std::optional<QList<InventoryEntry>> inventory() const;

    bool submit(const QString& command, const QVariant& arguments, Answer answer) override;

    QString waitReason() const override { return m_waitReason; }

    void setLatency(int milliseconds);

private:
    struct Queued
    {
        QString command;
        QVariant arguments;
        Answer answer;
        QDeadlineTimer due;
    };

    void processDue();
    void scheduleNext();

    std::unique_ptr<BackupService> m_ownService;
    QPointer<BackupService> m_service;
    std::deque<Queued> m_queue;
    QTimer m_timer;
    int m_latency = 0;
    QString m_waitReason;
};
