// SPDX-License-Identifier: BSD-3-Clause

#include "PluginClient.h"

#include "BackupRules.h"
#include "HostFramework.h"
#include "PluginTerms.h"

#include <QEventLoop>
#include <QMetaMethod>
#include <QTimer>

#include <algorithm>

const QString PluginClient::RelayPath = QStringLiteral("schedule-backup-host");

namespace {

QMetaMethod findMethod(const QMetaObject* metaObject, const char* signature, bool signal)
{
    const QByteArray normalized = QMetaObject::normalizedSignature(signature);
    const int index
        = signal ? metaObject->indexOfSignal(normalized) : metaObject->indexOfSlot(normalized);
    return index < 0 ? QMetaMethod() : metaObject->method(index);
}

QString commandText(const QString& command)
{
    return QLatin1Char('"') + command + QLatin1Char('"');
}

} // namespace

PluginClient::PluginClient(QObject* plugin, HostFramework* framework, QObject* parent)
    : QObject(parent), m_plugin(plugin), m_framework(framework)
{
    if (framework)
        connect(framework, &HostFramework::replyDelivered, this, &PluginClient::onReplyDelivered);
}

void PluginClient::setTimeout(int milliseconds)
{
    m_timeout = milliseconds;
    m_deadline.setRemainingTime(milliseconds);
}

PluginClient::Result PluginClient::call(const QString& command, const char* signal,
                                        const char* slot, const std::function<bool(bool*)>& send)
{
    if (!m_plugin)
        return {Outcome::Refused, tr("the schedule-backup plug-in is not loaded")};
    const QMetaMethod signalMethod = findMethod(m_plugin->metaObject(), signal, true);
    const QMetaMethod slotMethod = findMethod(metaObject(), slot, false);
    const QMetaObject::Connection connection = signalMethod.isValid()
        ? connect(m_plugin, signalMethod, this, slotMethod)
        : QMetaObject::Connection();
    if (!connection)
        return {Outcome::Failed, tr("the plug-in has no signal %1").arg(signal)};

    m_received = false;
    m_success = false;
    m_reasons.remove(command);
    bool accepted = false;
    if (!send(&accepted) || !accepted) {
        disconnect(connection);
        return {Outcome::Refused, tr("the plug-in refused to send %1").arg(command)};
    }
    if (!m_received) {
        QEventLoop loop;
        m_loop = &loop;
        QTimer::singleShot(std::max<qint64>(0, m_deadline.remainingTime()), &loop,
                           &QEventLoop::quit);
        loop.exec();
        m_loop = nullptr;
    }
    disconnect(connection);
    if (!m_received) {
        // Say what held the answer up, such as another program saving to the data file.
        const QString why = m_framework ? m_framework->waitReason() : QString();
        return {Outcome::TimedOut,
                why.isEmpty()
                    ? tr("no answer to %1 within %2 ms").arg(commandText(command)).arg(m_timeout)
                    : tr("no answer to %1 within %2 ms: %3")
                          .arg(commandText(command))
                          .arg(m_timeout)
                          .arg(why)};
    }
    if (!m_success) {
        const QString reason = m_reasons.value(command);
        return {Outcome::Failed,
                reason.isEmpty() ? tr("%1 failed").arg(commandText(command))
                                 : tr("%1 failed: %2").arg(commandText(command), reason)};
    }
    return {};
}

void PluginClient::finish(bool success)
{
    m_received = true;
    m_success = success;
    if (m_loop)
        m_loop->quit();
}

void PluginClient::onResult(bool success)
{
    finish(success);
}

void PluginClient::onPathResult(bool success, const QString& backupPath)
{
    m_path = backupPath;
    finish(success);
}

void PluginClient::onStatusResult(bool success, const QString& status, const QString& interval,
                                  qint64 progress)
{
    m_status = {status, interval, progress};
    finish(success);
}

void PluginClient::onReplyDelivered(const QString& command, const QString& resultCode,
                                    const QString& reason, const QString& relayPath)
{
    Q_UNUSED(relayPath)
    if (resultCode != PluginTerms::Code::Success)
        m_reasons.insert(command, tr("%1 (code %2)").arg(reason, resultCode));
}

PluginClient::Result PluginClient::loadBackupInfo()
{
    return call(PluginTerms::GetTimeCard, "getBackupInfoResp(bool)", "onResult(bool)",
                [this](bool* accepted) {
                    return QMetaObject::invokeMethod(
                        m_plugin, "getBackupInfo", Qt::DirectConnection,
                        Q_RETURN_ARG(bool, *accepted), Q_ARG(QString, RelayPath));
                });
}

PluginClient::Result PluginClient::loadBackupPath(QString* path)
{
    const Result result = call(PluginTerms::GetBackupPath, "getBackupPathResp(bool,QString)",
                               "onPathResult(bool,QString)", [this](bool* accepted) {
                                   return QMetaObject::invokeMethod(
                                       m_plugin, "getBackupPathInfo", Qt::DirectConnection,
                                       Q_RETURN_ARG(bool, *accepted), Q_ARG(QString, RelayPath));
                               });
    *path = m_path;
    return result;
}

PluginClient::Result PluginClient::loadBackupStatus(Status* status)
{
    const Result result
        = call(PluginTerms::GetBackupStatus, "getBackupStatusResp(bool,QString,QString,qint64)",
               "onStatusResult(bool,QString,QString,qint64)", [this](bool* accepted) {
                   return QMetaObject::invokeMethod(
                       m_plugin, "getBackupStatus", Qt::DirectConnection,
                       Q_RETURN_ARG(bool, *accepted), Q_ARG(QString, RelayPath));
               });
    *status = m_status;
    return result;
}

PluginClient::Result PluginClient::updateBackupInfo(const Settings& settings)
{
    // The reply is matched against the relay path of the last load, so it must be the same.
    return call(PluginTerms::UpdateTimeCard, "updBackupInfoResp(bool)", "onResult(bool)",
                [this, &settings](bool* accepted) {
                    return QMetaObject::invokeMethod(
                        m_plugin, "updateBackupInfo", Qt::DirectConnection,
                        Q_RETURN_ARG(bool, *accepted), Q_ARG(bool, settings.enabled),
                        Q_ARG(bool, settings.targetCyclic), Q_ARG(QString, settings.targetDir),
                        Q_ARG(QVariantList, settings.camList),
                        Q_ARG(QString, settings.scheduleName),
                        Q_ARG(QString, settings.scheduleJson), Q_ARG(int, settings.maxThroughputMB),
                        Q_ARG(int, settings.maxRangeDay), Q_ARG(QString, RelayPath));
                });
}

PluginClient::Result PluginClient::updateSchedule(const QString& name, const QString& json)
{
    return call(PluginTerms::UpdateSchedule, "updateScheduleResp(bool)", "onResult(bool)",
                [this, &name, &json](bool* accepted) {
                    return QMetaObject::invokeMethod(
                        m_plugin, "updateSchedule", Qt::DirectConnection,
                        Q_RETURN_ARG(bool, *accepted), Q_ARG(QString, name), Q_ARG(QString, json),
                        Q_ARG(QString, RelayPath));
                });
}

PluginClient::Result PluginClient::nextBackupTime(const QDateTime& at, QDateTime* next)
{
    if (!m_plugin)
        return {Outcome::Refused, tr("the schedule-backup plug-in is not loaded")};
    qulonglong msecs = 0;
    if (!QMetaObject::invokeMethod(m_plugin, "getNextBackupTime", Qt::DirectConnection,
                                   Q_RETURN_ARG(qulonglong, msecs), Q_ARG(QDateTime, at))) {
        return {Outcome::Refused, tr("the plug-in has no getNextBackupTime")};
    }
    *next = QDateTime::fromMSecsSinceEpoch(qint64(msecs));
    return {};
}

QVariant PluginClient::pluginProperty(const char* name) const
{
    return m_plugin ? m_plugin->property(name) : QVariant();
}

bool PluginClient::hasAllCameras() const
{
    return pluginProperty("hasAllCameras").toBool();
}

PluginClient::Settings PluginClient::currentSettings() const
{
    Settings settings;
    settings.enabled = pluginProperty("enabled").toBool();
    settings.targetCyclic = pluginProperty("targetCyclic").toBool();
    settings.targetDir = pluginProperty("targetDir").toString();
    settings.scheduleName = pluginProperty("scheduleName").toString();
    settings.scheduleJson = pluginProperty("scheduleTemplate").toString();
    settings.maxThroughputMB = pluginProperty("maxThroughputMB").toInt();
    settings.maxRangeDay = pluginProperty("maxRangeDay").toInt();
    settings.camList = BackupRules::cameraEntries(
        {hasAllCameras(),
         hasAllCameras() ? QStringList() : pluginProperty("cameraList").toStringList()});
    return settings;
}
