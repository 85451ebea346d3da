// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QString>
#include <QVariant>

class QObject;

// The host's side of the plug-in contract: plug-ins send commands and find sibling plug-ins here.
class FrameworkWrapperBase
{
public:
    virtual ~FrameworkWrapperBase() = default;

    // True when the command went out; exactly one reply then comes back through the plug-in's
    // CommandProcessor with the same command name, context pointer and relay path.
    virtual bool SendCommand(void* hostData, const QString& pluginId, const QString& command,
                             const QVariant& arguments, void* context, int flag,
                             const QString& relayPath)
        = 0;
    virtual QObject* GetPluginObject(void* hostData, const QString& pluginId) = 0;
};
