// The command handler in front of the embedded service: answers come from the event loop, never
// inside submit(), not before the latency has passed, and in the order the commands were sent.

#include "BackupProtocol.h"
#include "BackupService.h"
#include "ServiceCommandHandler.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

namespace {

using namespace BackupProtocol;

struct Answered
{
    int index;
    ServiceReply reply;
};

} // namespace

class tst_ServiceCommandHandler : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<BackupService> m_service;
    std::unique_ptr<ServiceCommandHandler> m_handler;
    QList<Answered> m_answers;

    bool submit(const QString& command, const QVariant& arguments = QVariant())
    {
        const int index = m_submitted++;
        return m_handler->submit(command, arguments, [this, index](const ServiceReply& reply) {
            m_answers.append({index, reply});
        });
    }
    int m_submitted = 0;

    // An update the seeded sample accepts.
    static QVariantMap update()
    {
        return {{Arg::Revision, 1},
                {Arg::TmcardId, 7},
                {Arg::Dir, "/mnt/changed"},
                {Arg::MaxThroughput, 0},
                {Arg::MaxRange, 0},
                {Arg::CamGroupList, QVariantList {QVariantMap {{Arg::CamId, AllCamerasTag}}}},
                {Arg::TimeFrameMessage, "<Ele><Frame><Name>N</Name><Intervals/></Frame></Ele>"}};
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath("schedule-backup.xml"));
        m_service = std::make_unique<BackupService>(m_dir.path());
        QVERIFY(m_service->open());
        m_handler = std::make_unique<ServiceCommandHandler>(m_service.get());
        m_answers.clear();
        m_submitted = 0;
    }

    void cleanup()
    {
        m_handler.reset();
        m_service.reset();
    }

    void answersComeLaterInOrder()
    {
        QVERIFY(submit(UpdateTimeCard, update()));
        QVERIFY(submit(GetBackupPath));
        QVERIFY(submit(UpdateTimeCard, update())); // now stale
        QVERIFY(submit(GetTimeCard));
        // Nothing was answered or changed inside submit().
        QVERIFY(m_answers.isEmpty());
        QCOMPARE(m_service->data().value().card.revision, 1);

        QTRY_COMPARE(m_answers.size(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(m_answers.at(i).index, i);
        QCOMPARE(m_answers.at(0).reply.resultCode, Code::Success);
        QCOMPARE(m_answers.at(1).reply.xml,
                 "<GetBkpTmcardRes><Tmcard><Dir>/mnt/changed</Dir></Tmcard></GetBkpTmcardRes>");
        QCOMPARE(m_answers.at(2).reply.resultCode, Code::StaleRevision);
        QVERIFY(m_answers.at(3).reply.xml.contains("<Revision>2</Revision>"));
    }

    void answerWaitsForTheLatency()
    {
        constexpr int Latency = 300;
        m_handler->setLatency(Latency);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(submit(GetBackupPath));
        QTRY_COMPARE_WITH_TIMEOUT(m_answers.size(), 1, 30000);
        // A lower bound only: an answer may come late on a busy machine, but never early.
        QVERIFY2(clock.elapsed() >= Latency, qPrintable(QString::number(clock.elapsed())));
    }

    void laterCommandWithLessLatencyWaitsItsTurn()
    {
        m_handler->setLatency(300);
        QVERIFY(submit(GetBackupPath));
        m_handler->setLatency(0);
        QVERIFY(submit(GetTimeCard));
        QTRY_COMPARE_WITH_TIMEOUT(m_answers.size(), 2, 30000);
        QCOMPARE(m_answers.at(0).index, 0);
        QCOMPARE(m_answers.at(1).index, 1);
    }

    void earlierAnswerDoesNotTakeLaterCommandsAlong()
    {
        QVERIFY(submit(GetBackupPath));
        m_handler->setLatency(3600000);
        QVERIFY(submit(UpdateTimeCard, update()));
        QTRY_COMPARE(m_answers.size(), 1);
        QTest::qWait(100);
        QCOMPARE(m_answers.size(), 1);
        QCOMPARE(m_service->data().value().card.revision, 1);
    }

    void answerMaySendTheNextCommand()
    {
        bool second = false;
        QVERIFY(m_handler->submit(GetBackupPath, QVariant(), [&](const ServiceReply&) {
            QVERIFY(m_handler->submit(GetTimeCard, QVariant(),
                                      [&](const ServiceReply&) { second = true; }));
            QVERIFY(!second);
        }));
        QTRY_VERIFY(second);
    }

    void unknownCommandIsRefused()
    {
        QVERIFY(!submit("DelBkpTmcard"));
        QTest::qWait(50);
        QVERIFY(m_answers.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_ServiceCommandHandler)

#include "tst_servicecommandhandler.moc"
