#include "CloseGuard.h"
#include "FakeScheduleBackup.h"
#include "PageHarness.h"

#include <QQuickItem>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(ScheduleBackupPagePlugin)

using namespace std::chrono_literals;

// Closing the page's window: nothing unsaved goes without a question, and a save in flight is
// waited for.
class CloseGuardTest : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        explicit Fixture(FakeScheduleBackup* plugin)
            : harness(plugin), guard(harness.view(), harness.page(), 10s)
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
    void init() { m_plugin.calls.clear(); }
    void asksWithUnsavedChanges_CancelKeepsDiscardCloses();
    void returnOnSaveClosesOnceTheServerConfirms();
    void closeDuringSaveWaitsForTheReply();
};

void CloseGuardTest::initTestCase()
{
    // The tests close windows one after the other; the application must not quit.
    QGuiApplication::setQuitOnLastWindowClosed(false);
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

    f.harness.view()->close();
    QTRY_VERIFY(f.dialogShown());
    f.harness.click(f.harness.item("closeDiscardButton"));
    QTRY_VERIFY(!f.harness.view()->isVisible());
    QCOMPARE(m_plugin.count("updateBackupInfo"), 0);
}

void CloseGuardTest::returnOnSaveClosesOnceTheServerConfirms()
{
    const Fixture f(&m_plugin);
    QVERIFY2(f.harness.error().isEmpty(), qPrintable(f.harness.error()));
    f.edit();
    f.harness.view()->close();
    QTRY_VERIFY(f.dialogShown());
    // Save has the focus: Return presses it.
    f.harness.key(Qt::Key_Return);
    QCOMPARE(m_plugin.count("updateBackupInfo"), 1);
    QVERIFY(f.harness.view()->isVisible());
    m_plugin.confirmUpdate();
    QVERIFY(!f.harness.view()->isVisible());
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
    m_plugin.confirmUpdate();
    QVERIFY(!f.harness.view()->isVisible());
}

QTEST_MAIN(CloseGuardTest)
#include "tst_closeguard.moc"
