#pragma once

// Builders for the schedule model tests: time-card trees in the form the server delivers them,
// and the page's rectangle texts as the plug-in must print them.

#include "PluginLoading.h"
#include "PluginScheduleBackup.h"

#include <QString>
#include <QStringList>
#include <QVariant>

namespace ScheduleTrees {

inline PluginScheduleBackup* plugin()
{
    return qobject_cast<PluginScheduleBackup*>(PluginLoading::instance());
}

// Attribute values arrive as text in a reply tree.
inline QVariantMap interval(const QString& b, const QString& e)
{
    return {{QStringLiteral("@B"), b}, {QStringLiteral("@E"), e}};
}

inline QVariantMap interval(qint64 b, qint64 e)
{
    return interval(QString::number(b), QString::number(e));
}

// One time-frame entry (Mapping/Ele); `intervals` is Intervals/Ele as given: a map or a list.
inline QVariantMap entry(const QString& name, const QVariant& intervals)
{
    const QVariantMap frame {
        {QStringLiteral("Name"), name},
        {QStringLiteral("Intervals"), QVariantMap {{QStringLiteral("Ele"), intervals}}}};
    return {{QStringLiteral("Frame"), frame}};
}

inline QVariantMap mapping(const QVariant& entries)
{
    return {{QStringLiteral("Ele"), entries}};
}

// A single-day rectangle; the hours are passed exactly as they must appear in the text.
inline QString rect(const char* top, const char* bottom, int left)
{
    return QStringLiteral("{\"Top\":%1,\"Bottom\":%2,\"Left\":%3,\"Right\":%4}")
        .arg(QLatin1String(top), QLatin1String(bottom))
        .arg(left)
        .arg(left + 1);
}

inline QString document(const QStringList& rects)
{
    return QStringLiteral("{\"Rectangles\":[") + rects.join(QLatin1Char(','))
        + QStringLiteral("]}");
}

} // namespace ScheduleTrees
