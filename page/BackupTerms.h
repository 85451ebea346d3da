#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>

// The service's words and limits as the page needs them, so QML never re-types them.
class BackupTerms : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString allCamerasTag READ allCamerasTag CONSTANT)
    Q_PROPERTY(int maxThroughputMB READ maxThroughputMB CONSTANT)
    Q_PROPERTY(int maxRangeDays READ maxRangeDays CONSTANT)

public:
    explicit BackupTerms(QObject* parent = nullptr);

    QString allCamerasTag() const;
    int maxThroughputMB() const;
    int maxRangeDays() const;

    // A camera entry of the plug-in's updateBackupInfo camera list.
    Q_INVOKABLE QVariantMap pageCamera(const QString& cameraId, const QString& groupId) const;
};
