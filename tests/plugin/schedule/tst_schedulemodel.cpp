// The schedule model: the page's rectangles to time-frame XML and back, and the next backup start.
// Run in UTC and in a zone with daylight saving, since the week starts at local Sunday midnight.

#include "FakeFramework.h"
#include "PluginLoading.h"
#include "PluginScheduleBackup.h"
#include "XML2Json.h"

#include <QTimeZone>
#include <QtTest>

namespace {

const auto plugin = [] { return qobject_cast<PluginScheduleBackup*>(PluginLoading::instance()); };
// Attribute values arrive as text in a reply tree.
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
const auto mapping = [](const QVariant& entries) { return QVariantMap {{"Ele", entries}}; };
const auto sched
    = [](const QVariant& intervals) { return QVariant(mapping(entry("Backup", intervals))); };
// One entry whose Frame element is repeated, each frame holding the given intervals.
const auto repeatedFrame = [](const QVariant& first, const QVariant& second) {
    return QVariant(mapping(QVariantMap {
        {"Frame", QVariantList {entry("A", first)["Frame"], entry("B", second)["Frame"]}}}));
};
// A single-day rectangle; the hours are given exactly as they must appear in the text.
const auto rect = [](const char* top, const char* bottom, int left) {
    return QStringLiteral("{\"Top\":%1,\"Bottom\":%2,\"Left\":%3,\"Right\":%4}")
        .arg(QLatin1String(top), QLatin1String(bottom))
        .arg(left)
        .arg(left + 1);
};
const auto box = [](double top, double bottom, int left, int right) {
    return QStringLiteral(R"({"Top":%1,"Bottom":%2,"Left":%3,"Right":%4})")
        .arg(top, 0, 'g', 12)
        .arg(bottom, 0, 'g', 12)
        .arg(left)
        .arg(right);
};
const auto doc
    = [](const QStringList& rects) { return "{\"Rectangles\":[" + rects.join(',') + "]}"; };

// The time-frame element, built by concatenation so that it cannot share a substitution fault
// with the composer.
QString frame(const QString& name, const QString& intervals)
{
    return "<Ele><Frame><Name>" + name
        + "</Name><DLMod>Period</DLMod><RepeatMod>Weekly</RepeatMod><Intervals>" + intervals
        + "</Intervals><Holiday>false</Holiday><Range><Period><TmS>2016-03-29 00:00:00.000</TmS>"
          "<TmE>2035-01-01 00:00:00.000</TmE></Period><End>false</End></Range>"
          "<RepeatFreq>1</RepeatFreq></Frame></Ele>";
}

const QDate kSunday(2026, 1, 4); // a week without a clock change
constexpr qint64 kWeekMs = 604800000;
const QVariantMap kMonday = iv(118800, 147600); // 09:00 to 17:00
const QVariantMap kWedNight = iv(338400, 345600); // 22:00 to 24:00
const QVariantMap kThuEarly = iv(345600, 367200); // 00:00 to 06:00
const QVariantMap kFriday = iv(468000, 471600); // 10:00 to 11:00
const QVariantMap kInverted = iv(172800, 86400); // ends on the day before it starts
const auto at = [](int day, int hour) { return QDateTime(kSunday.addDays(day), QTime(hour, 0)); };

} // namespace

class tst_ScheduleModel : public QObject
{
    Q_OBJECT

    FakeServerInfo m_serverInfo;
    FakeFramework m_framework;

private Q_SLOTS:

    void initTestCase()
    {
        // The daylight-saving rows only mean something when the zone is really in effect.
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
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("intervals"); // null: the document is rejected

        auto row = [](const char* tag, const QString& rects, const QString& xml,
                      const QString& name = "N", const QString& written = "N") {
            QTest::newRow(tag) << name << "{\"Rectangles\":[" + rects + "]}" << written << xml;
        };
        row("friday and saturday to 24, only saturday loses a minute", box(12, 24, 5, 7),
            ivXml(475200, 518400) + ivXml(561600, 604740));
        row("saturday to 23.5 unchanged", box(0, 23.5, 6, 7), ivXml(518400, 603000));
        row("a later saturday to 24 unchanged", box(0, 24, 13, 14), ivXml(1123200, 1209600));
        row("fractions of a second truncated", box(9.99999, 10.00001, 1, 2), ivXml(122399, 122400));
        row("array order kept, overlaps not merged",
            box(9, 10, 3, 4) + ',' + box(1, 2, 0, 1) + ',' + box(1, 2, 0, 1),
            ivXml(291600, 295200) + ivXml(3600, 7200) + ivXml(3600, 7200));
        row("non-object elements give nothing", R"(1,"x",null,[],)" + box(1, 2, 2, 3),
            ivXml(176400, 180000));
        row("empty and inverted rectangles", box(0, 24, 3, 3) + ',' + box(0, 24, 5, 2), "");
        row("last day fitting 32 bits", box(0, 3, 24855, 24856), ivXml(2147472000, 2147482800));
        row("negative day fitting 32 bits", box(-3, 1, -24855, -24854),
            ivXml(-2147482800, -2147468400));
        row("markup escaped, quotes and umlauts kept", box(9.5, 17, 1, 2), ivXml(120600, 147600),
            "A&B <night> \"ü\"", "A&amp;B &lt;night&gt; \"ü\"");
        row("placeholders in the name", box(9.5, 17, 1, 3),
            ivXml(120600, 147600) + ivXml(207000, 234000), "%2 %1 %L1 100%", "%2 %1 %L1 100%");
        // XML 1.0 cannot carry these at all; the rest of the name survives.
        const QString monday = ivXml(120600, 147600);
        row("controls other than tab, line feed and carriage return dropped", box(9.5, 17, 1, 2),
            monday,
            QString("a") + QChar(0) + "b" + QChar(1) + "c" + QChar(8) + "d" + QChar(0xB) + "e"
                + QChar(0xC) + "f" + QChar(0x1F) + "g\th\ni\rj",
            "abcdefg\th\ni\rj");
        row("U+FFFE and U+FFFF dropped", box(9.5, 17, 1, 2), monday,
            QString("x") + QChar(0xFFFE) + "y" + QChar(0xFFFF) + "z", "xyz");
        const QString smiley = QString(QChar(0xD83D)) + QChar(0xDE00);
        row("unpaired surrogates dropped, a pair kept", box(9.5, 17, 1, 2), monday,
            QString("a") + QChar(0xD800) + "b" + QChar(0xDC00) + "c" + smiley + QChar(0xDE00)
                + QChar(0xD83D),
            "abc" + smiley);
        row("markup escaped around a dropped control", box(9.5, 17, 1, 2), monday,
            QString("<") + QChar(1) + "&>", "&lt;&amp;&gt;");

        // The densest week the page can draw: every half-hour cell a rectangle of its own.
        QStringList cells;
        QString cellsXml;
        for (int day = 0; day < 7; ++day) {
            for (int half = 0; half < 48; ++half) {
                cells << box(half / 2.0, (half + 1) / 2.0, day, day + 1);
                const qint64 start = day * 86400 + half * 1800;
                cellsXml += ivXml(start, start + 1800 - (day == 6 && half == 47 ? 60 : 0));
            }
        }
        row("336 half-hour cells go out", cells.join(','), cellsXml);
        // Zero-height rectangles give one interval per day: 31 characters from day 12 to 115 and
        // 29 from day 2 to 11, so 33811 and 15 of them make exactly 1 MiB.
        const auto zeroHeight = [](qint64 left, qint64 right) {
            QString xml;
            for (qint64 day = left; day < right; ++day)
                xml += ivXml(day * 86400, day * 86400);
            return xml;
        };
        QStringList mebibyte(325, box(0, 0, 12, 116));
        mebibyte << box(0, 0, 12, 23) << box(0, 0, 2, 12) << box(0, 0, 2, 7);
        const QString mebibyteXml = zeroHeight(12, 116).repeated(325) + zeroHeight(12, 23)
            + zeroHeight(2, 12) + zeroHeight(2, 7);
        QCOMPARE(mebibyteXml.size(), 1 << 20);
        row("exactly 1 MiB of intervals goes out", mebibyte.join(','), mebibyteXml);
        // The same with one 29-character interval replaced by a 30-character one.
        QStringList overByOne = mebibyte;
        overByOne.last() = box(0, 0, 2, 6);
        overByOne << box(0, 14, 11, 12);
        row("one character beyond 1 MiB", overByOne.join(','), {});

        // Rejected: null instead of a time frame.
        for (const char* text : {"[]", "", "schedule"})
            QTest::newRow(qPrintable(QStringLiteral("not an object: '%1'").arg(text)))
                << "N" << text << "N" << QString();
        row("Left 100000", box(0, 1, 100000, 100001), {});
        row("end past 32 bits on the last day", box(0, 4, 24855, 24856), {});
        row("start below 32 bits", box(-3.25, 0, -24855, -24854), {});
        row("Top 1e12", box(1e12, 1, 1, 2), {});
        row("four billion days", box(0, 1, -2000000000, 2000000000), {});
        row("long rectangle running past 32 bits", box(0, 1, 0, 100000), {});
        row("valid rectangle beside an invalid one",
            box(9.5, 17, 1, 2) + ',' + box(0, 1, 100000, 100001), {});
        // Every day of the widest rectangle the 32-bit checks let through: 49710 intervals.
        row("widest rectangle", box(0, 1, -24855, 24855), {});
        row("200 widest rectangles", QStringList(200, box(0, 1, -24855, 24855)).join(','), {});
    }

    void compose()
    {
        QFETCH(QString, name);
        QFETCH(QString, document);
        QFETCH(QString, written);
        QFETCH(QString, intervals);
        const QString result = plugin()->ComposeScheduleBackupMappingEleMsg(name, document);
        QCOMPARE(result, intervals.isNull() ? QString() : frame(written, intervals));
        QCOMPARE(result.isNull(), intervals.isNull());
    }

    void readBack_data()
    {
        QTest::addColumn<QVariant>("mapping");
        QTest::addColumn<QString>("expected");

        const QString monday = rect("9", "17", 1);
        const QString friday = rect("10", "11", 5);
        auto row = [](const char* tag, const QVariant& intervals, const QStringList& rects) {
            QTest::newRow(tag) << sched(intervals) << doc(rects);
        };
        row("monday 09:30 to 17:00, a single map", iv(120600, 147600), {rect("9.5", "17", 1)});
        row("14:59 and 44:59 snap down", iv(119699, 121499), {rect("9", "9.5", 1)});
        row("15:00 and 45:00 snap up", iv(119700, 121500), {rect("9.5", "10", 1)});
        row("monday 22:00 to wednesday 06:00", iv(165600, 280800),
            {rect("22", "24", 1), rect("0", "24", 2), rect("0", "6", 3)});
        row("sunday until midnight", iv(0, 86400), {rect("0", "24", 0)});
        row("saturday until midnight", iv(518400, 604800), {rect("0", "24", 6)});
        row("ends 00:10 next day", iv(165600, 173400), {rect("22", "24", 1)});
        row("ends 00:20 next day", iv(165600, 174000), {rect("22", "24", 1), rect("0", "0.5", 2)});
        row("B and E both 0", iv(0, 0), {rect("0", "0", 0)});
        row("skipped interval between two", QVariantList {kMonday, kInverted, kFriday},
            {monday, friday});
        row("skipped first interval", QVariantList {kInverted, kFriday}, {friday});
        row("only interval skipped", kInverted, {});
        row("largest 32-bit bound", iv(2147483647, 2147483647), {rect("3", "3", 24855)});
        row("bounds outside 32 bits contribute nothing",
            QVariantList {iv(0, 4294967296LL), iv(4295067296LL, 4295077296LL),
                          iv("0", "99999999999999999999"), iv("-99999999999", "147600"), kFriday},
            {friday});
        // Digits of other scripts are no number to the conversion: such a bound reads as 0.
        row("non-ASCII digits read as 0", iv(QString::fromUtf8("\uFF11\uFF12"), "147600"),
            {rect("0", "24", 0), rect("0", "17", 1)});
        QTest::newRow("two entries, first first")
            << QVariant(mapping(QVariantList {entry("A", kFriday), entry("B", kMonday)}))
            << doc({friday, monday});
        // The page has only ever shown a Frame that stands alone in its entry.
        QTest::newRow("repeated Frame element shows nothing")
            << repeatedFrame(kFriday, kMonday) << QString();
        QTest::newRow("entry without intervals")
            << QVariant(mapping(QVariantMap {{"Frame", QVariantMap {{"Name", "A"}}}})) << QString();
        QTest::newRow("no schedule") << QVariant() << QString();
    }

    void readBack()
    {
        QFETCH(QVariant, mapping);
        QFETCH(QString, expected);
        QCOMPARE(plugin()->ConvertScheduleContent(mapping), expected);
    }

    void stringReadsAsListOfOne()
    {
        // Qt would split a string into its characters.
        QCOMPARE(plugin()->transContentAsList(QStringLiteral("Weekly")), QVariantList {"Weekly"});
        QCOMPARE(plugin()->transContentAsList(QVariant()), QVariantList());
        // A host may build repeated elements as a typed list.
        const QVariantMap cam {{"#text", "A"}};
        QCOMPARE(plugin()->transContentAsList(QVariant::fromValue(QList<QVariantMap> {cam, cam})),
                 (QVariantList {cam, cam}));
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("expected");

        // The page's rectangle from day `left` to `right` reads back as one rectangle per day.
        auto row = [](const char* tag, const QString& name, const char* top, const char* bottom,
                      int left, int right) {
            QStringList days;
            for (int day = left; day < right; ++day)
                days << rect(top, bottom, day);
            const QString page = QStringLiteral(R"({"Top":%1,"Bottom":%2,"Left":%3,"Right":%4})");
            QTest::newRow(tag) << name << doc({page.arg(top, bottom).arg(left).arg(right)})
                               << doc(days);
        };
        row("rectangle over three days", "Office", "8", "12.5", 1, 4);
        row("whole week", "All", "0", "24", 0, 7);
        QTest::newRow("quarter hours snap, name with markup and placeholders")
            << "Night & <w> %1%2" << doc({R"({"Top":9.25,"Bottom":9.75,"Left":3,"Right":4})"})
            << doc({rect("9.5", "10", 3)});
    }

    void roundTrip()
    {
        QFETCH(QString, name);
        QFETCH(QString, page);
        QFETCH(QString, expected);
        const QString xml = plugin()->ComposeScheduleBackupMappingEleMsg(name, page);
        const QVariant parsed = XML2Json().parse(xml);
        QVERIFY2(parsed.isValid(), qPrintable(xml));
        // The stored schedule is the time-card's "Mapping", which holds the entry under "Ele".
        const QVariantMap stored = mapping(parsed.toMap().value("Ele"));
        QCOMPARE(plugin()->ConvertScheduleContent(stored), expected);
        QCOMPARE(plugin()->GetFirstTimeframeNameFromTimecard({{"Mapping", stored}}), name);
    }

    void nextBackup_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QDate>("sunday");
        QTest::addColumn<qint64>("offset");

        const QVariant monday = sched(kMonday);
        const QVariant night = sched(QVariantList {kWedNight, kThuEarly});
        auto row = [](const char* tag, const QVariant& stored, const QDateTime& moment,
                      qint64 offset, const QDate& sunday = kSunday) {
            QTest::newRow(tag) << stored << moment << sunday << offset;
        };
        row("monday window, asked sunday", monday, at(0, 8), 118800000);
        row("asked at the start", monday, at(1, 9), kWeekMs + 118800000);
        row("continuous night, asked tuesday", night, at(2, 10), 338400000);
        row("thursday 00:00 continues the night", night, at(3, 23), kWeekMs + 338400000);
        // Sorted by start, then end: the longer interval precedes the one continuing it.
        row("equal starts, shorter listed first",
            sched(QVariantList {iv(118800, 122400), kMonday, iv(147600, 150000)}), at(1, 12),
            kWeekMs + 118800000);
        row("equal starts, longer listed first",
            sched(QVariantList {iv(147600, 150000), kMonday, iv(118800, 122400)}), at(1, 12),
            kWeekMs + 118800000);
        row("second time-frame entry read",
            mapping(QVariantList {entry("A", kMonday), entry("B", kFriday)}), at(2, 10), 468000000);
        row("repeated Frame element read", repeatedFrame(kMonday, kFriday), at(2, 10), 468000000);
        row("bounds outside 32 bits dropped",
            sched(QVariantList {iv(4295067296LL, 4295077296LL),
                                iv("100000", "99999999999999999999"), kMonday}),
            at(0, 8), 118800000);
        row("negative start never after the moment", sched(QVariantList {iv(-100, 100), kMonday}),
            at(0, 8), 118800000);
        row("start far beyond the week", sched(iv(2000000000, 2000000001)), at(0, 8),
            2000000000000LL);
        row("composed night is one window",
            XML2Json().parse(plugin()->ComposeScheduleBackupMappingEleMsg(
                "B", "{\"Rectangles\":[" + box(22, 24, 3, 4) + ',' + box(0, 6, 4, 5) + "]}")),
            at(3, 23), kWeekMs + 338400000);

        // Given in another zone, a moment on the Sunday can lie half a second before the local
        // week start; it is then the start of this week that comes next.
        const QDateTime justBefore(kSunday, QTime(0, 0, 0, 500),
                                   QTimeZone(kSunday.startOfDay().offsetFromUtc() + 1));
        row("half a second before the week start", sched(iv(0, 3600)), justBefore, 0);

        const QDate spring(2026, 3, 29);
        const QDate autumn(2026, 10, 25);
        row("spring change sunday, afternoon", {}, QDateTime(spring, QTime(15, 0)), 0, spring);
        row("saturday before the spring change", {}, QDateTime(spring.addDays(-1), QTime(23, 59)),
            0, spring.addDays(-7));
        row("autumn change sunday, repeated hour", {}, QDateTime(autumn, QTime(2, 30)), 0, autumn);
        // Elapsed time is taken on the timestamp scale: after the spring change, Monday 09:30 lies
        // before the Monday 09:00 start.
        const QDateTime moment(spring.addDays(1), QTime(9, 30));
        const qint64 elapsed = spring.startOfDay().secsTo(moment);
        row("spring week, monday 09:30", monday, moment,
            (elapsed < 118800 ? 0 : kWeekMs) + 118800000, spring);
    }

    void nextBackup()
    {
        QFETCH(QVariant, stored);
        QFETCH(QDateTime, moment);
        QFETCH(QDate, sunday);
        QFETCH(qint64, offset);
        plugin()->setSchedule(stored);
        QCOMPARE(plugin()->getNextBackupTime(moment),
                 qulonglong(sunday.startOfDay().toMSecsSinceEpoch() + offset));
        QCOMPARE(m_serverInfo.calls, 2);
    }

    void argumentLessFormAsksForNow()
    {
        // Without a schedule the answer is the start of the current week.
        const QDate today = QDate::currentDate();
        const QDate sunday = today.addDays(-(today.dayOfWeek() % 7));
        const qulonglong result = plugin()->getNextBackupTime();
        if (QDate::currentDate() == today)
            QCOMPARE(result, qulonglong(sunday.startOfDay().toMSecsSinceEpoch()));
        QCOMPARE(m_serverInfo.calls, 2);
    }

    void nextBackupWithoutTimestamp_data()
    {
        QTest::addColumn<bool>("frameworkPresent");
        QTest::addColumn<QObject*>("serverInfo");
        QTest::addColumn<bool>("answerEmpty");
        QTest::newRow("no framework") << false << static_cast<QObject*>(&m_serverInfo) << false;
        QTest::newRow("no server-info object") << true << static_cast<QObject*>(nullptr) << false;
        QTest::newRow("empty answer") << true << static_cast<QObject*>(&m_serverInfo) << true;
    }

    void nextBackupWithoutTimestamp()
    {
        QFETCH(bool, frameworkPresent);
        QFETCH(QObject*, serverInfo);
        QFETCH(bool, answerEmpty);
        PluginLoading::resetInstance();
        plugin()->InitialPluginBase(nullptr, nullptr, frameworkPresent ? &m_framework : nullptr);
        m_framework.serverInfo = serverInfo;
        m_serverInfo.answerEmpty = answerEmpty;
        plugin()->setSchedule(sched(kMonday));
        QCOMPARE(plugin()->getNextBackupTime(at(0, 8)), 0ULL);
    }

    void nextBackupWithoutTimestampMethod()
    {
        QObject withoutMethod;
        m_framework.serverInfo = &withoutMethod;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("getTimestamp"));
        plugin()->setSchedule(sched(kMonday));
        QCOMPARE(plugin()->getNextBackupTime(at(0, 8)), 0ULL);
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleModel)
#include "tst_schedulemodel.moc"
