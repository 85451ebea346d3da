.pragma library

// The page's settings as plain values ({enabled, cyclic, dir, throughput, range, cameras:
// {all, ids}, scheduleName, schedule}), so a change is told by comparing values, never by
// remembering that an edit happened.

var fields = ["enabled", "cyclic", "dir", "throughput", "range", "cameras", "scheduleName", "schedule"];
var scheduleFields = ["scheduleName", "schedule"];

// The whole number a limit field holds, or NaN when its text is not one.
function parseLimit(text) {
    const trimmed = String(text).trim();
    return /^[0-9]{1,15}$/.test(trimmed) ? Number(trimmed) : NaN;
}

function sameIds(a, b) {
    const left = new Set(a);
    const right = new Set(b);
    if (left.size !== right.size)
        return false;
    for (const id of left) {
        if (!right.has(id))
            return false;
    }
    return true;
}

function sameLimit(a, b) {
    const left = parseLimit(a);
    const right = parseLimit(b);
    if (isNaN(left) || isNaN(right))
        return String(a) === String(b);
    return left === right;
}

function fieldDiffers(field, a, b) {
    switch (field) {
    case "cameras":
        if (a.cameras.all !== b.cameras.all)
            return true;
        return !a.cameras.all && !sameIds(a.cameras.ids, b.cameras.ids);
    case "throughput":
    case "range":
        return !sameLimit(a[field], b[field]);
    default:
        return a[field] !== b[field];
    }
}

function changedFields(a, b) {
    return fields.filter(field => fieldDiffers(field, a, b));
}

// Whether any of `names` ("schedule" stands for the name and the week) changed from a to b.
function anyChanged(names, a, b) {
    return changedFields(a, b).some(field => names.indexOf(field) >= 0 || (names.indexOf("schedule") >= 0 && scheduleFields.indexOf(field) >= 0));
}
