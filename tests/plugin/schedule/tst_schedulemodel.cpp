// SPDX-License-Identifier: BSD-3-Clause
// The schedule model: the page's rectangles to time-frame XML and back, and the next backup start.
// Run in UTC and in a zone with daylight saving, since the week starts at local Sunday midnight.

#include "FakeFramework.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"
#include "ScheduleDocuments.h"
#include "Table.h"

#include <QTimeZone>
#include <QtTest>

namespace {

using namespace ScheduleDocuments;
const auto plugin = [] { return qobject_cast<PluginScheduleBackup*>(PluginLoading::instance()); };
// An interval as a reply tree holds it, in text.
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

} // namespace

class tst_ScheduleModel : public QObject
{
    Q_OBJECT

    FakeServerInfo m_serverInfo;
    FakeFramework m_framework;
    // The name, the document, the name as written and the intervals (null: the document is
    // refused).
    using ComposeCases = Table<QString, QString, QString, QString>;
    using ReadCases = Table<QVariant, QString>; // the mapping, the document shown
    // The stored mapping, the moment asked, the Sunday and the offset from it of the answer, and
    // the source of a timestamp that is missing (the answer is then 0).
    using NextCases = Table<QVariant, QDateTime, QDate, qint64, QString>;

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
        m_serverInfo.answerEmpty = false;
        m_serverInfo.calls = 0;
        m_framework.serverInfo = &m_serverInfo;
        QVERIFY(plugin());
        plugin()->InitialPluginBase(nullptr, nullptr, &m_framework);
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
        row("Saturday to 23:30 and a later Saturday to 24:00 keep their end",
            doc({box(0, 23.5, 6, 7), box(0, 24, 13, 14)}),
            ivXml(518400, 603000) + ivXml(1123200, 1209600));
        const QString monday = doc({box(9.5, 17, 1, 2)});
        const QString mondayXml = ivXml(120600, 147600);
        row("markup in the name escaped, placeholders kept", monday, mondayXml,
            R"(A&B <night> "ü" %2 %1)", R"(A&amp;B &lt;night&gt; "ü" %2 %1)");
        // XML 1.0 cannot carry these at all; the rest of the name survives. A parser would read
        // a literal carriage return as a line feed.
        const QString smiley = QString(QChar(0xD83D)) + QChar(0xDE00);
        row("characters XML cannot carry dropped from the name, a carriage return referenced",
            monday, mondayXml,
            QString("a") + QChar(0) + "b" + QChar(0x1F) + " \t\n\r" + QChar(0xFFFE) + QChar(0xFFFF)
                + QChar(0xD800) + "c" + QChar(0xDC00) + smiley + QChar(0xDE00) + "d"
                + QChar(0xD83D),
            "ab \t\n&#13;c" + smiley + "d");
        row("exactly 1 MiB of intervals goes out", doc(QStringList(32768, kCellBox)),
            ivXml(9997200, 10000800).repeated(32768));
        row("one interval beyond 1 MiB is refused", doc(QStringList(32769, kCellBox)), {});
        row("an array is refused", "[]", {});
        row("a valid rectangle before a refused one is refused too",
            doc({box(9.5, 17, 1, 2), box(0, 4, 24855, 24856)}), {});
    }
    void compose()
    {
        const auto [name, document, written, intervals] = ComposeCases::fetch();
        const QString result = plugin()->ComposeScheduleBackupMappingEleMsg(name, document);
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
        row("Monday 22:00 to Wednesday 06:00 gives a rectangle a day", iv(165600, 280800),
            {box(22, 24, 1, 2), box(0, 24, 2, 3), box(0, 6, 3, 4)});
        row("a negative start reads as Sunday 00:00", iv(-3600, 3600), {box(0, 1, 0, 1)});
        row("the end of the week is Saturday 24:00", iv(518400, 604800), {box(0, 24, 6, 7)});
        row("unreadable intervals skipped without a gap",
            QVariantList {kInverted, kMonday, kInverted, kFriday},
            {box(9, 17, 1, 2), box(10, 11, 5, 6)});
        // The second bound is -(2^64 + 5): read digit by digit in 64 bits it would wrap to -5.
        row("bounds outside 32 bits skipped",
            QVariantList {iv(0, 2147483648LL), iv("-18446744073709551621", "147600"), kFriday},
            {box(10, 11, 5, 6)});
        ReadCases::row("entries in document order",
                       mapping(QVariantList {entry("A", kFriday), entry("B", kMonday)}),
                       doc({box(10, 11, 5, 6), box(9, 17, 1, 2)}));
        // The page has only ever shown a Frame that stands alone in its entry.
        ReadCases::row("a repeated Frame element shows nothing", repeatedFrame(kFriday, kMonday),
                       {});
        ReadCases::row("no schedule shows nothing", {}, {});
        row("rectangles composing to exactly 1 MiB are shown", QVariantList(32768, kCell),
            QStringList(32768, kCellBox));
        // Day 200, 17:00 to 18:00 composes to 33 characters.
        ReadCases::row("one character beyond 1 MiB shows nothing",
                       sched(QVariantList(32767, kCell) << iv(17341200, 17344800)), {});
        // A whole week reads back as seven rectangles composing to 196 characters: 5,349 fit.
        ReadCases::row("5,350 whole weeks show nothing", sched(QVariantList(5350, iv(0, 604800))),
                       {});
        ReadCases::row("a thousand intervals of 68 years show nothing",
                       sched(QVariantList(1000, iv(0, 2147483647))), {});
    }
    void readBack()
    {
        const auto [mapping, expected] = ReadCases::fetch();
        const QString shown = plugin()->ConvertScheduleContent(mapping);
        QCOMPARE(shown, expected);
        QCOMPARE(shown.isNull(), expected.isNull());
        if (!shown.isNull())
            QVERIFY(!plugin()->ComposeScheduleBackupMappingEleMsg("N", shown).isNull());
    }

    void nextBackup_data()
    {
        NextCases::columns();
        auto row = [](const char* tag, const QVariant& stored, const QDateTime& moment,
                      qint64 offset, const QDate& sunday = kSunday, const QString& missing = {}) {
            NextCases::row(tag, stored, moment, sunday, offset, missing);
        };
        row("the Monday window, asked on Sunday", sched(kMonday), at(0, 8), 118800000);
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
        row("a repeated Frame element read", repeatedFrame(kMonday, kFriday), at(2, 10), 468000000);
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
        plugin()->setSchedule(stored);
        m_serverInfo.answerEmpty = missing == "timestamp";
        if (missing == "server info")
            m_framework.serverInfo = nullptr;
        if (missing == "framework")
            plugin()->framework = nullptr;
        QCOMPARE(plugin()->getNextBackupTime(moment),
                 missing.isEmpty() ? qulonglong(sunday.startOfDay().toMSecsSinceEpoch() + offset)
                                   : 0);
        QCOMPARE(m_serverInfo.calls, missing.isEmpty() ? 2 : missing == "timestamp");
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleModel)
#include "tst_schedulemodel.moc"
