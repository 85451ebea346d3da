// SPDX-License-Identifier: BSD-3-Clause

#include "CameraChoiceModel.h"

#include <algorithm>
#include <numeric>

CameraChoiceModel::CameraChoiceModel(QObject* parent) : QAbstractListModel(parent) { }

int CameraChoiceModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant CameraChoiceModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Camera& camera = m_cameras.at(m_shown.at(index.row()));
    switch (role) {
    case CameraIdRole:
        return camera.id;
    case NameRole:
        return camera.name;
    case GroupRole:
        return camera.group;
    case SelectedRole:
        return m_allCameras || m_selected.contains(camera.id);
    case Qt::DisplayRole:
        return camera.name.isEmpty() ? camera.id : camera.name;
    }
    return {};
}

QHash<int, QByteArray> CameraChoiceModel::roleNames() const
{
    return {{CameraIdRole, "cameraId"},
            {NameRole, "name"},
            {GroupRole, "group"},
            {SelectedRole, "selected"}};
}

QVariantList CameraChoiceModel::choices() const
{
    QVariantList list;
    list.reserve(m_cameras.size());
    for (const Camera& camera : m_cameras) {
        const bool missing = camera.group == missingGroup();
        list.append(QVariantMap {{QStringLiteral("id"), camera.id},
                                 {QStringLiteral("group"), missing ? QString() : camera.group},
                                 {QStringLiteral("name"), camera.name},
                                 {QStringLiteral("missing"), missing}});
    }
    return list;
}

void CameraChoiceModel::setChoices(const QVariantList& choices)
{
    QList<Camera> cameras;
    cameras.reserve(choices.size());
    QSet<QString> seen;
    for (const QVariant& choice : choices) {
        const QVariantMap map = choice.toMap();
        const QString id = map.value(QStringLiteral("id")).toString();
        if (id.isEmpty() || seen.contains(id))
            continue;
        seen.insert(id);
        const bool missing = map.value(QStringLiteral("missing")).toBool();
        cameras.append({id,
                        missing ? missingGroup() : map.value(QStringLiteral("group")).toString(),
                        map.value(QStringLiteral("name")).toString()});
    }
    // Cameras without a group, then those no longer in the inventory go last, so the named
    // groups stay together at the top.
    const auto rank = [](const Camera& camera) {
        return camera.group == missingGroup() ? 2 : camera.group.isEmpty() ? 1 : 0;
    };
    std::stable_sort(cameras.begin(), cameras.end(), [&rank](const Camera& a, const Camera& b) {
        if (rank(a) != rank(b))
            return rank(a) < rank(b);
        if (a.group != b.group)
            return a.group.localeAwareCompare(b.group) < 0;
        const QString left = a.name.isEmpty() ? a.id : a.name;
        const QString right = b.name.isEmpty() ? b.id : b.name;
        return left.localeAwareCompare(right) < 0;
    });
    beginResetModel();
    m_cameras = cameras;
    m_shown.clear();
    for (int i = 0; i < m_cameras.size(); ++i) {
        if (matches(m_cameras.at(i)))
            m_shown.append(i);
    }
    endResetModel();
    Q_EMIT choicesChanged();
    Q_EMIT countChanged();
    Q_EMIT selectionChanged();
}

void CameraChoiceModel::setFilterText(const QString& text)
{
    if (m_filterText == text)
        return;
    m_filterText = text;
    refilter();
    Q_EMIT filterTextChanged();
}

bool CameraChoiceModel::matches(const Camera& camera) const
{
    const QString filter = m_filterText.trimmed();
    if (filter.isEmpty())
        return true;
    return camera.id.contains(filter, Qt::CaseInsensitive)
        || camera.name.contains(filter, Qt::CaseInsensitive)
        || camera.group.contains(filter, Qt::CaseInsensitive);
}

void CameraChoiceModel::refilter()
{
    beginResetModel();
    m_shown.clear();
    for (int i = 0; i < m_cameras.size(); ++i) {
        if (matches(m_cameras.at(i)))
            m_shown.append(i);
    }
    endResetModel();
    Q_EMIT countChanged();
    // Group states follow what is shown.
    Q_EMIT selectionChanged();
}

QStringList CameraChoiceModel::selectedIds() const
{
    QStringList ids;
    ids.reserve(m_selected.size());
    QSet<QString> listed;
    for (const Camera& camera : m_cameras) {
        if (m_selected.contains(camera.id)) {
            ids.append(camera.id);
            listed.insert(camera.id);
        }
    }
    QStringList others;
    for (const QString& id : m_selected) {
        if (!listed.contains(id))
            others.append(id);
    }
    others.sort();
    return ids + others;
}

void CameraChoiceModel::setSelectedIds(const QStringList& ids)
{
    const QSet<QString> selected(ids.cbegin(), ids.cend());
    if (selected == m_selected)
        return;
    m_selected = selected;
    if (!m_shown.isEmpty())
        Q_EMIT dataChanged(index(0), index(count() - 1), {SelectedRole});
    Q_EMIT selectionChanged();
}

QVariantMap CameraChoiceModel::groupStates() const
{
    QHash<QString, std::pair<int, int>> counts; // group -> (shown, selected)
    for (const int i : m_shown) {
        const Camera& camera = m_cameras.at(i);
        auto& entry = counts[camera.group];
        ++entry.first;
        if (m_allCameras || m_selected.contains(camera.id))
            ++entry.second;
    }
    QVariantMap states;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const auto [shown, selected] = it.value();
        states.insert(it.key(),
                      selected == 0 ? Qt::Unchecked
                                    : (selected == shown ? Qt::Checked : Qt::PartiallyChecked));
    }
    return states;
}

int CameraChoiceModel::groupState(const QString& group) const
{
    return groupStates().value(group, int(Qt::Unchecked)).toInt();
}

void CameraChoiceModel::setAllCameras(bool all)
{
    if (m_allCameras == all)
        return;
    m_allCameras = all;
    if (!m_shown.isEmpty())
        Q_EMIT dataChanged(index(0), index(count() - 1), {SelectedRole});
    Q_EMIT allCamerasChanged();
    // The ticks shown change, the selection kept does not.
    Q_EMIT selectionChanged();
}

void CameraChoiceModel::changeSelection(const QList<int>& rows, bool selected)
{
    int first = -1;
    int last = -1;
    for (const int row : rows) {
        const QString& id = m_cameras.at(m_shown.at(row)).id;
        if (m_selected.contains(id) == selected)
            continue;
        if (selected)
            m_selected.insert(id);
        else
            m_selected.remove(id);
        first = first < 0 ? row : std::min(first, row);
        last = std::max(last, row);
    }
    if (first < 0)
        return;
    // One notice for the span, however many rows changed.
    Q_EMIT dataChanged(index(first), index(last), {SelectedRole});
    Q_EMIT selectionChanged();
}

void CameraChoiceModel::setSelected(int row, bool selected)
{
    if (row >= 0 && row < count())
        changeSelection({row}, selected);
}

void CameraChoiceModel::toggle(int row)
{
    if (row >= 0 && row < count())
        changeSelection({row}, !m_selected.contains(m_cameras.at(m_shown.at(row)).id));
}

void CameraChoiceModel::setGroupSelected(const QString& group, bool selected)
{
    QList<int> rows;
    for (int row = 0; row < count(); ++row) {
        if (m_cameras.at(m_shown.at(row)).group == group)
            rows.append(row);
    }
    changeSelection(rows, selected);
}

void CameraChoiceModel::setShownSelected(bool selected)
{
    QList<int> rows(count());
    std::iota(rows.begin(), rows.end(), 0);
    changeSelection(rows, selected);
}
