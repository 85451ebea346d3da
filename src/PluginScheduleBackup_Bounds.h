#pragma once

#include <QString>
#include <QVariant>

namespace ScheduleBounds {

// True for text that is a whole number, however large: a conversion that fails on such text
// failed on its size, which marks a corrupt bound rather than a missing one.
inline bool isIntegerText(const QVariant& value)
{
    if (value.typeId() != QMetaType::QString)
        return false;
    const QString text = value.toString().trimmed();
    qsizetype i = (text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'))) ? 1 : 0;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i) {
        if (!text.at(i).isDigit())
            return false;
    }
    return true;
}

} // namespace ScheduleBounds
