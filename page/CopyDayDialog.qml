// SPDX-License-Identifier: BSD-3-Clause
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import ScheduleBackup.Page

// Picks a day of the week grid and the days its windows are copied to.
Dialog {
    id: dialog

    readonly property var dayNames: BackupTerms.fullDayNames
    property var targets: []

    // The source day (0 = Sunday) and the target days.
    signal copyChosen(int fromDay, var toDays)

    function setTarget(day, on) {
        const days = targets.filter(d => d !== day);
        if (on)
            days.push(day);
        targets = days.sort();
    }

    parent: Overlay.overlay
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    width: 420
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    title: qsTr("Copy day")
    onOpened: {
        targets = [];
        sourceBox.forceActiveFocus(Qt.TabFocusReason);
    }

    // A popup is no item, so it cannot be named directly; screen readers meet its item.
    Binding {
        target: dialog.contentItem.parent
        property: "Accessible.name"
        value: dialog.title
    }

    ColumnLayout {
        width: dialog.availableWidth
        spacing: 6

        Label {
            text: qsTr("Copy the windows of")
        }

        ComboBox {
            id: sourceBox

            objectName: "copySourceBox"
            Layout.fillWidth: true
            model: dialog.dayNames
            currentIndex: 1
            Accessible.name: qsTr("Day to copy")
            // A plain text, not the style's read-only text field, which screen readers would
            // announce as a second, unnamed field.
            contentItem: Label {
                leftPadding: 8
                rightPadding: sourceBox.indicator.width + 8
                text: sourceBox.displayText
                verticalAlignment: Text.AlignVCenter
                elide: Text.ElideRight
            }
            Accessible.description: qsTr("The day whose windows are copied.")

            FocusRing {
                shown: sourceBox.visualFocus
            }
        }

        Label {
            text: qsTr("to")
        }

        GridLayout {
            columns: 2

            Repeater {
                model: 7

                PlainCheckBox {
                    required property int index

                    objectName: "copyTarget" + index
                    text: dialog.dayNames[index]
                    hint: qsTr("Replaces the windows of this day with those of the copied day.")
                    enabled: index !== sourceBox.currentIndex
                    checked: dialog.targets.indexOf(index) >= 0
                    onToggled: {
                        dialog.setTarget(index, checked);
                        checked = Qt.binding(() => dialog.targets.indexOf(index) >= 0);
                    }
                }
            }
        }
    }

    // One row of buttons, 12 px from the edges and from each other's baseline alike.
    footer: Item {
        implicitWidth: buttonRow.implicitWidth + 24
        implicitHeight: buttonRow.implicitHeight + 12

        RowLayout {
            id: buttonRow

            anchors.fill: parent
            anchors.leftMargin: 12
            anchors.rightMargin: 12
            anchors.bottomMargin: 12
            spacing: 8

            Item {
                Layout.fillWidth: true
            }

            ActionButton {
                tipOnFocus: false
                objectName: "copyCancelButton"
                text: qsTr("Cancel")
                hint: qsTr("Closes without copying.")
                onClicked: dialog.reject()
            }

            ActionButton {
                tipOnFocus: false
                objectName: "copyConfirmButton"
                enabled: dialog.targets.length > 0
                highlighted: true
                text: qsTr("Copy")
                hint: qsTr("Copies the windows to the ticked days; Undo brings the old ones back.")
                onClicked: {
                    dialog.close();
                    dialog.copyChosen(sourceBox.currentIndex, dialog.targets.filter(day => day !== sourceBox.currentIndex));
                }
            }
        }
    }
}
