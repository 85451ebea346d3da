#include "ScheduleTrees.h"

#include <QJsonValue>
#include <QtTest>

using namespace ScheduleTrees;

namespace {

const QVariantMap kMonday = interval(120600, 147600); // Monday 09:30 to 17:00
const QVariantMap kFriday = interval(468000, 471600); // Friday 10:00 to 11:00
const QVariantMap kInverted = interval(172800, 86400); // ends on the day before it starts

QVariant jsonNull()
{
    return QJsonValue(QJsonValue::Null).toVariant();
}

} // namespace

class ReadScheduleTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void repeatedElementReadsAsList_data();
    void repeatedElementReadsAsList();
    void firstTimeframeName_data();
    void firstTimeframeName();
    void intervalBecomesDayRectangles_data();
    void intervalBecomesDayRectangles();
    void mappingBecomesDocument_data();
    void mappingBecomesDocument();
};

void ReadScheduleTest::initTestCase()
{
    QVERIFY(plugin());
}

void ReadScheduleTest::repeatedElementReadsAsList_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariantList>("expected");

    QTest::newRow("invalid") << QVariant() << QVariantList();
    QTest::newRow("JSON null") << jsonNull() << QVariantList();
    QTest::newRow("list of maps") << QVariant(QVariantList {kMonday, kFriday})
                                  << QVariantList {kMonday, kFriday};
    QTest::newRow("single map") << QVariant(kMonday) << QVariantList {kMonday};
    QTest::newRow("string stays whole")
        << QVariant(QStringLiteral("Weekly")) << QVariantList {QStringLiteral("Weekly")};
    QTest::newRow("empty text") << QVariant(QStringLiteral(""))
                                << QVariantList {QStringLiteral("")};
    QTest::newRow("number") << QVariant(42) << QVariantList {42};
    QTest::newRow("empty list") << QVariant(QVariantList())
                                << QVariantList {QVariant(QVariantList())};
}

void ReadScheduleTest::repeatedElementReadsAsList()
{
    QFETCH(QVariant, value);
    QFETCH(QVariantList, expected);
    QCOMPARE(plugin()->transContentAsList(value), expected);
}

void ReadScheduleTest::firstTimeframeName_data()
{
    QTest::addColumn<QVariantMap>("timecard");
    QTest::addColumn<QString>("expected");

    const QString key = QStringLiteral("Mapping");
    QTest::newRow("no Mapping") << QVariantMap() << QString();
    QTest::newRow("Mapping without Ele") << QVariantMap {{key, QVariantMap()}} << QString();
    QTest::newRow("Mapping as text") << QVariantMap {{key, QStringLiteral("x")}} << QString();
    QTest::newRow("Ele an empty list") << QVariantMap {{key, mapping(QVariantList())}} << QString();
    QTest::newRow("entry without Frame")
        << QVariantMap {{key, mapping(QVariantMap {{QStringLiteral("Other"), 1}})}} << QString();
    QTest::newRow("single entry")
        << QVariantMap {{key, mapping(entry(QStringLiteral("Office"), kMonday))}}
        << QStringLiteral("Office");
    QTest::newRow("first of two entries")
        << QVariantMap {{key,
                         mapping(QVariantList {entry(QStringLiteral("First"), kMonday),
                                               entry(QStringLiteral("Second"), kFriday)})}}
        << QStringLiteral("First");
}

void ReadScheduleTest::firstTimeframeName()
{
    QFETCH(QVariantMap, timecard);
    QFETCH(QString, expected);
    QCOMPARE(plugin()->GetFirstTimeframeNameFromTimecard(timecard), expected);
}

void ReadScheduleTest::intervalBecomesDayRectangles_data()
{
    QTest::addColumn<QVariant>("interval");
    QTest::addColumn<QString>("expected");

    auto row = [](const char* name, qint64 b, qint64 e, const QStringList& rects) {
        QTest::newRow(name) << QVariant(interval(b, e)) << rects.join(QLatin1Char(','));
    };
    row("monday 09:30 to 17:00", 120600, 147600, {rect("9.5", "17", 1)});
    row("saturday as composed", 518400, 604740, {rect("0", "24", 6)});
    row("xx:14:59 keeps the hour, xx:44:59 the half", 119699, 121499, {rect("9", "9.5", 1)});
    row("xx:15:00 gives the half, xx:45:00 the next hour", 119700, 121500, {rect("9.5", "10", 1)});
    row("23:45 snaps to 24", 86400, 171900, {rect("0", "24", 1)});
    row("half hours after midnight", 1800, 44100, {rect("0.5", "12.5", 0)});
    row("B equal to E", 118800, 118800, {rect("9", "9", 1)});
    row("end earlier the same day", 147600, 118800, {rect("17", "9", 1)});
    row("monday 22:00 to wednesday 06:00", 165600, 280800,
        {rect("22", "24", 1), rect("0", "24", 2), rect("0", "6", 3)});
    row("end on an earlier day", 172800, 86400, {});
    row("sunday until midnight", 0, 86400, {rect("0", "24", 0)});
    row("saturday until midnight", 518400, 604800, {rect("0", "24", 6)});
    row("monday 22:00 until wednesday midnight", 165600, 259200,
        {rect("22", "24", 1), rect("0", "24", 2)});
    row("ends 00:10 next day", 165600, 173400, {rect("22", "24", 1)});
    row("ends 00:20 next day", 165600, 174000, {rect("22", "24", 1), rect("0", "0.5", 2)});
    row("B and E both 0", 0, 0, {rect("0", "0", 0)});
    row("next week's sunday", 604800, 608400, {rect("0", "1", 7)});
    row("largest 32-bit bound", 2147483647, 2147483647, {rect("3", "3", 24855)});
    row("E past 32 bits", 0, 4294967296LL, {});
    row("B and E past 32 bits", 2147483648LL, 2147483648LL, {});
    row("both bounds wrap into the week", 4295067296LL, 4295077296LL, {});

    QTest::newRow("E past 64 bits")
        << QVariant(interval(QStringLiteral("0"), QStringLiteral("99999999999999999999")))
        << QString();
    QTest::newRow("missing E") << QVariant(
        QVariantMap {{QStringLiteral("@B"), QStringLiteral("86400")}})
                               << QString();
    QTest::newRow("missing bounds") << QVariant(QVariantMap()) << rect("0", "0", 0);
    QTest::newRow("a list reads as an empty map")
        << QVariant(QVariantList {kMonday}) << rect("0", "0", 0);
    QTest::newRow("bounds as numbers") << QVariant(
        QVariantMap {{QStringLiteral("@B"), 120600}, {QStringLiteral("@E"), qulonglong(147600)}})
                                       << rect("9.5", "17", 1);
}

void ReadScheduleTest::intervalBecomesDayRectangles()
{
    QFETCH(QVariant, interval);
    QFETCH(QString, expected);
    QCOMPARE(plugin()->ConvertScheduleElement(interval), expected);
}

void ReadScheduleTest::mappingBecomesDocument_data()
{
    QTest::addColumn<QVariant>("mapping");
    QTest::addColumn<QString>("expected");

    const QString name = QStringLiteral("Backup");
    const QString monday = rect("9.5", "17", 1);
    const QString friday = rect("10", "11", 5);
    const QVariantMap noIntervals {
        {QStringLiteral("Frame"), QVariantMap {{QStringLiteral("Name"), name}}}};

    QTest::newRow("invalid") << QVariant() << QString();
    QTest::newRow("JSON null") << jsonNull() << QString();
    QTest::newRow("no Ele") << QVariant(QVariantMap()) << QString();
    QTest::newRow("entry without intervals") << QVariant(mapping(noIntervals)) << QString();
    QTest::newRow("empty Intervals element") << QVariant(mapping(QVariantMap {
        {QStringLiteral("Frame"),
         QVariantMap {{QStringLiteral("Name"), name}, {QStringLiteral("Intervals"), QString()}}}}))
                                             << QString();
    QTest::newRow("single interval map")
        << QVariant(mapping(entry(name, kMonday)))
        << R"({"Rectangles":[{"Top":9.5,"Bottom":17,"Left":1,"Right":2}]})";
    QTest::newRow("single interval in a list")
        << QVariant(mapping(entry(name, QVariantList {kMonday}))) << document({monday});
    QTest::newRow("order kept, not sorted")
        << QVariant(mapping(entry(name, QVariantList {kFriday, kMonday})))
        << document({friday, monday});
    QTest::newRow("skipped interval between two")
        << QVariant(mapping(entry(name, QVariantList {kMonday, kInverted, kFriday})))
        << document({monday, friday});
    QTest::newRow("skipped first interval")
        << QVariant(mapping(entry(name, QVariantList {kInverted, kFriday}))) << document({friday});
    QTest::newRow("only interval inverted")
        << QVariant(mapping(entry(name, kInverted))) << R"({"Rectangles":[]})";
    QTest::newRow("only interval past 32 bits")
        << QVariant(mapping(entry(name, interval(0, 4294967296LL)))) << R"({"Rectangles":[]})";
    QTest::newRow("interval over three days")
        << QVariant(mapping(entry(name, interval(165600, 280800))))
        << document({rect("22", "24", 1), rect("0", "24", 2), rect("0", "6", 3)});
    QTest::newRow("sunday until midnight")
        << QVariant(mapping(entry(name, interval(0, 86400)))) << document({rect("0", "24", 0)});
    QTest::newRow("two entries, first first")
        << QVariant(mapping(QVariantList {entry(name, kFriday), entry(name, kMonday)}))
        << document({friday, monday});
    QTest::newRow("entry without intervals, then one with")
        << QVariant(mapping(QVariantList {noIntervals, entry(name, kMonday)}))
        << document({monday});
}

void ReadScheduleTest::mappingBecomesDocument()
{
    QFETCH(QVariant, mapping);
    QFETCH(QString, expected);
    QCOMPARE(plugin()->ConvertScheduleContent(mapping), expected);
}

QTEST_GUILESS_MAIN(ReadScheduleTest)
#include "tst_readschedule.moc"
