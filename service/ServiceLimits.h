// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "BackupWords.h"

#include <QString>

// The ranges the service accepts, in its own units. The front ends offer exactly the shared
// ranges, so a value the service holds can always be shown and sent back unchanged.
namespace ServiceLimits {

constexpr qint64 BytesPerMegabyte = 1 << 20;
constexpr qint64 MinutesPerDay = 1440;

constexpr int MaxThroughputMB = BackupWords::MaxThroughputMB;
constexpr int MaxRangeDays = BackupWords::MaxRangeDays;
constexpr qint64 MaxThroughputBytes = MaxThroughputMB * BytesPerMegabyte;
constexpr qint64 MaxRangeMinutes = MaxRangeDays * MinutesPerDay;

// True when every character can be stored in an XML 1.0 document: no control characters other
// than tab, line feed and carriage return, no U+FFFE or U+FFFF and no lone surrogates.
inline bool isStorableText(const QString& text)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return false;
        if (c == 0xFFFE || c == 0xFFFF)
            return false;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= size || !QChar::isLowSurrogate(text.at(i + 1).unicode()))
                return false;
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            return false;
        }
    }
    return true;
}

} // namespace ServiceLimits
