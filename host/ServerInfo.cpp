#include "ServerInfo.h"

ServerInfo::ServerInfo(QObject* parent) : QObject(parent) { }

QVariantList ServerInfo::getTimestamp(const QDateTime& dateTime) const
{
    return QVariantList {dateTime.toMSecsSinceEpoch()};
}
