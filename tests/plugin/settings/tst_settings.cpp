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
QVariant parsed(const QString& element, const QString& xml)
{
    return XML2Json().parse('<' + element + '>' + xml + "</" + element + '>').toMap()[element];
}
// Revision 5 of time-card 77 with cameras X and Y, the given entries replaced.
QVariantMap baseCard(const QVariantList& changes = {})
{
    return kv(changes,
              parsed("Tmcard",
                     "<Revision>5</Revision><TmcardID>77</TmcardID><Name>Card</Name>"
                     "<Enabled>false</Enabled><TargetCyclic>false</TargetCyclic><Dir>/old</Dir>"
                     "<MaxThroughput>10485760</MaxThroughput><MaxRange>7200</MaxRange><Mapping>"
                     "<Ele><Frame><Name>Old</Name><Intervals><Ele B=\"295200\" E=\"298800\"/>"
                     "</Intervals></Frame></Ele></Mapping><CamList><Cam GrpID=\"gx\">X</Cam>"
                     "<Cam GrpID=\"gy\">Y</Cam></CamList>")
                  .toMap());
}

using ScheduleDocuments::timeFrame;
const QString MondayFrame = timeFrame("Night", "<Ele B=\"120600\" E=\"147600\" />");
// 5,350 whole weeks: what they read back as composes to more than 1 MiB, so nothing is shown.
// An element of another client's rides along.
const QString Weeks = timeFrame("Weeks", QString("<Ele B=\"0\" E=\"604800\" />").repeated(5350))
                          .replace("</RepeatFreq>",
                                   "</RepeatFreq><Extra Kind=\"&quot;a&#9;b&#10;\">"
                                   "y &amp; &#13;z</Extra>");

// updateBackupInfo sends the page's values, updateSchedule the loaded ones with a new schedule.
enum class Request { BackupInfo, Schedule };

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

    PluginScheduleBackup* p = nullptr;
    std::unique_ptr<FakeFramework> fw;

    int last() const { return int(fw->sent.size()) - 1; }
    QString sentFrame() const
    {
        return fw->argumentsOf(last()).value("TimeFrameMessage").toString();
    }
    void load(const QVariantMap& card)
    {
        QVERIFY(p->getBackupInfo(Page));
        fw->reply(p, last(), "0", reply(card));
    }
    // Limits whose bytes and minutes exceed 32 bits; updateSchedule takes only name and document.
    bool send(Request request, const QString& document, const QString& relayPath = Page,
              const QString& name = "Night", const QVariantList& cams = {})
    {
        return request == Request::BackupInfo ? p->updateBackupInfo(
                   true, true, "/new", cams, name, document, 4096, 1500000, relayPath)
                                              : p->updateSchedule(name, document, relayPath);
    }

    // The path answered (the page's request is the current one), the result code, the card, the
    // signals fired, the time-card and the cameras shown afterwards.
    using ReplyCases = Table<QString, QString, QVariantMap, QStringList, QVariantMap, QStringList>;
    using NotTakenCases = Table<QString, bool, int>; // document, framework, commands offered
    // The saves, the replies heard, the revision and the directory shown afterwards.
    using RevisionCases = Table<QString, QString, qint64, QString>;
    using LimitCases = Table<qint64, qint64>; // the bytes and minutes loaded
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
            const QStringList fired {"cameraListChanged([" + changed.join(',') + "])",
                                     "getBackupInfoResp(true)"};
            row(tag, Page, "0", baseCard({"Revision", 6, "CamList", parsed("CamList", cams)}),
                changed.isEmpty() ? fired.mid(1) : fired, true,
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
            baseCard({"Enabled", "true", "TargetCyclic", "1", "Dir", "/b", "MaxThroughput",
                      "52428800", "MaxRange", "4320", "Mapping", parsed("Mapping", MondayFrame),
                      "CamList", parsed("CamList", "<Cam>__allcams__</Cam>")}),
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
        camRow("the all-cameras tag among others",
               R"(<Cam>__allcams__</Cam><Cam GrpID="gx">X</Cam>)", {"X"});
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

    // An update not taken returns false, signals nothing and releases its context; so does a
    // confirmation that brings no context back.
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
        p->CommandProcessor("UpdBkpTmcard", QVariant(), nullptr, "0", QString(), false, Page);
        QCOMPARE(log.fired(), QStringList {"updBackupInfoResp(false)"});
    }

    // A confirmed update applies the sent values, lists each camera once and without the
    // all-cameras tag, and shows the name the server stores, without the characters the composer
    // drops. The next update builds on the confirmed revision and cameras.
    void backupInfoConfirmed()
    {
        QVariantList cams, groups;
        for (const auto& [id, grp] : QList<std::pair<QString, QString>> {
                 {"A", "g1"}, {"B", "g2"}, {"A", "g3"}, {"__allcams__", ""}}) {
            cams << QVariantMap {{"Name", id}, {"GrpID", grp}};
            groups << QVariantMap {{"CamID", id}, {"GroupID", grp}};
        }
        QVERIFY(send(Request::BackupInfo, Monday, Page, QString("Nig") + QChar(1) + "ht", cams));
        SignalLog log(p);
        fw->reply(p, last(), "0");
        QCOMPARE(log.fired(),
                 QStringList({"enabledChanged(true)", "targetCyclicChanged(true)",
                              R"(targetDirChanged("/new"))", R"(scheduleNameChanged("Night"))",
                              "scheduleTemplateChanged(\"" + Monday + "\")",
                              "maxThroughputMBChanged(4096)", "maxRangeDayChanged(1500000)",
                              "cameraListChanged([A,B])", "updBackupInfoResp(true)"}));
        QVERIFY(send(Request::Schedule, Monday));
        QCOMPARE(
            fw->argumentsOf(last()),
            kv({"Revision",      qint64(6),     "TmcardID",     qint64(77),      "Name",
                "Card",          "Enabled",     true,           "TargetCyclic",  true,
                "Dir",           "/new",        "CamGroupList", groups,          "TimeFrameMessage",
                MondayFrame,     "TmFrameName", "Night",        "TmFrameJson",   Monday,
                "MaxThroughput", 4096LL << 20,  "MaxRange",     1500000LL * 1440}));
        fw->reply(p, last(), "1");
    }

    // A host may answer inside SendCommand, or refuse, or answer later in any order. The server
    // confirms an update based on its own revision and fails any other. Each letter is one save:
    // S and B (a whole update) answered inside; s and b answered after the others, the later ones
    // first; F and f failed; R refused by the host; X and Y (a whole update) sent on another relay
    // path, so their replies are dropped; L a load of the server's revision, directory "/loaded";
    // ~ the replies held back so far, in sending order.
    // The replies heard: S, B and L for the update, whole update and load, + or - for the
    // outcome. The plug-in never gets ahead of the server, and one reload brings it level.
    void revisionFollowsServer_data()
    {
        RevisionCases::columns();
        const auto row = &RevisionCases::row;
        row("confirmed inside SendCommand", "SSBSS", "S+ S+ B+ S+ S+", 10, "/new");
        row("failed inside SendCommand", "FFSS", "S- S- S+ S+", 7, "/old");
        row("refused, then confirmed inside", "RRSS", "S+ S+", 7, "/old");
        row("refused, then answered in reverse order", "RRss", "S- S+", 6, "/old");
        row("answered later around one answered inside", "sSs", "S- S- S+", 6, "/old");
        row("a whole update based on an old revision fails", "sB", "B- S+", 6, "/old");
        row("replies to another relay path are dropped", "XY", "", 5, "/old");
        row("a confirmation overtaken by a load", "sL", "L+ S+", 6, "/loaded");
        row("a whole update overtaken by a load", "bL", "L+ B+", 6, "/loaded");
        row("a load between an update and a failing one", "sLf", "L+ S- S+", 6, "/loaded");
        row("replies in sending order after a load", "sLf~", "L+ S+ S-", 6, "/loaded");
        row("a confirmation older than two loads", "sLSL", "L+ S+ L+ S+", 7, "/loaded");
    }
    void revisionFollowsServer()
    {
        const auto [saves, heard, revision, dir] = RevisionCases::fetch();
        qint64 stored = 5;
        QList<std::pair<int, QString>> later;
        QChar save;
        fw->answerInside = [&](int index) {
            if (save == 'L')
                return;
            const bool based = fw->argumentsOf(index).value("Revision").toLongLong() == stored;
            const QString code = based && save.toUpper() != 'F' ? "0" : "1";
            stored += code == "0";
            if (save.isLower())
                later.prepend({index, code});
            else
                fw->reply(p, index, code);
        };
        SignalLog log(p);
        for (const QChar letter : saves) {
            if (letter == '~') {
                while (!later.isEmpty()) {
                    const auto [index, code] = later.takeLast();
                    fw->reply(p, index, code);
                }
                continue;
            }
            save = letter;
            fw->accept = letter != 'R';
            const QString path = QString("XY").contains(letter) ? "other" : Page;
            if (letter == 'L')
                load(baseCard({"Revision", stored, "Dir", "/loaded"}));
            else
                QCOMPARE(
                    send(QString("BbY").contains(letter) ? Request::BackupInfo : Request::Schedule,
                         Monday, path),
                    letter != 'R');
        }
        for (const auto& [index, code] : std::as_const(later))
            fw->reply(p, index, code);
        QString replies = log.fired().filter("Resp(").join(' ');
        for (const auto& [from, to] : {std::pair("updateScheduleResp", "S"),
                                       {"updBackupInfoResp", "B"},
                                       {"getBackupInfoResp", "L"},
                                       {"(true)", "+"},
                                       {"(false)", "-"}})
            replies.replace(from, to);
        QCOMPARE(replies, heard);
        QCOMPARE(p->revision(), revision);
        QCOMPARE(p->targetDir(), dir);
        fw->answerInside = nullptr;
        fw->accept = true;
        load(baseCard({"Revision", stored, "Dir", "/reloaded"}));
        QCOMPARE(p->targetDir(), "/reloaded");
    }

    // Limits passed back as shown are sent as loaded, by a schedule-only save as by a whole one,
    // before and after it is confirmed; the properties show them truncated toward zero or
    // saturated. A changed value goes out in whole megabytes or days (backupInfoConfirmed).
    void limitsSentAsLoaded_data()
    {
        LimitCases::columns();
        LimitCases::row("1.5 MB and 1439 minutes, shown as 1 and 0", 1572864, 1439);
        LimitCases::row("a negative and a huge limit", -1048575, 1LL << 42);
    }
    void limitsSentAsLoaded()
    {
        const auto [bytes, minutes] = LimitCases::fetch();
        load(baseCard({"Revision", 6, "MaxThroughput", QString::number(bytes), "MaxRange",
                       QString::number(minutes)}));
        const auto shownAs = [](qint64 value, qint64 unit) {
            return int(std::clamp<qint64>(value / unit, INT_MIN, INT_MAX));
        };
        for (int step = 0; step < 3; ++step) {
            const int mb = p->maxThroughputMB();
            const int days = p->maxRangeDay();
            QCOMPARE(std::pair(mb, days),
                     std::pair(shownAs(bytes, 1 << 20), shownAs(minutes, 1440)));
            QVERIFY(step == 0 ? send(Request::Schedule, Monday)
                              : p->updateBackupInfo(true, true, "/new", {}, "Night", Monday, mb,
                                                    days, Page));
            const QVariantMap sent = fw->argumentsOf(last());
            QCOMPARE(std::pair(sent["MaxThroughput"].toLongLong(), sent["MaxRange"].toLongLong()),
                     std::pair(bytes, minutes));
            fw->reply(p, last(), step == 1 ? "0" : "1");
        }
    }

    // A stored schedule too large to show is sent back as stored, renamed if asked, by any save
    // that sets no schedule of its own; one that does replaces it. After a schedule-only save
    // the plug-in no longer knows what is stored: an unrelated save then waits for a load.
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
        row("a renamed schedule keeps its intervals", Request::BackupInfo, "Long\r<weeks>", "",
            QString(Weeks).replace("<Name>Weeks</Name>", "<Name>Long&#13;&lt;weeks&gt;</Name>"));
        row("a new schedule replaces it", Request::BackupInfo, "Night", Monday, MondayFrame,
            Monday);
        row("a schedule-only save without a schedule", Request::Schedule, "Weeks", "", Weeks);
        row("a schedule-only save with a schedule", Request::Schedule, "Night", Monday,
            MondayFrame);
    }
    void unshownScheduleKept()
    {
        const auto [request, name, document, sent, shown] = UnshownCases::fetch();
        load(baseCard({"Revision", 6, "Mapping", parsed("Mapping", Weeks)}));
        QCOMPARE(p->scheduleTemplate(), QString());
        QCOMPARE(p->scheduleName(), "Weeks");
        QVERIFY(send(request, document, Page, name));
        QCOMPARE(sentFrame(), sent);
        fw->reply(p, last(), "0");
        const qsizetype before = fw->sent.size();
        const bool scheduleOnly = request == Request::Schedule;
        if (!scheduleOnly) {
            QCOMPARE(p->schedule(), parsed("Mapping", sent));
            QCOMPARE(p->scheduleTemplate(), shown);
            QCOMPARE(p->scheduleName(), name);
        }
        // The next save passing what is shown.
        QCOMPARE(send(Request::BackupInfo, p->scheduleTemplate(), Page, p->scheduleName()),
                 !scheduleOnly);
        QCOMPARE(fw->sent.size(), before + !scheduleOnly);
        if (!scheduleOnly) {
            QCOMPARE(sentFrame(), shown.isEmpty() ? sent : MondayFrame);
            return fw->reply(p, last(), "1");
        }
        QVERIFY(send(Request::BackupInfo, Monday));
        fw->reply(p, last(), "1");
        load(baseCard({"Revision", 8, "Mapping", parsed("Mapping", Weeks)}));
        QVERIFY(send(Request::BackupInfo, ""));
        QCOMPARE(sentFrame(), QString(Weeks).replace("Weeks</Name>", "Night</Name>"));
        fw->reply(p, last(), "1");
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
