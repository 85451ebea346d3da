#pragma once

#include <QCommandLineOption>
#include <QString>

class QCommandLineParser;

// What a host needs to start: the service's data folder, where the plug-ins come from and the
// delay of the service's replies. Empty folders mean the defaults.
struct HostOptions
{
    QString dataDir;
    QString pluginDir;
    int latencyMs = 0;
};

// The command-line options every program of the kit shares.
class HostOptionSet
{
public:
    HostOptionSet();

    void addTo(QCommandLineParser* parser) const;
    // False, with a one-line text, when a value is not acceptable.
    bool read(const QCommandLineParser& parser, HostOptions* options, QString* error) const;

    static constexpr int MaxLatencyMs = 3600000;

private:
    QCommandLineOption m_data;
    QCommandLineOption m_pluginDir;
    QCommandLineOption m_latency;
};
