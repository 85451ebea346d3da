import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import ScheduleBackup.Page

// The scheduled-backup settings page. It talks to the server only through the plug-in object
// `scheduleBackup`, which the host hands it: it calls its invokables and reads its properties.
// Edits stay local until the server has confirmed them; then the page reads the plug-in's
// properties again.
Page {
    id: page

    // The schedule-backup plug-in.
    required property var scheduleBackup
    // Handed to every request; replies to settings requests are only applied for the path
    // of the latest settings load, so the page uses one path for everything.
    property string relayPath: "schedule-page"
    // [{id, group, name}]: cameras to choose from. Without it the page offers the cameras of
    // the loaded settings.
    property var cameraInventory: []

    property bool loaded: false
    property bool saving: false
    property bool modified: false
    // Set while reloading after a schedule-only save: only the schedule is read back then, so
    // other unsaved edits stay.
    property bool reloadingSchedule: false
    property string message
    property bool messageIsError: false

    // Asks the server for the settings; the answer refills the page.
    function reload() {
        if (!scheduleBackup.getBackupInfo(relayPath))
            showMessage(qsTr("The settings could not be requested"), true);
    }

    // Saves every setting of the page.
    function save() {
        if (saving)
            return false;
        const sent = scheduleBackup.updateBackupInfo(settings.backupEnabled, settings.cyclic, settings.targetDir.trim(), cameras.allCameras ? [BackupTerms.pageCamera(BackupTerms.allCamerasTag, "")] : selectedCameras(), scheduleName.text, weekGrid.document, settings.throughputMB, settings.rangeDays, relayPath);
        return startSaving(sent);
    }

    // Saves the schedule (name and week grid) and keeps the other stored settings.
    function saveScheduleOnly() {
        if (saving)
            return false;
        return startSaving(scheduleBackup.updateSchedule(scheduleName.text, weekGrid.document, relayPath));
    }

    function startSaving(sent) {
        saving = sent;
        showMessage(sent ? qsTr("Saving…") : qsTr("The change could not be sent"), !sent);
        return sent;
    }

    function selectedCameras() {
        return cameras.selectedIds.map(id => {
                const known = cameraInventory.find(camera => camera.id === id);
                return BackupTerms.pageCamera(id, known ? known.group : "");
            });
    }

    function cameraChoices() {
        const choices = cameraInventory.slice();
        for (const id of scheduleBackup.cameraList) {
            if (!choices.some(camera => camera.id === id))
                choices.push({
                        "id": id,
                        "group": "",
                        "name": ""
                    });
        }
        return choices;
    }

    // Copies the plug-in's properties into the controls, discarding local edits.
    function readSettings() {
        settings.backupEnabled = scheduleBackup.enabled;
        settings.cyclic = scheduleBackup.targetCyclic;
        settings.targetDir = scheduleBackup.targetDir;
        settings.throughputMB = scheduleBackup.maxThroughputMB;
        settings.rangeDays = scheduleBackup.maxRangeDay;
        readCameras();
        readSchedule();
        modified = false;
    }

    function readCameras() {
        cameras.choices = cameraChoices();
        cameras.allCameras = scheduleBackup.hasAllCameras;
        cameras.selectedIds = scheduleBackup.cameraList;
    }

    function readSchedule() {
        scheduleName.text = scheduleBackup.scheduleName;
        weekGrid.document = scheduleBackup.scheduleTemplate;
        refreshNextBackup();
    }

    function refreshNextBackup() {
        if (!scheduleBackup.enabled)
            statusPane.nextBackup = qsTr("Scheduled backup is off");
        else if (confirmedSchedule.selectedCount === 0)
            statusPane.nextBackup = qsTr("No backup window scheduled");
        else
            statusPane.nextBackup = Qt.formatDateTime(new Date(scheduleBackup.getNextBackupTime()), "dddd d MMMM yyyy, hh:mm");
    }

    function showMessage(text, isError) {
        message = text;
        messageIsError = isError;
    }

    title: qsTr("Scheduled backup")
    onModifiedChanged: {
        if (modified)
            showMessage("", false);
    }

    // The schedule the server holds, to tell whether there is any window to wait for.
    WeekGridModel {
        id: confirmedSchedule

        document: page.scheduleBackup.scheduleTemplate
    }

    Connections {
        function onGetBackupInfoResp(success) {
            if (!success) {
                page.showMessage(qsTr("The settings could not be loaded"), true);
                return;
            }
            if (page.reloadingSchedule)
                page.readSchedule();
            else
                page.readSettings();
            page.reloadingSchedule = false;
            page.loaded = true;
            page.scheduleBackup.getBackupPathInfo(page.relayPath);
        }

        function onGetBackupPathResp(success, backupPath) {
            statusPane.backupPath = success ? backupPath : qsTr("unknown");
        }

        function onGetBackupStatusResp(success, status, interval, progress) {
            statusPane.status = success ? status : qsTr("unknown");
            statusPane.interval = success ? interval : "";
            statusPane.progress = success ? progress : 0;
            page.refreshNextBackup();
        }

        function onUpdBackupInfoResp(success) {
            page.saving = false;
            if (!success) {
                page.showMessage(qsTr("The server refused the change"), true);
                return;
            }
            page.readSettings();
            page.showMessage(qsTr("Saved"), false);
            page.scheduleBackup.getBackupPathInfo(page.relayPath);
        }

        function onUpdateScheduleResp(success) {
            page.saving = false;
            page.showMessage(success ? qsTr("Schedule saved") : qsTr("The server refused the schedule"), !success);
            // The plug-in keeps its old schedule until it is loaded again.
            if (success) {
                page.reloadingSchedule = true;
                page.reload();
            }
        }

        target: page.scheduleBackup
    }

    Timer {
        interval: 2000
        repeat: true
        running: page.loaded && page.visible
        triggeredOnStart: true
        onTriggered: page.scheduleBackup.getBackupStatus(page.relayPath)
    }

    header: ToolBar {
        Label {
            anchors.fill: parent
            leftPadding: 12
            verticalAlignment: Text.AlignVCenter
            text: page.title
            font.pointSize: 13
            font.bold: true
        }
    }

    RowLayout {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 12

        ColumnLayout {
            Layout.preferredWidth: 380
            Layout.maximumWidth: 440
            Layout.fillHeight: true
            spacing: 12

            SettingsPane {
                id: settings

                objectName: "settingsPane"
                Layout.fillWidth: true
                onEdited: page.modified = true
            }

            CameraSelector {
                id: cameras

                objectName: "cameraSelector"
                Layout.fillWidth: true
                Layout.fillHeight: true
                onEdited: page.modified = true
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 12

            GroupBox {
                Layout.fillWidth: true
                Layout.fillHeight: true
                title: qsTr("Weekly schedule")

                ColumnLayout {
                    anchors.fill: parent
                    spacing: 6

                    RowLayout {
                        Layout.fillWidth: true

                        Label {
                            text: qsTr("Name")
                        }

                        TextField {
                            id: scheduleName

                            objectName: "scheduleNameField"
                            Layout.fillWidth: true
                            selectByMouse: true
                            onTextEdited: page.modified = true
                        }

                        Button {
                            text: qsTr("Clear")
                            onClicked: {
                                weekGrid.model.clear();
                                page.modified = true;
                            }
                        }
                    }

                    WeekGrid {
                        id: weekGrid

                        objectName: "weekGrid"
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        onEdited: page.modified = true
                    }
                }
            }

            StatusPane {
                id: statusPane

                Layout.fillWidth: true
            }
        }
    }

    footer: ToolBar {
        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 12
            anchors.rightMargin: 12

            Label {
                objectName: "messageLabel"
                Layout.fillWidth: true
                elide: Text.ElideRight
                text: page.message || (!page.loaded ? qsTr("Loading settings…") : page.modified ? qsTr("Unsaved changes") : "")
                color: page.messageIsError ? "#b3261e" : palette.windowText
            }

            Button {
                text: qsTr("Reload")
                enabled: !page.saving
                onClicked: {
                    page.showMessage("", false);
                    page.reload();
                }
            }

            Button {
                text: qsTr("Save schedule only")
                enabled: page.loaded && !page.saving
                onClicked: page.saveScheduleOnly()
            }

            Button {
                text: qsTr("Save")
                highlighted: true
                enabled: page.loaded && !page.saving
                onClicked: page.save()
            }
        }
    }
}
