// The two update requests: their argument maps and value types, the context that travels with
// "UpdBkpTmcard", and what happens when nothing can be sent. Requests never change the page.

#include "SettingsTestKit.h"

#include <QTest>

#include <limits>

using namespace SettingsTestKit;

namespace {

const QString BackupInfo = QStringLiteral("updateBackupInfo");
const QString Schedule = QStringLiteral("updateSchedule");

} // namespace

class tst_UpdateRequests : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { m_host.stop(); }

    void backupInfoRequest_data();
    void backupInfoRequest();
    void scheduleRequest_data();
    void scheduleRequest();
    void limitsInBytesAndMinutes_data();
    void limitsInBytesAndMinutes();
    void scheduleDocuments_data();
    void scheduleDocuments();
    void refusedSends_data();
    void refusedSends();

private:
    bool send(const QString& command, const QString& name, const QString& document,
              const QString& relayPath = QString())
    {
        if (command == Schedule)
            return m_host.updateSchedule(name, document, relayPath);
        return m_host.updateBackupInfo({true, false, "/b", {}, name, document, 30, 2}, relayPath);
    }

    Host m_host;
};

void tst_UpdateRequests::backupInfoRequest_data()
{
    QTest::addColumn<QVariantList>("cams");
    QTest::addColumn<QVariantList>("groups");

    QTest::newRow("no cameras") << QVariantList() << QVariantList();
    QTest::newRow("two cameras") << QVariantList {pageCam("A", "g1"), pageCam("B", "g2")}
                                 << QVariantList {group("A", "g1"), group("B", "g2")};
    QTest::newRow("element that is not a map")
        << QVariantList {QString("A"), 7} << QVariantList {group("", ""), group("", "")};
    QTest::newRow("numeric group")
        << QVariantList {pageCam("A", 42)} << QVariantList {group("A", "42")};
    QTest::newRow("missing group")
        << QVariantList {QVariantMap {{"Name", "A"}}} << QVariantList {group("A", "")};
    QTest::newRow("duplicates stay in order")
        << QVariantList {pageCam("B", "g"), pageCam("A", "g"), pageCam("B", "h")}
        << QVariantList {group("B", "g"), group("A", "g"), group("B", "h")};
    QTest::newRow("all-cameras tag passes through")
        << QVariantList {pageCam("__allcams__", ""), pageCam("A", "g")}
        << QVariantList {group("__allcams__", ""), group("A", "g")};
}

void tst_UpdateRequests::backupInfoRequest()
{
    QFETCH(QVariantList, cams);
    QFETCH(QVariantList, groups);

    QVERIFY(m_host.start());
    QVERIFY(m_host.load(reply(baseCard()), "page"));
    const QVariantMap state = m_host.snapshot();
    SignalLog log(m_host.plugin);

    // The relay path of the update is the caller's; the page's stays as it was.
    QVERIFY(m_host.updateBackupInfo(
        {true, true, "/mnt/new", cams, "Night", mondayDocument(), 30, 2}, "other"));

    QCOMPARE(m_host.last(), 1);
    const FakeFramework::SentCommand& sent = m_host.framework->sent.at(1);
    QCOMPARE(sent.command, QStringLiteral("UpdBkpTmcard"));
    QCOMPARE(sent.pluginId, m_host.plugin->pluginId);
    QCOMPARE(sent.hostData, static_cast<void*>(&m_host.hostData));
    QCOMPARE(sent.flag, 0);
    QCOMPARE(sent.relayPath, QStringLiteral("other"));
    QCOMPARE(sent.arguments.metaType(), QMetaType::fromType<QVariantMap>());

    const QVariantMap expected = updateArguments(
        5, 77, "Card", true, true, "/mnt/new", groups, frameMessage("Night", mondayInterval()),
        "Night", mondayDocument(), QVariant(31457280), QVariant(2880));
    QString diff = difference(sent.arguments.toMap(), expected);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    // The context is a separate map on the heap holding the same entries as the argument.
    QVERIFY(sent.context);
    diff = difference(*static_cast<const QVariantMap*>(sent.context), expected);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QVERIFY(m_host.updateBackupInfo({}));
    QVERIFY(m_host.framework->sent.at(2).context != sent.context);

    QVERIFY(log.names.isEmpty());
    diff = difference(m_host.snapshot(), state);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void tst_UpdateRequests::scheduleRequest_data()
{
    QTest::addColumn<QVariant>("loaded");
    QTest::addColumn<QVariantMap>("expected");

    const QString frame = frameMessage("Night", mondayInterval());
    QTest::newRow("before any load") << QVariant()
                                     << updateArguments(-1, -1, "", false, false, "", {}, frame,
                                                        "Night", mondayDocument(), 31457280, 2880);
    QTest::newRow("after a load") << xmlReply(
        "<Revision>12</Revision><TmcardID>4</TmcardID><Name>Card</Name>"
        "<Enabled>true</Enabled><TargetCyclic>true</TargetCyclic><Dir>/d</Dir>"
        "<MaxThroughput>104857600</MaxThroughput><MaxRange>10080</MaxRange>"
        "<CamList><Cam GrpID=\"g1\">A</Cam><Cam>__allcams__</Cam>"
        "<Cam GrpID=\"g2\">B</Cam></CamList>")
                                  << updateArguments(12, 4, "Card", true, true, "/d",
                                                     {group("A", "g1"), allCamerasEntry()}, frame,
                                                     "Night", mondayDocument(), 104857600, 10080);
}

void tst_UpdateRequests::scheduleRequest()
{
    QFETCH(QVariant, loaded);
    QFETCH(QVariantMap, expected);

    QVERIFY(m_host.start());
    if (loaded.isValid())
        QVERIFY(m_host.load(loaded, "page"));
    const QVariantMap state = m_host.snapshot();
    SignalLog log(m_host.plugin);

    // The schedule sent is the one passed in, not the loaded one.
    QVERIFY(m_host.updateSchedule("Night", mondayDocument(), "other"));

    const FakeFramework::SentCommand& sent = m_host.framework->sent.last();
    QCOMPARE(sent.command, QStringLiteral("UpdSchedule"));
    QCOMPARE(sent.pluginId, m_host.plugin->pluginId);
    QCOMPARE(sent.hostData, static_cast<void*>(&m_host.hostData));
    QCOMPARE(sent.context, nullptr);
    QCOMPARE(sent.flag, 0);
    QCOMPARE(sent.relayPath, QStringLiteral("other"));
    QString diff = difference(sent.arguments.toMap(), expected);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    // It sends the stored camera-group list as it is.
    QCOMPARE(sent.arguments.toMap().value("CamGroupList").toList(),
             m_host.plugin->camGroupMapList());

    QVERIFY(log.names.isEmpty());
    diff = difference(m_host.snapshot(), state);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void tst_UpdateRequests::limitsInBytesAndMinutes_data()
{
    QTest::addColumn<int>("mb");
    QTest::addColumn<int>("days");
    QTest::addColumn<QVariant>("throughput");
    QTest::addColumn<QVariant>("range");

    constexpr int intMax = std::numeric_limits<int>::max();
    QTest::newRow("30 MB, 2 days") << 30 << 2 << QVariant(31457280) << QVariant(2880);
    QTest::newRow("zero") << 0 << 0 << QVariant(0) << QVariant(0);
    QTest::newRow("largest that fit an int")
        << 2047 << 1491308 << QVariant(2146435072) << QVariant(2147483520);
    // Beyond an int the entry widens to 64 bits instead of wrapping.
    QTest::newRow("2048 MB and first day count beyond int")
        << 2048 << 1491309 << QVariant(qint64(2147483648)) << QVariant(qint64(2147484960));
    QTest::newRow("largest arguments") << intMax << intMax << QVariant(qint64(intMax) * 1048576)
                                       << QVariant(qint64(intMax) * 1440);
    QTest::newRow("negative that fit an int")
        << -2048 << -1 << QVariant(std::numeric_limits<int>::min()) << QVariant(-1440);
    QTest::newRow("negative beyond int")
        << -2049 << -1491309 << QVariant(qint64(-2148532224)) << QVariant(qint64(-2147484960));
}

void tst_UpdateRequests::limitsInBytesAndMinutes()
{
    QFETCH(int, mb);
    QFETCH(int, days);
    QFETCH(QVariant, throughput);
    QFETCH(QVariant, range);

    QVERIFY(m_host.start());
    QVERIFY(m_host.updateBackupInfo({false, false, "", {}, "", "{}", mb, days}));
    // updateSchedule takes the limits from the page, here loaded from the same byte and minute
    // values.
    QVERIFY(m_host.load(reply({{"Revision", 1},
                               {"MaxThroughput", qint64(mb) * 1048576},
                               {"MaxRange", qint64(days) * 1440}})));
    QCOMPARE(m_host.plugin->property("maxThroughputMB").toInt(), mb);
    QCOMPARE(m_host.plugin->property("maxRangeDay").toInt(), days);
    QVERIFY(m_host.updateSchedule("", "{}"));

    for (int index : {0, m_host.last()}) {
        const QVariantMap arguments = m_host.argumentsOf(index);
        QCOMPARE(arguments.value("MaxThroughput").metaType(), throughput.metaType());
        QCOMPARE(arguments.value("MaxThroughput"), throughput);
        QCOMPARE(arguments.value("MaxRange").metaType(), range.metaType());
        QCOMPARE(arguments.value("MaxRange"), range);
    }
}

void tst_UpdateRequests::scheduleDocuments_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<QString>("message");

    for (const QString& command : {BackupInfo, Schedule}) {
        const auto row = [&](const char* name) {
            return &(QTest::newRow(qPrintable(command + ": " + QLatin1String(name))) << command);
        };
        *row("one rectangle") << mondayDocument() << true << frameMessage("N", mondayInterval());
        *row("no rectangles") << "{}" << true << frameMessage("N", "");
        // An empty document is what the page reads back for a time-card without intervals.
        *row("empty document") << "" << true << "";
        // A document that cannot be read must not wipe the stored schedule.
        *row("array") << "[]" << false << "";
        *row("not JSON") << "Monday 9 to 5" << false << "";
        *row("truncated") << R"({"Rectangles":[)" << false << "";
    }
}

void tst_UpdateRequests::scheduleDocuments()
{
    QFETCH(QString, command);
    QFETCH(QString, document);
    QFETCH(bool, sent);
    QFETCH(QString, message);

    QVERIFY(m_host.start());
    QVERIFY(m_host.load(reply(baseCard())));
    const QVariantMap state = m_host.snapshot();
    SignalLog log(m_host.plugin);

    QCOMPARE(send(command, "N", document), sent);

    QCOMPARE(m_host.framework->sent.size(), sent ? 2 : 1);
    if (sent) {
        const QVariantMap arguments = m_host.argumentsOf(1);
        QCOMPARE(arguments.value("TimeFrameMessage").metaType(), QMetaType::fromType<QString>());
        QCOMPARE(arguments.value("TimeFrameMessage").toString(), message);
        QCOMPARE(arguments.value("TmFrameJson").toString(), document);
    }
    QVERIFY(log.names.isEmpty());
    const QString diff = difference(m_host.snapshot(), state);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void tst_UpdateRequests::refusedSends_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("withFramework");

    QTest::newRow("updateBackupInfo, no framework") << BackupInfo << false;
    QTest::newRow("updateBackupInfo, refused") << BackupInfo << true;
    QTest::newRow("updateSchedule, no framework") << Schedule << false;
    QTest::newRow("updateSchedule, refused") << Schedule << true;
}

void tst_UpdateRequests::refusedSends()
{
    QFETCH(QString, command);
    QFETCH(bool, withFramework);

    QVERIFY(m_host.start(withFramework));
    m_host.framework->accept = false;
    const QVariantMap state = m_host.snapshot();
    SignalLog log(m_host.plugin);

    // A refused context stays with the plug-in, which must release it itself.
    QVERIFY(!send(command, "N", mondayDocument()));

    QCOMPARE(m_host.framework->sent.size(), withFramework ? 1 : 0);
    QVERIFY(log.names.isEmpty());
    const QString diff = difference(m_host.snapshot(), state);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

QTEST_GUILESS_MAIN(tst_UpdateRequests)
#include "tst_updaterequests.moc"
