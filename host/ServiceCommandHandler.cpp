#include "ServiceCommandHandler.h"

#include "BackupService.h"

#include <algorithm>

ServiceCommandHandler::ServiceCommandHandler(BackupService* service, QObject* parent)
    : QObject(parent), m_service(service)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ServiceCommandHandler::processDue);
}

ServiceCommandHandler::~ServiceCommandHandler() = default;

bool ServiceCommandHandler::submit(const QString& command, const QVariant& arguments, Answer answer)
{
    if (!m_service || !BackupService::isKnownCommand(command))
        return false;
    m_queue.push_back({command, arguments, std::move(answer), QDeadlineTimer(m_latency)});
    scheduleNext();
    return true;
}

void ServiceCommandHandler::setLatency(int milliseconds)
{
    m_latency = std::max(0, milliseconds);
}

void ServiceCommandHandler::scheduleNext()
{
    if (m_queue.empty()) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(std::max<qint64>(0, m_queue.front().due.remainingTime())));
}

void ServiceCommandHandler::processDue()
{
    // An answer may lead to the next command, so the queue is re-read after every one.
    while (!m_queue.empty() && m_queue.front().due.hasExpired()) {
        Queued queued = std::move(m_queue.front());
        m_queue.pop_front();
        queued.answer(m_service->handle(queued.command, queued.arguments));
    }
    scheduleNext();
}
