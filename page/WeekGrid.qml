import QtQuick
import QtQuick.Controls
import ScheduleBackup.Page

// The week as seven day columns (Sunday first) of 48 half-hour cells. Press and drag paints a
// block of cells; a block that starts on a painted cell erases instead.
Item {
    id: grid

    // The schedule as a rectangle document; reading it gives one rectangle per run of cells.
    property alias document: cells.document
    readonly property alias model: cells
    readonly property int selectedCount: cells.selectedCount

    readonly property int labelWidth: 44
    readonly property int headerHeight: 22
    readonly property int captionHeight: 24
    readonly property int spacing: 1
    readonly property real cellWidth: Math.floor((width - labelWidth) / cells.days) - spacing
    readonly property real cellHeight: Math.max(6, Math.floor((height - headerHeight - captionHeight - spacing) / cells.rowsPerDay))
    readonly property var dayNames: [qsTr("Sun"), qsTr("Mon"), qsTr("Tue"), qsTr("Wed"), qsTr("Thu"), qsTr("Fri"), qsTr("Sat")]

    // The cell under the pointer while hovering, for the caption below the grid.
    property int hoverDay: -1
    property int hoverRow: -1
    property string strokeStart

    signal edited

    // Stand-in for the operations of the rewritten grid, so the page's tools can be used and
    // tested before it lands. Undo history is a stack of documents.
    property var undoStack: []
    property var redoStack: []
    readonly property bool canUndo: undoStack.length > 0
    readonly property bool canRedo: redoStack.length > 0
    readonly property var presets: ({
            "office": [[1, 6, 18, 34]],
            "nights": [[0, 7, 0, 12], [0, 7, 44, 48]],
            "weekends": [[0, 1, 0, 48], [6, 7, 0, 48]],
            "always": [[0, 7, 0, 48]],
            "none": []
        })

    function change(operation) {
        const before = cells.document;
        operation();
        if (cells.document === before)
            return;
        undoStack = undoStack.concat([before]);
        redoStack = [];
        edited();
    }

    function undo() {
        if (!canUndo)
            return;
        redoStack = redoStack.concat([cells.document]);
        cells.document = undoStack[undoStack.length - 1];
        undoStack = undoStack.slice(0, -1);
        edited();
    }

    function redo() {
        if (!canRedo)
            return;
        undoStack = undoStack.concat([cells.document]);
        cells.document = redoStack[redoStack.length - 1];
        redoStack = redoStack.slice(0, -1);
        edited();
    }

    function clear() {
        change(() => cells.clear());
    }

    function applyPreset(name) {
        const blocks = presets[name];
        if (!blocks)
            return;
        change(() => {
                cells.clear();
                for (const b of blocks)
                    cells.setRange(b[0], b[2], b[1] - 1, b[3] - 1, true);
            });
    }

    function copyDay(fromDay, toDays) {
        change(() => {
                for (const day of toDays)
                    for (let row = 0; row < cells.rowsPerDay; ++row)
                        cells.setRange(day, row, day, row, cells.isSelected(fromDay, row));
            });
    }

    function fillDay(day) {
        change(() => cells.setRange(day, 0, day, cells.rowsPerDay - 1, true));
    }

    function fillHour(hour) {
        change(() => cells.setRange(0, hour * 2, cells.days - 1, hour * 2 + 1, true));
    }

    // "Mon 08:30-12:00": paints one window of one day; false when the text is not understood.
    function paintRange(text) {
        const match = /^\s*(Sun|Mon|Tue|Wed|Thu|Fri|Sat)\w*\s+(\d{1,2}):(00|30)\s*-\s*(\d{1,2}):(00|30)\s*$/i.exec(text);
        if (!match)
            return false;
        const day = ["sun", "mon", "tue", "wed", "thu", "fri", "sat"].indexOf(match[1].toLowerCase());
        const from = Number(match[2]) * 2 + (match[3] === "30" ? 1 : 0);
        const to = Number(match[4]) * 2 + (match[5] === "30" ? 1 : 0);
        if (from >= to || to > cells.rowsPerDay)
            return false;
        change(() => cells.setRange(day, from, day, to - 1, true));
        return true;
    }

    function timeText(row) {
        const minutes = row * 30;
        return "%1:%2".arg(String(Math.floor(minutes / 60)).padStart(2, "0")).arg(String(minutes % 60).padStart(2, "0"));
    }

    // Day column and half-hour row under a point of the board.
    function dayAt(x) {
        return Math.floor((x - spacing) / (cellWidth + spacing));
    }

    function rowAt(y) {
        return Math.floor((y - spacing) / cellHeight);
    }

    implicitWidth: labelWidth + 7 * 64
    implicitHeight: headerHeight + 48 * 8 + captionHeight

    WeekGridModel {
        id: cells
    }

    Row {
        x: grid.labelWidth
        height: grid.headerHeight
        spacing: grid.spacing

        Repeater {
            model: grid.dayNames

            Label {
                required property string modelData
                required property int index

                width: grid.cellWidth
                height: grid.headerHeight
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                text: modelData
                font.bold: index === grid.hoverDay
            }
        }
    }

    // Hour labels every two hours, centred on the line they name.
    Repeater {
        model: 13

        Label {
            required property int index

            x: 0
            width: grid.labelWidth - 6
            y: grid.headerHeight + grid.spacing + index * 4 * grid.cellHeight - height / 2
            horizontalAlignment: Text.AlignRight
            text: grid.timeText(index * 4)
            font.pointSize: 8
            color: palette.placeholderText
        }
    }

    Rectangle {
        id: board

        x: grid.labelWidth
        y: grid.headerHeight
        width: cells.days * (grid.cellWidth + grid.spacing) + grid.spacing
        height: cells.rowsPerDay * grid.cellHeight + 2 * grid.spacing
        color: palette.mid

        Grid {
            x: grid.spacing
            y: grid.spacing
            columns: cells.days
            columnSpacing: grid.spacing

            Repeater {
                model: cells

                Rectangle {
                    required property int day
                    required property int row
                    required property bool selected

                    width: grid.cellWidth
                    height: grid.cellHeight
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
            anchors.fill: parent
            hoverEnabled: true
            onPressed: mouse => {
                grid.strokeStart = cells.document;
                cells.beginStroke(grid.dayAt(mouse.x), grid.rowAt(mouse.y));
            }
            onPositionChanged: mouse => {
                grid.hoverDay = grid.dayAt(mouse.x);
                grid.hoverRow = grid.rowAt(mouse.y);
                if (pressed)
                    cells.extendStroke(grid.hoverDay, grid.hoverRow);
            }
            onReleased: {
                cells.endStroke();
                if (cells.document !== grid.strokeStart) {
                    grid.undoStack = grid.undoStack.concat([grid.strokeStart]);
                    grid.redoStack = [];
                }
                grid.edited();
            }
            onCanceled: cells.endStroke()
            onExited: grid.hoverDay = -1
        }
    }

    Label {
        x: grid.labelWidth
        y: board.y + board.height + 6
        width: board.width
        elide: Text.ElideRight
        color: palette.placeholderText
        text: grid.hoverDay >= 0 && grid.hoverDay < cells.days && grid.hoverRow >= 0 && grid.hoverRow < cells.rowsPerDay ? "%1 %2 – %3".arg(grid.dayNames[grid.hoverDay]).arg(grid.timeText(grid.hoverRow)).arg(grid.timeText(grid.hoverRow + 1)) : qsTr("%1 hours a week. Drag to paint; drag from a painted cell to erase.").arg(cells.selectedCount / 2)
    }
}
