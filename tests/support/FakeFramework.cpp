// SPDX-License-Identifier: BSD-3-Clause

#include "FakeFramework.h"

#include "PluginBase.h"

QVariantList FakeServerInfo::getTimestamp(const QDateTime& dateTime)
{
    ++calls;
    if (answerEmpty)
        return {};
    return {dateTime.toMSecsSinceEpoch()};
}

bool FakeFramework::SendCommand(void* hostData, const QString& pluginId, const QString& command,
                                const QVariant& arguments, void* context, int flag,
                                const QString& relayPath)
{
    // A refused command is recorded too, so tests can check what would have been sent.
    sent.append({hostData, pluginId, command, arguments, context, flag, relayPath});
    if (accept && answerInside)
        answerInside(int(sent.size()) - 1);
    return accept;
}

QObject* FakeFramework::GetPluginObject(void*, const QString& pluginId)
{
    if (pluginId == QLatin1String("3CE573D25E0F455B8F75EDDC573E2B64"))
        return serverInfo.data();
    return nullptr;
}

void FakeFramework::reply(PluginBase* plugin, int index, const QString& resultCode,
                          const QVariant& result)
{
    // A copy: the reply may send further commands, which grow the list.
    const SentCommand command = sent.at(index);
    plugin->CommandProcessor(command.command, result, command.context, resultCode, QString(), false,
                             command.relayPath);
}
