#include "ScheduleTrees.h"

#include "FakeFramework.h"
#include "XML2Json.h"

#include <QtTest>

using namespace ScheduleTrees;

namespace {

// A week without a daylight-saving change; its Sunday anchors the general table.
const QDate kSunday(2026, 1, 4);
constexpr qint64 kWeekMs = 604800000;

const QVariantMap kMonday = interval(118800, 147600); // Monday 09:00 to 17:00
const QVariantMap kWednesdayNight = interval(338400, 345600); // Wednesday 22:00 to 24:00
const QVariantMap kThursdayEarly = interval(345600, 367200); // Thursday 00:00 to 06:00
const QVariantMap kFriday = interval(468000, 471600); // Friday 10:00 to 11:00

QDateTime at(int day, int hour, int minute, int second = 0, int ms = 0)
{
    return QDateTime(kSunday.addDays(day), QTime(hour, minute, second, ms));
}

QVariant schedule(const QVariantList& intervals)
{
    return mapping(entry(QStringLiteral("Backup"), intervals));
}

// The stored schedule after a confirmed update: the composed time-frame element, parsed.
QVariant composed(const char* page)
{
    const QString xml = plugin()->ComposeScheduleBackupMappingEleMsg(QStringLiteral("Backup"),
                                                                     QString::fromUtf8(page));
    return XML2Json().parse(xml);
}

qint64 weekStartMs(const QDate& sunday)
{
    return sunday.startOfDay().toMSecsSinceEpoch();
}

qint64 weekStartMsOf(const QDateTime& moment)
{
    const QDate date = moment.date();
    return weekStartMs(date.addDays(-(date.dayOfWeek() % 7)));
}

enum class Missing { Framework, ServerInfo, Answer, Method };

} // namespace

Q_DECLARE_METATYPE(Missing)

class NextBackupTimeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void nextWindowStart_data();
    void nextWindowStart();
    void weekStartsOnLocalSunday_data();
    void weekStartsOnLocalSunday();
    void argumentLessFormAsksForNow();
    void noTimestampGivesZero_data();
    void noTimestampGivesZero();

private:
    bool nextBackupTime(const QDateTime& date, qulonglong& result);

    FakeServerInfo m_serverInfo;
    FakeFramework m_framework;
};

bool NextBackupTimeTest::nextBackupTime(const QDateTime& date, qulonglong& result)
{
    return QMetaObject::invokeMethod(PluginLoading::instance(), "getNextBackupTime",
                                     Q_RETURN_ARG(qulonglong, result), Q_ARG(QDateTime, date));
}

void NextBackupTimeTest::initTestCase()
{
    QVERIFY(plugin());
    QCOMPARE(kSunday.dayOfWeek(), 7);
    // The daylight-saving rows only mean something when the zone really is in effect.
    const QByteArray zone = qgetenv("TZ");
    const qint64 springSunday
        = QDate(2026, 3, 29).startOfDay().secsTo(QDate(2026, 3, 30).startOfDay());
    if (zone == "Europe/Berlin")
        QCOMPARE(springSunday, 23 * 3600);
    else if (zone == "UTC")
        QCOMPARE(springSunday, 24 * 3600);
}

void NextBackupTimeTest::init()
{
    PluginLoading::resetInstance();
    m_serverInfo.answerEmpty = false;
    m_serverInfo.calls = 0;
    m_framework.serverInfo = &m_serverInfo;
    QVERIFY(plugin());
    plugin()->InitialPluginBase(nullptr, nullptr, &m_framework);
}

void NextBackupTimeTest::cleanupTestCase()
{
    PluginLoading::resetInstance();
}

void NextBackupTimeTest::nextWindowStart_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<qint64>("offset");

    const QVariant monday = schedule({kMonday});
    const QVariant night = schedule({kWednesdayNight, kThursdayEarly});
    QTest::newRow("monday window, asked sunday 08:00") << monday << at(0, 8, 0) << 118800000LL;
    QTest::newRow("asked a second before the start") << monday << at(1, 8, 59, 59) << 118800000LL;
    QTest::newRow("elapsed equals the start")
        << monday << at(1, 9, 0, 0, 400) << kWeekMs + 118800000;
    QTest::newRow("inside the window") << monday << at(1, 12, 0) << kWeekMs + 118800000;
    QTest::newRow("single interval map")
        << QVariant(mapping(entry(QStringLiteral("B"), kMonday))) << at(0, 8, 0) << 118800000LL;
    QTest::newRow("bounds as numbers")
        << schedule({QVariantMap {{QStringLiteral("@B"), 118800}, {QStringLiteral("@E"), 147600}}})
        << at(0, 8, 0) << 118800000LL;
    QTest::newRow("continuous night, asked tuesday") << night << at(2, 10, 0) << 338400000LL;
    QTest::newRow("thursday 00:00 is no start") << night << at(3, 23, 0) << kWeekMs + 338400000;
    QTest::newRow("plus friday") << schedule({kWednesdayNight, kThursdayEarly, kFriday})
                                 << at(3, 23, 0) << 468000000LL;
    QTest::newRow("plus friday, listed backwards")
        << schedule({kFriday, kThursdayEarly, kWednesdayNight}) << at(3, 23, 0) << 468000000LL;
    QTest::newRow("overlap without touching does not join")
        << schedule({kMonday, interval(140000, 160000)}) << at(1, 12, 0) << 140000000LL;
    QTest::newRow("no schedule") << QVariant() << at(3, 12, 0) << 0LL;
    QTest::newRow("empty Intervals")
        << QVariant(mapping(entry(QStringLiteral("B"), QString()))) << at(3, 12, 0) << 0LL;
    QTest::newRow("only B equal to E")
        << schedule({interval(118800, 118800), interval(200000, 200000)}) << at(0, 8, 0) << 0LL;
    QTest::newRow("equal starts") << schedule({kMonday, interval(118800, 122400)}) << at(0, 8, 0)
                                  << 118800000LL;
    // Sorted by start, then end: the longer interval precedes the one continuing it.
    QTest::newRow("equal starts, shorter listed first")
        << schedule({interval(118800, 122400), kMonday, interval(147600, 150000)}) << at(1, 12, 0)
        << kWeekMs + 118800000;
    QTest::newRow("equal starts, longer listed first")
        << schedule({interval(147600, 150000), kMonday, interval(118800, 122400)}) << at(1, 12, 0)
        << kWeekMs + 118800000;
    QTest::newRow("second time-frame entry read") << QVariant(mapping(
        QVariantList {entry(QStringLiteral("A"), kMonday), entry(QStringLiteral("B"), kFriday)}))
                                                  << at(2, 10, 0) << 468000000LL;
    QTest::newRow("entries sorted together") << QVariant(mapping(
        QVariantList {entry(QStringLiteral("A"), kFriday), entry(QStringLiteral("B"), kMonday)}))
                                             << at(0, 8, 0) << 118800000LL;
    QTest::newRow("several frames in one entry") << QVariant(mapping(QVariantMap {
        {QStringLiteral("Frame"),
         QVariantList {entry(QStringLiteral("A"), kMonday).value(QStringLiteral("Frame")),
                       entry(QStringLiteral("B"), kFriday).value(QStringLiteral("Frame"))}}}))
                                                 << at(2, 10, 0) << 468000000LL;
    QTest::newRow("end past 32 bits dropped")
        << schedule({interval(QStringLiteral("100000"), QStringLiteral("4294967296")), kMonday})
        << at(0, 8, 0) << 118800000LL;
    QTest::newRow("bounds wrapping into the week dropped")
        << schedule({interval(4295067296LL, 4295077296LL), kMonday}) << at(0, 8, 0) << 118800000LL;
    QTest::newRow("bounds below 32 bits dropped")
        << schedule({interval(-4294867296LL, -4294857296LL), kMonday}) << at(0, 8, 0)
        << 118800000LL;
    QTest::newRow("negative start never after the moment")
        << schedule({interval(-100, 100), kMonday}) << at(0, 8, 0) << 118800000LL;
    QTest::newRow("only a negative start")
        << schedule({interval(-100, 100)}) << at(0, 8, 0) << kWeekMs - 100000;
    QTest::newRow("start far beyond the week")
        << schedule({interval(2000000000, 2000000001)}) << at(0, 8, 0) << 2000000000000LL;
    QTest::newRow("end past 64 bits dropped") << schedule(
        {interval(QStringLiteral("100000"), QStringLiteral("99999999999999999999")), kMonday})
                                              << at(0, 8, 0) << 118800000LL;
    QTest::newRow("composed monday 9 to 17")
        << composed(R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":2}]})") << at(0, 8, 0)
        << 118800000LL;
    const QVariant composedNight = composed(R"({"Rectangles":[{"Top":22,"Bottom":24,"Left":3,
        "Right":4},{"Top":0,"Bottom":6,"Left":4,"Right":5}]})");
    QTest::newRow("composed night is one window")
        << composedNight << at(3, 23, 0) << kWeekMs + 338400000;
    QTest::newRow("composed three whole days are one window")
        << composed(R"({"Rectangles":[{"Top":0,"Bottom":24,"Left":1,"Right":4}]})") << at(1, 12, 0)
        << kWeekMs + 86400000;
    QTest::newRow("composed whole week, next sunday")
        << composed(R"({"Rectangles":[{"Top":0,"Bottom":24,"Left":0,"Right":7}]})") << at(3, 12, 0)
        << kWeekMs;
}

void NextBackupTimeTest::nextWindowStart()
{
    QFETCH(QVariant, stored);
    QFETCH(QDateTime, moment);
    QFETCH(qint64, offset);
    plugin()->setSchedule(stored);
    qulonglong result = 0;
    QVERIFY(nextBackupTime(moment, result));
    QCOMPARE(result, qulonglong(weekStartMs(kSunday) + offset));
    QCOMPARE(m_serverInfo.calls, 2);
}

void NextBackupTimeTest::weekStartsOnLocalSunday_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QDate>("sunday");

    const QDate spring(2026, 3, 29);
    const QDate autumn(2026, 10, 25);
    QTest::newRow("spring change sunday, afternoon") << QDateTime(spring, QTime(15, 0)) << spring;
    QTest::newRow("spring change sunday, before it") << QDateTime(spring, QTime(1, 30)) << spring;
    QTest::newRow("monday after spring change")
        << QDateTime(spring.addDays(1), QTime(0, 0)) << spring;
    QTest::newRow("saturday ending the spring week")
        << QDateTime(spring.addDays(6), QTime(23, 59, 59)) << spring;
    QTest::newRow("saturday before the spring change")
        << QDateTime(spring.addDays(-1), QTime(23, 59)) << spring.addDays(-7);
    QTest::newRow("autumn change sunday, repeated hour")
        << QDateTime(autumn, QTime(2, 30)) << autumn;
    QTest::newRow("wednesday after autumn change")
        << QDateTime(autumn.addDays(3), QTime(12, 0)) << autumn;
    QTest::newRow("saturday before the autumn change")
        << QDateTime(autumn.addDays(-1), QTime(22, 0)) << autumn.addDays(-7);
    QTest::newRow("plain week, monday 09:30")
        << QDateTime(QDate(2026, 1, 5), QTime(9, 30)) << QDate(2026, 1, 4);
    QTest::newRow("spring week, monday 09:30")
        << QDateTime(spring.addDays(1), QTime(9, 30)) << spring;
    QTest::newRow("autumn week, monday 08:30")
        << QDateTime(autumn.addDays(1), QTime(8, 30)) << autumn;
    QTest::newRow("week across new year")
        << QDateTime(QDate(2026, 1, 1), QTime(12, 0)) << QDate(2025, 12, 28);
}

void NextBackupTimeTest::weekStartsOnLocalSunday()
{
    QFETCH(QDateTime, moment);
    QFETCH(QDate, sunday);
    const qint64 weekStart = weekStartMs(sunday);
    qulonglong result = 0;
    plugin()->setSchedule(QVariant());
    QVERIFY(nextBackupTime(moment, result));
    QCOMPARE(result, qulonglong(weekStart));

    // Elapsed time is measured on the timestamp scale, so a clock change since Sunday midnight
    // moves the moment by an hour against the Monday 09:00 start.
    plugin()->setSchedule(schedule({kMonday}));
    const qint64 elapsed = (moment.toMSecsSinceEpoch() - weekStart) / 1000;
    QVERIFY(nextBackupTime(moment, result));
    QCOMPARE(result, qulonglong(weekStart + (elapsed < 118800 ? 0 : kWeekMs) + 118800000));
}

void NextBackupTimeTest::argumentLessFormAsksForNow()
{
    plugin()->setSchedule(QVariant());
    const qint64 before = weekStartMsOf(QDateTime::currentDateTime());
    qulonglong result = 0;
    QVERIFY(QMetaObject::invokeMethod(PluginLoading::instance(), "getNextBackupTime",
                                      Q_RETURN_ARG(qulonglong, result)));
    const qint64 after = weekStartMsOf(QDateTime::currentDateTime());
    QVERIFY2(result == qulonglong(before) || result == qulonglong(after),
             qPrintable(QString::number(result)));
    QCOMPARE(m_serverInfo.calls, 2);
}

void NextBackupTimeTest::noTimestampGivesZero_data()
{
    QTest::addColumn<Missing>("missing");

    QTest::newRow("no framework") << Missing::Framework;
    QTest::newRow("no server-info object") << Missing::ServerInfo;
    QTest::newRow("empty answer") << Missing::Answer;
    QTest::newRow("no getTimestamp method") << Missing::Method;
}

void NextBackupTimeTest::noTimestampGivesZero()
{
    QFETCH(Missing, missing);
    QObject withoutMethod;
    switch (missing) {
    case Missing::Framework:
        PluginLoading::resetInstance();
        break;
    case Missing::ServerInfo:
        m_framework.serverInfo = nullptr;
        break;
    case Missing::Answer:
        m_serverInfo.answerEmpty = true;
        break;
    case Missing::Method:
        m_framework.serverInfo = &withoutMethod;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("getTimestamp")));
        break;
    }
    plugin()->setSchedule(schedule({kMonday}));
    qulonglong result = 1;
    QVERIFY(nextBackupTime(at(0, 8, 0), result));
    QCOMPARE(result, 0ULL);
}

QTEST_GUILESS_MAIN(NextBackupTimeTest)
#include "tst_nextbackuptime.moc"
