// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls

// A push button for keyboard and mouse alike: reachable with Tab, pressed with Space, Return
// or Enter, with a focus ring, and `hint` as its tooltip and accessible description.
Button {
    id: button

    required property string hint
    // False in dialogs: the focused button's tip would cover the question.
    property bool tipOnFocus: true

    Accessible.name: text
    Accessible.description: hint
    ToolTip.visible: hint !== "" && (hovered || tipOnFocus && visualFocus)
    ToolTip.text: hint
    ToolTip.delay: 600
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    FocusRing {
        shown: button.visualFocus
    }
}
