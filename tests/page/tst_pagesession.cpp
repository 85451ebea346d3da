#include "FakeScheduleBackup.h"
#include "PageSession.h"
#include "WeekGridModel.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>

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
    void editAll(const Edits& changes)
    {
        for (auto it = changes.cbegin(); it != changes.cend(); ++it)
            edit(it.key(), it.value());
    }
    // Loaded with the fake's defaults, then edited.
    void loadAndEdit(const Edits& changes)
    {
        m_plugin->answerLoad({});
        editAll(changes);
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
    void loadShowsEveryFieldAndAsksForThePath();
    void saveSendsTheEditsAndRereads();
    void untouchedValuesGoBackAsLoaded();
    void nothingToSaveSendsNothing_data();
    void nothingToSaveSendsNothing();
    void staleSaveIsRefusedAndOffersOverwrite();
    void overwriteAppliesOnlyTheOperatorsFields();
    void overwriteSendsNothingWhenTheNewestHoldsTheEdits();
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

void PageSessionTest::loadShowsEveryFieldAndAsksForThePath()
{
    QSignalSpy shown(m_session.get(), &PageSession::showValues);
    QSignalSpy state(m_session.get(), &PageSession::stateChanged);
    QCOMPARE(m_session->state(), State::Loading);
    QVERIFY(!m_session->editable());

    m_plugin->answerLoad({});
    QCOMPARE(m_session->state(), State::Idle);
    QCOMPARE(state.count(), 1);
    QVERIFY(m_session->loaded() && m_session->editable());
    QCOMPARE(shown.count(), 1);
    QCOMPARE(shown.first().first().toMap().size(), 8);
    QCOMPARE(m_session->edits().value("dir").toString(), "/srv/backup/video");
    QCOMPARE(m_plugin->last("getBackupPathInfo").arguments, QVariantList {Relay});
    QVERIFY(!m_session->modified());
    QCOMPARE(m_session->message(), QString());
}

void PageSessionTest::saveSendsTheEditsAndRereads()
{
    loadAndEdit({{"dir", " /mnt/new "}, {"throughput", "12"}});
    QCOMPARE(m_session->changedFields(), QStringList({"dir", "throughput"}));
    QCOMPARE(m_session->message(), "Unsaved changes");
    QVERIFY(m_session->save());
    QCOMPARE(m_session->state(), State::Saving);
    QVERIFY(!m_session->editable());
    // An edited directory is sent without its blanks.
    QCOMPARE(sent(Dir).toString(), "/mnt/new");
    QCOMPARE(sent(ThroughputMB).toInt(), 12);
    QCOMPARE(m_plugin->last(UpdateBackupInfo).arguments.last().toString(), Relay);

    m_plugin->confirmUpdate();
    QCOMPARE(m_session->state(), State::Idle);
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

void PageSessionTest::staleSaveIsRefusedAndOffersOverwrite()
{
    QSignalSpy close(m_session.get(), &PageSession::closeQuestion);
    refusedAsStale({{"dir", "/mnt/mine"}});
    QCOMPARE(m_session->state(), State::Idle);
    QVERIFY(m_session->refused() && m_session->refusalActive() && m_session->offerOverwrite());
    QVERIFY(m_session->messageIsError());
    QVERIFY2(m_session->message().contains("changed elsewhere"), qPrintable(m_session->message()));
    // Editing keeps a conflict standing; a close asks, saying the save was refused.
    edit("range", "9");
    QVERIFY(m_session->refusalActive());
    QVERIFY(!m_session->requestClose());
    QCOMPARE(close.count(), 1);
    QCOMPARE(close.first().first().toBool(), true);
}

void PageSessionTest::overwriteAppliesOnlyTheOperatorsFields()
{
    refusedAsStale({{"dir", "/mnt/mine"}, {"range", "5"}});
    QSignalSpy review(m_session.get(), &PageSession::overwriteReview);
    QVERIFY(m_session->overwrite());
    QCOMPARE(m_session->state(), State::LoadingNewest);
    QVERIFY(m_session->saving());
    // Another operator changed the directory too, and the throughput and the name.
    FakeScheduleBackup::Stored newer;
    newer.dir = "/else";
    newer.throughputMB = 77;
    newer.scheduleName = "Night shift";
    m_plugin->answerLoad(newer);
    QCOMPARE(review.count(), 1);
    QCOMPARE(review.first().first().toStringList(), QStringList({"dir", "range"}));
    QCOMPARE(saves(), 1);

    QVERIFY(m_session->confirmOverwrite());
    QCOMPARE(sent(Dir).toString(), "/mnt/mine");
    QCOMPARE(sent(RangeDays).toInt(), 5);
    QCOMPARE(sent(ThroughputMB).toInt(), 77);
    QCOMPARE(sent(ScheduleName).toString(), "Night shift");
}

void PageSessionTest::overwriteSendsNothingWhenTheNewestHoldsTheEdits()
{
    refusedAsStale({{"dir", "/mnt/same"}});
    QSignalSpy review(m_session.get(), &PageSession::overwriteReview);
    QVERIFY(m_session->overwrite());
    FakeScheduleBackup::Stored newer;
    newer.dir = "/mnt/same";
    m_plugin->answerLoad(newer);
    QCOMPARE(review.count(), 0);
    QCOMPARE(saves(), 1);
    QVERIFY2(m_session->message().contains("Nothing was sent"), qPrintable(m_session->message()));
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
    QTest::addColumn<std::function<void(FakeScheduleBackup*)>>("reply");
    QTest::addColumn<int>("accepted");
    QTest::addColumn<int>("asked");

    QTest::newRow("confirmed: closes")
        << std::function([](FakeScheduleBackup* plugin) { plugin->confirmUpdate(); }) << 1 << 0;
    QTest::newRow("refused: asks") << std::function([](FakeScheduleBackup* plugin) {
        Q_EMIT plugin->updBackupInfoResp(false);
    }) << 0 << 1;
    QTest::newRow("no reply yet: waits") << std::function([](FakeScheduleBackup*) {}) << 0 << 0;
}

void PageSessionTest::closeDuringSave()
{
    QFETCH(std::function<void(FakeScheduleBackup*)>, reply);
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
    reply(m_plugin.get());
    QCOMPARE(closed.count(), accepted);
    QCOMPARE(question.count(), asked);
    QCOMPARE(m_session->closePending(), accepted + asked == 0);
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
