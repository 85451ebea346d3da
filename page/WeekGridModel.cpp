#include "WeekGridModel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

constexpr int CellCount = WeekGridModel::Days * WeekGridModel::RowsPerDay;

QString rectangleText(int day, int firstRow, int endRow)
{
    // Half hours are exact in binary, so the shortest form gives 9, 9.5 and 24.
    return QStringLiteral("{\"Top\":%1,\"Bottom\":%2,\"Left\":%3,\"Right\":%4}")
        .arg(QString::number(firstRow / 2.0), QString::number(endRow / 2.0))
        .arg(day)
        .arg(day + 1);
}

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
    QStringList rectangles;
    for (int day = 0; day < Days; ++day) {
        int row = 0;
        while (row < RowsPerDay) {
            if (!isSelected(day, row)) {
                ++row;
                continue;
            }
            const int first = row;
            while (row < RowsPerDay && isSelected(day, row))
                ++row;
            rectangles.append(rectangleText(day, first, row));
        }
    }
    return QStringLiteral("{\"Rectangles\":[") + rectangles.join(QLatin1Char(','))
        + QStringLiteral("]}");
}

void WeekGridModel::setDocument(const QString& document)
{
    QBitArray cells(CellCount);
    const QJsonArray rectangles = QJsonDocument::fromJson(document.toUtf8())
                                      .object()
                                      .value(QLatin1String("Rectangles"))
                                      .toArray();
    for (const QJsonValue& value : rectangles) {
        const QJsonObject rectangle = value.toObject();
        const double top = rectangle.value(QLatin1String("Top")).toDouble();
        const double bottom = rectangle.value(QLatin1String("Bottom")).toDouble();
        const int left = std::max(rectangle.value(QLatin1String("Left")).toInt(), 0);
        const int right = std::min(rectangle.value(QLatin1String("Right")).toInt(), Days);
        // Zero-height rectangles (the plug-in writes one after an interval ending at 24:00)
        // and rectangles outside the week carry no time.
        if (!(bottom > top) || left >= right)
            continue;
        const int firstRow = std::max(int(std::floor(top * 2)), 0);
        const int endRow = std::min(int(std::ceil(bottom * 2)), RowsPerDay);
        if (firstRow >= endRow)
            continue;
        fill(&cells, left, firstRow, right - 1, endRow - 1, true);
    }
    apply(cells);
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
    apply(cells);
}

void WeekGridModel::setRange(int fromDay, int fromRow, int toDay, int toRow, bool selected)
{
    QBitArray cells = m_cells;
    fill(&cells, fromDay, fromRow, toDay, toRow, selected);
    apply(cells);
}

void WeekGridModel::clear()
{
    apply(QBitArray(CellCount));
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
    if (m_strokeDay < 0)
        return;
    QBitArray cells = m_strokeBase;
    fill(&cells, m_strokeDay, m_strokeRow, std::clamp(day, 0, Days - 1),
         std::clamp(row, 0, RowsPerDay - 1), m_strokeValue);
    apply(cells);
}

void WeekGridModel::endStroke()
{
    m_strokeDay = -1;
    m_strokeRow = -1;
    m_strokeBase.clear();
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
