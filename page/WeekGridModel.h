// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QAbstractListModel>
#include <QBitArray>
#include <QList>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include "WeekSchedule.h"

// The cells of the week grid: 7 day columns (0 = Sunday) by 48 half-hour rows. The grid reads
// and writes the page's rectangle document through WeekSchedule, the front ends' one model of
// the week. As a list model it has one item per cell, row by row, so a grid view with
// seven columns lays the items out as the week.
//
// Every operation that changes cells (toggle, setRange, strokes, presets, copyDay, fillDay,
// fillHour, paintRange, clear) is one step of an undo history and emits edited(); undo and redo
// are edits too. Setting the document is a load: it empties the history and emits no edited().
class WeekGridModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString document READ document WRITE setDocument NOTIFY documentChanged)
    Q_PROPERTY(int selectedCount READ selectedCount NOTIFY documentChanged)
    Q_PROPERTY(int days READ days CONSTANT)
    Q_PROPERTY(int rowsPerDay READ rowsPerDay CONSTANT)
    Q_PROPERTY(bool canUndo READ canUndo NOTIFY historyChanged)
    Q_PROPERTY(bool canRedo READ canRedo NOTIFY historyChanged)
    // Serial numbers of the newest undo and redo steps, 0 without one (see EditSerial.h).
    Q_PROPERTY(int undoSerial READ undoSerial NOTIFY historyChanged)
    Q_PROPERTY(int redoSerial READ redoSerial NOTIFY historyChanged)

public:
    static constexpr int Days = WeekSchedule::Days;
    static constexpr int RowsPerDay = WeekSchedule::SlotsPerDay;
    // Older steps are dropped beyond this; a step is one 42-byte snapshot.
    static constexpr int MaxUndoSteps = 200;

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
    bool canUndo() const { return !m_undo.isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    int undoSerial() const { return m_undoSerials.isEmpty() ? 0 : m_undoSerials.last(); }
    int redoSerial() const { return m_redoSerials.isEmpty() ? 0 : m_redoSerials.last(); }
    bool stroking() const { return m_strokeDay >= 0; }

    Q_INVOKABLE bool isSelected(int day, int row) const;
    Q_INVOKABLE void toggle(int day, int row);
    // Sets every cell of the block spanned by the two corners (inclusive, in any order).
    Q_INVOKABLE void setRange(int fromDay, int fromRow, int toDay, int toRow, bool selected);
    Q_INVOKABLE void clear();

    // Replaces the week with a named pattern: "office" (Monday to Friday 09:00 to 17:00),
    // "nights" (22:00 to 06:00 next morning, every night), "weekends" (Saturday and Sunday),
    // "always" or "none". Unknown names change nothing and give false.
    Q_INVOKABLE bool applyPreset(const QString& name);
    // Gives each listed day the cells of fromDay; days outside the week are skipped.
    Q_INVOKABLE void copyDay(int fromDay, const QList<int>& toDays);
    // Fills the day, or empties it when it is already full.
    Q_INVOKABLE void fillDay(int day);
    // Fills the hour (two half-hour rows) on all seven days, or empties it when already full.
    Q_INVOKABLE void fillHour(int hour);
    // Paints typed windows such as "Mon-Fri 08:30-12:00" (the schedule text of WeekSchedule,
    // day names in the user's language or English). Other text paints nothing and gives false.
    Q_INVOKABLE bool paintRange(const QString& text);

    // A press-and-drag paints (or, when it starts on a selected cell, erases) the block between
    // the pressed cell and the current one; moving back shrinks the block again. The whole
    // stroke is one undo step.
    Q_INVOKABLE void beginStroke(int day, int row);
    Q_INVOKABLE void extendStroke(int day, int row);
    Q_INVOKABLE void endStroke();
    // Puts back the cells from before the stroke; false when no stroke was in progress.
    Q_INVOKABLE bool cancelStroke();

    Q_INVOKABLE void undo();
    Q_INVOKABLE void redo();

Q_SIGNALS:
    void documentChanged();
    void historyChanged();
    void edited();

private:
    static int cellIndex(int day, int row) { return row * Days + day; }
    static bool isCell(int day, int row);
    static void fill(QBitArray* cells, int fromDay, int fromRow, int toDay, int toRow,
                     bool selected);
    static void paint(QBitArray* cells, const WeekSchedule& schedule);
    static bool isFull(const QBitArray& cells, int fromDay, int fromRow, int toDay, int toRow);
    // Makes cells the new state as one undo step; the previous state is `before`.
    void commit(const QBitArray& before, const QBitArray& cells);
    void commit(const QBitArray& cells) { commit(m_cells, cells); }
    void resetStroke();
    void apply(const QBitArray& cells);

    QBitArray m_cells;
    QList<QBitArray> m_undo;
    QList<QBitArray> m_redo;
    QList<int> m_undoSerials; // one per step of m_undo
    QList<int> m_redoSerials;
    QBitArray m_strokeBase;
    int m_strokeDay = -1;
    int m_strokeRow = -1;
    bool m_strokeValue = true;
};
