// SPDX-License-Identifier: BSD-3-Clause

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

// The seed of the run: SCHEDULE_BACKUP_SOAK_SEED replays a run, otherwise a new one is drawn.
quint32 soakSeed()
{
    bool given = false;
    const quint32 seed = qEnvironmentVariable("SCHEDULE_BACKUP_SOAK_SEED").toUInt(&given);
    return given ? seed : QRandomGenerator::global()->generate();
}

} // namespace

// Two pages with their own relay paths load and store settings in random order, a few thousand
// times, through a back end that misbehaves.
class TestSoak : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<BackupService> m_service;
    std::unique_ptr<FaultyHandler> m_handler;
    std::unique_ptr<HostFramework> m_framework;
    std::unique_ptr<PluginScheduleBackup> m_plugin;
    QStringList m_violations;
    const QStringList m_relays {QStringLiteral("page-a"), QStringLiteral("page-b")};

    // Every shown value must be one the service held, and no revision may go back.
    void watch()
    {
        auto confirmed = [this](const QString& value) {
            if (!m_handler->stored.contains(value))
                m_violations << "unconfirmed " + value;
        };
        PluginScheduleBackup* plugin = m_plugin.get();
        connect(plugin, &PluginScheduleBackup::targetDirChanged, this,
                [=](const QString& value) { confirmed("dir " + value); });
        connect(plugin, &PluginScheduleBackup::maxThroughputMBChanged, this,
                [=](int value) { confirmed(QStringLiteral("throughput %1").arg(value)); });
        connect(plugin, &PluginScheduleBackup::maxRangeDayChanged, this,
                [=](int value) { confirmed(QStringLiteral("range %1").arg(value)); });
        connect(m_framework.get(), &HostFramework::replyDelivered, this,
                [this, lastRevision = plugin->revision(),
                 lastStoredRevision = qint64(0)]() mutable {
                    if (m_plugin->revision() < lastRevision)
                        m_violations
                            << QStringLiteral("revision went back to %1").arg(m_plugin->revision());
                    lastRevision = m_plugin->revision();
                    const qint64 storedRevision = m_service->data().value().card.revision;
                    if (storedRevision < lastStoredRevision)
                        m_violations << QStringLiteral("stored revision went back");
                    lastStoredRevision = storedRevision;
                });
    }

    // Loads, updates and status requests in random order; returns how many were made.
    int operate(quint32 seed)
    {
        const QVariantList allCameras {
            QVariantMap {{PluginTerms::PageCamera::Name, PluginTerms::AllCamerasTag}}};
        QRandomGenerator random(seed);
        QElapsedTimer clock;
        clock.start();
        int operations = 0;
        for (; operations < 2500 && clock.elapsed() < 30000; ++operations) {
            const QString& relay = m_relays.at(int(random.bounded(2)));
            const int value = operations + 1; // unique, so every stored value can be traced
            switch (random.bounded(5)) {
            case 0:
            case 1:
                m_plugin->getBackupInfo(relay);
                break;
            case 2:
                m_plugin->updateBackupInfo(
                    random.bounded(2) == 1, true, QStringLiteral("/srv/soak/%1").arg(value),
                    allCameras, QStringLiteral("soak"), QStringLiteral("{\"Rectangles\":[]}"),
                    value % 1000, value % 3650, relay);
                break;
            case 3:
                m_plugin->updateSchedule(QStringLiteral("soak %1").arg(value),
                                         QStringLiteral("{\"Rectangles\":[{\"Top\":9,\"Bottom\":17,"
                                                        "\"Left\":1,\"Right\":6}]}"),
                                         relay);
                break;
            default:
                m_plugin->getBackupStatus(relay);
                break;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, int(random.bounded(3)));
        }
        return operations;
    }

private Q_SLOTS:
    void confirmedValuesOnlyAndNothingLost();
};

void TestSoak::confirmedValuesOnlyAndNothingLost()
{
    const quint32 seed = soakSeed();
    qInfo("seed %u (replay with SCHEDULE_BACKUP_SOAK_SEED=%u)", seed, seed);
    m_service = std::make_unique<BackupService>(m_dir.path());
    QVERIFY(m_service->open());
    m_handler = std::make_unique<FaultyHandler>(m_service.get(), seed);
    m_framework = std::make_unique<HostFramework>(m_handler.get());
    m_plugin = std::make_unique<PluginScheduleBackup>();
    m_framework->registerPlugin(PluginTerms::ScheduleBackupPluginId, m_plugin.get());
    m_plugin->InitialPluginBase(nullptr, nullptr, m_framework.get());
    watch();
    const int operations = operate(seed);
    QTRY_COMPARE_WITH_TIMEOUT(m_framework->pendingCount(), 0, 10000);
    QTest::qWait(20); // duplicated answers still on their way

    // A final load shows exactly what the service holds.
    bool loaded = false;
    connect(m_plugin.get(), &PluginScheduleBackup::getBackupInfoResp, this,
            [&](bool success) { loaded = loaded || success; });
    QTRY_VERIFY2_WITH_TIMEOUT((m_plugin->getBackupInfo(m_relays.first()), QTest::qWait(20), loaded),
                              qPrintable(QStringLiteral("plug-in at revision %1, service at %2")
                                             .arg(m_plugin->revision())
                                             .arg(m_service->data().value().card.revision)),
                              10000);
    QTRY_COMPARE_WITH_TIMEOUT(m_framework->pendingCount(), 0, 10000);
    const TimeCard card = m_service->data().value().card;
    QCOMPARE(m_plugin->targetDir(), card.dir);
    QCOMPARE(m_plugin->enabled(), card.enabled);
    QCOMPARE(m_plugin->targetCyclic(), card.targetCyclic);
    QCOMPARE(qint64(m_plugin->maxThroughputMB()), card.maxThroughputBytes >> 20);
    QCOMPARE(qint64(m_plugin->maxRangeDay()), card.maxRangeMinutes / 1440);
    QCOMPARE(m_plugin->scheduleName(), card.timeFrameName);
    QCOMPARE(m_plugin->revision(), card.revision);
    QVERIFY2(m_violations.isEmpty(), qPrintable(m_violations.join(QLatin1Char('\n'))));
    // The faults were really there.
    QVERIFY(m_handler->refused > 0 && m_handler->failed > 0 && m_handler->duplicated > 0);
    QVERIFY(card.revision > 10);
    qInfo("%d operations, %d refused, %d failed, %d duplicated, revision %lld", operations,
          m_handler->refused, m_handler->failed, m_handler->duplicated, card.revision);
}

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
