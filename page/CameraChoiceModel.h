// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QAbstractListModel>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>

// The cameras the operator can pick, sorted by group and name, filtered by a text, with the
// selection kept as a set of ids: toggling one camera changes one row, so a list of thousands
// stays responsive. Group operations and group states apply to the cameras the filter shows.
class CameraChoiceModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    // [{id, group, name, missing}]; `missing`: stored in the settings but no longer in the
    // inventory. Those cameras form a group of their own, `missingGroup`, listed last.
    Q_PROPERTY(QVariantList choices READ choices WRITE setChoices NOTIFY choicesChanged)
    Q_PROPERTY(QString filterText READ filterText WRITE setFilterText NOTIFY filterTextChanged)
    Q_PROPERTY(
        QStringList selectedIds READ selectedIds WRITE setSelectedIds NOTIFY selectionChanged)
    Q_PROPERTY(int selectedCount READ selectedCount NOTIFY selectionChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    // Every camera counts as ticked, whatever the selection holds (which is kept).
    Q_PROPERTY(bool allCameras READ allCameras WRITE setAllCameras NOTIFY allCamerasChanged)
    // Group id -> Qt::CheckState of the group's shown cameras.
    Q_PROPERTY(QVariantMap groupStates READ groupStates NOTIFY selectionChanged)
    Q_PROPERTY(QString missingGroup READ missingGroup CONSTANT)

public:
    enum Role { CameraIdRole = Qt::UserRole + 1, NameRole, GroupRole, SelectedRole };

    explicit CameraChoiceModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    QVariantList choices() const;
    void setChoices(const QVariantList& choices);
    QString filterText() const { return m_filterText; }
    void setFilterText(const QString& text);
    // In the order of the choices; ids that are not among them are kept after those.
    QStringList selectedIds() const;
    void setSelectedIds(const QStringList& ids);
    int selectedCount() const { return int(m_selected.size()); }
    int count() const { return int(m_shown.size()); }
    QVariantMap groupStates() const;
    bool allCameras() const { return m_allCameras; }
    void setAllCameras(bool all);
    // No inventory group id holds a control character.
    static QString missingGroup() { return QStringLiteral("\u0001missing"); }

    Q_INVOKABLE void setSelected(int row, bool selected);
    Q_INVOKABLE void toggle(int row);
    Q_INVOKABLE void setGroupSelected(const QString& group, bool selected);
    // Selects or clears every camera the filter shows.
    Q_INVOKABLE void setShownSelected(bool selected);
    Q_INVOKABLE int groupState(const QString& group) const;

Q_SIGNALS:
    void choicesChanged();
    void filterTextChanged();
    void selectionChanged();
    void countChanged();
    void allCamerasChanged();

private:
    struct Camera
    {
        QString id;
        QString group;
        QString name;
    };

    bool matches(const Camera& camera) const;
    void refilter();
    void changeSelection(const QList<int>& rows, bool selected);

    QList<Camera> m_cameras; // sorted by group, name, id
    QList<int> m_shown; // indexes into m_cameras
    QSet<QString> m_selected;
    QString m_filterText;
    bool m_allCameras = false;
};
