// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QVariantList>

// Stands in for the plug-in on the page's side: the same properties, result signals and invokables.
// Requests are recorded and answered only when a test says so.
class FakeScheduleBackup : public QObject
{
    Q_OBJECT
    // Read-only, as in the plug-in: only a confirmed load or update changes them. A change is
    // signalled in this order.
    Q_PROPERTY(bool enabled READ enabled NOTIFY enabledChanged)
    Q_PROPERTY(bool targetCyclic READ targetCyclic NOTIFY targetCyclicChanged)
    Q_PROPERTY(QString targetDir READ targetDir NOTIFY targetDirChanged)
    Q_PROPERTY(int maxThroughputMB READ maxThroughputMB NOTIFY maxThroughputMBChanged)
    Q_PROPERTY(int maxRangeDay READ maxRangeDay NOTIFY maxRangeDayChanged)
    Q_PROPERTY(bool hasAllCameras READ hasAllCameras NOTIFY hasAllCamerasChanged)
    Q_PROPERTY(QStringList cameraList READ cameraList NOTIFY cameraListChanged)
    Q_PROPERTY(QString scheduleName READ scheduleName NOTIFY scheduleNameChanged)
    Q_PROPERTY(QString scheduleTemplate READ scheduleTemplate NOTIFY scheduleTemplateChanged)

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

    QStringList cameraList() const { return m_now.cameras; }
    bool enabled() const { return m_now.enabled; }
    bool hasAllCameras() const { return m_hasAllCameras; }
    bool targetCyclic() const { return m_now.cyclic; }
    int maxThroughputMB() const { return m_now.throughputMB; }
    int maxRangeDay() const { return m_now.rangeDays; }
    QString scheduleTemplate() const { return m_now.schedule; }
    QString scheduleName() const { return m_now.scheduleName; }
    QString targetDir() const { return m_now.dir; }

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
    void cameraListChanged(const QStringList& camList);
    void enabledChanged(bool enabled);
    void targetCyclicChanged(bool cyclic);
    void hasAllCamerasChanged();
    void maxThroughputMBChanged(int mb);
    void maxRangeDayChanged(int day);
    void scheduleTemplateChanged(const QString& content);
    void scheduleNameChanged(const QString& name);
    void targetDirChanged(const QString& dir);

private:
    bool record(const char* method, const QVariantList& arguments)
    {
        calls.append({QLatin1String(method), arguments});
        return true;
    }
    // Takes the values a confirmed load or update hands over and signals each change.
    void take(const Stored& stored, bool hasAllCameras);

    // Empty until the first load.
    Stored m_now {false, false, {}, 0, 0, {}, {}, {}};
    bool m_hasAllCameras = false;
};
