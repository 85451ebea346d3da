// SPDX-License-Identifier: BSD-3-Clause
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The tools beside the week grid: undo and redo, presets, copying a day, clearing (undoable,
// so it does not ask) and typed windows such as "Mon-Fri 08:30-12:00".
ColumnLayout {
    id: tools

    // The WeekGrid the tools work on.
    required property var grid
    property string rangeProblem

    // Something was changed through the tools.
    signal edited

    function addTypedRange() {
        if (grid.paintRange(rangeField.text)) {
            rangeField.text = "";
            rangeProblem = "";
            edited();
        } else {
            rangeProblem = qsTr("Not understood. Write days and windows on whole or half hours, e.g. Mon-Fri 08:30-12:00.");
        }
    }

    spacing: 4

    Flow {
        Layout.fillWidth: true
        spacing: 6

        ActionButton {
            objectName: "undoButton"
            text: qsTr("Undo")
            hint: qsTr("Takes back the last change of the week grid (Ctrl+Z).")
            enabled: tools.grid.canUndo
            onClicked: tools.grid.undo()
        }

        ActionButton {
            objectName: "redoButton"
            text: qsTr("Redo")
            hint: qsTr("Makes the change taken back again (Ctrl+Shift+Z).")
            enabled: tools.grid.canRedo
            onClicked: tools.grid.redo()
        }

        ActionButton {
            id: presetButton

            objectName: "presetButton"
            text: qsTr("Presets")
            hint: qsTr("Replaces the week with a common schedule; Undo brings the old one back.")
            onClicked: presetMenu.open()

            Menu {
                id: presetMenu

                objectName: "presetMenu"
                y: presetButton.height
                // As wide as the longest entry, so no hour is cut.
                width: {
                    let widest = 0;
                    for (let i = 0; i < count; ++i)
                        widest = Math.max(widest, itemAt(i).implicitWidth);
                    return widest + leftPadding + rightPadding;
                }
                // Closing hands the keyboard back to the button, not to the page's start.
                onClosed: presetButton.forceActiveFocus(Qt.TabFocusReason)

                Repeater {
                    model: [{
                            "name": "office",
                            "text": qsTr("Office hours (Mon–Fri 09:00–17:00)")
                        }, {
                            "name": "nights",
                            "text": qsTr("Nights (every day 22:00–06:00)")
                        }, {
                            "name": "weekends",
                            "text": qsTr("Weekends (Sat and Sun, all day)")
                        }, {
                            "name": "always",
                            "text": qsTr("Always")
                        }, {
                            "name": "none",
                            "text": qsTr("None")
                        }]

                    MenuItem {
                        required property var modelData

                        objectName: "preset:" + modelData.name
                        text: modelData.text
                        onTriggered: {
                            tools.grid.applyPreset(modelData.name);
                            tools.edited();
                        }
                    }
                }
            }
        }

        ActionButton {
            id: copyDayButton

            objectName: "copyDayButton"
            text: qsTr("Copy day…")
            hint: qsTr("Copies the windows of one day to other days.")
            onClicked: copyDialog.open()
        }

        ActionButton {
            objectName: "clearScheduleButton"
            text: qsTr("Clear")
            hint: qsTr("Removes every window from the week grid; Undo (Ctrl+Z) brings them back.")
            onClicked: {
                tools.grid.clear();
                tools.edited();
            }
        }

        Row {
            spacing: 6

            Label {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Window")
            }

            TextField {
                id: rangeField

                objectName: "rangeEntryField"
                width: 150
                selectByMouse: true
                Accessible.name: qsTr("Add a window")
                Accessible.description: qsTr("Type days and a window, e.g. Mon-Fri 08:30-12:00, and press Return to add it to the week grid.")
                // Hover is off by default for text fields on some platforms, and with it the tip.
                hoverEnabled: true
                ToolTip.visible: hovered || activeFocus
                ToolTip.text: Accessible.description
                // Qt 6.4 replaces a text field's accessible description with its placeholder
                // once a screen reader connects; the hint as an unseen placeholder keeps it.
                placeholderText: Accessible.description
                placeholderTextColor: "transparent"
                ToolTip.delay: 600
                onTextEdited: tools.rangeProblem = ""
                onAccepted: tools.addTypedRange()

                FocusRing {
                    shown: rangeField.activeFocus
                }
            }

            ActionButton {
                objectName: "addRangeButton"
                text: qsTr("Add")
                hint: qsTr("Adds the typed window to the week grid.")
                onClicked: tools.addTypedRange()
            }
        }
    }

    FieldMessage {
        objectName: "rangeEntryProblem"
        text: tools.rangeProblem
    }

    CopyDayDialog {
        id: copyDialog

        onClosed: copyDayButton.forceActiveFocus(Qt.TabFocusReason)
        onCopyChosen: (fromDay, toDays) => {
            tools.grid.copyDay(fromDay, toDays);
            tools.edited();
        }
    }
}
