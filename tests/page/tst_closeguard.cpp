#include "CloseGuard.h"
#include "FakeScheduleBackup.h"
#include "PageHarness.h"

#include <QQuickItem>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(ScheduleBackupPagePlugin)

using namespace std::chrono_literals;

// Closing the page's window: nothing unsaved goes without a question, and a save in flight is
// waited for, within a limit.
class CloseGuardTest : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        explicit Fixture(FakeScheduleBackup* plugin, std::chrono::milliseconds limit = 10s)
            : harness(plugin), guard(harness.view(), harness.page(), limit)
        {
            plugin->answerLoad({});
        }
        void edit() const { harness.retype(harness.item("targetDirField"), "/mnt/edited"); }
        bool dialogShown() const { return harness.item("closeDiscardButton")->isVisible(); }

        PageHarness harness;
        CloseGuard guard;
    };

    FakeScheduleBackup m_plugin;

private Q_SLOTS:
    void initTestCase();
    void init();
    void closeDecisionFollowsThePage();
    void closesAtOnceWithNothingUnsaved();
    void asksWithUnsavedChanges_CancelKeepsDiscardCloses();
    void saveChosenClosesOnceTheServerConfirms();
    void refusedSaveKeepsTheWindowOpen();
    void closeDuringSaveWaitsForTheReply();
    void closeDuringSaveGivesUpAfterTheLimit();
};

void CloseGuardTest::initTestCase()
{
    // The tests close windows one after the other; the application must not quit.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

void CloseGuardTest::init()
{
    m_plugin.calls.clear();
}

void CloseGuardTest::closeDecisionFollowsThePage()
{
    const Fixture f(&m_plugin);
    QVERIFY2(f.harness.error().isEmpty(), qPrintable(f.harness.error()));
    QCOMPARE(f.harness.call("closeDecision").toString(), "close");
    f.edit();
    QCOMPARE(f.harness.call("closeDecision").toString(), "ask");
    QVERIFY(f.harness.call("save").toBool());
    QCOMPARE(f.harness.call("closeDecision").toString(), "wait");
    m_plugin.confirmUpdate();
    QCOMPARE(f.harness.call("closeDecision").toString(), "close");
}

void CloseGuardTest::closesAtOnceWithNothingUnsaved()
{
    const Fixture f(&m_plugin);
    QVERIFY2(f.harness.error().isEmpty(), qPrintable(f.harness.error()));
    f.harness.view()->close();
    QVERIFY(!f.harness.view()->isVisible());
}

void CloseGuardTest::asksWithUnsavedChanges_CancelKeepsDiscardCloses()
{
    const Fixture f(&m_plugin);
    QVERIFY2(f.harness.error().isEmpty(), qPrintable(f.harness.error()));
    f.edit();
    f.harness.view()->close();
    QVERIFY(f.harness.view()->isVisible());
    QTRY_VERIFY(f.dialogShown());

    f.harness.click(f.harness.item("closeCancelButton"));
    QTRY_VERIFY(!f.dialogShown());
    QVERIFY(f.harness.view()->isVisible());
    QCOMPARE(f.harness.item("targetDirField")->property("text").toString(), "/mnt/edited");

    f.harness.view()->close();
    QTRY_VERIFY(f.dialogShown());
    f.harness.click(f.harness.item("closeDiscardButton"));
    QTRY_VERIFY(!f.harness.view()->isVisible());
    QCOMPARE(m_plugin.count("updateBackupInfo"), 0);
}

void CloseGuardTest::saveChosenClosesOnceTheServerConfirms()
{
    const Fixture f(&m_plugin);
    QVERIFY2(f.harness.error().isEmpty(), qPrintable(f.harness.error()));
    f.edit();
    f.harness.view()->close();
    QTRY_VERIFY(f.dialogShown());
    // Save has the focus: Return takes it.
    f.harness.key(Qt::Key_Return);
    QCOMPARE(m_plugin.count("updateBackupInfo"), 1);
    QVERIFY(f.harness.view()->isVisible());
    QVERIFY(f.guard.isWaiting());
    m_plugin.confirmUpdate();
    QVERIFY(!f.harness.view()->isVisible());
}

void CloseGuardTest::refusedSaveKeepsTheWindowOpen()
{
    const Fixture f(&m_plugin);
    QVERIFY2(f.harness.error().isEmpty(), qPrintable(f.harness.error()));
    f.edit();
    f.harness.view()->close();
    QTRY_VERIFY(f.dialogShown());
    f.harness.click(f.harness.item("closeSaveButton"));
    QCOMPARE(m_plugin.count("updateBackupInfo"), 1);
    m_plugin.refuseUpdate();
    QVERIFY(f.harness.view()->isVisible());
    QVERIFY(!f.guard.isWaiting());
    QCOMPARE(f.harness.property("closePending").toBool(), false);
    // The refusal is shown, not the question again.
    QCOMPARE(f.harness.message(), "The server refused the change.");
    QVERIFY(!f.dialogShown());
}

void CloseGuardTest::closeDuringSaveWaitsForTheReply()
{
    const Fixture f(&m_plugin);
    QVERIFY2(f.harness.error().isEmpty(), qPrintable(f.harness.error()));
    f.edit();
    QVERIFY(f.harness.call("save").toBool());
    f.harness.view()->close();
    QVERIFY(f.harness.view()->isVisible());
    QVERIFY(!f.dialogShown());
    QVERIFY(f.guard.isWaiting());
    QVERIFY(f.harness.message().contains("The window closes once the server has confirmed"));
    m_plugin.confirmUpdate();
    QVERIFY(!f.harness.view()->isVisible());
}

void CloseGuardTest::closeDuringSaveGivesUpAfterTheLimit()
{
    const Fixture f(&m_plugin, 50ms);
    QVERIFY2(f.harness.error().isEmpty(), qPrintable(f.harness.error()));
    QSignalSpy gaveUp(&f.guard, &CloseGuard::waitTimedOut);
    f.edit();
    QVERIFY(f.harness.call("save").toBool());
    f.harness.view()->close();
    QVERIFY(f.harness.view()->isVisible());
    QTRY_VERIFY(!f.harness.view()->isVisible());
    QCOMPARE(gaveUp.size(), 1);
}

QTEST_MAIN(CloseGuardTest)
#include "tst_closeguard.moc"
