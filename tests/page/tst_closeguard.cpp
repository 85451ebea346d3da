// SPDX-License-Identifier: BSD-3-Clause

#include "CloseGuard.h"
#include "FakeScheduleBackup.h"
#include "PageHarness.h"
#include "Table.h"

#include <QQuickItem>
#include <QtTest>

// Closing the page's window: nothing unsaved goes without a question, and a save in flight is
// waited for as long as it takes, unless the operator closes without waiting.
class CloseGuardTest : public QObject
{
    Q_OBJECT

    // Whether the close waited for a save that was refused, the question's answer (a button or
    // "Return"), whether the window went at once, the saves sent then.
    using Answers = Table<bool, QString, bool, int>;

    bool shown(const char* name) const { return m_page->item(name)->isVisible(); }
    // Edits the directory, and saves and closes while the save is in flight or just closes.
    void editAndClose(bool duringSave) const
    {
        m_page->retype(m_page->item("targetDirField"), "/mnt/edited");
        if (duringSave)
            m_page->key(Qt::Key_S, Qt::ControlModifier);
        m_page->view()->close();
    }

    FakeScheduleBackup m_plugin;
    std::unique_ptr<PageHarness> m_page;
    std::unique_ptr<CloseGuard> m_guard;

private Q_SLOTS:
    // The tests close windows one after the other; the application must not quit.
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    void init()
    {
        m_plugin.calls.clear();
        m_page = std::make_unique<PageHarness>(&m_plugin);
        QVERIFY2(m_page->error().isEmpty(), qPrintable(m_page->error()));
        m_guard = std::make_unique<CloseGuard>(m_page->view(), m_page->page());
        m_plugin.answerLoad({});
    }

    void unsavedChangesAsk_data()
    {
        Answers::columns();
        Answers::row("Cancel keeps the window", false, "closeCancelButton", false, 0);
        Answers::row("Discard closes it unsaved", false, "closeDiscardButton", true, 0);
        Answers::row("Return saves and closes once the server confirms", false, "Return", false, 1);
        Answers::row("after a refused save, Return saves again", true, "Return", false, 2);
    }

    void unsavedChangesAsk()
    {
        const auto [refused, answer, closed, saves] = Answers::fetch();
        editAndClose(refused);
        if (refused)
            Q_EMIT m_plugin.updBackupInfoResp(false);
        QTRY_VERIFY(shown("closeDiscardButton"));
        QVERIFY(m_page->view()->isVisible());
        const QString question = m_page->item("closeMessage")->property("text").toString();
        QCOMPARE(question.contains("refused"), refused);
        // Save has the focus.
        if (answer == "Return")
            m_page->key(Qt::Key_Return);
        else
            m_page->click(m_page->item(answer));
        QTRY_COMPARE(m_page->view()->isVisible(), !closed);
        QTRY_VERIFY(closed || !shown("closeDiscardButton"));
        QCOMPARE(m_plugin.count("updateBackupInfo"), saves);
        if (!saves)
            return;
        QVERIFY(m_page->view()->isVisible());
        m_plugin.confirmUpdate();
        QVERIFY(!m_page->view()->isVisible());
    }

    void closeWithoutWaitingSaysTheChangeMayBeLost()
    {
        QQuickItem* button = m_page->item("closeWithoutWaitingButton");
        QVERIFY(!button->isVisible());
        editAndClose(true);
        QCoreApplication::processEvents();
        QVERIFY(m_page->view()->isVisible() && button->isVisible());
        const QString footer = m_page->item("messageLabel")->property("text").toString();
        QVERIFY2(footer.contains("the change may not be stored"), qPrintable(footer));
        // Reached with Tab from the inactive field that had the focus.
        for (int i = 0; i < 40 && m_page->view()->activeFocusItem() != button; ++i)
            m_page->key(Qt::Key_Tab);
        QCOMPARE(m_page->view()->activeFocusItem(), button);
        m_page->key(Qt::Key_Return);
        QVERIFY(!m_page->view()->isVisible());
    }
};

QTEST_MAIN(CloseGuardTest)
#include "tst_closeguard.moc"
