// SPDX-License-Identifier: BSD-3-Clause

#include "ServiceCommandHandler.h"

#include "BackupService.h"

#include <algorithm>

namespace {

// How soon a command that found the data file busy is asked again.
constexpr int BusyRetryMs = 20;

} // namespace

ServiceCommandHandler::ServiceCommandHandler(BackupService* service, QObject* parent)
    : QObject(parent), m_service(service)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ServiceCommandHandler::processDue);
}

ServiceCommandHandler::ServiceCommandHandler(const QString& dataDir, QObject* parent)
    : ServiceCommandHandler(static_cast<BackupService*>(nullptr), parent)
{
    m_ownService = std::make_unique<BackupService>(dataDir);
    m_service = m_ownService.get();
}

ServiceCommandHandler::~ServiceCommandHandler() = default;

ServiceOpenResult ServiceCommandHandler::open()
{
    if (!m_service)
        return ServiceOpenResult::failure(ServiceOpenError::Unusable, QString());
    const StoreResult<> opened = m_service->open();
    if (opened)
        return ServiceOpenResult::success();
    return ServiceOpenResult::failure(opened.errorReason() == StoreError::Damaged
                                          ? ServiceOpenError::Damaged
                                          : ServiceOpenError::Unusable,
                                      opened.errorText());
}

QString ServiceCommandHandler::dataFilePath() const
{
    return m_service ? m_service->dataFilePath() : QString();
}

std::optional<QList<InventoryEntry>> ServiceCommandHandler::inventory() const
{
    const StoreResult<ServiceData> stored = m_service
        ? m_service->data()
        : StoreResult<ServiceData>::failure(StoreError::CannotRead, {});
    if (!stored)
        return std::nullopt;
    QList<InventoryEntry> entries;
    for (const InventoryCamera& camera : stored.value().inventory)
        entries.append({camera.cameraId, camera.groupId, camera.name});
    return entries;
}

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
        Queued& front = m_queue.front();
        const ServiceReply reply = m_service->handle(front.command, front.arguments);
        if (reply.busy) {
            // Later commands wait too, so the answers keep their order.
            m_waitReason = reply.reason;
            front.due = QDeadlineTimer(BusyRetryMs);
            break;
        }
        m_waitReason.clear();
        Queued queued = std::move(front);
        m_queue.pop_front();
        queued.answer(reply);
    }
    scheduleNext();
}
