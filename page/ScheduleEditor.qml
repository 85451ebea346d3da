// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import ScheduleBackup.Page

// The weekly schedule: its name, the tools and the week grid.
GroupBox {
    id: editor

    property alias name: nameField.text
    property alias document: weekGrid.document
    readonly property alias grid: weekGrid
    // What the server said about the schedule when it refused the last save.
    property string refusal
    // A save is in flight: the editor is inactive and says so.
    property bool saving

    Accessible.name: title
    title: saving ? qsTr("Weekly schedule (saving, wait for the reply…)") : qsTr("Weekly schedule")

    ColumnLayout {
        anchors.fill: parent
        spacing: 6

        RowLayout {
            Layout.fillWidth: true

            Label {
                text: qsTr("Name")
            }

            TextField {
                id: nameField

                objectName: "scheduleNameField"
                Layout.fillWidth: true
                selectByMouse: true
                Accessible.name: qsTr("Schedule name")
                Accessible.description: qsTr("Name under which the server keeps the weekly schedule.")
                // Hover is off by default for text fields on some platforms, and with it the tip.
                hoverEnabled: true
                ToolTip.visible: hovered || activeFocus
                ToolTip.text: Accessible.description
                // Qt 6.4 replaces a text field's accessible description with its placeholder
                // once a screen reader connects; the hint as an unseen placeholder keeps it.
                placeholderText: Accessible.description
                placeholderTextColor: "transparent"
                ToolTip.delay: 600

                FocusRing {
                    shown: nameField.activeFocus
                }
            }
        }

        FieldMessage {
            objectName: "scheduleProblem"
            text: editor.refusal
        }

        ScheduleTools {
            objectName: "scheduleTools"
            Layout.fillWidth: true
            grid: weekGrid
        }

        Label {
            Layout.fillWidth: true
            text: qsTr("Times are local time, %1. Drag across the grid to add windows; drag from a window to remove it.").arg(PageClock.zoneName(new Date()))
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            color: PageColors.hint
        }

        WeekGrid {
            id: weekGrid

            objectName: "weekGrid"
            Layout.fillWidth: true
            Layout.fillHeight: true
            // Small enough that the status below fits without scrolling; grows with the window.
            Layout.minimumHeight: 22 + 48 * 5 + 24
            Layout.preferredHeight: 22 + 48 * 6 + 24
        }
    }
}
