// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// A problem with the field above it, in words; takes no room while there is none.
Label {
    Layout.fillWidth: true
    visible: text !== ""
    wrapMode: Text.Wrap
    textFormat: Text.PlainText
    color: PageColors.error
    Accessible.role: Accessible.AlertMessage
    Accessible.name: text
}
