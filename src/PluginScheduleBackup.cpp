// SPDX-License-Identifier: BSD-3-Clause

#include "PluginScheduleBackup.h"

#include "PluginScheduleBackupCommon.h"
#include "PluginScheduleBackup_Log.h"

using namespace PluginScheduleBackupCommon;

namespace {
constexpr char PSCHEDULEBACKUP_PREFIX_NAME[] = "ScheduleBackupPlugin";
constexpr char PSCHEDULEBACKUP_PLUGIN_ID[] = "185196A13473421C84A3CE473516AED7";

// A host may register the class with the meta-type system (QML does so for every object it
// shows). The registry keeps pointers into this library, so after an unload the next look-up
// of a type by name would read unmapped memory: the type leaves the registry with the library.
struct MetaTypeUnregistration
{
    MetaTypeUnregistration() = default;
    MetaTypeUnregistration(const MetaTypeUnregistration&) = delete;
    MetaTypeUnregistration& operator=(const MetaTypeUnregistration&) = delete;
    ~MetaTypeUnregistration()
    {
        QMetaType::unregisterMetaType(PluginScheduleBackup::staticMetaObject.metaType());
    }
};
const MetaTypeUnregistration metaTypeUnregistration;
} // namespace

PluginScheduleBackup::PluginScheduleBackup() = default;

PluginScheduleBackup::~PluginScheduleBackup()
{
    SCHEDULEBACKUP_ENTRY_LOG("~PluginScheduleBackup");
}

void PluginScheduleBackup::InitialPluginBase(QQmlContext* context, void* hostData,
                                             FrameworkWrapperBase* framework)
{
    prefixName = QString::fromUtf8(PSCHEDULEBACKUP_PREFIX_NAME);
    pluginId = QString::fromUtf8(PSCHEDULEBACKUP_PLUGIN_ID);
    this->hostData = hostData;
    this->framework = framework;
    Init(context);
}

bool PluginScheduleBackup::Init(QQmlContext*)
{
    SCHEDULEBACKUP_ENTRY_LOG("Init");
    return true;
}

void PluginScheduleBackup::EventProcessor(QString, long long, int, int, QVariant, const QString&)
{
    SCHEDULEBACKUP_ENTRY_LOG("EventProcessor");
}

void PluginScheduleBackup::EventProcessorEx(QString, ConfigBase*, long long, int, int, QVariant,
                                            const QString&)
{
    SCHEDULEBACKUP_ENTRY_LOG("EventProcessorEx");
}

void PluginScheduleBackup::CommandProcessor(QString command, QVariant result, void* context,
                                            QString resultCode, QString, bool,
                                            const QString& relayPath)
{
    SCHEDULEBACKUP_ENTRY_LOG("CommandProcessor");
    if (command == REQUEST_GET_BACKUP_TIME_CARD)
        HandleGetBackupInfoResp(resultCode, result, relayPath);
    else if (command == REQUEST_GET_BACKUP_PATH)
        HandleGetBackupPathResp(resultCode, result, relayPath);
    else if (command == REQUEST_GET_BACKUP_STATUS)
        handleGetBackupStatusResp(resultCode, result, relayPath);
    else if (command == REQUEST_UPD_BACKUP_TIME_CARD)
        HandleUpdateBackupInfoResp(resultCode, context, relayPath);
    else if (command == REQUEST_UPD_SCHEDULE)
        HandleUpdateScheduleResp(resultCode, relayPath);
}

void PluginScheduleBackup::CommandProcessorEx(QString, ConfigBase*, QVariant, void*, QString,
                                              QString, bool, const QString&)
{
    SCHEDULEBACKUP_ENTRY_LOG("CommandProcessorEx");
}

void PluginScheduleBackup::ErrorProcessor(QString, void*, QString)
{
    SCHEDULEBACKUP_ENTRY_LOG("ErrorProcessor");
}

void PluginScheduleBackup::setCameraList(const QList<QString>& cameraList)
{
    if (m_cameraList == cameraList)
        return;
    m_cameraList = cameraList;
    Q_EMIT cameraListChanged(m_cameraList);
}

void PluginScheduleBackup::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    Q_EMIT enabledChanged(m_enabled);
}

void PluginScheduleBackup::setTargetCyclic(bool targetCyclic)
{
    if (m_targetCyclic == targetCyclic)
        return;
    m_targetCyclic = targetCyclic;
    Q_EMIT targetCyclicChanged(m_targetCyclic);
}

void PluginScheduleBackup::setMaxThroughputMB(int maxThroughputMB)
{
    if (m_maxThroughputMB == maxThroughputMB)
        return;
    m_maxThroughputMB = maxThroughputMB;
    Q_EMIT maxThroughputMBChanged(m_maxThroughputMB);
}

void PluginScheduleBackup::setMaxRangeDay(int maxRangeDay)
{
    if (m_maxRangeDay == maxRangeDay)
        return;
    m_maxRangeDay = maxRangeDay;
    Q_EMIT maxRangeDayChanged(m_maxRangeDay);
}

void PluginScheduleBackup::setScheduleTemplate(const QString& scheduleTemplate)
{
    if (m_scheduleTemplate == scheduleTemplate)
        return;
    m_scheduleTemplate = scheduleTemplate;
    Q_EMIT scheduleTemplateChanged(m_scheduleTemplate);
}

void PluginScheduleBackup::setScheduleName(const QString& scheduleName)
{
    if (m_scheduleName == scheduleName)
        return;
    m_scheduleName = scheduleName;
    Q_EMIT scheduleNameChanged(m_scheduleName);
}

void PluginScheduleBackup::setTargetDir(const QString& targetDir)
{
    if (m_targetDir == targetDir)
        return;
    m_targetDir = targetDir;
    Q_EMIT targetDirChanged(m_targetDir);
}

void PluginScheduleBackup::setSchedule(const QVariant& schedule)
{
    m_schedule = schedule;
    m_windowStarts = scheduleWindowStarts(m_schedule);
}

void PluginScheduleBackup::tst_setRevision(long long revision)
{
    m_revision = revision;
}

void PluginScheduleBackup::tst_setCurRelayPath(const QString& relayPath)
{
    m_curRelayPath = relayPath;
}
