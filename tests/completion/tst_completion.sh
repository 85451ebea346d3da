#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Sources the bash completion of schedule-backup-host and checks what it offers for a table of
# command lines. Usage: tst_completion.sh <completion file>
set -uo pipefail
source "$1" || exit 1

# A folder with one subfolder and one file for the file and folder cases.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/store"
touch "$scratch/trace.log"
cd "$scratch" || exit 1

# Splits the line as bash does with the default COMP_WORDBREAKS (blanks and "=", which stays a
# word of its own), completes the last word and prints the offers sorted on one line.
offers()
{
    local line=$1 words=()
    read -ra words <<<"${line//=/ = }"
    [[ $line == *' ' ]] && words+=("")
    COMP_WORDS=("${words[@]}")
    COMP_CWORD=$((${#words[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    local function
    function=$(complete -p schedule-backup-host | sed -n 's/.*-F \([^ ]*\) .*/\1/p')
    "$function" 2>/dev/null
    printf '%s\n' "${COMPREPLY[@]}" | sort | xargs
}

# name | command line | expected offers
cases=(
    "commands by prefix|schedule-backup-host s|schedule set show status"
    "every command|schedule-backup-host |cameras next schedule set show status"
    "no second command|schedule-backup-host show s|"
    "value is not the command|schedule-backup-host --data show s|schedule set show status"
    "value after equals is not the command|schedule-backup-host --data=show s|schedule set show status"
    "switch values|schedule-backup-host --enabled |off on"
    "switch value by prefix|schedule-backup-host set --cyclic o|off on"
    "switch value after equals|schedule-backup-host set --enabled=|off on"
    "switch value after equals by prefix|schedule-backup-host --cyclic=of|off"
    "trace levels|schedule-backup-host --trace |0 1 2 3 4 5"
    "options of set|schedule-backup-host set --c|--cameras --cyclic"
    "options of next|schedule-backup-host next --a|--at"
    "options of cameras|schedule-backup-host cameras --|--data --group --help --help-all --json --latency --plugin-dir --timeout --trace --trace-file --version"
    "no options of another command|schedule-backup-host show --a|"
    "global options before a command|schedule-backup-host --t|--timeout --trace --trace-file"
    "data is a folder|schedule-backup-host --data |store"
    "plugin dir is a folder|schedule-backup-host show --plugin-dir s|store"
    "trace file is a file|schedule-backup-host --trace-file |store trace.log"
    "free values get nothing|schedule-backup-host set --name |"
)

failed=0
for row in "${cases[@]}"; do
    IFS='|' read -r name line expected <<<"$row"
    actual=$(offers "$line")
    if [[ $actual == "$expected" ]]; then
        echo "PASS: $name"
    else
        echo "FAIL: $name: '$line' offers '$actual', expected '$expected'"
        failed=1
    fi
done
exit "$failed"
