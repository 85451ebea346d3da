// SPDX-License-Identifier: BSD-3-Clause
// Loading and storing the backup settings as a host drives them. The memcheck run of this
// executable needs every update context released exactly once: every test answers its updates.

#include "FakeFramework.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"
#include "ScheduleDocuments.h"
#include "SignalLog.h"
#include "Table.h"
#include "XML2Json.h"

#include <QtTest>

namespace {

const QString Page = QStringLiteral("page");
const QString Monday
    = QStringLiteral(R"({"Rectangles":[{"Top":9.5,"Bottom":17,"Left":1,"Right":2}]})");
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
// Revision 5 of time-card 77 with cameras X and Y, the given entries replaced.
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

using ScheduleDocuments::timeFrame;
const QString MondayFrame = timeFrame("Night", "<Ele B=\"120600\" E=\"147600\" />");
// 5,350 whole weeks: what they read back as composes to more than 1 MiB, so nothing is shown.
// An element of another client's rides along.
const QString Weeks = timeFrame("Weeks", QString("<Ele B=\"0\" E=\"604800\" />").repeated(5350))
                          .replace("</RepeatFreq>",
                                   "</RepeatFreq><Extra Kind=\"&quot;a&#9;b&#10;\">"
                                   "y &amp; &#13;z</Extra>");
QVariant mappingOf(const QString& frame)
{
    return XML2Json().parse("<Mapping>" + frame + "</Mapping>").toMap().value("Mapping");
}
QString frameNameOf(const QString& frame)
{
    return mappingOf(frame).toMap()["Ele"].toMap()["Frame"].toMap()["Name"].toString();
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
    // Limits whose bytes and minutes exceed 32 bits; updateSchedule takes only name and document.
    bool send(Request request, const QString& document, const QString& relayPath = Page,
              const QVariantList& cams = {})
    {
        return request == Request::BackupInfo ? p->updateBackupInfo(
                   true, true, "/new", cams, "Night", document, 4096, 1500000, relayPath)
                                              : p->updateSchedule("Night", document, relayPath);
    }

    // The path answered (the page's request is the current one), the result code, the card, the
    // signals fired, the time-card and the cameras shown afterwards.
    using ReplyCases = Table<QString, QString, QVariantMap, QStringList, QVariantMap, QStringList>;
    using NotTakenCases = Table<QString, bool, int>; // document, framework, commands offered
    // The request, its relay path (the page's path is current), whether a load of revision 6 with
    // directory "/shown" overtakes it, the result code, the signals fired and the revision.
    using UpdateCases = Table<Request, QString, bool, QString, QStringList, qint64>;
    using RevisionCases = Table<QString, qint64>; // the saves, the server's revision afterwards
    // Loaded bytes and minutes, megabytes and days passed to updateBackupInfo, bytes and minutes
    // sent.
    using LimitCases = Table<qint64, qint64, int, int, qint64, qint64>;
    using NameCases = Table<QString, QString>; // sent, stored
    // The request, name and document, the time frame sent and the template shown once confirmed.
    using UnshownCases = Table<Request, QString, QString, QString, QString>;

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
    // older than what is shown; each changed property then signals once, in a fixed order. A
    // reload of the cameras shown (X, Y), repeats aside, changes nothing; any other list replaces
    // them, each camera once.
    void timeCardReply_data()
    {
        ReplyCases::columns();
        const auto row
            = [](const char* tag, const QString& path, const QString& code, const QVariantMap& card,
                 const QStringList& fired, bool taken, const QStringList& cameras = {"X", "Y"}) {
                  ReplyCases::row(tag, path, code, card, fired, taken ? card : baseCard(), cameras);
              };
        const auto camRow = [&](const char* tag, const QString& cams, const QStringList& changed) {
            const QVariantMap card = baseCard(
                {"Revision", 6, "CamList",
                 XML2Json().parse("<CamList>" + cams + "</CamList>").toMap().value("CamList")});
            QStringList fired {"getBackupInfoResp(true)"};
            if (!changed.isEmpty())
                fired.prepend("cameraListChanged([" + changed.join(',') + "])");
            row(tag, Page, "0", card, fired, true,
                changed.isEmpty() ? QStringList {"X", "Y"} : changed);
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
            true, {});
        camRow(
            "the loaded cameras, repeated",
            R"(<Cam GrpID="gx">X</Cam><Cam GrpID="gy">Y</Cam><Cam GrpID="gx">X</Cam><Cam>Y</Cam>)",
            {});
        camRow("the loaded cameras and one more",
               R"(<Cam GrpID="gx">X</Cam><Cam GrpID="gy">Y</Cam><Cam GrpID="gz">Z</Cam>)",
               {"X", "Y", "Z"});
        camRow("the first loaded camera only", R"(<Cam GrpID="gx">X</Cam>)", {"X"});
        camRow("the loaded cameras in the other order",
               R"(<Cam GrpID="gy">Y</Cam><Cam GrpID="gx">X</Cam>)", {"Y", "X"});
        camRow("a camera without a group, repeated with one",
               R"(<Cam>A</Cam><Cam GrpID="g2">X</Cam><Cam GrpID="g3">A</Cam>)", {"A", "X"});
    }
    void timeCardReply()
    {
        const auto [answeredPath, resultCode, card, fired, shown, cameras] = ReplyCases::fetch();
        QVERIFY(p->getBackupInfo(answeredPath));
        const int answered = last();
        QVERIFY(p->getBackupInfo(Page));
        SignalLog log(p);
        fw->reply(p, answered, resultCode, reply(card));
        QCOMPARE(log.fired(), fired);
        QCOMPARE(p->revision(), shown.value("Revision").toLongLong());
        QCOMPARE(p->schedule(), shown.value("Mapping"));
        QCOMPARE(p->cameraList(), cameras);
    }

    // An update not taken returns false, signals nothing and releases its context.
    void updateNotTaken_data()
    {
        NotTakenCases::columns();
        NotTakenCases::row("a document that is no JSON is not offered", "Monday 9 to 5", true, 0);
        NotTakenCases::row("an empty document is offered", QString(), true, 1);
        NotTakenCases::row("an update the framework refuses", Monday, true, 1);
        NotTakenCases::row("an update without a framework", Monday, false, 0);
    }
    void updateNotTaken()
    {
        const auto [document, frameworkPresent, offered] = NotTakenCases::fetch();
        const qsizetype before = fw->sent.size();
        fw->accept = false;
        p->InitialPluginBase(nullptr, nullptr, frameworkPresent ? fw.get() : nullptr);
        SignalLog log(p);
        QVERIFY(!send(Request::BackupInfo, document));
        QCOMPARE(fw->sent.size() - before, offered);
        QCOMPARE(log.fired(), QStringList());
    }

    // A confirmed update applies the sent values, lists each camera once and without the
    // all-cameras tag; the next update builds on the confirmed revision and cameras.
    void backupInfoConfirmed()
    {
        QVariantList cams, groups;
        for (const auto& [name, grp] : QList<std::pair<QString, QString>> {
                 {"A", "g1"}, {"B", "g2"}, {"A", "g3"}, {"__allcams__", ""}}) {
            cams << QVariantMap {{"Name", name}, {"GrpID", grp}};
            groups << QVariantMap {{"CamID", name}, {"GroupID", grp}};
        }
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
        QCOMPARE(
            fw->argumentsOf(last()),
            kv({"Revision",      qint64(6),     "TmcardID",     qint64(77),      "Name",
                "Card",          "Enabled",     true,           "TargetCyclic",  true,
                "Dir",           "/new",        "CamGroupList", groups,          "TimeFrameMessage",
                MondayFrame,     "TmFrameName", "Night",        "TmFrameJson",   Monday,
                "MaxThroughput", 4096LL << 20,  "MaxRange",     1500000LL * 1440}));
    }

    // A confirmed schedule update only raises the revision; a failed or foreign reply keeps it. A
    // confirmation overtaken by a load that already showed its result leaves the loaded state.
    // Either way the next load of the same revision is taken.
    void updateReply_data()
    {
        UpdateCases::columns();
        const auto row = &UpdateCases::row;
        row("a confirmed schedule update raises the revision", Request::Schedule, Page, false, "0",
            {"updateScheduleResp(true)"}, 6);
        row("a schedule reply to another path is dropped", Request::Schedule, "other", false, "0",
            {}, 5);
        row("a failed backup info update is reported", Request::BackupInfo, Page, false, "1",
            {"updBackupInfoResp(false)"}, 5);
        row("a backup info reply to another path is dropped", Request::BackupInfo, "other", false,
            "0", {}, 5);
        row("an overtaken backup info confirmation", Request::BackupInfo, Page, true, "0",
            {"updBackupInfoResp(true)"}, 6);
        row("an overtaken schedule confirmation", Request::Schedule, Page, true, "0",
            {"updateScheduleResp(true)"}, 6);
    }
    void updateReply()
    {
        const auto [request, relayPath, overtaken, resultCode, fired, revision]
            = UpdateCases::fetch();
        QVERIFY(send(request, Monday, relayPath));
        const int update = last();
        if (overtaken)
            load(baseCard({"Revision", "6", "Dir", "/shown"}));
        SignalLog log(p);
        fw->reply(p, update, resultCode);
        QCOMPARE(log.fired(), fired);
        QCOMPARE(p->revision(), revision);
        QCOMPARE(p->targetDir(), overtaken ? "/shown" : "/old");
        load(baseCard({"Revision", QString::number(revision), "Dir", "/reloaded"}));
        QCOMPARE(p->targetDir(), "/reloaded");
    }

    // Two schedule updates, the second sent after a load showed the first one stored; the
    // second fails and its reply overtakes the first one's confirmation. The revision must stay
    // the server's, or the next load of it would be dropped as stale.
    void scheduleRepliesInReverseOrder()
    {
        QVERIFY(send(Request::Schedule, Monday));
        const int first = last();
        load(baseCard({"Revision", "6"}));
        QVERIFY(send(Request::Schedule, Monday));
        fw->reply(p, last(), "1");
        fw->reply(p, first, "0");
        QCOMPARE(p->revision(), qint64(6));
        load(baseCard({"Revision", "6", "Dir", "/reloaded"}));
        QCOMPARE(p->targetDir(), "/reloaded");
    }

    // A host may answer inside SendCommand, or refuse it, or answer later in any order. The
    // server confirms an update based on its own revision and refuses any other. Each letter is
    // one save: S and B (a whole update) answered inside, F failed inside, R refused, A answered
    // after the others, the later ones first. The plug-in never gets ahead of the server, and
    // one reload brings it level.
    void revisionFollowsServer_data()
    {
        RevisionCases::columns();
        RevisionCases::row("confirmed inside SendCommand", "SSBSS", 10);
        RevisionCases::row("failed inside SendCommand", "FFSS", 7);
        RevisionCases::row("refused, then confirmed inside", "RRSS", 7);
        RevisionCases::row("refused, then answered in reverse order", "RRAA", 6);
        RevisionCases::row("answered later around one answered inside", "ASA", 6);
    }
    void revisionFollowsServer()
    {
        const auto [saves, server] = RevisionCases::fetch();
        qint64 stored = 5;
        QList<std::pair<int, QString>> later;
        QChar save;
        fw->answerInside = [&](int index) {
            const bool current = fw->argumentsOf(index).value("Revision").toLongLong() == stored;
            const QString code = save != 'F' && current ? "0" : "1";
            stored += code == "0";
            if (save == 'A')
                later.prepend({index, code});
            else
                fw->reply(p, index, code);
        };
        for (const QChar letter : saves) {
            save = letter;
            fw->accept = letter != 'R';
            const bool sent = letter == 'B' ? send(Request::BackupInfo, Monday)
                                            : send(Request::Schedule, Monday);
            QCOMPARE(sent, letter != 'R');
        }
        for (const auto& [index, code] : std::as_const(later))
            fw->reply(p, index, code);
        QCOMPARE(stored, server);
        QCOMPARE(p->revision(), server);
        fw->answerInside = nullptr;
        load(baseCard({"Revision", server, "Dir", "/reloaded"}));
        QCOMPARE(p->targetDir(), "/reloaded");
    }

    // Limits passed back as shown are sent as loaded; the properties show them truncated. Only a
    // changed value is sent in whole megabytes or days. A confirmed update's values are kept the
    // same way, and a schedule-only save always sends them.
    void limitsSentAsLoaded_data()
    {
        LimitCases::columns();
        const auto row = &LimitCases::row;
        row("1.5 MB and 1439 minutes, shown as 1 and 0, passed back", 1572864, 1439, 1, 0, 1572864,
            1439);
        row("2160 minutes shown as 1 day, passed back", 10485760, 2160, 10, 1, 10485760, 2160);
        row("both changed", 1572864, 1439, 2, 1, 2097152, 1440);
        row("a negative limit passed back as shown", -1048575, -1439, 0, 0, -1048575, -1439);
    }
    void limitsSentAsLoaded()
    {
        const auto [loadedBytes, loadedMinutes, mb, days, sentBytes, sentMinutes]
            = LimitCases::fetch();
        load(baseCard({"Revision", 6, "MaxThroughput", QString::number(loadedBytes), "MaxRange",
                       QString::number(loadedMinutes)}));
        QCOMPARE(p->maxThroughputMB(), int(loadedBytes / 1048576));
        QCOMPARE(p->maxRangeDay(), int(loadedMinutes / 1440));
        const auto sentLimits = [this] {
            const QVariantMap arguments = fw->argumentsOf(last());
            return std::pair {arguments.value("MaxThroughput").toLongLong(),
                              arguments.value("MaxRange").toLongLong()};
        };
        QVERIFY(send(Request::Schedule, Monday));
        QCOMPARE(sentLimits(), std::pair(loadedBytes, loadedMinutes));
        fw->reply(p, last(), "1");
        QVERIFY(p->updateBackupInfo(true, true, "/new", {}, "Night", Monday, mb, days, Page));
        QCOMPARE(sentLimits(), std::pair(sentBytes, sentMinutes));
        fw->reply(p, last(), "0");
        QCOMPARE(p->maxThroughputMB(), int(sentBytes / 1048576));
        QCOMPARE(p->maxRangeDay(), int(sentMinutes / 1440));
        QVERIFY(p->updateBackupInfo(true, true, "/new", {}, "Night", Monday, p->maxThroughputMB(),
                                    p->maxRangeDay(), Page));
        QCOMPARE(sentLimits(), std::pair(sentBytes, sentMinutes));
        fw->reply(p, last(), "1");
    }

    // The name a confirmed update shows is the one the server stores: a carriage return
    // survives, characters the composer drops are gone.
    void confirmedScheduleName_data()
    {
        NameCases::columns();
        NameCases::row("carriage returns", "a\r\nb\rc", "a\r\nb\rc");
        NameCases::row("characters XML cannot carry",
                       QString("a") + QChar(1) + "b" + QChar(0xFFFF) + QChar(0xD800), "ab");
    }
    void confirmedScheduleName()
    {
        const auto [name, stored] = NameCases::fetch();
        QVERIFY(p->updateBackupInfo(true, true, "/new", {}, name, Monday, 1, 1, Page));
        QCOMPARE(frameNameOf(fw->argumentsOf(last()).value("TimeFrameMessage").toString()), stored);
        fw->reply(p, last(), "0");
        QCOMPARE(p->scheduleName(), stored);
    }

    // A stored schedule too large to show is sent back as stored, renamed if asked, by any save
    // that sets no schedule of its own; one that does replaces it.
    void unshownScheduleKept_data()
    {
        UnshownCases::columns();
        const auto row
            = [](const char* tag, Request request, const QString& name, const QString& document,
                 const QString& sent, const QString& shown = {}) {
                  UnshownCases::row(tag, request, name, document, sent, shown);
              };
        row("an unrelated save passing the empty template", Request::BackupInfo, "Weeks", "",
            Weeks);
        row("an unrelated save passing an empty week", Request::BackupInfo, "Weeks",
            R"({"Rectangles":[]})", Weeks);
        row("rectangles that cover no day", Request::BackupInfo, "Weeks",
            R"({"Rectangles":[{"Top":1,"Bottom":2,"Left":3,"Right":3}]})", Weeks);
        row("a schedule-only save without a schedule", Request::Schedule, "Weeks", "", Weeks);
        row("a renamed schedule keeps its intervals", Request::BackupInfo, "Long\r<weeks>", "",
            QString(Weeks).replace("<Name>Weeks</Name>", "<Name>Long&#13;&lt;weeks&gt;</Name>"));
        row("a new schedule replaces it", Request::BackupInfo, "Night", Monday, MondayFrame,
            Monday);
    }
    void unshownScheduleKept()
    {
        const auto [request, name, document, sent, shown] = UnshownCases::fetch();
        load(baseCard({"Revision", 6, "Mapping", mappingOf(Weeks)}));
        QCOMPARE(p->scheduleTemplate(), QString());
        QCOMPARE(p->scheduleName(), "Weeks");
        QVERIFY(request == Request::BackupInfo
                    ? p->updateBackupInfo(true, true, "/new", {}, name, document, 1, 1, Page)
                    : p->updateSchedule(name, document, Page));
        QCOMPARE(fw->argumentsOf(last()).value("TimeFrameMessage").toString(), sent);
        fw->reply(p, last(), "0");
        if (request == Request::Schedule)
            return;
        QCOMPARE(p->schedule(), mappingOf(sent));
        QCOMPARE(p->scheduleTemplate(), shown);
        QCOMPARE(p->scheduleName(), frameNameOf(sent));
        // Still kept by the next save.
        QVERIFY(p->updateBackupInfo(true, true, "/new", {}, p->scheduleName(),
                                    p->scheduleTemplate(), 1, 1, Page));
        QCOMPARE(fw->argumentsOf(last()).value("TimeFrameMessage").toString(),
                 shown.isEmpty() ? sent : MondayFrame);
        fw->reply(p, last(), "1");
    }

    // A schedule-only update replaced the unshown schedule with one the plug-in never read back:
    // sending the old one with the next unrelated save would undo it, so that save waits for a
    // load, and the load clears the way.
    void unshownScheduleReplacedByScheduleOnlyUpdate()
    {
        load(baseCard({"Revision", 6, "Mapping", mappingOf(Weeks)}));
        QVERIFY(p->updateSchedule("Night", Monday, Page));
        fw->reply(p, last(), "0");
        const int sent = fw->sent.size();
        QVERIFY(!p->updateBackupInfo(true, true, "/new", {}, "Night", "", 1, 1, Page));
        QCOMPARE(fw->sent.size(), sent);
        QVERIFY(p->updateBackupInfo(true, true, "/new", {}, "Night", Monday, 1, 1, Page));
        fw->reply(p, last(), "1");
        load(baseCard({"Revision", 7, "Mapping", mappingOf(MondayFrame)}));
        QVERIFY(p->updateBackupInfo(true, true, "/new", {}, "Night", "", 1, 1, Page));
        fw->reply(p, last(), "1");
    }

    void backupInfoSuccessWithoutContextFails()
    {
        SignalLog log(p);
        p->CommandProcessor("UpdBkpTmcard", QVariant(), nullptr, "0", QString(), false, Page);
        QCOMPARE(log.fired(), QStringList {"updBackupInfoResp(false)"});
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
