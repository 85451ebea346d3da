// SPDX-License-Identifier: BSD-3-Clause

#include "CliCommands.h"

#include "JsonOutput.h"
#include "PluginTerms.h"
#include "WeekSchedule.h"

#include <QFile>
#include <QJsonDocument>
#include <QSet>

#include <cstdio>
#include <unistd.h>

namespace {

QString yesNo(bool value)
{
    return value ? CliCommands::tr("yes") : CliCommands::tr("no");
}

QString row(const QString& label, const QString& value)
{
    return QStringLiteral("%1 %2\n").arg(label + QLatin1Char(':'), -16).arg(value);
}

// A row of the settings block, indented under its heading.
QString item(const QString& label, const QString& value)
{
    return row(QStringLiteral("  ") + label, value);
}

bool stdoutIsTerminal()
{
    return isatty(fileno(stdout)) != 0;
}

} // namespace

CliCommands::CliCommands(PluginClient* client, QTextStream* out, QTextStream* err)
    : m_client(client), m_out(out), m_err(err)
{ }

void CliCommands::setInventory(const QList<Camera>& cameras)
{
    m_inventory = cameras;
}

void CliCommands::setDataFolder(const DataFolder& folder)
{
    // A name that is not UTF-8 is shown the way file managers show it.
    m_dataFolder = {QFile::decodeName(HostOptionSet::encodeName(folder.path)), folder.source};
}

int CliCommands::run(const CommandRequest& request)
{
    if (request.command == QLatin1String("show"))
        return show(request.json);
    if (request.command == QLatin1String("set"))
        return set(request);
    if (request.command == QLatin1String("schedule"))
        return schedule(request);
    if (request.command == QLatin1String("next"))
        return next(request);
    if (request.command == QLatin1String("status"))
        return status(request.json);
    if (request.command == QLatin1String("cameras"))
        return cameras(request);
    *m_err << errorLine(tr("unknown command %1").arg(request.command)) << Qt::endl;
    return ExitCode::BadOptions;
}

int CliCommands::report(const PluginClient::Result& result)
{
    using Outcome = PluginClient::Outcome;
    if (result.isSuccess())
        return ExitCode::Success;
    *m_err << errorLine(result.errorText) << Qt::endl;
    switch (result.outcome) {
    case Outcome::Refused:
        return ExitCode::Refused;
    case Outcome::TimedOut:
        return ExitCode::TimedOut;
    case Outcome::Failed:
    case Outcome::Success:
        break;
    }
    return ExitCode::Failed;
}

QString CliCommands::progressBar(qint64 progress, int width)
{
    const qint64 clamped = std::clamp<qint64>(progress, 0, 100);
    const int filled = int(clamped * width / 100);
    return QLatin1Char('[') + QString(filled, QLatin1Char('#'))
        + QString(width - filled, QLatin1Char('-')) + QLatin1Char(']');
}

QString CliCommands::cameraText() const
{
    if (m_client->hasAllCameras())
        return tr("all");
    QStringList cameras = m_client->pluginProperty("cameraList").toStringList();
    if (cameras.isEmpty())
        return tr("none");
    if (!m_inventory)
        return cameras.join(QStringLiteral(", "));
    // A save sends such a camera back and the service keeps it; `set --cameras` replaces it.
    QSet<QString> known;
    known.reserve(m_inventory->size());
    for (const Camera& camera : std::as_const(*m_inventory))
        known.insert(camera.id);
    for (QString& camera : cameras) {
        if (!known.contains(camera))
            camera = tr("%1 (no longer in the inventory)").arg(camera);
    }
    return cameras.join(QStringLiteral(", "));
}

void CliCommands::printSettings()
{
    const PluginClient::Settings settings = m_client->currentSettings();
    const QString cameras = cameraText();
    const WeekSchedule schedule = WeekSchedule::fromRectangleJson(settings.scheduleJson);

    // The schedule stays in the syntax of --schedule, so that it can be given back as it is.
    *m_out << tr("Scheduled backup") << '\n'
           << item(tr("Enabled"), yesNo(settings.enabled))
           << item(tr("Target dir"), settings.targetDir)
           << item(tr("Cyclic"), yesNo(settings.targetCyclic))
           << item(tr("Throughput"), tr("%1 MB").arg(settings.maxThroughputMB))
           << item(tr("Range"), tr("%1 days").arg(settings.maxRangeDay))
           << item(tr("Cameras"), cameras) << item(tr("Schedule name"), settings.scheduleName)
           << item(tr("Schedule"), schedule.isValid() ? schedule.toText() : tr("(unreadable)"));
}

void CliCommands::printStatus(const PluginClient::Status& status, bool terminal)
{
    QString line = BackupRules::statusWord(status.status);
    if (terminal && status.status == PluginTerms::State::Running)
        line += QLatin1Char(' ') + progressBar(status.progress, 30);
    line += QLatin1Char(' ') + tr("%1%").arg(status.progress);
    if (!status.interval.isEmpty())
        line += QLatin1Char(' ') + tr("(%1)").arg(status.interval);
    *m_out << row(tr("Status"), line);
}

void CliCommands::printJson(const QJsonObject& object)
{
    *m_out << QJsonDocument(object).toJson(QJsonDocument::Indented);
    m_out->flush();
}

QString CliCommands::dataFolderText() const
{
    return m_dataFolder.source == DataFolder::Source::OldDefault
        ? tr("%1 (the old default folder)").arg(m_dataFolder.path)
        : m_dataFolder.path;
}

int CliCommands::show(bool json)
{
    if (const int code = report(m_client->loadBackupInfo()))
        return code;
    QString path;
    if (const int code = report(m_client->loadBackupPath(&path)))
        return code;
    PluginClient::Status status;
    if (const int code = report(m_client->loadBackupStatus(&status)))
        return code;
    const QDateTime now = QDateTime::currentDateTime();
    BackupRules::NextBackup state;
    QDateTime start;
    if (const int code = nextBackup(now, &state, &start))
        return code;

    if (json) {
        static const QStringList sources
            = {QStringLiteral("option"), QStringLiteral("environment"), QStringLiteral("default"),
               QStringLiteral("oldDefault")};
        QJsonObject object
            = JsonOutput::settings(m_client->currentSettings(), m_client->hasAllCameras(),
                                   m_client->pluginProperty("cameraList").toStringList());
        object.insert(QStringLiteral("backupPath"), path);
        object.insert(QStringLiteral("dataFolder"), m_dataFolder.path);
        object.insert(QStringLiteral("dataFolderSource"), sources.at(int(m_dataFolder.source)));
        object.insert(QStringLiteral("status"), JsonOutput::status(status));
        object.insert(QStringLiteral("next"), JsonOutput::next(state, start, now));
        printJson(object);
        return ExitCode::Success;
    }
    printSettings();
    *m_out << row(tr("Backup path"), path);
    printStatus(status, false);
    *m_out << row(tr("Next backup"), BackupRules::nextBackupText(state, start, now))
           << row(tr("Data folder"), dataFolderText());
    m_out->flush();
    return ExitCode::Success;
}

int CliCommands::nextBackup(const QDateTime& at, BackupRules::NextBackup* state, QDateTime* start)
{
    const bool enabled = m_client->pluginProperty("enabled").toBool();
    const QString document = m_client->pluginProperty("scheduleTemplate").toString();
    *state = BackupRules::nextBackup(enabled, document, QDateTime(), at);
    if (*state != BackupRules::NextBackup::Unknown)
        return ExitCode::Success;
    if (const int code = report(m_client->nextBackupTime(at, start)))
        return code;
    // Printed with four-digit years.
    if (start->isValid() && start->date().year() > 9999)
        *start = QDateTime();
    *state = BackupRules::nextBackup(enabled, document, *start, at);
    return ExitCode::Success;
}

int CliCommands::set(const CommandRequest& request)
{
    if (const int code = report(m_client->loadBackupInfo()))
        return code;
    PluginClient::Settings settings = m_client->currentSettings();
    // The loaded schedule is sent back in canonical form, without empty rectangles.
    settings.scheduleJson
        = WeekSchedule::fromRectangleJson(settings.scheduleJson).toRectangleJson();
    if (request.enabled)
        settings.enabled = *request.enabled;
    if (request.cyclic)
        settings.targetCyclic = *request.cyclic;
    if (request.dir)
        settings.targetDir = *request.dir;
    if (request.throughputMB)
        settings.maxThroughputMB = *request.throughputMB;
    if (request.rangeDays)
        settings.maxRangeDay = *request.rangeDays;
    if (request.scheduleJson)
        settings.scheduleJson = *request.scheduleJson;
    if (request.scheduleName)
        settings.scheduleName = *request.scheduleName;
    if (request.cameras)
        settings.camList = BackupRules::cameraEntries(*request.cameras);
    if (const int code = report(m_client->updateBackupInfo(settings)))
        return code;
    *m_out << tr("Settings saved.") << '\n';
    printSettings();
    m_out->flush();
    return ExitCode::Success;
}

int CliCommands::schedule(const CommandRequest& request)
{
    if (const int code = report(m_client->loadBackupInfo()))
        return code;
    const QString name
        = request.scheduleName.value_or(m_client->pluginProperty("scheduleName").toString());
    if (const int code = report(m_client->updateSchedule(name, *request.scheduleJson)))
        return code;
    *m_out << tr("Schedule saved: %1")
                  .arg(WeekSchedule::fromRectangleJson(*request.scheduleJson).toText())
           << Qt::endl;
    return ExitCode::Success;
}

int CliCommands::next(const CommandRequest& request)
{
    if (const int code = report(m_client->loadBackupInfo()))
        return code;
    const QDateTime at = request.at.value_or(QDateTime::currentDateTime());
    BackupRules::NextBackup state;
    QDateTime start;
    if (const int code = nextBackup(at, &state, &start))
        return code;
    if (state == BackupRules::NextBackup::Unknown) {
        *m_err << errorLine(
            tr("no next backup time can be given after %1").arg(at.toString(Qt::ISODate)))
               << Qt::endl;
        return ExitCode::Failed;
    }
    if (request.json) {
        printJson(JsonOutput::next(state, start, at));
        return ExitCode::Success;
    }
    // A time for scripts; the state in words otherwise.
    *m_out << (state == BackupRules::NextBackup::At ? start.toLocalTime().toString(Qt::ISODate)
                                                    : BackupRules::nextBackupText(state, start, at))
           << Qt::endl;
    return ExitCode::Success;
}

int CliCommands::status(bool json)
{
    PluginClient::Status status;
    if (const int code = report(m_client->loadBackupStatus(&status)))
        return code;
    if (json) {
        printJson(JsonOutput::status(status));
        return ExitCode::Success;
    }
    printStatus(status, stdoutIsTerminal());
    m_out->flush();
    return ExitCode::Success;
}

int CliCommands::cameras(const CommandRequest& request)
{
    if (const int code = report(m_client->loadBackupInfo()))
        return code;
    const bool all = m_client->hasAllCameras();
    const QStringList selectedList = m_client->pluginProperty("cameraList").toStringList();
    const QSet<QString> selected(selectedList.cbegin(), selectedList.cend());
    QList<Camera> shown;
    for (const Camera& camera : m_inventory.value_or(QList<Camera>())) {
        if (!request.group || camera.group == *request.group)
            shown.append(camera);
    }
    if (request.json) {
        QJsonArray list;
        for (const Camera& camera : std::as_const(shown))
            list.append(
                QJsonObject {{QStringLiteral("id"), camera.id},
                             {QStringLiteral("name"), camera.name},
                             {QStringLiteral("group"), camera.group},
                             {QStringLiteral("selected"), all || selected.contains(camera.id)}});
        printJson({{QStringLiteral("allCameras"), all}, {QStringLiteral("cameras"), list}});
        return ExitCode::Success;
    }
    // Columns as wide as their longest entry, so that the table lines up in any language.
    QList<QStringList> lines = {{tr("ID"), tr("Name"), tr("Group"), tr("Backed up")}};
    for (const Camera& camera : std::as_const(shown))
        lines.append(
            {camera.id, camera.name, camera.group, yesNo(all || selected.contains(camera.id))});
    QList<qsizetype> widths(4, 0);
    for (const QStringList& line : std::as_const(lines)) {
        for (int column = 0; column < 4; ++column)
            widths[column] = std::max(widths[column], line[column].size());
    }
    for (const QStringList& line : std::as_const(lines)) {
        QString text;
        for (int column = 0; column < 3; ++column)
            text += line[column].leftJustified(widths[column] + 2);
        *m_out << text + line[3] << '\n';
    }
    m_out->flush();
    return ExitCode::Success;
}
