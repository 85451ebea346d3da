// SPDX-License-Identifier: BSD-3-Clause
// The command handler in front of the embedded service: answers come from the event loop, never
// inside submit(), in the order the commands were sent, and not before the latency has passed;
// while another program saves, an update waits without blocking the event loop.

#include "BackupProtocol.h"
#include "BackupService.h"
#include "ServiceCommandHandler.h"
#include "TimeFrame.h"

#include <QTemporaryDir>
#include <QTest>

using namespace BackupProtocol;

class tst_ServiceCommandHandler : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<BackupService> m_service;
    std::unique_ptr<ServiceCommandHandler> m_handler;
    QStringList m_answered; // in order, with the result code after a colon

    bool submit(const QString& command, const QVariant& arguments = QVariant())
    {
        return m_handler->submit(command, arguments, [this, command](const ServiceReply& reply) {
            m_answered.append(command + ':' + reply.resultCode);
        });
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_service = std::make_unique<BackupService>(m_dir.path());
        QVERIFY(m_service->open());
        m_handler = std::make_unique<ServiceCommandHandler>(m_service.get());
    }

    void answersComeLaterInOrderAfterTheLatency()
    {
        QVERIFY(submit(GetTimeCard));
        QVERIFY(submit(GetBackupPath));
        QVERIFY(submit(GetBackupStatus));
        QVERIFY(m_answered.isEmpty());
        QTRY_COMPARE(
            m_answered,
            (QStringList {GetTimeCard + ":0", GetBackupPath + ":0", GetBackupStatus + ":0"}));

        m_handler->setLatency(3600000);
        QVERIFY(submit(GetBackupPath));
        QTest::qWait(100); // an answer due in an hour is not given in the next moments
        QCOMPARE(m_answered.size(), 3);
    }

    void anUpdateWaitsWhileAnotherProgramSaves()
    {
        m_handler = std::make_unique<ServiceCommandHandler>(m_service.get());
        const QVariantMap update {
            {Arg::Revision, 1},
            {Arg::TmcardId, 7},
            {Arg::Dir, "/mnt/video"},
            {Arg::MaxThroughput, 0},
            {Arg::MaxRange, 0},
            {Arg::CamGroupList, QVariantList {QVariantMap {{Arg::CamId, AllCamerasTag}}}},
            {Arg::TimeFrameMessage, TimeFrame::compose("Nights", {{0, 3600}})}};
        m_answered.clear();
        {
            const auto held = BackupStore(m_dir.path()).lock(QDeadlineTimer(0));
            QVERIFY(held);
            QVERIFY(submit(UpdateTimeCard, update));
            QVERIFY(submit(GetBackupPath));
            QTest::qWait(200); // the event loop runs, and the update is asked again and again
            QCOMPARE(m_answered, QStringList());
            QVERIFY2(m_handler->waitReason().contains("another program is saving"),
                     qPrintable(m_handler->waitReason()));
        }
        QTRY_COMPARE(m_answered, (QStringList {UpdateTimeCard + ":0", GetBackupPath + ":0"}));
        QCOMPARE(m_handler->waitReason(), QString());
    }
};

QTEST_GUILESS_MAIN(tst_ServiceCommandHandler)

#include "tst_servicecommandhandler.moc"
