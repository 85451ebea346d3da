// SPDX-License-Identifier: BSD-3-Clause
// Delivers reply trees made from arbitrary XML through CommandProcessor, under each of the five
// command names, to a plug-in that is fresh, loaded, or waiting for an update's reply. Any crash,
// sanitizer report or leaked update context is a finding.

#include "FrameworkWrapperBase.h"
#include "PluginScheduleBackup.h"
#include "XML2Json.h"

#include <QVariantList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

class Framework : public FrameworkWrapperBase
{
public:
    bool SendCommand(void*, const QString&, const QString&, const QVariant&, void* context, int,
                     const QString&) override
    {
        lastContext = context;
        return true;
    }
    QObject* GetPluginObject(void*, const QString&) override { return nullptr; }

    void* lastContext = nullptr;
};

const QString Relay = QStringLiteral("fuzz");

const QVariant& loadedCard()
{
    static const QVariant tree = XML2Json().parse(QStringLiteral(
        "<GetBkpTmcardRes><Tmcard><Revision>4</Revision><TmcardID>7</TmcardID><Name>n</Name>"
        "<Enabled>true</Enabled><TargetCyclic>false</TargetCyclic><Dir>/d</Dir>"
        "<MaxThroughput>1048576</MaxThroughput><MaxRange>1440</MaxRange><Mapping><Ele><Frame>"
        "<Name>w</Name><Intervals><Ele B=\"118800\" E=\"147600\"/></Intervals></Frame></Ele>"
        "</Mapping><CamList><Cam GrpID=\"g\">c1</Cam></CamList></Tmcard></GetBkpTmcardRes>"));
    return tree;
}

enum class State { Fresh, Loaded, UpdateOutstanding };

void deliver(State state, const QString& command, const QVariant& tree, const QString& code)
{
    Framework framework;
    PluginScheduleBackup plugin;
    plugin.InitialPluginBase(nullptr, &framework, &framework);
    void* outstanding = nullptr;
    if (state != State::Fresh) {
        plugin.getBackupInfo(Relay);
        plugin.CommandProcessor(QStringLiteral("GetBkpTmcard"), loadedCard(), nullptr,
                                QStringLiteral("0"), QString(), false, Relay);
    }
    if (state == State::UpdateOutstanding) {
        const QVariantList cameras {QVariantMap {{QStringLiteral("Name"), QStringLiteral("c1")}}};
        if (!plugin.updateBackupInfo(true, true, QStringLiteral("/e"), cameras, QStringLiteral("w"),
                                     QStringLiteral("{\"Rectangles\":[]}"), 1, 1, Relay))
            std::abort();
        outstanding = framework.lastContext;
    }
    // An update's reply carries its context back; the host hands each context back once.
    const bool carriesContext = command == QLatin1String("UpdBkpTmcard") && outstanding;
    plugin.CommandProcessor(command, tree, carriesContext ? outstanding : nullptr, code, QString(),
                            false, Relay);
    if (outstanding && !carriesContext)
        plugin.CommandProcessor(QStringLiteral("UpdBkpTmcard"), QVariant(), outstanding,
                                QStringLiteral("1"), QString(), false, Relay);
    plugin.getNextBackupTime(QDateTime(QDate(2026, 12, 6), QTime(12, 0)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the result code, the rest is the reply.
    const QString code = data[0] % 2 ? QStringLiteral("0") : QStringLiteral("1001");
    const QVariant tree = XML2Json().parse(QString::fromUtf8(
        reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)));
    for (const char* command :
         {"GetBkpTmcard", "GetBackupPath", "GetBackupStatus", "UpdBkpTmcard", "UpdSchedule"}) {
        for (const State state : {State::Fresh, State::Loaded, State::UpdateOutstanding})
            deliver(state, QString::fromLatin1(command), tree, code);
    }
    return 0;
}
