// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "stdafx.h"

#include "PluginBase.h"
#include "PluginScheduleBackup_Export.h"

#include <utility>

// Drives the scheduled-backup settings page: loads the backup time-card from the server, stores
// changed settings, reports the backup path and status, and computes the next backup start.
// All calls, replies and signals happen on the thread that owns the object.
class PLUGINSCHEDULEBACKUP_EXPORT PluginScheduleBackup : public PluginBase
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PluginBase_iid FILE "PluginScheduleBackup.json")
    Q_INTERFACES(PluginBase)

    Q_PROPERTY(QStringList cameraList READ cameraList NOTIFY cameraListChanged)
    Q_PROPERTY(bool enabled READ enabled NOTIFY enabledChanged)
    Q_PROPERTY(bool hasAllCameras READ hasAllCameras NOTIFY hasAllCamerasChanged)
    Q_PROPERTY(bool targetCyclic READ targetCyclic NOTIFY targetCyclicChanged)
    Q_PROPERTY(int maxThroughputMB READ maxThroughputMB NOTIFY maxThroughputMBChanged)
    Q_PROPERTY(int maxRangeDay READ maxRangeDay NOTIFY maxRangeDayChanged)
    Q_PROPERTY(QString scheduleTemplate READ scheduleTemplate NOTIFY scheduleTemplateChanged)
    Q_PROPERTY(QString scheduleName READ scheduleName NOTIFY scheduleNameChanged)
    Q_PROPERTY(QString targetDir READ targetDir NOTIFY targetDirChanged)

public:
    PluginScheduleBackup();
    ~PluginScheduleBackup() override;

    // PluginBase
    void InitialPluginBase(QQmlContext* context, void* hostData,
                           FrameworkWrapperBase* framework) override;
    void EventProcessor(QString, long long, int, int, QVariant, const QString&) override;
    void EventProcessorEx(QString, ConfigBase*, long long, int, int, QVariant,
                          const QString&) override;
    void CommandProcessor(QString command, QVariant result, void* context, QString resultCode,
                          QString, bool, const QString& relayPath) override;
    void CommandProcessorEx(QString, ConfigBase*, QVariant, void*, QString, QString, bool,
                            const QString&) override;
    bool Init(QQmlContext* context) override;

    void ErrorProcessor(QString, void*, QString);

    // Property getters
    QStringList cameraList() const { return m_cameraList; }
    bool enabled() const { return m_enabled; }
    bool hasAllCameras() const { return m_hasAllCameras; }
    bool targetCyclic() const { return m_targetCyclic; }
    int maxThroughputMB() const { return m_maxThroughputMB; }
    int maxRangeDay() const { return m_maxRangeDay; }
    QString scheduleTemplate() const { return m_scheduleTemplate; }
    QString scheduleName() const { return m_scheduleName; }
    QString targetDir() const { return m_targetDir; }

    // State that is not a property, for hosts and tests that inspect the loaded time-card
    QString curRelayPath() const { return m_curRelayPath; }
    qint64 tmcardId() const { return m_tmcardId; }
    qint64 revision() const { return m_revision; }
    QString tmcardName() const { return m_tmcardName; }
    QVariant schedule() const { return m_schedule; }
    QVariantList camGroupMapList() const;

    // Setters used by the reply handlers: compare, store, then emit
    void setCameraList(const QList<QString>& cameraList);
    void setEnabled(bool enabled);
    void setTargetCyclic(bool targetCyclic);
    void setMaxThroughputMB(int maxThroughputMB);
    void setMaxRangeDay(int maxRangeDay);
    void setScheduleTemplate(const QString& scheduleTemplate);
    void setScheduleName(const QString& scheduleName);
    void setTargetDir(const QString& targetDir);
    void setSchedule(const QVariant& schedule);

    // Test hooks
    void tst_setRevision(long long revision);
    void tst_setCurRelayPath(const QString& relayPath);

    // Requests, invokable from QML
    Q_INVOKABLE bool getBackupInfo(const QString& relayPath = QString());
    Q_INVOKABLE bool getBackupPathInfo(const QString& relayPath = QString());
    Q_INVOKABLE bool getBackupStatus(const QString& relayPath = QString());
    Q_INVOKABLE bool updateBackupInfo(bool enabled, bool targetCyclic, const QString& targetDir,
                                      const QVariantList& camList, const QString& scheName,
                                      const QString& scheJson, int maxThroughputMB, int maxRangeDay,
                                      const QString& relayPath = QString());
    Q_INVOKABLE qulonglong getNextBackupTime(const QDateTime& date = QDateTime::currentDateTime());
    Q_INVOKABLE bool updateSchedule(const QString& scheName, const QString& scheJson,
                                    const QString& relayPath = QString());

    // Time-card content to the page's rectangle document
    QVariantList transContentAsList(QVariant value) const;
    QString GetFirstTimeframeNameFromTimecard(const QVariantMap& timecard) const;
    QString ConvertScheduleContent(QVariant mapping) const;
    QString ConvertScheduleElement(QVariant interval) const;

    // The page's rectangle document to the time-card's time-frame element
    QString ComposeScheduleBackupMappingEleMsg(const QString& name, const QString& document) const;
    QString ComposeRetanglesIntervalMsg(QJsonArray rectangles) const;
    QString ComposeIntervalsByRecangleMsg(int left, int right, double top, double bottom) const;
    QString ComposeIntervalMsg(int day, double top, double bottom) const;

    bool IsContinousInterval(std::pair<int, int> a, std::pair<int, int> b) const;

    // Reply handlers, routed by CommandProcessor
    void HandleGetBackupInfoResp(const QString& resultCode, const QVariant& result,
                                 const QString& relayPath);
    void HandleGetBackupPathResp(const QString& resultCode, const QVariant& result,
                                 const QString& relayPath);
    void handleGetBackupStatusResp(const QString& resultCode, const QVariant& result,
                                   const QString& relayPath);
    void HandleUpdateBackupInfoResp(const QString& resultCode, void* context,
                                    const QString& relayPath);
    void HandleUpdateScheduleResp(const QString& resultCode, const QString& relayPath);

    QVariantList TransferMsgJsonToCamGroupMapList(const QVariantList& cams);
    void SetHasAllCameras(const QVariantList& cams);

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
    // Fills the argument map shared by both update commands; false when the rectangle document
    // was rejected and nothing may be sent.
    bool composeUpdateArguments(QVariantMap& arguments, const char* operation, bool enabled,
                                bool targetCyclic, const QString& targetDir,
                                const QVariantList& camGroupList, const QString& scheName,
                                const QString& scheJson, int maxThroughputMB,
                                int maxRangeDay) const;
    // The time-frame element an update sends: composed from the document, or the stored one
    // when the stored schedule cannot be shown and the document sets no new one. False when
    // nothing may be sent.
    bool timeFrameToSend(const char* operation, const QString& scheName, const QString& scheJson,
                         QString& timeFrame) const;
    // The stored time frames as XML, the first one renamed; null when the tree cannot be written.
    QString storedTimeFrame(const QString& name) const;
    // Whether a rectangle document gives no interval at all (also an empty text).
    bool setsNoInterval(const QString& document) const;
    // The rectangle document of a stored schedule, as ConvertScheduleContent gives it; *beyond
    // tells whether the schedule was too large to show.
    QString readBackDocument(const QVariant& mapping, bool* beyond) const;
    // The limits in the server's units: the loaded value while the caller passes the one shown.
    qint64 throughputBytesFor(int maxThroughputMB) const;
    qint64 rangeMinutesFor(int maxRangeDay) const;
    // Keep a limit as the server stores it and show it truncated to whole megabytes or days.
    void storeMaxThroughput(qint64 bytes);
    void storeMaxRange(qint64 minutes);
    // The cameras of a confirmed update become the shown ones and the ones sent next.
    void applyConfirmedCameras(const QVariantList& camGroupList);
    void setHasAllCameras(bool hasAllCameras);
    // The starts of the schedule's windows (runs of intervals that continue one another), in
    // week seconds, ascending: what getNextBackupTime needs of the schedule.
    QList<int> scheduleWindowStarts(const QVariant& schedule) const;
    bool sendCommand(const QString& command, const QVariant& arguments, void* context,
                     const QString& relayPath);

    QString m_curRelayPath;
    bool m_enabled = false;
    bool m_targetCyclic = false;
    bool m_hasAllCameras = false;
    int m_maxThroughputMB = 30;
    int m_maxRangeDay = 2;
    // The limits as the server stores them; the properties above show them truncated.
    qint64 m_maxThroughputBytes = 30 << 20;
    qint64 m_maxRangeMinutes = 2 * 1440;
    // The stored schedule is too large to show; an update that sets none sends it back.
    bool m_scheduleBeyondShown = false;
    // A schedule-only update replaced such a schedule with one this object never saw: until the
    // next load it cannot tell what an update that sets no schedule would send back.
    bool m_scheduleUnknown = false;
    qint64 m_tmcardId = -1;
    qint64 m_revision = -1;
    // The revisions of the schedule updates still waiting for their reply, in sending order, so
    // never decreasing.
    QList<qint64> m_scheduleRevisions;
    QString m_tmcardName;
    QString m_targetDir;
    QVariant m_schedule;
    QList<int> m_windowStarts; // derived from m_schedule when it is stored
    // The start of the last week getNextBackupTime was asked about, and that week's Sunday.
    QDateTime m_weekStart;
    QDate m_weekStartDay;
    QString m_scheduleTemplate;
    QString m_scheduleName;
    QStringList m_cameraList;
    // The camera list the server gets back with an update. After a load it is built from the
    // loaded cameras when first asked for: a page that only shows the settings never needs it.
    mutable QVariantList m_camGroupMapList;
    mutable QVariantList m_loadedCams;
    mutable bool m_loadedCamsPending = false;
};
