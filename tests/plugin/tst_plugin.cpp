// SPDX-License-Identifier: BSD-3-Clause
// The plug-in as a host drives it: the schedule model (the page's rectangles to time-frame XML
// and back, the next backup start) and loading and storing the backup settings. Run in UTC and
// in a zone with daylight saving, since the week starts at local Sunday midnight. The memcheck
// run needs every update context released exactly once: every test answers its updates.

#include "FakeFramework.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"
#include "ScheduleDocuments.h"
#include "SignalLog.h"
#include "Table.h"
#include "XML2Json.h"

#include <QTimeZone>
#include <QtTest>

namespace {

using namespace ScheduleDocuments;
const QString Page = QStringLiteral("page");
const QString Monday = doc({box(9.5, 17, 1, 2)});
const QString MondayFrame = timeFrame("Night", "<Ele B=\"120600\" E=\"147600\" />");
// 5,350 whole weeks: what they read back as composes to more than 1 MiB, so nothing is shown.
// An element of another client's rides along.
const QString Weeks = timeFrame("Weeks", QString("<Ele B=\"0\" E=\"604800\" />").repeated(5350))
                          .replace("</RepeatFreq>",
                                   "</RepeatFreq><Extra Kind=\"&quot;a&#9;b&#10;\">"
                                   "y &amp; &#13;z</Extra>");

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

// An interval as a reply tree holds it, in text, and as the composer writes it.
const auto iv = [](const QVariant& b, const QVariant& e) {
    return QVariantMap {{"@B", b.toString()}, {"@E", e.toString()}};
};
const auto ivXml
    = [](qint64 b, qint64 e) { return QStringLiteral("<Ele B=\"%1\" E=\"%2\" />").arg(b).arg(e); };
// One time-frame entry under "Mapping"; `intervals` is Intervals/Ele as given: a map or a list.
const auto entry = [](const QString& name, const QVariant& intervals) {
    return QVariantMap {
        {"Frame", QVariantMap {{"Name", name}, {"Intervals", QVariantMap {{"Ele", intervals}}}}}};
};
const auto mapping = [](const QVariant& entries) {
    return QVariant(QVariantMap {{"Ele", entries}});
};
const auto sched = [](const QVariant& intervals) { return mapping(entry("Backup", intervals)); };
// One entry whose Frame element is repeated, each frame holding the given intervals.
const auto repeatedFrame = [](const QVariant& first, const QVariant& second) {
    return mapping(QVariantMap {
        {"Frame", QVariantList {entry("A", first)["Frame"], entry("B", second)["Frame"]}}});
};

const QDate kSunday(2026, 1, 4); // a week without a clock change
constexpr qint64 kWeekMs = 604800000;
const QVariantMap kMonday = iv(118800, 147600); // 09:00 to 17:00
const QVariantMap kFriday = iv(468000, 471600); // 10:00 to 11:00
const QVariantMap kInverted = iv(172800, 86400); // ends on the day before it starts
// Day 115, 17:00 to 18:00: a seven-digit start and an eight-digit end, 32 characters composed.
const QVariantMap kCell = iv(9997200, 10000800);
const QString kCellBox = box(17, 18, 115, 116);
const auto at = [](int day, int hour) { return QDateTime(kSunday.addDays(day), QTime(hour, 0)); };

// updateBackupInfo sends the page's values, updateSchedule the loaded ones with a new schedule.
enum class Request { BackupInfo, Schedule };

} // namespace

class tst_Plugin : public QObject
{
    Q_OBJECT

    PluginScheduleBackup* p = nullptr;
    std::unique_ptr<FakeFramework> fw;
    FakeServerInfo serverInfo;

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
    bool send(Request request, const QString& document, const QString& name = "Night",
              const QVariantList& cams = {})
    {
        return request == Request::BackupInfo
            ? p->updateBackupInfo(true, true, "/new", cams, name, document, 4096, 1500000, Page)
            : p->updateSchedule(name, document, Page);
    }

    // The name, the document, the name as written and the intervals (null: refused).
    using ComposeCases = Table<QString, QString, QString, QString>;
    using ReadCases = Table<QVariant, QString>; // the mapping, the document shown
    // The stored mapping, the moment asked, the Sunday and the offset from it of the answer, and
    // the source of a timestamp that is missing (the answer is then 0).
    using NextCases = Table<QVariant, QDateTime, QDate, qint64, QString>;
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
    void initTestCase()
    {
        // The daylight-saving rows mean something only when the zone is in effect.
        const QDate spring(2026, 3, 29);
        QCOMPARE(spring.startOfDay().secsTo(spring.addDays(1).startOfDay()),
                 (qgetenv("TZ") == "Europe/Berlin" ? 23 : 24) * 3600);
    }

    void init()
    {
        PluginLoading::resetInstance();
        p = qobject_cast<PluginScheduleBackup*>(PluginLoading::instance());
        QVERIFY(p);
        serverInfo.answerEmpty = false;
        serverInfo.calls = 0;
        fw = std::make_unique<FakeFramework>();
        fw->serverInfo = &serverInfo;
        p->InitialPluginBase(nullptr, nullptr, fw.get());
        load(baseCard());
    }

    void compose_data()
    {
        ComposeCases::columns();
        auto row = [](const char* tag, const QString& document, const QString& xml,
                      const QString& name = "N", const QString& written = "N") {
            ComposeCases::row(tag, name, document, written, xml);
        };
        row("days in order, only Saturday to 24:00 ends a minute early", doc({box(12, 24, 5, 7)}),
            ivXml(475200, 518400) + ivXml(561600, 604740));
        const QString mondayXml = ivXml(120600, 147600);
        row("markup in the name escaped, placeholders kept", Monday, mondayXml,
            R"(A&B <night> "ü" %2 %1)", R"(A&amp;B &lt;night&gt; "ü" %2 %1)");
        // XML 1.0 cannot carry these at all; the rest of the name survives. A parser would read
        // a literal carriage return as a line feed.
        const QString smiley = QString(QChar(0xD83D)) + QChar(0xDE00);
        row("characters XML cannot carry dropped from the name, a carriage return referenced",
            Monday, mondayXml,
            QString("a") + QChar(0) + "b" + QChar(0x1F) + " \t\n\r" + QChar(0xFFFE) + QChar(0xFFFF)
                + QChar(0xD800) + "c" + QChar(0xDC00) + smiley + QChar(0xDE00) + "d"
                + QChar(0xD83D),
            "ab \t\n&#13;c" + smiley + "d");
        row("exactly 1 MiB of intervals goes out", doc(QStringList(32768, kCellBox)),
            ivXml(9997200, 10000800).repeated(32768));
        row("one interval beyond 1 MiB is refused", doc(QStringList(32769, kCellBox)), {});
    }
    void compose()
    {
        const auto [name, document, written, intervals] = ComposeCases::fetch();
        const QString result = p->ComposeScheduleBackupMappingEleMsg(name, document);
        QCOMPARE(result, intervals.isNull() ? QString() : timeFrame(written, intervals));
        QCOMPARE(result.isNull(), intervals.isNull());
    }

    // What is shown can be stored again: shown are the schedules whose rectangles compose to at
    // most the composer's 1 MiB.
    void readBack_data()
    {
        ReadCases::columns();
        auto row = [](const char* tag, const QVariant& intervals, const QStringList& rects) {
            ReadCases::row(tag, sched(intervals), doc(rects));
        };
        row("minutes 14:59 and 44:59 snap down", iv(119699, 121499), {box(9, 9.5, 1, 2)});
        row("minutes 15:00 and 45:00 snap up", iv(119700, 121500), {box(9.5, 10, 1, 2)});
        row("a negative start reads as Sunday 00:00", iv(-3600, 3600), {box(0, 1, 0, 1)});
        row("the end of the week is Saturday 24:00", iv(518400, 604800), {box(0, 24, 6, 7)});
        row("unreadable intervals skipped without a gap",
            QVariantList {kInverted, kMonday, kInverted, kFriday},
            {box(9, 17, 1, 2), box(10, 11, 5, 6)});
        // The second bound is -(2^64 + 5): read digit by digit in 64 bits it would wrap to -5.
        row("bounds outside 32 bits skipped",
            QVariantList {iv(0, 2147483648LL), iv("-18446744073709551621", "147600"), kFriday},
            {box(10, 11, 5, 6)});
        // The page has only ever shown a Frame that stands alone in its entry.
        ReadCases::row("a repeated Frame element shows nothing", repeatedFrame(kFriday, kMonday),
                       {});
        row("rectangles composing to exactly 1 MiB are shown", QVariantList(32768, kCell),
            QStringList(32768, kCellBox));
        // A whole week reads back as seven rectangles composing to 196 characters: 5,349 fit.
        ReadCases::row("5,350 whole weeks show nothing", sched(QVariantList(5350, iv(0, 604800))),
                       {});
    }
    void readBack()
    {
        const auto [mapping, expected] = ReadCases::fetch();
        const QString shown = p->ConvertScheduleContent(mapping);
        QCOMPARE(shown, expected);
        QCOMPARE(shown.isNull(), expected.isNull());
        if (!shown.isNull())
            QVERIFY(!p->ComposeScheduleBackupMappingEleMsg("N", shown).isNull());
    }

    void nextBackup_data()
    {
        NextCases::columns();
        auto row = [](const char* tag, const QVariant& stored, const QDateTime& moment,
                      qint64 offset, const QDate& sunday = kSunday, const QString& missing = {}) {
            NextCases::row(tag, stored, moment, sunday, offset, missing);
        };
        row("asked at its start, next week's window", sched(kMonday), at(1, 9),
            kWeekMs + 118800000);
        // Wednesday 22:00 to 24:00 and Thursday 00:00 to 06:00 make one window.
        row("Thursday 00:00 continues the night before",
            sched(QVariantList {iv(338400, 345600), iv(345600, 367200)}), at(3, 23),
            kWeekMs + 338400000);
        // Sorted by start, then end: the longer interval precedes the one continuing it.
        row("of equal starts the longer one continues into the next",
            sched(QVariantList {iv(147600, 150000), kMonday, iv(118800, 122400)}), at(1, 12),
            kWeekMs + 118800000);
        // Given in another zone, a moment can lie half a second before the local week start.
        const QDateTime justBefore(kSunday, QTime(0, 0, 0, 500),
                                   QTimeZone(kSunday.startOfDay().offsetFromUtc() + 1));
        row("half a second before the week start", sched(iv(0, 3600)), justBefore, 0);
        const QDate spring(2026, 3, 29);
        // Without a schedule the answer is the week's start; asked on a Sunday, that Sunday's.
        row("the spring change Sunday starts its week", {}, QDateTime(spring, QTime(15, 0)), 0,
            spring);
        // Elapsed time counts: after the spring change, Monday 09:30 lies before the 09:00 start.
        const QDateTime moment(spring.addDays(1), QTime(9, 30));
        const qint64 elapsed = spring.startOfDay().secsTo(moment);
        row("after the spring change the elapsed time counts", sched(kMonday), moment,
            (elapsed < 118800 ? 0 : kWeekMs) + 118800000, spring);
        for (const QString missing : {"timestamp", "server info", "framework"})
            row(qPrintable("without a " + missing), sched(kMonday), at(0, 8), 0, kSunday, missing);
    }
    void nextBackup()
    {
        const auto [stored, moment, sunday, offset, missing] = NextCases::fetch();
        p->setSchedule(stored);
        serverInfo.answerEmpty = missing == "timestamp";
        if (missing == "server info")
            fw->serverInfo = nullptr;
        if (missing == "framework")
            p->framework = nullptr;
        // Another week asked about first: nothing of it may carry over.
        p->getNextBackupTime(moment.addDays(7));
        serverInfo.calls = 0;
        QCOMPARE(p->getNextBackupTime(moment),
                 missing.isEmpty() ? qulonglong(sunday.startOfDay().toMSecsSinceEpoch() + offset)
                                   : 0);
        QCOMPARE(serverInfo.calls, missing.isEmpty() ? 2 : missing == "timestamp");
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
        // Cameras as "group:id" words, an empty group left out.
        const auto camRow = [&](const char* tag, const QString& cams, const QStringList& changed) {
            QString xml;
            for (const QString& cam : cams.split(' '))
                xml += cam.startsWith(':') ? "<Cam>" + cam.mid(1) + "</Cam>"
                                           : QString(R"(<Cam GrpID="%1">%2</Cam>)")
                                                 .arg(cam.section(':', 0, 0), cam.section(':', 1));
            const QStringList fired {"cameraListChanged([" + changed.join(',') + "])",
                                     "getBackupInfoResp(true)"};
            row(tag, Page, "0", baseCard({"Revision", 6, "CamList", parsed("CamList", xml)}),
                changed.isEmpty() ? fired.mid(1) : fired, true,
                changed.isEmpty() ? QStringList {"X", "Y"} : changed);
        };
        const QVariantMap newer = baseCard({"Revision", 6, "Dir", "/new"});
        const QStringList failed {"getBackupInfoResp(false)"};
        row("a reply to an earlier request with another path is dropped", "old", "0", newer, {},
            false);
        row("result code 00 is a failure", Page, "00", newer, failed, false);
        row("an older revision is dropped", Page, "0", baseCard({"Dir", "/new", "Revision", 4}), {},
            false);
        row("the same revision with every property changed, all cameras as plain text", Page, "0",
            baseCard({"Enabled", "true", "TargetCyclic", "1", "Dir", "/b", "MaxThroughput",
                      "52428800", "MaxRange", "4320", "Mapping", parsed("Mapping", MondayFrame),
                      "CamList", parsed("CamList", "<Cam>__allcams__</Cam>")}),
            {"enabledChanged(true)", "targetCyclicChanged(true)", R"(targetDirChanged("/b"))",
             "maxThroughputMBChanged(50)", "maxRangeDayChanged(3)",
             "scheduleTemplateChanged(\"" + Monday + "\")", R"(scheduleNameChanged("Night"))",
             "hasAllCamerasChanged()", "cameraListChanged([])", "getBackupInfoResp(true)"},
            true, {});
        camRow("the loaded cameras, repeated", "gx:X gy:Y gx:X :Y", {});
        camRow("the loaded cameras and one more", "gx:X gy:Y gz:Z", {"X", "Y", "Z"});
        camRow("the first loaded camera only", "gx:X", {"X"});
        camRow("the all-cameras tag among others", ":__allcams__ gx:X", {"X"});
        camRow("a camera without a group, repeated with one", ":A g2:X g3:A", {"A", "X"});
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
        QVERIFY(send(Request::BackupInfo, Monday, QString("Nig") + QChar(1) + "ht", cams));
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
    // first; F and f failed; R refused by the host; L a load of the server's revision, directory
    // "/loaded"; ~ the replies held back so far, in sending order. The replies heard: S, B and L
    // for the update, whole update and load, + or - for the outcome. The plug-in never gets ahead
    // of the server, and one reload brings it level.
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
        row("a confirmation overtaken by a load", "sL", "L+ S+", 6, "/loaded");
        row("a whole update overtaken by a load", "bL", "L+ B+", 6, "/loaded");
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
            if (letter == 'L')
                load(baseCard({"Revision", stored, "Dir", "/loaded"}));
            else
                QCOMPARE(
                    send(letter.toUpper() == 'B' ? Request::BackupInfo : Request::Schedule, Monday),
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
        const auto row = &UnshownCases::row;
        row("an unrelated save passing the empty template", Request::BackupInfo, "Weeks", "", Weeks,
            {});
        row("an unrelated save passing an empty week", Request::BackupInfo, "Weeks",
            R"({"Rectangles":[]})", Weeks, {});
        row("rectangles that cover no day", Request::BackupInfo, "Weeks",
            R"({"Rectangles":[{"Top":1,"Bottom":2,"Left":3,"Right":3}]})", Weeks, {});
        row("a renamed schedule keeps its intervals", Request::BackupInfo, "Long\r<weeks>", "",
            QString(Weeks).replace("<Name>Weeks</Name>", "<Name>Long&#13;&lt;weeks&gt;</Name>"),
            {});
        row("a new schedule replaces it", Request::BackupInfo, "Night", Monday, MondayFrame,
            Monday);
        row("a schedule-only save without a schedule", Request::Schedule, "Weeks", "", Weeks, {});
        row("a schedule-only save with a schedule", Request::Schedule, "Night", Monday, MondayFrame,
            {});
    }
    void unshownScheduleKept()
    {
        const auto [request, name, document, sent, shown] = UnshownCases::fetch();
        load(baseCard({"Revision", 6, "Mapping", parsed("Mapping", Weeks)}));
        QCOMPARE(p->scheduleTemplate(), QString());
        QCOMPARE(p->scheduleName(), "Weeks");
        QVERIFY(send(request, document, name));
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
        QCOMPARE(send(Request::BackupInfo, p->scheduleTemplate(), p->scheduleName()),
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

QTEST_GUILESS_MAIN(tst_Plugin)
#include "tst_plugin.moc"
