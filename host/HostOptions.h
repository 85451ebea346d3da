// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QByteArray>
#include <QCommandLineOption>
#include <QString>
#include <QStringList>

#include <optional>

class QCommandLineParser;

// What a host needs to start: the service's data folder, where the plug-ins come from and the
// delay of the service's replies. Empty folders mean the defaults. The data folder may hold the
// bytes of a name that is not UTF-8 (see HostOptionSet::arguments).
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

    // The program's arguments for the parser. Like QCoreApplication::arguments(), but a byte that
    // is not part of valid UTF-8 becomes U+DC80 + byte instead of a replacement character, so that
    // encodeName() gives back the very bytes of a file name.
    static QStringList arguments(int argc, const char* const* argv);
    // The bytes of a name from arguments(); the same as QFile::encodeName() for any other text.
    static QByteArray encodeName(QStringView name);
    // Bytes from elsewhere (an environment variable) the way arguments() decodes them.
    static QString decodeName(QByteArrayView bytes);
    // A count as people type it in options: ASCII digits only (no blank, no sign, no "-0"),
    // from `minimum` to `maximum`; nothing otherwise.
    static std::optional<int> count(QStringView text, int minimum, int maximum);

private:
    QCommandLineOption m_data;
    QCommandLineOption m_pluginDir;
    QCommandLineOption m_latency;
};
