// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import ScheduleBackup.Page

// What the page is doing or what it last heard from the server, with the actions that fit:
// Reload and Save normally, Reload and Overwrite after a refused save.
ToolBar {
    id: footer

    required property PageSession session

    Accessible.name: qsTr("Actions")

    // The row's own height: the style's tool bar is lower than a button with its focus ring.
    contentHeight: row.implicitHeight + 6

    RowLayout {
        id: row

        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        spacing: 8

        BusyIndicator {
            Layout.preferredWidth: 28
            Layout.preferredHeight: 28
            running: footer.session.busy
            visible: running
            Accessible.name: qsTr("Busy")
        }

        Label {
            objectName: "messageLabel"
            Layout.fillWidth: true
            Layout.topMargin: 4
            Layout.bottomMargin: 4
            text: footer.session.message
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            maximumLineCount: 4
            elide: Text.ElideRight
            color: footer.session.messageIsError ? PageColors.error : palette.windowText
            // A label tells screen readers it is static text, whatever its role says; the
            // status element is the item below, whose name changes with every message, so a
            // screen reader announces it.
            Accessible.ignored: true

            Item {
                objectName: "messageStatus"
                anchors.fill: parent
                Accessible.role: Accessible.StatusBar
                Accessible.name: footer.session.message !== "" ? footer.session.message : qsTr("No message")
            }
        }

        ActionButton {
            objectName: "conflictReloadButton"
            visible: footer.session.refusalActive
            enabled: !footer.session.busy
            text: qsTr("Reload")
            hint: qsTr("Loads the stored settings, with the other change, and discards the changes on this page.")
            onClicked: footer.session.load()
        }

        ActionButton {
            objectName: "overwriteButton"
            visible: footer.session.refusalActive && footer.session.offerOverwrite
            enabled: !footer.session.busy
            text: qsTr("Overwrite")
            hint: qsTr("Loads the newest stored settings, keeps them where you changed nothing and lists your changed values before saving them.")
            onClicked: footer.session.overwrite()
        }

        ActionButton {
            objectName: "closeWithoutWaitingButton"
            visible: footer.session.closePending
            text: qsTr("Close without waiting")
            hint: qsTr("Closes the window now. The server has not confirmed the save yet: the change may not be stored.")
            onClicked: footer.session.closeNow()
        }

        ActionButton {
            objectName: "reloadButton"
            visible: !footer.session.refusalActive
            enabled: !footer.session.busy
            text: qsTr("Reload")
            hint: qsTr("Loads the stored settings again (F5). Asks first when there are unsaved changes.")
            onClicked: footer.session.requestReload()
        }

        ActionButton {
            objectName: "saveScheduleButton"
            enabled: footer.session.editable && footer.session.scheduleModified
            text: qsTr("Save schedule only")
            hint: qsTr("Saves the schedule name and the week grid and keeps the other stored settings; your other changes stay on the page.")
            onClicked: footer.session.saveScheduleOnly()
        }

        ActionButton {
            objectName: "saveButton"
            enabled: footer.session.editable && footer.session.modified
            highlighted: true
            text: qsTr("Save")
            hint: qsTr("Saves all settings of this page (Ctrl+S).")
            onClicked: footer.session.save()
        }
    }
}
