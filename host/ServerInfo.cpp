#include "ServerInfo.h"

const QString ServerInfo::PluginId = QStringLiteral("3CE573D25E0F455B8F75EDDC573E2B64");

ServerInfo::ServerInfo(QObject* parent) : QObject(parent) { }

QVariantList ServerInfo::getTimestamp(const QDateTime& dateTime) const
{
    return QVariantList {dateTime.toMSecsSinceEpoch()};
}
