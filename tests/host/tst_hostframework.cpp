// The host's framework object over a command handler that answers only when told to: one reply per
// accepted command, with the command's own context and relay path, and none for anything else.

#include "BackupProtocol.h"
#include "CommandHandler.h"
#include "HostFramework.h"
#include "PluginBase.h"

#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(ServiceReply)

namespace {

using namespace BackupProtocol;

const QString PluginId = QStringLiteral("5E0F455B8F75EDDC573E2B643CE573D2");

class HeldHandler : public CommandHandler
{
public:
    struct Submitted
    {
        QString command;
        QVariant arguments;
        Answer answer;
    };

    bool submit(const QString& command, const QVariant& arguments, Answer answer) override
    {
        submitted.append({command, arguments, std::move(answer)});
        return accept;
    }

    bool accept = true;
    QList<Submitted> submitted;
};

class RecordingPlugin : public PluginBase
{
public:
    struct Reply
    {
        QString command;
        QVariant tree;
        void* context = nullptr;
        QString resultCode;
        QString relayPath;
    };

    // PluginBase
    void InitialPluginBase(QQmlContext*, void*, FrameworkWrapperBase*) override { }
    void EventProcessor(QString, long long, int, int, QVariant, const QString&) override { }
    void CommandProcessor(QString command, QVariant result, void* context, QString resultCode,
                          QString, bool, const QString& relayPath) override
    {
        replies.append({command, result, context, resultCode, relayPath});
    }
    bool Init(QQmlContext*) override { return true; }

    QList<Reply> replies;
};

// Distinct addresses to stand for the contexts a plug-in hands over.
int contexts[3];

} // namespace

class tst_HostFramework : public QObject
{
    Q_OBJECT

    std::unique_ptr<HeldHandler> m_handler;
    std::unique_ptr<RecordingPlugin> m_plugin;
    std::unique_ptr<HostFramework> m_framework;

    bool send(const QString& command, int index, const QVariant& arguments = QVariant())
    {
        return m_framework->SendCommand(nullptr, PluginId, command, arguments, &contexts[index], 0,
                                        "relay/" + QString::number(index));
    }

private Q_SLOTS:
    void init()
    {
        m_handler = std::make_unique<HeldHandler>();
        m_plugin = std::make_unique<RecordingPlugin>();
        m_framework = std::make_unique<HostFramework>(m_handler.get());
        m_framework->registerPlugin(PluginId, m_plugin.get());
    }

    void cleanup()
    {
        m_framework.reset();
        m_plugin.reset();
        m_handler.reset();
    }

    void replyReachesThePlugin_data()
    {
        QTest::addColumn<ServiceReply>("reply");
        QTest::addColumn<QVariantMap>("tree");

        QTest::newRow("a success with its reply tree")
            << ServiceReply {Code::Success,
                             "<GetBkpTmcardRes><Tmcard><Revision>3</Revision>"
                             "<Dir>/a</Dir></Tmcard></GetBkpTmcardRes>",
                             QString()}
            << QVariantMap {
                   {"GetBkpTmcardRes",
                    QVariantMap {{"Tmcard", QVariantMap {{"Revision", "3"}, {"Dir", "/a"}}}}}};
        QTest::newRow("a failure with its code and reason")
            << ServiceReply {Code::StaleRevision,
                             "<UpdBkpTmcardRes><Error Code=\"1001\">stale</Error>"
                             "</UpdBkpTmcardRes>",
                             "stale"}
            << QVariantMap {
                   {"UpdBkpTmcardRes",
                    QVariantMap {{"Error", QVariantMap {{"@Code", "1001"}, {"#text", "stale"}}}}}};
        QTest::newRow("a carriage return sent as a reference arrives as one")
            << ServiceReply {Code::Success, "<R><Dir>/a&#13;\nb</Dir></R>", QString()}
            << QVariantMap {{"R", QVariantMap {{"Dir", "/a\r\nb"}}}};
    }

    void replyReachesThePlugin()
    {
        QFETCH(ServiceReply, reply);
        QFETCH(QVariantMap, tree);
        QSignalSpy delivered(m_framework.get(), &HostFramework::replyDelivered);
        const QVariantMap arguments {{Arg::Revision, 3}};

        QVERIFY(send(UpdateTimeCard, 1, arguments));
        QCOMPARE(m_handler->submitted.size(), 1);
        QCOMPARE(m_handler->submitted.first().command, UpdateTimeCard);
        QCOMPARE(m_handler->submitted.first().arguments, QVariant(arguments));
        QVERIFY(m_plugin->replies.isEmpty());

        m_handler->submitted.first().answer(reply);
        QCOMPARE(m_plugin->replies.size(), 1);
        const RecordingPlugin::Reply& got = m_plugin->replies.first();
        QCOMPARE(got.command, UpdateTimeCard);
        QCOMPARE(got.context, &contexts[1]);
        QCOMPARE(got.relayPath, "relay/1");
        QCOMPARE(got.resultCode, reply.resultCode);
        QCOMPARE(got.tree, QVariant(tree));
        QCOMPARE(delivered.size(), 1);
        QCOMPARE(delivered.first(),
                 (QVariantList {UpdateTimeCard, reply.resultCode, reply.reason, "relay/1"}));
    }

    void eachReplyKeepsItsCommand()
    {
        QVERIFY(send(GetTimeCard, 0));
        QVERIFY(send(GetBackupPath, 1));
        QVERIFY(send(GetBackupStatus, 2));
        for (int i = 2; i >= 0; --i)
            m_handler->submitted.at(i).answer({Code::Success, "<R/>", QString()});

        const QStringList commands {GetBackupStatus, GetBackupPath, GetTimeCard};
        QCOMPARE(m_plugin->replies.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(m_plugin->replies.at(i).command, commands.at(i));
            QCOMPARE(m_plugin->replies.at(i).context, &contexts[2 - i]);
            QCOMPARE(m_plugin->replies.at(i).relayPath, "relay/" + QString::number(2 - i));
        }
    }

    void refusedCommandLeavesNothingPending()
    {
        QSignalSpy pending(m_framework.get(), &HostFramework::pendingCountChanged);
        m_handler->accept = false;
        QTest::ignoreMessage(QtWarningMsg, "refused command \"GetBkpTmcard\"");
        QVERIFY(!send(GetTimeCard, 0));
        QCOMPARE(m_framework->pendingCount(), 0);
        QCOMPARE(pending.size(), 0);
        // The context stays with the plug-in: neither an answer nor a shutdown hands it back.
        QTest::ignoreMessage(QtWarningMsg, "dropped a second answer to one command");
        m_handler->submitted.first().answer({Code::Success, "<R/>", QString()});
        m_framework->cancelPending();
        QVERIFY(m_plugin->replies.isEmpty());
        QCOMPARE(pending.size(), 0);
    }

    void commandFromAnUnknownPluginIsRefused()
    {
        QTest::ignoreMessage(QtWarningMsg,
                             "command \"GetBkpTmcard\" from unknown plug-in \"0000\"");
        QVERIFY(!m_framework->SendCommand(nullptr, "0000", GetTimeCard, QVariant(), &contexts[0], 0,
                                          "relay/0"));
        QVERIFY(m_handler->submitted.isEmpty());
        QCOMPARE(m_framework->pendingCount(), 0);
    }

    void secondAnswerIsDropped()
    {
        QSignalSpy pending(m_framework.get(), &HostFramework::pendingCountChanged);
        QSignalSpy delivered(m_framework.get(), &HostFramework::replyDelivered);
        QVERIFY(send(UpdateTimeCard, 0));
        const CommandHandler::Answer answer = m_handler->submitted.first().answer;
        answer({Code::Success, "<R/>", QString()});
        QTest::ignoreMessage(QtWarningMsg, "dropped a second answer to one command");
        answer({Code::StorageFailure, "<R/>", "again"});
        QCOMPARE(m_plugin->replies.size(), 1);
        m_framework->cancelPending();
        QCOMPARE(m_plugin->replies.size(), 1);
        QCOMPARE(m_plugin->replies.first().resultCode, Code::Success);
        QCOMPARE(delivered.size(), 1);
        QCOMPARE(pending.size(), 2);
    }

    void cancelPendingAnswersEveryOutstandingCommand()
    {
        QSignalSpy delivered(m_framework.get(), &HostFramework::replyDelivered);
        QVERIFY(send(GetTimeCard, 0));
        QVERIFY(send(UpdateTimeCard, 1));
        QVERIFY(send(UpdateSchedule, 2));
        m_handler->submitted.at(0).answer({Code::Success, "<R/>", QString()});

        m_framework->cancelPending();
        QCOMPARE(m_framework->pendingCount(), 0);
        QCOMPARE(m_plugin->replies.size(), 3);
        const QVariant cancelledTree
            = QVariantMap {{"CommandCancelled", QVariantMap {{"Reason", "host shutting down"}}}};
        for (int i = 1; i < 3; ++i) {
            const RecordingPlugin::Reply& got = m_plugin->replies.at(i);
            QCOMPARE(got.command, m_handler->submitted.at(i).command);
            QCOMPARE(got.context, &contexts[i]);
            QCOMPARE(got.relayPath, "relay/" + QString::number(i));
            QCOMPARE(got.resultCode, "1099");
            QCOMPARE(got.tree, cancelledTree);
        }
        QCOMPARE(delivered.size(), 3);

        // The handler's late answers find nothing left to answer.
        QTest::ignoreMessage(QtWarningMsg, "dropped a second answer to one command");
        m_handler->submitted.at(1).answer({Code::Success, "<R/>", QString()});
        QCOMPARE(m_plugin->replies.size(), 3);
    }

    void destroyingTheFrameworkCancelsPending()
    {
        QVERIFY(send(UpdateTimeCard, 2));
        m_framework.reset();
        QCOMPARE(m_plugin->replies.size(), 1);
        QCOMPARE(m_plugin->replies.first().context, &contexts[2]);
        QCOMPARE(m_plugin->replies.first().resultCode, Code::Cancelled);
        // An answer after the framework is gone goes nowhere.
        m_handler->submitted.first().answer({Code::Success, "<R/>", QString()});
        QCOMPARE(m_plugin->replies.size(), 1);
    }

    void pendingCountFollowsTheCommands()
    {
        QSignalSpy pending(m_framework.get(), &HostFramework::pendingCountChanged);
        QVERIFY(send(GetTimeCard, 0));
        QVERIFY(send(GetBackupPath, 1));
        QCOMPARE(m_framework->property("pendingCount").toInt(), 2);
        m_handler->submitted.at(1).answer({Code::Success, "<R/>", QString()});
        QCOMPARE(m_framework->pendingCount(), 1);
        m_handler->submitted.at(0).answer({Code::Success, "<R/>", QString()});
        QCOMPARE(m_framework->pendingCount(), 0);

        QList<int> counts;
        for (const QList<QVariant>& emitted : std::as_const(pending))
            counts.append(emitted.first().toInt());
        QCOMPARE(counts, (QList<int> {1, 2, 1, 0}));
    }

    void replyForAPluginThatIsGoneIsDropped()
    {
        QSignalSpy delivered(m_framework.get(), &HostFramework::replyDelivered);
        QVERIFY(send(GetTimeCard, 0));
        m_plugin.reset();
        QTest::ignoreMessage(QtWarningMsg, "reply to \"GetBkpTmcard\" dropped: plug-in is gone");
        m_handler->submitted.first().answer({Code::Success, "<R/>", QString()});
        QCOMPARE(m_framework->pendingCount(), 0);
        QCOMPARE(delivered.size(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_HostFramework)

#include "tst_hostframework.moc"
