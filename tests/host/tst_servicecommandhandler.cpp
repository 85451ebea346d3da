// The command handler in front of the embedded service: answers come from the event loop, never
// inside submit(), in the order the commands were sent, and not before the latency has passed.

#include "BackupProtocol.h"
#include "BackupService.h"
#include "ServiceCommandHandler.h"

#include <QTemporaryDir>
#include <QTest>

using namespace BackupProtocol;

class tst_ServiceCommandHandler : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<BackupService> m_service;
    std::unique_ptr<ServiceCommandHandler> m_handler;
    QStringList m_answered; // in order

    bool submit(const QString& command)
    {
        return m_handler->submit(command, QVariant(), [this, command](const ServiceReply&) {
            m_answered.append(command);
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
        QTRY_COMPARE(m_answered, (QStringList {GetTimeCard, GetBackupPath, GetBackupStatus}));

        m_handler->setLatency(3600000);
        QVERIFY(submit(GetBackupPath));
        QTest::qWait(100); // an answer due in an hour is not given in the next moments
        QCOMPARE(m_answered.size(), 3);
    }
};

QTEST_GUILESS_MAIN(tst_ServiceCommandHandler)

#include "tst_servicecommandhandler.moc"
