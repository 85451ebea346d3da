#include "HostOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

HostOptionSet::HostOptionSet()
    : m_data(QStringLiteral("data"),
             QCoreApplication::translate("HostOptions",
                                         "Data folder of the backup service (default: the user's "
                                         "application data folder)."),
             QStringLiteral("dir")),
      m_pluginDir(QStringLiteral("plugin-dir"),
                  QCoreApplication::translate("HostOptions", "Folder to load plug-ins from."),
                  QStringLiteral("dir")),
      m_latency(
          QStringLiteral("latency"),
          QCoreApplication::translate("HostOptions", "Delay of every service reply (default 0)."),
          QStringLiteral("ms"), QStringLiteral("0"))
{ }

void HostOptionSet::addTo(QCommandLineParser* parser) const
{
    parser->addOptions({m_data, m_pluginDir, m_latency});
}

bool HostOptionSet::read(const QCommandLineParser& parser, HostOptions* options,
                         QString* error) const
{
    bool ok = false;
    const int latency = parser.value(m_latency).toInt(&ok);
    if (!ok || latency < 0 || latency > MaxLatencyMs) {
        *error = QCoreApplication::translate("HostOptions", "--latency expects milliseconds");
        return false;
    }
    options->latencyMs = latency;
    options->dataDir = parser.value(m_data);
    options->pluginDir = parser.value(m_pluginDir);
    return true;
}
