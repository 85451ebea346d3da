// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls

// A camera in the camera list: its name and id, ticked when the backup takes it. A name too long
// for the row is cut, and the tooltip gives it in full with the id.
PlainCheckBox {
    id: row

    required property int index
    required property string cameraId
    required property string name
    required property string group
    required property bool selected
    // The list's CameraChoiceModel.
    readonly property var cameras: ListView.view ? ListView.view.model : null

    objectName: "camera:" + cameraId
    width: ListView.view ? ListView.view.width - 14 : implicitWidth
    leftPadding: 28
    focusPolicy: Qt.NoFocus
    text: name ? "%1  (%2)".arg(name).arg(cameraId) : cameraId
    checked: selected
    hint: contentItem.implicitWidth > contentItem.width ? qsTr("%1 (id %2)").arg(name || cameraId).arg(cameraId) : ""
    ToolTip.visible: hint !== "" && (hovered || ListView.isCurrentItem && ListView.view.activeFocus)
    // The list gives its current row the focus: Space ticks the row, Shift+Space its group.
    Keys.onPressed: event => {
        if (event.key !== Qt.Key_Space)
            return;
        event.accepted = true;
        if (event.modifiers & Qt.ShiftModifier)
            cameras.setGroupSelected(group, cameras.groupState(group) !== Qt.Checked);
        else
            cameras.toggle(index);
    }
    onToggled: {
        cameras.setSelected(index, checked);
        checked = Qt.binding(() => row.selected);
    }

    // The keyboard's place in the list.
    Rectangle {
        anchors.fill: parent
        color: "transparent"
        border.width: 2
        border.color: PageColors.focusRing
        visible: row.ListView.isCurrentItem && row.ListView.view.activeFocus
    }
}
