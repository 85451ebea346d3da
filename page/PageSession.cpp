// SPDX-License-Identifier: BSD-3-Clause

#include "PageSession.h"

#include "BackupRules.h"
#include "BackupTerms.h"
#include "PluginTerms.h"
#include "WeekGridModel.h"

#include <QMetaObject>
#include <QSet>

#include <optional>

namespace {
const QString Enabled = QStringLiteral("enabled");
const QString Cyclic = QStringLiteral("cyclic");
const QString Dir = QStringLiteral("dir");
const QString Throughput = QStringLiteral("throughput");
const QString Range = QStringLiteral("range");
const QString Cameras = QStringLiteral("cameras");
const QString ScheduleName = QStringLiteral("scheduleName");
const QString Schedule = QStringLiteral("schedule");
const QString All = QStringLiteral("all");
const QString Ids = QStringLiteral("ids");
const QStringList Fields {Enabled, Cyclic, Dir, Throughput, Range, Cameras, ScheduleName, Schedule};
const QStringList ScheduleFields {ScheduleName, Schedule};

// The limit a field holds, by the rules every front end checks; none when its text is not one.
std::optional<int> limitOf(const QString& field, const QVariant& text)
{
    const int maximum
        = field == Throughput ? PluginTerms::MaxThroughputMB : PluginTerms::MaxRangeDays;
    return BackupRules::limitValue(text.toString(), maximum);
}

bool sameLimit(const QString& field, const QVariant& a, const QVariant& b)
{
    const auto left = limitOf(field, a);
    const auto right = limitOf(field, b);
    if (!left || !right)
        return a.toString() == b.toString();
    return *left == *right;
}

bool sameCameras(const QVariantMap& a, const QVariantMap& b)
{
    if (a.value(All).toBool() != b.value(All).toBool())
        return false;
    if (a.value(All).toBool())
        return true;
    const QStringList left = a.value(Ids).toStringList();
    const QStringList right = b.value(Ids).toStringList();
    return QSet<QString>(left.cbegin(), left.cend()) == QSet<QString>(right.cbegin(), right.cend());
}

bool fieldDiffers(const QString& field, const QVariantMap& a, const QVariantMap& b)
{
    if (field == Cameras)
        return !sameCameras(a.value(field).toMap(), b.value(field).toMap());
    if (field == Throughput || field == Range)
        return !sameLimit(field, a.value(field), b.value(field));
    if (field == Enabled || field == Cyclic)
        return a.value(field).toBool() != b.value(field).toBool();
    return a.value(field).toString() != b.value(field).toString();
}

QStringList changedBetween(const QVariantMap& a, const QVariantMap& b)
{
    QStringList changed;
    for (const QString& field : Fields) {
        if (fieldDiffers(field, a, b))
            changed.append(field);
    }
    return changed;
}

// Whether any of `names` changed from a to b; "schedule" stands for the name and the week.
bool anyChanged(const QStringList& names, const QVariantMap& a, const QVariantMap& b)
{
    const bool schedule = names.contains(Schedule);
    for (const QString& field : changedBetween(a, b)) {
        if (names.contains(field) || (schedule && ScheduleFields.contains(field)))
            return true;
    }
    return false;
}

// The grid's own form of a rectangle document, so a stored document compares with the grid's.
QString gridDocument(const QString& document)
{
    WeekGridModel grid;
    grid.setDocument(document);
    return grid.document();
}
} // namespace

PageSession::PageSession(QObject* parent) : QObject(parent) { }

void PageSession::setPlugin(QObject* plugin)
{
    if (plugin == m_plugin)
        return;
    if (m_plugin)
        disconnect(m_plugin, nullptr, this, nullptr);
    m_plugin = plugin;
    if (plugin) {
        const bool wired
            = connect(plugin, SIGNAL(getBackupInfoResp(bool)), this, SLOT(onInfoReply(bool)))
            && connect(plugin, SIGNAL(updBackupInfoResp(bool)), this, SLOT(onUpdateReply(bool)))
            && connect(plugin, SIGNAL(updateScheduleResp(bool)), this, SLOT(onScheduleReply(bool)));
        if (!wired)
            qWarning("PageSession: the plug-in lacks a result signal; its replies are missed");
    }
    Q_EMIT pluginChanged();
}

void PageSession::setEdits(const QVariantMap& edits)
{
    m_edits = edits;
    if (!m_reading)
        update();
}

void PageSession::setAcceptable(bool acceptable)
{
    if (acceptable == m_acceptable)
        return;
    m_acceptable = acceptable;
    Q_EMIT changed();
}

void PageSession::setRefusalCode(const QString& code)
{
    if (code == m_refusalCode)
        return;
    m_refusalCode = code;
    Q_EMIT changed();
}

void PageSession::setRefusalReason(const QString& reason)
{
    if (reason == m_refusalReason)
        return;
    m_refusalReason = reason;
    Q_EMIT changed();
}

bool PageSession::saving() const
{
    return m_state == State::Saving || m_state == State::SavingSchedule
        || m_state == State::ReadingBack || m_state == State::LoadingNewest;
}

bool PageSession::scheduleModified() const
{
    return m_changed.contains(Schedule) || m_changed.contains(ScheduleName);
}

QString PageSession::refusalField() const
{
    static const QHash<QString, QString> fields {
        {QStringLiteral("1001"), QStringLiteral("conflict")},
        {QStringLiteral("1002"), Schedule},
        {QStringLiteral("1003"), Dir},
        {QStringLiteral("1004"), Cameras}};
    return fields.value(m_refusalCode);
}

bool PageSession::refusalActive() const
{
    if (m_refused == Refused::None || m_refusedValues.isEmpty())
        return false;
    const QString field = refusalField();
    if (field == QLatin1String("conflict"))
        return true;
    return !anyChanged(field.isEmpty() ? Fields : QStringList {field}, m_edits, m_refusedValues);
}

bool PageSession::offerOverwrite() const
{
    const QString field = refusalField();
    return field.isEmpty() || field == QLatin1String("conflict");
}

bool PageSession::load()
{
    return begin(State::Loading, request("getBackupInfo"));
}

bool PageSession::requestReload()
{
    if (busy())
        return false;
    if (modified()) {
        Q_EMIT confirmReload();
        return false;
    }
    return load();
}

bool PageSession::save()
{
    if (!editable() || !modified() || !validate())
        return false;
    clearRefusal();
    return begin(State::Saving, sendUpdate());
}

bool PageSession::saveScheduleOnly()
{
    if (!editable() || !scheduleModified())
        return false;
    clearRefusal();
    return begin(State::SavingSchedule, sendSchedule());
}

bool PageSession::overwrite()
{
    const Refused kind = m_refused;
    if (kind == Refused::None || busy())
        return false;
    if (!begin(State::LoadingNewest, request("getBackupInfo")))
        return false;
    m_overwriteKind = kind;
    return true;
}

bool PageSession::confirmOverwrite()
{
    return m_overwriteKind == Refused::Schedule ? saveScheduleOnly() : save();
}

bool PageSession::requestClose()
{
    if (saving()) {
        m_closePending = true;
        Q_EMIT changed();
        return false;
    }
    if (modified()) {
        askBeforeClose();
        return false;
    }
    return true;
}

bool PageSession::saveAndClose()
{
    m_closePending = save();
    Q_EMIT changed();
    return m_closePending;
}

void PageSession::closeNow()
{
    m_closePending = false;
    Q_EMIT changed();
    Q_EMIT closeAccepted();
}

bool PageSession::refuseKey(int key, const QString& text)
{
    const bool typing = key == Qt::Key_Backspace || key == Qt::Key_Delete
        || (!text.isEmpty() && text.at(0).unicode() >= 32 && text != QChar(0x7f));
    if (!saving() || !typing)
        return false;
    m_keysRefused = true;
    Q_EMIT changed();
    return true;
}

void PageSession::onInfoReply(bool success)
{
    const State was = m_state;
    if (!success) {
        if (was == State::LoadingNewest)
            m_refused = m_overwriteKind;
        if (was == State::Loading || was == State::LoadingNewest)
            finish(Failure::LoadFailed);
        else if (was == State::ReadingBack)
            finish(Failure::ReadBackFailed);
        return;
    }
    request("getBackupPathInfo");
    switch (was) {
    case State::Loading:
        m_loaded = true;
        read(Read::All);
        break;
    case State::ReadingBack:
        read(Read::ReadBack);
        break;
    case State::LoadingNewest:
        read(Read::Rebase);
        // Before finishing: a close waiting for this reply asks its own question.
        reviewOverwrite();
        break;
    default:
        // Someone else asked with the page's path: take what the operator left alone.
        if (m_loaded && !busy())
            read(Read::Rebase);
        return;
    }
    finish(Failure::None);
}

void PageSession::onUpdateReply(bool success)
{
    if (m_state != State::Saving)
        return;
    if (success) {
        m_outcome = Outcome::Saved;
        read(Read::All);
        request("getBackupPathInfo");
    } else {
        m_refused = Refused::Update;
        m_refusedValues = m_edits;
    }
    finish(Failure::None);
}

void PageSession::onScheduleReply(bool success)
{
    if (m_state != State::SavingSchedule)
        return;
    if (!success) {
        m_refused = Refused::Schedule;
        m_refusedValues = m_edits;
        finish(Failure::None);
        return;
    }
    // The plug-in keeps its old schedule until it is loaded again.
    m_outcome = Outcome::ScheduleSaved;
    if (request("getBackupInfo"))
        setState(State::ReadingBack);
    else
        finish(Failure::ReadBackFailed);
}

bool PageSession::begin(State next, bool sent)
{
    m_failure = sent ? Failure::None : Failure::SendFailed;
    m_outcome = Outcome::None;
    if (sent) {
        m_refused = Refused::None;
        m_keysRefused = false;
        setState(next);
    }
    Q_EMIT changed();
    return sent;
}

void PageSession::finish(Failure failure)
{
    m_failure = failure;
    setState(State::Idle);
    Q_EMIT changed();
    settleClose();
}

void PageSession::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged();
}

bool PageSession::request(const char* method) const
{
    bool sent = false;
    if (!m_plugin
        || !QMetaObject::invokeMethod(m_plugin, method, Qt::DirectConnection,
                                      Q_RETURN_ARG(bool, sent), Q_ARG(QString, m_relayPath)))
        return false;
    return sent;
}

bool PageSession::sendUpdate()
{
    const QString dir = m_changed.contains(Dir) ? m_edits.value(Dir).toString().trimmed()
                                                : m_edits.value(Dir).toString();
    const QVariantList cameraList = camerasToSend();
    bool sent = false;
    const bool called = m_plugin
        && QMetaObject::invokeMethod(
                            m_plugin, "updateBackupInfo", Qt::DirectConnection,
                            Q_RETURN_ARG(bool, sent), Q_ARG(bool, m_edits.value(Enabled).toBool()),
                            Q_ARG(bool, m_edits.value(Cyclic).toBool()), Q_ARG(QString, dir),
                            Q_ARG(QVariantList, cameraList),
                            Q_ARG(QString, m_edits.value(ScheduleName).toString()),
                            Q_ARG(QString, scheduleToSend()),
                            Q_ARG(int, limitOf(Throughput, m_edits.value(Throughput)).value_or(0)),
                            Q_ARG(int, limitOf(Range, m_edits.value(Range)).value_or(0)),
                            Q_ARG(QString, m_relayPath));
    return called && sent;
}

bool PageSession::sendSchedule()
{
    bool sent = false;
    const bool called = m_plugin
        && QMetaObject::invokeMethod(m_plugin, "updateSchedule", Qt::DirectConnection,
                                     Q_RETURN_ARG(bool, sent),
                                     Q_ARG(QString, m_edits.value(ScheduleName).toString()),
                                     Q_ARG(QString, scheduleToSend()), Q_ARG(QString, m_relayPath));
    return called && sent;
}

// The camera entries of the update. Untouched cameras go back as loaded.
QVariantList PageSession::camerasToSend() const
{
    const BackupTerms terms;
    const QVariantMap cameras = m_edits.value(Cameras).toMap();
    if (cameras.value(All).toBool())
        return {terms.pageCamera(terms.allCamerasTag(), QString())};
    const QVariantMap chosen
        = m_changed.contains(Cameras) ? cameras : m_stored.value(Cameras).toMap();
    QHash<QString, QString> groups;
    for (const QVariant& camera : m_cameraInventory) {
        const QVariantMap entry = camera.toMap();
        groups.insert(entry.value(QStringLiteral("id")).toString(),
                      entry.value(QStringLiteral("group")).toString());
    }
    QVariantList entries;
    for (const QString& id : chosen.value(Ids).toStringList())
        entries.append(terms.pageCamera(id, groups.value(id)));
    return entries;
}

// The schedule to send: the stored document itself while the grid shows it unchanged, so a
// save that did not touch the schedule sends it back exactly.
QString PageSession::scheduleToSend() const
{
    if (m_changed.contains(Schedule) || !m_plugin)
        return m_edits.value(Schedule).toString();
    return m_plugin->property("scheduleTemplate").toString();
}

QVariantMap PageSession::pluginValues() const
{
    const QObject* plugin = m_plugin;
    const bool all = plugin->property("hasAllCameras").toBool();
    QStringList ids;
    if (!all)
        ids = plugin->property("cameraList").toStringList();
    ids.removeAll(BackupTerms().allCamerasTag());
    return {{Enabled, plugin->property("enabled").toBool()},
            {Cyclic, plugin->property("targetCyclic").toBool()},
            {Dir, plugin->property("targetDir").toString()},
            {Throughput, QString::number(plugin->property("maxThroughputMB").toLongLong())},
            {Range, QString::number(plugin->property("maxRangeDay").toLongLong())},
            {Cameras, QVariantMap {{All, all}, {Ids, ids}}},
            {ScheduleName, plugin->property("scheduleName").toString()},
            {Schedule, gridDocument(plugin->property("scheduleTemplate").toString())}};
}

// The inventory, and the stored cameras that are not in it, so they can be unticked.
QVariantList PageSession::choicesFor(const QStringList& stored) const
{
    QVariantList choices = m_cameraInventory;
    QSet<QString> known;
    for (const QVariant& camera : choices)
        known.insert(camera.toMap().value(QStringLiteral("id")).toString());
    for (const QString& id : stored) {
        if (id == BackupTerms().allCamerasTag() || known.contains(id))
            continue;
        known.insert(id);
        choices.append(QVariantMap {{QStringLiteral("id"), id},
                                    {QStringLiteral("group"), QString()},
                                    {QStringLiteral("name"), QString()},
                                    {QStringLiteral("missing"), true}});
    }
    return choices;
}

void PageSession::read(Read mode)
{
    if (!m_plugin)
        return;
    const QVariantMap incoming = pluginValues();
    m_cameraChoices = choicesFor(m_plugin->property("cameraList").toStringList());
    Q_EMIT cameraChoicesChanged();
    QVariantMap shown;
    for (const QString& field : Fields) {
        const bool take = mode == Read::All || m_stored.isEmpty()
            || (mode == Read::ReadBack && ScheduleFields.contains(field))
            || !fieldDiffers(field, m_edits, m_stored);
        if (take)
            shown.insert(field, incoming.value(field));
    }
    // The grid reads the stored document itself.
    if (shown.contains(Schedule))
        shown.insert(Schedule, m_plugin->property("scheduleTemplate"));
    m_reading = true;
    Q_EMIT showValues(shown);
    m_reading = false;
    m_stored = incoming;
    if (mode == Read::All)
        m_validationFailed = false;
    update();
}

void PageSession::reviewOverwrite()
{
    // A close waiting for the reply asks Save / Discard / Cancel instead.
    if (m_closePending)
        return;
    QStringList fields;
    for (const QString& field : std::as_const(m_changed)) {
        if (m_overwriteKind == Refused::Update || ScheduleFields.contains(field))
            fields.append(field);
    }
    if (fields.isEmpty())
        m_outcome = Outcome::AlreadyStored;
    else
        Q_EMIT overwriteReview(fields);
}

void PageSession::settleClose()
{
    if (!m_closePending)
        return;
    m_closePending = false;
    Q_EMIT changed();
    // After a refused or failed save the changes are still unsaved: the operator decides.
    if (modified())
        askBeforeClose();
    else
        Q_EMIT closeAccepted();
}

void PageSession::askBeforeClose()
{
    Q_EMIT closeQuestion(m_refused != Refused::None);
}

// True when every field can be sent; otherwise the page marks the fields.
bool PageSession::validate()
{
    m_validationFailed = !m_acceptable;
    Q_EMIT changed();
    if (!m_acceptable)
        Q_EMIT problemsMarked();
    return m_acceptable;
}

void PageSession::clearRefusal()
{
    m_refusalCode.clear();
    m_refusalReason.clear();
}

void PageSession::update()
{
    const bool wasModified = modified();
    m_changed = m_stored.isEmpty() ? QStringList() : changedBetween(m_edits, m_stored);
    // A key refused during the save is old news once the operator edits again.
    if (modified() && !wasModified)
        m_keysRefused = false;
    Q_EMIT changed();
}

QString PageSession::message() const
{
    if (!m_loaded && !busy())
        return tr("The settings could not be loaded. Reload to try again.");
    if (m_closePending)
        return tr("Saving… The window stays open until the server has confirmed the save, however "
                  "long that takes. If you close without waiting, the change may not be stored.");
    if (saving() && m_keysRefused)
        return tr("Saving… What you typed was not applied: the fields wait for the server's "
                  "reply.");
    if (busy())
        return busyText();
    if (m_failure != Failure::None)
        return failureText();
    if (refusalActive())
        return refusalText();
    if (validationBlocked())
        return tr("Correct the marked fields. Nothing was sent.");
    return outcomeText();
}

bool PageSession::messageIsError() const
{
    return m_closePending || m_keysRefused || m_failure != Failure::None || refusalActive()
        || validationBlocked() || (!m_loaded && !busy());
}

QString PageSession::busyText() const
{
    switch (m_state) {
    case State::Loading:
        return tr("Loading settings…");
    case State::ReadingBack:
        return tr("Reading back the saved schedule…");
    case State::LoadingNewest:
        return tr("Loading the newest settings to compare them with this page's values…");
    default:
        return tr("Saving…");
    }
}

QString PageSession::failureText() const
{
    switch (m_failure) {
    case Failure::SendFailed:
        return tr("The request could not be sent. Nothing was saved.");
    case Failure::LoadFailed:
        return tr("The settings could not be loaded.");
    default:
        return tr("The schedule was saved, but could not be read back. Reload to see it.");
    }
}

QString PageSession::refusalText() const
{
    const QString field = refusalField();
    if (field == QLatin1String("conflict"))
        return tr("The settings were changed elsewhere since they were loaded. Reload shows the "
                  "other change and discards yours; Overwrite loads the other change and lists "
                  "your values before it writes only the fields you changed.");
    if (field == Dir)
        return tr("The server refused the change: no target directory.");
    if (field == Cameras)
        return tr("The server refused the change: it does not know a selected camera.");
    if (field == Schedule)
        return tr("The server refused the schedule.");
    return m_refusalReason.isEmpty() ? tr("The server refused the change.")
                                     : tr("The server refused the change: %1").arg(m_refusalReason);
}

QString PageSession::outcomeText() const
{
    if (m_outcome == Outcome::ScheduleSaved)
        return modified() ? tr("Schedule saved. Your other changes are not saved yet.")
                          : tr("Schedule saved.");
    if (modified())
        return tr("Unsaved changes");
    if (m_outcome == Outcome::Saved)
        return m_keysRefused ? tr("Saved. What you typed during the save was not applied.")
                             : tr("Saved");
    if (m_outcome == Outcome::AlreadyStored)
        return tr("The newest stored settings already hold this page's values. Nothing was "
                  "sent.");
    return QString();
}
