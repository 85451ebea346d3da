// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "PluginBase.h"

// The least a client plug-in can be: the same interface, doing nothing. Loading it is the cost
// every plug-in pays, against which the real plug-in's load is measured.
class EmptyPlugin : public PluginBase
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PluginBase_iid FILE "EmptyPlugin.json")
    Q_INTERFACES(PluginBase)

public:
    void InitialPluginBase(QQmlContext*, void*, FrameworkWrapperBase*) override { }
    void EventProcessor(QString, long long, int, int, QVariant, const QString&) override { }
    void CommandProcessor(QString, QVariant, void*, QString, QString, bool, const QString&) override
    { }
    bool Init(QQmlContext*) override { return true; }
};
