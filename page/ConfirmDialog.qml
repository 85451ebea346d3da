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

    signal confirmed

    parent: Overlay.overlay
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    width: 460
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    onOpened: cancelButton.forceActiveFocus(Qt.TabFocusReason)

    Label {
        id: message

        width: dialog.availableWidth
        text: dialog.text
        wrapMode: Text.Wrap
        textFormat: Text.PlainText
    }

    footer: RowLayout {
        spacing: 8

        Item {
            Layout.fillWidth: true
        }

        ActionButton {
            id: cancelButton

            objectName: "confirmCancelButton"
            text: qsTr("Cancel")
            hint: qsTr("Keeps everything as it is.")
            onClicked: dialog.reject()
        }

        ActionButton {
            id: confirmButton

            objectName: "confirmButton"
            hint: ""
            Layout.rightMargin: 12
            Layout.bottomMargin: 12
            onClicked: {
                dialog.close();
                dialog.confirmed();
            }
        }
    }
}
