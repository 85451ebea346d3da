#pragma once

#include <QString>

// Result codes of the embedded backup service. Only "0" means success; the client compares the
// text exactly, so the values are fixed strings rather than numbers.
namespace ResultCodes {

inline const QString Success = QStringLiteral("0");
inline const QString UnknownCommand = QStringLiteral("1000");
inline const QString StaleRevision = QStringLiteral("1001");
inline const QString MalformedTimeFrame = QStringLiteral("1002");
inline const QString MissingDirectory = QStringLiteral("1003");
inline const QString UnknownCamera = QStringLiteral("1004");
inline const QString InvalidArgument = QStringLiteral("1005");
inline const QString StorageFailure = QStringLiteral("1006");
inline const QString UnknownTimeCard = QStringLiteral("1007");
// Not sent by the service: the host answers commands it could not deliver before shutting down.
inline const QString Cancelled = QStringLiteral("1099");

} // namespace ResultCodes
