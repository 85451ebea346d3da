import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import ScheduleBackup.Page
import "PageState.js" as PageState

// The scheduled-backup settings page. It talks to the server only through the plug-in object
// `scheduleBackup`: it calls its invokables and reads its properties, which change only once
// the server has confirmed a change. What the operator typed stays on the page until it is
// saved, discarded or reloaded on purpose.
Page {
    id: page

    // The schedule-backup plug-in.
    required property var scheduleBackup
    // Handed to every request; the plug-in applies settings replies only for the path of the
    // latest load, so the page uses one path for everything.
    property string relayPath: "schedule-page"
    // [{id, group, name}]: cameras to choose from. Cameras of the loaded settings that are not
    // in it are offered too, as no longer in the inventory, so they can be unticked.
    property var cameraInventory: []
    // Result code and reason of the last refused save, when the host reports them ("1001": the
    // settings changed elsewhere). Without them a refusal is reported without its cause.
    property string lastRefusal
    property string lastRefusalReason
    readonly property int minimumWidth: 800
    readonly property int minimumHeight: 600

    readonly property alias session: session
    readonly property bool loaded: session.loaded
    readonly property bool saving: session.saving
    readonly property bool editable: session.loaded && !session.busy
    // The values last read from the plug-in; the page is modified when its values differ.
    property var loadedValues: null
    readonly property var changedFields: loadedValues ? PageState.changedFields(currentValues(), loadedValues) : []
    readonly property bool modified: changedFields.length > 0
    readonly property bool scheduleModified: changedFields.indexOf("schedule") >= 0 || changedFields.indexOf("scheduleName") >= 0
    readonly property bool acceptable: settings.acceptable && cameras.acceptable
    // Set when a save was held back for marked fields, until they are corrected.
    property bool validationFailed
    readonly property bool validationBlocked: validationFailed && !acceptable
    // The page's values when the last save was refused; a refusal about one field goes away
    // once that field is edited.
    property var refusedValues: null
    readonly property string refusalField: ({
            "1001": "conflict",
            "1002": "schedule",
            "1003": "dir",
            "1004": "cameras"
        })[lastRefusal] || ""
    readonly property bool refusalActive: session.refused !== "" && refusedValues !== null && (refusalField === "conflict" || !PageState.anyChanged(refusalField === "" ? PageState.fields : [refusalField], currentValues(), refusedValues))
    readonly property bool offerOverwrite: refusalField === "conflict" || refusalField === ""
    readonly property var groupById: {
        const groups = {};
        for (const camera of cameraInventory)
            groups[camera.id] = camera.group;
        return groups;
    }
    // A close waits for the save in flight, however long it takes.
    property bool closePending
    // A key was typed while the editors waited for a save; it was not applied.
    property bool keysRefused

    // The window may close now.
    signal closeAccepted

    function currentValues() {
        return {
            "enabled": settings.backupEnabled,
            "cyclic": settings.cyclic,
            "dir": settings.targetDir,
            "throughput": settings.throughputText,
            "range": settings.rangeText,
            "cameras": {
                "all": cameras.allCameras,
                "ids": Array.from(cameras.selectedIds)
            },
            "scheduleName": schedule.name,
            "schedule": schedule.document
        };
    }

    function pluginValues() {
        const plugin = scheduleBackup;
        return {
            "enabled": plugin.enabled,
            "cyclic": plugin.targetCyclic,
            "dir": plugin.targetDir,
            "throughput": String(plugin.maxThroughputMB),
            "range": String(plugin.maxRangeDay),
            "cameras": {
                "all": plugin.hasAllCameras,
                "ids": plugin.hasAllCameras ? [] : Array.from(plugin.cameraList).filter(id => id !== BackupTerms.allCamerasTag)
            },
            "scheduleName": plugin.scheduleName,
            "schedule": confirmedSchedule.document
        };
    }

    function cameraChoices() {
        const choices = cameraInventory.slice();
        const known = new Set(choices.map(camera => camera.id));
        for (const id of scheduleBackup.cameraList) {
            if (id !== BackupTerms.allCamerasTag && !known.has(id))
                choices.push({
                        "id": id,
                        "group": "",
                        "name": "",
                        "missing": true
                    });
        }
        return choices;
    }

    function setField(field, value) {
        switch (field) {
        case "enabled":
            settings.backupEnabled = value;
            break;
        case "cyclic":
            settings.cyclic = value;
            break;
        case "dir":
            settings.targetDir = value;
            break;
        case "throughput":
            settings.throughputText = value;
            break;
        case "range":
            settings.rangeText = value;
            break;
        case "cameras":
            cameras.setSelection(value.all, value.ids);
            break;
        case "scheduleName":
            schedule.name = value;
            break;
        case "schedule":
            schedule.document = scheduleBackup.scheduleTemplate;
            break;
        }
    }

    // Copies the plug-in's values into the editors. "all": every field; "rebase": the fields the
    // operator left alone; "readBack": those and the schedule.
    function readFromPlugin(mode) {
        const incoming = pluginValues();
        cameras.choices = cameraChoices();
        const current = currentValues();
        for (const field of PageState.fields) {
            const take = mode === "all" || loadedValues === null || (mode === "readBack" && PageState.scheduleFields.indexOf(field) >= 0) || !PageState.fieldDiffers(field, current, loadedValues);
            if (take)
                setField(field, incoming[field]);
        }
        loadedValues = incoming;
        if (mode === "all")
            validationFailed = false;
    }

    function reload() {
        return session.load();
    }

    // Reloads, asking first when that would discard unsaved changes.
    function requestReload() {
        if (session.busy)
            return false;
        if (modified) {
            reloadDialog.open();
            return false;
        }
        return reload();
    }

    // True when every field can be sent; otherwise marks the fields and focuses the first.
    function validate() {
        validationFailed = !acceptable;
        if (settings.acceptable && !cameras.acceptable)
            cameras.focusFirstProblem();
        else if (!settings.acceptable)
            settings.focusFirstProblem();
        return acceptable;
    }

    // The schedule to send: the stored document itself while the grid shows it unchanged, so a
    // save that did not touch the schedule sends it back exactly.
    function scheduleToSend() {
        return changedFields.indexOf("schedule") >= 0 ? schedule.document : scheduleBackup.scheduleTemplate;
    }

    // Saves every setting of the page; sends nothing when no value differs from the loaded state.
    function save() {
        if (!editable || !modified || !validate())
            return false;
        const values = currentValues();
        const changed = changedFields;
        const dir = changed.indexOf("dir") >= 0 ? BackupTerms.enteredDirectory(values.dir) : values.dir;
        const ids = changed.indexOf("cameras") >= 0 ? values.cameras.ids : loadedValues.cameras.ids;
        const cameraList = values.cameras.all ? [BackupTerms.pageCamera(BackupTerms.allCamerasTag, "")] : ids.map(id => BackupTerms.pageCamera(id, groupById[id] || ""));
        lastRefusal = "";
        lastRefusalReason = "";
        return session.begin("save", scheduleBackup.updateBackupInfo(values.enabled, values.cyclic, dir, cameraList, values.scheduleName, scheduleToSend(), PageState.parseLimit(values.throughput), PageState.parseLimit(values.range), relayPath));
    }

    // Saves the schedule (name and week grid) and keeps the other stored settings; the other
    // edits stay on the page.
    function saveScheduleOnly() {
        if (!editable || !scheduleModified)
            return false;
        lastRefusal = "";
        lastRefusalReason = "";
        return session.begin("saveSchedule", scheduleBackup.updateSchedule(schedule.name, scheduleToSend(), relayPath));
    }

    // After a refused save: loads the newest revision, takes its values for the fields the
    // operator left alone and lists where the operator's values differ before sending them.
    function overwrite() {
        return session.overwrite();
    }

    function reviewOverwrite(kind) {
        // A close waiting for the reply asks Save / Discard / Cancel instead.
        if (closePending)
            return;
        const fields = changedFields.filter(field => kind === "update" || PageState.scheduleFields.indexOf(field) >= 0);
        if (fields.length === 0)
            session.outcome = "alreadyStored";
        else
            overwriteDialog.review(kind, fields, loadedValues, currentValues());
    }

    // "close" when nothing is unsaved, "ask" when there are unsaved changes, "wait" while a
    // save is in flight.
    function closeDecision() {
        if (session.saving)
            return "wait";
        return modified ? "ask" : "close";
    }

    // Called by the window before it closes; true when it may close now. Otherwise the page
    // asks Save / Discard / Cancel, or waits for the save in flight, and emits closeAccepted
    // when the window may go.
    function requestClose() {
        const decision = closeDecision();
        if (decision === "wait")
            closePending = true;
        else if (decision === "ask")
            askBeforeClose();
        return decision === "close";
    }

    function settleClose() {
        if (!closePending)
            return;
        closePending = false;
        // After a refused or failed save the changes are still unsaved: the operator decides.
        if (modified)
            askBeforeClose();
        else
            closeAccepted();
    }

    function askBeforeClose() {
        closeDialog.afterRefusal = session.refused !== "";
        closeDialog.open();
    }

    // Closes while a save is in flight; its change may not be stored.
    function closeWithoutWaiting() {
        closePending = false;
        closeAccepted();
    }

    // Keys reach the page only when no editor takes them: while a save is in flight the editors
    // are inactive, and a typed key is refused visibly instead of vanishing.
    // Tab, Return, Escape and shortcuts are not typing: they keep working.
    function refuseKey(event) {
        const typing = event.key === Qt.Key_Backspace || event.key === Qt.Key_Delete || (event.text.length > 0 && event.text.charCodeAt(0) >= 32 && event.text !== "\u007f");
        if (!saving || !typing)
            return;
        keysRefused = true;
        event.accepted = true;
    }

    title: qsTr("Scheduled backup")
    Keys.onPressed: event => refuseKey(event)
    onModifiedChanged: {
        if (modified)
            keysRefused = false;
    }
    implicitWidth: 1120
    implicitHeight: 780

    PageSession {
        id: session

        plugin: page.scheduleBackup
        relayPath: page.relayPath
        onReadRequested: mode => page.readFromPlugin(mode)
        onOverwriteReady: kind => page.reviewOverwrite(kind)
        onStarted: page.keysRefused = false
        onSaveRefused: page.refusedValues = page.currentValues()
        onSettled: page.settleClose()
    }

    // The schedule the server holds, to compare with the grid and to tell whether there is a
    // window to wait for.
    WeekGridModel {
        id: confirmedSchedule

        document: page.scheduleBackup.scheduleTemplate
    }

    ConfirmDialog {
        id: reloadDialog

        title: qsTr("Discard changes?")
        text: qsTr("Reloading shows the stored settings and discards the changes on this page.")
        confirmText: qsTr("Reload")
        confirmHint: qsTr("Discards the changes and loads the stored settings.")
        onConfirmed: page.reload()
    }

    CloseDialog {
        id: closeDialog

        onSaveChosen: page.closePending = page.save()
        onDiscardChosen: page.closeAccepted()
    }

    OverwriteDialog {
        id: overwriteDialog

        onConfirmed: kind === "update" ? page.save() : page.saveScheduleOnly()
    }

    Shortcut {
        sequence: "Ctrl+S"
        onActivated: page.save()
    }

    Shortcut {
        sequences: ["F5", "Ctrl+R"]
        onActivated: page.requestReload()
    }

    // A text field with the focus keeps Ctrl+Z for its own text.
    Shortcut {
        sequence: "Ctrl+Z"
        enabled: schedule.enabled
        onActivated: schedule.grid.undo()
    }

    Shortcut {
        sequences: ["Ctrl+Shift+Z", "Ctrl+Y"]
        enabled: schedule.enabled
        onActivated: schedule.grid.redo()
    }

    header: ToolBar {
        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 12

            Label {
                Layout.fillWidth: true
                text: page.title
                font.pointSize: 13
                font.bold: true
                Accessible.role: Accessible.Heading
                Accessible.name: text
            }
        }
    }

    ScrollView {
        id: scroller

        anchors.fill: parent
        padding: 12
        contentWidth: availableWidth
        ScrollBar.vertical.policy: ScrollBar.AsNeeded

        RowLayout {
            width: scroller.availableWidth
            height: Math.max(implicitHeight, scroller.availableHeight)
            spacing: 12

            ColumnLayout {
                Layout.preferredWidth: 380
                Layout.minimumWidth: 330
                Layout.maximumWidth: 440
                Layout.fillHeight: true
                spacing: 12

                SettingsPane {
                    id: settings

                    objectName: "settingsPane"
                    Layout.fillWidth: true
                    enabled: page.editable
                    saving: page.saving
                    showProblems: page.loaded
                    dirRefusal: page.refusalActive && page.refusalField === "dir" ? qsTr("The server needs a target directory.") : ""
                }

                CameraSelector {
                    id: cameras

                    objectName: "cameraSelector"
                    Layout.fillWidth: true
                    enabled: page.editable
                    saving: page.saving
                    Layout.fillHeight: true
                    Layout.minimumHeight: 220
                    showProblems: page.loaded
                    refusal: page.refusalActive && page.refusalField === "cameras" ? qsTr("The server does not know one of the selected cameras.") : ""
                }
            }

            ColumnLayout {
                Layout.fillWidth: true
                Layout.fillHeight: true
                spacing: 12

                ScheduleEditor {
                    id: schedule

                    objectName: "scheduleEditor"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    enabled: page.editable && settings.backupEnabled
                    saving: page.saving
                    refusal: page.refusalActive && page.refusalField === "schedule" ? qsTr("The server refused this schedule.") : ""
                }

                StatusPane {
                    id: statusPane

                    objectName: "statusPane"
                    Layout.fillWidth: true
                    plugin: page.scheduleBackup
                    relayPath: page.relayPath
                    polling: page.loaded
                }
            }
        }
    }

    BusyIndicator {
        objectName: "loadingIndicator"
        anchors.centerIn: parent
        running: !page.loaded && page.session.busy
        visible: running
        Accessible.name: qsTr("Loading settings")
    }

    footer: PageFooter {
        schedulePage: page
    }
}
