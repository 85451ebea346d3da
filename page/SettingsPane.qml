import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The backup switches, the target and the limits. Values are plain local state: the page fills
// them from the plug-in and reads them when saving.
GroupBox {
    id: pane

    property alias backupEnabled: enabledSwitch.checked
    property alias cyclic: cyclicSwitch.checked
    property alias targetDir: dirField.text
    property alias throughputMB: throughputBox.value
    property alias rangeDays: rangeBox.value

    signal edited

    title: qsTr("Backup")

    GridLayout {
        anchors.fill: parent
        columns: 2
        columnSpacing: 12
        rowSpacing: 6

        LabeledSwitch {
            id: enabledSwitch

            Layout.columnSpan: 2
            Layout.fillWidth: true
            text: qsTr("Back up on schedule")
            onToggled: pane.edited()
        }

        LabeledSwitch {
            id: cyclicSwitch

            Layout.columnSpan: 2
            Layout.fillWidth: true
            text: qsTr("Overwrite oldest recordings when full")
            onToggled: pane.edited()
        }

        Label {
            text: qsTr("Target directory")
        }

        TextField {
            id: dirField

            objectName: "targetDirField"
            Layout.fillWidth: true
            placeholderText: qsTr("/path/to/backup")
            selectByMouse: true
            onTextEdited: pane.edited()
        }

        Label {
            text: qsTr("Max. throughput (MB)")
        }

        SpinBox {
            id: throughputBox

            Layout.fillWidth: true
            from: 0
            to: 2047
            editable: true
            onValueModified: pane.edited()
        }

        Label {
            text: qsTr("Time range (days)")
        }

        SpinBox {
            id: rangeBox

            Layout.fillWidth: true
            from: 0
            to: 365
            editable: true
            onValueModified: pane.edited()
        }
    }
}
