// SPDX-License-Identifier: BSD-3-Clause

#include "PageClock.h"

#include <QRegularExpression>
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

QString PageClock::dateText(const QDate& date, const QLocale& locale)
{
    return locale.toString(date, QLocale::LongFormat);
}

QString PageClock::timeText(const QTime& time, const QLocale& locale)
{
    // Some locales' short format (C's among them) has seconds; the schedule has none.
    static const QRegularExpression seconds(QStringLiteral("[^hHmaApP]*s+"));
    const QString format = locale.timeFormat(QLocale::ShortFormat).remove(seconds);
    return locale.toString(time, format);
}

QString PageClock::dateTimeText(const QDate& date, const QTime& time, const QLocale& locale)
{
    return QStringLiteral("%1, %2").arg(dateText(date, locale), timeText(time, locale));
}

QString PageClock::windowText(const QString& serviceText) const
{
    static const QRegularExpression window(
        QStringLiteral(R"(^\s*(\d{4}-\d\d-\d\d) (\d\d:\d\d)(?::\d\d(?:\.\d+)?)?\s*-\s*)"
                       R"((?:(\d{4}-\d\d-\d\d) )?(\d\d:\d\d)(?::\d\d(?:\.\d+)?)?\s*$)"));
    const QRegularExpressionMatch match = window.match(serviceText);
    const QDate beginDate = QDate::fromString(match.captured(1), Qt::ISODate);
    const QTime begin = QTime::fromString(match.captured(2), QStringLiteral("HH:mm"));
    const QDate endDate = match.captured(3).isEmpty()
        ? beginDate
        : QDate::fromString(match.captured(3), Qt::ISODate);
    const bool midnight = match.captured(4) == QLatin1String("24:00");
    const QTime end
        = midnight ? QTime(0, 0) : QTime::fromString(match.captured(4), QStringLiteral("HH:mm"));
    if (!match.hasMatch() || !beginDate.isValid() || !begin.isValid() || !endDate.isValid()
        || !end.isValid())
        return serviceText;
    const QLocale locale;
    // Punctuation only: English and German write a window alike.
    const QString head = dateTimeText(beginDate, begin, locale);
    if (endDate == beginDate)
        return head + QChar(0x2013) + (midnight ? QStringLiteral("24:00") : timeText(end, locale));
    return head + QStringLiteral(" \u2013 ") + dateTimeText(endDate, end, locale);
}
