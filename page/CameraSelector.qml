// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import ScheduleBackup.Page

// Which cameras the backup takes: all of them, or the ones ticked in the list. The list is
// grouped, each group with a box that ticks or clears all its cameras, and can be filtered or
// narrowed to the ticked cameras. From the keyboard: Up, Down, PageUp, PageDown, Home and End
// move, Space ticks a camera, Shift+Space its group. Every tick is undoable (see the page's
// Ctrl+Z).
GroupBox {
    id: selector

    // [{id, group, name}]: the cameras that can be picked.
    property alias choices: cameraModel.choices
    property alias allCameras: cameraModel.allCameras
    readonly property alias selectedIds: cameraModel.selectedIds
    property bool showProblems: true
    // A save is in flight: the list is inactive and says so.
    property bool saving
    // What the server said about the cameras when it refused the last save.
    property string refusal
    readonly property bool acceptable: allCameras || cameraModel.selectedCount > 0
    readonly property alias model: cameraModel

    function setSelection(all, ids) {
        allCameras = all;
        cameraModel.selectedIds = ids;
    }

    function focusFirstProblem() {
        allBox.forceActiveFocus(Qt.TabFocusReason);
    }

    Accessible.name: title
    title: saving ? qsTr("Cameras (saving, wait for the reply…)") : qsTr("Cameras")

    CameraChoiceModel {
        id: cameraModel
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 4

        PlainCheckBox {
            id: allBox

            objectName: "allCamerasBox"
            text: qsTr("All cameras")
            hint: qsTr("Backs up every camera of the system, also cameras added later.")
            checked: selector.allCameras
            onToggled: {
                selector.allCameras = checked;
                checked = Qt.binding(() => selector.allCameras);
            }
        }

        // The filter gets a row of its own, so that it keeps room for its text in every
        // language.
        TextField {
            id: filterField

            objectName: "cameraFilterField"
            Layout.fillWidth: true
            enabled: !selector.allCameras
            selectByMouse: true
            hoverEnabled: true
            Accessible.name: qsTr("Filter cameras")
            Accessible.description: qsTr("Shows only the cameras whose name, id or group contains this text.")
            ToolTip.visible: hovered || activeFocus
            ToolTip.text: Accessible.description
            placeholderText: Accessible.description // the description under Qt 6.4, unseen
            placeholderTextColor: "transparent"
            ToolTip.delay: 600
            onTextChanged: cameraModel.filterText = text

            FocusRing {
                shown: filterField.activeFocus
            }
        }

        RowLayout {
            Layout.fillWidth: true
            enabled: !selector.allCameras

            Switch {
                id: selectedOnlySwitch

                objectName: "selectedOnlySwitch"
                text: qsTr("Selected only")
                checked: cameraModel.selectedOnly
                Accessible.name: text
                Accessible.description: qsTr("Lists only the ticked cameras.")
                ToolTip.visible: hovered || visualFocus
                ToolTip.text: Accessible.description
                ToolTip.delay: 600
                onToggled: {
                    cameraModel.selectedOnly = checked;
                    checked = Qt.binding(() => cameraModel.selectedOnly);
                }

                FocusRing {
                    shown: selectedOnlySwitch.visualFocus
                }
            }

            ActionButton {
                objectName: "selectAllCamerasButton"
                text: qsTr("Select all")
                hint: qsTr("Ticks every camera the filter shows.")
                onClicked: cameraModel.setShownSelected(true)
            }

            ActionButton {
                objectName: "selectNoCamerasButton"
                text: qsTr("None")
                hint: qsTr("Clears every camera the filter shows.")
                onClicked: cameraModel.setShownSelected(false)
            }
        }

        ListView {
            id: list

            objectName: "cameraList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.minimumHeight: 80
            clip: true
            model: cameraModel
            enabled: !selector.allCameras
            activeFocusOnTab: true
            keyNavigationEnabled: true
            boundsBehavior: Flickable.StopAtBounds
            section.property: "group"
            section.criteria: ViewSection.FullString
            Accessible.role: Accessible.List
            Accessible.name: qsTr("Camera list")
            Accessible.description: qsTr("Up, Down, Page Up, Page Down, Home and End move, Space ticks or clears the camera, Shift+Space its group.")
            // Rows a page key moves: those that fit in the view.
            readonly property int pageRows: Math.max(1, Math.floor(height / Math.max(1, currentItem ? currentItem.height : 24)) - 1)

            function moveTo(row) {
                if (count === 0)
                    return;
                currentIndex = Math.max(0, Math.min(count - 1, row));
                positionViewAtIndex(currentIndex, ListView.Contain);
            }

            Keys.onPressed: event => {
                switch (event.key) {
                case Qt.Key_Home:
                    moveTo(0);
                    break;
                case Qt.Key_End:
                    moveTo(count - 1);
                    break;
                case Qt.Key_PageUp:
                    moveTo(currentIndex - pageRows);
                    break;
                case Qt.Key_PageDown:
                    moveTo(currentIndex + pageRows);
                    break;
                default:
                    return;
                }
                event.accepted = true;
            }
            onCountChanged: {
                if (currentIndex < 0 && count > 0)
                    currentIndex = 0;
            }
            ScrollBar.vertical: ScrollBar {
                policy: ScrollBar.AlwaysOn
                Accessible.name: qsTr("Scroll the cameras")
            }

            section.delegate: CameraGroupHeader {
            }

            delegate: CameraRow {
            }
        }

        Label {
            visible: !selector.allCameras
            text: qsTr("%n camera(s) selected", "", cameraModel.selectedCount)
        }

        FieldMessage {
            objectName: "cameraProblem"
            text: selector.refusal !== "" ? selector.refusal : selector.showProblems && !selector.acceptable ? qsTr("Select at least one camera, or all cameras.") : ""
        }
    }
}
