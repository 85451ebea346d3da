#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Puts the licence line at the top of every file scripts/check-spdx.sh lists, after a "#!" line
# if there is one, as a comment in the file's own syntax.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly tag='SPDX-License-Identifier: BSD-3-Clause'
mapfile -t files < <(scripts/check-spdx.sh 2>/dev/null || true)

comment_for() {
    case "$1" in
    *.cpp | *.h | *.qml | *.js) echo "// $tag" ;;
    *) echo "# $tag" ;;
    esac
}

for f in "${files[@]}"; do
    line=$(comment_for "$f")
    marker=${line%% *} # "//" or "#"
    tmp=$(mktemp "$f.XXXXXX")
    {
        first=""
        IFS= read -r first || true
        if [[ "$first" == '#!'* ]]; then
            printf '%s\n%s\n' "$first" "$line"
        else
            printf '%s\n' "$line"
            if [ -s "$f" ]; then
                # A blank line parts the licence from code, except in QML, where qmlformat
                # takes it out again; a header comment simply follows the licence.
                [ -z "$first" ] || [[ "$first" == "$marker"* || "$f" == *.qml ]] || echo
                printf '%s\n' "$first"
            fi
        fi
        cat
    } <"$f" >"$tmp"
    chmod --reference="$f" "$tmp"
    mv "$tmp" "$f"
    echo "$f"
done
