// SPDX-License-Identifier: BSD-3-Clause
pragma Singleton
import QtQuick

// Colours the page adds to the style's palette. Each text colour has a contrast of at least
// 4.5:1 on the light window colour (#efefef) and the base (white); the focus ring differs from the selection's blue.
QtObject {
    readonly property color error: "#b3261e"
    readonly property color hint: "#4a4a4a"
    readonly property color focusRing: "#c2410c"
    // Inactive text: at least 3:1 on the window colour and on the base (white).
    readonly property color disabledText: "#767676"
}
