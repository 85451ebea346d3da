// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// A form row: the label on the left, the switch at the right edge. `hint` says what the setting
// does; it is the tooltip and the accessible description.
RowLayout {
    id: row

    property alias text: label.text
    property alias checked: toggle.checked
    required property string hint
    readonly property alias control: toggle

    signal toggled

    spacing: 12

    Label {
        id: label

        Layout.fillWidth: true
        // Centred on the switch also while the layout still reserves room for a wrapped line.
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.Wrap
        textFormat: Text.PlainText
    }

    Switch {
        id: toggle

        Accessible.name: label.text
        Accessible.description: row.hint
        ToolTip.visible: hovered || visualFocus
        ToolTip.text: row.hint
        ToolTip.delay: 600
        onToggled: row.toggled()

        FocusRing {
            shown: toggle.visualFocus
        }
    }
}
