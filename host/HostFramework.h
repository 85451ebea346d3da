#pragma once

#include "FrameworkWrapperBase.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>

class BackupService;
class PluginBase;

// The host's framework object. Commands are queued for the backup service and answered later
// from the event loop, one reply per accepted command, through the plug-in's CommandProcessor.
class HostFramework : public QObject, public FrameworkWrapperBase
{
    Q_OBJECT
    Q_PROPERTY(int latency READ latency WRITE setLatency NOTIFY latencyChanged)
    Q_PROPERTY(int pendingCount READ pendingCount NOTIFY pendingCountChanged)

public:
    explicit HostFramework(BackupService* service, QObject* parent = nullptr);
    ~HostFramework() override;

    bool SendCommand(void* hostData, const QString& pluginId, const QString& command,
                     const QVariant& arguments, void* context, int flag,
                     const QString& relayPath) override;
    QObject* GetPluginObject(void* hostData, const QString& pluginId) override;

    void registerPlugin(const QString& pluginId, PluginBase* plugin);
    void registerObject(const QString& pluginId, QObject* object);
    void unregisterAll();

    int latency() const { return m_latency; }
    void setLatency(int milliseconds);
    int pendingCount() const { return int(m_pending.size()); }

    // Answers every queued command with a failure code, so each plug-in gets back (and frees)
    // the context it handed over. Called before the plug-ins go away.
    void cancelPending();

Q_SIGNALS:
    void latencyChanged(int latency);
    void pendingCountChanged(int count);
    void commandAccepted(const QString& command, const QString& relayPath);
    void replyDelivered(const QString& command, const QString& resultCode, const QString& reason,
                        const QString& relayPath);

private:
    struct PendingCommand
    {
        QString command;
        QVariant arguments;
        void* context = nullptr;
        QString relayPath;
        QPointer<PluginBase> target;
        QDeadlineTimer due;
    };

    void processDue();
    void deliver(const PendingCommand& pending, const QString& resultCode, const QString& xml,
                 const QString& reason);
    void scheduleNext();

    QPointer<BackupService> m_service;
    QHash<QString, QPointer<PluginBase>> m_plugins;
    QHash<QString, QPointer<QObject>> m_objects;
    std::deque<PendingCommand> m_pending;
    QTimer m_timer;
    int m_latency = 0;
};
