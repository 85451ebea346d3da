// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>

// The page's exchange with the plug-in and what follows from it: which request is in flight,
// the values last read from the plug-in against the operator's edits, refusals, the overwrite
// after a conflict, closing and keys typed during a save. The editors stay in QML: the page
// binds `edits` to them and shows the values that `showValues` hands over.
//
// The plug-in is any object with the plug-in's properties, result signals and invokables; it
// is reached by name through its meta-object.
//
// Values are maps with the keys enabled, cyclic, dir, throughput and range (the limit texts),
// cameras ({all, ids}), scheduleName and schedule (the rectangle document). A change is told by
// comparing values, never by remembering that an edit happened.
class PageSession : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QObject* plugin READ plugin WRITE setPlugin NOTIFY pluginChanged)
    Q_PROPERTY(QString relayPath MEMBER m_relayPath NOTIFY relayPathChanged)
    Q_PROPERTY(QVariantList cameraInventory MEMBER m_cameraInventory NOTIFY cameraInventoryChanged)
    Q_PROPERTY(QVariantMap edits READ edits WRITE setEdits NOTIFY changed)
    Q_PROPERTY(bool acceptable READ acceptable WRITE setAcceptable NOTIFY changed)
    Q_PROPERTY(QString refusalCode READ refusalCode WRITE setRefusalCode NOTIFY changed)
    Q_PROPERTY(QString refusalReason READ refusalReason WRITE setRefusalReason NOTIFY changed)

    Q_PROPERTY(State state READ state NOTIFY stateChanged)
    Q_PROPERTY(bool loaded READ loaded NOTIFY stateChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY stateChanged)
    Q_PROPERTY(bool saving READ saving NOTIFY stateChanged)
    Q_PROPERTY(bool editable READ editable NOTIFY stateChanged)
    Q_PROPERTY(QVariantMap stored READ stored NOTIFY changed)
    Q_PROPERTY(QVariantList cameraChoices READ cameraChoices NOTIFY cameraChoicesChanged)
    Q_PROPERTY(QStringList changedFields READ changedFields NOTIFY changed)
    Q_PROPERTY(bool modified READ modified NOTIFY changed)
    Q_PROPERTY(bool scheduleModified READ scheduleModified NOTIFY changed)
    Q_PROPERTY(bool refused READ refused NOTIFY changed)
    Q_PROPERTY(QString refusalField READ refusalField NOTIFY changed)
    Q_PROPERTY(bool refusalActive READ refusalActive NOTIFY changed)
    Q_PROPERTY(bool offerOverwrite READ offerOverwrite NOTIFY changed)
    Q_PROPERTY(bool closePending READ closePending NOTIFY changed)
    Q_PROPERTY(QString message READ message NOTIFY changed)
    Q_PROPERTY(bool messageIsError READ messageIsError NOTIFY changed)

public:
    // The request in flight. The viewer asks for the settings when it starts, hence Loading.
    enum class State {
        Idle,
        Loading,
        Saving,
        SavingSchedule,
        // The schedule after a schedule-only save: the plug-in keeps its old one until loaded.
        ReadingBack,
        // The newest revision after a refused save, before overwriting it.
        LoadingNewest,
    };
    Q_ENUM(State)

    enum class Failure { None, SendFailed, LoadFailed, ReadBackFailed };
    enum class Outcome { None, Saved, ScheduleSaved, AlreadyStored };
    // Which save was refused last.
    enum class Refused { None, Update, Schedule };

    explicit PageSession(QObject* parent = nullptr);

    QObject* plugin() const { return m_plugin; }
    void setPlugin(QObject* plugin);
    QVariantMap edits() const { return m_edits; }
    void setEdits(const QVariantMap& edits);
    bool acceptable() const { return m_acceptable; }
    void setAcceptable(bool acceptable);
    QString refusalCode() const { return m_refusalCode; }
    void setRefusalCode(const QString& code);
    QString refusalReason() const { return m_refusalReason; }
    void setRefusalReason(const QString& reason);

    State state() const { return m_state; }
    bool loaded() const { return m_loaded; }
    bool busy() const { return m_state != State::Idle; }
    bool saving() const;
    bool editable() const { return m_loaded && !busy(); }
    Failure failure() const { return m_failure; }
    Outcome outcome() const { return m_outcome; }
    QVariantMap stored() const { return m_stored; }
    QVariantList cameraChoices() const { return m_cameraChoices; }
    QStringList changedFields() const { return m_changed; }
    bool modified() const { return !m_changed.isEmpty(); }
    bool scheduleModified() const;
    bool validationBlocked() const { return m_validationFailed && !m_acceptable; }
    bool refused() const { return m_refused != Refused::None; }
    QString refusalField() const;
    bool refusalActive() const;
    bool offerOverwrite() const;
    bool closePending() const { return m_closePending; }
    bool keysRefused() const { return m_keysRefused; }
    QString message() const;
    bool messageIsError() const;

    // Asks for the stored settings; every field then shows them.
    Q_INVOKABLE bool load();
    // Loads, or asks first (confirmReload) when that would discard unsaved changes.
    Q_INVOKABLE bool requestReload();
    // Saves every setting; sends nothing when no value differs from the loaded state or when a
    // field cannot be sent (problemsMarked).
    Q_INVOKABLE bool save();
    // Saves the schedule (name and week) and keeps the other stored settings and edits.
    Q_INVOKABLE bool saveScheduleOnly();
    // After a refused save: loads the newest revision, keeps the operator's edited fields and
    // lists them (overwriteReview) before anything is sent again.
    Q_INVOKABLE bool overwrite();
    // Sends the reviewed save again; only the operator's fields differ from the newest state.
    Q_INVOKABLE bool confirmOverwrite();
    // True when the window may close now. Otherwise asks (closeQuestion) or waits for the save
    // in flight, and emits closeAccepted when the window may go.
    Q_INVOKABLE bool requestClose();
    // The close question's Save: the window goes once the server has confirmed.
    Q_INVOKABLE bool saveAndClose();
    // Closes now: after the close question's Discard, or while a save is in flight, whose
    // change may then not be stored.
    Q_INVOKABLE void closeNow();
    // A key that reached the page: true when it is typing during a save, which is refused
    // visibly instead of vanishing. Tab, Return, Escape and shortcuts are not typing.
    Q_INVOKABLE bool refuseKey(int key, const QString& text);

Q_SIGNALS:
    void pluginChanged();
    void relayPathChanged();
    void cameraInventoryChanged();
    void stateChanged();
    void changed();
    void cameraChoicesChanged();
    // The page puts these values into its editors; fields missing from the map stay as edited.
    void showValues(const QVariantMap& values);
    // A save was held back: the page focuses the first field that cannot be sent.
    void problemsMarked();
    void confirmReload();
    // The newest revision is in; `fields` are where the operator's values differ from it.
    void overwriteReview(const QStringList& fields);
    void closeQuestion(bool afterRefusal);
    void closeAccepted();

private Q_SLOTS:
    void onInfoReply(bool success);
    void onUpdateReply(bool success);
    void onScheduleReply(bool success);

private:
    // Which fields a read takes from the plug-in: every one, those the operator left alone, or
    // those and the schedule.
    enum class Read { All, Rebase, ReadBack };

    bool begin(State next, bool sent);
    void finish(Failure failure);
    void setState(State state);
    bool request(const char* method) const;
    bool sendUpdate();
    bool sendSchedule();
    QVariantList camerasToSend() const;
    QVariantMap pluginValues() const;
    QVariantList choicesFor(const QStringList& stored) const;
    void read(Read mode);
    void reviewOverwrite();
    void settleClose();
    void askBeforeClose();
    bool validate();
    void clearRefusal();
    QString scheduleToSend() const;
    QString busyText() const;
    QString failureText() const;
    QString refusalText() const;
    QString outcomeText() const;
    // Recomputes what follows from the values and notifies.
    void update();

    QPointer<QObject> m_plugin;
    QString m_relayPath;
    QVariantList m_cameraInventory;
    QVariantList m_cameraChoices;
    QVariantMap m_edits;
    QVariantMap m_stored;
    // The edits when the last save was refused; a refusal about one field goes away once that
    // field is edited.
    QVariantMap m_refusedValues;
    QStringList m_changed;
    QString m_refusalCode;
    QString m_refusalReason;
    State m_state = State::Loading;
    Failure m_failure = Failure::None;
    Outcome m_outcome = Outcome::None;
    Refused m_refused = Refused::None;
    Refused m_overwriteKind = Refused::None;
    bool m_loaded = false;
    bool m_acceptable = true;
    bool m_validationFailed = false;
    bool m_closePending = false;
    bool m_keysRefused = false;
    // Set while the page puts read values into its editors: edits then pass without notice.
    bool m_reading = false;
};
