// SPDX-License-Identifier: BSD-3-Clause

#include "PageClock.h"

#include <QTimeZone>

PageClock::PageClock(QObject* parent) : QObject(parent) { }

QString PageClock::zoneName(const QDateTime& at) const
{
    const QDateTime local = (at.isValid() ? at : QDateTime::currentDateTime()).toLocalTime();
    const QString abbreviation = local.timeZoneAbbreviation();
    const QString id = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    if (id.isEmpty() || id == abbreviation)
        return abbreviation;
    if (abbreviation.isEmpty())
        return id;
    return QStringLiteral("%1 (%2)").arg(id, abbreviation);
}
