#include "HostFramework.h"

#include "BackupService.h"
#include "HostLogging.h"
#include "PluginBase.h"
#include "ResultCodes.h"
#include "XML2Json.h"

HostFramework::HostFramework(BackupService* service, QObject* parent)
    : QObject(parent), m_service(service)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &HostFramework::processDue);
}

HostFramework::~HostFramework()
{
    cancelPending();
}

bool HostFramework::SendCommand(void* hostData, const QString& pluginId, const QString& command,
                                const QVariant& arguments, void* context, int flag,
                                const QString& relayPath)
{
    Q_UNUSED(hostData)
    Q_UNUSED(flag)
    const QPointer<PluginBase> target = m_plugins.value(pluginId);
    if (!target) {
        qCWarning(lcFramework) << "command" << command << "from unknown plug-in" << pluginId;
        return false;
    }
    if (!m_service || !BackupService::isKnownCommand(command)) {
        qCWarning(lcFramework) << "refused unknown command" << command;
        return false;
    }
    PendingCommand pending;
    pending.command = command;
    pending.arguments = arguments;
    pending.context = context;
    pending.relayPath = relayPath;
    pending.target = target;
    pending.due = QDeadlineTimer(m_latency);
    m_pending.push_back(std::move(pending));
    qCDebug(lcFramework) << "accepted" << command << "relay" << relayPath << "latency" << m_latency;
    Q_EMIT commandAccepted(command, relayPath);
    Q_EMIT pendingCountChanged(pendingCount());
    scheduleNext();
    return true;
}

QObject* HostFramework::GetPluginObject(void* hostData, const QString& pluginId)
{
    Q_UNUSED(hostData)
    if (QObject* object = m_objects.value(pluginId))
        return object;
    return m_plugins.value(pluginId);
}

void HostFramework::registerPlugin(const QString& pluginId, PluginBase* plugin)
{
    m_plugins.insert(pluginId, plugin);
}

void HostFramework::registerObject(const QString& pluginId, QObject* object)
{
    m_objects.insert(pluginId, object);
}

void HostFramework::unregisterAll()
{
    m_plugins.clear();
    m_objects.clear();
}

void HostFramework::setLatency(int milliseconds)
{
    milliseconds = std::max(0, milliseconds);
    if (m_latency == milliseconds)
        return;
    m_latency = milliseconds;
    Q_EMIT latencyChanged(m_latency);
}

void HostFramework::scheduleNext()
{
    if (m_pending.empty()) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(std::max<qint64>(0, m_pending.front().due.remainingTime())));
}

void HostFramework::processDue()
{
    // Commands run in the order they were sent; a reply handler may send the next command,
    // so the queue is re-read after every delivery.
    while (!m_pending.empty() && m_pending.front().due.hasExpired()) {
        const PendingCommand pending = std::move(m_pending.front());
        m_pending.pop_front();
        Q_EMIT pendingCountChanged(pendingCount());
        const ServiceReply reply = m_service
            ? m_service->handle(pending.command, pending.arguments)
            : ServiceReply {ResultCodes::Cancelled, QStringLiteral("<ServiceRes/>"),
                            QStringLiteral("backup service is gone")};
        deliver(pending, reply.resultCode, reply.xml, reply.reason);
    }
    scheduleNext();
}

void HostFramework::cancelPending()
{
    m_timer.stop();
    while (!m_pending.empty()) {
        const PendingCommand pending = std::move(m_pending.front());
        m_pending.pop_front();
        deliver(pending, ResultCodes::Cancelled,
                QStringLiteral("<CommandCancelled><Reason>host shutting down</Reason>"
                               "</CommandCancelled>"),
                QStringLiteral("host shutting down"));
    }
    Q_EMIT pendingCountChanged(0);
}

void HostFramework::deliver(const PendingCommand& pending, const QString& resultCode,
                            const QString& xml, const QString& reason)
{
    if (!pending.target) {
        // Only the plug-in can free the context; with the plug-in gone it is lost.
        qCWarning(lcFramework) << "reply to" << pending.command << "dropped: plug-in is gone";
        return;
    }
    if (resultCode != ResultCodes::Success)
        qCInfo(lcFramework) << pending.command << "failed with" << resultCode << reason;
    else
        qCDebug(lcFramework) << pending.command << "succeeded";
    // Replies take the road of a real one: XML text turned into the reply tree.
    const QVariant tree = XML2Json().parse(xml);
    pending.target->CommandProcessor(pending.command, tree, pending.context, resultCode, QString(),
                                     false, pending.relayPath);
    Q_EMIT replyDelivered(pending.command, resultCode, reason, pending.relayPath);
}
