// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QString>
#include <QVariant>

#include <limits>

namespace ScheduleBounds {

// An interval bound that is a number outside the signed 32-bit range: the composer never writes
// one, so it marks a corrupt interval. Text that is no number at all is not out of range; it
// reads as 0 like a missing bound.
inline bool isOutOfRange(const QVariant& value)
{
    constexpr qint64 lowest = std::numeric_limits<int>::min();
    constexpr qint64 highest = std::numeric_limits<int>::max();
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        const bool negative = text.startsWith(QLatin1Char('-'));
        const qsizetype signLength = (negative || text.startsWith(QLatin1Char('+'))) ? 1 : 0;
        if (text.size() == signLength)
            return false;
        qint64 magnitude = 0;
        for (qsizetype i = signLength; i < text.size(); ++i) {
            const char16_t digit = text.at(i).unicode();
            if (digit < u'0' || digit > u'9')
                return false;
            magnitude = magnitude * 10 + (digit - u'0');
            if (magnitude > highest + 1)
                return true; // stop before the magnitude itself could overflow
        }
        return negative ? -magnitude < lowest : magnitude > highest;
    }
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UInt:
        return value.toULongLong() > quint64(highest);
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        return !(number >= double(lowest) && number <= double(highest));
    }
    default: {
        bool ok = false;
        const qint64 number = value.toLongLong(&ok);
        return ok && (number < lowest || number > highest);
    }
    }
}

// A bound as the server writes it: text of one to nine ASCII digits. Such a bound is in range and
// reads as its number in both readings below, so it is read here directly, without the
// conversions the general case needs.
inline bool readPlainDigits(const QVariant& value, qint64& bound)
{
    if (value.typeId() != QMetaType::QString)
        return false;
    const QString& text = *static_cast<const QString*>(value.constData());
    if (text.isEmpty() || text.size() > 9)
        return false;
    qint64 number = 0;
    for (const QChar c : text) {
        const char16_t digit = c.unicode();
        if (digit < u'0' || digit > u'9')
            return false;
        number = number * 10 + (digit - u'0');
    }
    bound = number;
    return true;
}

// Two readings of a stored bound. Both refuse one outside the 32-bit range and read a missing or
// non-numeric one as 0.

// The page's grid starts on Sunday and cuts days by unsigned division: a negative bound reads as 0.
inline bool readNegativeAsZero(const QVariant& value, quint64& bound)
{
    qint64 plain = 0;
    if (readPlainDigits(value, plain)) {
        bound = quint64(plain);
        return true;
    }
    if (isOutOfRange(value))
        return false;
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    bound = ok && number > 0 ? quint64(number) : 0;
    return true;
}

// Window starts are compared with signed elapsed seconds, so a negative start keeps its sign.
inline bool readKeepingSign(const QVariant& value, int& bound)
{
    qint64 plain = 0;
    if (readPlainDigits(value, plain)) {
        bound = int(plain);
        return true;
    }
    if (isOutOfRange(value))
        return false;
    bound = int(value.toLongLong());
    return true;
}

} // namespace ScheduleBounds
