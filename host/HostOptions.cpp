// SPDX-License-Identifier: BSD-3-Clause

#include "HostOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>

namespace {

// Bytes that stand for themselves in a name: an escape is a lone low surrogate, which valid UTF-8
// never yields and which a surrogate pair never ends with after a high one.
constexpr char16_t EscapeBase = 0xDC00;

bool isEscape(QStringView text, qsizetype at)
{
    const char16_t c = text[at].unicode();
    return c >= EscapeBase + 0x80 && c <= EscapeBase + 0xFF
        && (at == 0 || !text[at - 1].isHighSurrogate());
}

bool isContinuation(QByteArrayView bytes, qsizetype at, uchar low = 0x80, uchar high = 0xBF)
{
    return at < bytes.size() && uchar(bytes[at]) >= low && uchar(bytes[at]) <= high;
}

// The length of the valid UTF-8 sequence at `at`, or 0: no overlong forms, surrogates or code
// points beyond U+10FFFF.
qsizetype sequenceLength(QByteArrayView bytes, qsizetype at)
{
    const uchar lead = uchar(bytes[at]);
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return isContinuation(bytes, at + 1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const uchar low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
        return isContinuation(bytes, at + 1, low, high) && isContinuation(bytes, at + 2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const uchar low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
        return isContinuation(bytes, at + 1, low, high) && isContinuation(bytes, at + 2)
                && isContinuation(bytes, at + 3)
            ? 4
            : 0;
    }
    return 0;
}

} // namespace

QString HostOptionSet::decodeName(QByteArrayView bytes)
{
    QString name;
    qsizetype validFrom = 0;
    for (qsizetype at = 0; at < bytes.size();) {
        if (const qsizetype length = sequenceLength(bytes, at)) {
            at += length;
            continue;
        }
        name += QString::fromUtf8(bytes.sliced(validFrom, at - validFrom));
        name += QChar(char16_t(EscapeBase + uchar(bytes[at])));
        validFrom = ++at;
    }
    return name + QString::fromUtf8(bytes.sliced(validFrom));
}

std::optional<int> HostOptionSet::count(QStringView text, int minimum, int maximum)
{
    // More digits than any maximum has are refused without converting them.
    constexpr qsizetype MaxDigits = 10;
    if (text.isEmpty() || text.size() > MaxDigits
        || !std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const qint64 value = text.toLongLong();
    if (value < minimum || value > maximum)
        return std::nullopt;
    return int(value);
}

HostOptionSet::HostOptionSet()
    : m_data(QStringLiteral("data"),
             QCoreApplication::translate("HostOptions",
                                         "Data folder of the backup service (default: "
                                         "$SCHEDULE_BACKUP_DATA, else the user's data folder "
                                         "schedule-backup)."),
             QStringLiteral("dir")),
      m_pluginDir(QStringLiteral("plugin-dir"),
                  QCoreApplication::translate("HostOptions",
                                              "Folder to load plug-ins from (default: "
                                              "$SCHEDULE_BACKUP_PLUGIN_DIR, else the installed "
                                              "folder)."),
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
    const std::optional<int> latency = count(parser.value(m_latency), 0, MaxLatencyMs);
    if (!latency) {
        *error = QCoreApplication::translate("HostOptions", "--latency expects milliseconds");
        return false;
    }
    options->latencyMs = *latency;
    // An empty name would silently mean the default folder.
    if (parser.isSet(m_data) && parser.value(m_data).isEmpty()) {
        *error = QCoreApplication::translate("HostOptions", "--data expects a folder");
        return false;
    }
    options->dataDir = parser.value(m_data);
    options->pluginDir = parser.value(m_pluginDir);
    return true;
}

QStringList HostOptionSet::arguments(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(decodeName(argv[i]));
    return arguments;
}

QByteArray HostOptionSet::encodeName(QStringView name)
{
    QByteArray bytes;
    qsizetype textFrom = 0;
    for (qsizetype at = 0; at < name.size(); ++at) {
        if (!isEscape(name, at))
            continue;
        bytes += name.sliced(textFrom, at - textFrom).toUtf8();
        bytes += char(name[at].unicode() - EscapeBase);
        textFrom = at + 1;
    }
    return bytes + name.sliced(textFrom).toUtf8();
}
