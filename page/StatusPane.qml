// SPDX-License-Identifier: BSD-3-Clause
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
    property string backupPath
    property string status
    property string interval
    property int progress: 0
    // The plug-in's answer for the next start; the client's rules say what it means.
    property real nextMs: 0
    property real nowMs: Date.now()

    function refresh() {
        nowMs = Date.now();
        nextMs = plugin.enabled ? Number(plugin.getNextBackupTime(new Date(nowMs))) : 0;
    }

    function nextText() {
        return BackupTerms.nextBackupText(plugin.enabled, plugin.scheduleTemplate, nextMs, nowMs);
    }

    function statusText() {
        return BackupTerms.statusWord(status);
    }

    // What the next start depends on.
    readonly property bool backupOn: plugin.enabled
    readonly property string confirmedSchedule: plugin.scheduleTemplate

    title: qsTr("Status")
    Accessible.name: title
    // Nothing in it takes input, but the keyboard must reach it, so the page scrolls to it.
    activeFocusOnTab: true
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

    FocusRing {
        shown: pane.visualFocus
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
            text: pane.interval ? "%1, %2".arg(pane.statusText()).arg(PageClock.windowText(pane.interval)) : pane.statusText()
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
