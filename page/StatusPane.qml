import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// Where backups go, what the running backup is doing and when the next one starts.
GroupBox {
    id: pane

    property string backupPath
    property string status
    property string interval
    property int progress: 0
    property string nextBackup

    title: qsTr("Status")

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
            elide: Text.ElideMiddle
            font.bold: true
        }

        Label {
            text: qsTr("Current backup")
        }

        Label {
            objectName: "backupStatusLabel"
            Layout.fillWidth: true
            text: pane.status ? (pane.interval ? "%1, %2".arg(pane.status).arg(pane.interval) : pane.status) : "–"
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
            }

            Label {
                text: "%1 %".arg(pane.progress)
            }
        }

        Label {
            text: qsTr("Next backup")
        }

        Label {
            objectName: "nextBackupLabel"
            Layout.fillWidth: true
            text: pane.nextBackup || "–"
            elide: Text.ElideRight
        }
    }
}
