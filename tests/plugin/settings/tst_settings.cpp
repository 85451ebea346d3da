// Loading and storing the backup settings, driven as a host does: replies are variant trees, some
// parsed from the XML the server sends. Every update context handed out is released exactly once;
// the memcheck run of this executable reports a leak or a double free as an error.

#include "FakeFramework.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"
#include "XML2Json.h"

#include <QSet>
#include <QtTest>

#include <limits>

namespace {

constexpr qint64 kIntMax = std::numeric_limits<int>::max();
constexpr qint64 kIntMin = std::numeric_limits<int>::min();
const QString Page = QStringLiteral("page");
const QString Monday
    = QStringLiteral(R"({"Rectangles":[{"Top":9.5,"Bottom":17,"Left":1,"Right":2}]})");

const auto group = [](const QString& id, const QString& grp) {
    return QVariantMap {{"CamID", id}, {"GroupID", grp}};
};
const auto pageCam = [](const QString& name, const QVariant& grp) {
    return QVariantMap {{"Name", name}, {"GrpID", grp}};
};
const QVariantMap AllGroup {{"CamID", "__allcams__"}}; // the all-cameras entry carries no group
const auto reply = [](const QVariantMap& card) {
    return QVariant(QVariantMap {{"GetBkpTmcardRes", QVariantMap {{"Tmcard", card}}}});
};
const auto xmlReply = [](const QString& card) {
    return XML2Json().parse("<GetBkpTmcardRes><Tmcard>" + card + "</Tmcard></GetBkpTmcardRes>");
};
const auto with = [](QVariantMap card, const QString& key, const QVariant& value) {
    value.isValid() ? void(card.insert(key, value)) : void(card.remove(key));
    return card;
};

// A map from alternating keys and values.
QVariantMap kv(const QVariantList& flat)
{
    QVariantMap map;
    for (qsizetype i = 0; i + 1 < flat.size(); i += 2)
        map.insert(flat.at(i).toString(), flat.at(i + 1));
    return map;
}
QVariantMap tmcard(const QString& xml)
{
    return xmlReply(xml).toMap()["GetBkpTmcardRes"].toMap()["Tmcard"].toMap();
}
// Revision 5 of time-card 77: two cameras, 10 MB, 5 days and a Wednesday 10:00-11:00 frame.
QVariantMap baseCard()
{
    return tmcard(
        "<Revision>5</Revision><TmcardID>77</TmcardID><Name>Card</Name><Enabled>false</Enabled>"
        "<TargetCyclic>false</TargetCyclic><Dir>/old</Dir><MaxThroughput>10485760</MaxThroughput>"
        "<MaxRange>7200</MaxRange><Mapping><Ele><Frame><Name>Old</Name><Intervals>"
        "<Ele B=\"295200\" E=\"298800\"/></Intervals></Frame></Ele></Mapping><CamList>"
        "<Cam GrpID=\"gx\">X</Cam><Cam GrpID=\"gy\">Y</Cam></CamList>");
}
QVariantMap withCams(const QString& cams)
{
    return with(baseCard(), "CamList", tmcard("<CamList>" + cams + "</CamList>").value("CamList"));
}

const QString MondayFrame
    = "<Ele><Frame><Name>Night</Name><DLMod>Period</DLMod><RepeatMod>Weekly</RepeatMod>"
      "<Intervals><Ele B=\"120600\" E=\"147600\" /></Intervals><Holiday>false</Holiday><Range>"
      "<Period><TmS>2016-03-29 00:00:00.000</TmS><TmE>2035-01-01 00:00:00.000</TmE></Period>"
      "<End>false</End></Range><RepeatFreq>1</RepeatFreq></Frame></Ele>";

// The first difference between two maps, value types included, or an empty string.
QString difference(const QVariantMap& actual, const QVariantMap& expected)
{
    if (actual.keys() != expected.keys())
        return "keys " + actual.keys().join(',');
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QVariant value = actual.value(it.key());
        if (value.metaType() != it->metaType() || value != *it)
            return it.key() + ": " + value.toString() + " (" + value.typeName() + ")";
    }
    return {};
}
#define COMPARE_MAPS(actual, expected)                                                             \
    QVERIFY2(difference(actual, expected).isEmpty(), qPrintable(difference(actual, expected)))

// The entries of `map` whose keys are in `like`.
QVariantMap only(QVariantMap map, const QVariantMap& like)
{
    for (const QString& key : map.keys())
        if (!like.contains(key))
            map.remove(key);
    return map;
}

// The twelve entries of both update commands, in the value types sent.
QVariantMap arguments(qint64 revision, const QString& name, bool on, const QString& dir,
                      const QVariantList& groups, const QVariant& throughput, const QVariant& range)
{
    const QVariantList values {revision, qint64(77),  name,    on,     on,         dir,
                               groups,   MondayFrame, "Night", Monday, throughput, range};
    QVariantMap result;
    for (const char* key :
         {"Revision", "TmcardID", "Name", "Enabled", "TargetCyclic", "Dir", "CamGroupList",
          "TimeFrameMessage", "TmFrameName", "TmFrameJson", "MaxThroughput", "MaxRange"})
        result.insert(key, values.at(result.size()));
    return result;
}

} // namespace

// Records every signal of the plug-in in emission order; results carry their outcome.
class SignalLog : public QObject
{
    Q_OBJECT
public:
    explicit SignalLog(QObject* plugin)
    {
        const QMetaObject& meta = PluginScheduleBackup::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            const QMetaMethod signal = meta.method(i);
            const bool result = signal.name().endsWith("Resp");
            if (signal.methodType() == QMetaMethod::Signal)
                connect(plugin, signal, this,
                        metaObject()->method(
                            metaObject()->indexOfSlot(result ? "result(bool)" : "changed()")));
        }
    }
    QStringList names;

private Q_SLOTS:
    void changed() { names << sender()->metaObject()->method(senderSignalIndex()).name(); }
    void result(bool ok)
    {
        names << QString("%1(%2)").arg(sender()->metaObject()->method(senderSignalIndex()).name(),
                                       ok ? "true" : "false");
    }
};

class tst_Settings : public QObject
{
    Q_OBJECT

    PluginScheduleBackup* p = nullptr;
    std::unique_ptr<FakeFramework> fw;
    FakeServerInfo serverInfo;
    int hostData = 0;
    QSet<void*> outstanding; // contexts the plug-in handed to a request that got no reply

    int last() const { return int(fw->sent.size()) - 1; }
    QVariantMap sentArguments(int index) const { return fw->argumentsOf(index); }
    bool load(const QVariant& tree)
    {
        if (!p->getBackupInfo(Page))
            return false;
        fw->reply(p, last(), "0", tree);
        return true;
    }
    bool update(const QVariantList& cams, int mb = 30, int days = 2,
                const QString& relayPath = Page, const QString& document = Monday, bool on = true,
                const QString& dir = "/new")
    {
        const bool ok
            = p->updateBackupInfo(on, on, dir, cams, "Night", document, mb, days, relayPath);
        if (ok)
            outstanding.insert(fw->sent.at(last()).context);
        return ok;
    }
    void answer(int index, const QString& resultCode, const QVariant& result = {})
    {
        outstanding.remove(fw->sent.at(index).context);
        fw->reply(p, index, resultCode, result);
    }
    QVariantMap snapshot() const
    {
        QVariantMap state {{"revision", p->revision()},
                           {"tmcardId", p->tmcardId()},
                           {"tmcardName", p->tmcardName()},
                           {"schedule", p->schedule()},
                           {"camGroupMapList", p->camGroupMapList()}};
        for (int i = p->metaObject()->propertyOffset(); i < p->metaObject()->propertyCount(); ++i)
            state.insert(p->metaObject()->property(i).name(), p->metaObject()->property(i).read(p));
        return state;
    }

private Q_SLOTS:
    void init()
    {
        PluginLoading::resetInstance();
        p = qobject_cast<PluginScheduleBackup*>(PluginLoading::instance());
        QVERIFY(p);
        fw = std::make_unique<FakeFramework>();
        fw->serverInfo = &serverInfo;
        p->InitialPluginBase(nullptr, &hostData, fw.get());
    }
    void cleanup()
    {
        for (void* context : std::as_const(outstanding))
            delete static_cast<QVariantMap*>(context);
        outstanding.clear();
        PluginLoading::resetInstance();
    }

    // The reply to a request for the time-card; baseCard() is loaded first. Values not listed
    // keep what they were.
    void load_data()
    {
        QTest::addColumn<QString>("relayPath");
        QTest::addColumn<QString>("resultCode");
        QTest::addColumn<QVariant>("result");
        QTest::addColumn<QStringList>("signalNames");
        QTest::addColumn<QVariantMap>("values");

        const auto gate = [](const char* tag, const QString& path, const char* code,
                             const QVariant& result, const char* outcome, qint64 revision = 5) {
            QTest::newRow(tag) << path << code << result
                               << (*outcome ? QStringList {outcome} : QStringList())
                               << kv({"revision", revision});
        };
        const QVariant newer = reply(with(with(baseCard(), "Revision", 6), "Dir", "/new"));
        const char* failed = "getBackupInfoResp(false)";
        // A reply to an earlier request with another path is dropped before anything else.
        gate("other path, failure code", "old", "1", newer, "");
        gate("result code 1", Page, "1", newer, failed);
        gate("result code 00", Page, "00", newer, failed);
        gate("invalid result", Page, "0", QVariant(), failed);
        gate("failure before staleness", Page, "1", reply(with(baseCard(), "Revision", 4)), failed);
        gate("empty Tmcard element", Page, "0", xmlReply(""), failed);
        gate("stale revision", Page, "0",
             reply(with(with(baseCard(), "Dir", "/new"), "Revision", 4)), "");
        gate("equal revision", Page, "0", reply(baseCard()), "getBackupInfoResp(true)");
        gate("newer revision", Page, "0", reply(with(baseCard(), "Revision", 6)),
             "getBackupInfoResp(true)", 6);

        const auto row = [](const char* tag, const QVariantMap& card, QStringList names,
                            const QVariantList& values) {
            QTest::newRow(tag) << Page << "0" << reply(card) << (names << "getBackupInfoResp(true)")
                               << kv(values);
        };
        const QStringList cams {"cameraListChanged"};
        row("every field",
            tmcard(
                "<Revision>5</Revision><TmcardID>9</TmcardID><Name>New</Name><Enabled>true</"
                "Enabled>"
                "<TargetCyclic>1</TargetCyclic><Dir>/b</Dir><MaxThroughput>52428800</MaxThroughput>"
                "<MaxRange>4320</MaxRange><Mapping><Ele><Frame><Name>Night</Name><Intervals>"
                "<Ele B=\"120600\" E=\"147600\"/></Intervals></Frame></Ele></Mapping>"
                "<CamList><Cam GrpID=\"\">__allcams__</Cam></CamList>"),
            {"enabledChanged", "targetCyclicChanged", "targetDirChanged", "maxThroughputMBChanged",
             "maxRangeDayChanged", "scheduleTemplateChanged", "scheduleNameChanged",
             "hasAllCamerasChanged", "cameraListChanged"},
            {"tmcardId",         qint64(9),
             "tmcardName",       "New",
             "enabled",          true,
             "targetCyclic",     true,
             "targetDir",        "/b",
             "maxThroughputMB",  50,
             "maxRangeDay",      3,
             "scheduleTemplate", Monday,
             "scheduleName",     "Night",
             "hasAllCameras",    true,
             "cameraList",       QStringList(),
             "camGroupMapList",  QVariantList {AllGroup}});
        row("limits beyond an int saturate",
            with(with(baseCard(), "MaxThroughput", (kIntMax + 1) * 1048576), "MaxRange",
                 QString::number(std::numeric_limits<qint64>::min())),
            {"maxThroughputMBChanged", "maxRangeDayChanged"},
            {"maxThroughputMB", int(kIntMax), "maxRangeDay", int(kIntMin)});
        row("all cameras as plain text", withCams("<Cam>__allcams__</Cam>"),
            {"hasAllCamerasChanged", "cameraListChanged"},
            {"hasAllCameras", true, "cameraList", QStringList(), "camGroupMapList",
             QVariantList {AllGroup}});
        row("A, all cameras, B",
            withCams("<Cam GrpID=\"g1\">A</Cam><Cam GrpID=\"g0\">__allcams__</Cam><Cam "
                     "GrpID=\"g2\">B</Cam>"),
            cams,
            {"hasAllCameras", false, "cameraList", QStringList {"A", "B"}, "camGroupMapList",
             QVariantList {group("A", "g1"), AllGroup}});
        row("A, B, A",
            withCams("<Cam GrpID=\"g1\">A</Cam><Cam GrpID=\"g2\">B</Cam><Cam GrpID=\"g3\">A</Cam>"),
            cams,
            {"cameraList", QStringList {"A", "B"}, "camGroupMapList",
             QVariantList {group("A", "g1"), group("B", "g2"), group("A", "g3")}});
        row("camera without group is plain text", withCams("<Cam>A</Cam><Cam GrpID=\"gy\">Y</Cam>"),
            cams,
            {"cameraList", QStringList {"A", "Y"}, "camGroupMapList",
             QVariantList {group("A", ""), group("Y", "gy")}});
    }
    void load()
    {
        QFETCH(QString, relayPath);
        QFETCH(QString, resultCode);
        QFETCH(QVariant, result);
        QFETCH(QStringList, signalNames);
        QFETCH(QVariantMap, values);
        QVERIFY(load(reply(baseCard())));
        QVariantMap expected = snapshot();
        expected.insert(values);
        // The answered request comes first; a later request with the page's path makes it stale.
        QVERIFY(p->getBackupInfo(relayPath));
        const int answered = last();
        QVERIFY(relayPath == Page || p->getBackupInfo(Page));
        SignalLog log(p);
        fw->reply(p, answered, resultCode, result);
        QCOMPARE(log.names, signalNames);
        // An accepted time-card's schedule is kept as delivered, for the next backup time.
        if (signalNames.contains("getBackupInfoResp(true)"))
            expected.insert(
                "schedule",
                result.toMap()["GetBkpTmcardRes"].toMap()["Tmcard"].toMap().value("Mapping"));
        COMPARE_MAPS(snapshot(), expected);
    }

    // updateBackupInfo sends the page's values, updateSchedule the loaded ones, with the caller's
    // relay path. Neither changes the page; nothing is sent for a document that cannot be composed.
    void updateRequests_data()
    {
        QTest::addColumn<QVariantMap>("card");
        QTest::addColumn<bool>("schedule");
        QTest::addColumn<QVariantList>("cams");
        QTest::addColumn<int>("mb");
        QTest::addColumn<int>("days");
        QTest::addColumn<QString>("document");
        QTest::addColumn<int>("framework"); // 0: none, 1: refuses, 2: accepts
        QTest::addColumn<QVariantMap>("expected"); // empty: the call returns false
        QTest::addColumn<int>("recorded");

        const auto info = [](const char* tag, const QVariantList& cams, const QVariantList& groups,
                             int mb, int days, const QVariant& throughput, const QVariant& range) {
            QTest::newRow(tag) << baseCard() << false << cams << mb << days << Monday << 2
                               << arguments(5, "Card", true, "/new", groups, throughput, range)
                               << 1;
        };
        info("backup info: two cameras", {pageCam("A", "g1"), pageCam("B", "g2")},
             {group("A", "g1"), group("B", "g2")}, 30, 2, 31457280, 2880);
        info("backup info: odd elements, all-cameras tag passes through",
             {QString("A"), pageCam("B", 42), QVariantMap {{"Name", "C"}},
              pageCam("__allcams__", "")},
             {group("", ""), group("B", "42"), group("C", ""), group("__allcams__", "")}, 0, 0, 0,
             0);
        info("backup info: largest limits that fit an int", {}, {}, 2047, 1491308, 2146435072,
             2147483520);
        info("backup info: limits beyond an int", {}, {}, 2048, 1491309, qint64(2147483648),
             qint64(2147484960));
        info("backup info: negative beyond an int", {}, {}, -2049, -1491309, qint64(-2148532224),
             qint64(-2147484960));
        const QVariantList xy {group("X", "gx"), group("Y", "gy")};
        QTest::newRow("schedule: the loaded settings")
            << baseCard() << true << QVariantList() << 0 << 0 << Monday << 2
            << arguments(5, "Card", false, "/old", xy, 10485760, 7200) << 1;
        QTest::newRow("schedule: loaded limits beyond an int")
            << with(with(baseCard(), "MaxThroughput", "2147483648"), "MaxRange", "2147484960")
            << true << QVariantList() << 0 << 0 << Monday << 2
            << arguments(5, "Card", false, "/old", xy, qint64(2147483648), qint64(2147484960)) << 1;
        for (const bool schedule : {false, true}) {
            const auto row = [&](const char* tag, const QString& document, int framework,
                                 const QVariantMap& expected, int recorded) {
                QTest::newRow(qPrintable(QString(schedule ? "schedule: " : "backup info: ") + tag))
                    << baseCard() << schedule << QVariantList() << 1 << 1 << document << framework
                    << expected << recorded;
            };
            // The page reads an empty document back for a time-card without intervals.
            row("empty document", "", 2, kv({"TimeFrameMessage", "", "TmFrameJson", ""}), 1);
            row("not JSON", "Monday 9 to 5", 2, {}, 0);
            row("out of range",
                R"({"Rectangles":[{"Top":0,"Bottom":1,"Left":100000,"Right":100001}]})", 2, {}, 0);
            row("refused", Monday, 1, {}, 1);
            row("no framework", Monday, 0, {}, 0);
        }
    }
    void updateRequests()
    {
        QFETCH(QVariantMap, card);
        QFETCH(bool, schedule);
        QFETCH(QVariantList, cams);
        QFETCH(int, mb);
        QFETCH(int, days);
        QFETCH(QString, document);
        QFETCH(int, framework);
        QFETCH(QVariantMap, expected);
        QFETCH(int, recorded);
        QVERIFY(load(reply(card)));
        fw->sent.clear();
        fw->accept = framework == 2;
        if (framework == 0)
            p->InitialPluginBase(nullptr, &hostData, nullptr);
        const QVariantMap state = snapshot();
        SignalLog log(p);
        // A context that was not sent stays with the plug-in, which must release it.
        const bool ok = schedule
            ? p->updateSchedule("Night", document, "other")
            : p->updateBackupInfo(true, true, "/new", cams, "Night", document, mb, days, "other");
        QCOMPARE(ok, !expected.isEmpty());
        QCOMPARE(fw->sent.size(), recorded);
        if (ok) {
            const FakeFramework::SentCommand& sent = fw->sent.first();
            outstanding.insert(sent.context);
            QCOMPARE(sent.command, schedule ? "UpdSchedule" : "UpdBkpTmcard");
            QCOMPARE(sent.flag, 0);
            QCOMPARE(sent.relayPath, "other");
            QCOMPARE(sent.arguments.toMap().size(), 12);
            COMPARE_MAPS(only(sent.arguments.toMap(), expected), expected);
            // The context of "UpdBkpTmcard" is a map of its own holding the same entries.
            QCOMPARE(sent.context == nullptr, schedule);
            if (!schedule)
                COMPARE_MAPS(*static_cast<const QVariantMap*>(sent.context),
                             sent.arguments.toMap());
        }
        QVERIFY(log.names.isEmpty());
        COMPARE_MAPS(snapshot(), state);
    }

    // A confirmed "UpdBkpTmcard" applies the sent values and derives the cameras like a load.
    void confirmedUpdate_data()
    {
        QTest::addColumn<QString>("loadedCams");
        QTest::addColumn<QVariantList>("cams");
        QTest::addColumn<int>("mb");
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("all");
        QTest::addColumn<QStringList>("cameras");
        QTest::addColumn<QStringList>("signalNames");

        const QString xy = "<Cam GrpID=\"gx\">X</Cam><Cam GrpID=\"gy\">Y</Cam>",
                      loadedAll = "<Cam>__allcams__</Cam>";
        const QVariantMap all = pageCam("__allcams__", "");
        const auto row = [](const char* tag, const QString& loaded, const QVariantList& cams,
                            int mb, int days, bool all, const QStringList& cameras,
                            const QStringList& changes) {
            const QStringList common {"enabledChanged", "targetCyclicChanged", "targetDirChanged",
                                      "scheduleNameChanged", "scheduleTemplateChanged"};
            QTest::newRow(tag) << loaded << cams << mb << days << all << cameras
                               << common + changes + QStringList {"updBackupInfoResp(true)"};
        };
        row("two cameras, new limits", xy, {pageCam("A", "g1"), pageCam("B", "g2")}, 50, 3, false,
            {"A", "B"}, {"maxThroughputMBChanged", "maxRangeDayChanged", "cameraListChanged"});
        row("all cameras saved", xy, {all}, 10, 5, true, {},
            {"cameraListChanged", "hasAllCamerasChanged"});
        row("A, all cameras, B, largest limits", loadedAll,
            {pageCam("A", "g1"), all, pageCam("B", "g2")}, int(kIntMax), int(kIntMax), false,
            {"A", "B"},
            {"maxThroughputMBChanged", "maxRangeDayChanged", "cameraListChanged",
             "hasAllCamerasChanged"});
        row("A, B, A, 2048 MB", xy, {pageCam("A", "g1"), pageCam("B", "g2"), pageCam("A", "g3")},
            2048, 5, false, {"A", "B"}, {"maxThroughputMBChanged", "cameraListChanged"});
        row("all cameras twice, negative limits", loadedAll, {all, all}, -2049, -1, false, {},
            {"maxThroughputMBChanged", "maxRangeDayChanged", "hasAllCamerasChanged"});
    }
    void confirmedUpdate()
    {
        QFETCH(QString, loadedCams);
        QFETCH(QVariantList, cams);
        QFETCH(int, mb);
        QFETCH(int, days);
        QFETCH(bool, all);
        QFETCH(QStringList, cameras);
        QFETCH(QStringList, signalNames);
        QVERIFY(load(reply(withCams(loadedCams))));
        QVariantMap state = snapshot();
        QVERIFY(update(cams, mb, days));
        const QVariantList groups = sentArguments(last()).value("CamGroupList").toList();
        SignalLog log(p);
        answer(last(), "0");
        QCOMPARE(log.names, signalNames);
        state.insert(kv({"enabled",          true,      "targetCyclic",    true,
                         "targetDir",        "/new",    "scheduleName",    "Night",
                         "scheduleTemplate", Monday,    "maxThroughputMB", mb,
                         "maxRangeDay",      days,      "cameraList",      cameras,
                         "hasAllCameras",    all,       "camGroupMapList", groups,
                         "revision",         qint64(6), "schedule",        p->schedule()}));
        COMPARE_MAPS(snapshot(), state);
        QCOMPARE(groups.size(), cams.size());
        // The stored schedule is the sent time frame in the tree form of a loaded Mapping.
        QCOMPARE(p->ConvertScheduleContent(p->schedule()), Monday);
        // The next request carries the confirmed settings and the raised revision.
        QVERIFY(p->updateSchedule("Night", Monday, Page));
        const QVariantMap next = sentArguments(last());
        QCOMPARE(next.value("Revision"), qint64(6));
        QCOMPARE(next.value("CamGroupList").toList(), groups);
    }

    // Replies that apply nothing: only a confirmed "UpdSchedule" raises the revision.
    void unappliedReplies_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("withContext");
        QTest::addColumn<QString>("relayPath");
        QTest::addColumn<QString>("resultCode");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<qint64>("revision");

        const QStringList failed {"updBackupInfoResp(false)"};
        QTest::newRow("backup info, code 1")
            << "UpdBkpTmcard" << true << Page << "1" << failed << qint64(5);
        QTest::newRow("backup info, other path") << "UpdBkpTmcard" << true << "other"
                                                 << "0" << QStringList() << qint64(5);
        QTest::newRow("backup info, success without context")
            << "UpdBkpTmcard" << false << Page << "0" << failed << qint64(5);
        QTest::newRow("schedule, success") << "UpdSchedule" << false << Page << "0"
                                           << QStringList {"updateScheduleResp(true)"} << qint64(6);
        QTest::newRow("schedule, failure")
            << "UpdSchedule" << false << Page << "1" << QStringList {"updateScheduleResp(false)"}
            << qint64(5);
    }
    void unappliedReplies()
    {
        QFETCH(QString, command);
        QFETCH(bool, withContext);
        QFETCH(QString, relayPath);
        QFETCH(QString, resultCode);
        QFETCH(QStringList, expected);
        QFETCH(qint64, revision);
        QVERIFY(load(reply(baseCard())));
        QVariantMap state = snapshot();
        if (command == "UpdSchedule")
            QVERIFY(p->updateSchedule("Night", Monday, relayPath));
        else if (withContext)
            QVERIFY(update({pageCam("A", "g")}, 50, 3, relayPath));
        SignalLog log(p);
        if (command == "UpdSchedule" || withContext)
            answer(last(), resultCode); // the plug-in gets the context back and releases it
        else
            p->CommandProcessor(command, QVariant(), nullptr, resultCode, QString(), false,
                                relayPath);
        QCOMPARE(log.names, expected);
        state.insert("revision", revision);
        COMPARE_MAPS(snapshot(), state);
        QVERIFY(p->updateSchedule("probe", "{}", Page));
        QCOMPARE(sentArguments(last()).value("Revision").toLongLong(), revision);
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
