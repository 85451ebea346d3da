#pragma once

#include "CommandHandler.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>

class BackupService;

// Carries commands to the embedded backup service like a network would: each answer comes from
// the event loop after the configured latency, in the order the commands were sent. While another
// program is saving, an update is asked again from the event loop until the data file is free,
// so the event loop never stalls and the waiting client alone decides how long to wait.
class ServiceCommandHandler : public QObject, public CommandHandler
{
    Q_OBJECT

public:
    explicit ServiceCommandHandler(BackupService* service, QObject* parent = nullptr);
    ~ServiceCommandHandler() override;

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

    QPointer<BackupService> m_service;
    std::deque<Queued> m_queue;
    QTimer m_timer;
    int m_latency = 0;
    QString m_waitReason;
};
