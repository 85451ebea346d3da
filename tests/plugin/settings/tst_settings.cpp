// Loading and storing the backup settings, driven as a host does: replies are variant trees, some
// parsed from the XML the server sends. Every update context handed out is released exactly once;
// the memcheck run of this executable reports a leak or a double free as an error, so every test
// answers the updates it sends.

#include "FakeFramework.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"
#include "SignalLog.h"
#include "XML2Json.h"

#include <QtTest>

namespace {

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
// Revision 5 of time-card 77: cameras X and Y, 10 MB, 5 days and a Wednesday 10:00-11:00 frame,
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

// updateBackupInfo sends the page's values, updateSchedule the loaded ones with a new schedule.
enum class Request { BackupInfo, Schedule };

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

    PluginScheduleBackup* p = nullptr;
    std::unique_ptr<FakeFramework> fw;

    int last() const { return int(fw->sent.size()) - 1; }
    void load(const QVariantMap& card)
    {
        QVERIFY(p->getBackupInfo(Page));
        fw->reply(p, last(), "0", reply(card));
    }
    // The page saving "Night" with enabled and cyclic backup to "/new", with limits whose bytes and
    // minutes exceed 32 bits; updateSchedule takes only the name and the document.
    bool send(Request request, const QString& document, const QString& relayPath = Page,
              const QVariantList& cams = {})
    {
        return request == Request::BackupInfo ? p->updateBackupInfo(
                   true, true, "/new", cams, "Night", document, 4096, 1500000, relayPath)
                                              : p->updateSchedule("Night", document, relayPath);
    }

private Q_SLOTS:
    void init()
    {
        PluginLoading::resetInstance();
        p = qobject_cast<PluginScheduleBackup*>(PluginLoading::instance());
        QVERIFY(p);
        fw = std::make_unique<FakeFramework>();
        p->InitialPluginBase(nullptr, nullptr, fw.get());
        load(baseCard());
    }

    // A time-card reply is taken only when it answers the current request, succeeds and is not
    // older than what is shown. Taking it signals each changed property once, in a fixed order,
    // and keeps its schedule for the next backup time.
    void timeCardReply_data()
    {
        QTest::addColumn<QString>("answeredPath"); // of the answered request; the page's is current
        QTest::addColumn<QString>("resultCode");
        QTest::addColumn<QVariantMap>("card");
        QTest::addColumn<QStringList>("fired");
        QTest::addColumn<QVariantMap>("shown"); // the time-card shown afterwards

        const auto row = [](const char* tag, const QString& path, const QString& code,
                            const QVariantMap& card, const QStringList& fired, bool taken) {
            QTest::newRow(tag) << path << code << card << fired << (taken ? card : baseCard());
        };
        const QVariantMap newer = baseCard({"Revision", 6, "Dir", "/new"});
        const QStringList failed {"getBackupInfoResp(false)"};
        row("a reply to an earlier request with another path is dropped", "old", "0", newer, {},
            false);
        row("result code 00 is a failure", Page, "00", newer, failed, false);
        row("an empty Tmcard element is a failure", Page, "0", {}, failed, false);
        row("an older revision is dropped", Page, "0", baseCard({"Dir", "/new", "Revision", 4}), {},
            false);
        row("a newer revision of the same values signals no change", Page, "0",
            baseCard({"Revision", 6}), {"getBackupInfoResp(true)"}, true);
        row("the same revision with every property changed, all cameras as plain text", Page, "0",
            tmcard("<Revision>5</Revision><Enabled>true</Enabled><TargetCyclic>1</TargetCyclic>"
                   "<Dir>/b</Dir><MaxThroughput>52428800</MaxThroughput><MaxRange>4320</MaxRange>"
                   "<Mapping><Ele><Frame><Name>Night</Name><Intervals><Ele B=\"120600\" "
                   "E=\"147600\"/></Intervals></Frame></Ele></Mapping>"
                   "<CamList><Cam>__allcams__</Cam></CamList>"),
            {"enabledChanged(true)", "targetCyclicChanged(true)", R"(targetDirChanged("/b"))",
             "maxThroughputMBChanged(50)", "maxRangeDayChanged(3)",
             "scheduleTemplateChanged(\"" + Monday + "\")", R"(scheduleNameChanged("Night"))",
             "hasAllCamerasChanged()", "cameraListChanged([])", "getBackupInfoResp(true)"},
            true);
    }
    void timeCardReply()
    {
        QFETCH(QString, answeredPath);
        QFETCH(QString, resultCode);
        QFETCH(QVariantMap, card);
        QFETCH(QStringList, fired);
        QFETCH(QVariantMap, shown);
        // The answered request comes first; the page's request after it is the current one.
        QVERIFY(p->getBackupInfo(answeredPath));
        const int answered = last();
        QVERIFY(p->getBackupInfo(Page));
        SignalLog log(p);
        fw->reply(p, answered, resultCode, reply(card));
        QCOMPARE(log.fired(), fired);
        QCOMPARE(p->revision(), shown.value("Revision").toLongLong());
        QCOMPARE(p->schedule(), shown.value("Mapping"));
    }

    // A reload is compared with the cameras shown (X, Y) as it is read: the same cameras change
    // nothing, whatever repeats; any other list replaces them, each camera once.
    void reloadedCameraList_data()
    {
        QTest::addColumn<QString>("cams");
        QTest::addColumn<QStringList>("shown"); // empty: cameraListChanged must not fire

        QTest::newRow("the loaded cameras, repeated")
            << R"(<Cam GrpID="gx">X</Cam><Cam GrpID="gy">Y</Cam><Cam GrpID="gx">X</Cam><Cam>Y</Cam>)"
            << QStringList();
        QTest::newRow("the loaded cameras and one more")
            << R"(<Cam GrpID="gx">X</Cam><Cam GrpID="gy">Y</Cam><Cam GrpID="gz">Z</Cam>)"
            << QStringList {"X", "Y", "Z"};
        QTest::newRow("the first loaded camera only")
            << R"(<Cam GrpID="gx">X</Cam>)" << QStringList {"X"};
        QTest::newRow("the loaded cameras in the other order")
            << R"(<Cam GrpID="gy">Y</Cam><Cam GrpID="gx">X</Cam>)" << QStringList {"Y", "X"};
        QTest::newRow("a camera without a group, repeated with one")
            << R"(<Cam>A</Cam><Cam GrpID="g2">X</Cam><Cam GrpID="g3">A</Cam>)"
            << QStringList {"A", "X"};
    }
    void reloadedCameraList()
    {
        QFETCH(QString, cams);
        QFETCH(QStringList, shown);
        const QVariant camList
            = XML2Json().parse("<CamList>" + cams + "</CamList>").toMap().value("CamList");
        SignalLog log(p);
        load(baseCard({"Revision", 6, "CamList", camList}));
        const QStringList expected = shown.isEmpty() ? QStringList {"X", "Y"} : shown;
        QCOMPARE(p->cameraList(), expected);
        QCOMPARE(log.fired().filter("cameraListChanged").size(), shown.isEmpty() ? 0 : 1);
    }

    // An update goes to the framework unless its document cannot be composed: an empty time frame
    // would wipe the server's schedule. Refused or without a framework, it returns false, signals
    // nothing and releases its context.
    void updateNotTaken_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<bool>("frameworkPresent");
        QTest::addColumn<int>("offered"); // commands the framework saw and refused
        QTest::newRow("a document that is no JSON is not offered") << "Monday 9 to 5" << true << 0;
        QTest::newRow("an empty document is offered") << QString() << true << 1;
        QTest::newRow("an update the framework refuses") << Monday << true << 1;
        QTest::newRow("an update without a framework") << Monday << false << 0;
    }
    void updateNotTaken()
    {
        QFETCH(QString, document);
        QFETCH(bool, frameworkPresent);
        QFETCH(int, offered);
        const qsizetype before = fw->sent.size();
        fw->accept = false;
        p->InitialPluginBase(nullptr, nullptr, frameworkPresent ? fw.get() : nullptr);
        SignalLog log(p);
        QVERIFY(!send(Request::BackupInfo, document));
        QCOMPARE(fw->sent.size() - before, offered);
        QCOMPARE(log.fired(), QStringList());
    }

    // A confirmed "UpdBkpTmcard" applies the sent values, lists each camera once and without the
    // all-cameras tag, and stores the sent time frame as the schedule; the next update builds on
    // the confirmed revision and cameras.
    void backupInfoConfirmed()
    {
        const QVariantList cams {pageCam("A", "g1"), pageCam("B", "g2"), pageCam("A", "g3"),
                                 pageCam("__allcams__", "")};
        QVERIFY(send(Request::BackupInfo, Monday, Page, cams));
        SignalLog log(p);
        fw->reply(p, last(), "0");
        QCOMPARE(log.fired(),
                 QStringList({"enabledChanged(true)", "targetCyclicChanged(true)",
                              R"(targetDirChanged("/new"))", R"(scheduleNameChanged("Night"))",
                              "scheduleTemplateChanged(\"" + Monday + "\")",
                              "maxThroughputMBChanged(4096)", "maxRangeDayChanged(1500000)",
                              "cameraListChanged([A,B])", "updBackupInfoResp(true)"}));
        QCOMPARE(p->ConvertScheduleContent(p->schedule()), Monday);
        QVERIFY(send(Request::Schedule, Monday));
        const QVariantList groups {group("A", "g1"), group("B", "g2"), group("A", "g3"),
                                   group("__allcams__", "")};
        QVariantMap sent = kv({"Revision", qint64(6), "TmcardID", qint64(77), "Name", "Card"});
        sent = kv({"Enabled", true, "TargetCyclic", true, "Dir", "/new", "CamGroupList", groups},
                  sent);
        sent = kv({"TimeFrameMessage", MondayFrame, "TmFrameName", "Night", "TmFrameJson", Monday},
                  sent);
        sent = kv({"MaxThroughput", 4096LL << 20, "MaxRange", 1500000LL * 1440}, sent);
        QCOMPARE(fw->argumentsOf(last()), sent);
    }

    // A confirmed schedule update only raises the revision; a failed or foreign update reply
    // keeps it, and a whole update's failure applies none of its values.
    void updateReply_data()
    {
        QTest::addColumn<Request>("request");
        QTest::addColumn<QString>("relayPath"); // of the request; the page's path is current
        QTest::addColumn<QString>("resultCode");
        QTest::addColumn<QStringList>("fired");
        QTest::addColumn<qint64>("revision");

        QTest::newRow("a confirmed schedule update raises the revision")
            << Request::Schedule << Page << "0" << QStringList {"updateScheduleResp(true)"} << 6LL;
        QTest::newRow("a schedule reply to another path is dropped") << Request::Schedule << "other"
                                                                     << "0" << QStringList() << 5LL;
        QTest::newRow("a failed backup info update is reported")
            << Request::BackupInfo << Page << "1" << QStringList {"updBackupInfoResp(false)"}
            << 5LL;
        QTest::newRow("a backup info reply to another path is dropped")
            << Request::BackupInfo << "other"
            << "0" << QStringList() << 5LL;
    }
    void updateReply()
    {
        QFETCH(Request, request);
        QFETCH(QString, relayPath);
        QFETCH(QString, resultCode);
        QFETCH(QStringList, fired);
        QFETCH(qint64, revision);
        QVERIFY(send(request, Monday, relayPath));
        SignalLog log(p);
        fw->reply(p, last(), resultCode);
        QCOMPARE(log.fired(), fired);
        QCOMPARE(p->revision(), revision);
    }

    void backupInfoSuccessWithoutContextFails()
    {
        SignalLog log(p);
        p->CommandProcessor("UpdBkpTmcard", QVariant(), nullptr, "0", QString(), false, Page);
        QCOMPARE(log.fired(), QStringList {"updBackupInfoResp(false)"});
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
        QVERIFY(send(request, Monday));
        const int update = last();
        load(baseCard({"Revision", "6", "Dir", "/shown"}));

        SignalLog log(p);
        fw->reply(p, update, "0");
        QCOMPARE(log.fired(), QStringList {fired});
        QCOMPARE(p->revision(), 6);
        QCOMPARE(p->targetDir(), "/shown");

        load(baseCard({"Revision", "6", "Dir", "/reloaded"}));
        QCOMPARE(p->targetDir(), "/reloaded");
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
