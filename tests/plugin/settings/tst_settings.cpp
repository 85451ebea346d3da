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
const QString Page = QStringLiteral("page");
const QString Monday
    = QStringLiteral(R"({"Rectangles":[{"Top":9.5,"Bottom":17,"Left":1,"Right":2}]})");
const QString MondayFrame
    = "<Ele><Frame><Name>Night</Name><DLMod>Period</DLMod><RepeatMod>Weekly</RepeatMod>"
      "<Intervals><Ele B=\"120600\" E=\"147600\" /></Intervals><Holiday>false</Holiday><Range>"
      "<Period><TmS>2016-03-29 00:00:00.000</TmS><TmE>2035-01-01 00:00:00.000</TmE></Period>"
      "<End>false</End></Range><RepeatFreq>1</RepeatFreq></Frame></Ele>";

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
// A map from alternating keys and values.
QVariantMap kv(const QVariantList& flat, QVariantMap map = {})
{
    for (qsizetype i = 0; i + 1 < flat.size(); i += 2)
        map.insert(flat.at(i).toString(), flat.at(i + 1));
    return map;
}
QVariantMap tmcard(const QString& xml)
{
    return XML2Json().parse("<Tmcard>" + xml + "</Tmcard>").toMap()["Tmcard"].toMap();
}
// Revision 5 of time-card 77: two cameras, 10 MB, 5 days and a Wednesday 10:00-11:00 frame,
// with the given entries replaced.
QVariantMap baseCard(const QVariantList& changes = {})
{
    return kv(changes,
              tmcard("<Revision>5</Revision><TmcardID>77</TmcardID><Name>Card</Name>"
                     "<Enabled>false</Enabled><TargetCyclic>false</TargetCyclic><Dir>/old</Dir>"
                     "<MaxThroughput>10485760</MaxThroughput><MaxRange>7200</MaxRange><Mapping>"
                     "<Ele><Frame><Name>Old</Name><Intervals><Ele B=\"295200\" E=\"298800\"/>"
                     "</Intervals></Frame></Ele></Mapping><CamList><Cam GrpID=\"gx\">X</Cam>"
                     "<Cam GrpID=\"gy\">Y</Cam></CamList>"));
}
QVariantMap withCams(const QString& cams)
{
    return baseCard({"CamList", tmcard("<CamList>" + cams + "</CamList>").value("CamList")});
}

// The first difference between two maps, value types included, or an empty string.
QString difference(const QVariantMap& actual, const QVariantMap& expected)
{
    for (const QString& key : actual.keys() + expected.keys()) {
        const QVariant value = actual.value(key);
        if (value.metaType() != expected.value(key).metaType() || value != expected.value(key))
            return key + ": " + value.toString() + " (" + value.typeName() + ")";
    }
    return {};
}
#define COMPARE_MAPS(actual, expected)                                                             \
    QVERIFY2(difference(actual, expected).isEmpty(), qPrintable(difference(actual, expected)))

// The twelve entries of both update commands, in the value types sent.
QVariantMap arguments(const QString& name, bool on, const QString& dir, const QVariantList& groups,
                      const QVariant& throughput, const QVariant& range)
{
    return kv({"Revision",     qint64(5), "TmcardID",         qint64(77),  "Name",        name,
               "Enabled",      on,        "TargetCyclic",     on,          "Dir",         dir,
               "CamGroupList", groups,    "TimeFrameMessage", MondayFrame, "TmFrameName", "Night",
               "TmFrameJson",  Monday,    "MaxThroughput",    throughput,  "MaxRange",    range});
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
            const char* slot
                = meta.method(i).name().endsWith("Resp") ? "result(bool)" : "changed()";
            if (meta.method(i).methodType() == QMetaMethod::Signal)
                connect(plugin, meta.method(i), this,
                        metaObject()->method(metaObject()->indexOfSlot(slot)));
        }
    }
    QStringList names;

private Q_SLOTS:
    void changed() { names << emitted(); }
    void result(bool ok) { names << emitted() + (ok ? "(true)" : "(false)"); }

private:
    QString emitted() const { return sender()->metaObject()->method(senderSignalIndex()).name(); }
};

class tst_Settings : public QObject
{
    Q_OBJECT

    PluginScheduleBackup* p = nullptr;
    std::unique_ptr<FakeFramework> fw;
    int hostData = 0;
    QSet<void*> outstanding; // contexts the plug-in handed to a request that got no reply

    int last() const { return int(fw->sent.size()) - 1; }
    void load(const QVariant& tree)
    {
        QVERIFY(p->getBackupInfo(Page));
        fw->reply(p, last(), "0", tree);
    }
    QVariantMap snapshot() const
    {
        QVariantMap state = kv({"revision", p->revision(), "tmcardId", p->tmcardId(), "tmcardName",
                                p->tmcardName(), "schedule", p->schedule(), "camGroupMapList",
                                p->camGroupMapList()});
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
        const QVariant newer = reply(baseCard({"Revision", 6, "Dir", "/new"}));
        const char* failed = "getBackupInfoResp(false)";
        // A reply to an earlier request with another path is dropped before anything else.
        gate("other path, failure code", "old", "1", newer, "");
        gate("result code 00", Page, "00", newer, failed);
        gate("failure before staleness", Page, "1", reply(baseCard({"Revision", 4})), failed);
        gate("empty Tmcard element", Page, "0",
             XML2Json().parse("<GetBkpTmcardRes><Tmcard/></GetBkpTmcardRes>"), failed);
        gate("stale revision", Page, "0", reply(baseCard({"Dir", "/new", "Revision", 4})), "");
        gate("newer revision", Page, "0", reply(baseCard({"Revision", 6})),
             "getBackupInfoResp(true)", 6);

        const QVariantList all {AllGroup};
        const QStringList none;
        const QVariantMap everyField = kv(
            {"tmcardId",      qint64(9), "tmcardName",       "New",  "enabled",         true,
             "targetCyclic",  true,      "targetDir",        "/b",   "maxThroughputMB", 50,
             "maxRangeDay",   3,         "scheduleTemplate", Monday, "scheduleName",    "Night",
             "hasAllCameras", true,      "cameraList",       none,   "camGroupMapList", all});
        const auto row = [](const char* tag, const QVariantMap& card, QStringList names,
                            const QVariantMap& values) {
            QTest::newRow(tag) << Page << "0" << reply(card) << (names << "getBackupInfoResp(true)")
                               << values;
        };
        row("equal revision, every field, all cameras as plain text",
            tmcard("<Revision>5</Revision><TmcardID>9</TmcardID><Name>New</Name>"
                   "<Enabled>true</Enabled><TargetCyclic>1</TargetCyclic><Dir>/b</Dir>"
                   "<MaxThroughput>52428800</MaxThroughput><MaxRange>4320</MaxRange><Mapping><Ele>"
                   "<Frame><Name>Night</Name><Intervals><Ele B=\"120600\" E=\"147600\"/>"
                   "</Intervals></Frame></Ele></Mapping><CamList><Cam>__allcams__</Cam></CamList>"),
            {"enabledChanged", "targetCyclicChanged", "targetDirChanged", "maxThroughputMBChanged",
             "maxRangeDayChanged", "scheduleTemplateChanged", "scheduleNameChanged",
             "hasAllCamerasChanged", "cameraListChanged"},
            everyField);
        row("limits beyond an int saturate",
            baseCard({"MaxThroughput", (kIntMax + 1) * 1048576, "MaxRange",
                      QString::number(std::numeric_limits<qint64>::min())}),
            {"maxThroughputMBChanged", "maxRangeDayChanged"},
            {{"maxThroughputMB", int(kIntMax)}, {"maxRangeDay", std::numeric_limits<int>::min()}});
        const QStringList cams {"cameraListChanged"};
        row("A, all cameras, B",
            withCams("<Cam GrpID=\"g1\">A</Cam><Cam GrpID=\"g0\">__allcams__</Cam>"
                     "<Cam GrpID=\"g2\">B</Cam>"),
            cams,
            {{"hasAllCameras", false},
             {"cameraList", QStringList {"A", "B"}},
             {"camGroupMapList", QVariantList {group("A", "g1"), AllGroup}}});
        // A camera without a group arrives as plain text.
        row("A without group, B, A",
            withCams("<Cam>A</Cam><Cam GrpID=\"g2\">B</Cam><Cam GrpID=\"g3\">A</Cam>"), cams,
            {{"cameraList", QStringList {"A", "B"}},
             {"camGroupMapList",
              QVariantList {group("A", ""), group("B", "g2"), group("A", "g3")}}});
    }
    void load()
    {
        QFETCH(QString, relayPath);
        QFETCH(QString, resultCode);
        QFETCH(QVariant, result);
        QFETCH(QStringList, signalNames);
        QFETCH(QVariantMap, values);
        load(reply(baseCard()));
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

    // An update request and its reply. updateBackupInfo sends the page's values, updateSchedule
    // the loaded ones; neither changes the page, and nothing is sent for a document that cannot be
    // composed. A confirmed "UpdBkpTmcard" applies the sent values and derives the cameras like a
    // load; a confirmed "UpdSchedule" only raises the revision.
    void update_data()
    {
        QTest::addColumn<QString>("request"); // "info", "schedule" or nothing sent
        QTest::addColumn<QVariantList>("cams");
        QTest::addColumn<QString>("document");
        QTest::addColumn<int>("framework"); // 0: none, 1: refuses, 2: accepts
        QTest::addColumn<QString>("relayPath");
        QTest::addColumn<QVariantMap>("sent"); // empty: the call returns false
        QTest::addColumn<QString>("resultCode"); // null: no reply
        QTest::addColumn<QStringList>("signalNames");
        QTest::addColumn<QVariantMap>("values"); // what changes, the schedule aside

        const QVariantMap all = pageCam("__allcams__", "");
        const QVariantMap schedule
            = arguments("Card", false, "/old", {group("X", "gx"), group("Y", "gy")},
                        qint64(2147483648), qint64(2147484960));
        const QVariantMap info = arguments("Card", true, "/new", {}, 1048576, 1440);
        const auto row
            = [&](const char* tag, const char* request, const QString& document, int framework,
                  const QString& relayPath, const QVariantMap& sent, const QString& code = {},
                  const QStringList& signalNames = {}, const QVariantMap& values = {}) {
                  QTest::newRow(tag) << request << QVariantList() << document << framework
                                     << relayPath << sent << code << signalNames << values;
              };
        // The page reads an empty document back for a time-card without intervals.
        const QVariantList noFrame {"TimeFrameMessage", "", "TmFrameJson", ""};
        row("backup info: empty document", "info", "", 2, "other", kv(noFrame, info));
        row("schedule: empty document", "schedule", "", 2, "other", kv(noFrame, schedule));
        row("backup info: not JSON", "info", "Monday 9 to 5", 2, Page, {});
        row("schedule: not JSON", "schedule", "Monday 9 to 5", 2, Page, {});
        row("backup info: refused", "info", Monday, 1, Page, {});
        row("backup info: no framework", "info", Monday, 0, Page, {});
        const QStringList failed {"updBackupInfoResp(false)"};
        row("backup info, code 1", "info", Monday, 2, Page, info, "1", failed);
        row("backup info, other path", "info", Monday, 2, "other", info, "0");
        row("backup info, success without context", "", Monday, 2, Page, {}, "0", failed);
        row("schedule, success", "schedule", Monday, 2, Page, schedule, "0",
            {"updateScheduleResp(true)"}, kv({"revision", qint64(6)}));
        row("schedule, failure", "schedule", Monday, 2, Page, schedule, "1",
            {"updateScheduleResp(false)"});

        // Loaded: cameras X and Y, 2048 MB and 1491309 days.
        const auto applied = [&](const char* tag, const QVariantList& cams, int mb, int days,
                                 const QVariant& throughput, const QVariant& range, bool hasAll,
                                 const QStringList& cameras) {
            QVariantList groups;
            for (const QVariant& cam : cams)
                groups << group(cam.toMap()["Name"].toString(), cam.toMap()["GrpID"].toString());
            QStringList names {"enabledChanged",          "targetCyclicChanged",
                               "targetDirChanged",        "scheduleNameChanged",
                               "scheduleTemplateChanged", "maxThroughputMBChanged",
                               "maxRangeDayChanged",      "cameraListChanged"};
            if (hasAll)
                names << "hasAllCamerasChanged";
            QTest::newRow(tag) << "info" << cams << Monday << 2 << Page
                               << arguments("Card", true, "/new", groups, throughput, range) << "0"
                               << names + QStringList {"updBackupInfoResp(true)"}
                               << kv({"enabled",          true,     "targetCyclic",    true,
                                      "targetDir",        "/new",   "scheduleName",    "Night",
                                      "scheduleTemplate", Monday,   "maxThroughputMB", mb,
                                      "maxRangeDay",      days,     "cameraList",      cameras,
                                      "hasAllCameras",    hasAll,   "camGroupMapList", groups,
                                      "revision",         qint64(6)});
        };
        applied("A, B, A", {pageCam("A", "g1"), pageCam("B", 42), pageCam("A", "g3")}, 50, 3,
                52428800, 4320, false, {"A", "B"});
        applied("all cameras saved", {all}, 10, 5, 10485760, 7200, true, {});
        applied("A, all cameras, B, largest limits", {pageCam("A", "g1"), all, pageCam("B", "g2")},
                int(kIntMax), int(kIntMax), kIntMax * 1048576, kIntMax * 1440, false, {"A", "B"});
        applied("all cameras twice, negative limits", {all, all}, -2049, -1, qint64(-2148532224),
                -1440, false, {});
    }
    void update()
    {
        QFETCH(QString, request);
        QFETCH(QVariantList, cams);
        QFETCH(QString, document);
        QFETCH(int, framework);
        QFETCH(QString, relayPath);
        QFETCH(QVariantMap, sent);
        QFETCH(QString, resultCode);
        QFETCH(QStringList, signalNames);
        QFETCH(QVariantMap, values);
        load(reply(baseCard({"MaxThroughput", "2147483648", "MaxRange", "2147484960"})));
        const int requests = int(fw->sent.size());
        fw->accept = framework == 2;
        p->InitialPluginBase(nullptr, &hostData, framework ? fw.get() : nullptr);
        QVariantMap state = snapshot();
        SignalLog log(p);
        // A context that was not sent stays with the plug-in, which must release it.
        // The limits sent are the ones a confirmed update shows.
        const bool ok = request == "schedule" ? p->updateSchedule("Night", document, relayPath)
                                              : request == "info"
                && p->updateBackupInfo(true, true, "/new", cams, "Night", document,
                                       values.value("maxThroughputMB", 1).toInt(),
                                       values.value("maxRangeDay", 1).toInt(), relayPath);
        QCOMPARE(ok, !sent.isEmpty());
        QCOMPARE(fw->sent.size() - requests, ok || framework == 1 ? 1 : 0);
        if (ok) {
            const FakeFramework::SentCommand& command = fw->sent.last();
            outstanding.insert(command.context);
            QCOMPARE(command.command, request == "schedule" ? "UpdSchedule" : "UpdBkpTmcard");
            QCOMPARE(command.flag, 0);
            QCOMPARE(command.relayPath, relayPath);
            COMPARE_MAPS(command.arguments.toMap(), sent);
            // The context of "UpdBkpTmcard" is a map of its own holding the same entries.
            QCOMPARE(command.context == nullptr, request == "schedule");
            if (command.context)
                COMPARE_MAPS(*static_cast<const QVariantMap*>(command.context), sent);
        }
        QVERIFY(log.names.isEmpty());
        COMPARE_MAPS(snapshot(), state);
        if (resultCode.isNull())
            return;
        if (ok) {
            outstanding.remove(fw->sent.last().context); // the plug-in gets it back and releases it
            fw->reply(p, last(), resultCode);
        } else
            p->CommandProcessor("UpdBkpTmcard", QVariant(), nullptr, resultCode, QString(), false,
                                relayPath);
        QCOMPARE(log.names, signalNames);
        state.insert(values);
        if (values.contains("cameraList")) {
            state.insert("schedule", p->schedule());
            // The stored schedule is the sent time frame in the tree form of a loaded Mapping.
            QCOMPARE(p->ConvertScheduleContent(p->schedule()), Monday);
        }
        COMPARE_MAPS(snapshot(), state);
        // The next request carries the current settings and revision.
        QVERIFY(p->updateSchedule("Night", Monday, Page));
        QCOMPARE(fw->argumentsOf(last()).value("Revision"), state.value("revision"));
        QCOMPARE(fw->argumentsOf(last()).value("CamGroupList"), state.value("camGroupMapList"));
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
