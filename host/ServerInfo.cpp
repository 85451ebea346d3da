// SPDX-License-Identifier: BSD-3-Clause

#include "ServerInfo.h"

ServerInfo::ServerInfo(QObject* parent) : QObject(parent) { }

QVariantList ServerInfo::getTimestamp(const QDateTime& dateTime) const
{
    return QVariantList {dateTime.toMSecsSinceEpoch()};
}
