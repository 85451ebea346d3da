// SPDX-License-Identifier: BSD-3-Clause
import QtQuick

// A ring around the parent while it has keyboard focus: 2 px, in a colour of its own so it is
// never mistaken for a selection. Controls pass their visualFocus, so a mouse click shows none.
Rectangle {
    property bool shown: parent ? parent.activeFocus : false

    anchors.fill: parent
    anchors.margins: -3
    z: 100
    radius: 3
    color: "transparent"
    border.width: 2
    border.color: PageColors.focusRing
    visible: shown
}
