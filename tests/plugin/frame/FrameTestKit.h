#pragma once

#include <QMetaObject>
#include <QObject>
#include <QVariantMap>

inline bool query(QObject* object, const char* method, const QString& relayPath)
{
    bool ok = false;
    QMetaObject::invokeMethod(object, method, Q_RETURN_ARG(bool, ok), Q_ARG(QString, relayPath));
    return ok;
}

// A reply tree that both the path and the status handler read.
inline QVariantMap replyTree(const QVariantMap& tmcard)
{
    const QVariantMap status {
        {"Status", "Running"}, {"BackupInterval", "3600"}, {"BackupProgress", "42"}};
    return {{"GetBkpTmcardRes", QVariantMap {{"Tmcard", tmcard}}}, {"GetBackupStatusRes", status}};
}
