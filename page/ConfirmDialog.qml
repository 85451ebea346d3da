// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// Asks before a step that throws something away. Cancel has the focus, so Return alone does
// no harm.
Dialog {
    id: dialog

    property string text
    property alias confirmText: confirmButton.text
    property alias confirmHint: confirmButton.hint
    // Object names, for dialogs that share the window with another ConfirmDialog.
    property alias confirmName: confirmButton.objectName
    property alias cancelName: cancelButton.objectName
    property alias textName: message.objectName

    // What had the keyboard before the dialog opened; it gets it back when the dialog closes.
    property Item opener

    signal confirmed

    parent: Overlay.overlay
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    width: 460
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    onAboutToShow: opener = message.Window.activeFocusItem
    onOpened: cancelButton.forceActiveFocus(Qt.TabFocusReason)
    onClosed: {
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

        width: dialog.availableWidth
        text: dialog.text
        wrapMode: Text.Wrap
        textFormat: Text.PlainText
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
                id: cancelButton
                tipOnFocus: false

                objectName: "confirmCancelButton"
                text: qsTr("Cancel")
                hint: qsTr("Keeps everything as it is.")
                onClicked: dialog.reject()
            }

            ActionButton {
                id: confirmButton
                tipOnFocus: false

                objectName: "confirmButton"
                hint: ""
                onClicked: {
                    dialog.close();
                    dialog.confirmed();
                }
            }
        }
    }
}
