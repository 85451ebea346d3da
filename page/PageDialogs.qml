// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import ScheduleBackup.Page

// The questions the session asks: discard the changes on reload, save them on close, and the
// fields an overwrite would write.
Item {
    id: dialogs

    required property PageSession session

    Connections {
        function onConfirmReload() {
            reloadDialog.open();
        }

        function onCloseQuestion(afterRefusal) {
            closeDialog.afterRefusal = afterRefusal;
            closeDialog.open();
        }

        function onOverwriteReview(fields) {
            overwriteDialog.review(fields, dialogs.session.stored, dialogs.session.edits);
        }

        target: dialogs.session
    }

    ConfirmDialog {
        id: reloadDialog

        title: qsTr("Discard changes?")
        text: qsTr("Reloading shows the stored settings and discards the changes on this page.")
        confirmText: qsTr("Reload")
        confirmHint: qsTr("Discards the changes and loads the stored settings.")
        onConfirmed: dialogs.session.load()
    }

    CloseDialog {
        id: closeDialog

        onSaveChosen: dialogs.session.saveAndClose()
        onDiscardChosen: dialogs.session.closeNow()
    }

    OverwriteDialog {
        id: overwriteDialog

        onConfirmed: dialogs.session.confirmOverwrite()
    }
}
