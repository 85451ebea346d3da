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
    // What had the keyboard before the dialog opened; it gets it back when the dialog closes.
    property Item opener
    readonly property string message: afterRefusal ? qsTr("The server refused the save, so the changes on this page are not stored. Save them before closing?") : qsTr("The backup settings have changes that are not saved. Save them before closing?")

    title: qsTr("Unsaved changes")
    onOpened: saveButton.forceActiveFocus(Qt.TabFocusReason)
    onAboutToShow: opener = message.Window.activeFocusItem
    onClosed: {
        afterRefusal = false;
        if (opener && opener.visible && opener.enabled)
            opener.forceActiveFocus(Qt.TabFocusReason);
        opener = null;
    }

    // A popup is no item, so it cannot be named directly; screen readers meet its item.
    Binding {
        target: dialog.contentItem.parent
        property: "Accessible.name"
        value: dialog.title
    }

    Label {
        id: message

        objectName: "closeMessage"
        width: dialog.availableWidth
        wrapMode: Text.Wrap
        text: dialog.message
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
                id: saveButton
                tipOnFocus: false
                objectName: "closeSaveButton"

                text: qsTr("Save")
                hint: qsTr("Saves the changes and closes the window once the server has confirmed them.")
                highlighted: true
                onClicked: {
                    dialog.close();
                    dialog.saveChosen();
                }
            }

            ActionButton {
                tipOnFocus: false
                objectName: "closeDiscardButton"
                text: qsTr("Discard")
                hint: qsTr("Closes the window; the changes are lost.")
                onClicked: {
                    dialog.close();
                    dialog.discardChosen();
                }
            }

            ActionButton {
                tipOnFocus: false
                objectName: "closeCancelButton"
                text: qsTr("Cancel")
                hint: qsTr("Keeps the window open with the changes.")
                onClicked: dialog.reject()
            }
        }
    }
}
