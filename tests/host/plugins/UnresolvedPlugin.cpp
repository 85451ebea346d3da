// A client plug-in whose library needs a variable no other library defines: its metadata reads
// fine, but the library cannot be loaded.
#include "PluginBase.h"

#include <QtPlugin>

extern int scheduleBackupNowhereDefined;

class UnresolvedPlugin : public PluginBase
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PluginBase_iid FILE "UnresolvedPlugin.json")
    Q_INTERFACES(PluginBase)

public:
    // PluginBase
    void InitialPluginBase(QQmlContext*, void*, FrameworkWrapperBase*) override { }
    void EventProcessor(QString, long long, int, int, QVariant, const QString&) override { }
    void CommandProcessor(QString, QVariant, void*, QString, QString, bool, const QString&) override
    { }
    bool Init(QQmlContext*) override { return scheduleBackupNowhereDefined != 0; }
};

#include "UnresolvedPlugin.moc"
