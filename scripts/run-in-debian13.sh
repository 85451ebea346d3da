#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Runs `make test` on a fresh clone of the checked-out commit inside a Debian 13 (trixie) root,
# the second supported generation (Qt 6.8, GCC 14). The root is made once with debootstrap into a
# folder outside the clone and reused; /proc and /dev are mounted only for the run. Without root
# rights or without the package registry the step says so in one line and skips.
#
# Environment: DEBIAN13_ROOT (default /var/tmp/schedule-backup-trixie), DEBIAN_MIRROR,
# JOBS (default: the number of processors).
set -euo pipefail

root=${DEBIAN13_ROOT:-/var/tmp/schedule-backup-trixie}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
jobs=${JOBS:-$(nproc)}

skip() {
    echo "Debian 13 run skipped: $*"
    exit 0
}

[ "$(id -u)" -eq 0 ] || skip "debootstrap needs root"
repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
commit=$(git -C "$repo" rev-parse HEAD)
case "$root" in "$repo" | "$repo"/*) skip "$root lies inside the clone" ;; esac

export DEBIAN_FRONTEND=noninteractive
if ! command -v debootstrap >/dev/null; then
    { apt-get install -y debootstrap || { apt-get update && apt-get install -y debootstrap; }; } \
        >/dev/null 2>&1 || skip "debootstrap cannot be installed (no network?)"
fi

# A root counts as made only once debootstrap finished, so an interrupted one is made again.
if [ ! -e "$root/.debootstrap-complete" ]; then
    rm -rf "$root"
    log=$(mktemp)
    if ! debootstrap --variant=minbase trixie "$root" "$mirror" >"$log" 2>&1; then
        rm -rf "$root"
        skip "debootstrap could not reach $mirror (log: $log)"
    fi
    rm -f "$log"
    touch "$root/.debootstrap-complete"
fi

mounts=()
cleanup() {
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount "${mounts[i]}" || umount -l "${mounts[i]}" || true
    done
}
trap cleanup EXIT
mount -t proc proc "$root/proc" && mounts+=("$root/proc")
mount --bind /dev "$root/dev" && mounts+=("$root/dev")
cp /etc/resolv.conf "$root/etc/resolv.conf"

# A fresh clone of exactly this commit; the host's clone may have a dirty tree.
src=/var/tmp/schedule-backup
rm -rf "$root$src"
git clone --quiet --no-local --no-checkout "$repo" "$root$src"
git -C "$root$src" -c advice.detachedHead=false checkout --quiet "$commit"

in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
# The minimal root has no make; the project's own script installs everything else.
if ! in_root sh -c 'command -v make' >/dev/null; then
    in_root sh -c 'apt-get update -qq && apt-get install -y -qq make' >/dev/null
fi
status=0
in_root make -C "$src" test JOBS="$jobs" || status=$?
echo "Debian 13 run ($(cat "$root/etc/debian_version")): $(cat "$root$src/build/toolchain.txt" \
    2>/dev/null || echo "toolchain unknown: the build did not configure")"
exit $status
