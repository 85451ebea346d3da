// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls
import ScheduleBackup.Page

// The week as seven day columns (Sunday first) of 48 half-hour cells: the board (WeekGridBoard,
// mouse painting) with the keyboard cursor (WeekGridCursor), day headers and hour labels around
// it, and a caption below. Escape during a drag puts the cells back. A day header fills (or
// empties) its day, an hour label its hour on every day.
Item {
    id: grid

    // The schedule as a rectangle document; reading it gives one rectangle per run of cells.
    // Setting it is a load: the undo history starts again and edited() is not emitted.
    property alias document: cells.document
    readonly property alias model: cells
    readonly property int selectedCount: cells.selectedCount
    readonly property bool canUndo: cells.canUndo
    readonly property bool canRedo: cells.canRedo

    // The keyboard cursor.
    readonly property alias cursorDay: cursor.day
    readonly property alias cursorRow: cursor.row
    // Reading revision makes the binding re-run whenever cells change.
    readonly property bool cursorScheduled: revision >= 0 && cells.isSelected(cursorDay, cursorRow)
    // The cell under the cursor, for assistive technology.
    readonly property string cursorDescription: (cursorScheduled ? qsTr("%1 %2 to %3, scheduled") : qsTr("%1 %2 to %3, not scheduled")).arg(fullDayNames[cursorDay]).arg(timeText(cursorRow)).arg(timeText(cursorRow + 1))

    // The cell under the pointer while hovering, for the caption below the grid; -1 when none.
    readonly property alias hoverDay: board.hoverDay
    readonly property alias hoverRow: board.hoverRow

    // Counts changes of the cells, so that bindings asking the model about cells re-run.
    property int revision: 0

    readonly property int minimumCellSize: 6
    readonly property int labelWidth: 46
    readonly property int headerHeight: 22
    readonly property int captionHeight: 22
    readonly property int spacing: 1
    // Room around the board for the focus ring.
    readonly property int ringMargin: 3
    readonly property real cellWidth: Math.max(minimumCellSize, Math.floor((width - labelWidth - ringMargin) / cells.days) - spacing)
    readonly property real cellHeight: Math.max(minimumCellSize, Math.floor((height - headerHeight - captionHeight - 2 * spacing - ringMargin) / cells.rowsPerDay))
    // The smallest size at which every cell is still minimumCellSize wide and high.
    readonly property real minimumWidth: labelWidth + cells.days * (minimumCellSize + spacing) + spacing + ringMargin
    readonly property real minimumHeight: headerHeight + cells.rowsPerDay * minimumCellSize + 2 * spacing + captionHeight + ringMargin

    // Dark orange on light windows, light orange on dark ones: apart from the highlight colour
    // of painted cells and at least 3:1 against the window.
    readonly property color markColor: palette.window.hslLightness > 0.5 ? "#a84300" : "#ffb066"

    readonly property var dayNames: BackupTerms.dayNames
    readonly property var narrowDayNames: [qsTr("S", "Sunday"), qsTr("M", "Monday"), qsTr("T", "Tuesday"), qsTr("W", "Wednesday"), qsTr("T", "Thursday"), qsTr("F", "Friday"), qsTr("S", "Saturday")]
    readonly property var fullDayNames: BackupTerms.fullDayNames
    readonly property var dayLabels: dayNames.map((name, day) => ({
                    "short": name,
                    "narrow": narrowDayNames[day],
                    "accessibleName": qsTr("Fill %1").arg(fullDayNames[day]),
                    "accessibleDescription": qsTr("Schedules the whole day, or clears it when it is already full")
                }))
    readonly property var hourLabels: Array(24).fill(0).map((_, hour) => ({
                    "time": timeText(hour * 2),
                    "accessibleName": qsTr("Fill %1 hour").arg(timeText(hour * 2)),
                    "accessibleDescription": qsTr("Schedules this hour on every day, or clears it when it is already full")
                }))

    // After every edit made here, undo and redo included; not after the document is set.
    signal edited

    function undo() {
        cells.undo();
    }

    function redo() {
        cells.redo();
    }

    function clear() {
        cells.clear();
    }

    // "office", "nights", "weekends", "always" or "none"; false for other names.
    function applyPreset(name) {
        return cells.applyPreset(name);
    }

    function copyDay(fromDay, toDays) {
        cells.copyDay(fromDay, toDays);
    }

    function fillDay(day) {
        cells.fillDay(day);
    }

    function fillHour(hour) {
        cells.fillHour(hour);
    }

    // A typed range such as "Mon 08:30-12:00"; false, painting nothing, when it cannot be read.
    function paintRange(text) {
        return cells.paintRange(text);
    }

    function timeText(row) {
        const minutes = row * 30;
        return "%1:%2".arg(String(Math.floor(minutes / 60)).padStart(2, "0")).arg(String(minutes % 60).padStart(2, "0"));
    }

    // A cell's place in the grid's own coordinates.
    function cellRect(day, row) {
        const cell = board.cellRect(day, row);
        return Qt.rect(board.x + cell.x, board.y + cell.y, cell.width, cell.height);
    }

    implicitWidth: labelWidth + cells.days * (48 + spacing) + spacing + ringMargin
    implicitHeight: headerHeight + cells.rowsPerDay * 8 + 2 * spacing + captionHeight + ringMargin
    activeFocusOnTab: true

    Accessible.role: Accessible.Table
    Accessible.name: qsTr("Weekly schedule")
    Accessible.description: cursorDescription
    Accessible.focusable: true

    Keys.onPressed: event => {
        event.accepted = cursor.handle(event.key, event.modifiers);
    }

    WeekGridModel {
        id: cells

        onEdited: grid.edited()
        onDocumentChanged: ++grid.revision
    }

    WeekGridCursor {
        id: cursor

        cells: cells
    }

    // The delegates below know only their model data and the size of their strip; the
    // repeaters wire their clicks to the grid.
    Item {
        x: grid.cellRect(0, 0).x
        width: cells.days * (grid.cellWidth + grid.spacing)
        height: grid.headerHeight - grid.ringMargin

        Repeater {
            model: grid.dayLabels
            onItemAdded: (index, item) => item.clicked.connect(() => grid.fillDay(index))

            WeekGridLabelButton {
                required property int index
                required property var modelData

                objectName: "dayHeader" + index
                x: index * width
                width: parent.width / 7
                height: parent.height
                text: width >= 26 ? modelData.short : modelData.narrow
                accessibleName: modelData.accessibleName
                accessibleDescription: modelData.accessibleDescription
            }
        }
    }

    // One button per hour, beside the two half-hour rows it fills. When the rows are too low
    // for a label each, every other hour is labelled, but each one can still be clicked.
    Item {
        y: grid.cellRect(0, 0).y
        width: grid.labelWidth - grid.ringMargin - 2
        height: cells.rowsPerDay * grid.cellHeight

        Repeater {
            model: grid.hourLabels
            onItemAdded: (index, item) => item.clicked.connect(() => grid.fillHour(index))

            WeekGridLabelButton {
                required property int index
                required property var modelData

                objectName: "hourLabel" + index
                y: index * height
                width: parent.width
                height: parent.height / 24
                horizontalAlignment: Text.AlignRight
                pixelSize: height >= 14 ? 11 : 10
                text: height >= 14 || index % 2 === 0 ? modelData.time : ""
                accessibleName: modelData.accessibleName
                accessibleDescription: modelData.accessibleDescription
            }
        }
    }

    // Marks the day and the hour of the hovered cell, or of the cursor while the grid has focus.
    Rectangle {
        readonly property int day: grid.hoverDay >= 0 ? grid.hoverDay : grid.activeFocus ? grid.cursorDay : -1

        visible: day >= 0 && day < cells.days
        x: grid.cellRect(day, 0).x
        y: grid.headerHeight - grid.ringMargin - height
        width: grid.cellWidth
        height: 2
        color: palette.windowText
    }

    Rectangle {
        readonly property int hour: Math.floor((grid.hoverRow >= 0 ? grid.hoverRow : grid.activeFocus ? grid.cursorRow : -1) / 2)

        visible: hour >= 0 && hour < 24
        x: grid.labelWidth - grid.ringMargin - width
        y: grid.cellRect(0, hour * 2).y
        width: 2
        height: 2 * grid.cellHeight
        color: palette.windowText
    }

    WeekGridBoard {
        id: board

        x: grid.labelWidth
        y: grid.headerHeight
        cells: cells
        cursor: cursor
        cellWidth: grid.cellWidth
        cellHeight: grid.cellHeight
        spacing: grid.spacing
        ringMargin: grid.ringMargin
        markColor: grid.markColor
        onPressed: grid.forceActiveFocus(Qt.MouseFocusReason)

        // The cell cursor: a frame in the text colour with a base-coloured inner line, so it
        // shows on painted and on empty cells.
        Rectangle {
            readonly property rect cell: board.cellRect(grid.cursorDay, grid.cursorRow)

            visible: grid.activeFocus
            x: cell.x - 1
            y: cell.y - 1
            width: cell.width + 2
            height: cell.height + 2
            color: "transparent"
            border.width: 2
            border.color: palette.windowText
            Accessible.role: Accessible.Cell
            Accessible.name: grid.cursorDescription
            Accessible.focusable: true
            Accessible.focused: grid.activeFocus

            Rectangle {
                anchors.fill: parent
                anchors.margins: 2
                visible: height > 2
                color: "transparent"
                border.width: 1
                border.color: palette.base
            }
        }

        // The focus ring of the whole grid.
        Rectangle {
            anchors.fill: parent
            anchors.margins: -grid.ringMargin
            visible: grid.activeFocus
            color: "transparent"
            radius: 2
            border.width: 2
            border.color: grid.markColor
        }
    }

    Label {
        id: counter

        objectName: "counter"
        x: grid.labelWidth
        width: Math.min(implicitWidth, board.width)
        elide: Text.ElideRight
        y: board.y + board.height + grid.ringMargin
        height: grid.captionHeight
        verticalAlignment: Text.AlignVCenter
        color: palette.windowText
        text: qsTr("%1 hours a week").arg(cells.selectedCount / 2)
    }

    // The hovered cell, or how to use the grid.
    Label {
        objectName: "hint"
        visible: width > 0
        x: counter.x + counter.width + 12
        y: counter.y
        width: Math.max(0, board.x + board.width - x)
        height: grid.captionHeight
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: Text.AlignRight
        // Narrow windows and German texts: a smaller font rather than a cut sentence.
        fontSizeMode: Text.HorizontalFit
        minimumPointSize: 6
        elide: Text.ElideRight
        color: palette.windowText
        text: grid.hoverDay >= 0 && grid.hoverRow >= 0 ? qsTr("%1 %2 to %3").arg(grid.fullDayNames[grid.hoverDay]).arg(grid.timeText(grid.hoverRow)).arg(grid.timeText(grid.hoverRow + 1)) : grid.activeFocus ? qsTr("Arrows move, Shift+arrows mark, Space paints") : qsTr("Drag to paint; drag from a painted cell to erase")
    }
}
