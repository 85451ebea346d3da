// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import ScheduleBackup.Page

// The week grid's cells with the mouse, the cursor and the marked block drawn over them.
// Press and drag paints a block of cells; a block that starts on a painted cell erases instead.
Rectangle {
    id: board

    required property WeekGridModel cells
    required property WeekGridCursor cursor
    required property real cellWidth
    required property real cellHeight
    required property int spacing
    required property int ringMargin
    required property color markColor
    // The cell under the pointer while hovering; -1 when none.
    readonly property int hoverDay: pointer.containsMouse && dayAt(pointer.mouseX) < cells.days ? dayAt(pointer.mouseX) : -1
    readonly property int hoverRow: pointer.containsMouse && rowAt(pointer.mouseY) < cells.rowsPerDay ? rowAt(pointer.mouseY) : -1

    // A press on the board, before it paints.
    signal pressed

    // A cell's place on the board.
    function cellRect(day, row) {
        return Qt.rect(spacing + day * (cellWidth + spacing), spacing + row * cellHeight, cellWidth, cellHeight);
    }

    // Day column and half-hour row under a point of the board.
    function dayAt(x) {
        return Math.floor((x - spacing) / (cellWidth + spacing));
    }

    function rowAt(y) {
        return Math.floor((y - spacing) / cellHeight);
    }

    width: cells.days * (cellWidth + spacing) + spacing
    height: cells.rowsPerDay * cellHeight + 2 * spacing
    color: palette.mid

    Item {
        x: board.spacing
        y: board.spacing
        width: board.cells.days * (board.cellWidth + board.spacing)
        height: board.cells.rowsPerDay * board.cellHeight

        Repeater {
            model: board.cells

            // Seven day columns of 48 rows; the 1 px left free on the right of each cell is
            // the board showing through as the line between days.
            Rectangle {
                required property int day
                required property int row
                required property bool selected

                x: day * parent.width / 7
                y: row * height
                width: parent.width / 7 - 1
                height: parent.height / 48
                color: selected ? palette.highlight : palette.base

                // Full hours get a stronger line than half hours.
                Rectangle {
                    anchors.bottom: parent.bottom
                    width: parent.width
                    height: 1
                    color: Qt.rgba(0, 0, 0, parent.row % 2 ? 0.16 : 0.05)
                }
            }
        }
    }

    MouseArea {
        id: pointer

        anchors.fill: parent
        hoverEnabled: true
        onPressed: mouse => {
            board.pressed();
            const day = board.dayAt(mouse.x);
            const row = board.rowAt(mouse.y);
            board.cursor.moveTo(day, row, false);
            board.cells.beginStroke(day, row);
        }
        onPositionChanged: mouse => {
            if (pressed)
                board.cells.extendStroke(board.dayAt(mouse.x), board.rowAt(mouse.y));
        }
        onReleased: board.cells.endStroke()
        onCanceled: board.cells.endStroke()
    }

    // The block marked with Shift+arrows.
    Rectangle {
        readonly property rect first: board.cellRect(Math.min(board.cursor.anchorDay, board.cursor.day), Math.min(board.cursor.anchorRow, board.cursor.row))
        readonly property rect last: board.cellRect(Math.max(board.cursor.anchorDay, board.cursor.day), Math.max(board.cursor.anchorRow, board.cursor.row))

        visible: board.cursor.marking
        x: first.x - 1
        y: first.y - 1
        width: last.x + last.width - first.x + 2
        height: last.y + last.height - first.y + 2
        color: Qt.rgba(board.markColor.r, board.markColor.g, board.markColor.b, 0.3)
        border.width: 2
        border.color: board.markColor
    }
}
