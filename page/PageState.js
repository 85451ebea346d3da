.pragma library

// The rules of a limit typed as text.

// The whole number a limit field holds, or NaN when its text is not one.
function parseLimit(text) {
    const trimmed = String(text).trim();
    return /^[0-9]{1,15}$/.test(trimmed) ? Number(trimmed) : NaN;
}

// Why a limit text cannot be sent: "" (it can), "empty", "notNumber" or "tooLarge". A value
// beyond the maximum is refused, never clamped.
function limitProblem(text, maximum) {
    const trimmed = String(text).trim();
    if (trimmed === "")
        return "empty";
    if (!/^[0-9]+$/.test(trimmed))
        return "notNumber";
    if (trimmed.length > 15 || Number(trimmed) > maximum)
        return "tooLarge";
    return "";
}
