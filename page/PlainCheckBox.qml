// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls

// A check box whose text is shown as plain text, for names that come from stored data; `hint`
// is its tooltip and accessible description.
CheckBox {
    id: box

    property string hint

    Accessible.name: text
    Accessible.description: hint
    ToolTip.visible: hint !== "" && (hovered || visualFocus)
    ToolTip.text: hint
    ToolTip.delay: 600

    contentItem: Label {
        leftPadding: box.indicator && !box.mirrored ? box.indicator.width + box.spacing : 0
        rightPadding: box.indicator && box.mirrored ? box.indicator.width + box.spacing : 0
        text: box.text
        textFormat: Text.PlainText
        elide: Text.ElideRight
        verticalAlignment: Text.AlignVCenter
    }

    FocusRing {
        shown: box.visualFocus
    }
}
