// SPDX-License-Identifier: BSD-3-Clause

#include "FakeScheduleBackup.h"
#include "PageHarness.h"

#include <QQuickItem>
#include <QtTest>

namespace {
const QString UpdateBackupInfo = QStringLiteral("updateBackupInfo");

// Positions of updateBackupInfo's arguments.
enum Arg { Enabled, Cyclic, Dir, Cameras, ScheduleName, Schedule, ThroughputMB, RangeDays };
} // namespace

// The page against a fake plug-in whose replies the tests trigger: editing, saving, refusals
// and what the operator typed.
class PageEditingTest : public QObject
{
    Q_OBJECT

private:
    QVariant sent(Arg arg) const { return m_plugin.last(UpdateBackupInfo).arguments.at(arg); }
    QString text(const QString& name) const
    {
        return m_page->item(name)->property("text").toString();
    }

    FakeScheduleBackup m_plugin;
    // Shown but not loaded: each test answers the load with what it needs.
    std::unique_ptr<PageHarness> m_page;

private Q_SLOTS:
    void init()
    {
        m_plugin.calls.clear();
        m_page = std::make_unique<PageHarness>(&m_plugin);
        QVERIFY2(m_page->error().isEmpty(), qPrintable(m_page->error()));
    }
    void cleanup() { m_page.reset(); }
    void keysTypedWhileSavingAreRefusedVisibly();
    void limitsAreRefusedNotClamped_data();
    void limitsAreRefusedNotClamped();
    void emptyDirectoryAndNoCamerasAreFlaggedBeforeSending();
    void overwriteListsTheDifferencesAndWritesOnlyTheOperatorsFields();
    void storedTextIsShownAsPlainText();
};

void PageEditingTest::keysTypedWhileSavingAreRefusedVisibly()
{
    m_plugin.answerLoad({});
    QQuickItem* dir = m_page->item("targetDirField");
    m_page->retype(dir, "/mnt/archive");
    m_page->key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(sent(Dir).toString(), "/mnt/archive");

    // Inactive, and saying why.
    for (const char* name : {"targetDirField", "settingsPane", "cameraSelector", "scheduleEditor",
                             "saveButton", "saveScheduleButton"})
        QVERIFY2(!m_page->item(name)->isEnabled(), name);
    for (const char* name : {"settingsPane", "cameraSelector", "scheduleEditor"})
        QVERIFY2(m_page->item(name)->property("title").toString().contains("saving"), name);
    m_page->type("xyz");
    QCOMPARE(text("targetDirField"), "/mnt/archive");
    QVERIFY2(text("messageLabel").contains("not applied"), qPrintable(text("messageLabel")));

    m_plugin.confirmUpdate();
    QVERIFY(dir->isEnabled());
    QVERIFY(dir->hasActiveFocus());
    QVERIFY(!m_page->item("settingsPane")->property("title").toString().contains("saving"));
    // Typing goes into the field again.
    m_page->type("2");
    QCOMPARE(text("targetDirField"), "/mnt/archive2");
}

void PageEditingTest::limitsAreRefusedNotClamped_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("acceptable");

    QTest::newRow("throughput at the largest is sent") << "throughputField"
                                                       << "1000000" << true;
    QTest::newRow("throughput above the largest is refused") << "throughputField"
                                                             << "1000001" << false;
    QTest::newRow("range at the largest is sent") << "rangeField"
                                                  << "3650" << true;
    QTest::newRow("range above the largest is refused") << "rangeField"
                                                        << "3651" << false;
}

void PageEditingTest::limitsAreRefusedNotClamped()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, acceptable);

    m_plugin.answerLoad({});
    m_page->retype(m_page->item(field)->property("input").value<QQuickItem*>(), typed);
    QCOMPARE(m_page->call("save").toBool(), acceptable);
    QCOMPARE(m_plugin.count(UpdateBackupInfo), acceptable ? 1 : 0);
    QCOMPARE(text(field + "Problem").isEmpty(), acceptable);
    // Never clamped: the field keeps what was typed.
    QCOMPARE(text(field), typed);
}

void PageEditingTest::emptyDirectoryAndNoCamerasAreFlaggedBeforeSending()
{
    m_plugin.answerLoad({});
    m_page->retype(m_page->item("targetDirField"), "   ");
    QVERIFY(!m_page->call("save").toBool());
    QVERIFY(!text("targetDirProblem").isEmpty());

    m_page->retype(m_page->item("targetDirField"), "/mnt/x");
    QMetaObject::invokeMethod(m_page->item("cameraSelector"), "setSelection",
                              Q_ARG(QVariant, false), Q_ARG(QVariant, QVariantList {}));
    QVERIFY(!m_page->call("save").toBool());
    QVERIFY(!text("cameraProblem").isEmpty());
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 0);
}

void PageEditingTest::overwriteListsTheDifferencesAndWritesOnlyTheOperatorsFields()
{
    m_plugin.answerLoad({});
    m_page->retype(m_page->item("targetDirField"), "/mnt/mine");
    m_page->retype(m_page->item("rangeField")->property("input").value<QQuickItem*>(), "5");
    m_page->key(Qt::Key_S, Qt::ControlModifier);
    Q_EMIT m_plugin.updBackupInfoResp(false);
    m_page->page()->setProperty("lastRefusal", "1001");

    // Another operator changed the directory too, and the throughput and the name.
    m_page->click(m_page->item("overwriteButton"));
    FakeScheduleBackup::Stored newer;
    newer.dir = "/else%2where";
    newer.throughputMB = 77;
    newer.scheduleName = "Night shift";
    m_plugin.answerLoad(newer);
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 1);
    QTRY_VERIFY(m_page->item("overwriteConfirmButton")->isVisible());
    const QString listed = text("overwriteList");
    for (const char* shown : {"Target directory", "/else%2where", "/mnt/mine", "Time range"})
        QVERIFY2(listed.contains(shown), qPrintable(listed));
    for (const char* hidden : {"throughput", "Schedule name", "Cameras"})
        QVERIFY2(!listed.contains(hidden), qPrintable(listed));
    // The page shows the other operator's values where this one changed nothing.
    QCOMPARE(text("throughputField"), "77");
    QCOMPARE(text("scheduleNameField"), "Night shift");
    QCOMPARE(text("targetDirField"), "/mnt/mine");

    m_page->click(m_page->item("overwriteConfirmButton"));
    QCOMPARE(m_plugin.count(UpdateBackupInfo), 2);
    QCOMPARE(sent(ThroughputMB).toInt(), 77);
}

void PageEditingTest::storedTextIsShownAsPlainText()
{
    const QString markup = QStringLiteral("<h1>x</h1>");
    FakeScheduleBackup::Stored stored;
    stored.dir = markup;
    stored.scheduleName = markup;
    stored.cameras = QStringList {markup};
    m_plugin.answerLoad(stored);
    Q_EMIT m_plugin.getBackupPathResp(true, markup);
    Q_EMIT m_plugin.getBackupStatusResp(true, markup, markup, 10);

    QList<int> shown; // the text formats of the items showing the stored text
    for (QQuickItem* item : m_page->visualItems()) {
        if (item->inherits("QQuickText") && item->isVisible()
            && item->property("text").toString().contains(markup))
            shown << item->property("textFormat").toInt();
    }
    // The backup path, the status and the unknown camera at least, all in Text.PlainText.
    QVERIFY(shown.size() >= 3);
    QCOMPARE(shown, QList<int>(shown.size(), 0));
}

QTEST_MAIN(PageEditingTest)
#include "tst_pageediting.moc"
