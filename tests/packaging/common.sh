# shellcheck shell=bash
# What the packaging tests (and tests/setup/deps_test.sh) share, sourced
# first by each of them: strict mode in the source folder, FAIL and step
# lines that name the test, checks that say what they saw, a work folder
# $work, and Wine in fresh prefixes in it. On exit the work folder goes,
# with the Wine server of its prefixes and the X server whose process id
# the test put in $xvfb.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
test_name=$(basename "$0" .sh)

fail() {
    echo "$test_name: FAIL: $*" >&2
    exit 1
}
step() { echo "== $test_name: $*"; }
expect() { # WHAT GOT EXPECTED
    [ "$2" = "$3" ] || fail "$1 is '$2', expected '$3'"
    echo "ok   $1: $3"
}
same_files() { # WHAT GOT EXPECTED: two lists, one a line, in any order
    expect "$1" "$(sort <<<"$2" | tr '\n' ' ')" "$(sort <<<"$3" | tr '\n' ' ')"
}
# Runs a command with its output in LOG, shown only when the command fails.
logged() { # LOG WHAT COMMAND...
    "${@:3}" >"$1" 2>&1 || { cat "$1" >&2; fail "$2"; }
}
project_version() { # BUILD_DIR: the version it is configured with
    sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt" | grep . ||
        fail "no project version in $1/CMakeCache.txt"
}
# A table of a Windows Installer package, as msiinfo exports it. In the
# work folder: msiinfo writes the streams of a table with binary columns
# (Icon) into a folder of the current one.
msi_table() { # MSI TABLE
    (cd "$work" && msiinfo export "$1" "$2") | tr -d '\r'
}

work=$(mktemp -d "${TMPDIR:-/tmp}/mervalin-$test_name.XXXXXX")
xvfb=""
cleanup() {
    if [[ ${WINEPREFIX:-} = "$work"/* ]]; then wineserver -k 2>/dev/null || true; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# Makes $work/NAME the Wine prefix of the commands that follow, and boots it;
# its drive C: is then $drive_c. English, whatever the caller's locale (the
# NSIS installer's shortcut is then Mervalin.lnk). Without winemenubuilder,
# and with folders of the test's own for the desktop's menus: Wine would
# copy each Start-menu shortcut into this machine's menus.
wine_prefix() { # NAME
    export LC_ALL=C.UTF-8 WINEPREFIX=$work/$1 WINEDEBUG=-all
    export WINEDLLOVERRIDES='mscoree=;mshtml=;winemenubuilder.exe=d'
    export XDG_CONFIG_HOME=$work/xdg-config XDG_DATA_HOME=$work/xdg-data
    logged "$work/wineboot.log" wineboot wineboot --init
    wineserver -w
    drive_c=$WINEPREFIX/drive_c
}
# A fresh prefix's drive Z: is /. (winepath would start a Wine process for
# each path.)
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# Runs a Windows program under Wine until it and its children end. Wine
# passes on the low 8 bits of its exit code (1603 comes out as 67).
run() { # EXPECTED-EXIT-CODE WHAT PROGRAM ARGUMENT...
    local status=0 low=$(($1 % 256))
    wine "${@:3}" >"$work/run.log" 2>&1 || status=$?
    wineserver -w
    [ "$status" = "$low" ] || { cat "$work/run.log" >&2; fail "$2 exited with $status, expected $1 ($low)"; }
    echo "ok   $2: exit code $1"
}
