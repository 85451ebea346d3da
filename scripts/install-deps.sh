#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Installs the Debian 12 packages the build, the tests and the demo need; skips what is present.
set -euo pipefail

packages=(
    # build
    build-essential cmake ninja-build
    qt6-base-dev qt6-declarative-dev qt6-l10n-tools qt6-tools-dev
    # QML modules the page and its tests import, and the offscreen platform for headless runs
    qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript
    qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-layouts
    qml6-module-qtquick-templates qml6-module-qtquick-window qml6-module-qttest
    qt6-qpa-plugins
    # qmllint, qmlformat and clang-format for the style checks
    qt6-declarative-dev-tools clang-format
    # the memcheck test and the benchmarks
    valgrind libbenchmark-dev
)
case "${1:-}" in
# The fuzzers need clang and its sanitizer runtimes.
--fuzz) packages+=(clang libclang-rt-14-dev) ;;
# `make package`: dependencies of the packages, Debian's build flags, man pages and the checks.
--package) packages+=(dpkg-dev help2man lintian) ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y "${missing[@]}"
