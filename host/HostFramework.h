// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "FrameworkWrapperBase.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <map>

class CommandHandler;
class PluginBase;
struct ServiceReply;

// The host's framework object. It hands the plug-ins' commands to a command handler and delivers
// each answer, turned into a reply tree, through the sending plug-in's CommandProcessor: exactly
// one reply per accepted command.
class HostFramework : public QObject, public FrameworkWrapperBase
{
    Q_OBJECT

public:
    explicit HostFramework(CommandHandler* handler, QObject* parent = nullptr);
    ~HostFramework() override;

    // FrameworkWrapperBase
    bool SendCommand(void* hostData, const QString& pluginId, const QString& command,
                     const QVariant& arguments, void* context, int flag,
                     const QString& relayPath) override;
    QObject* GetPluginObject(void* hostData, const QString& pluginId) override;

    void registerPlugin(const QString& pluginId, PluginBase* plugin);
    void registerObject(const QString& pluginId, QObject* object);
    void unregisterAll();

    int pendingCount() const { return int(m_pending.size()); }
    // Why the oldest command has no answer yet, as the command handler knows it; empty if nothing
    // but the network holds it up.
    QString waitReason() const;

    // Answers every outstanding command with a failure code, so each plug-in gets back (and
    // frees) the context it handed over. Called before the plug-ins go away.
    void cancelPending();

Q_SIGNALS:
    void pendingCountChanged(int count);
    void replyDelivered(const QString& command, const QString& resultCode, const QString& reason,
                        const QString& relayPath);

private:
    struct PendingCommand
    {
        QString command;
        void* context = nullptr;
        QString relayPath;
        QPointer<PluginBase> target;
    };

    void answer(quint64 id, const ServiceReply& reply);
    void deliver(const PendingCommand& pending, const ServiceReply& reply);

    CommandHandler* m_handler;
    QHash<QString, QPointer<PluginBase>> m_plugins;
    QHash<QString, QPointer<QObject>> m_objects;
    std::map<quint64, PendingCommand> m_pending;
    quint64 m_nextId = 1;
};
