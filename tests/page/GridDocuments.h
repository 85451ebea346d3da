// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Rectangle documents written out by hand, so that expectations never share a fault with the grid's
// own writer.
namespace GridDocuments {

constexpr int Sun = 0, Mon = 1, Tue = 2, Wed = 3, Thu = 4, Fri = 5, Sat = 6;

// The document of blocks such as "Mon 9-17, Sat 22-24", "Mon-Fri 9-17" or "* 9.5-10" (every day):
// one rectangle per day and block, in the grid's order (by day, then by hour), with hours as the
// grid writes them ("9", "9.5", "24").
inline QString document(const QString& blocks)
{
    static const QStringList names {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    QMap<std::pair<int, double>, QString> rectangles;
    for (const QString& block : blocks.split(", ", Qt::SkipEmptyParts)) {
        const QString days = block.section(' ', 0, 0),
                      top = block.section(' ', 1).section('-', 0, 0);
        const int first = days == "*" ? Sun : int(names.indexOf(days.left(3)));
        const int last = days == "*" ? Sat : int(names.indexOf(days.right(3)));
        for (int day = first; day <= last; ++day)
            rectangles.insert({day, top.toDouble()},
                              QStringLiteral("{\"Top\":%1,\"Bottom\":%2,\"Left\":%3,\"Right\":%4}")
                                  .arg(top, block.section('-', -1))
                                  .arg(day)
                                  .arg(day + 1));
    }
    return "{\"Rectangles\":[" + rectangles.values().join(',') + "]}";
}

} // namespace GridDocuments
