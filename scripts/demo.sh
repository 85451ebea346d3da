#!/bin/sh
# SPDX-License-Identifier: BSD-3-Clause
# Runs the demo host against its embedded backup service: shows the seeded settings, changes a
# few of them through the plug-in, shows them again and asks for the next backup start.
# Usage: scripts/demo.sh <build-dir>   (DEMO_DATA=<dir> keeps the data somewhere else)
set -eu

build_dir=${1:-build}
host="$build_dir/bin/schedule-backup-host"
data=${DEMO_DATA:-"$build_dir/demo-data"}

if [ ! -x "$host" ]; then
    echo "demo: $host not found; build the project first" >&2
    exit 1
fi
mkdir -p "$data"

step() {
    printf '\n$ schedule-backup-host %s\n' "$*"
    "$host" "$@" --data "$data" --latency 100
}

step show
step set --enabled on --dir /srv/backup/video --throughput 40 --range 7 \
    --cameras cam-01,cam-05,cam-09 --schedule "Mon-Fri 09:00-17:00; Sat 10:00-12:30" \
    --name "Shop hours"
step next
step status
step set --cameras all --schedule "Mon-Fri 09:00-17:00" --name "Office hours" --range 2 \
    --throughput 30
printf '\nData file: %s/schedule-backup.xml\n' "$data"
