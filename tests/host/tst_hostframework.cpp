// SPDX-License-Identifier: BSD-3-Clause
// The host's framework over a command handler that answers only when told to: one reply per
// accepted command, with the command's own context and relay path, and none for anything else.

#include "BackupWords.h"
#include "CommandHandler.h"
#include "HostFramework.h"
#include "PluginBase.h"

#include <QTest>

namespace {

using namespace BackupWords;

const QString PluginId = QStringLiteral("5E0F455B8F75EDDC573E2B643CE573D2");

// Distinct addresses to stand for the contexts a plug-in hands over.
int contexts[3];

// Keeps every answer until a test gives it.
struct HeldHandler : CommandHandler
{
    bool submit(const QString&, const QVariant&, Answer answer) override
    {
        answers.append(std::move(answer));
        return accept;
    }

    bool accept = true;
    QList<Answer> answers;
};

// Records each reply as "command code relay-path context-number".
class RecordingPlugin : public PluginBase
{
public:
    // PluginBase
    void InitialPluginBase(QQmlContext*, void*, FrameworkWrapperBase*) override { }
    void EventProcessor(QString, long long, int, int, QVariant, const QString&) override { }
    void CommandProcessor(QString command, QVariant, void* context, QString resultCode, QString,
                          bool, const QString& relayPath) override
    {
        const auto number = static_cast<int*>(context) - contexts;
        replies.append(
            QStringLiteral("%1 %2 %3 %4").arg(command, resultCode, relayPath).arg(number));
    }
    bool Init(QQmlContext*) override { return true; }

    QStringList replies;
};

} // namespace

class tst_HostFramework : public QObject
{
    Q_OBJECT

    std::unique_ptr<HeldHandler> m_handler;
    std::unique_ptr<RecordingPlugin> m_plugin;
    std::unique_ptr<HostFramework> m_framework;

    bool send(const QString& command, int context)
    {
        return m_framework->SendCommand(nullptr, PluginId, command, QVariant(), &contexts[context],
                                        0, "relay/" + QString::number(context));
    }

private Q_SLOTS:
    void init()
    {
        m_handler = std::make_unique<HeldHandler>();
        m_plugin = std::make_unique<RecordingPlugin>();
        m_framework = std::make_unique<HostFramework>(m_handler.get());
        m_framework->registerPlugin(PluginId, m_plugin.get());
    }

    void cleanup() { m_framework.reset(); }

    void replyKeepsItsCommandContextAndRelayPath()
    {
        QVERIFY(send(GetTimeCard, 0));
        QVERIFY(send(UpdateTimeCard, 1));
        // Answered the other way round.
        m_handler->answers.at(1)({QStringLiteral("1001"), "<UpdBkpTmcardRes/>", "stale"});
        m_handler->answers.at(0)({Code::Success, "<GetBkpTmcardRes/>", QString()});

        QCOMPARE(m_plugin->replies,
                 (QStringList {"UpdBkpTmcard 1001 relay/1 1", "GetBkpTmcard 0 relay/0 0"}));
    }

    void cancelAnswersWhatIsOutstandingOnce()
    {
        QVERIFY(send(GetTimeCard, 0));
        QVERIFY(send(UpdateTimeCard, 1));
        m_handler->answers.at(0)({Code::Success, "<R/>", QString()});
        m_handler->answers.at(0)({QStringLiteral("1006"), "<R/>", "again"}); // dropped
        // A refused command's context stays with the plug-in: nothing is kept for it.
        m_handler->accept = false;
        QVERIFY(!send(GetTimeCard, 2));
        QCOMPARE(m_framework->pendingCount(), 1);

        m_framework->cancelPending();
        QCOMPARE(m_plugin->replies,
                 (QStringList {"GetBkpTmcard 0 relay/0 0", "UpdBkpTmcard 1099 relay/1 1"}));
        QCOMPARE(m_framework->pendingCount(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_HostFramework)

#include "tst_hostframework.moc"
