// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls

// A day or hour label of the week grid: clicking it fills or empties the cells it names. It
// takes no focus, so the grid keeps the keyboard.
AbstractButton {
    id: control

    property string accessibleName
    property string accessibleDescription
    property int horizontalAlignment: Text.AlignHCenter
    property int pixelSize: 12

    focusPolicy: Qt.NoFocus
    hoverEnabled: true
    padding: 0
    rightPadding: horizontalAlignment === Text.AlignRight ? 4 : 0
    Accessible.name: accessibleName
    Accessible.description: accessibleDescription

    contentItem: Text {
        text: control.text
        font.pixelSize: control.pixelSize
        // Window text on the window colour keeps the labels readable (well above 4.5:1).
        color: control.palette.windowText
        horizontalAlignment: control.horizontalAlignment
        verticalAlignment: Text.AlignVCenter
    }

    background: Rectangle {
        radius: 2
        color: control.down ? control.palette.mid : control.hovered ? control.palette.midlight : "transparent"
    }
}
