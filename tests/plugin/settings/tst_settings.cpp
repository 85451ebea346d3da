// Loading and storing the backup settings, driven as a host does: replies are variant trees, some
// parsed from the XML the server sends. Every update context handed out is released exactly once;
// the memcheck run of this executable reports a leak or a double free as an error.

#include "FakeFramework.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"
#include "SignalLog.h"
#include "XML2Json.h"

#include <QSet>
#include <QXmlStreamReader>
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

// The two update requests: updateBackupInfo sends the page's values, updateSchedule the loaded
// ones with a new schedule.
enum class Request { BackupInfo, Schedule };

QVariantMap contextOf(const FakeFramework::SentCommand& command)
{
    return command.context ? *static_cast<const QVariantMap*>(command.context) : QVariantMap();
}

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

    PluginScheduleBackup* p = nullptr;
    std::unique_ptr<FakeFramework> fw;
    int hostData = 0;
    QSet<void*> outstanding; // contexts the plug-in handed to a request that got no reply
    FakeServerInfo serverInfo;

    int last() const { return int(fw->sent.size()) - 1; }
    void load(const QVariant& tree)
    {
        QVERIFY(p->getBackupInfo(Page));
        fw->reply(p, last(), "0", tree);
    }
    // Limits beyond an int, so that updateSchedule sends them as 64-bit values.
    void loadForUpdate()
    {
        load(reply(baseCard({"MaxThroughput", "2147483648", "MaxRange", "2147484960"})));
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
    // The page saving "Night" with enabled and cyclic backup to "/new"; updateSchedule ignores
    // all but the name and the document.
    bool send(Request request, const QString& document, const QString& relayPath = Page,
              const QVariantList& cams = {}, int mb = 1, int days = 1)
    {
        bool ok = false;
        switch (request) {
        case Request::BackupInfo:
            ok = p->updateBackupInfo(true, true, "/new", cams, "Night", document, mb, days,
                                     relayPath);
            break;
        case Request::Schedule:
            ok = p->updateSchedule("Night", document, relayPath);
            break;
        }
        if (ok)
            outstanding.insert(fw->sent.last().context);
        return ok;
    }
    // The reply to the last command hands its context back to the plug-in, which releases it.
    void replyToLast(const QString& resultCode)
    {
        outstanding.remove(fw->sent.last().context);
        fw->reply(p, last(), resultCode);
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

    // A time-card reply that is dropped or reports failure leaves the loaded baseCard() as it was.
    void replyNotLoaded_data()
    {
        QTest::addColumn<QString>("answeredPath"); // the path of the request that is answered
        QTest::addColumn<QString>("resultCode");
        QTest::addColumn<QVariant>("result");
        QTest::addColumn<QStringList>("fired");

        const QVariant newer = reply(baseCard({"Revision", 6, "Dir", "/new"}));
        const QStringList failed {"getBackupInfoResp(false)"};
        // A reply to an earlier request with another path is dropped before anything else.
        QTest::newRow("reply to an earlier path dropped despite its failure code")
            << "old"
            << "1" << newer << QStringList();
        QTest::newRow("result code 00 is a failure") << Page << "00" << newer << failed;
        QTest::newRow("failure reported before staleness")
            << Page << "1" << reply(baseCard({"Revision", 4})) << failed;
        QTest::newRow("empty Tmcard element is a failure")
            << Page << "0" << XML2Json().parse("<GetBkpTmcardRes><Tmcard/></GetBkpTmcardRes>")
            << failed;
        QTest::newRow("stale revision dropped")
            << Page << "0" << reply(baseCard({"Dir", "/new", "Revision", 4})) << QStringList();
    }
    void replyNotLoaded()
    {
        QFETCH(QString, answeredPath);
        QFETCH(QString, resultCode);
        QFETCH(QVariant, result);
        QFETCH(QStringList, fired);
        load(reply(baseCard()));
        const QVariantMap expected = snapshot();
        // The answered request comes first; the page's request after it is the current one.
        QVERIFY(p->getBackupInfo(answeredPath));
        const int answered = last();
        QVERIFY(p->getBackupInfo(Page));
        SignalLog log(p);
        fw->reply(p, answered, resultCode, result);
        QCOMPARE(log.fired(), fired);
        COMPARE_MAPS(snapshot(), expected);
    }

    // An accepted time-card replaces the loaded baseCard(): values not listed keep what they
    // were, and its Mapping is kept as delivered for the next backup time.
    void replyLoaded_data()
    {
        QTest::addColumn<QVariantMap>("card");
        QTest::addColumn<QStringList>("fired");
        QTest::addColumn<QVariantMap>("values");

        const auto row = [](const char* tag, const QVariantMap& card, QStringList fired,
                            const QVariantMap& values) {
            QTest::newRow(tag) << card << (fired << "getBackupInfoResp(true)") << values;
        };
        row("newer revision", baseCard({"Revision", 6}), {}, kv({"revision", qint64(6)}));
        const QVariantList all {AllGroup};
        const QStringList none;
        row("equal revision, every field, all cameras as plain text",
            tmcard("<Revision>5</Revision><TmcardID>9</TmcardID><Name>New</Name>"
                   "<Enabled>true</Enabled><TargetCyclic>1</TargetCyclic><Dir>/b</Dir>"
                   "<MaxThroughput>52428800</MaxThroughput><MaxRange>4320</MaxRange><Mapping><Ele>"
                   "<Frame><Name>Night</Name><Intervals><Ele B=\"120600\" E=\"147600\"/>"
                   "</Intervals></Frame></Ele></Mapping><CamList><Cam>__allcams__</Cam></CamList>"),
            {"enabledChanged(true)", "targetCyclicChanged(true)", R"(targetDirChanged("/b"))",
             "maxThroughputMBChanged(50)", "maxRangeDayChanged(3)",
             "scheduleTemplateChanged(\"" + Monday + "\")", R"(scheduleNameChanged("Night"))",
             "hasAllCamerasChanged()", "cameraListChanged([])"},
            kv({"tmcardId",      qint64(9), "tmcardName",       "New",  "enabled",         true,
                "targetCyclic",  true,      "targetDir",        "/b",   "maxThroughputMB", 50,
                "maxRangeDay",   3,         "scheduleTemplate", Monday, "scheduleName",    "Night",
                "hasAllCameras", true,      "cameraList",       none,   "camGroupMapList", all}));
        row("limits beyond an int saturate",
            baseCard({"MaxThroughput", (kIntMax + 1) * 1048576, "MaxRange",
                      QString::number(std::numeric_limits<qint64>::min())}),
            {"maxThroughputMBChanged(2147483647)", "maxRangeDayChanged(-2147483648)"},
            {{"maxThroughputMB", int(kIntMax)}, {"maxRangeDay", std::numeric_limits<int>::min()}});
        row("A, all cameras, B",
            withCams("<Cam GrpID=\"g1\">A</Cam><Cam GrpID=\"g0\">__allcams__</Cam>"
                     "<Cam GrpID=\"g2\">B</Cam>"),
            {"cameraListChanged([A,B])"},
            {{"hasAllCameras", false},
             {"cameraList", QStringList {"A", "B"}},
             {"camGroupMapList", QVariantList {group("A", "g1"), AllGroup}}});
        // A reload is compared with the cameras shown as it is read: the same cameras change
        // nothing, whatever repeats; any other list replaces them.
        row("the loaded cameras, repeated",
            withCams("<Cam GrpID=\"gx\">X</Cam><Cam GrpID=\"gy\">Y</Cam>"
                     "<Cam GrpID=\"gx\">X</Cam><Cam GrpID=\"gy\">Y</Cam>"),
            {},
            {{"camGroupMapList",
              QVariantList {group("X", "gx"), group("Y", "gy"), group("X", "gx"),
                            group("Y", "gy")}}});
        row("the loaded cameras and one more",
            withCams("<Cam GrpID=\"gx\">X</Cam><Cam GrpID=\"gy\">Y</Cam><Cam GrpID=\"gz\">Z</Cam>"),
            {"cameraListChanged([X,Y,Z])"},
            {{"cameraList", QStringList {"X", "Y", "Z"}},
             {"camGroupMapList",
              QVariantList {group("X", "gx"), group("Y", "gy"), group("Z", "gz")}}});
        row("the first loaded camera only", withCams("<Cam GrpID=\"gx\">X</Cam>"),
            {"cameraListChanged([X])"},
            {{"cameraList", QStringList {"X"}},
             {"camGroupMapList", QVariantList {group("X", "gx")}}});
        row("the loaded cameras in the other order",
            withCams("<Cam GrpID=\"gy\">Y</Cam><Cam GrpID=\"gx\">X</Cam>"),
            {"cameraListChanged([Y,X])"},
            {{"cameraList", QStringList {"Y", "X"}},
             {"camGroupMapList", QVariantList {group("Y", "gy"), group("X", "gx")}}});
        // A camera without a group arrives as plain text.
        row("A without group, B, A",
            withCams("<Cam>A</Cam><Cam GrpID=\"g2\">B</Cam><Cam GrpID=\"g3\">A</Cam>"),
            {"cameraListChanged([A,B])"},
            {{"cameraList", QStringList {"A", "B"}},
             {"camGroupMapList",
              QVariantList {group("A", ""), group("B", "g2"), group("A", "g3")}}});
    }
    void replyLoaded()
    {
        QFETCH(QVariantMap, card);
        QFETCH(QStringList, fired);
        QFETCH(QVariantMap, values);
        load(reply(baseCard()));
        QVariantMap expected = snapshot();
        expected.insert(values);
        expected.insert("schedule", card.value("Mapping"));
        QVERIFY(p->getBackupInfo(Page));
        SignalLog log(p);
        fw->reply(p, last(), "0", reply(card));
        QCOMPARE(log.fired(), fired);
        COMPARE_MAPS(snapshot(), expected);
    }

    // What each update sends, with a context holding the same entries for "UpdBkpTmcard" and
    // none for "UpdSchedule". Sending changes nothing on the page.
    void updateSends_data()
    {
        QTest::addColumn<Request>("request");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("commandName");
        QTest::addColumn<QVariantMap>("sent");
        QTest::addColumn<QVariantMap>("context"); // empty: none

        const QVariantMap info = arguments("Card", true, "/new", {}, 1048576, 1440);
        const QVariantMap schedule
            = arguments("Card", false, "/old", {group("X", "gx"), group("Y", "gy")},
                        qint64(2147483648), qint64(2147484960));
        // The page reads an empty document back for a time-card without intervals.
        const QVariantList noFrame {"TimeFrameMessage", "", "TmFrameJson", ""};
        QTest::newRow("backup info sends the page's values")
            << Request::BackupInfo << Monday << "UpdBkpTmcard" << info << info;
        QTest::newRow("schedule sends the loaded values")
            << Request::Schedule << Monday << "UpdSchedule" << schedule << QVariantMap();
        QTest::newRow("backup info with an empty document sends no time frame")
            << Request::BackupInfo << ""
            << "UpdBkpTmcard" << kv(noFrame, info) << kv(noFrame, info);
        QTest::newRow("schedule with an empty document sends no time frame")
            << Request::Schedule << ""
            << "UpdSchedule" << kv(noFrame, schedule) << QVariantMap();
    }
    void updateSends()
    {
        QFETCH(Request, request);
        QFETCH(QString, document);
        QFETCH(QString, commandName);
        QFETCH(QVariantMap, sent);
        QFETCH(QVariantMap, context);
        loadForUpdate();
        const qsizetype requests = fw->sent.size();
        const QVariantMap state = snapshot();
        SignalLog log(p);
        QVERIFY(send(request, document, "other"));
        QCOMPARE(fw->sent.size(), requests + 1);
        const FakeFramework::SentCommand& command = fw->sent.last();
        QCOMPARE(command.command, commandName);
        QCOMPARE(command.flag, 0);
        QCOMPARE(command.relayPath, "other");
        COMPARE_MAPS(command.arguments.toMap(), sent);
        QCOMPARE(command.context == nullptr, context.isEmpty());
        COMPARE_MAPS(contextOf(command), context);
        QCOMPARE(log.fired(), QStringList());
        COMPARE_MAPS(snapshot(), state);
    }

    // A document that cannot be composed is not sent at all: an empty time frame would wipe the
    // server's schedule.
    void updateRefusesDocument_data()
    {
        QTest::addColumn<Request>("request");
        QTest::addColumn<QString>("document");
        // Some 10 KB that would compose to gigabytes of intervals.
        const QString huge = "{\"Rectangles\":["
            + QStringList(200, R"({"Top":0,"Bottom":1,"Left":-24855,"Right":24855})").join(',')
            + "]}";
        QTest::newRow("backup info, not JSON") << Request::BackupInfo << "Monday 9 to 5";
        QTest::newRow("schedule, not JSON") << Request::Schedule << "Monday 9 to 5";
        QTest::newRow("backup info, intervals beyond 1 MiB") << Request::BackupInfo << huge;
        QTest::newRow("schedule, intervals beyond 1 MiB") << Request::Schedule << huge;
    }
    void updateRefusesDocument()
    {
        QFETCH(Request, request);
        QFETCH(QString, document);
        loadForUpdate();
        const qsizetype requests = fw->sent.size();
        const QVariantMap state = snapshot();
        SignalLog log(p);
        QVERIFY(!send(request, document));
        QCOMPARE(fw->sent.size(), requests);
        QCOMPARE(log.fired(), QStringList());
        COMPARE_MAPS(snapshot(), state);
    }

    // An update the framework does not take returns false and changes nothing; a refusing
    // framework has still been asked once.
    void updateNotTaken_data()
    {
        QTest::addColumn<Request>("request");
        QTest::addColumn<bool>("frameworkPresent");
        QTest::newRow("backup info, framework refuses") << Request::BackupInfo << true;
        QTest::newRow("backup info, no framework") << Request::BackupInfo << false;
        QTest::newRow("schedule, framework refuses") << Request::Schedule << true;
        QTest::newRow("schedule, no framework") << Request::Schedule << false;
    }
    void updateNotTaken()
    {
        QFETCH(Request, request);
        QFETCH(bool, frameworkPresent);
        loadForUpdate();
        const qsizetype requests = fw->sent.size();
        fw->accept = false;
        p->InitialPluginBase(nullptr, &hostData, frameworkPresent ? fw.get() : nullptr);
        const QVariantMap state = snapshot();
        SignalLog log(p);
        QVERIFY(!send(request, Monday));
        QCOMPARE(fw->sent.size() - requests, qsizetype(frameworkPresent));
        QCOMPARE(log.fired(), QStringList());
        COMPARE_MAPS(snapshot(), state);
    }

    // A confirmed "UpdBkpTmcard" applies the sent values, derives the cameras like a load and
    // stores the sent time frame as the schedule. Loaded: cameras X and Y, 2048 MB and 1491309
    // days.
    void backupInfoConfirmed_data()
    {
        QTest::addColumn<QVariantList>("cams"); // as the page lists them
        QTest::addColumn<int>("mb");
        QTest::addColumn<int>("days");
        QTest::addColumn<QVariantMap>("sent");
        QTest::addColumn<QStringList>("fired");
        QTest::addColumn<QVariantMap>("values"); // the schedule aside

        const QVariantMap all = pageCam("__allcams__", "");
        const auto row = [&](const char* tag, const QVariantList& cams, int mb, int days,
                             const QVariant& throughput, const QVariant& range, bool hasAll,
                             const QStringList& cameras) {
            QVariantList groups;
            for (const QVariant& cam : cams)
                groups << group(cam.toMap()["Name"].toString(), cam.toMap()["GrpID"].toString());
            QStringList fired {"enabledChanged(true)",
                               "targetCyclicChanged(true)",
                               R"(targetDirChanged("/new"))",
                               R"(scheduleNameChanged("Night"))",
                               "scheduleTemplateChanged(\"" + Monday + "\")",
                               QStringLiteral("maxThroughputMBChanged(%1)").arg(mb),
                               QStringLiteral("maxRangeDayChanged(%1)").arg(days),
                               "cameraListChanged([" + cameras.join(',') + "])"};
            if (hasAll)
                fired << "hasAllCamerasChanged()";
            QTest::newRow(tag) << cams << mb << days
                               << arguments("Card", true, "/new", groups, throughput, range)
                               << fired + QStringList {"updBackupInfoResp(true)"}
                               << kv({"enabled",          true,     "targetCyclic",    true,
                                      "targetDir",        "/new",   "scheduleName",    "Night",
                                      "scheduleTemplate", Monday,   "maxThroughputMB", mb,
                                      "maxRangeDay",      days,     "cameraList",      cameras,
                                      "hasAllCameras",    hasAll,   "camGroupMapList", groups,
                                      "revision",         qint64(6)});
        };
        row("A, B, A", {pageCam("A", "g1"), pageCam("B", 42), pageCam("A", "g3")}, 50, 3, 52428800,
            4320, false, {"A", "B"});
        row("all cameras saved", {all}, 10, 5, 10485760, 7200, true, {});
        row("A, all cameras, B, largest limits", {pageCam("A", "g1"), all, pageCam("B", "g2")},
            int(kIntMax), int(kIntMax), kIntMax * 1048576, kIntMax * 1440, false, {"A", "B"});
        row("all cameras twice, negative limits", {all, all}, -2049, -1, qint64(-2148532224), -1440,
            false, {});
    }
    void backupInfoConfirmed()
    {
        QFETCH(QVariantList, cams);
        QFETCH(int, mb);
        QFETCH(int, days);
        QFETCH(QVariantMap, sent);
        QFETCH(QStringList, fired);
        QFETCH(QVariantMap, values);
        loadForUpdate();
        QVariantMap state = snapshot();
        QVERIFY(send(Request::BackupInfo, Monday, Page, cams, mb, days));
        COMPARE_MAPS(fw->argumentsOf(last()), sent);
        SignalLog log(p);
        replyToLast("0");
        QCOMPARE(log.fired(), fired);
        state.insert(values);
        state.insert("schedule", p->schedule());
        COMPARE_MAPS(snapshot(), state);
        // The stored schedule is the sent time frame in the tree form of a loaded Mapping.
        QCOMPARE(p->ConvertScheduleContent(p->schedule()), Monday);
        // The next request carries the confirmed cameras and revision.
        QVERIFY(send(Request::Schedule, Monday));
        QCOMPARE(fw->argumentsOf(last()).value("Revision"), state.value("revision"));
        QCOMPARE(fw->argumentsOf(last()).value("CamGroupList"), state.value("camGroupMapList"));
    }

    // Characters XML 1.0 cannot carry are left out of the time frame: what is sent parses, and
    // so does the stored schedule once the save is confirmed. The page keeps the name it gave.
    void nameOutsideXml_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored");
        QTest::newRow("control character") << QString("Night") + QChar(0x1B) + "ly"
                                           << "Nightly";
        QTest::newRow("U+FFFF") << QString("Night") + QChar(0xFFFF) << "Night";
        QTest::newRow("unpaired surrogate") << QString(QChar(0xDC00)) + "Night"
                                            << "Night";
    }
    void nameOutsideXml()
    {
        QFETCH(QString, name);
        QFETCH(QString, stored);
        loadForUpdate();
        QVERIFY(p->updateBackupInfo(true, true, "/new", {}, name, Monday, 1, 1, Page));
        outstanding.insert(fw->sent.last().context);
        QXmlStreamReader reader(fw->argumentsOf(last()).value("TimeFrameMessage").toString());
        while (!reader.atEnd())
            reader.readNext();
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        replyToLast("0");
        QCOMPARE(p->scheduleName(), name);
        QCOMPARE(p->schedule().toMap()["Ele"].toMap()["Frame"].toMap()["Name"].toString(), stored);
        // Monday 09:30, seen from the Sunday before.
        const QDate sunday(2026, 1, 4);
        QCOMPARE(p->getNextBackupTime(QDateTime(sunday, QTime(8, 0))),
                 qulonglong(sunday.startOfDay().toMSecsSinceEpoch() + 120600000));
    }

    void backupInfoNotConfirmed_data()
    {
        QTest::addColumn<QString>("relayPath"); // of the request; the page's path is current
        QTest::addColumn<QString>("resultCode");
        QTest::addColumn<QStringList>("fired");
        QTest::newRow("failure code reported")
            << Page << "1" << QStringList {"updBackupInfoResp(false)"};
        QTest::newRow("reply to another path dropped") << "other"
                                                       << "0" << QStringList();
    }
    void backupInfoNotConfirmed()
    {
        QFETCH(QString, relayPath);
        QFETCH(QString, resultCode);
        QFETCH(QStringList, fired);
        loadForUpdate();
        const QVariantMap state = snapshot();
        QVERIFY(send(Request::BackupInfo, Monday, relayPath));
        SignalLog log(p);
        replyToLast(resultCode);
        QCOMPARE(log.fired(), fired);
        COMPARE_MAPS(snapshot(), state);
        QVERIFY(send(Request::Schedule, Monday));
        QCOMPARE(fw->argumentsOf(last()).value("Revision"), state.value("revision"));
    }

    void backupInfoSuccessWithoutContextFails()
    {
        loadForUpdate();
        const QVariantMap state = snapshot();
        SignalLog log(p);
        p->CommandProcessor("UpdBkpTmcard", QVariant(), nullptr, "0", QString(), false, Page);
        QCOMPARE(log.fired(), QStringList {"updBackupInfoResp(false)"});
        COMPARE_MAPS(snapshot(), state);
    }

    // A confirmed "UpdSchedule" only raises the revision.
    void scheduleReply_data()
    {
        QTest::addColumn<QString>("resultCode");
        QTest::addColumn<QStringList>("fired");
        QTest::addColumn<qint64>("revision");
        QTest::newRow("success raises the revision")
            << "0" << QStringList {"updateScheduleResp(true)"} << qint64(6);
        QTest::newRow("failure changes nothing")
            << "1" << QStringList {"updateScheduleResp(false)"} << qint64(5);
    }
    void scheduleReply()
    {
        QFETCH(QString, resultCode);
        QFETCH(QStringList, fired);
        QFETCH(qint64, revision);
        loadForUpdate();
        QVariantMap state = snapshot();
        QVERIFY(send(Request::Schedule, Monday));
        SignalLog log(p);
        replyToLast(resultCode);
        QCOMPARE(log.fired(), fired);
        state.insert("revision", revision);
        COMPARE_MAPS(snapshot(), state);
        QVERIFY(send(Request::Schedule, Monday));
        QCOMPARE(fw->argumentsOf(last()).value("Revision"), QVariant(revision));
    }

    // Replies can overtake each other. A confirmation that arrives after a load which already
    // showed its result leaves the loaded state, and the revision stays the server's, so the next
    // load is still taken.
    void confirmationOvertakenByLoad_data()
    {
        QTest::addColumn<Request>("request");
        QTest::addColumn<QString>("fired");
        QTest::newRow("whole update") << Request::BackupInfo << "updBackupInfoResp(true)";
        QTest::newRow("schedule update") << Request::Schedule << "updateScheduleResp(true)";
    }
    void confirmationOvertakenByLoad()
    {
        QFETCH(Request, request);
        QFETCH(QString, fired);
        loadForUpdate();
        QVERIFY(send(request, Monday));
        const int update = last();
        load(reply(baseCard({"Revision", "6", "Dir", "/shown"})));
        QCOMPARE(p->revision(), 6);

        SignalLog log(p);
        outstanding.remove(fw->sent.at(update).context);
        fw->reply(p, update, "0");
        QCOMPARE(log.fired(), QStringList {fired});
        QCOMPARE(p->revision(), 6);
        QCOMPARE(p->targetDir(), "/shown");

        load(reply(baseCard({"Revision", "6", "Dir", "/reloaded"})));
        QCOMPARE(p->targetDir(), "/reloaded");
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
