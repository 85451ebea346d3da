// A settings page's life: load, save, confirmation, and the reloads that race with the save.

#include "SettingsTestKit.h"

#include <QTest>

using namespace SettingsTestKit;

class tst_SettingsRoundTrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(m_host.start()); }
    void cleanup() { m_host.stop(); }

    void loadSaveConfirmReload_data();
    void loadSaveConfirmReload();

private:
    qulonglong nextBackup(const QDateTime& moment)
    {
        qulonglong next = 0;
        QMetaObject::invokeMethod(m_host.plugin, "getNextBackupTime",
                                  Q_RETURN_ARG(qulonglong, next), Q_ARG(QDateTime, moment));
        return next;
    }

    Host m_host;
};

void tst_SettingsRoundTrip::loadSaveConfirmReload_data()
{
    QTest::addColumn<int>("reloadRevision");
    QTest::addColumn<bool>("accepted");

    // The reload was requested before the save and answered after its confirmation.
    QTest::newRow("old revision is dropped") << 5 << false;
    QTest::newRow("raised revision is taken") << 6 << true;
    QTest::newRow("newer revision is taken") << 7 << true;
}

void tst_SettingsRoundTrip::loadSaveConfirmReload()
{
    QFETCH(int, reloadRevision);
    QFETCH(bool, accepted);

    const QString page = QStringLiteral("page");
    // Monday 2024-06-03 08:00 lies in the week starting Sunday 2024-06-02.
    const QDateTime monday(QDate(2024, 6, 3), QTime(8, 0));
    const qulonglong weekStart = QDateTime(QDate(2024, 6, 2), QTime(0, 0)).toMSecsSinceEpoch();

    QVERIFY(m_host.load(xmlReply("<Revision>5</Revision><TmcardID>77</TmcardID><Name>Card</Name>"
                                 "<Enabled>false</Enabled><Dir>/old</Dir>"
                                 "<Mapping><Ele><Frame><Name>Old</Name><Intervals>"
                                 "<Ele B=\"295200\" E=\"298800\"/></Intervals></Frame></Ele>"
                                 "</Mapping><CamList><Cam GrpID=\"gx\">X</Cam></CamList>"),
                        page));
    QCOMPARE(nextBackup(monday), weekStart + 295200000ULL);

    QVERIFY(m_host.getBackupInfo(page));
    const int reload = m_host.last();

    QVERIFY(m_host.updateBackupInfo(
        {true, false, "/new", {pageCam("A", "g1")}, "Night", mondayDocument(), 40, 4}, page));
    const QVariantMap sent = m_host.argumentsOf(m_host.last());
    QCOMPARE(sent.value("Revision").toLongLong(), 5);
    QCOMPARE(m_host.plugin->property("targetDir").toString(), QStringLiteral("/old"));
    SignalLog log(m_host.plugin);
    m_host.reply(m_host.last(), "0");
    QCOMPARE(log.names.last(), QStringLiteral("updBackupInfoResp(true)"));
    QCOMPARE(m_host.plugin->property("targetDir").toString(), QStringLiteral("/new"));
    // Monday 09:30 is now the first window after Monday 08:00.
    QCOMPARE(nextBackup(monday), weekStart + 120600000ULL);
    QCOMPARE(m_host.serverInfo.calls, 4);

    // The server's record after the save, as a reload reads it.
    log.names.clear();
    const QVariantMap saved = m_host.snapshot();
    m_host.reply(
        reload, "0",
        xmlReply(QStringLiteral("<Revision>%1</Revision><TmcardID>77</TmcardID>"
                                "<Name>Card</Name><Enabled>true</Enabled><Dir>/server</Dir>"
                                "<MaxThroughput>41943040</MaxThroughput>"
                                "<MaxRange>5760</MaxRange>%2<CamList>"
                                "<Cam GrpID=\"g1\">A</Cam></CamList>")
                     .arg(reloadRevision)
                     .arg(sent.value("TimeFrameMessage")
                              .toString()
                              .replace("<Ele><Frame>", "<Mapping><Ele><Frame>")
                          + "</Mapping>")));
    if (!accepted) {
        QVERIFY(log.names.isEmpty());
        const QString diff = difference(m_host.snapshot(), saved);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    } else {
        QCOMPARE(log.names, (QStringList {"targetDirChanged", "getBackupInfoResp(true)"}));
        QCOMPARE(m_host.plugin->revision(), qint64(reloadRevision));
        QCOMPARE(m_host.plugin->property("scheduleTemplate").toString(), mondayDocument());
        QCOMPARE(m_host.plugin->property("scheduleName").toString(), QStringLiteral("Night"));
    }
    QCOMPARE(nextBackup(monday), weekStart + 120600000ULL);

    QVERIFY(m_host.updateSchedule("Night", mondayDocument(), page));
    QCOMPARE(m_host.argumentsOf(m_host.last()).value("Revision").toLongLong(),
             accepted ? reloadRevision : 6);
}

QTEST_GUILESS_MAIN(tst_SettingsRoundTrip)
#include "tst_settingsroundtrip.moc"
