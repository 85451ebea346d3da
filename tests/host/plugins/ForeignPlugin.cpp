// A Qt plug-in of some other application: the host must recognise it by its interface id and
// never create its instance.
#include <QObject>
#include <QtPlugin>

class ForeignPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.example.MediaCodecInterface")
};

#include "ForeignPlugin.moc"
