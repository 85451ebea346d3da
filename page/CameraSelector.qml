pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// Which cameras the backup takes: all of them, or the ones ticked in the list.
GroupBox {
    id: selector

    // [{id, group, name}]: the cameras that can be picked.
    property var choices: []
    property bool allCameras: false
    property var selectedIds: []
    property bool showProblems: true
    // What the server said about the cameras when it refused the last save.
    property string refusal
    readonly property bool acceptable: allCameras || selectedIds.length > 0

    function setSelection(all, ids) {
        allCameras = all;
        selectedIds = ids.slice();
    }

    function isSelected(cameraId) {
        return selectedIds.indexOf(cameraId) >= 0;
    }

    function setSelected(cameraId, selected) {
        const ids = selectedIds.filter(id => id !== cameraId);
        if (selected)
            ids.push(cameraId);
        selectedIds = ids;
    }

    function focusFirstProblem() {
        allBox.forceActiveFocus(Qt.TabFocusReason);
    }

    title: qsTr("Cameras")

    ColumnLayout {
        anchors.fill: parent
        spacing: 4

        PlainCheckBox {
            id: allBox

            objectName: "allCamerasBox"
            text: qsTr("All cameras")
            hint: qsTr("Backs up every camera, also the ones added later.")
            checked: selector.allCameras
            onToggled: {
                selector.allCameras = checked;
                checked = Qt.binding(() => selector.allCameras);
            }
        }

        ListView {
            id: list

            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.minimumHeight: 60
            clip: true
            model: selector.choices
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {
            }

            delegate: PlainCheckBox {
                required property var modelData

                width: ListView.view.width
                leftPadding: 24
                enabled: !selector.allCameras
                text: modelData.name ? "%1  (%2)".arg(modelData.name).arg(modelData.id) : modelData.id
                checked: selector.allCameras || selector.isSelected(modelData.id)
                onToggled: {
                    selector.setSelected(modelData.id, checked);
                    checked = Qt.binding(() => selector.allCameras || selector.isSelected(modelData.id));
                }
            }
        }

        Label {
            visible: !selector.allCameras
            text: qsTr("%n camera(s) selected", "", selector.selectedIds.length)
        }

        FieldMessage {
            objectName: "cameraProblem"
            text: selector.refusal !== "" ? selector.refusal : selector.showProblems && !selector.acceptable ? qsTr("Select at least one camera, or all cameras.") : ""
        }
    }
}
