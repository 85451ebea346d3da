#pragma once

// Shared by the settings tests: a host stand-in around the single plug-in object, reply trees as
// the host delivers them, and one recorder that keeps every signal in emission order.

#include "FakeFramework.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"
#include "XML2Json.h"

#include <QMetaProperty>
#include <QSet>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <memory>

namespace SettingsTestKit {

inline QVariantMap cam(const QString& id, const QString& group)
{
    return {{QStringLiteral("#text"), id}, {QStringLiteral("@GrpID"), group}};
}

inline QVariantMap group(const QString& camId, const QString& groupId)
{
    return {{QStringLiteral("CamID"), camId}, {QStringLiteral("GroupID"), groupId}};
}

// The camera-group entry that stands for all cameras carries no group.
inline QVariantMap allCamerasEntry()
{
    return {{QStringLiteral("CamID"), QStringLiteral("__allcams__")}};
}

// A camList element as the page passes it to updateBackupInfo.
inline QVariantMap pageCam(const QString& name, const QVariant& group)
{
    return {{QStringLiteral("Name"), name}, {QStringLiteral("GrpID"), group}};
}

// A "Mapping" subtree holding one time frame with the given [B, E) week-second intervals.
inline QVariantMap mapping(const QString& frameName, const QList<QPair<int, int>>& intervals)
{
    QVariantList eles;
    for (const auto& interval : intervals)
        eles << QVariantMap {{QStringLiteral("@B"), QString::number(interval.first)},
                             {QStringLiteral("@E"), QString::number(interval.second)}};
    const QVariantMap frame {
        {QStringLiteral("Name"), frameName},
        {QStringLiteral("Intervals"),
         QVariantMap {{QStringLiteral("Ele"), eles.size() == 1 ? eles.first() : QVariant(eles)}}}};
    return {{QStringLiteral("Ele"), QVariantMap {{QStringLiteral("Frame"), frame}}}};
}

inline QVariant reply(const QVariantMap& tmcard)
{
    return QVariantMap {
        {QStringLiteral("GetBkpTmcardRes"), QVariantMap {{QStringLiteral("Tmcard"), tmcard}}}};
}

// The reply tree of a time-card given as the XML the server sends.
inline QVariant xmlReply(const QString& tmcardContent)
{
    XML2Json parser;
    return parser.parse(QStringLiteral("<GetBkpTmcardRes><Tmcard>%1</Tmcard></GetBkpTmcardRes>")
                            .arg(tmcardContent));
}

// Revision 5 of time-card 77 with two cameras, 10 MB, 5 days and a Wednesday 10:00-11:00 frame.
inline QVariantMap baseCard()
{
    return {{QStringLiteral("Revision"), 5},
            {QStringLiteral("TmcardID"), 77},
            {QStringLiteral("Name"), QStringLiteral("Card")},
            {QStringLiteral("Enabled"), QStringLiteral("false")},
            {QStringLiteral("TargetCyclic"), QStringLiteral("false")},
            {QStringLiteral("Dir"), QStringLiteral("/old")},
            {QStringLiteral("MaxThroughput"), 10 * 1048576},
            {QStringLiteral("MaxRange"), 5 * 1440},
            {QStringLiteral("Mapping"), mapping(QStringLiteral("Old"), {{295200, 298800}})},
            {QStringLiteral("CamList"),
             QVariantMap {{QStringLiteral("Cam"),
                           QVariantList {cam(QStringLiteral("X"), QStringLiteral("gx")),
                                         cam(QStringLiteral("Y"), QStringLiteral("gy"))}}}}};
}

inline QVariantMap with(QVariantMap card, const QString& key, const QVariant& value)
{
    if (value.isValid())
        card.insert(key, value);
    else
        card.remove(key);
    return card;
}

// The twelve entries expected in both update commands, in value types as sent.
inline QVariantMap updateArguments(qint64 revision, qint64 tmcardId, const QString& name,
                                   bool enabled, bool cyclic, const QString& dir,
                                   const QVariantList& groups, const QString& frameMessage,
                                   const QString& scheName, const QString& scheJson,
                                   const QVariant& throughput, const QVariant& range)
{
    return {{QStringLiteral("Revision"), revision},
            {QStringLiteral("TmcardID"), tmcardId},
            {QStringLiteral("Name"), name},
            {QStringLiteral("Enabled"), enabled},
            {QStringLiteral("TargetCyclic"), cyclic},
            {QStringLiteral("Dir"), dir},
            {QStringLiteral("CamGroupList"), groups},
            {QStringLiteral("TimeFrameMessage"), frameMessage},
            {QStringLiteral("TmFrameName"), scheName},
            {QStringLiteral("TmFrameJson"), scheJson},
            {QStringLiteral("MaxThroughput"), throughput},
            {QStringLiteral("MaxRange"), range}};
}

// The time-frame element the server stores, built from the documented template.
inline QString frameMessage(const QString& name, const QString& intervals)
{
    return QStringLiteral("<Ele><Frame><Name>%1</Name><DLMod>Period</DLMod><RepeatMod>Weekly"
                          "</RepeatMod><Intervals>%2</Intervals><Holiday>false</Holiday><Range>"
                          "<Period><TmS>2016-03-29 00:00:00.000</TmS><TmE>2035-01-01 00:00:00.000"
                          "</TmE></Period><End>false</End></Range><RepeatFreq>1</RepeatFreq>"
                          "</Frame></Ele>")
        .arg(name, intervals);
}

// Monday 09:30-17:00 in both schedule forms.
inline QString mondayDocument()
{
    return QStringLiteral(R"({"Rectangles":[{"Top":9.5,"Bottom":17,"Left":1,"Right":2}]})");
}
inline QString mondayInterval()
{
    return QStringLiteral(R"(<Ele B="120600" E="147600" />)");
}

// Describes the first difference between two maps, or returns an empty string.
inline QString difference(const QVariantMap& actual, const QVariantMap& expected)
{
    if (actual.keys() != expected.keys())
        return QStringLiteral("keys %1, expected %2")
            .arg(actual.keys().join(u','), expected.keys().join(u','));
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QVariant& value = actual.value(it.key());
        if (value.metaType() != it.value().metaType() || value != it.value())
            return QStringLiteral("%1: %2 (%3), expected %4 (%5)")
                .arg(it.key(), value.toString(), QString::fromLatin1(value.typeName()),
                     it.value().toString(), QString::fromLatin1(it.value().typeName()));
    }
    return {};
}

// Records every signal of the plug-in in emission order; result signals carry their outcome,
// e.g. "getBackupInfoResp(true)".
class SignalLog
{
public:
    explicit SignalLog(PluginScheduleBackup* plugin)
    {
        using P = PluginScheduleBackup;
        result(plugin, &P::getBackupInfoResp, "getBackupInfoResp");
        watch(plugin, &P::getBackupPathResp, "getBackupPathResp");
        watch(plugin, &P::getBackupStatusResp, "getBackupStatusResp");
        result(plugin, &P::updBackupInfoResp, "updBackupInfoResp");
        result(plugin, &P::updateScheduleResp, "updateScheduleResp");
        watch(plugin, &P::cameraListChanged, "cameraListChanged");
        watch(plugin, &P::enabledChanged, "enabledChanged");
        watch(plugin, &P::targetCyclicChanged, "targetCyclicChanged");
        watch(plugin, &P::hasAllCamerasChanged, "hasAllCamerasChanged");
        watch(plugin, &P::maxThroughputMBChanged, "maxThroughputMBChanged");
        watch(plugin, &P::maxRangeDayChanged, "maxRangeDayChanged");
        watch(plugin, &P::scheduleTemplateChanged, "scheduleTemplateChanged");
        watch(plugin, &P::scheduleNameChanged, "scheduleNameChanged");
        watch(plugin, &P::targetDirChanged, "targetDirChanged");
    }
    ~SignalLog()
    {
        for (const auto& connection : std::as_const(m_connections))
            QObject::disconnect(connection);
    }
    SignalLog(const SignalLog&) = delete;
    SignalLog& operator=(const SignalLog&) = delete;

    int watchedSignals() const { return m_connections.size(); }

    QStringList names;

private:
    template<typename... Args>
    void watch(PluginScheduleBackup* plugin, void (PluginScheduleBackup::*signal)(Args...),
               const char* name)
    {
        m_connections << QObject::connect(plugin, signal,
                                          [this, name] { names << QLatin1String(name); });
    }
    void result(PluginScheduleBackup* plugin, void (PluginScheduleBackup::*signal)(bool),
                const char* name)
    {
        m_connections << QObject::connect(plugin, signal, [this, name](bool success) {
            names << QStringLiteral("%1(%2)").arg(
                QLatin1String(name), success ? QLatin1String("true") : QLatin1String("false"));
        });
    }

    QList<QMetaObject::Connection> m_connections;
};

struct Update
{
    bool enabled = false;
    bool cyclic = false;
    QString dir;
    QVariantList cams;
    QString scheName;
    QString scheJson;
    int mb = 30;
    int days = 2;
};

// Plays the host: a fresh plug-in object per test, a recording framework, and bookkeeping of
// the update contexts handed out so that a test never leaks one it did not reply to.
class Host
{
public:
    // Creates a fresh plug-in object; without a framework nothing can be sent.
    PluginScheduleBackup* start(bool withFramework = true)
    {
        PluginLoading::resetInstance();
        plugin = qobject_cast<PluginScheduleBackup*>(PluginLoading::instance());
        if (!plugin)
            return nullptr;
        framework = std::make_unique<FakeFramework>();
        framework->serverInfo = &serverInfo;
        serverInfo.calls = 0;
        plugin->InitialPluginBase(nullptr, &hostData, withFramework ? framework.get() : nullptr);
        return plugin;
    }

    void stop()
    {
        for (void* context : std::as_const(m_outstanding))
            delete static_cast<QVariantMap*>(context);
        m_outstanding.clear();
        PluginLoading::resetInstance();
        plugin = nullptr;
        framework.reset();
    }

    int last() const { return int(framework->sent.size()) - 1; }
    QVariantMap argumentsOf(int index) const { return framework->argumentsOf(index); }

    bool getBackupInfo(const QString& relayPath = QString())
    {
        bool ok = false;
        QMetaObject::invokeMethod(plugin, "getBackupInfo", Q_RETURN_ARG(bool, ok),
                                  Q_ARG(QString, relayPath));
        return ok;
    }

    // Requests the time-card and delivers the reply to that request.
    bool load(const QVariant& tree, const QString& relayPath = QString(),
              const QString& resultCode = QStringLiteral("0"))
    {
        if (!getBackupInfo(relayPath))
            return false;
        reply(last(), resultCode, tree);
        return true;
    }

    bool updateBackupInfo(const Update& u, const QString& relayPath = QString())
    {
        bool ok = false;
        QMetaObject::invokeMethod(plugin, "updateBackupInfo", Q_RETURN_ARG(bool, ok),
                                  Q_ARG(bool, u.enabled), Q_ARG(bool, u.cyclic),
                                  Q_ARG(QString, u.dir), Q_ARG(QVariantList, u.cams),
                                  Q_ARG(QString, u.scheName), Q_ARG(QString, u.scheJson),
                                  Q_ARG(int, u.mb), Q_ARG(int, u.days), Q_ARG(QString, relayPath));
        // An accepted command's context is the request's until its reply comes back.
        if (ok && last() >= 0)
            m_outstanding.insert(framework->sent.at(last()).context);
        return ok;
    }

    bool updateSchedule(const QString& name, const QString& document,
                        const QString& relayPath = QString())
    {
        bool ok = false;
        QMetaObject::invokeMethod(plugin, "updateSchedule", Q_RETURN_ARG(bool, ok),
                                  Q_ARG(QString, name), Q_ARG(QString, document),
                                  Q_ARG(QString, relayPath));
        return ok;
    }

    // Hands the reply to sent command `index` back to the plug-in, which then owns its context.
    void reply(int index, const QString& resultCode, const QVariant& result = QVariant())
    {
        m_outstanding.remove(framework->sent.at(index).context);
        framework->reply(plugin, index, resultCode, result);
    }

    // All properties plus the state behind them.
    QVariantMap snapshot() const
    {
        QVariantMap state;
        const QMetaObject* meta = plugin->metaObject();
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
            state.insert(QString::fromLatin1(meta->property(i).name()),
                         meta->property(i).read(plugin));
        state.insert(QStringLiteral("revision"), plugin->revision());
        state.insert(QStringLiteral("tmcardId"), plugin->tmcardId());
        state.insert(QStringLiteral("tmcardName"), plugin->tmcardName());
        state.insert(QStringLiteral("schedule"), plugin->schedule());
        state.insert(QStringLiteral("camGroupMapList"), plugin->camGroupMapList());
        state.insert(QStringLiteral("curRelayPath"), plugin->curRelayPath());
        return state;
    }

    PluginScheduleBackup* plugin = nullptr;
    std::unique_ptr<FakeFramework> framework;
    FakeServerInfo serverInfo;
    int hostData = 0;

private:
    QSet<void*> m_outstanding;
};

} // namespace SettingsTestKit

Q_DECLARE_METATYPE(SettingsTestKit::Update)
