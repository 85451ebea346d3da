import QtQuick

// The page's exchange with the plug-in: which request is in flight, what came back and what was
// refused. It never touches an editor; it tells the page when to read the plug-in's values and
// when to send its own again.
QtObject {
    id: session

    required property var plugin
    required property string relayPath

    // The request in flight: "" (none), "load", "save", "saveSchedule", "readBack" (the schedule
    // after a schedule-only save) or "overwriteLoad" (the newest revision before overwriting it).
    // The viewer asks for the settings when it starts, hence "load".
    property string activity: "load"
    property bool loaded: false
    // The kind of the last refused save, "update" or "schedule"; "" when it was not refused.
    property string refused
    // "saved" or "scheduleSaved" after a confirmed save, "alreadyStored" when an overwrite found
    // nothing to send; until the next request.
    property string outcome
    // "sendFailed", "loadFailed" or "readBackFailed" when a step failed without a refusal.
    property string failure
    readonly property bool busy: activity !== ""
    readonly property bool saving: activity === "save" || activity === "saveSchedule" || activity === "readBack" || activity === "overwriteLoad"

    // The page copies the plug-in's values into its editors: "all", "rebase" (only fields the
    // operator left alone) or "readBack" (those and the schedule).
    signal readRequested(string mode)
    // The newest revision is in and the editors are rebased on it: the page shows where the
    // operator's values differ before sending the refused save again.
    signal overwriteReady(string kind)
    // A request went out.
    signal started
    signal saveRefused
    // A request finished, whatever its outcome.
    signal settled

    function begin(nextActivity, sent) {
        failure = sent ? "" : "sendFailed";
        outcome = "";
        if (sent) {
            refused = "";
            activity = nextActivity;
            started();
        }
        return sent;
    }

    function load() {
        return begin("load", plugin.getBackupInfo(relayPath));
    }

    // Loads the newest revision; the fields the operator left alone take its values, the edited
    // ones stay, and the page is asked to review the refused save.
    function overwrite() {
        const kind = refused;
        if (kind === "" || busy)
            return false;
        if (!begin("overwriteLoad", plugin.getBackupInfo(relayPath)))
            return false;
        overwriteKind = kind;
        return true;
    }

    property string overwriteKind

    function finish(failureKind) {
        activity = "";
        failure = failureKind;
        settled();
    }

    property Connections replies: Connections {
        function onGetBackupInfoResp(success) {
            const was = session.activity;
            if (!success) {
                if (was === "load" || was === "overwriteLoad")
                    session.finish("loadFailed");
                else if (was === "readBack")
                    session.finish("readBackFailed");
                if (was === "overwriteLoad")
                    session.refused = session.overwriteKind;
                return;
            }
            session.plugin.getBackupPathInfo(session.relayPath);
            switch (was) {
            case "load":
                session.loaded = true;
                session.readRequested("all");
                session.finish("");
                break;
            case "readBack":
                session.readRequested("readBack");
                session.finish("");
                break;
            case "overwriteLoad":
                session.readRequested("rebase");
                // Before settled: a close waiting for this reply asks its own question.
                session.overwriteReady(session.overwriteKind);
                session.finish("");
                break;
            default:
                // Someone else asked with the page's path: take what the operator left alone.
                if (session.loaded && !session.busy)
                    session.readRequested("rebase");
            }
        }

        function onUpdBackupInfoResp(success) {
            if (session.activity !== "save")
                return;
            if (success) {
                session.outcome = "saved";
                session.readRequested("all");
                session.plugin.getBackupPathInfo(session.relayPath);
            } else {
                session.refused = "update";
                session.saveRefused();
            }
            session.finish("");
        }

        function onUpdateScheduleResp(success) {
            if (session.activity !== "saveSchedule")
                return;
            if (!success) {
                session.refused = "schedule";
                session.saveRefused();
                session.finish("");
                return;
            }
            // The plug-in keeps its old schedule until it is loaded again.
            session.outcome = "scheduleSaved";
            if (session.plugin.getBackupInfo(session.relayPath))
                session.activity = "readBack";
            else
                session.finish("readBackFailed");
        }

        target: session.plugin
    }
}
