// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The local time zone the schedule is read in, named for people, and the page's one way of
// writing dates and times: the user's locale, long dates, minutes but no seconds.
class PageClock : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit PageClock(QObject* parent = nullptr);

    // "Europe/Berlin (CET)", or just the abbreviation when the zone has no other name.
    Q_INVOKABLE QString zoneName(const QDateTime& at) const;
    // The locale's long date and its short time without seconds, e.g. "Monday, 7 December
    // 2026, 09:00"; times of that day only as "09:00".
    static QString dateText(const QDate& date, const QLocale& locale = QLocale());
    static QString timeText(const QTime& time, const QLocale& locale = QLocale());
    static QString dateTimeText(const QDate& date, const QTime& time,
                                const QLocale& locale = QLocale());
    // A window as the service writes it ("2026-12-07 09:00 - 17:00", "… - 24:00" or "… -
    // 2026-12-08 06:00", seconds allowed), rewritten in the locale. Text that is no such
    // window is returned as it came.
    Q_INVOKABLE QString windowText(const QString& serviceText) const;
};
