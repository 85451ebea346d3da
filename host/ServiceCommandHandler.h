#pragma once

#include "CommandHandler.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>

class BackupService;

// Carries commands to the embedded backup service like a network would: each answer comes from
// the event loop after the configured latency, in the order the commands were sent.
class ServiceCommandHandler : public QObject, public CommandHandler
{
    Q_OBJECT

public:
    explicit ServiceCommandHandler(BackupService* service, QObject* parent = nullptr);
    ~ServiceCommandHandler() override;

    bool submit(const QString& command, const QVariant& arguments, Answer answer) override;

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
};
