// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import ScheduleBackup.Page

// The week grid's keyboard: a cell cursor and the block marked from it.
// Arrows move the cursor, Shift+arrows mark a block from where the cursor was, Space paints the
// block (or erases it when it starts on a painted cell) or toggles the cursor's cell; Home/End go
// to the first and last half hour, Ctrl+Left/Right step a day and wrap around the week,
// Ctrl+Up/Down step an hour, Escape drops the block, Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo.
QtObject {
    id: cursor

    required property WeekGridModel cells
    property int day: 1
    property int row: 18
    // The corner a Shift-marked block starts from; -1 when none.
    property int anchorDay: -1
    property int anchorRow: -1
    readonly property bool marking: anchorDay >= 0

    function moveTo(toDay, toRow, extend) {
        if (!extend)
            dropMark();
        else if (!marking) {
            anchorDay = day;
            anchorRow = row;
        }
        day = Math.max(0, Math.min(toDay, cells.days - 1));
        row = Math.max(0, Math.min(toRow, cells.rowsPerDay - 1));
    }

    function dropMark() {
        anchorDay = -1;
        anchorRow = -1;
    }

    // Paints the marked block, or erases it when its first corner is painted; without a block,
    // toggles the cursor's cell.
    function paint() {
        if (marking) {
            cells.setRange(anchorDay, anchorRow, day, row, !cells.isSelected(anchorDay, anchorRow));
            dropMark();
        } else {
            cells.toggle(day, row);
        }
    }

    // Escape cancels a drag, else drops a marked block; false when there is neither.
    function cancel() {
        if (cells.cancelStroke())
            return true;
        if (!marking)
            return false;
        dropMark();
        return true;
    }

    // Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo; false for the keys without Ctrl.
    function history(key, ctrl, shift) {
        if (!ctrl)
            return false;
        if (key === Qt.Key_Z && !shift)
            cells.undo();
        else
            cells.redo();
        return true;
    }

    function step(key, ctrl, shift) {
        if (key === Qt.Key_Up || key === Qt.Key_Down) {
            moveTo(day, row + (key === Qt.Key_Up ? -1 : 1) * (ctrl ? 2 : 1), shift);
            return;
        }
        let toDay = day + (key === Qt.Key_Left ? -1 : 1);
        // Stepping by day wraps around the week, except while marking a block.
        if (ctrl && !shift)
            toDay = (toDay + cells.days) % cells.days;
        moveTo(toDay, row, shift);
    }

    // True when the key was used.
    function handle(key, modifiers) {
        const ctrl = (modifiers & Qt.ControlModifier) !== 0;
        const shift = (modifiers & Qt.ShiftModifier) !== 0;
        switch (key) {
        case Qt.Key_Left:
        case Qt.Key_Right:
        case Qt.Key_Up:
        case Qt.Key_Down:
            step(key, ctrl, shift);
            return true;
        case Qt.Key_Home:
        case Qt.Key_End:
            moveTo(day, key === Qt.Key_Home ? 0 : cells.rowsPerDay - 1, shift);
            return true;
        case Qt.Key_Space:
        case Qt.Key_Return:
        case Qt.Key_Enter:
            paint();
            return true;
        case Qt.Key_Escape:
            return cancel();
        case Qt.Key_Z:
        case Qt.Key_Y:
            return history(key, ctrl, shift);
        }
        return false;
    }
}
