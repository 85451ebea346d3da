#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Fails when a tracked C++ or QML file differs from what clang-format or qmlformat make of it.
# With --fix, formats the files in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."

qmlformat=${QMLFORMAT:-/usr/lib/qt6/bin/qmlformat}
mapfile -t cpp < <(git ls-files '*.cpp' '*.h')
mapfile -t qml < <(git ls-files '*.qml')

# Qt 6.4's qmlformat drops the value of "pragma ComponentBehavior: Bound"; put it back.
format_qml() {
    "$qmlformat" "$1" | sed 's/^pragma ComponentBehavior$/pragma ComponentBehavior: Bound/'
}

if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${cpp[@]}"
    for f in "${qml[@]}"; do
        formatted=$(format_qml "$f") && printf '%s\n' "$formatted" >"$f"
    done
    exit 0
fi

status=0
clang-format --dry-run -Werror "${cpp[@]}" || status=1
for f in "${qml[@]}"; do
    if ! format_qml "$f" | diff -q "$f" - >/dev/null; then
        echo "$f: not formatted with qmlformat" >&2
        status=1
    fi
done
[ "$status" -eq 0 ] || echo "run 'make format' to fix the formatting" >&2
exit "$status"
