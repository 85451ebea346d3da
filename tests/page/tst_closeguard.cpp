// SPDX-License-Identifier: BSD-3-Clause

#include "CloseGuard.h"
#include "FakeScheduleBackup.h"
#include "PageHarness.h"

#include <QQuickItem>
#include <QtTest>

// Closing the page's window: nothing unsaved goes without a question, and a save in flight is
// waited for as long as it takes, unless the operator closes without waiting.
class CloseGuardTest : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        explicit Fixture(FakeScheduleBackup* plugin)
            : harness(plugin), guard(harness.view(), harness.page())
        {
            plugin->answerLoad({});
        }
        void edit() const { harness.retype(harness.item("targetDirField"), "/mnt/edited"); }
        bool dialogShown() const { return harness.item("closeDiscardButton")->isVisible(); }
        QString footer() const { return harness.item("messageLabel")->property("text").toString(); }
        // Edits, saves and closes while the save is in flight.
        void closeDuringSave() const
        {
            edit();
            harness.key(Qt::Key_S, Qt::ControlModifier);
            harness.view()->close();
        }

        PageHarness harness;
        CloseGuard guard;
    };

    FakeScheduleBackup m_plugin;

private Q_SLOTS:
    void initTestCase();
    void init() { m_plugin.calls.clear(); }
    void asksWithUnsavedChanges_CancelKeepsDiscardCloses();
    void returnOnSaveClosesOnceTheServerConfirms_data();
    void returnOnSaveClosesOnceTheServerConfirms();
    void closeWithoutWaitingSaysTheChangeMayBeLost();
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

void CloseGuardTest::returnOnSaveClosesOnceTheServerConfirms_data()
{
    QTest::addColumn<bool>("refused"); // the close waited for a save that was refused

    QTest::newRow("unsaved changes") << false;
    QTest::newRow("after a refused save") << true;
}

void CloseGuardTest::returnOnSaveClosesOnceTheServerConfirms()
{
    QFETCH(bool, refused);

    const Fixture f(&m_plugin);
    QVERIFY2(f.harness.error().isEmpty(), qPrintable(f.harness.error()));
    if (refused) {
        f.closeDuringSave();
        Q_EMIT m_plugin.updBackupInfoResp(false);
    } else {
        f.edit();
        f.harness.view()->close();
    }
    QTRY_VERIFY(f.dialogShown());
    QVERIFY(f.harness.view()->isVisible());
    const QString question = f.harness.item("closeMessage")->property("text").toString();
    QCOMPARE(question.contains("refused"), refused);
    // Save has the focus: Return presses it, and the window waits for the server.
    f.harness.key(Qt::Key_Return);
    QCOMPARE(m_plugin.count("updateBackupInfo"), refused ? 2 : 1);
    QVERIFY(f.harness.view()->isVisible());
    m_plugin.confirmUpdate();
    QVERIFY(!f.harness.view()->isVisible());
}

void CloseGuardTest::closeWithoutWaitingSaysTheChangeMayBeLost()
{
    const Fixture f(&m_plugin);
    QVERIFY2(f.harness.error().isEmpty(), qPrintable(f.harness.error()));
    QQuickItem* button = f.harness.item("closeWithoutWaitingButton");
    QVERIFY(!button->isVisible());
    f.closeDuringSave();
    QCoreApplication::processEvents();
    QVERIFY(f.harness.view()->isVisible());
    QVERIFY(button->isVisible());
    QVERIFY2(f.footer().contains("the change may not be stored"), qPrintable(f.footer()));
    // Reached with Tab from the inactive field that had the focus.
    for (int i = 0; i < 40 && f.harness.view()->activeFocusItem() != button; ++i)
        f.harness.key(Qt::Key_Tab);
    QCOMPARE(f.harness.view()->activeFocusItem(), button);
    f.harness.key(Qt::Key_Return);
    QVERIFY(!f.harness.view()->isVisible());
}

QTEST_MAIN(CloseGuardTest)
#include "tst_closeguard.moc"
