// SPDX-License-Identifier: BSD-3-Clause

#include "FakeScheduleBackup.h"
#include "PageSession.h"
#include "Table.h"
#include "WeekGridModel.h"

#include <QMetaEnum>
#include <QSignalSpy>
#include <QtTest>

namespace {
const QString UpdateBackupInfo = QStringLiteral("updateBackupInfo");
const QString Relay = QStringLiteral("relay");

// Positions of updateBackupInfo's arguments.
enum Arg { Enabled, Cyclic, Dir, Cameras, ScheduleName, Schedule, ThroughputMB, RangeDays, Path };

using State = PageSession::State;
} // namespace

// The page's session against a fake plug-in whose replies the tests trigger. The fixture plays the
// page: it shows the values the session hands over and edits them as an operator would. Closing the
// window is tst_closeguard's; the page's views of these states are tst_pageediting's.
class PageSessionTest : public QObject
{
    Q_OBJECT

    // The steps for run(), separated by "; ", and what observe() then gives, as "key=value; ...".
    using Scenarios = Table<QString, QString>;

    void edit(const QString& field, const QVariant& value)
    {
        QVariantMap edits = m_session->edits();
        edits.insert(field, value);
        m_session->setEdits(edits);
    }

    // One step: "load" with the fake's defaults or "load dir=/x range=5 name=N", "edit <field>
    // <value>" ("edit cameras all" or "edit cameras cam-02 cam-01"), an invokable of the session
    // ("save", "overwrite"...), a reply ("confirm", "refuse <code>", "loadFails", "scheduleSaved"),
    // or "key <name>" for refuseKey().
    void run(const QString& step)
    {
        const QString verb = step.section(' ', 0, 0), rest = step.section(' ', 1);
        const QString field = rest.section(' ', 0, 0), value = rest.section(' ', 1);
        FakeScheduleBackup::Stored stored;
        for (const QString& pair : rest.split(' ', Qt::SkipEmptyParts)) {
            const QString key = pair.section('=', 0, 0), to = pair.section('=', 1);
            if (key == "dir")
                stored.dir = to;
            else if (key == "range")
                stored.rangeDays = to.toInt();
            else if (key == "name")
                stored.scheduleName = to;
        }
        const QVariantMap cameras {{"all", value == "all"}, {"ids", value.split(' ')}};
        const QHash<QString, QString> controls {
            {"Backspace", "\b"}, {"Tab", "\t"}, {"Return", "\r"}};
        if (verb == "load")
            m_plugin->answerLoad(stored);
        else if (verb == "edit")
            edit(field, field == "cameras" ? QVariant(cameras) : QVariant(value));
        else if (verb == "confirm")
            m_plugin->confirmUpdate();
        else if (verb == "refuse")
            Q_EMIT m_plugin->updBackupInfoResp(false);
        else if (verb == "loadFails")
            Q_EMIT m_plugin->getBackupInfoResp(false);
        else if (verb == "scheduleSaved")
            Q_EMIT m_plugin->updateScheduleResp(true);
        else if (verb == "key")
            m_session->refuseKey(QKeySequence(rest)[0].key(), controls.value(rest, rest.toLower()));
        else
            QVERIFY2(QMetaObject::invokeMethod(m_session.get(), qPrintable(verb)),
                     qPrintable(step));
        if (verb == "refuse")
            m_session->setRefusalCode(rest);
    }

    // What the session shows, for the keys of `expected`: "message" is the whole message, "says" a
    // part of it.
    QString observe(const QString& expected) const
    {
        const QString message = m_session->message();
        const QVariantMap values {
            {"state", QMetaEnum::fromType<State>().valueToKey(int(m_session->state()))},
            {"editable", m_session->editable()},
            {"saving", m_session->saving()},
            {"saves", m_plugin->count(UpdateBackupInfo) + m_plugin->count("updateSchedule")},
            {"loads", m_plugin->count("getBackupInfo")},
            {"reviews", m_reviews->count()},
            {"changed", m_session->changedFields().join(',')},
            {"refused", m_session->refused()},
            {"refusalActive", m_session->refusalActive()},
            {"offerOverwrite", m_session->offerOverwrite()},
            {"keysRefused", m_session->keysRefused()},
            {"error", m_session->messageIsError()},
            {"message", message}};
        QStringList seen;
        for (const QString& pair : expected.split("; ")) {
            const QString key = pair.section('=', 0, 0), part = pair.section('=', 1);
            const bool says = key == "says" && message.contains(part);
            seen << key + '=' + (says ? part : values.value(key, message).toString());
        }
        return seen.join("; ");
    }

    QVariant sent(Arg arg) const { return m_plugin->last(UpdateBackupInfo).arguments.at(arg); }

    std::unique_ptr<FakeScheduleBackup> m_plugin;
    std::unique_ptr<PageSession> m_session;
    std::unique_ptr<QSignalSpy> m_reviews;

private Q_SLOTS:
    void init()
    {
        m_plugin = std::make_unique<FakeScheduleBackup>();
        m_session = std::make_unique<PageSession>();
        m_session->setProperty("relayPath", Relay);
        m_session->setPlugin(m_plugin.get());
        m_reviews = std::make_unique<QSignalSpy>(m_session.get(), &PageSession::overwriteReview);
        // The page's editors: the grid keeps its own form of the document.
        connect(m_session.get(), &PageSession::showValues, this, [this](QVariantMap values) {
            WeekGridModel grid;
            grid.setDocument(values.value("schedule").toString());
            if (values.contains("schedule"))
                values.insert("schedule", grid.document());
            QVariantMap edits = m_session->edits();
            edits.insert(values);
            m_session->setEdits(edits);
        });
    }

    void scenario_data()
    {
        Scenarios::columns();
        const QString refused = "load; edit dir /mnt/gone; save; refuse ";
        const QString conflict = "load; edit dir /mnt/mine; edit range 5; save; refuse 1001; ";
        const QString typing = "load; edit dir /mnt/edited; save; key ";
        const QString nothing = "saves=0; state=Idle";
        const QString scheduleOnly = "load; edit dir /x; edit scheduleName Evenings; "
                                     "saveScheduleOnly; scheduleSaved";
        Scenarios::row("loading", "", "state=Loading; editable=false; says=Loading");
        Scenarios::row(
            "loaded and edited", "load; edit dir /x; edit throughput 4000",
            "state=Idle; editable=true; changed=dir,throughput; message=Unsaved changes");
        Scenarios::row("saving", "load; edit dir /x; save",
                       "state=Saving; editable=false; saves=1");
        Scenarios::row("saved", "load; edit dir /x; save; confirm", "changed=; message=Saved");
        // Nothing differs from the loaded values, so nothing is sent.
        Scenarios::row("save right after loading", "load; save", nothing);
        Scenarios::row("save schedule only right after loading", "load; saveScheduleOnly", nothing);
        Scenarios::row("a limit typed with a leading zero", "load; edit throughput 030; save",
                       nothing);
        Scenarios::row("the same cameras in another order",
                       "load; edit cameras cam-02 cam-01; save", nothing);
        Scenarios::row("schedule only with only the directory edited",
                       "load; edit dir /mnt/x; saveScheduleOnly", nothing);
        // A refusal about one field stands until that field is edited.
        Scenarios::row("refused", refused + "1003",
                       "refused=true; refusalActive=true; error=true; offerOverwrite=false");
        Scenarios::row("no directory: the directory edited", refused + "1003; edit dir 7",
                       "refusalActive=false");
        Scenarios::row("no directory: the name edited", refused + "1003; edit scheduleName 7",
                       "refusalActive=true");
        Scenarios::row("schedule: the name edited", refused + "1002; edit scheduleName 7",
                       "refusalActive=false; offerOverwrite=false");
        Scenarios::row("unknown camera: the cameras edited", refused + "1004; edit cameras all",
                       "refusalActive=false; offerOverwrite=false");
        Scenarios::row("out of date: any field edited", refused + "1001; edit range 7",
                       "refusalActive=true; offerOverwrite=true; says=changed elsewhere");
        Scenarios::row("without a code: any field edited", refused + "; edit range 7",
                       "refusalActive=false; offerOverwrite=true");
        // Which fields an overwrite lists and writes is tst_pageediting's.
        Scenarios::row("overwrite loads the newest first", conflict + "overwrite",
                       "state=LoadingNewest; saving=true; saves=1; loads=1");
        Scenarios::row("overwrite when the newest holds the edits",
                       conflict + "overwrite; load dir=/mnt/mine range=5",
                       "state=Idle; saves=1; reviews=0; says=Nothing was sent");
        Scenarios::row("the newest fails to load", conflict + "overwrite; loadFails",
                       "state=Idle; refused=true; error=true; "
                       "message=The settings could not be loaded.");
        Scenarios::row("the first load fails", "loadFails",
                       "state=Idle; error=true; "
                       "message=The settings could not be loaded. Reload to try again.");
        // The plug-in keeps its old schedule until it is loaded again.
        Scenarios::row("schedule saved alone", scheduleOnly, "state=ReadingBack; loads=1");
        Scenarios::row(
            "schedule saved alone and read back", scheduleOnly + "; load name=Evenings",
            "changed=dir; message=Schedule saved. Your other changes are not saved yet.");
        // Typing during a save is refused visibly, and said until the operator edits again.
        Scenarios::row("a letter during a save", typing + "X",
                       "keysRefused=true; says=not applied");
        Scenarios::row("Backspace during a save", typing + "Backspace", "keysRefused=true");
        Scenarios::row("Tab during a save", typing + "Tab", "keysRefused=false");
        Scenarios::row("Return during a save", typing + "Return", "keysRefused=false");
        Scenarios::row("a letter while idle", "load; edit dir /x; key X", "keysRefused=false");
        Scenarios::row("a letter during a save, after the reply", typing + "X; confirm",
                       "keysRefused=true; says=not applied");
        Scenarios::row("a letter during a save, then an edit", typing + "X; confirm; edit dir /y",
                       "keysRefused=false");
    }

    void scenario()
    {
        const auto [steps, expected] = Scenarios::fetch();
        for (const QString& step : steps.split("; ", Qt::SkipEmptyParts))
            run(step);
        QCOMPARE(observe(expected), expected);
    }

    void savedValues()
    {
        QSignalSpy shown(m_session.get(), &PageSession::showValues);
        QSignalSpy state(m_session.get(), &PageSession::stateChanged);
        run("load");
        QCOMPARE(shown.first().first().toMap().size(), 8);
        QCOMPARE(m_plugin->last("getBackupPathInfo").arguments, QVariantList {Relay});
        edit("dir", " /mnt/new ");
        edit("throughput", " 4000");
        QVERIFY(m_session->save());
        // The edited directory without its blanks; a limit read by its own field's maximum, the
        // throughput's above the range's.
        QCOMPARE(QVariantList({sent(Dir), sent(ThroughputMB), sent(Path)}),
                 QVariantList({"/mnt/new", 4000, Relay}));
        m_plugin->confirmUpdate();
        QCOMPARE(std::pair(int(state.count()), int(shown.count())), std::pair(3, 2));
    }

    void untouchedValuesGoBackAsLoaded()
    {
        FakeScheduleBackup::Stored stored;
        stored.dir = " /srv/spaced ";
        // One rectangle over five days; the grid would write it as five.
        stored.schedule = R"({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,"Right":6}]})";
        m_session->setProperty("cameraInventory",
                               QVariantList {QVariantMap {{"id", "cam-01"}, {"group", "grp-a"}}});
        m_plugin->answerLoad(stored);
        edit("scheduleName", "Renamed");
        QVERIFY(m_session->save());
        QCOMPARE(QVariantList({sent(Dir), sent(Schedule)}),
                 QVariantList({stored.dir, stored.schedule}));
        const QVariantList cameras = sent(Cameras).toList();
        QCOMPARE(cameras.size(), 2);
        QCOMPARE(cameras.first().toMap().value("GrpID").toString(), "grp-a");
    }
};

QTEST_MAIN(PageSessionTest)
#include "tst_pagesession.moc"
