// SPDX-License-Identifier: BSD-3-Clause
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import ScheduleBackup.Page

// The scheduled-backup settings page. It talks to the server only through the plug-in object
// `scheduleBackup`, by way of its session: it calls the plug-in's invokables and reads its
// properties, which change only once the server has confirmed a change. What the operator typed
// stays on the page until it is saved, discarded or reloaded on purpose.
Page {
    id: page

    // The schedule-backup plug-in.
    required property var scheduleBackup
    // Handed to every request; the plug-in applies settings replies only for the path of the
    // latest load, so the page uses one path for everything.
    property string relayPath: "schedule-page"
    // [{id, group, name}]: cameras to choose from. Cameras of the loaded settings that are not
    // in it are offered too, as no longer in the inventory, so they can be unticked.
    property var cameraInventory: []
    // Result code and reason of the last refused save, when the host reports them ("1001": the
    // settings changed elsewhere). Without them a refusal is reported without its cause.
    property alias lastRefusal: session.refusalCode
    property alias lastRefusalReason: session.refusalReason
    readonly property int minimumWidth: 800
    readonly property int minimumHeight: 600

    readonly property alias session: session
    readonly property bool loaded: session.loaded
    readonly property bool saving: session.saving
    readonly property bool editable: session.editable
    readonly property var changedFields: session.changedFields
    readonly property bool modified: session.modified
    readonly property bool scheduleModified: session.scheduleModified

    // The window may close now.
    signal closeAccepted

    // Puts a value read from the plug-in into its editor.
    function setField(field, value) {
        switch (field) {
        case "enabled":
            settings.backupEnabled = value;
            break;
        case "cyclic":
            settings.cyclic = value;
            break;
        case "dir":
            settings.targetDir = value;
            break;
        case "throughput":
            settings.throughputText = value;
            break;
        case "range":
            settings.rangeText = value;
            break;
        case "cameras":
            cameras.setSelection(value.all, value.ids);
            break;
        case "scheduleName":
            schedule.name = value;
            break;
        case "schedule":
            schedule.document = value;
            break;
        }
    }

    function focusFirstProblem() {
        if (settings.acceptable && !cameras.acceptable)
            cameras.focusFirstProblem();
        else if (!settings.acceptable)
            settings.focusFirstProblem();
    }

    function reload() {
        return session.load();
    }

    function requestReload() {
        return session.requestReload();
    }

    function save() {
        return session.save();
    }

    function saveScheduleOnly() {
        return session.saveScheduleOnly();
    }

    function overwrite() {
        return session.overwrite();
    }

    // Scrolls the page so that `item`, when it is on the scrolled part, is in view with a
    // margin: Tab then never leaves the keyboard below the fold.
    function ensureVisible(item) {
        const flick = scroller.contentItem as Flickable;
        let inside = item;
        while (inside && inside !== flick.contentItem)
            inside = inside.parent;
        if (!inside || !item.visible)
            return;
        const top = item.mapToItem(flick.contentItem, 0, 0).y - 12;
        const bottom = Math.min(top + item.height + 24, top + flick.height);
        if (top < flick.contentY)
            flick.contentY = Math.max(0, top);
        else if (bottom > flick.contentY + flick.height)
            flick.contentY = Math.min(bottom - flick.height, flick.contentHeight - flick.height);
    }

    // Called by the window before it closes; true when it may close now.
    function requestClose() {
        return session.requestClose();
    }

    title: qsTr("Scheduled backup")
    // Keys reach the page only when no editor takes them: while a save is in flight the editors
    // are inactive, and a typed key is refused visibly instead of vanishing.
    // The page holds the keyboard until the operator moves it: the first Tab then goes to the
    // first control, not to whatever the window's focus chain begins with.
    focus: true
    Keys.onPressed: event => {
        if (event.key === Qt.Key_Tab && event.modifiers === Qt.NoModifier && Window.activeFocusItem === page && page.editable) {
            settings.focusFirst();
            event.accepted = true;
        } else if (session.refuseKey(event.key, event.text)) {
            event.accepted = true;
        }
    }
    implicitWidth: 1120
    implicitHeight: 780
    Accessible.role: Accessible.Pane
    Accessible.name: title
    // The style's grey for inactive text is too faint to read; these keep 3:1 and more.
    palette.disabled.windowText: PageColors.disabledText
    palette.disabled.text: PageColors.disabledText
    palette.disabled.buttonText: PageColors.disabledText

    readonly property Item focusedItem: Window.activeFocusItem
    onFocusedItemChanged: ensureVisible(focusedItem)

    PageSession {
        id: session

        plugin: page.scheduleBackup
        relayPath: page.relayPath
        cameraInventory: page.cameraInventory
        acceptable: settings.acceptable && cameras.acceptable
        edits: ({
                "enabled": settings.backupEnabled,
                "cyclic": settings.cyclic,
                "dir": settings.targetDir,
                "throughput": settings.throughputText,
                "range": settings.rangeText,
                "cameras": {
                    "all": cameras.allCameras,
                    "ids": cameras.selectedIds
                },
                "scheduleName": schedule.name,
                "schedule": schedule.document
            })
        onShowValues: values => {
            for (const field in values)
                page.setField(field, values[field]);
        }
        onProblemsMarked: page.focusFirstProblem()
        onCloseAccepted: page.closeAccepted()
    }

    // The schedule the server holds, to tell whether there is a window to wait for.
    WeekGridModel {
        id: confirmedSchedule

        document: page.scheduleBackup.scheduleTemplate
    }

    PageDialogs {
        session: session
    }

    // After a reload the old values are gone, and so is the place the operator worked on:
    // the keyboard goes to the first field rather than staying on Reload, where a second
    // Space would reload again.
    Connections {
        property bool reloading

        function onStateChanged() {
            if (session.state === PageSession.Loading && session.loaded)
                reloading = true;
            else if (session.state === PageSession.Idle && reloading) {
                reloading = false;
                // Once the fields are active again, after this change has reached them.
                focusFirstLater.start();
            }
        }

        target: session
    }

    Timer {
        id: focusFirstLater

        interval: 0
        onTriggered: settings.focusFirst()
    }

    Shortcut {
        sequence: "Ctrl+S"
        onActivated: page.save()
    }

    Shortcut {
        sequences: ["F5", "Ctrl+R"]
        onActivated: page.requestReload()
    }

    // One history for the week grid and the camera list: Ctrl+Z undoes the newer edit of the
    // two, Ctrl+Y redoes the step undone last. A text field with the focus keeps Ctrl+Z for its
    // own text.
    function undo() {
        const grid = schedule.grid.model, list = cameras.model;
        if (list.undoSerial > grid.undoSerial && cameras.enabled)
            list.undo();
        else if (grid.undoSerial > 0 && schedule.enabled)
            schedule.grid.undo();
    }

    // A step undone before a newer edit was made is no longer redone.
    function redo() {
        const grid = schedule.grid.model, list = cameras.model;
        const newest = Math.max(grid.undoSerial, list.undoSerial);
        const gridNext = grid.redoSerial > newest && schedule.enabled;
        const listNext = list.redoSerial > newest && cameras.enabled;
        if (listNext && (!gridNext || list.redoSerial < grid.redoSerial))
            list.redo();
        else if (gridNext)
            schedule.grid.redo();
    }

    Shortcut {
        sequence: "Ctrl+Z"
        enabled: page.editable
        onActivated: page.undo()
    }

    Shortcut {
        sequences: ["Ctrl+Shift+Z", "Ctrl+Y"]
        enabled: page.editable
        onActivated: page.redo()
    }

    header: ToolBar {
        Accessible.name: page.title

        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 12

            Label {
                Layout.fillWidth: true
                text: page.title
                font.pointSize: 13
                font.bold: true
                Accessible.role: Accessible.Heading
                Accessible.name: text
            }
        }
    }

    ScrollView {
        id: scroller

        objectName: "pageScroller"
        anchors.fill: parent
        padding: 12
        contentWidth: availableWidth
        Accessible.role: Accessible.Pane
        Accessible.name: qsTr("Settings")

        // Shown whenever the page is taller than the window, not only while hovered.
        ScrollBar.vertical: ScrollBar {
            parent: scroller
            x: scroller.mirrored ? 0 : scroller.width - width
            y: scroller.topPadding
            height: scroller.availableHeight
            policy: scroller.contentHeight > scroller.availableHeight ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
            Accessible.name: qsTr("Scroll the page")
        }

        ScrollBar.horizontal.policy: ScrollBar.AlwaysOff

        RowLayout {
            width: scroller.availableWidth
            height: Math.max(implicitHeight, scroller.availableHeight)
            spacing: 12

            ColumnLayout {
                Layout.preferredWidth: 380
                Layout.minimumWidth: 330
                Layout.maximumWidth: 440
                Layout.fillHeight: true
                spacing: 12

                SettingsPane {
                    id: settings

                    objectName: "settingsPane"
                    Layout.fillWidth: true
                    enabled: page.editable
                    saving: page.saving
                    showProblems: page.loaded
                    dirRefusal: session.refusalActive && session.refusalField === "dir" ? qsTr("The server needs a target directory.") : ""
                }

                CameraSelector {
                    id: cameras

                    objectName: "cameraSelector"
                    choices: session.cameraChoices
                    Layout.fillWidth: true
                    enabled: page.editable
                    saving: page.saving
                    Layout.fillHeight: true
                    Layout.minimumHeight: 220
                    showProblems: page.loaded
                    refusal: session.refusalActive && session.refusalField === "cameras" ? qsTr("The server does not know one of the selected cameras.") : ""
                }
            }

            ColumnLayout {
                Layout.fillWidth: true
                Layout.fillHeight: true
                spacing: 12

                ScheduleEditor {
                    id: schedule

                    objectName: "scheduleEditor"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    enabled: page.editable && settings.backupEnabled
                    saving: page.saving
                    refusal: session.refusalActive && session.refusalField === "schedule" ? qsTr("The server refused this schedule.") : ""
                }

                StatusPane {
                    id: statusPane

                    objectName: "statusPane"
                    Layout.fillWidth: true
                    // Below the fold at 800x600 rather than squeezed out of sight.
                    Layout.minimumHeight: implicitHeight
                    plugin: page.scheduleBackup
                    relayPath: page.relayPath
                    polling: page.loaded
                }
            }
        }
    }

    BusyIndicator {
        objectName: "loadingIndicator"
        anchors.centerIn: parent
        running: !page.loaded && page.session.busy
        visible: running
        Accessible.name: qsTr("Loading settings")
    }

    footer: PageFooter {
        session: session
    }
}
