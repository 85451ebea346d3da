// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QAbstractListModel>
#include <QBitArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

// The cameras the operator can pick, sorted by group and name, filtered by a text. All camera
// state lives here, indexed by hash lookups and kept per group, so every operation costs at most
// one pass over the cameras and a list of 100,000 stays responsive; QML only binds to it.
//
// A group's state counts all of its cameras, whatever the filter shows, and ticking a group ticks
// all of them. Every change the operator makes is one step of an undo history, which a load
// starts again.
class CameraChoiceModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    // [{id, group, name, missing}]; `missing`: stored in the settings but no longer in the
    // inventory. Those cameras form a group of their own, `missingGroup`, listed last.
    Q_PROPERTY(QVariantList choices READ choices WRITE setChoices NOTIFY choicesChanged)
    Q_PROPERTY(QString filterText READ filterText WRITE setFilterText NOTIFY filterTextChanged)
    // Shows only the cameras that were ticked when it was set or the filter last changed, so a
    // camera unticked by mistake stays in view to tick again.
    Q_PROPERTY(bool selectedOnly READ selectedOnly WRITE setSelectedOnly NOTIFY selectedOnlyChanged)
    // Setting it is a load: the undo history starts again.
    Q_PROPERTY(
        QStringList selectedIds READ selectedIds WRITE setSelectedIds NOTIFY selectionChanged)
    Q_PROPERTY(int selectedCount READ selectedCount NOTIFY selectionChanged)
    // Changes with every selection change; bindings that call groupState() read it.
    Q_PROPERTY(int revision READ revision NOTIFY selectionChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    // Every camera counts as ticked, whatever the selection holds (which is kept).
    Q_PROPERTY(bool allCameras READ allCameras WRITE setAllCameras NOTIFY allCamerasChanged)
    Q_PROPERTY(QString missingGroup READ missingGroup CONSTANT)
    // Serial numbers of the newest undo and redo steps, 0 without one: the page compares them
    // with the week grid's to undo the newer edit of the two.
    Q_PROPERTY(int undoSerial READ undoSerial NOTIFY historyChanged)
    Q_PROPERTY(int redoSerial READ redoSerial NOTIFY historyChanged)

public:
    enum Role { CameraIdRole = Qt::UserRole + 1, NameRole, GroupRole, SelectedRole };
    static constexpr int MaxUndoSteps = 200;

    explicit CameraChoiceModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    QVariantList choices() const;
    void setChoices(const QVariantList& choices);
    QString filterText() const { return m_filterText; }
    void setFilterText(const QString& text);
    bool selectedOnly() const { return m_selectedOnly; }
    void setSelectedOnly(bool only);
    // In the order of the choices; ids that are not among them are kept after those.
    QStringList selectedIds() const;
    void setSelectedIds(const QStringList& ids);
    int selectedCount() const { return m_selectedCount + int(m_otherIds.size()); }
    int revision() const { return m_revision; }
    int count() const { return int(m_shown.size()); }
    bool allCameras() const { return m_allCameras; }
    void setAllCameras(bool all);
    int undoSerial() const { return m_undo.isEmpty() ? 0 : m_undo.last().serial; }
    int redoSerial() const { return m_redo.isEmpty() ? 0 : m_redo.last().serial; }
    // No inventory group id holds a control character.
    static QString missingGroup() { return QStringLiteral("\u0001missing"); }

    Q_INVOKABLE void setSelected(int row, bool selected);
    Q_INVOKABLE void toggle(int row);
    // Every camera of the group, shown or not.
    Q_INVOKABLE void setGroupSelected(const QString& group, bool selected);
    // Selects or clears every camera the filter shows.
    Q_INVOKABLE void setShownSelected(bool selected);
    // Qt::CheckState of all cameras of the group.
    Q_INVOKABLE int groupState(const QString& group) const;
    Q_INVOKABLE void undo();
    Q_INVOKABLE void redo();

Q_SIGNALS:
    void choicesChanged();
    void filterTextChanged();
    void selectedOnlyChanged();
    void selectionChanged();
    void countChanged();
    void allCamerasChanged();
    void historyChanged();

private:
    struct Camera
    {
        QString id;
        QString group;
        QString name;
        int groupIndex = 0;
    };
    struct Group
    {
        QList<int> cameras; // indexes into m_cameras
        int selected = 0;
    };
    struct Step
    {
        QBitArray selection;
        int serial = 0;
    };

    static QList<Camera> readChoices(const QVariantList& choices);
    static QList<Camera> sortedForList(const QList<Camera>& cameras);
    bool matches(const Camera& camera, const QString& filter) const;
    void refilter();
    void rebuildIndex();
    QBitArray selectionFor(const QStringList& ids, QStringList* others) const;
    void setSelection(const QBitArray& selection);
    void countGroups(const QBitArray& selection);
    void changeCameras(const QList<int>& cameras, bool selected);
    void notifySelection();
    void pushUndo(const QBitArray& before);

    QList<Camera> m_cameras; // sorted by group, name, id
    QHash<QString, int> m_cameraIndex; // id -> index into m_cameras
    QList<Group> m_groups;
    QHash<QString, int> m_groupIndex; // group id -> index into m_groups
    QList<int> m_shown; // indexes into m_cameras
    QBitArray m_selected; // by index into m_cameras
    int m_selectedCount = 0;
    QStringList m_otherIds; // selected, but not among the choices; sorted
    QString m_filterText;
    bool m_selectedOnly = false;
    bool m_allCameras = false;
    int m_revision = 0;
    QList<Step> m_undo;
    QList<Step> m_redo;
};
