// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

class QQmlContext;
class ConfigBase;
class FrameworkWrapperBase;

#define PluginBase_iid "com.zelt.UIFramework.PluginInterface"

// Reported by the host's framework when a command could not be handled on the client side.
inline const QString FRAMEWORK_INTERNAL_ERROR
    = QStringLiteral("{2C85B19D-AE6F-45D9-B8FE-DC436FCBEABE}FrameworkInternalError");

// The interface every client plug-in implements. It deliberately carries no Q_OBJECT: the
// implementing class owns the only meta-object, and Q_DECLARE_INTERFACE makes qobject_cast work.
class PluginBase : public QObject
{
public:
    virtual void InitialPluginBase(QQmlContext* context, void* hostData,
                                   FrameworkWrapperBase* framework)
        = 0;
    virtual void EventProcessor(QString, long long, int, int, QVariant, const QString&) = 0;
    virtual void EventProcessorEx(QString, ConfigBase*, long long, int, int, QVariant,
                                  const QString&)
    { }
    virtual void CommandProcessor(QString command, QVariant result, void* context,
                                  QString resultCode, QString, bool, const QString& relayPath)
        = 0;
    virtual void CommandProcessorEx(QString, ConfigBase*, QVariant, void*, QString, QString, bool,
                                    const QString&)
    { }
    virtual bool Init(QQmlContext* context) = 0;
    virtual void LoadClientOnlyPluginDone() { }
    virtual void LoadPairPluginDone() { }
    virtual void PluginServerConnected() { }
    virtual void PluginServerDisconnected() { }

    bool hostFlag = false;
    QString prefixName;
    QString pluginId;
    void* hostData = nullptr;
    FrameworkWrapperBase* framework = nullptr;
};

Q_DECLARE_INTERFACE(PluginBase, PluginBase_iid)
