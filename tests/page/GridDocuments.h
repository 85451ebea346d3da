// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QString>
#include <QStringList>

// Rectangle documents written out by hand, so that expectations never share a fault with the
// grid's own writer.
namespace GridDocuments {

constexpr int Sun = 0, Mon = 1, Tue = 2, Wed = 3, Thu = 4, Fri = 5, Sat = 6;

// One day's block; hours as the grid writes them ("9", "9.5", "24").
inline QString rect(const char* top, const char* bottom, int day)
{
    return QStringLiteral("{\"Top\":%1,\"Bottom\":%2,\"Left\":%3,\"Right\":%4}")
        .arg(QLatin1String(top), QLatin1String(bottom))
        .arg(day)
        .arg(day + 1);
}

inline QString document(const QStringList& rectangles)
{
    return QStringLiteral("{\"Rectangles\":[") + rectangles.join(u',') + QStringLiteral("]}");
}

} // namespace GridDocuments
