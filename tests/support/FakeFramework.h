// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "FrameworkWrapperBase.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>

class PluginBase;

// Stand-in for the server-info plug-in: answers timestamps as milliseconds since the epoch.
class FakeServerInfo : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // An empty answer models a server-info plug-in that cannot tell the time.
    bool answerEmpty = false;
    int calls = 0;

    Q_INVOKABLE QVariantList getTimestamp(const QDateTime& dateTime);
};

// Records every command a plug-in sends and lets a test deliver the replies the way a host does.
class FakeFramework : public FrameworkWrapperBase
{
public:
    struct SentCommand
    {
        void* hostData = nullptr;
        QString pluginId;
        QString command;
        QVariant arguments;
        void* context = nullptr;
        int flag = -1;
        QString relayPath;
    };

    bool SendCommand(void* hostData, const QString& pluginId, const QString& command,
                     const QVariant& arguments, void* context, int flag,
                     const QString& relayPath) override;
    QObject* GetPluginObject(void* hostData, const QString& pluginId) override;

    // Delivers the reply to sent command `index` through CommandProcessor, handing back its
    // context and relay path; the context then belongs to the plug-in again.
    void reply(PluginBase* plugin, int index, const QString& resultCode,
               const QVariant& result = QVariant());

    QVariantMap argumentsOf(int index) const { return sent.at(index).arguments.toMap(); }

    bool accept = true;
    // Called from inside SendCommand with the index of an accepted command, for a host that
    // answers before SendCommand returns.
    std::function<void(int index)> answerInside;
    QList<SentCommand> sent;
    QPointer<QObject> serverInfo;
};
