import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import ScheduleBackup.Page

// Where backups go, what the running backup is doing and when the next one starts (as a date,
// as the time left until then and in which time zone the schedule is read). It polls the
// status every two seconds while it is shown.
GroupBox {
    id: pane

    required property var plugin
    required property string relayPath
    // Whether there is anything to poll yet.
    property bool polling
    // Half-hour cells of the confirmed schedule; 0 means there is no window to wait for.
    property int confirmedCells
    property string backupPath
    property string status
    property string interval
    property int progress: 0
    // "off", "none", "unknown" (no answer from the server's clock) or "time".
    property string nextState: "unknown"
    property real nextMs: 0
    property real nowMs: Date.now()

    function refresh() {
        nowMs = Date.now();
        if (!plugin.enabled) {
            nextState = "off";
        } else if (confirmedCells === 0) {
            nextState = "none";
        } else {
            const next = Number(plugin.getNextBackupTime(new Date(nowMs)));
            nextMs = next;
            // A start that is not ahead of now is no answer, never shown as the next backup.
            nextState = next > nowMs ? "time" : "unknown";
        }
    }

    function untilText() {
        const minutes = Math.floor((nextMs - nowMs) / 60000);
        if (minutes < 1)
            return qsTr("in less than a minute");
        if (minutes < 60)
            return qsTr("in %1 min").arg(minutes);
        const hours = Math.floor(minutes / 60);
        if (hours < 24)
            return qsTr("in %1 h %2 min").arg(hours).arg(minutes % 60);
        return qsTr("in %1 d %2 h").arg(Math.floor(hours / 24)).arg(hours % 24);
    }

    function nextText() {
        switch (nextState) {
        case "off":
            return qsTr("Scheduled backup is off");
        case "none":
            return qsTr("No backup window scheduled");
        case "unknown":
            return qsTr("Not known yet");
        }
        const when = new Date(nextMs);
        return qsTr("%1, %2 (%3)").arg(when.toLocaleDateString(Qt.locale(), Locale.LongFormat)).arg(when.toLocaleTimeString(Qt.locale(), Locale.ShortFormat)).arg(untilText());
    }

    function statusText() {
        switch (status) {
        case "":
            return "–";
        case "Disabled":
            return qsTr("Off");
        case "Idle":
            return qsTr("Waiting for the next window");
        case "Running":
            return qsTr("Running");
        case "Completed":
            return qsTr("Completed");
        }
        return status;
    }

    // What the next start depends on.
    readonly property bool backupOn: plugin.enabled
    readonly property string confirmedSchedule: plugin.scheduleTemplate

    title: qsTr("Status")
    onConfirmedCellsChanged: refresh()
    onBackupOnChanged: refresh()
    onConfirmedScheduleChanged: refresh()

    Timer {
        interval: 2000
        repeat: true
        running: pane.polling && pane.visible
        triggeredOnStart: true
        onTriggered: {
            pane.plugin.getBackupStatus(pane.relayPath);
            pane.refresh();
        }
    }

    Connections {
        function onGetBackupPathResp(success, backupPath) {
            pane.backupPath = success ? backupPath : qsTr("unknown");
        }

        function onGetBackupStatusResp(success, status, interval, progress) {
            pane.status = success ? status : qsTr("unknown");
            pane.interval = success ? interval : "";
            pane.progress = success ? progress : 0;
            pane.refresh();
        }

        target: pane.plugin
    }

    GridLayout {
        anchors.fill: parent
        columns: 2
        columnSpacing: 12
        rowSpacing: 4

        Label {
            text: qsTr("Backup path")
        }

        Label {
            objectName: "backupPathLabel"
            Layout.fillWidth: true
            text: pane.backupPath || "–"
            textFormat: Text.PlainText
            elide: Text.ElideMiddle
            font.bold: true
        }

        Label {
            text: qsTr("Current backup")
        }

        Label {
            objectName: "backupStatusLabel"
            Layout.fillWidth: true
            text: pane.interval ? "%1, %2".arg(pane.statusText()).arg(pane.interval) : pane.statusText()
            textFormat: Text.PlainText
            elide: Text.ElideRight
        }

        Item {
            implicitHeight: 1
        }

        RowLayout {
            Layout.fillWidth: true

            ProgressBar {
                Layout.fillWidth: true
                from: 0
                to: 100
                value: pane.progress
                Accessible.name: qsTr("Backup progress")
                Accessible.description: qsTr("How far the running backup has got, in percent.")
            }

            Label {
                text: qsTr("%1 %").arg(Number(pane.progress).toLocaleString(Qt.locale(), "f", 0))
            }
        }

        Label {
            text: qsTr("Next backup")
        }

        Label {
            objectName: "nextBackupLabel"
            Layout.fillWidth: true
            text: pane.nextText()
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
        }

        Label {
            text: qsTr("Time zone")
        }

        Label {
            objectName: "timeZoneLabel"
            Layout.fillWidth: true
            text: qsTr("Schedule times are local time, %1").arg(PageClock.zoneName(new Date(pane.nowMs)))
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
        }
    }
}
