#pragma once

#include <QAbstractListModel>
#include <QBitArray>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The cells of the week grid: 7 day columns (0 = Sunday) by 48 half-hour rows. The grid reads
// and writes the page's rectangle document ({"Rectangles":[{"Top":9,"Bottom":17,"Left":1,
// "Right":2}]}, hours 0 to 24, Right exclusive) and writes one single-day rectangle per run of
// consecutive cells. As a list model it has one item per cell, row by row, so a grid view with
// seven columns lays the items out as the week.
class WeekGridModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString document READ document WRITE setDocument NOTIFY documentChanged)
    Q_PROPERTY(int selectedCount READ selectedCount NOTIFY documentChanged)
    Q_PROPERTY(int days READ days CONSTANT)
    Q_PROPERTY(int rowsPerDay READ rowsPerDay CONSTANT)

public:
    static constexpr int Days = 7;
    static constexpr int RowsPerDay = 48;

    enum Role { DayRole = Qt::UserRole + 1, RowRole, SelectedRole };

    explicit WeekGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    QString document() const;
    // Text that is not a JSON object leaves an empty grid. Rectangles may span several days;
    // a cell is taken when the rectangle covers any part of its half hour.
    void setDocument(const QString& document);

    int selectedCount() const;
    int days() const { return Days; }
    int rowsPerDay() const { return RowsPerDay; }

    Q_INVOKABLE bool isSelected(int day, int row) const;
    Q_INVOKABLE void toggle(int day, int row);
    // Sets every cell of the block spanned by the two corners (inclusive, in any order).
    Q_INVOKABLE void setRange(int fromDay, int fromRow, int toDay, int toRow, bool selected);
    Q_INVOKABLE void clear();

    // A press-and-drag paints (or, when it starts on a selected cell, erases) the block between
    // the pressed cell and the current one; moving back shrinks the block again.
    Q_INVOKABLE void beginStroke(int day, int row);
    Q_INVOKABLE void extendStroke(int day, int row);
    Q_INVOKABLE void endStroke();

Q_SIGNALS:
    void documentChanged();

private:
    static int cellIndex(int day, int row) { return row * Days + day; }
    static bool isCell(int day, int row);
    static void fill(QBitArray* cells, int fromDay, int fromRow, int toDay, int toRow,
                     bool selected);
    void apply(const QBitArray& cells);

    QBitArray m_cells;
    QBitArray m_strokeBase;
    int m_strokeDay = -1;
    int m_strokeRow = -1;
    bool m_strokeValue = true;
};
