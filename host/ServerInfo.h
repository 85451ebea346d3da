// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QDateTime>
#include <QObject>
#include <QVariantList>

// Stands in for the client's server-info plug-in: answers timestamps for local date-times.
class ServerInfo : public QObject
{
    Q_OBJECT

public:
    explicit ServerInfo(QObject* parent = nullptr);

    // The first entry is the moment in milliseconds since the epoch; the caller does arithmetic
    // on it, so all answers share one time base.
    Q_INVOKABLE QVariantList getTimestamp(const QDateTime& dateTime) const;
};
