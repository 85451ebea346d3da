// SPDX-License-Identifier: BSD-3-Clause

#include "FakeScheduleBackup.h"
#include "PageSession.h"
#include "WeekGridModel.h"

#include <QSignalSpy>
#include <QtTest>

namespace {
const QString UpdateBackupInfo = QStringLiteral("updateBackupInfo");
const QString UpdateSchedule = QStringLiteral("updateSchedule");
const QString GetBackupInfo = QStringLiteral("getBackupInfo");
const QString Relay = QStringLiteral("relay");

// Positions of updateBackupInfo's arguments.
enum Arg { Enabled, Cyclic, Dir, Cameras, ScheduleName, Schedule, ThroughputMB, RangeDays };

using State = PageSession::State;
using Edits = QVariantMap;
} // namespace

// The page's session against a fake plug-in whose replies the tests trigger. The fixture plays
// the page: it shows the values the session hands over and edits them as an operator would.
class PageSessionTest : public QObject
{
    Q_OBJECT

private:
    void edit(const QString& field, const QVariant& value)
    {
        QVariantMap edits = m_session->edits();
        edits.insert(field, value);
        m_session->setEdits(edits);
    }
    // Loaded with the fake's defaults, then edited.
    void loadAndEdit(const Edits& changes)
    {
        m_plugin->answerLoad({});
        for (auto it = changes.cbegin(); it != changes.cend(); ++it)
            edit(it.key(), it.value());
    }
    // A save of `changes` that the server refused as out of date.
    void refusedAsStale(const Edits& changes)
    {
        loadAndEdit(changes);
        QVERIFY(m_session->save());
        Q_EMIT m_plugin->updBackupInfoResp(false);
        m_session->setRefusalCode(QStringLiteral("1001"));
    }
    QVariant sent(Arg arg) const { return m_plugin->last(UpdateBackupInfo).arguments.at(arg); }
    int saves() const
    {
        return m_plugin->count(UpdateBackupInfo) + m_plugin->count(UpdateSchedule);
    }

    std::unique_ptr<FakeScheduleBackup> m_plugin;
    std::unique_ptr<PageSession> m_session;

private Q_SLOTS:
    void init();
    void loadEditSaveAndReread();
    void untouchedValuesGoBackAsLoaded();
    void nothingToSaveSendsNothing_data();
    void nothingToSaveSendsNothing();
    void refusalClearsWhenItsFieldIsEdited_data();
    void refusalClearsWhenItsFieldIsEdited();
    void overwriteAppliesOnlyTheOperatorsFields_data();
    void overwriteAppliesOnlyTheOperatorsFields();
    void scheduleOnlySaveReadsBack();
    void closeDuringSave_data();
    void closeDuringSave();
    void keysDuringSave_data();
    void keysDuringSave();
    void failedRequestsAreReported_data();
    void failedRequestsAreReported();
};

void PageSessionTest::init()
{
    m_plugin = std::make_unique<FakeScheduleBackup>();
    m_session = std::make_unique<PageSession>();
    m_session->setProperty("relayPath", Relay);
    m_session->setPlugin(m_plugin.get());
    // The page's editors: the grid keeps its own form of the document.
    connect(m_session.get(), &PageSession::showValues, this, [this](const QVariantMap& values) {
        QVariantMap edits = m_session->edits();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            edits.insert(it.key(), it.value());
        if (values.contains("schedule")) {
            WeekGridModel grid;
            grid.setDocument(values.value("schedule").toString());
            edits.insert("schedule", grid.document());
        }
        m_session->setEdits(edits);
    });
}

void PageSessionTest::loadEditSaveAndReread()
{
    QSignalSpy shown(m_session.get(), &PageSession::showValues);
    QSignalSpy state(m_session.get(), &PageSession::stateChanged);
    QCOMPARE(m_session->state(), State::Loading);
    QVERIFY(!m_session->editable());
    loadAndEdit({{"dir", " /mnt/new "}, {"throughput", " 4000"}});
    QCOMPARE(state.count(), 1);
    QVERIFY(m_session->loaded() && m_session->editable());
    QCOMPARE(shown.first().first().toMap().size(), 8);
    QCOMPARE(m_plugin->last("getBackupPathInfo").arguments, QVariantList {Relay});
    QCOMPARE(m_session->changedFields(), QStringList({"dir", "throughput"}));
    QCOMPARE(m_session->message(), "Unsaved changes");

    QVERIFY(m_session->save());
    QCOMPARE(m_session->state(), State::Saving);
    QVERIFY(!m_session->editable());
    // An edited directory is sent without its blanks.
    QCOMPARE(sent(Dir).toString(), "/mnt/new");
    // A limit is read by its own field's maximum, the throughput's above the range's.
    QCOMPARE(sent(ThroughputMB).toInt(), 4000);
    QCOMPARE(m_plugin->last(UpdateBackupInfo).arguments.last().toString(), Relay);
    m_plugin->confirmUpdate();
    QCOMPARE(state.count(), 3);
    QCOMPARE(shown.count(), 2);
    QVERIFY(!m_session->modified());
    QCOMPARE(m_session->message(), "Saved");
}

void PageSessionTest::untouchedValuesGoBackAsLoaded()
{
    FakeScheduleBackup::Stored stored;
    stored.dir = " /srv/spaced ";
    stored.cameras = QStringList {"cam-01", "cam-gone"};
    // One rectangle over five days; the grid would write it as five.
    stored.schedule = R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":6}]})";
    m_session->setProperty("cameraInventory",
                           QVariantList {QVariantMap {{"id", "cam-01"}, {"group", "grp-a"}}});
    m_plugin->answerLoad(stored);
    edit("scheduleName", "Renamed");
    QVERIFY(m_session->save());
    QCOMPARE(sent(Dir).toString(), stored.dir);
    QCOMPARE(sent(Schedule).toString(), stored.schedule);
    const QVariantList cameras = sent(Cameras).toList();
    QCOMPARE(cameras.size(), 2);
    QCOMPARE(cameras.first().toMap().value("GrpID").toString(), "grp-a");
    // The camera that left the inventory is offered, so it can be unticked.
    QCOMPARE(m_session->cameraChoices().size(), 2);
    QVERIFY(m_session->cameraChoices().last().toMap().value("missing").toBool());
}

void PageSessionTest::nothingToSaveSendsNothing_data()
{
    QTest::addColumn<Edits>("edits");
    QTest::addColumn<bool>("scheduleOnly");

    QTest::newRow("save right after loading") << Edits {} << false;
    QTest::newRow("save schedule only right after loading") << Edits {} << true;
    QTest::newRow("a limit typed with a leading zero") << Edits {{"throughput", "030"}} << false;
    QTest::newRow("the same cameras in another order")
        << Edits {{"cameras",
                   QVariantMap {{"all", false}, {"ids", QStringList {"cam-02", "cam-01"}}}}}
        << false;
    QTest::newRow("schedule only with only the directory edited")
        << Edits {{"dir", "/mnt/x"}} << true;
}

void PageSessionTest::nothingToSaveSendsNothing()
{
    QFETCH(Edits, edits);
    QFETCH(bool, scheduleOnly);

    loadAndEdit(edits);
    QVERIFY(!(scheduleOnly ? m_session->saveScheduleOnly() : m_session->save()));
    QCOMPARE(saves(), 0);
    QCOMPARE(m_session->state(), State::Idle);
}

void PageSessionTest::refusalClearsWhenItsFieldIsEdited_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("standing");

    QTest::newRow("no directory: the directory edited") << "1003"
                                                        << "dir" << false;
    QTest::newRow("no directory: the name edited") << "1003"
                                                   << "scheduleName" << true;
    QTest::newRow("schedule: the name edited") << "1002"
                                               << "scheduleName" << false;
    QTest::newRow("unknown camera: the cameras edited") << "1004"
                                                        << "cameras" << false;
    QTest::newRow("out of date: any field edited") << "1001"
                                                   << "range" << true;
    QTest::newRow("without a code: any field edited") << ""
                                                      << "range" << false;
}

void PageSessionTest::refusalClearsWhenItsFieldIsEdited()
{
    QFETCH(QString, code);
    QFETCH(QString, field);
    QFETCH(bool, standing);

    loadAndEdit({{"dir", "/mnt/gone"}});
    QVERIFY(m_session->save());
    Q_EMIT m_plugin->updBackupInfoResp(false);
    m_session->setRefusalCode(code);
    QVERIFY(m_session->refused() && m_session->refusalActive() && m_session->messageIsError());
    QCOMPARE(m_session->offerOverwrite(), code == "1001" || code.isEmpty());
    QCOMPARE(m_session->message().contains("changed elsewhere"), code == "1001");
    const QVariantMap allCameras {{"all", true}, {"ids", QStringList()}};
    edit(field, field == "cameras" ? QVariant(allCameras) : QVariant("7"));
    QCOMPARE(m_session->refusalActive(), standing);
}

void PageSessionTest::overwriteAppliesOnlyTheOperatorsFields_data()
{
    QTest::addColumn<QString>("newerDir");
    QTest::addColumn<int>("newerRange");
    QTest::addColumn<QStringList>("reviewed");

    QTest::newRow("another operator's changes survive")
        << "/else" << 2 << QStringList {"dir", "range"};
    QTest::newRow("the newest already holds the edits") << "/mnt/mine" << 5 << QStringList();
}

void PageSessionTest::overwriteAppliesOnlyTheOperatorsFields()
{
    QFETCH(QString, newerDir);
    QFETCH(int, newerRange);
    QFETCH(QStringList, reviewed);

    refusedAsStale({{"dir", "/mnt/mine"}, {"range", "5"}});
    QSignalSpy review(m_session.get(), &PageSession::overwriteReview);
    QVERIFY(m_session->overwrite());
    QCOMPARE(m_session->state(), State::LoadingNewest);
    QVERIFY(m_session->saving());
    // Another operator changed the throughput and the name too.
    FakeScheduleBackup::Stored newer;
    newer.dir = newerDir;
    newer.rangeDays = newerRange;
    newer.throughputMB = 77;
    newer.scheduleName = "Night shift";
    m_plugin->answerLoad(newer);
    QCOMPARE(saves(), 1);
    QCOMPARE(review.count(), reviewed.isEmpty() ? 0 : 1);
    if (reviewed.isEmpty()) {
        QVERIFY(m_session->message().contains("Nothing was sent"));
        return;
    }
    QCOMPARE(review.first().first().toStringList(), reviewed);
    QVERIFY(m_session->confirmOverwrite());
    QCOMPARE(sent(Dir).toString(), "/mnt/mine");
    QCOMPARE(sent(RangeDays).toInt(), 5);
    QCOMPARE(sent(ThroughputMB).toInt(), 77);
    QCOMPARE(sent(ScheduleName).toString(), "Night shift");
}

void PageSessionTest::scheduleOnlySaveReadsBack()
{
    loadAndEdit({{"dir", "/mnt/other"}, {"scheduleName", "Evenings"}});
    QVERIFY(m_session->saveScheduleOnly());
    QCOMPARE(m_plugin->last(UpdateSchedule).arguments.first().toString(), "Evenings");
    const int loads = m_plugin->count(GetBackupInfo);
    Q_EMIT m_plugin->updateScheduleResp(true);
    QCOMPARE(m_session->state(), State::ReadingBack);
    QCOMPARE(m_plugin->count(GetBackupInfo), loads + 1);
    FakeScheduleBackup::Stored stored;
    stored.scheduleName = "Evenings";
    m_plugin->answerLoad(stored);
    QCOMPARE(m_session->changedFields(), QStringList {"dir"});
    QCOMPARE(m_session->message(), "Schedule saved. Your other changes are not saved yet.");
}

void PageSessionTest::closeDuringSave_data()
{
    QTest::addColumn<int>("reply"); // 1 confirmed, 0 refused, -1 none yet
    QTest::addColumn<int>("accepted");
    QTest::addColumn<int>("asked");

    QTest::newRow("confirmed: closes") << 1 << 1 << 0;
    QTest::newRow("refused: asks, saying so") << 0 << 0 << 1;
    QTest::newRow("no reply yet: waits") << -1 << 0 << 0;
}

void PageSessionTest::closeDuringSave()
{
    QFETCH(int, reply);
    QFETCH(int, accepted);
    QFETCH(int, asked);

    QSignalSpy closed(m_session.get(), &PageSession::closeAccepted);
    QSignalSpy question(m_session.get(), &PageSession::closeQuestion);
    loadAndEdit({{"dir", "/mnt/edited"}});
    QVERIFY(m_session->save());
    QVERIFY(!m_session->requestClose());
    QVERIFY(!m_session->requestClose());
    QVERIFY(m_session->closePending());
    QVERIFY(m_session->message().contains("until the server has confirmed the save"));
    if (reply == 1)
        m_plugin->confirmUpdate();
    else if (reply == 0)
        Q_EMIT m_plugin->updBackupInfoResp(false);
    QCOMPARE(closed.count(), accepted);
    QCOMPARE(question.count(), asked);
    if (asked)
        QCOMPARE(question.first().first().toBool(), true);
    QCOMPARE(m_session->closePending(), reply == -1);
}

void PageSessionTest::keysDuringSave_data()
{
    QTest::addColumn<bool>("saving");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("refused");

    QTest::newRow("a letter during a save") << true << int(Qt::Key_X) << "x" << true;
    QTest::newRow("Backspace during a save") << true << int(Qt::Key_Backspace) << "\b" << true;
    QTest::newRow("Tab during a save") << true << int(Qt::Key_Tab) << "\t" << false;
    QTest::newRow("Return during a save") << true << int(Qt::Key_Return) << "\r" << false;
    QTest::newRow("a letter while idle") << false << int(Qt::Key_X) << "x" << false;
}

void PageSessionTest::keysDuringSave()
{
    QFETCH(bool, saving);
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(bool, refused);

    loadAndEdit({{"dir", "/mnt/edited"}});
    if (saving)
        QVERIFY(m_session->save());
    QCOMPARE(m_session->refuseKey(key, text), refused);
    QCOMPARE(m_session->keysRefused(), refused);
    QCOMPARE(m_session->message().contains("not applied"), refused);
    if (!saving)
        return;
    // Still said after the reply, until the operator edits again.
    m_plugin->confirmUpdate();
    QCOMPARE(m_session->message().contains("not applied"), refused);
    edit("dir", "/mnt/again");
    QVERIFY(!m_session->keysRefused());
}

void PageSessionTest::failedRequestsAreReported_data()
{
    QTest::addColumn<bool>("overwriting");
    QTest::addColumn<QString>("message");

    QTest::newRow("first load") << false
                                << "The settings could not be loaded. Reload to try again.";
    QTest::newRow("newest before overwrite") << true << "The settings could not be loaded.";
}

void PageSessionTest::failedRequestsAreReported()
{
    QFETCH(bool, overwriting);
    QFETCH(QString, message);

    if (overwriting) {
        refusedAsStale({{"dir", "/mnt/mine"}});
        QVERIFY(m_session->overwrite());
    }
    Q_EMIT m_plugin->getBackupInfoResp(false);
    QCOMPARE(m_session->state(), State::Idle);
    QCOMPARE(m_session->message(), message);
    QVERIFY(m_session->messageIsError());
    // A failed overwrite leaves the refusal standing, so it can be tried again.
    QCOMPARE(m_session->refused(), overwriting);
}

QTEST_MAIN(PageSessionTest)
#include "tst_pagesession.moc"
