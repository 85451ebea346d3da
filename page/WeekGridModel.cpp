// SPDX-License-Identifier: BSD-3-Clause

#include "WeekGridModel.h"

#include "EditSerial.h"

#include "WeekSchedule.h"

#include <algorithm>

namespace {

constexpr int CellCount = WeekGridModel::Days * WeekGridModel::RowsPerDay;

} // namespace

WeekGridModel::WeekGridModel(QObject* parent) : QAbstractListModel(parent), m_cells(CellCount) { }

int WeekGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : CellCount;
}

QVariant WeekGridModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case DayRole:
        return index.row() % Days;
    case RowRole:
        return index.row() / Days;
    case SelectedRole:
        return m_cells.testBit(index.row());
    default:
        return {};
    }
}

QHash<int, QByteArray> WeekGridModel::roleNames() const
{
    return {{DayRole, "day"}, {RowRole, "row"}, {SelectedRole, "selected"}};
}

QString WeekGridModel::document() const
{
    WeekSchedule schedule;
    for (int day = 0; day < Days; ++day) {
        for (int row = 0; row < RowsPerDay; ++row) {
            if (isSelected(day, row))
                schedule.add(
                    day, {row * WeekSchedule::SlotMinutes, (row + 1) * WeekSchedule::SlotMinutes});
        }
    }
    return schedule.toRectangleJson();
}

void WeekGridModel::setDocument(const QString& document)
{
    QBitArray cells(CellCount);
    paint(&cells, WeekSchedule::fromRectangleJson(document));
    // A load replaces whatever was being drawn, and there is nothing to undo back to.
    resetStroke();
    const bool hadHistory = canUndo() || canRedo();
    m_undo.clear();
    m_redo.clear();
    m_undoSerials.clear();
    m_redoSerials.clear();
    apply(cells);
    if (hadHistory)
        Q_EMIT historyChanged();
}

int WeekGridModel::selectedCount() const
{
    return int(m_cells.count(true));
}

bool WeekGridModel::isSelected(int day, int row) const
{
    return isCell(day, row) && m_cells.testBit(cellIndex(day, row));
}

void WeekGridModel::toggle(int day, int row)
{
    if (!isCell(day, row))
        return;
    QBitArray cells = m_cells;
    cells.toggleBit(cellIndex(day, row));
    commit(cells);
}

void WeekGridModel::setRange(int fromDay, int fromRow, int toDay, int toRow, bool selected)
{
    QBitArray cells = m_cells;
    fill(&cells, fromDay, fromRow, toDay, toRow, selected);
    commit(cells);
}

void WeekGridModel::clear()
{
    commit(QBitArray(CellCount));
}

bool WeekGridModel::applyPreset(const QString& name)
{
    constexpr int Sunday = 0;
    constexpr int Monday = 1;
    constexpr int Friday = 5;
    constexpr int Saturday = 6;
    constexpr int LastRow = RowsPerDay - 1;
    QBitArray cells(CellCount);
    if (name == QLatin1String("office")) {
        fill(&cells, Monday, 9 * 2, Friday, 17 * 2 - 1, true);
    } else if (name == QLatin1String("nights")) {
        // Each night runs into the next day's morning; Saturday night ends on Sunday.
        for (int day = Sunday; day <= Saturday; ++day) {
            fill(&cells, day, 22 * 2, day, LastRow, true);
            const int morning = (day + 1) % Days;
            fill(&cells, morning, 0, morning, 6 * 2 - 1, true);
        }
    } else if (name == QLatin1String("weekends")) {
        fill(&cells, Saturday, 0, Saturday, LastRow, true);
        fill(&cells, Sunday, 0, Sunday, LastRow, true);
    } else if (name == QLatin1String("always")) {
        cells.fill(true);
    } else if (name != QLatin1String("none")) {
        return false;
    }
    commit(cells);
    return true;
}

void WeekGridModel::copyDay(int fromDay, const QList<int>& toDays)
{
    if (!isCell(fromDay, 0))
        return;
    QBitArray cells = m_cells;
    for (const int day : toDays) {
        if (!isCell(day, 0))
            continue;
        for (int row = 0; row < RowsPerDay; ++row)
            cells.setBit(cellIndex(day, row), m_cells.testBit(cellIndex(fromDay, row)));
    }
    commit(cells);
}

void WeekGridModel::fillDay(int day)
{
    if (!isCell(day, 0))
        return;
    QBitArray cells = m_cells;
    fill(&cells, day, 0, day, RowsPerDay - 1, !isFull(m_cells, day, 0, day, RowsPerDay - 1));
    commit(cells);
}

void WeekGridModel::fillHour(int hour)
{
    const int firstRow = hour * 2;
    const int lastRow = firstRow + 1;
    if (!isCell(0, firstRow))
        return;
    QBitArray cells = m_cells;
    fill(&cells, 0, firstRow, Days - 1, lastRow, !isFull(m_cells, 0, firstRow, Days - 1, lastRow));
    commit(cells);
}

bool WeekGridModel::paintRange(const QString& text)
{
    const WeekSchedule typed = WeekSchedule::parse(text);
    if (!typed.isValid() || typed.isEmpty())
        return false;
    QBitArray cells = m_cells;
    paint(&cells, typed);
    commit(cells);
    return true;
}

void WeekGridModel::beginStroke(int day, int row)
{
    if (!isCell(day, row))
        return;
    m_strokeBase = m_cells;
    m_strokeDay = day;
    m_strokeRow = row;
    m_strokeValue = !isSelected(day, row);
    extendStroke(day, row);
}

void WeekGridModel::extendStroke(int day, int row)
{
    if (!stroking())
        return;
    QBitArray cells = m_strokeBase;
    fill(&cells, m_strokeDay, m_strokeRow, std::clamp(day, 0, Days - 1),
         std::clamp(row, 0, RowsPerDay - 1), m_strokeValue);
    apply(cells);
}

void WeekGridModel::endStroke()
{
    if (!stroking())
        return;
    const QBitArray before = m_strokeBase;
    resetStroke();
    commit(before, m_cells);
}

bool WeekGridModel::cancelStroke()
{
    if (!stroking())
        return false;
    const QBitArray before = m_strokeBase;
    resetStroke();
    apply(before);
    return true;
}

void WeekGridModel::undo()
{
    endStroke();
    if (m_undo.isEmpty())
        return;
    m_redo.append(m_cells);
    m_redoSerials.append(m_undoSerials.takeLast());
    apply(m_undo.takeLast());
    Q_EMIT historyChanged();
    Q_EMIT edited();
}

void WeekGridModel::redo()
{
    endStroke();
    if (m_redo.isEmpty())
        return;
    m_undo.append(m_cells);
    m_undoSerials.append(m_redoSerials.takeLast());
    apply(m_redo.takeLast());
    Q_EMIT historyChanged();
    Q_EMIT edited();
}

bool WeekGridModel::isCell(int day, int row)
{
    return day >= 0 && day < Days && row >= 0 && row < RowsPerDay;
}

void WeekGridModel::fill(QBitArray* cells, int fromDay, int fromRow, int toDay, int toRow,
                         bool selected)
{
    const int firstDay = std::max(std::min(fromDay, toDay), 0);
    const int lastDay = std::min(std::max(fromDay, toDay), Days - 1);
    const int firstRow = std::max(std::min(fromRow, toRow), 0);
    const int lastRow = std::min(std::max(fromRow, toRow), RowsPerDay - 1);
    for (int day = firstDay; day <= lastDay; ++day) {
        for (int row = firstRow; row <= lastRow; ++row)
            cells->setBit(cellIndex(day, row), selected);
    }
}

void WeekGridModel::paint(QBitArray* cells, const WeekSchedule& schedule)
{
    for (int day = 0; day < Days; ++day) {
        for (const WeekSchedule::Range& range : schedule.day(day))
            fill(cells, day, range.firstSlot(), day, range.endSlot() - 1, true);
    }
}

bool WeekGridModel::isFull(const QBitArray& cells, int fromDay, int fromRow, int toDay, int toRow)
{
    for (int day = fromDay; day <= toDay; ++day) {
        for (int row = fromRow; row <= toRow; ++row) {
            if (!cells.testBit(cellIndex(day, row)))
                return false;
        }
    }
    return true;
}

void WeekGridModel::commit(const QBitArray& before, const QBitArray& cells)
{
    // An edit in the middle of a stroke finishes the stroke first, as a step of its own.
    if (stroking())
        endStroke();
    if (cells == before)
        return;
    m_undo.append(before);
    m_undoSerials.append(nextEditSerial());
    if (m_undo.size() > MaxUndoSteps) {
        m_undo.removeFirst();
        m_undoSerials.removeFirst();
    }
    m_redo.clear();
    m_redoSerials.clear();
    apply(cells);
    Q_EMIT historyChanged();
    Q_EMIT edited();
}

void WeekGridModel::resetStroke()
{
    if (!stroking())
        return;
    m_strokeDay = -1;
    m_strokeRow = -1;
    m_strokeBase.clear();
}

void WeekGridModel::apply(const QBitArray& cells)
{
    if (cells == m_cells)
        return;
    int first = CellCount;
    int last = -1;
    for (int i = 0; i < CellCount; ++i) {
        if (cells.testBit(i) != m_cells.testBit(i)) {
            first = std::min(first, i);
            last = i;
        }
    }
    m_cells = cells;
    Q_EMIT dataChanged(index(first), index(last), {SelectedRole});
    Q_EMIT documentChanged();
}
