#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Installs the build into a temporary prefix and uses it as a packager, an operator and a host
# developer would, with the build tree out of reach:
#  - the prefix is moved after the install, so only run paths relative to the binaries work;
#  - the dynamic loader's log shows that nothing is loaded from the build tree or the old prefix;
#  - the programs run from the moved prefix, in English and German;
#  - the installed example host is configured with find_package, built and run;
#  - a bare QQmlEngine imports ScheduleBackup.Page from the package's QML import path.
# Usage: test-install.sh --build DIR --probe PROGRAM --version X.Y.Z and the install
# folders below the prefix: --bindir --libdir --plugindir --qmldir --translationsdir --includedir
# --examplesdir.
set -euo pipefail

while [ $# -gt 0 ]; do
    name=${1#--}
    declare "$name=$2"
    shift 2
done

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
step() { echo "== $*"; }

# The prefix lives outside the build tree; kept for a look when a check fails.
work=$(mktemp -d "${TMPDIR:-/tmp}/schedule-backup-install.XXXXXX")
trap 'if [ $? -eq 0 ]; then rm -rf "$work"; else echo "left for inspection: $work" >&2; fi' EXIT
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
installed=$work/installed
prefix=$work/moved

# Nothing from the caller's environment may point the programs at the build tree.
unset LD_LIBRARY_PATH QML_IMPORT_PATH QML2_IMPORT_PATH QT_PLUGIN_PATH
export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_RUNTIME_DIR=$work/runtime
export QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software LANGUAGE=en LC_ALL=C.UTF-8

step "install into $installed, then move it to $prefix"
cmake --install "$build" --prefix "$installed" >"$work/install.log"
mv "$installed" "$prefix"

step "layout"
for file in "$bindir/schedule-backup-host" "$bindir/schedule-backup-page" \
    "$libdir/libXML2Json.so" "$libdir/libZeltLogUtl.so" \
    "$plugindir/libPluginScheduleBackup.so" \
    "$qmldir/ScheduleBackup/Page/qmldir" \
    "$translationsdir/schedule-backup-host_de.qm" \
    "$qmldir/ScheduleBackup/Page/i18n/schedulebackup_de.qm" \
    "$includedir/hostapi/PluginBase.h" \
    "$examplesdir/minimal-host/CMakeLists.txt"; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
compgen -G "$prefix/$qmldir/ScheduleBackup/Page/*.qmltypes" >/dev/null \
    || fail "the QML module has no type information"
# The libraries are private: nothing of ours in the public library folder.
public_libs=$(find "$prefix/$(dirname "$libdir")" -maxdepth 1 -name '*.so*')
[ -z "$public_libs" ] || fail "libraries in the public library folder: $public_libs"

step "run paths"
while IFS= read -r -d '' elf; do
    runpath=$(readelf -d "$elf" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]/\2/p')
    for entry in ${runpath//:/ }; do
        case $entry in
        '$ORIGIN'*) ;;
        *) fail "${elf#"$prefix"/} has run path $entry" ;;
        esac
    done
done < <(find "$prefix" -type f \( -name '*.so' -o -perm -u+x \) -exec sh -c \
    'head -c4 "$1" | grep -q ELF' _ {} \; -print0)

# Runs a program of the prefix with the loader's log; fails when any library came from the
# build tree or the old prefix, or when one of ours did not come from the moved prefix.
run_logged() {
    local log=$1
    shift
    LD_DEBUG=libs LD_DEBUG_OUTPUT=$log "$@"
}
check_loads() {
    local log=$1
    shift
    local loaded
    loaded=$(grep -h 'calling init:' "$log".* | sed 's/.*calling init: //' | sort -u)
    if grep -e "$build" -e "$installed" <<<"$loaded"; then
        fail "loaded from the build tree or the old prefix"
    fi
    for lib in "$@"; do
        grep -qx "$prefix/.*/$lib" <<<"$loaded" || fail "$lib was not loaded from $prefix"
    done
}

step "schedule-backup-host show"
data=$work/data
run_logged "$work/ld-show" "$prefix/$bindir/schedule-backup-host" show --data "$data" \
    >"$work/show.txt" || fail "show failed: $(cat "$work/show.txt")"
[ "$(head -n1 "$work/show.txt")" = "Scheduled backup" ] || fail "unexpected output of show"
check_loads "$work/ld-show" libPluginScheduleBackup.so libXML2Json.so libZeltLogUtl.so
german=$(LANGUAGE=de "$prefix/$bindir/schedule-backup-host" show --data "$data" | head -n1)
[ "$german" != "Scheduled backup" ] || fail "show is not translated"
"$prefix/$bindir/schedule-backup-host" --version | grep -qx "schedule-backup-host $version" \
    || fail "schedule-backup-host --version is not $version"

step "schedule-backup-page --screenshot"
run_logged "$work/ld-page" "$prefix/$bindir/schedule-backup-page" --data "$data" \
    --screenshot "$work/page.png" || fail "the viewer's screenshot run failed"
[ -s "$work/page.png" ] || fail "no screenshot"
check_loads "$work/ld-page" libschedule-backup-page-qmlplugin.so libschedule-backup-page-qml.so \
    libPluginScheduleBackup.so
[ "$(LANGUAGE=de "$prefix/$bindir/schedule-backup-page" --help)" != \
    "$("$prefix/$bindir/schedule-backup-page" --help)" ] || fail "the viewer is not translated"

step "CMake package"
mkdir -p "$work/package"
cat >"$work/package/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.21)
project(PackageProbe LANGUAGES CXX)
find_package(ScheduleBackup 2.0 CONFIG QUIET)
if(ScheduleBackup_FOUND)
    message(FATAL_ERROR "version 2.0 must not be satisfied")
endif()
find_package(ScheduleBackup 1.0 CONFIG REQUIRED)
foreach(target ScheduleBackup::HostApi ScheduleBackup::XML2Json)
    if(NOT TARGET ${target})
        message(FATAL_ERROR "${target} missing")
    endif()
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/vars "${ScheduleBackup_VERSION}\n${ScheduleBackup_PLUGIN_DIR}\n"
    "${ScheduleBackup_QML_IMPORT_PATH}\n")
EOF
cmake -S "$work/package" -B "$work/package/build" -DCMAKE_PREFIX_PATH="$prefix" \
    >"$work/package.log" 2>&1 || fail "find_package: $(cat "$work/package.log")"
mapfile -t vars <"$work/package/build/vars"
[ "${vars[0]}" = "$version" ] || fail "package version ${vars[0]}"
[ "${vars[1]}" = "$prefix/$plugindir" ] || fail "ScheduleBackup_PLUGIN_DIR is ${vars[1]}"
[ "${vars[2]}" = "$prefix/$qmldir" ] || fail "ScheduleBackup_QML_IMPORT_PATH is ${vars[2]}"

step "examples/minimal-host against the package"
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$prefix/$examplesdir/minimal-host" -B "$work/example" -G Ninja \
    -DCMAKE_PREFIX_PATH="$prefix" "${launcher[@]}" >"$work/example.log" 2>&1 \
    && cmake --build "$work/example" >>"$work/example.log" 2>&1 \
    || fail "the example did not build: $(cat "$work/example.log")"
run_logged "$work/ld-example" timeout 120 "$work/example/minimal-host" \
    --screenshot "$work/example.png" >"$work/example-run.txt" 2>&1 \
    || fail "the example failed: $(cat "$work/example-run.txt")"
[ -s "$work/example.png" ] || fail "the example saved no screenshot"
grep -qx "plug-in .*/libPluginScheduleBackup.so, version $version" "$work/example-run.txt" \
    || fail "the plug-in's metadata is not version $version: $(cat "$work/example-run.txt")"
check_loads "$work/ld-example" libschedule-backup-page-qmlplugin.so libPluginScheduleBackup.so \
    libXML2Json.so libZeltLogUtl.so

step "ScheduleBackup.Page in a bare QQmlEngine"
run_logged "$work/ld-probe" env SCHEDULE_BACKUP_QML_IMPORT_PATH="${vars[2]}" "$probe" \
    || fail "the page does not load from the prefix"
check_loads "$work/ld-probe" libschedule-backup-page-qmlplugin.so

echo "install: all checks passed"
