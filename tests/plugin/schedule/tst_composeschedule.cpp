#include "ScheduleTrees.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

using ScheduleTrees::plugin;

namespace {

QString iv(qint64 b, qint64 e)
{
    return QStringLiteral("<Ele B=\"%1\" E=\"%2\" />").arg(b).arg(e);
}

// The time-frame element, assembled by concatenation so the expectation cannot share a
// substitution fault with the composer.
QString frame(const QString& name, const QString& intervals)
{
    return QStringLiteral("<Ele><Frame><Name>") + name
        + QStringLiteral("</Name><DLMod>Period</DLMod><RepeatMod>Weekly</RepeatMod><Intervals>")
        + intervals
        + QStringLiteral(
               "</Intervals><Holiday>false</Holiday><Range><Period>"
               "<TmS>2016-03-29 00:00:00.000</TmS><TmE>2035-01-01 00:00:00.000</TmE>"
               "</Period><End>false</End></Range><RepeatFreq>1</RepeatFreq></Frame></Ele>");
}

// Sunday to Saturday 0 to 24; only Saturday's end is pulled back by a minute.
QString fullWeek()
{
    QString result;
    for (qint64 day = 0; day < 6; ++day)
        result += iv(day * 86400, (day + 1) * 86400);
    return result + iv(518400, 604740);
}

const char* const kMonday = R"({"Rectangles":[{"Top":9.5,"Bottom":17,"Left":1,"Right":2}]})";

} // namespace

class ComposeScheduleTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void intervalArithmetic_data();
    void intervalArithmetic();
    void rectangleGivesOneIntervalPerDay_data();
    void rectangleGivesOneIntervalPerDay();
    void rectangleArrayReadsLikeQtJson_data();
    void rectangleArrayReadsLikeQtJson();
    void documentBecomesTimeFrame_data();
    void documentBecomesTimeFrame();
    void invalidDocumentGivesNullString_data();
    void invalidDocumentGivesNullString();
};

void ComposeScheduleTest::initTestCase()
{
    QVERIFY(plugin());
    QCOMPARE(frame(QStringLiteral("%1"), QStringLiteral("%2")).size(), 282);
}

void ComposeScheduleTest::intervalArithmetic_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("bottom");
    QTest::addColumn<qint64>("b");
    QTest::addColumn<qint64>("e");

    QTest::newRow("monday 9.25 to 17, no rounding") << 1 << 9.25 << 17.0 << 119700LL << 147600LL;
    QTest::newRow("sunday whole day ends next day") << 0 << 0.0 << 24.0 << 0LL << 86400LL;
    QTest::newRow("saturday whole day loses a minute") << 6 << 0.0 << 24.0 << 518400LL << 604740LL;
    QTest::newRow("saturday 22 to 24 loses a minute") << 6 << 22.0 << 24.0 << 597600LL << 604740LL;
    QTest::newRow("saturday to 23.5 unchanged") << 6 << 0.0 << 23.5 << 518400LL << 603000LL;
    QTest::newRow("saturday to 24.5 unchanged") << 6 << 0.0 << 24.5 << 518400LL << 606600LL;
    QTest::newRow("tuesday 22 to 24 unchanged") << 2 << 22.0 << 24.0 << 252000LL << 259200LL;
    QTest::newRow("friday whole day unchanged") << 5 << 0.0 << 24.0 << 432000LL << 518400LL;
    QTest::newRow("day 7 to 24 unchanged") << 7 << 0.0 << 24.0 << 604800LL << 691200LL;
    QTest::newRow("day 13 to 24 unchanged") << 13 << 0.0 << 24.0 << 1123200LL << 1209600LL;
    QTest::newRow("fractions truncated") << 1 << 9.99999 << 10.00001 << 122399LL << 122400LL;
    QTest::newRow("truncated toward zero") << 0 << -0.0001 << 0.0001 << 0LL << 0LL;
    QTest::newRow("negative day") << -1 << 0.0 << 24.0 << -86400LL << 0LL;
    QTest::newRow("top below bottom kept") << 1 << 17.0 << 9.0 << 147600LL << 118800LL;
    QTest::newRow("hours beyond the day") << 0 << 30.0 << 40.0 << 108000LL << 144000LL;
    QTest::newRow("last day fitting 32 bits")
        << 24855 << 0.0 << 3.0 << 2147472000LL << 2147482800LL;
}

void ComposeScheduleTest::intervalArithmetic()
{
    QFETCH(int, day);
    QFETCH(double, top);
    QFETCH(double, bottom);
    QFETCH(qint64, b);
    QFETCH(qint64, e);
    QCOMPARE(plugin()->ComposeIntervalMsg(day, top, bottom), iv(b, e));
}

void ComposeScheduleTest::rectangleGivesOneIntervalPerDay_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("bottom");
    QTest::addColumn<QString>("expected");

    QTest::newRow("single day") << 1 << 2 << 9.5 << 17.0 << iv(120600, 147600);
    QTest::newRow("three days in order")
        << 1 << 4 << 9.5 << 17.0 << iv(120600, 147600) + iv(207000, 234000) + iv(293400, 320400);
    QTest::newRow("friday and saturday to 24")
        << 5 << 7 << 12.0 << 24.0 << iv(475200, 518400) + iv(561600, 604740);
    QTest::newRow("whole week") << 0 << 7 << 0.0 << 24.0 << fullWeek();
    QTest::newRow("negative days")
        << -2 << 0 << 0.0 << 1.0 << iv(-172800, -169200) + iv(-86400, -82800);
    QTest::newRow("days after the week")
        << 7 << 9 << 0.0 << 24.0 << iv(604800, 691200) + iv(691200, 777600);
    QTest::newRow("left equal to right") << 3 << 3 << 0.0 << 24.0 << QString();
    QTest::newRow("left above right") << 5 << 2 << 0.0 << 24.0 << QString();
}

void ComposeScheduleTest::rectangleGivesOneIntervalPerDay()
{
    QFETCH(int, left);
    QFETCH(int, right);
    QFETCH(double, top);
    QFETCH(double, bottom);
    QFETCH(QString, expected);
    QCOMPARE(plugin()->ComposeIntervalsByRecangleMsg(left, right, top, bottom), expected);
}

void ComposeScheduleTest::rectangleArrayReadsLikeQtJson_data()
{
    QTest::addColumn<QByteArray>("array");
    QTest::addColumn<QString>("expected");

    QTest::newRow("array order kept") << QByteArray(R"([{"Top":9,"Bottom":10,"Left":3,"Right":4},
                          {"Top":1,"Bottom":2,"Left":0,"Right":1}])")
                                      << iv(291600, 295200) + iv(3600, 7200);
    QTest::newRow("overlaps not merged") << QByteArray(R"([{"Top":1,"Bottom":2,"Left":0,"Right":1},
                          {"Top":1,"Bottom":2,"Left":0,"Right":1}])")
                                         << iv(3600, 7200) + iv(3600, 7200);
    QTest::newRow("non-object elements give nothing")
        << QByteArray(R"([1,"x",null,true,[],{"Top":1,"Bottom":2,"Left":2,"Right":3}])")
        << iv(176400, 180000);
    QTest::newRow("Left 1.5 reads as 0")
        << QByteArray(R"([{"Top":1,"Bottom":2,"Left":1.5,"Right":1}])") << iv(3600, 7200);
    QTest::newRow("Left beyond int reads as 0")
        << QByteArray(R"([{"Top":0,"Bottom":1,"Left":3000000000,"Right":1}])") << iv(0, 3600);
    QTest::newRow("Left as text reads as 0")
        << QByteArray(R"([{"Top":1,"Bottom":2,"Left":"1","Right":1}])") << iv(3600, 7200);
    QTest::newRow("missing hours read as 0")
        << QByteArray(R"([{"Left":1,"Right":2}])") << iv(86400, 86400);
    QTest::newRow("other members ignored")
        << QByteArray(R"([{"Top":1,"Bottom":2,"Left":0,"Right":1,"Colour":"red"}])")
        << iv(3600, 7200);
    QTest::newRow("empty and inverted rectangles")
        << QByteArray(R"([{"Top":0,"Bottom":24,"Left":3,"Right":3},
                          {"Top":0,"Bottom":24,"Left":5,"Right":2}])")
        << QString();
    QTest::newRow("empty array") << QByteArray("[]") << QString();
}

void ComposeScheduleTest::rectangleArrayReadsLikeQtJson()
{
    QFETCH(QByteArray, array);
    QFETCH(QString, expected);
    const QJsonDocument parsed = QJsonDocument::fromJson(array);
    QVERIFY(parsed.isArray());
    QCOMPARE(plugin()->ComposeRetanglesIntervalMsg(parsed.array()), expected);
}

void ComposeScheduleTest::documentBecomesTimeFrame_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("expected");

    const QString monday = iv(120600, 147600);
    QTest::newRow("empty object") << QString() << "{}" << frame(QString(), QString());
    QTest::newRow("empty rectangle list") << "Daily"
                                          << R"({"Rectangles":[]})" << frame("Daily", QString());
    QTest::newRow("Rectangles an object")
        << "N"
        << R"({"Rectangles":{"Top":1,"Bottom":2,"Left":0,"Right":1}})" << frame("N", QString());
    QTest::newRow("Rectangles missing")
        << "N"
        << R"({"Rects":[{"Top":0,"Bottom":24,"Left":0,"Right":1}]})" << frame("N", QString());
    QTest::newRow("monday 9.5 to 17") << "Office" << kMonday << frame("Office", monday);
    QTest::newRow("whole week") << "All"
                                << R"({"Rectangles":[{"Top":0,"Bottom":24,"Left":0,"Right":7}]})"
                                << frame("All", fullWeek());
    QTest::newRow("ampersand and angle brackets escaped")
        << "A&B <night>" << kMonday << frame("A&amp;B &lt;night&gt;", monday);
    QTest::newRow("quotes and non-ASCII unchanged")
        << "Büro \"x\" 'y'" << kMonday << frame("Büro \"x\" 'y'", monday);
    QTest::newRow("placeholders in the name") << "%1 %2" << kMonday << frame("%1 %2", monday);
    QTest::newRow("%2 as name with two intervals")
        << "%2"
        << R"({"Rectangles":[{"Top":9.5,"Bottom":17,"Left":1,"Right":3}]})"
        << frame("%2", monday + iv(207000, 234000));
    QTest::newRow("localised and high placeholders")
        << "%L1 %99 100%" << kMonday << frame("%L1 %99 100%", monday);
    QTest::newRow("in-range day far outside the week")
        << "N"
        << R"({"Rectangles":[{"Top":0,"Bottom":3,"Left":24855,"Right":24856}]})"
        << frame("N", iv(2147472000, 2147482800));
    QTest::newRow("in-range negative day")
        << "N"
        << R"({"Rectangles":[{"Top":-3,"Bottom":1,"Left":-24855,"Right":-24854}]})"
        << frame("N", iv(-2147482800, -2147468400));
    QTest::newRow("hour just inside 32 bits")
        << "N"
        << R"({"Rectangles":[{"Top":596523,"Bottom":596523,"Left":0,"Right":1}]})"
        << frame("N", iv(2147482800, 2147482800));
}

void ComposeScheduleTest::documentBecomesTimeFrame()
{
    QFETCH(QString, name);
    QFETCH(QString, document);
    QFETCH(QString, expected);
    const QString result = plugin()->ComposeScheduleBackupMappingEleMsg(name, document);
    QVERIFY(!result.isNull());
    QCOMPARE(result, expected);
}

void ComposeScheduleTest::invalidDocumentGivesNullString_data()
{
    QTest::addColumn<QString>("document");

    QTest::newRow("array") << "[]";
    QTest::newRow("empty text") << "";
    QTest::newRow("not JSON") << "schedule";
    QTest::newRow("truncated object") << R"({"Rectangles":[)";
    QTest::newRow("JSON null") << "null";
    QTest::newRow("Left 100000")
        << R"({"Rectangles":[{"Top":0,"Bottom":1,"Left":100000,"Right":100001}]})";
    QTest::newRow("first day start past 32 bits")
        << R"({"Rectangles":[{"Top":0,"Bottom":0,"Left":24856,"Right":24857}]})";
    QTest::newRow("end past 32 bits on the last fitting day")
        << R"({"Rectangles":[{"Top":0,"Bottom":4,"Left":24855,"Right":24856}]})";
    QTest::newRow("start below 32 bits")
        << R"({"Rectangles":[{"Top":-3.25,"Bottom":0,"Left":-24855,"Right":-24854}]})";
    QTest::newRow("hour past 32 bits")
        << R"({"Rectangles":[{"Top":596524,"Bottom":596524,"Left":0,"Right":1}]})";
    QTest::newRow("Top 1e12") << R"({"Rectangles":[{"Top":1e12,"Bottom":1,"Left":1,"Right":2}]})";
    QTest::newRow("four billion days")
        << R"({"Rectangles":[{"Top":0,"Bottom":1,"Left":-2000000000,"Right":2000000000}]})";
    QTest::newRow("long rectangle running past 32 bits")
        << R"({"Rectangles":[{"Top":0,"Bottom":1,"Left":0,"Right":100000}]})";
    QTest::newRow("valid rectangle beside an invalid one")
        << R"({"Rectangles":[{"Top":9.5,"Bottom":17,"Left":1,"Right":2},
                             {"Top":0,"Bottom":1,"Left":100000,"Right":100001}]})";
}

void ComposeScheduleTest::invalidDocumentGivesNullString()
{
    QFETCH(QString, document);
    QVERIFY(
        plugin()->ComposeScheduleBackupMappingEleMsg(QStringLiteral("Night"), document).isNull());
}

QTEST_GUILESS_MAIN(ComposeScheduleTest)
#include "tst_composeschedule.moc"
