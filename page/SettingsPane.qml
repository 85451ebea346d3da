// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import ScheduleBackup.Page

// The backup switches, the target and the limits. The values are plain local state: the page
// fills them from the plug-in and reads them when saving. The limits are inactive while
// scheduled backup is off.
GroupBox {
    id: pane

    property alias backupEnabled: enabledSwitch.checked
    property alias cyclic: cyclicSwitch.checked
    property alias targetDir: dirField.text
    property alias throughputText: throughputField.text
    property alias rangeText: rangeField.text
    // A save is in flight: the fields are inactive and say so.
    property bool saving
    // False while there is nothing loaded to judge.
    property bool showProblems: true
    // What the server said about the directory when it refused the last save.
    property string dirRefusal
    readonly property string dirProblem: BackupTerms.directoryProblem(targetDir)
    readonly property bool dirAcceptable: dirProblem === ""
    readonly property string dirHint: qsTr("Directory on the server the recordings are copied to, e.g. /srv/backup/video. Required.")
    readonly property bool acceptable: dirAcceptable && throughputField.acceptable && rangeField.acceptable

    // Puts the keyboard focus on the first control, "Back up on schedule".
    function focusFirst() {
        enabledSwitch.control.forceActiveFocus(Qt.TabFocusReason);
    }

    // Puts the keyboard focus on the first field that cannot be sent.
    function focusFirstProblem() {
        if (!dirAcceptable)
            dirField.forceActiveFocus(Qt.TabFocusReason);
        else if (!throughputField.acceptable)
            throughputField.input.forceActiveFocus(Qt.TabFocusReason);
        else if (!rangeField.acceptable)
            rangeField.input.forceActiveFocus(Qt.TabFocusReason);
    }

    Accessible.name: title
    title: saving ? qsTr("Backup (saving, wait for the reply…)") : qsTr("Backup")

    GridLayout {
        anchors.fill: parent
        columns: 2
        columnSpacing: 12
        rowSpacing: 6

        LabeledSwitch {
            id: enabledSwitch

            objectName: "enabledSwitch"
            Layout.columnSpan: 2
            Layout.fillWidth: true
            text: qsTr("Back up on schedule")
            hint: qsTr("Copies recordings to the target directory during the windows of the weekly schedule. When off, nothing is backed up; the schedule and the limits are kept but inactive.")
        }

        LabeledSwitch {
            id: cyclicSwitch

            objectName: "cyclicSwitch"
            Layout.columnSpan: 2
            Layout.fillWidth: true
            text: qsTr("Overwrite oldest recordings when full")
            hint: qsTr("When the target directory is full, the oldest backed-up recordings are overwritten. When off, the backup stops once the target is full.")
        }

        Label {
            Layout.alignment: Qt.AlignTop
            topPadding: 8
            text: qsTr("Target directory")
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 2

            TextField {
                id: dirField

                objectName: "targetDirField"
                Layout.fillWidth: true
                selectByMouse: true
                Accessible.name: qsTr("Target directory")
                Accessible.description: pane.dirHint
                // Hover is off by default for text fields on some platforms, and with it the tip.
                hoverEnabled: true
                ToolTip.visible: hovered || activeFocus
                ToolTip.text: pane.dirHint
                // Qt 6.4 replaces a text field's accessible description with its placeholder
                // once a screen reader connects; the hint as an unseen placeholder keeps it.
                placeholderText: pane.dirHint
                placeholderTextColor: "transparent"
                ToolTip.delay: 600

                FocusRing {
                    shown: dirField.activeFocus
                }
            }

            FieldMessage {
                objectName: "targetDirProblem"
                text: pane.dirRefusal !== "" ? pane.dirRefusal : !pane.showProblems ? "" : pane.dirProblem === "empty" ? qsTr("Enter the directory the backup is written to.") : pane.dirProblem === "notPlain" ? qsTr("The directory must not contain control characters.") : ""
            }
        }

        Label {
            Layout.alignment: Qt.AlignTop
            topPadding: 8
            text: qsTr("Max. throughput")
            enabled: pane.backupEnabled
        }

        LimitField {
            id: throughputField

            objectName: "throughputField"
            Layout.fillWidth: true
            enabled: pane.backupEnabled
            showProblem: pane.showProblems
            label: qsTr("Max. throughput")
            unit: qsTr("MB")
            maximum: BackupTerms.maxThroughputMB
            hint: qsTr("Upper limit of the backup's throughput in MB (1 MB = 1,048,576 bytes; the server receives the value in bytes). 0 means no limit. From 0 to %1 MB.").arg(Number(BackupTerms.maxThroughputMB).toLocaleString(Qt.locale(), "f", 0))
        }

        Label {
            Layout.alignment: Qt.AlignTop
            topPadding: 8
            text: qsTr("Time range")
            enabled: pane.backupEnabled
        }

        LimitField {
            id: rangeField

            objectName: "rangeField"
            Layout.fillWidth: true
            enabled: pane.backupEnabled
            showProblem: pane.showProblems
            label: qsTr("Time range")
            unit: qsTr("days")
            maximum: BackupTerms.maxRangeDays
            hint: qsTr("Limits the time range the backup covers, in days (1 day = 1,440 minutes; the server receives the value in minutes). 0 means no limit. From 0 to %1 days.").arg(Number(BackupTerms.maxRangeDays).toLocaleString(Qt.locale(), "f", 0))
        }
    }
}
