import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// What the page is doing or what it last heard from the server, with the actions that fit:
// Reload and Save normally, Reload and Overwrite after a refused save.
ToolBar {
    id: footer

    // The SchedulePage.
    required property var schedulePage
    readonly property var session: schedulePage.session
    readonly property bool isError: footer.schedulePage.closePending || footer.schedulePage.keysRefused || footer.session.failure !== "" || footer.schedulePage.refusalActive || footer.schedulePage.validationBlocked || (!footer.session.loaded && !footer.session.busy)
    readonly property string message: messageText()

    function refusalText() {
        switch (footer.schedulePage.refusalField) {
        case "conflict":
            return qsTr("The settings were changed elsewhere since they were loaded. Reload shows the other change and discards yours; Overwrite loads the other change and lists your values before it writes only the fields you changed.");
        case "dir":
            return qsTr("The server refused the change: no target directory.");
        case "cameras":
            return qsTr("The server refused the change: it does not know a selected camera.");
        case "schedule":
            return qsTr("The server refused the schedule.");
        }
        return footer.schedulePage.lastRefusalReason !== "" ? qsTr("The server refused the change: %1").arg(footer.schedulePage.lastRefusalReason) : qsTr("The server refused the change.");
    }

    function messageText() {
        if (!footer.session.loaded && !footer.session.busy)
            return qsTr("The settings could not be loaded. Reload to try again.");
        if (footer.schedulePage.closePending)
            return qsTr("Saving… The window stays open until the server has confirmed the save, however long that takes. If you close without waiting, the change may not be stored.");
        if (footer.session.saving && footer.schedulePage.keysRefused)
            return qsTr("Saving… What you typed was not applied: the fields wait for the server's reply.");
        switch (footer.session.activity) {
        case "load":
            return qsTr("Loading settings…");
        case "save":
        case "saveSchedule":
            return qsTr("Saving…");
        case "readBack":
            return qsTr("Reading back the saved schedule…");
        case "overwriteLoad":
            return qsTr("Loading the newest settings to compare them with this page's values…");
        }
        switch (footer.session.failure) {
        case "sendFailed":
            return qsTr("The request could not be sent. Nothing was saved.");
        case "loadFailed":
            return qsTr("The settings could not be loaded.");
        case "readBackFailed":
            return qsTr("The schedule was saved, but could not be read back. Reload to see it.");
        }
        if (footer.schedulePage.refusalActive)
            return refusalText();
        if (footer.schedulePage.validationBlocked)
            return qsTr("Correct the marked fields. Nothing was sent.");
        if (footer.session.outcome === "scheduleSaved")
            return footer.schedulePage.modified ? qsTr("Schedule saved. Your other changes are not saved yet.") : qsTr("Schedule saved.");
        if (footer.schedulePage.modified)
            return qsTr("Unsaved changes");
        if (footer.session.outcome === "saved")
            return footer.schedulePage.keysRefused ? qsTr("Saved. What you typed during the save was not applied.") : qsTr("Saved");
        if (footer.session.outcome === "alreadyStored")
            return qsTr("The newest stored settings already hold this page's values. Nothing was sent.");
        return "";
    }

    RowLayout {
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
            text: footer.message
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            maximumLineCount: 4
            elide: Text.ElideRight
            color: footer.isError ? PageColors.error : palette.windowText
            Accessible.role: Accessible.StatusBar
            Accessible.name: text
        }

        ActionButton {
            objectName: "conflictReloadButton"
            visible: footer.schedulePage.refusalActive
            enabled: !footer.session.busy
            text: qsTr("Reload")
            hint: qsTr("Loads the stored settings, with the other change, and discards the changes on this page.")
            onClicked: footer.schedulePage.reload()
        }

        ActionButton {
            objectName: "overwriteButton"
            visible: footer.schedulePage.refusalActive && footer.schedulePage.offerOverwrite
            enabled: !footer.session.busy
            text: qsTr("Overwrite")
            hint: qsTr("Loads the newest stored settings, keeps them where you changed nothing and lists your changed values before saving them.")
            onClicked: footer.schedulePage.overwrite()
        }

        ActionButton {
            objectName: "closeWithoutWaitingButton"
            visible: footer.schedulePage.closePending
            text: qsTr("Close without waiting")
            hint: qsTr("Closes the window now. The server has not confirmed the save yet: the change may not be stored.")
            onClicked: footer.schedulePage.closeWithoutWaiting()
        }

        ActionButton {
            objectName: "reloadButton"
            visible: !footer.schedulePage.refusalActive
            enabled: !footer.session.busy
            text: qsTr("Reload")
            hint: qsTr("Loads the stored settings again (F5). Asks first when there are unsaved changes.")
            onClicked: footer.schedulePage.requestReload()
        }

        ActionButton {
            objectName: "saveScheduleButton"
            enabled: footer.schedulePage.editable && footer.schedulePage.scheduleModified
            text: qsTr("Save schedule only")
            hint: qsTr("Saves the schedule name and the week grid and keeps the other stored settings; your other changes stay on the page.")
            onClicked: footer.schedulePage.saveScheduleOnly()
        }

        ActionButton {
            objectName: "saveButton"
            enabled: footer.schedulePage.editable && footer.schedulePage.modified
            highlighted: true
            text: qsTr("Save")
            hint: qsTr("Saves all settings of this page (Ctrl+S).")
            onClicked: footer.schedulePage.save()
        }
    }
}
