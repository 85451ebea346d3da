// SPDX-License-Identifier: BSD-3-Clause
// A Qt plug-in of some other application: the host must recognise it by its interface id and
// never run any of its code.
#include <QObject>
#include <QtPlugin>

// Set as soon as the library is loaded, so a test can tell whether the host loaded it at all.
[[maybe_unused]] const bool Loaded = qputenv("SCHEDULE_BACKUP_FOREIGN_PLUGIN_LOADED", "1");

class ForeignPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.example.MediaCodecInterface")
};

#include "ForeignPlugin.moc"
