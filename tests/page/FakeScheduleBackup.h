// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QVariantList>

// Stands in for the plug-in on the page's side: the same properties, result signals and
// invokables. Requests are recorded and answered only when a test says so.
class FakeScheduleBackup : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList cameraList MEMBER m_cameraList NOTIFY cameraListChanged)
    Q_PROPERTY(bool enabled MEMBER m_enabled NOTIFY enabledChanged)
    Q_PROPERTY(bool hasAllCameras MEMBER m_hasAllCameras NOTIFY hasAllCamerasChanged)
    Q_PROPERTY(bool targetCyclic MEMBER m_targetCyclic NOTIFY targetCyclicChanged)
    Q_PROPERTY(int maxThroughputMB MEMBER m_maxThroughputMB NOTIFY maxThroughputMBChanged)
    Q_PROPERTY(int maxRangeDay MEMBER m_maxRangeDay NOTIFY maxRangeDayChanged)
    Q_PROPERTY(QString scheduleTemplate MEMBER m_scheduleTemplate NOTIFY scheduleTemplateChanged)
    Q_PROPERTY(QString scheduleName MEMBER m_scheduleName NOTIFY scheduleNameChanged)
    Q_PROPERTY(QString targetDir MEMBER m_targetDir NOTIFY targetDirChanged)

public:
    struct Call
    {
        QString method;
        QVariantList arguments;
    };

    // The values a load hands over.
    struct Stored
    {
        bool enabled = true;
        bool cyclic = true;
        QString dir = QStringLiteral("/srv/backup/video");
        int throughputMB = 30;
        int rangeDays = 2;
        QStringList cameras {QStringLiteral("cam-01"), QStringLiteral("cam-02")};
        QString scheduleName = QStringLiteral("Office hours");
        QString schedule
            = QStringLiteral(R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":2}]})");
    };

    QList<Call> calls;
    // What getNextBackupTime answers, in milliseconds since the epoch.
    qulonglong nextBackupTime = 0;

    int count(const QString& method) const;
    Call last(const QString& method) const;

    // Sets the properties as a confirmed load does, then reports the load.
    void answerLoad(const Stored& stored);
    // Confirms the last updateBackupInfo: its values become the properties, as in the plug-in.
    void confirmUpdate();

    Q_INVOKABLE bool getBackupInfo(const QString& r = {}) { return record(__func__, {r}); }
    Q_INVOKABLE bool getBackupPathInfo(const QString& r = {}) { return record(__func__, {r}); }
    Q_INVOKABLE bool getBackupStatus(const QString& r = {}) { return record(__func__, {r}); }
    Q_INVOKABLE bool updateBackupInfo(bool enabled, bool targetCyclic, const QString& targetDir,
                                      const QVariantList& camList, const QString& scheName,
                                      const QString& scheJson, int maxThroughputMB, int maxRangeDay,
                                      const QString& relayPath = {})
    {
        return record(__func__,
                      {enabled, targetCyclic, targetDir, camList, scheName, scheJson,
                       maxThroughputMB, maxRangeDay, relayPath});
    }
    Q_INVOKABLE qulonglong getNextBackupTime(const QDateTime& = {}) { return nextBackupTime; }
    Q_INVOKABLE bool updateSchedule(const QString& scheName, const QString& scheJson,
                                    const QString& relayPath = {})
    {
        return record(__func__, {scheName, scheJson, relayPath});
    }

Q_SIGNALS:
    void getBackupInfoResp(bool success);
    void getBackupPathResp(bool success, const QString& backupPath);
    void getBackupStatusResp(bool success, const QString& status, const QString& interval,
                             qint64 progress);
    void updBackupInfoResp(bool success);
    void updateScheduleResp(bool success);
    void cameraListChanged();
    void enabledChanged();
    void targetCyclicChanged();
    void hasAllCamerasChanged();
    void maxThroughputMBChanged();
    void maxRangeDayChanged();
    void scheduleTemplateChanged();
    void scheduleNameChanged();
    void targetDirChanged();

private:
    bool record(const char* method, const QVariantList& arguments)
    {
        calls.append({QLatin1String(method), arguments});
        return true;
    }

    QStringList m_cameraList;
    bool m_enabled = false;
    bool m_hasAllCameras = false;
    bool m_targetCyclic = false;
    int m_maxThroughputMB = 0;
    int m_maxRangeDay = 0;
    QString m_scheduleTemplate;
    QString m_scheduleName;
    QString m_targetDir;
};
