// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// Asked when the window closes with unsaved changes: save them, discard them or stay.
Dialog {
    id: dialog

    signal saveChosen
    signal discardChosen

    parent: Overlay.overlay
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    width: 480
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    // The save before the close was refused: the changes are not stored.
    property bool afterRefusal
    readonly property string message: afterRefusal ? qsTr("The server refused the save, so the changes on this page are not stored. Save them before closing?") : qsTr("The backup settings have changes that are not saved. Save them before closing?")

    title: qsTr("Unsaved changes")
    onOpened: saveButton.forceActiveFocus(Qt.TabFocusReason)
    onClosed: afterRefusal = false

    Label {
        objectName: "closeMessage"
        width: dialog.availableWidth
        wrapMode: Text.Wrap
        text: dialog.message
    }

    footer: RowLayout {
        spacing: 8

        Item {
            Layout.fillWidth: true
        }

        ActionButton {
            id: saveButton
            objectName: "closeSaveButton"

            text: qsTr("Save")
            hint: qsTr("Saves the changes and closes the window once the server has confirmed them.")
            highlighted: true
            Layout.bottomMargin: 12
            onClicked: {
                dialog.close();
                dialog.saveChosen();
            }
        }

        ActionButton {
            objectName: "closeDiscardButton"
            text: qsTr("Discard")
            hint: qsTr("Closes the window; the changes are lost.")
            Layout.bottomMargin: 12
            onClicked: {
                dialog.close();
                dialog.discardChosen();
            }
        }

        ActionButton {
            objectName: "closeCancelButton"
            text: qsTr("Cancel")
            hint: qsTr("Keeps the window open with the changes.")
            Layout.rightMargin: 12
            Layout.bottomMargin: 12
            onClicked: dialog.reject()
        }
    }
}
