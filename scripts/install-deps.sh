#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Installs the Debian packages the build, the tests and the demo need; skips what is present.
# Tested on Debian 12 (Qt 6.4) and Debian 13 (Qt 6.8); the package names are the same on both.
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
    # the German locale the command line's tests run in (see below)
    locales
)
case "${1:-}" in
# The fuzzers need clang and its sanitizer runtimes.
--fuzz)
    # The runtimes' package is versioned like clang: libclang-rt-14-dev on Debian 12.
    clang_major=$(apt-cache show clang 2>/dev/null | sed -n 's/^Depends:.*clang-\([0-9]\+\).*/\1/p' | head -1)
    packages+=(clang "libclang-rt-${clang_major:-14}-dev")
    ;;
# `make package`: dependencies of the packages, Debian's build flags, man pages and the checks.
--package) packages+=(dpkg-dev help2man lintian) ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update
    $sudo apt-get install -y "${missing[@]}"
fi
# The command line's tests read German day names with LC_ALL=de_DE.UTF-8. Qt 6.5 and later
# replace a locale the system does not have with C.UTF-8, so it must be there.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
