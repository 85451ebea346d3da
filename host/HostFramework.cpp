// SPDX-License-Identifier: BSD-3-Clause

#include "HostFramework.h"

#include "BackupWords.h"
#include "CommandHandler.h"
#include "HostLogging.h"
#include "PluginBase.h"
#include "XML2Json.h"

HostFramework::HostFramework(CommandHandler* handler, QObject* parent)
    : QObject(parent), m_handler(handler)
{ }

HostFramework::~HostFramework()
{
    cancelPending();
}

QString HostFramework::waitReason() const
{
    return m_handler && !m_pending.empty() ? m_handler->waitReason() : QString();
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
    if (!m_handler)
        return false;
    const quint64 id = m_nextId++;
    // Registered before the hand-over, so that even an answer given too early finds it.
    m_pending.emplace(id, PendingCommand {command, context, relayPath, target});
    const QPointer<HostFramework> self(this);
    const bool accepted
        = m_handler->submit(command, arguments, [self, id](const ServiceReply& reply) {
              if (self)
                  self->answer(id, reply);
          });
    if (!accepted) {
        m_pending.erase(id);
        qCWarning(lcFramework) << "refused command" << command;
        return false;
    }
    qCDebug(lcFramework) << "accepted" << command << "relay" << relayPath;
    Q_EMIT pendingCountChanged(pendingCount());
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

void HostFramework::answer(quint64 id, const ServiceReply& reply)
{
    const auto it = m_pending.find(id);
    if (it == m_pending.end()) {
        // Already answered or cancelled: the context went back to the plug-in once already.
        qCWarning(lcFramework) << "dropped a second answer to one command";
        return;
    }
    const PendingCommand pending = std::move(it->second);
    m_pending.erase(it);
    Q_EMIT pendingCountChanged(pendingCount());
    deliver(pending, reply);
}

void HostFramework::cancelPending()
{
    if (m_pending.empty())
        return;
    const QString reason = tr("host shutting down");
    const ServiceReply cancelled {BackupWords::Code::Cancelled,
                                  QStringLiteral("<%1><%2>%3</%2></%1>")
                                      .arg(BackupWords::Reply::CancelledRoot,
                                           BackupWords::Reply::Reason, reason.toHtmlEscaped()),
                                  reason};
    while (!m_pending.empty())
        answer(m_pending.begin()->first, cancelled);
}

void HostFramework::deliver(const PendingCommand& pending, const ServiceReply& reply)
{
    if (!pending.target) {
        // Only the plug-in can free the context; with the plug-in gone it is lost.
        qCWarning(lcFramework) << "reply to" << pending.command << "dropped: plug-in is gone";
        return;
    }
    if (reply.resultCode != BackupWords::Code::Success)
        qCInfo(lcFramework) << pending.command << "failed with" << reply.resultCode << reply.reason;
    else
        qCDebug(lcFramework) << pending.command << "succeeded";
    // Replies take the road of a real one: XML text turned into the reply tree.
    const QVariant tree = XML2Json().parse(reply.xml);
    pending.target->CommandProcessor(pending.command, tree, pending.context, reply.resultCode,
                                     QString(), false, pending.relayPath);
    Q_EMIT replyDelivered(pending.command, reply.resultCode, reply.reason, pending.relayPath);
}
