// SPDX-License-Identifier: BSD-3-Clause

#include "CameraChoiceModel.h"

#include "EditSerial.h"

#include <QCollator>
#include <QSet>

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
    const int i = m_shown.at(index.row());
    const Camera& camera = m_cameras.at(i);
    switch (role) {
    case CameraIdRole:
        return camera.id;
    case NameRole:
        return camera.name;
    case GroupRole:
        return camera.group;
    case SelectedRole:
        return m_allCameras || m_selected.testBit(i);
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

namespace {

struct SortEntry
{
    int rank; // named groups, then no group, then no longer in the inventory
    int group; // position of the group in collation order
    QCollatorSortKey name;
    int camera;
};

} // namespace

// The choices with an id, each id once, in the order given.
QList<CameraChoiceModel::Camera> CameraChoiceModel::readChoices(const QVariantList& choices)
{
    QList<Camera> cameras;
    cameras.reserve(choices.size());
    QSet<QString> seen;
    seen.reserve(choices.size());
    for (const QVariant& choice : choices) {
        const QVariantMap map = choice.toMap();
        const QString id = map.value(QStringLiteral("id")).toString();
        if (id.isEmpty() || seen.contains(id))
            continue;
        seen.insert(id);
        const bool missing = map.value(QStringLiteral("missing")).toBool();
        const QString group
            = missing ? missingGroup() : map.value(QStringLiteral("group")).toString();
        cameras.append({id, group, map.value(QStringLiteral("name")).toString()});
    }
    return cameras;
}

// Named groups in collation order, then cameras without a group, then those no longer in the
// inventory; by name (or id) within a group.
QList<CameraChoiceModel::Camera> CameraChoiceModel::sortedForList(const QList<Camera>& cameras)
{
    QHash<QString, int> groupSeen;
    QStringList groups;
    for (const Camera& camera : cameras) {
        if (!groupSeen.contains(camera.group)) {
            groupSeen.insert(camera.group, int(groups.size()));
            groups.append(camera.group);
        }
    }
    // Sort keys once per camera, not once per comparison: collation is the costly part.
    const QCollator collator;
    QList<int> groupOrder(groups.size());
    std::iota(groupOrder.begin(), groupOrder.end(), 0);
    std::sort(groupOrder.begin(), groupOrder.end(),
              [&](int a, int b) { return collator.compare(groups.at(a), groups.at(b)) < 0; });
    QList<int> groupRank(groups.size());
    for (int i = 0; i < groupOrder.size(); ++i)
        groupRank[groupOrder.at(i)] = i;
    QList<SortEntry> entries;
    entries.reserve(cameras.size());
    for (int i = 0; i < cameras.size(); ++i) {
        const Camera& camera = cameras.at(i);
        const int rank = camera.group == missingGroup() ? 2 : camera.group.isEmpty() ? 1 : 0;
        entries.append({rank, groupRank.at(groupSeen.value(camera.group)),
                        collator.sortKey(camera.name.isEmpty() ? camera.id : camera.name), i});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const SortEntry& a, const SortEntry& b) {
        if (a.rank != b.rank)
            return a.rank < b.rank;
        if (a.group != b.group)
            return a.group < b.group;
        return a.name.compare(b.name) < 0;
    });
    QList<Camera> sorted;
    sorted.reserve(cameras.size());
    for (const SortEntry& entry : std::as_const(entries))
        sorted.append(cameras.at(entry.camera));
    return sorted;
}

void CameraChoiceModel::setChoices(const QVariantList& choices)
{
    const QStringList selected = selectedIds();
    QList<Camera> cameras = sortedForList(readChoices(choices));
    beginResetModel();
    m_cameras = std::move(cameras);
    rebuildIndex();
    m_undo.clear();
    m_redo.clear();
    const QBitArray selection = selectionFor(selected, &m_otherIds);
    m_selectedCount = int(selection.count(true));
    countGroups(selection);
    m_selected = selection;
    m_shown.clear();
    const QString filter = m_filterText.trimmed();
    for (int i = 0; i < m_cameras.size(); ++i) {
        if (matches(m_cameras.at(i), filter))
            m_shown.append(i);
    }
    endResetModel();
    Q_EMIT choicesChanged();
    Q_EMIT countChanged();
    notifySelection();
    Q_EMIT historyChanged();
}

void CameraChoiceModel::rebuildIndex()
{
    m_cameraIndex.clear();
    m_cameraIndex.reserve(m_cameras.size());
    m_groupIndex.clear();
    m_groups.clear();
    for (int i = 0; i < m_cameras.size(); ++i) {
        Camera& camera = m_cameras[i];
        m_cameraIndex.insert(camera.id, i);
        auto it = m_groupIndex.constFind(camera.group);
        if (it == m_groupIndex.cend()) {
            it = m_groupIndex.insert(camera.group, int(m_groups.size()));
            m_groups.append(Group());
        }
        camera.groupIndex = *it;
        m_groups[*it].cameras.append(i);
    }
    m_selected = QBitArray(m_cameras.size());
    m_selectedCount = 0;
}

void CameraChoiceModel::setFilterText(const QString& text)
{
    if (m_filterText == text)
        return;
    m_filterText = text;
    refilter();
    Q_EMIT filterTextChanged();
}

void CameraChoiceModel::setSelectedOnly(bool only)
{
    if (m_selectedOnly == only)
        return;
    m_selectedOnly = only;
    refilter();
    Q_EMIT selectedOnlyChanged();
}

bool CameraChoiceModel::matches(const Camera& camera, const QString& filter) const
{
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
    const QString filter = m_filterText.trimmed();
    const bool onlySelected = m_selectedOnly && !m_allCameras;
    for (int i = 0; i < m_cameras.size(); ++i) {
        if ((!onlySelected || m_selected.testBit(i)) && matches(m_cameras.at(i), filter))
            m_shown.append(i);
    }
    endResetModel();
    Q_EMIT countChanged();
}

QStringList CameraChoiceModel::selectedIds() const
{
    QStringList ids;
    ids.reserve(selectedCount());
    for (int i = 0; i < m_cameras.size(); ++i) {
        if (m_selected.testBit(i))
            ids.append(m_cameras.at(i).id);
    }
    return ids + m_otherIds;
}

QBitArray CameraChoiceModel::selectionFor(const QStringList& ids, QStringList* others) const
{
    QBitArray selection(m_cameras.size());
    others->clear();
    for (const QString& id : ids) {
        const auto it = m_cameraIndex.constFind(id);
        if (it != m_cameraIndex.cend())
            selection.setBit(*it);
        else if (!id.isEmpty())
            others->append(id);
    }
    others->sort();
    others->removeDuplicates();
    return selection;
}

void CameraChoiceModel::setSelectedIds(const QStringList& ids)
{
    QStringList others;
    const QBitArray selection = selectionFor(ids, &others);
    const bool historyKept = m_undo.isEmpty() && m_redo.isEmpty();
    m_undo.clear();
    m_redo.clear();
    if (!historyKept)
        Q_EMIT historyChanged();
    if (selection == m_selected && others == m_otherIds)
        return;
    m_otherIds = others;
    setSelection(selection);
}

// Takes `selection` and recounts the groups: one pass, whatever changed.
void CameraChoiceModel::setSelection(const QBitArray& selection)
{
    m_selected = selection;
    m_selectedCount = int(selection.count(true));
    countGroups(selection);
    if (!m_shown.isEmpty())
        Q_EMIT dataChanged(index(0), index(count() - 1), {SelectedRole});
    notifySelection();
}

void CameraChoiceModel::countGroups(const QBitArray& selection)
{
    for (Group& group : m_groups) {
        group.selected = 0;
        for (const int i : std::as_const(group.cameras))
            group.selected += selection.testBit(i) ? 1 : 0;
    }
}

void CameraChoiceModel::notifySelection()
{
    ++m_revision;
    Q_EMIT selectionChanged();
}

int CameraChoiceModel::groupState(const QString& group) const
{
    const auto it = m_groupIndex.constFind(group);
    if (it == m_groupIndex.cend())
        return Qt::Unchecked;
    const Group& entry = m_groups.at(*it);
    const int selected = m_allCameras ? int(entry.cameras.size()) : entry.selected;
    return selected == 0                        ? Qt::Unchecked
        : selected == int(entry.cameras.size()) ? Qt::Checked
                                                : Qt::PartiallyChecked;
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
    notifySelection();
}

// Changes the given cameras (indexes into m_cameras) as one undo step.
void CameraChoiceModel::changeCameras(const QList<int>& cameras, bool selected)
{
    const QBitArray before = m_selected;
    bool changed = false;
    for (const int i : cameras) {
        if (m_selected.testBit(i) == selected)
            continue;
        m_selected.setBit(i, selected);
        m_selectedCount += selected ? 1 : -1;
        m_groups[m_cameras.at(i).groupIndex].selected += selected ? 1 : -1;
        changed = true;
    }
    if (!changed)
        return;
    pushUndo(before);
    // One notice for all rows, however many changed: the view updates only those it shows.
    if (cameras.size() == 1) {
        const auto row = std::lower_bound(m_shown.cbegin(), m_shown.cend(), cameras.first());
        if (row != m_shown.cend() && *row == cameras.first()) {
            const QModelIndex changedRow = index(int(row - m_shown.cbegin()));
            Q_EMIT dataChanged(changedRow, changedRow, {SelectedRole});
        }
    } else if (!m_shown.isEmpty()) {
        Q_EMIT dataChanged(index(0), index(count() - 1), {SelectedRole});
    }
    notifySelection();
}

void CameraChoiceModel::pushUndo(const QBitArray& before)
{
    m_undo.append({before, nextEditSerial()});
    if (m_undo.size() > MaxUndoSteps)
        m_undo.removeFirst();
    m_redo.clear();
    Q_EMIT historyChanged();
}

void CameraChoiceModel::undo()
{
    if (m_undo.isEmpty())
        return;
    const Step step = m_undo.takeLast();
    m_redo.append({m_selected, step.serial});
    setSelection(step.selection);
    Q_EMIT historyChanged();
}

void CameraChoiceModel::redo()
{
    if (m_redo.isEmpty())
        return;
    const Step step = m_redo.takeLast();
    m_undo.append({m_selected, step.serial});
    setSelection(step.selection);
    Q_EMIT historyChanged();
}

void CameraChoiceModel::setSelected(int row, bool selected)
{
    if (row >= 0 && row < count())
        changeCameras({m_shown.at(row)}, selected);
}

void CameraChoiceModel::toggle(int row)
{
    if (row >= 0 && row < count())
        changeCameras({m_shown.at(row)}, !m_selected.testBit(m_shown.at(row)));
}

void CameraChoiceModel::setGroupSelected(const QString& group, bool selected)
{
    const auto it = m_groupIndex.constFind(group);
    if (it != m_groupIndex.cend())
        changeCameras(m_groups.at(*it).cameras, selected);
}

void CameraChoiceModel::setShownSelected(bool selected)
{
    changeCameras(m_shown, selected);
}
