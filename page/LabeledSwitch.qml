import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// A form row: the label on the left, the switch at the right edge.
RowLayout {
    id: row

    property alias text: label.text
    property alias checked: toggle.checked

    signal toggled

    spacing: 12

    Label {
        id: label

        Layout.fillWidth: true
        elide: Text.ElideRight
    }

    Switch {
        id: toggle

        Accessible.name: label.text
        onToggled: row.toggled()
    }
}
