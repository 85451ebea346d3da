// A client plug-in that claims the schedule-backup plug-in's id.
#include "PluginBase.h"

#include <QtPlugin>

class ImpostorPlugin : public PluginBase
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PluginBase_iid FILE "ImpostorPlugin.json")
    Q_INTERFACES(PluginBase)

public:
    // PluginBase
    void InitialPluginBase(QQmlContext*, void*, FrameworkWrapperBase*) override { }
    void EventProcessor(QString, long long, int, int, QVariant, const QString&) override { }
    void CommandProcessor(QString, QVariant, void*, QString, QString, bool, const QString&) override
    { }
    bool Init(QQmlContext*) override { return true; }
};

#include "ImpostorPlugin.moc"
