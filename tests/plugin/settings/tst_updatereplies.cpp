// Replies to the two update commands: a confirmed "UpdBkpTmcard" makes the sent values the page's
// settings, everything else leaves the page as it was.

#include "SettingsTestKit.h"

#include <QTest>

#include <limits>

using namespace SettingsTestKit;

namespace {

const QString Page = QStringLiteral("page");
// The schedule of baseCard() as the page reads it back.
const QString WednesdayDocument
    = QStringLiteral(R"({"Rectangles":[{"Top":10,"Bottom":11,"Left":3,"Right":4}]})");

// An update that repeats the settings of baseCard() with other cameras.
Update sameSettings(const QVariantList& cams)
{
    return {false, false, "/old", cams, "Old", WednesdayDocument, 10, 5};
}

} // namespace

class tst_UpdateReplies : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_host.start());
        QVERIFY(m_host.load(reply(baseCard()), Page));
    }
    void cleanup() { m_host.stop(); }

    void successAppliesSentValues();
    void successDerivesCamerasLikeALoad_data();
    void successDerivesCamerasLikeALoad();
    void limitsComeBackUnchanged_data();
    void limitsComeBackUnchanged();
    void failedOrForeignReplyChangesNothing_data();
    void failedOrForeignReplyChangesNothing();
    void replyWithoutContext_data();
    void replyWithoutContext();
    void scheduleReply_data();
    void scheduleReply();

private:
    qint64 revisionOfNextRequest()
    {
        if (!m_host.updateSchedule("probe", "{}", Page))
            return std::numeric_limits<qint64>::min();
        return m_host.argumentsOf(m_host.last()).value("Revision").toLongLong();
    }

    Host m_host;
};

void tst_UpdateReplies::successAppliesSentValues()
{
    QVariantMap state = m_host.snapshot();
    const QVariantList cams {pageCam("A", "g1"), pageCam("B", "g2")};
    QVERIFY(m_host.updateBackupInfo({true, true, "/new", cams, "Night", mondayDocument(), 50, 3},
                                    Page));
    SignalLog log(m_host.plugin);
    m_host.reply(m_host.last(), "0");

    QCOMPARE(
        log.names,
        (QStringList {"enabledChanged", "targetCyclicChanged", "targetDirChanged",
                      "scheduleNameChanged", "scheduleTemplateChanged", "maxThroughputMBChanged",
                      "maxRangeDayChanged", "cameraListChanged", "updBackupInfoResp(true)"}));

    const QVariantList groups {group("A", "g1"), group("B", "g2")};
    state.insert("enabled", true);
    state.insert("targetCyclic", true);
    state.insert("targetDir", "/new");
    state.insert("scheduleName", "Night");
    state.insert("scheduleTemplate", mondayDocument());
    state.insert("maxThroughputMB", 50);
    state.insert("maxRangeDay", 3);
    state.insert("cameraList", QStringList {"A", "B"});
    state.insert("camGroupMapList", groups);
    state.insert("revision", qint64(6));
    QVariantMap actual = m_host.snapshot();
    const QVariant schedule = actual.take("schedule");
    state.remove("schedule");
    const QString diff = difference(actual, state);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    // The stored schedule is the sent time frame in the tree form of a loaded Mapping.
    QCOMPARE(m_host.plugin->ConvertScheduleContent(schedule), mondayDocument());
    QCOMPARE(m_host.plugin->GetFirstTimeframeNameFromTimecard({{"Mapping", schedule}}),
             QStringLiteral("Night"));
    const QDateTime sunday(QDate(2024, 6, 2), QTime(8, 0));
    qulonglong next = 0;
    QVERIFY(QMetaObject::invokeMethod(m_host.plugin, "getNextBackupTime",
                                      Q_RETURN_ARG(qulonglong, next), Q_ARG(QDateTime, sunday)));
    QCOMPARE(
        next,
        qulonglong(QDateTime(sunday.date(), QTime(0, 0)).toMSecsSinceEpoch() + 120600 * 1000LL));

    // The next request carries the confirmed settings and the raised revision.
    QVERIFY(m_host.updateSchedule("Night", mondayDocument(), Page));
    const QString requestDiff
        = difference(m_host.argumentsOf(m_host.last()),
                     updateArguments(6, 77, "Card", true, true, "/new", groups,
                                     frameMessage("Night", mondayInterval()), "Night",
                                     mondayDocument(), 52428800, 4320));
    QVERIFY2(requestDiff.isEmpty(), qPrintable(requestDiff));
}

void tst_UpdateReplies::successDerivesCamerasLikeALoad_data()
{
    QTest::addColumn<QVariant>("loadedCams");
    QTest::addColumn<QVariantList>("cams");
    QTest::addColumn<bool>("all");
    QTest::addColumn<QStringList>("cameras");
    QTest::addColumn<QVariantList>("groups");

    const QVariant loadedXY = baseCard()["CamList"].toMap()["Cam"];
    const QVariant loadedAll = cam("__allcams__", "");
    const QVariantMap all = pageCam("__allcams__", "");
    const QVariantMap allGroup = group("__allcams__", "");

    QTest::newRow("all cameras saved")
        << loadedXY << QVariantList {all} << true << QStringList() << QVariantList {allGroup};
    QTest::newRow("all cameras kept")
        << loadedAll << QVariantList {all} << true << QStringList() << QVariantList {allGroup};
    QTest::newRow("all cameras to A, B")
        << loadedAll << QVariantList {pageCam("A", "g1"), pageCam("B", "g2")} << false
        << QStringList {"A", "B"} << QVariantList {group("A", "g1"), group("B", "g2")};
    QTest::newRow("A, B, A") << loadedXY
                             << QVariantList {pageCam("A", "g1"), pageCam("B", "g2"),
                                              pageCam("A", "g3")}
                             << false << QStringList {"A", "B"}
                             << QVariantList {group("A", "g1"), group("B", "g2"), group("A", "g3")};
    QTest::newRow("A, all cameras, B")
        << loadedXY << QVariantList {pageCam("A", "g1"), all, pageCam("B", "g2")} << false
        << QStringList {"A", "B"} << QVariantList {group("A", "g1"), allGroup, group("B", "g2")};
    QTest::newRow("all cameras twice") << loadedAll << QVariantList {all, all} << false
                                       << QStringList() << QVariantList {allGroup, allGroup};
    QTest::newRow("no cameras after all cameras")
        << loadedAll << QVariantList() << false << QStringList() << QVariantList();
    QTest::newRow("same cameras") << loadedXY
                                  << QVariantList {pageCam("X", "gx"), pageCam("Y", "gy")} << false
                                  << QStringList {"X", "Y"}
                                  << QVariantList {group("X", "gx"), group("Y", "gy")};
}

void tst_UpdateReplies::successDerivesCamerasLikeALoad()
{
    QFETCH(QVariant, loadedCams);
    QFETCH(QVariantList, cams);
    QFETCH(bool, all);
    QFETCH(QStringList, cameras);
    QFETCH(QVariantList, groups);

    QVERIFY(
        m_host.load(reply(with(baseCard(), "CamList", QVariantMap {{"Cam", loadedCams}})), Page));
    const bool allBefore = m_host.plugin->property("hasAllCameras").toBool();
    const QStringList camerasBefore = m_host.plugin->property("cameraList").toStringList();

    QVERIFY(m_host.updateBackupInfo(sameSettings(cams), Page));
    SignalLog log(m_host.plugin);
    m_host.reply(m_host.last(), "0");

    QCOMPARE(m_host.plugin->property("hasAllCameras").toBool(), all);
    QCOMPARE(m_host.plugin->property("cameraList").toStringList(), cameras);
    QCOMPARE(m_host.plugin->camGroupMapList(), groups);
    QStringList expected;
    if (cameras != camerasBefore)
        expected << "cameraListChanged";
    if (all != allBefore)
        expected << "hasAllCamerasChanged";
    QCOMPARE(log.names, expected << "updBackupInfoResp(true)");
}

void tst_UpdateReplies::limitsComeBackUnchanged_data()
{
    QTest::addColumn<int>("mb");
    QTest::addColumn<int>("days");

    constexpr int intMax = std::numeric_limits<int>::max();
    QTest::newRow("50 MB, 3 days") << 50 << 3;
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("2048 MB") << 2048 << 5;
    QTest::newRow("4096 MB, day count beyond an int of minutes") << 4096 << 1491309;
    QTest::newRow("largest") << intMax << intMax;
    QTest::newRow("negative") << -2049 << -1;
}

void tst_UpdateReplies::limitsComeBackUnchanged()
{
    QFETCH(int, mb);
    QFETCH(int, days);

    Update update = sameSettings({pageCam("X", "gx"), pageCam("Y", "gy")});
    update.mb = mb;
    update.days = days;
    QVERIFY(m_host.updateBackupInfo(update, Page));
    SignalLog log(m_host.plugin);
    m_host.reply(m_host.last(), "0");

    QCOMPARE(m_host.plugin->property("maxThroughputMB").toInt(), mb);
    QCOMPARE(m_host.plugin->property("maxRangeDay").toInt(), days);
    QStringList expected;
    if (mb != 10)
        expected << "maxThroughputMBChanged";
    if (days != 5)
        expected << "maxRangeDayChanged";
    QCOMPARE(log.names, expected << "updBackupInfoResp(true)");
}

void tst_UpdateReplies::failedOrForeignReplyChangesNothing_data()
{
    QTest::addColumn<QString>("relayPath");
    QTest::addColumn<QString>("resultCode");
    QTest::addColumn<QStringList>("expected");

    const QStringList failed {"updBackupInfoResp(false)"};
    QTest::newRow("result code 1") << Page << "1" << failed;
    QTest::newRow("result code empty") << Page << "" << failed;
    QTest::newRow("result code 00") << Page << "00" << failed;
    QTest::newRow("other path, success") << "other"
                                         << "0" << QStringList();
    QTest::newRow("other path, failure") << "other"
                                         << "1" << QStringList();
    QTest::newRow("empty path") << ""
                                << "0" << QStringList();
}

void tst_UpdateReplies::failedOrForeignReplyChangesNothing()
{
    QFETCH(QString, relayPath);
    QFETCH(QString, resultCode);
    QFETCH(QStringList, expected);

    const QVariantMap state = m_host.snapshot();
    QVERIFY(m_host.updateBackupInfo(
        {true, true, "/new", {pageCam("A", "g")}, "Night", mondayDocument(), 50, 3}, relayPath));
    SignalLog log(m_host.plugin);
    // The plug-in gets the context back and must release it on this path too.
    m_host.reply(m_host.last(), resultCode);

    QCOMPARE(log.names, expected);
    const QString diff = difference(m_host.snapshot(), state);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(revisionOfNextRequest(), qint64(5));
}

void tst_UpdateReplies::replyWithoutContext_data()
{
    QTest::addColumn<QString>("relayPath");
    QTest::addColumn<QString>("resultCode");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("success") << Page << "0" << QStringList {"updBackupInfoResp(false)"};
    QTest::newRow("failure") << Page << "1" << QStringList {"updBackupInfoResp(false)"};
    QTest::newRow("other path") << "other"
                                << "0" << QStringList();
}

void tst_UpdateReplies::replyWithoutContext()
{
    QFETCH(QString, relayPath);
    QFETCH(QString, resultCode);
    QFETCH(QStringList, expected);

    const QVariantMap state = m_host.snapshot();
    SignalLog log(m_host.plugin);
    m_host.plugin->CommandProcessor("UpdBkpTmcard", QVariant(), nullptr, resultCode, QString(),
                                    false, relayPath);

    QCOMPARE(log.names, expected);
    const QString diff = difference(m_host.snapshot(), state);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void tst_UpdateReplies::scheduleReply_data()
{
    QTest::addColumn<QString>("relayPath");
    QTest::addColumn<QString>("resultCode");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<qint64>("revision");

    QTest::newRow("success") << Page << "0" << QStringList {"updateScheduleResp(true)"}
                             << qint64(6);
    QTest::newRow("failure") << Page << "1" << QStringList {"updateScheduleResp(false)"}
                             << qint64(5);
    QTest::newRow("other path, success") << "other"
                                         << "0" << QStringList() << qint64(5);
    QTest::newRow("other path, failure") << "other"
                                         << "1" << QStringList() << qint64(5);
}

void tst_UpdateReplies::scheduleReply()
{
    QFETCH(QString, relayPath);
    QFETCH(QString, resultCode);
    QFETCH(QStringList, expected);
    QFETCH(qint64, revision);

    QVariantMap state = m_host.snapshot();
    // The confirmed schedule differs from the stored one, which still does not change.
    QVERIFY(m_host.updateSchedule("Night", mondayDocument(), relayPath));
    SignalLog log(m_host.plugin);
    m_host.reply(m_host.last(), resultCode);

    QCOMPARE(log.names, expected);
    state.insert("revision", revision);
    const QString diff = difference(m_host.snapshot(), state);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(revisionOfNextRequest(), revision);
}

QTEST_GUILESS_MAIN(tst_UpdateReplies)
#include "tst_updatereplies.moc"
