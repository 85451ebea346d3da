// SPDX-License-Identifier: BSD-3-Clause

#include "FakeScheduleBackup.h"
#include "PageHarness.h"

#include <QAccessible>
#include <QQuickItem>
#include <QStyleHints>
#include <QTranslator>
#include <QtTest>

namespace {
const QString UpdateBackupInfo = QStringLiteral("updateBackupInfo");

// Positions of updateBackupInfo's arguments.
enum Arg { Enabled, Cyclic, Dir, Cameras, ScheduleName, Schedule, ThroughputMB, RangeDays };
} // namespace

// The page against a fake plug-in whose replies the tests trigger: editing, saving, refusals
// and what the operator typed; keyboard only, screen readers, the grouped camera list and the
// status line.
class PageEditingTest : public QObject
{
    Q_OBJECT

private:
    QVariant sent(Arg arg) const { return m_plugin.last(UpdateBackupInfo).arguments.at(arg); }
    QString text(const QString& name) const
    {
        return m_page->item(name)->property("text").toString();
    }
    // The item that takes the keyboard for a named part: a switch row's switch, a limit's field.
    QQuickItem* focusable(const QString& name) const
    {
        QQuickItem* item = m_page->item(name);
        for (const char* inner : {"control", "input"}) {
            if (auto* found = item ? item->property(inner).value<QQuickItem*>() : nullptr)
                return found;
        }
        return item;
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
    void cleanup()
    {
        m_page.reset();
        QLocale::setDefault(QLocale::c());
    }
    void keysTypedWhileSavingAreRefusedVisibly();
    void badValuesAreFlaggedNotClamped_data();
    void badValuesAreFlaggedNotClamped();
    void overwriteListsTheDifferencesAndWritesOnlyTheOperatorsFields();
    void storedTextIsShownAsPlainText();
    void tabReachesEveryPartInReadingOrder();
    void everyControlHasAnAccessibleName();
    void focusStaysWhereTheOperatorIs_data();
    void focusStaysWhereTheOperatorIs();
    void camerasNoLongerInTheInventoryCanBeCleared();
    void everythingFitsAt800x600_data();
    void everythingFitsAt800x600();
    void everyFieldShowsItsHelp_data();
    void everyFieldShowsItsHelp();
    void datesFollowTheLocale_data();
    void datesFollowTheLocale();
};

void PageEditingTest::keysTypedWhileSavingAreRefusedVisibly()
{
    m_plugin.answerLoad({});
    QQuickItem* dir = m_page->item("targetDirField");
    m_page->retype(dir, "/mnt/archive");
    m_page->key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(sent(Dir).toString(), "/mnt/archive");

    // Inactive, and saying why.
    for (const char* name : {"settingsPane", "cameraSelector", "scheduleEditor"}) {
        QVERIFY2(!m_page->item(name)->isEnabled(), name);
        QVERIFY2(m_page->item(name)->property("title").toString().contains("saving"), name);
    }
    QVERIFY(!m_page->item("saveButton")->isEnabled()
            && !m_page->item("saveScheduleButton")->isEnabled());
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

void PageEditingTest::badValuesAreFlaggedNotClamped_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("typed"); // null: the part is a button to click
    QTest::addColumn<QString>("problem"); // empty: sent

    // Each limit against its own maximum; the boundaries themselves are the client's rules.
    QTest::newRow("throughput at its largest is sent") << "throughputField"
                                                       << "1000000"
                                                       << "";
    QTest::newRow("range above its largest") << "rangeField"
                                             << "3651"
                                             << "rangeFieldProblem";
    QTest::newRow("blank directory") << "targetDirField"
                                     << "   "
                                     << "targetDirProblem";
    QTest::newRow("no camera") << "selectNoCamerasButton" << QString() << "cameraProblem";
}

void PageEditingTest::badValuesAreFlaggedNotClamped()
{
    QFETCH(QString, part);
    QFETCH(QString, typed);
    QFETCH(QString, problem);

    m_plugin.answerLoad({});
    if (typed.isNull())
        m_page->click(m_page->item(part));
    else
        m_page->retype(focusable(part), typed);
    QCOMPARE(m_page->call("save").toBool(), problem.isEmpty());
    QCOMPARE(m_plugin.count(UpdateBackupInfo), problem.isEmpty() ? 1 : 0);
    QCOMPARE(problem.isEmpty() || !text(problem).isEmpty(), true);
    // Never clamped: the field keeps what was typed.
    if (!typed.isNull())
        QCOMPARE(text(part), typed);
}

void PageEditingTest::overwriteListsTheDifferencesAndWritesOnlyTheOperatorsFields()
{
    m_plugin.answerLoad({});
    m_page->retype(m_page->item("targetDirField"), "/mnt/mine");
    m_page->retype(focusable("rangeField"), "5");
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
    QCOMPARE(
        QStringList({text("throughputField"), text("scheduleNameField"), text("targetDirField")}),
        QStringList({"77", "Night shift", "/mnt/mine"}));

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

void PageEditingTest::tabReachesEveryPartInReadingOrder()
{
    // The smallest window, where the status is below the fold until Tab scrolls to it.
    m_page->view()->resize(800, 600);
    m_plugin.answerLoad({});
    m_page->retype(m_page->item("targetDirField"), "/mnt/tabbed"); // Save takes focus now
    QList<QQuickItem*> expected;
    for (const char* name :
         {"enabledSwitch", "targetDirField", "throughputField", "rangeField", "allCamerasBox",
          "cameraList", "scheduleNameField", "clearScheduleButton", "rangeEntryField", "statusPane",
          "reloadButton", "saveButton"})
        expected << focusable(name);
    QVERIFY(!expected.contains(nullptr));

    QQuickItem* list = m_page->item("cameraList");
    QQuickItem* scroller = m_page->item("pageScroller");
    expected.first()->forceActiveFocus(Qt::TabFocusReason);
    QList<QQuickItem*> visited {m_page->view()->activeFocusItem()};
    for (int i = 0; i < 80 && !visited.contains(expected.last()); ++i) {
        m_page->key(Qt::Key_Tab);
        // In the camera list the focus sits on the current row.
        QQuickItem* stop = m_page->view()->activeFocusItem();
        visited.append(stop->objectName().startsWith("camera:") ? list : stop);
        // The page scrolls to every stop on it, the whole height of its first line in view.
        const QRectF line = stop->mapRectToScene(QRectF(0, 0, 1, std::min(stop->height(), 20.0)));
        QVERIFY2(!scroller->isAncestorOf(stop)
                     || scroller->mapRectToScene(scroller->boundingRect()).contains(line),
                 qPrintable(stop->objectName() + " is out of sight"));
    }
    int previous = -1;
    for (QQuickItem* stop : expected) {
        const int at = int(visited.indexOf(stop));
        QVERIFY2(at > previous, qPrintable(stop->objectName() + " out of order or not reached"));
        previous = at;
    }
}

void PageEditingTest::everyControlHasAnAccessibleName()
{
    // As a screen reader would find it: the controls describe themselves once it is active.
    QAccessible::setActive(true);
    // The smallest window: the page overflows and shows its scroll bar.
    m_page->view()->resize(800, 600);
    m_plugin.answerLoad({});
    m_page->retype(m_page->item("targetDirField"), "/mnt/said");
    // Popups count as well: open one, then read everything the window shows.
    m_page->click(m_page->item("copyDayButton"));
    QTRY_VERIFY(m_page->item("copyConfirmButton")->isVisible());
    m_page->view()->grabWindow();

    // Roles that take input or show state; each needs a name.
    const QList<QAccessible::Role> named {
        QAccessible::Button,       QAccessible::CheckBox,  QAccessible::RadioButton,
        QAccessible::EditableText, QAccessible::ComboBox,  QAccessible::ScrollBar,
        QAccessible::ProgressBar,  QAccessible::Slider,    QAccessible::SpinBox,
        QAccessible::ToolBar,      QAccessible::Pane,      QAccessible::List,
        QAccessible::Table,        QAccessible::StatusBar, QAccessible::Grouping,
        QAccessible::Dialog,       QAccessible::ListItem,  QAccessible::PageTab};
    QStringList unnamed;
    QStringList status;
    int checked = 0;
    int scrollBars = 0;
    QList<QAccessibleInterface*> pending {QAccessible::queryAccessibleInterface(m_page->view())};
    while (!pending.isEmpty()) {
        QAccessibleInterface* node = pending.takeFirst();
        if (!node || node->state().invisible)
            continue;
        for (int i = 0; i < node->childCount(); ++i)
            pending.append(node->child(i));
        if (!named.contains(node->role()))
            continue;
        ++checked;
        // A field's help is read out like its tooltip.
        if (node->text(QAccessible::Name).isEmpty()
            || (node->role() == QAccessible::EditableText
                && node->text(QAccessible::Description).isEmpty()))
            unnamed << node->object()->metaObject()->className() + QStringLiteral(" role ")
                    + QString::number(node->role());
        scrollBars += node->role() == QAccessible::ScrollBar;
        if (node->role() == QAccessible::StatusBar)
            status << node->text(QAccessible::Name);
    }
    QVERIFY2(checked >= 30, qPrintable(QString::number(checked)));
    QCOMPARE(scrollBars, 2); // the page's and the camera list's
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    // The footer's message is the status element, so its changes are announced.
    QCOMPARE(status, QStringList {text("messageLabel")});
}

void PageEditingTest::everythingFitsAt800x600_data()
{
    QTest::addColumn<QString>("catalogue"); // empty: English
    QTest::newRow("English") << QString();
    QTest::newRow("German") << QStringLiteral("schedulebackup_de");
}

// Every text, button and switch gets the width its text needs, and every field room to type,
// in the smallest window and in the longer language.
void PageEditingTest::everythingFitsAt800x600()
{
    QFETCH(QString, catalogue);
    QTranslator translator;
    if (!catalogue.isEmpty()) {
        QVERIFY(translator.load(
            catalogue, QStringLiteral(SCHEDULE_BACKUP_QML_DIR "/ScheduleBackup/Page/i18n")));
        QCoreApplication::installTranslator(&translator);
        m_page->view()->engine()->retranslate();
    }
    m_page->view()->resize(800, 600);
    m_plugin.answerLoad({});
    // The Presets menu is read open, as wide as its longest entry.
    m_page->click(m_page->item("presetButton"));
    QTRY_VERIFY(m_page->item("preset:office") && m_page->item("preset:office")->isVisible());
    m_page->view()->grabWindow();
    QStringList squeezed;
    for (QQuickItem* item : m_page->visualItems()) {
        if (!item->isVisible())
            continue;
        const QString kind = QString::fromLatin1(item->metaObject()->className());
        const bool field = kind.contains(u"TextField");
        const bool sized = kind.contains(u"Button") || kind.contains(u"Switch")
            || kind.contains(u"CheckBox") || kind.contains(u"MenuItem")
            || (kind.startsWith(u"QQuickText") && item->property("elide").toInt() == 0
                && item->property("wrapMode").toInt() == 0);
        if ((field && item->width() < 100)
            || (sized && !field && item->width() + 1 < item->implicitWidth()))
            squeezed << QStringLiteral("%1 \"%2\" %3 < %4")
                            .arg(kind, item->property("text").toString())
                            .arg(item->width())
                            .arg(field ? 100 : item->implicitWidth());
    }
    QCoreApplication::removeTranslator(&translator);
    QVERIFY2(squeezed.isEmpty(), qPrintable(squeezed.join(u'\n')));
}

void PageEditingTest::everyFieldShowsItsHelp_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("hover"); // else keyboard focus
    for (const char* field : {"targetDirField", "throughputField", "rangeField",
                              "scheduleNameField", "rangeEntryField", "cameraFilterField"}) {
        QTest::addRow("%s, focus", field) << QString::fromLatin1(field) << false;
        QTest::addRow("%s, hover", field) << QString::fromLatin1(field) << true;
    }
}

// The help that a screen reader reads as the field's description shows as its tooltip.
void PageEditingTest::everyFieldShowsItsHelp()
{
    QFETCH(QString, field);
    QFETCH(bool, hover);
    m_plugin.answerLoad({});
    QQuickItem* input = focusable(field);
    const QString help
        = QAccessible::queryAccessibleInterface(input)->text(QAccessible::Description);
    QVERIFY(!help.isEmpty());
    if (hover) {
        // From elsewhere, so that the pointer enters the field even if it was left there.
        QTest::mouseMove(m_page->view(), QPoint(1, 1));
        QTest::mouseMove(m_page->view(), input->mapToScene(QPointF(4, 4)).toPoint());
    } else {
        input->forceActiveFocus(Qt::TabFocusReason);
    }
    const auto shown = [&] {
        for (QQuickItem* item : m_page->visualItems()) {
            if (item->isVisible() && item->property("text").toString() == help
                && !input->isAncestorOf(item) && item != input)
                return true;
        }
        return false;
    };
    QTRY_VERIFY(shown());
}

void PageEditingTest::focusStaysWhereTheOperatorIs_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("reloads");
    QTest::addColumn<QString>("expected");

    QTest::newRow("first Tab in a new window") << "" << false << "Tab" << false << "enabledSwitch";
    QTest::newRow("Presets menu closed")
        << "presetButton" << false << "Space Escape" << false << "presetButton";
    QTest::newRow("Presets entry chosen")
        << "presetButton" << false << "Space Down Return" << false << "presetButton";
    QTest::newRow("Copy day cancelled")
        << "copyDayButton" << false << "Space Escape" << false << "copyDayButton";
    QTest::newRow("Discard dialog cancelled")
        << "rangeField" << true << "F5 Escape" << false << "rangeField";
    QTest::newRow("reload confirmed")
        << "rangeField" << true << "F5 Tab Space" << true << "enabledSwitch";
    QTest::newRow("reload without changes")
        << "reloadButton" << false << "Space" << true << "enabledSwitch";
}

void PageEditingTest::focusStaysWhereTheOperatorIs()
{
    QFETCH(QString, opener);
    QFETCH(bool, edited);
    QFETCH(QString, keys);
    QFETCH(bool, reloads);
    QFETCH(QString, expected);

    m_plugin.answerLoad({});
    if (edited)
        m_page->retype(m_page->item("targetDirField"), "/mnt/edited");
    if (!opener.isEmpty())
        focusable(opener)->forceActiveFocus(Qt::TabFocusReason);
    const int loads = m_plugin.count("getBackupInfo");
    for (const QString& name : keys.split(' ')) {
        m_page->key(Qt::Key(QKeySequence::fromString(name)[0].key()));
        // Popups open and close over a frame or two.
        QTest::qWait(20);
    }
    QCOMPARE(m_plugin.count("getBackupInfo"), loads + (reloads ? 1 : 0));
    if (reloads)
        m_plugin.answerLoad({});
    QTRY_COMPARE(m_page->view()->activeFocusItem(), focusable(expected));
}

void PageEditingTest::camerasNoLongerInTheInventoryCanBeCleared()
{
    FakeScheduleBackup::Stored stored;
    stored.cameras = QStringList {"cam-01", "cam-gone"};
    m_plugin.answerLoad(stored);
    QQuickItem* group = m_page->item("cameraGroup:missing");
    QVERIFY(group);
    QCOMPARE(group->property("text").toString(), "No longer in the inventory");
    QQuickItem* gone = m_page->item("camera:cam-gone");
    QVERIFY(gone && gone->property("checked").toBool());

    // Down to the last row, which is the camera that left, and Space clears it.
    m_page->item("cameraList")->forceActiveFocus(Qt::TabFocusReason);
    for (int row = 0; row < 12; ++row)
        m_page->key(Qt::Key_Down);
    m_page->key(Qt::Key_Space);
    QVERIFY(!gone->property("checked").toBool());
    m_page->key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_plugin.count("updateBackupInfo"), 1);
    const QVariantList sent = m_plugin.last("updateBackupInfo").arguments.at(3).toList();
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.first().toMap().value("Name").toString(), "cam-01");

    m_plugin.confirmUpdate();
    QCOMPARE(m_page->property("modified").toBool(), false);
    QTRY_VERIFY(!m_page->item("cameraGroup:missing"));
}

void PageEditingTest::datesFollowTheLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("shownWindow");

    // The C locale's short time has seconds; the page shows none.
    QTest::newRow("C, a window of one day") << QLocale::c() << "2026-12-07 09:00:00 - 17:00"
                                            << "Monday, 7 December 2026, 09:00\u201317:00";
    QTest::newRow("German, a window to midnight")
        << QLocale(QLocale::German, QLocale::Germany) << "2026-12-07 22:00 - 24:00"
        << "Montag, 7. Dezember 2026, 22:00\u201324:00";
    QTest::newRow("German, a window over midnight")
        << QLocale(QLocale::German, QLocale::Germany) << "2026-12-07 22:00 - 2026-12-08 06:00"
        << "Montag, 7. Dezember 2026, 22:00 \u2013 Dienstag, 8. Dezember 2026, 06:00";
    QTest::newRow("text that is no window is kept") << QLocale::c() << "soon"
                                                    << "soon";
}

void PageEditingTest::datesFollowTheLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, window);
    QFETCH(QString, shownWindow);

    QLocale::setDefault(locale);
    const QDateTime next = QDateTime::currentDateTime().addSecs(90 * 60 + 30);
    m_plugin.nextBackupTime = next.toMSecsSinceEpoch();
    m_plugin.answerLoad({});
    Q_EMIT m_plugin.getBackupStatusResp(true, "Idle", window, 0);
    QTRY_VERIFY(text("nextBackupLabel").endsWith("(in 1 h 30 min)"));
    const QString shownNext = text("nextBackupLabel");
    QVERIFY2(shownNext.startsWith(locale.toString(next.date(), QLocale::LongFormat) + ", "),
             qPrintable(shownNext));
    QVERIFY2(!shownNext.contains(QRegularExpression("\\d:\\d\\d:\\d\\d")), qPrintable(shownNext));
    QVERIFY2(text("backupStatusLabel").endsWith(", " + shownWindow),
             qPrintable(text("backupStatusLabel")));
}

QTEST_MAIN(PageEditingTest)
#include "tst_pageediting.moc"
