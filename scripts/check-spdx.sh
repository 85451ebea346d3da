#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Fails when a tracked source, CMake, QML, JavaScript or script file lacks the licence line in its
# first five lines, and lists those files on stdout (scripts/add-spdx.sh reads that list).
set -euo pipefail
cd "$(dirname "$0")/.."

readonly tag='SPDX-License-Identifier: BSD-3-Clause'
# ':(glob)**/' matches at any depth, the top folder included.
patterns=()
for p in '*.cpp' '*.h' '*.qml' '*.js' '*.cmake' '*.sh' '*.bash' '*.py' CMakeLists.txt Makefile; do
    patterns+=(":(glob)**/$p")
done
mapfile -t files < <(git ls-files -- "${patterns[@]}" .ci/run)

missing=0
for f in "${files[@]}"; do
    # Deleted from the work tree but still tracked: nothing to check.
    [ -f "$f" ] || continue
    if ! head -n 5 -- "$f" | grep -qF "$tag"; then
        printf '%s\n' "$f"
        missing=$((missing + 1))
    fi
done
if [ "$missing" -gt 0 ]; then
    echo "$missing file(s) lack '$tag' in their first 5 lines; run scripts/add-spdx.sh" >&2
    exit 1
fi
