// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import ScheduleBackup.Page

// A whole-number limit typed as text. Every value from 0 to `maximum` is shown and sent exactly
// as stored; anything else is refused with a message below the field, never clamped.
ColumnLayout {
    id: limit

    required property string label
    required property string unit
    required property real maximum
    required property string hint
    property alias text: input.text
    property bool showProblem: true
    readonly property string problem: BackupTerms.limitProblem(text, maximum)
    readonly property bool acceptable: problem === ""
    readonly property alias input: input

    function problemText() {
        const largest = Number(maximum).toLocaleString(Qt.locale(), "f", 0);
        switch (problem) {
        case "empty":
            return qsTr("Enter a number from 0 to %1; 0 means no limit.").arg(largest);
        case "notNumber":
            return qsTr("Only whole numbers from 0 to %1 can be saved.").arg(largest);
        case "tooLarge":
            return qsTr("More than %1, the largest value the server accepts. Nothing was changed; correct it to save.").arg(largest);
        }
        return "";
    }

    spacing: 2

    RowLayout {
        Layout.fillWidth: true

        TextField {
            id: input

            Layout.fillWidth: true
            inputMethodHints: Qt.ImhDigitsOnly
            selectByMouse: true
            Accessible.name: limit.label
            Accessible.description: limit.hint
            // Hover is off by default for text fields on some platforms, and with it the tip.
            hoverEnabled: true
            ToolTip.visible: hovered || activeFocus
            ToolTip.text: limit.hint
            // Qt 6.4 replaces a text field's accessible description with its placeholder
            // once a screen reader connects; the hint as an unseen placeholder keeps it.
            placeholderText: limit.hint
            placeholderTextColor: "transparent"
            ToolTip.delay: 600

            FocusRing {
                shown: input.activeFocus
            }
        }

        Label {
            text: limit.unit
            textFormat: Text.PlainText
        }
    }

    FieldMessage {
        objectName: limit.objectName + "Problem"
        text: limit.showProblem ? limit.problemText() : ""
    }
}
