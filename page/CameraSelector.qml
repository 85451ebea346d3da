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

    signal edited

    function isSelected(cameraId) {
        return selectedIds.indexOf(cameraId) >= 0;
    }

    function setSelected(cameraId, selected) {
        const ids = selectedIds.filter(id => id !== cameraId);
        if (selected)
            ids.push(cameraId);
        selectedIds = ids;
    }

    title: qsTr("Cameras")

    ColumnLayout {
        anchors.fill: parent
        spacing: 4

        CheckBox {
            objectName: "allCamerasBox"
            text: qsTr("All cameras")
            checked: selector.allCameras
            onToggled: {
                selector.allCameras = checked;
                checked = Qt.binding(() => selector.allCameras);
                selector.edited();
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

            delegate: CheckBox {
                required property var modelData

                width: ListView.view.width
                leftPadding: 24
                enabled: !selector.allCameras
                text: modelData.name ? "%1  (%2)".arg(modelData.name).arg(modelData.id) : modelData.id
                checked: selector.allCameras || selector.isSelected(modelData.id)
                onToggled: {
                    selector.setSelected(modelData.id, checked);
                    checked = Qt.binding(() => selector.allCameras || selector.isSelected(modelData.id));
                    selector.edited();
                }
            }
        }

        Label {
            visible: !selector.allCameras
            text: qsTr("%n camera(s) selected", "", selector.selectedIds.length)
            color: selector.selectedIds.length === 0 ? "#b3261e" : palette.placeholderText
            font.pointSize: 8.5
        }
    }
}
