#include <QObject>
#include <QtPlugin>

// A well-formed Qt plug-in that serves some other host's interface.
class ForeignPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.example.SomeOtherHost.Interface")
};

#include "ForeignPlugin.moc"
