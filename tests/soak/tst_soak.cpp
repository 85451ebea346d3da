#include "BackupProtocol.h"
#include "BackupService.h"
#include "CommandHandler.h"
#include "HostFramework.h"
#include "PluginScheduleBackup.h"
#include "PluginTerms.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

using namespace BackupProtocol;

// A bad network and a busy server: answers come late and out of order, some twice, some sends
// are refused and some commands fail.
class FaultyHandler : public QObject, public CommandHandler
{
    Q_OBJECT

public:
    FaultyHandler(BackupService* service, quint32 seed) : m_service(service), m_random(seed)
    {
        record();
    }

    // Every value the service has ever held; a property may only show one of them.
    void record()
    {
        const TimeCard card = m_service->data().value().card;
        stored << "dir " + card.dir
               << QStringLiteral("throughput %1").arg(card.maxThroughputBytes >> 20)
               << QStringLiteral("range %1").arg(card.maxRangeMinutes / 1440);
    }

    bool submit(const QString& command, const QVariant& arguments, Answer answer) override
    {
        if (m_random.bounded(100) < 5) {
            ++refused;
            return false;
        }
        const int roll = m_random.bounded(100);
        ServiceReply reply;
        if (roll < 8) {
            ++failed;
            reply = {Code::StorageFailure, QStringLiteral("<ServiceRes/>"),
                     QStringLiteral("injected failure")};
        } else {
            reply = m_service->handle(command, arguments);
            record();
        }
        // Independent delays reorder the answers.
        QTimer::singleShot(int(m_random.bounded(6)), this, [answer, reply] { answer(reply); });
        if (roll >= 90) {
            ++duplicated;
            QTimer::singleShot(int(m_random.bounded(6)), this, [answer, reply] { answer(reply); });
        }
        return true;
    }

    QSet<QString> stored;
    int refused = 0;
    int failed = 0;
    int duplicated = 0;

private:
    BackupService* m_service;
    QRandomGenerator m_random;
};

} // namespace

// Two pages with their own relay paths load and store settings in random order, a few thousand
// times, through a back end that misbehaves.
class TestSoak : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void confirmedValuesOnlyAndNothingLost();
};

void TestSoak::confirmedValuesOnlyAndNothingLost()
{
    QTemporaryDir dir;
    BackupService service(dir.path());
    QVERIFY(service.open());
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("seed %u", seed);
    FaultyHandler handler(&service, seed);
    HostFramework framework(&handler);
    PluginScheduleBackup plugin;
    framework.registerPlugin(PluginTerms::ScheduleBackupPluginId, &plugin);
    plugin.InitialPluginBase(nullptr, nullptr, &framework);

    QStringList violations;
    auto confirmed = [&](const QString& value) {
        if (!handler.stored.contains(value))
            violations << "unconfirmed " + value;
    };
    connect(&plugin, &PluginScheduleBackup::targetDirChanged, this,
            [&](const QString& value) { confirmed("dir " + value); });
    connect(&plugin, &PluginScheduleBackup::maxThroughputMBChanged, this,
            [&](int value) { confirmed(QStringLiteral("throughput %1").arg(value)); });
    connect(&plugin, &PluginScheduleBackup::maxRangeDayChanged, this,
            [&](int value) { confirmed(QStringLiteral("range %1").arg(value)); });
    qint64 lastRevision = plugin.revision();
    qint64 lastStoredRevision = 0;
    connect(&framework, &HostFramework::replyDelivered, this, [&] {
        if (plugin.revision() < lastRevision)
            violations << QStringLiteral("revision went back to %1").arg(plugin.revision());
        lastRevision = plugin.revision();
        const qint64 storedRevision = service.data().value().card.revision;
        if (storedRevision < lastStoredRevision)
            violations << QStringLiteral("stored revision went back");
        lastStoredRevision = storedRevision;
    });

    const QStringList relays {QStringLiteral("page-a"), QStringLiteral("page-b")};
    const QVariantList allCameras {QVariantMap {{PluginTerms::PageCamera::Name, AllCamerasTag}}};
    QRandomGenerator random(seed);
    QElapsedTimer clock;
    clock.start();
    int operations = 0;
    for (; operations < 2500 && clock.elapsed() < 30000; ++operations) {
        const QString& relay = relays.at(int(random.bounded(2)));
        const int value = operations + 1; // unique, so every stored value can be traced
        switch (random.bounded(5)) {
        case 0:
        case 1:
            plugin.getBackupInfo(relay);
            break;
        case 2:
            plugin.updateBackupInfo(random.bounded(2) == 1, true,
                                    QStringLiteral("/srv/soak/%1").arg(value), allCameras,
                                    QStringLiteral("soak"), QStringLiteral("{\"Rectangles\":[]}"),
                                    value % 1000, value % 3650, relay);
            break;
        case 3:
            plugin.updateSchedule(QStringLiteral("soak %1").arg(value),
                                  QStringLiteral("{\"Rectangles\":[{\"Top\":9,\"Bottom\":17,"
                                                 "\"Left\":1,\"Right\":6}]}"),
                                  relay);
            break;
        default:
            plugin.getBackupStatus(relay);
            break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, int(random.bounded(3)));
    }
    QTRY_COMPARE_WITH_TIMEOUT(framework.pendingCount(), 0, 10000);
    QTest::qWait(20); // duplicated answers still on their way

    // A final load shows exactly what the service holds.
    bool loaded = false;
    connect(&plugin, &PluginScheduleBackup::getBackupInfoResp, this,
            [&](bool success) { loaded = loaded || success; });
    QTRY_VERIFY2_WITH_TIMEOUT((plugin.getBackupInfo(relays.first()), QTest::qWait(20), loaded),
                              qPrintable(QStringLiteral("plug-in at revision %1, service at %2")
                                             .arg(plugin.revision())
                                             .arg(service.data().value().card.revision)),
                              10000);
    QTRY_COMPARE_WITH_TIMEOUT(framework.pendingCount(), 0, 10000);
    const TimeCard card = service.data().value().card;
    QCOMPARE(plugin.targetDir(), card.dir);
    QCOMPARE(plugin.enabled(), card.enabled);
    QCOMPARE(plugin.targetCyclic(), card.targetCyclic);
    QCOMPARE(qint64(plugin.maxThroughputMB()), card.maxThroughputBytes >> 20);
    QCOMPARE(qint64(plugin.maxRangeDay()), card.maxRangeMinutes / 1440);
    QCOMPARE(plugin.scheduleName(), card.timeFrameName);
    QCOMPARE(plugin.revision(), card.revision);
    QVERIFY2(violations.isEmpty(), qPrintable(violations.join(QLatin1Char('\n'))));
    // The faults were really there.
    QVERIFY(handler.refused > 0 && handler.failed > 0 && handler.duplicated > 0);
    QVERIFY(card.revision > 10);
    qInfo("%d operations, %d refused, %d failed, %d duplicated, revision %lld", operations,
          handler.refused, handler.failed, handler.duplicated, card.revision);
}

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
