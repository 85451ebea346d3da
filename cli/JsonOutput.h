// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include "BackupRules.h"
#include "PluginClient.h"
#include "WeekSchedule.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>

// The output of --json: fixed English keys, raw values beside the shown ones and times in
// RFC 3339 with their offset from UTC, so that scripts need neither translations nor the locale.
namespace JsonOutput {

// "2026-12-14T09:00:00+01:00"; null for an invalid time.
QJsonValue time(const QDateTime& moment);
// The settings as the plug-in holds them; `cameras` are the selected ids unless `allCameras`.
QJsonObject settings(const PluginClient::Settings& settings, bool allCameras,
                     const QStringList& cameras);
// [{"day":"Mon","start":"09:00","end":"17:00"}], Monday first.
QJsonArray windows(const WeekSchedule& schedule);
QJsonObject status(const PluginClient::Status& status);
QJsonObject next(BackupRules::NextBackup state, const QDateTime& start, const QDateTime& at);

} // namespace JsonOutput
