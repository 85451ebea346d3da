// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The local time zone the schedule is read in, named for people.
class PageClock : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit PageClock(QObject* parent = nullptr);

    // "Europe/Berlin (CET)", or just the abbreviation when the zone has no other name.
    Q_INVOKABLE QString zoneName(const QDateTime& at) const;
};
