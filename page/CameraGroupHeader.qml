// SPDX-License-Identifier: BSD-3-Clause
import QtQuick

// The heading of a camera group in the camera list: a box that shows whether all, some or none
// of the group's cameras are ticked, also those the filter hides, and ticks or clears them all.
PlainCheckBox {
    id: header

    required property string section
    // The list's CameraChoiceModel.
    readonly property var cameras: ListView.view ? ListView.view.model : null
    readonly property int groupState: cameras && cameras.revision >= 0 ? cameras.groupState(section) : Qt.Unchecked

    readonly property bool missing: cameras !== null && section === cameras.missingGroup

    objectName: "cameraGroup:" + (missing ? "missing" : section)
    width: ListView.view ? ListView.view.width - 14 : implicitWidth
    focusPolicy: Qt.NoFocus
    font.bold: true
    tristate: true
    text: missing ? qsTr("No longer in the inventory") : section === "" ? qsTr("Without a group") : section
    hint: missing ? qsTr("Cameras stored in the settings that the system no longer has. Clear them to stop backing them up.") : qsTr("Ticks or clears every camera of this group, also those the filter hides.")
    checkState: groupState
    // A click on a partly ticked group ticks all of it.
    nextCheckState: function () {
        return checkState === Qt.Checked ? Qt.Unchecked : Qt.Checked;
    }
    // Clicked, not toggled: going from partly ticked to ticked leaves `checked` as it was.
    onClicked: {
        cameras.setGroupSelected(section, checkState === Qt.Checked);
        checkState = Qt.binding(() => header.groupState);
    }
}
