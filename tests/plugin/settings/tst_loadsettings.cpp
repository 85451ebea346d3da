// Loading the backup time-card: which replies are taken, the order of the change signals, the
// limits, the cameras and the schedule.

#include "SettingsTestKit.h"

#include <QTest>

#include <limits>

using namespace SettingsTestKit;

namespace {

const QString Page = QStringLiteral("page");

QString fullCardXml(const QString& camList)
{
    return QStringLiteral("<Revision>3</Revision><TmcardID>9</TmcardID><Name>Card</Name>"
                          "<Enabled>true</Enabled><TargetCyclic>1</TargetCyclic><Dir>/mnt/b</Dir>"
                          "<MaxThroughput>52428800</MaxThroughput><MaxRange>4320</MaxRange>"
                          "<Mapping><Ele><Frame><Name>Work</Name><Intervals>"
                          "<Ele B=\"120600\" E=\"147600\"/></Intervals></Frame></Ele></Mapping>"
                          "%1")
        .arg(camList);
}

const QString AllCamerasXml
    = QStringLiteral("<CamList><Cam GrpID=\"\">__allcams__</Cam></CamList>");

} // namespace

class tst_LoadSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(m_host.start()); }
    void cleanup() { m_host.stop(); }

    void recorderSeesEverySignal();
    void gatesInOrder_data();
    void gatesInOrder();
    void changeSignalsInOrder_data();
    void changeSignalsInOrder();
    void recordStoredBeforeItsSignals();
    void limits_data();
    void limits();
    void cameras_data();
    void cameras();
    void scheduleFromMapping_data();
    void scheduleFromMapping();

private:
    Host m_host;
};

void tst_LoadSettings::recorderSeesEverySignal()
{
    const QMetaObject* meta = m_host.plugin->metaObject();
    int signalCount = 0;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
        signalCount += meta->method(i).methodType() == QMetaMethod::Signal;
    QCOMPARE(SignalLog(m_host.plugin).watchedSignals(), signalCount);
}

void tst_LoadSettings::gatesInOrder_data()
{
    QTest::addColumn<QString>("replyPath");
    QTest::addColumn<QString>("resultCode");
    QTest::addColumn<QVariant>("result");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<qint64>("revision");

    const QVariant newer = reply(with(with(baseCard(), "Revision", 6), "Dir", "/new"));
    const QStringList none;
    const QStringList failed {"getBackupInfoResp(false)"};
    const QStringList loaded {"getBackupInfoResp(true)"};

    // A reply to an earlier request with another path is dropped before anything else is looked at.
    QTest::newRow("other path, success") << "old"
                                         << "0" << newer << none << qint64(5);
    QTest::newRow("other path, failure code") << "old"
                                              << "1" << newer << none << qint64(5);
    QTest::newRow("other path, invalid result") << "old"
                                                << "0" << QVariant() << none << qint64(5);
    QTest::newRow("other path, empty Tmcard") << "old"
                                              << "0" << reply({}) << none << qint64(5);
    QTest::newRow("path differs in case") << "PAGE"
                                          << "0" << newer << none << qint64(5);

    QTest::newRow("result code 1") << Page << "1" << newer << failed << qint64(5);
    QTest::newRow("result code empty") << Page << "" << newer << failed << qint64(5);
    QTest::newRow("result code 00") << Page << "00" << newer << failed << qint64(5);
    QTest::newRow("invalid result") << Page << "0" << QVariant() << failed << qint64(5);
    QTest::newRow("failure before staleness")
        << Page << "1" << reply(with(baseCard(), "Revision", 4)) << failed << qint64(5);

    QTest::newRow("no reply root")
        << Page << "0" << QVariant(QVariantMap {{"Other", 1}}) << failed << qint64(5);
    QTest::newRow("empty Tmcard") << Page << "0" << reply({}) << failed << qint64(5);
    QTest::newRow("Tmcard is text")
        << Page << "0" << QVariant(QVariantMap {{"GetBkpTmcardRes", QVariantMap {{"Tmcard", "x"}}}})
        << failed << qint64(5);
    XML2Json parser;
    QTest::newRow("empty Tmcard element")
        << Page << "0" << parser.parse("<GetBkpTmcardRes><Tmcard/></GetBkpTmcardRes>") << failed
        << qint64(5);

    QTest::newRow("stale revision")
        << Page << "0" << reply(with(with(baseCard(), "Dir", "/new"), "Revision", 4)) << none
        << qint64(5);
    QTest::newRow("equal revision, same record")
        << Page << "0" << reply(baseCard()) << loaded << qint64(5);
    QTest::newRow("newer revision, same record")
        << Page << "0" << reply(with(baseCard(), "Revision", 6)) << loaded << qint64(6);
}

void tst_LoadSettings::gatesInOrder()
{
    QFETCH(QString, replyPath);
    QFETCH(QString, resultCode);
    QFETCH(QVariant, result);
    QFETCH(QStringList, expected);
    QFETCH(qint64, revision);

    QVERIFY(m_host.load(reply(baseCard()), Page));
    QCOMPARE(m_host.plugin->revision(), qint64(5));
    QVariantMap state = m_host.snapshot();

    // The answered request comes first; a later request with the page's path makes it stale.
    QVERIFY(m_host.getBackupInfo(replyPath));
    const int answered = m_host.last();
    if (replyPath != Page)
        QVERIFY(m_host.getBackupInfo(Page));

    SignalLog log(m_host.plugin);
    m_host.reply(answered, resultCode, result);

    QCOMPARE(log.names, expected);
    state.insert("revision", revision);
    const QString diff = difference(m_host.snapshot(), state);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void tst_LoadSettings::changeSignalsInOrder_data()
{
    QTest::addColumn<QVariant>("first");
    QTest::addColumn<QVariant>("second");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("every field from the initial state")
        << QVariant() << xmlReply(fullCardXml(AllCamerasXml))
        << QStringList {
               "enabledChanged",         "targetCyclicChanged",  "targetDirChanged",
               "maxThroughputMBChanged", "maxRangeDayChanged",   "scheduleTemplateChanged",
               "scheduleNameChanged",    "hasAllCamerasChanged", "getBackupInfoResp(true)"};
    QTest::newRow("all cameras to two cameras")
        << xmlReply(fullCardXml(AllCamerasXml))
        << xmlReply(
               fullCardXml("<CamList><Cam GrpID=\"g\">A</Cam><Cam GrpID=\"g\">B</Cam></CamList>"))
        << QStringList {"hasAllCamerasChanged", "cameraListChanged", "getBackupInfoResp(true)"};
    // Absent limits keep their values; everything else falls back to false and empty.
    QTest::newRow("bare record after a full one")
        << xmlReply(fullCardXml("<CamList><Cam GrpID=\"g\">A</Cam></CamList>"))
        << xmlReply("<Revision>3</Revision>")
        << QStringList {"enabledChanged",          "targetCyclicChanged", "targetDirChanged",
                        "scheduleTemplateChanged", "scheduleNameChanged", "cameraListChanged",
                        "getBackupInfoResp(true)"};
    QTest::newRow("directory and range only")
        << reply(baseCard()) << reply(with(with(baseCard(), "Dir", "/new"), "MaxRange", 1440))
        << QStringList {"targetDirChanged", "maxRangeDayChanged", "getBackupInfoResp(true)"};
}

void tst_LoadSettings::changeSignalsInOrder()
{
    QFETCH(QVariant, first);
    QFETCH(QVariant, second);
    QFETCH(QStringList, expected);

    if (first.isValid())
        QVERIFY(m_host.load(first));
    SignalLog log(m_host.plugin);
    QVERIFY(m_host.load(second));
    QCOMPARE(log.names, expected);
}

void tst_LoadSettings::recordStoredBeforeItsSignals()
{
    PluginScheduleBackup* plugin = m_host.plugin;
    QStringList seen;
    connect(plugin, &PluginScheduleBackup::enabledChanged, plugin, [&] {
        seen << QStringLiteral("identity %1 %2 %3 %4")
                    .arg(plugin->revision())
                    .arg(plugin->tmcardId())
                    .arg(plugin->tmcardName())
                    .arg(plugin->enabled());
    });
    connect(plugin, &PluginScheduleBackup::scheduleTemplateChanged, plugin,
            [&] { seen << QStringLiteral("schedule %1").arg(plugin->schedule().isValid()); });
    connect(plugin, &PluginScheduleBackup::hasAllCamerasChanged, plugin, [&] {
        seen << QStringLiteral("groups %1 %2")
                    .arg(plugin->camGroupMapList().size())
                    .arg(plugin->hasAllCameras());
    });

    QVERIFY(m_host.load(xmlReply(fullCardXml(AllCamerasXml))));
    QCOMPARE(seen, (QStringList {"identity 3 9 Card 1", "schedule 1", "groups 1 1"}));
}

void tst_LoadSettings::limits_data()
{
    QTest::addColumn<QVariant>("throughput");
    QTest::addColumn<QVariant>("range");
    QTest::addColumn<int>("mb");
    QTest::addColumn<int>("days");

    constexpr qint64 intMax = std::numeric_limits<int>::max();
    constexpr qint64 intMin = std::numeric_limits<int>::min();
    constexpr qint64 llMax = std::numeric_limits<qint64>::max();
    constexpr qint64 llMin = std::numeric_limits<qint64>::min();

    // The time-card loaded first has 10 MB and 5 days.
    QTest::newRow("50 MB, 2 days") << QVariant(52428800) << QVariant(2880) << 50 << 2;
    QTest::newRow("just below 1 MB and 1 day") << QVariant(1048575) << QVariant(1439) << 0 << 0;
    QTest::newRow("as XML text") << QVariant("52428800") << QVariant("4320") << 50 << 3;
    QTest::newRow("both absent") << QVariant() << QVariant() << 10 << 5;
    QTest::newRow("range absent") << QVariant(1048576) << QVariant() << 1 << 5;
    QTest::newRow("throughput absent") << QVariant() << QVariant(1440) << 10 << 1;
    QTest::newRow("not a number") << QVariant("lots") << QVariant("") << 0 << 0;
    QTest::newRow("negative truncates toward zero")
        << QVariant(-1048575) << QVariant(-3 * 1440) << 0 << -3;
    QTest::newRow("largest int") << QVariant(intMax * 1048576) << QVariant(intMax * 1440)
                                 << int(intMax) << int(intMax);
    QTest::newRow("just beyond int saturates")
        << QVariant((intMax + 1) * 1048576) << QVariant((intMax + 1) * 1440) << int(intMax)
        << int(intMax);
    QTest::newRow("64-bit maximum saturates")
        << QVariant(llMax) << QVariant(QString::number(llMax)) << int(intMax) << int(intMax);
    QTest::newRow("below int saturates")
        << QVariant(llMin) << QVariant((intMin - 1) * 1440) << int(intMin) << int(intMin);
}

void tst_LoadSettings::limits()
{
    QFETCH(QVariant, throughput);
    QFETCH(QVariant, range);
    QFETCH(int, mb);
    QFETCH(int, days);

    QVERIFY(m_host.load(reply(baseCard())));
    SignalLog log(m_host.plugin);
    QVERIFY(
        m_host.load(reply(with(with(baseCard(), "MaxThroughput", throughput), "MaxRange", range))));

    QCOMPARE(m_host.plugin->property("maxThroughputMB").toInt(), mb);
    QCOMPARE(m_host.plugin->property("maxRangeDay").toInt(), days);
    QCOMPARE(log.names.count("maxThroughputMBChanged"), mb != 10 ? 1 : 0);
    QCOMPARE(log.names.count("maxRangeDayChanged"), days != 5 ? 1 : 0);
    QCOMPARE(log.names.size(), 1 + (mb != 10) + (days != 5));
}

void tst_LoadSettings::cameras_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("all");
    QTest::addColumn<QStringList>("cameras");
    QTest::addColumn<QVariantList>("groups");

    const QString x = "<CamList><Cam GrpID=\"gx\">X</Cam></CamList>";
    const QVariantList onlyAll {allCamerasEntry()};

    QTest::newRow("all cameras alone") << x << AllCamerasXml << true << QStringList() << onlyAll;
    QTest::newRow("all cameras as plain text")
        << x << "<CamList><Cam>__allcams__</Cam></CamList>" << true << QStringList() << onlyAll;
    QTest::newRow("A, all cameras, B")
        << x
        << "<CamList><Cam GrpID=\"g1\">A</Cam><Cam GrpID=\"g0\">__allcams__</Cam>"
           "<Cam GrpID=\"g2\">B</Cam></CamList>"
        << false << QStringList {"A", "B"} << QVariantList {group("A", "g1"), allCamerasEntry()};
    QTest::newRow("all cameras, then B")
        << x << "<CamList><Cam GrpID=\"\">__allcams__</Cam><Cam GrpID=\"g2\">B</Cam></CamList>"
        << false << QStringList {"B"} << onlyAll;
    QTest::newRow("A, B, A") << x
                             << "<CamList><Cam GrpID=\"g1\">A</Cam><Cam GrpID=\"g2\">B</Cam>"
                                "<Cam GrpID=\"g3\">A</Cam></CamList>"
                             << false << QStringList {"A", "B"}
                             << QVariantList {group("A", "g1"), group("B", "g2"), group("A", "g3")};
    QTest::newRow("single camera element")
        << x << "<CamList><Cam GrpID=\"g1\">A</Cam></CamList>" << false << QStringList {"A"}
        << QVariantList {group("A", "g1")};
    QTest::newRow("camera without group is plain text")
        << x << "<CamList><Cam>A</Cam><Cam GrpID=\"g2\">B</Cam></CamList>" << false
        << QStringList {"A", "B"} << QVariantList {group("A", ""), group("B", "g2")};
    QTest::newRow("single camera without group")
        << x << "<CamList><Cam>A</Cam></CamList>" << false << QStringList {"A"}
        << QVariantList {group("A", "")};
    QTest::newRow("identifiers are case-sensitive")
        << x << "<CamList><Cam GrpID=\"g\">A</Cam><Cam GrpID=\"g\">a</Cam></CamList>" << false
        << QStringList {"A", "a"} << QVariantList {group("A", "g"), group("a", "g")};
    QTest::newRow("no CamList clears cameras")
        << x << "" << false << QStringList() << QVariantList();
    QTest::newRow("no CamList clears all cameras")
        << AllCamerasXml << "" << false << QStringList() << QVariantList();
    QTest::newRow("empty CamList") << x << "<CamList/>" << false << QStringList() << QVariantList();
    QTest::newRow("same cameras again")
        << x << x << false << QStringList {"X"} << QVariantList {group("X", "gx")};
}

void tst_LoadSettings::cameras()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(bool, all);
    QFETCH(QStringList, cameras);
    QFETCH(QVariantList, groups);

    const QString card = QStringLiteral("<Revision>5</Revision>%1");
    QVERIFY(m_host.load(xmlReply(card.arg(before))));
    const bool allBefore = m_host.plugin->property("hasAllCameras").toBool();
    const QStringList camerasBefore = m_host.plugin->property("cameraList").toStringList();

    SignalLog log(m_host.plugin);
    QVERIFY(m_host.load(xmlReply(card.arg(after))));

    QCOMPARE(m_host.plugin->property("hasAllCameras").toBool(), all);
    QCOMPARE(m_host.plugin->property("cameraList").toStringList(), cameras);
    QCOMPARE(m_host.plugin->camGroupMapList(), groups);
    QStringList expected;
    if (all != allBefore)
        expected << "hasAllCamerasChanged";
    if (cameras != camerasBefore)
        expected << "cameraListChanged";
    QCOMPARE(log.names, expected << "getBackupInfoResp(true)");
}

void tst_LoadSettings::scheduleFromMapping_data()
{
    QTest::addColumn<QString>("mappingXml");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("name");

    QTest::newRow("one Monday interval")
        << "<Mapping><Ele><Frame><Name>Work</Name><Intervals><Ele B=\"120600\" E=\"147600\"/>"
           "</Intervals></Frame></Ele></Mapping>"
        << mondayDocument() << "Work";
    QTest::newRow("Monday and the whole Saturday")
        << "<Mapping><Ele><Frame><Name>Week</Name><Intervals><Ele B=\"120600\" E=\"147600\"/>"
           "<Ele B=\"518400\" E=\"604740\"/></Intervals></Frame></Ele></Mapping>"
        << R"({"Rectangles":[{"Top":9.5,"Bottom":17,"Left":1,"Right":2},)"
           R"({"Top":0,"Bottom":24,"Left":6,"Right":7}]})"
        << "Week";
    QTest::newRow("frame without intervals")
        << "<Mapping><Ele><Frame><Name>Empty</Name><Intervals/></Frame></Ele></Mapping>"
        << ""
        << "Empty";
    QTest::newRow("no Mapping") << ""
                                << ""
                                << "";
}

void tst_LoadSettings::scheduleFromMapping()
{
    QFETCH(QString, mappingXml);
    QFETCH(QString, document);
    QFETCH(QString, name);

    QVERIFY(m_host.load(reply(baseCard())));
    const QString documentBefore = m_host.plugin->property("scheduleTemplate").toString();
    const QString nameBefore = m_host.plugin->property("scheduleName").toString();

    // The same record with only its Mapping replaced by the one the server sends as XML.
    const QVariant mapping = xmlReply(mappingXml)
                                 .toMap()["GetBkpTmcardRes"]
                                 .toMap()["Tmcard"]
                                 .toMap()
                                 .value("Mapping");
    SignalLog log(m_host.plugin);
    QVERIFY(m_host.load(reply(with(baseCard(), "Mapping", mapping))));

    QCOMPARE(m_host.plugin->property("scheduleTemplate").toString(), document);
    QCOMPARE(m_host.plugin->property("scheduleName").toString(), name);
    QCOMPARE(m_host.plugin->tmcardName(), QStringLiteral("Card"));
    // The subtree is kept as delivered for the next-backup computation.
    QCOMPARE(m_host.plugin->schedule(), mapping);
    QStringList expected;
    if (document != documentBefore)
        expected << "scheduleTemplateChanged";
    if (name != nameBefore)
        expected << "scheduleNameChanged";
    QCOMPARE(log.names, expected << "getBackupInfoResp(true)");
}

QTEST_GUILESS_MAIN(tst_LoadSettings)
#include "tst_loadsettings.moc"
