// SPDX-License-Identifier: BSD-3-Clause
import QtQuick

// Asked after a conflict, once the newest settings are in: lists the fields where this page's
// values differ from the stored ones. Only those are written; the fields the operator left
// alone already show the stored values, changes made elsewhere included.
ConfirmDialog {
    id: dialog

    // Opens the dialog for `fields`, comparing the stored values with the operator's.
    function review(fields, stored, yours) {
        const lines = fields.map(field => "• " + describe(field, stored, yours));
        text = qsTr("The settings were changed elsewhere. The stored values of the other fields, changes made elsewhere included, are kept. Overwrite writes only your values of these fields:") + "\n" + lines.join("\n");
        open();
    }

    // Fills %1 and %2 in one pass, so a stored value that holds "%2" is shown as it is.
    function fill(text, stored, yours) {
        return text.replace(/%([12])/g, (match, n) => n === "1" ? stored : yours);
    }

    function quoted(value) {
        return qsTr("“%1”").arg(value);
    }

    function describe(field, stored, yours) {
        switch (field) {
        case "enabled":
            return fill(qsTr("Back up on schedule: stored %1, yours %2"), onOff(stored.enabled), onOff(yours.enabled));
        case "cyclic":
            return fill(qsTr("Overwrite oldest recordings: stored %1, yours %2"), onOff(stored.cyclic), onOff(yours.cyclic));
        case "dir":
            return fill(qsTr("Target directory: stored %1, yours %2"), quoted(stored.dir), quoted(yours.dir));
        case "throughput":
            return fill(qsTr("Max. throughput: stored %1 MB, yours %2 MB"), stored.throughput, yours.throughput);
        case "range":
            return fill(qsTr("Time range: stored %1 days, yours %2 days"), stored.range, yours.range);
        case "cameras":
            return fill(qsTr("Cameras: stored %1, yours %2"), cameraText(stored.cameras), cameraText(yours.cameras));
        case "scheduleName":
            return fill(qsTr("Schedule name: stored %1, yours %2"), quoted(stored.scheduleName), quoted(yours.scheduleName));
        }
        return qsTr("Week grid: yours differs from the stored one");
    }

    function onOff(on) {
        return on ? qsTr("on") : qsTr("off");
    }

    // A long camera list is cut: the dialog has to fit the window.
    function cameraText(cameras) {
        if (cameras.all)
            return qsTr("all cameras");
        const shown = cameras.ids.slice(0, 5).join(", ");
        return cameras.ids.length > 5 ? qsTr("%1 and %n more", "", cameras.ids.length - 5).arg(shown) : shown === "" ? qsTr("none") : shown;
    }

    title: qsTr("Overwrite the stored settings?")
    confirmText: qsTr("Overwrite")
    confirmHint: qsTr("Saves the listed values of this page over the stored ones and keeps the other stored values.")
    confirmName: "overwriteConfirmButton"
    cancelName: "overwriteCancelButton"
    textName: "overwriteList"
}
