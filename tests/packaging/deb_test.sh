#!/usr/bin/env bash
# Builds the Debian package of a Linux build, installs it with apt-get,
# starts the installed program, checks what the package put where, and
# removes it again.
#
#   tests/packaging/deb_test.sh [BUILD_DIR]       (default build/linux)
#
# Needs root (it installs into the system), dpkg-dev for dpkg-shlibdeps,
# desktop-file-utils and appstream; a build of the mervalin target in
# BUILD_DIR. Exits non-zero on the first failure, removing the package if it
# got as far as installing it.
# shellcheck source=SCRIPTDIR/common.sh
. "$(dirname "$0")/common.sh"
build_dir=$(realpath "${1:-build/linux}")
app_id=example.mervalin.Mervalin
is_installed() { dpkg-query -W -f='${db:Status-Abbrev}' mervalin 2>/dev/null | grep -q '^ii'; }

[ "$(id -u)" -eq 0 ] || fail "must run as root: it installs the package with apt-get"
[ -x "$build_dir/ui/qt/mervalin" ] || fail "no $build_dir/ui/qt/mervalin: build the linux preset first"

step "cpack -G DEB in $build_dir"
rm -f "$build_dir"/packages/mervalin_*.deb
(cd "$build_dir" && logged cpack-deb.log "cpack -G DEB" cpack -G DEB)
debs=("$build_dir"/packages/mervalin_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "expected one mervalin_*.deb, found: ${debs[*]}"
deb=${debs[0]}
version=$(dpkg-deb --field "$deb" Version)
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "mervalin_${version}_${arch}.deb" ] || fail "unexpected file name $(basename "$deb")"
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"
dpkg-deb --field "$deb" Package Version Architecture Section Maintainer Depends Recommends

[ "$(dpkg-deb --field "$deb" Section)" = education ] || fail "Section is not education"
depends=$(dpkg-deb --field "$deb" Depends)
depended=$(awk -v RS='[,|]' '{ print $1 }' <<<"$depends")
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libstdc++6; do
    grep -qxF "$library" <<<"$depended" || fail "Depends lacks $library (dpkg-shlibdeps): $depends"
done

# Exactly the program and its desktop files, under /usr.
expected=$(grep -v '^#' tests/packaging/linux-files.txt | sed 's|^|./usr/|' | sort)
packaged=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)
diff <(echo "$expected") <(echo "$packaged") >&2 ||
    fail "the package's files differ from tests/packaging/linux-files.txt (< expected, > packaged)"
echo "package holds the $(wc -l <<<"$packaged") expected files"

! is_installed || echo "mervalin is installed already; it is replaced by this package and removed at the end"

installed=0
remove_after_failure() {
    if [ "$installed" -eq 1 ]; then
        echo "deb_test: removing mervalin after a failure" >&2
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq mervalin >/dev/null 2>&1 || true
    fi
}
trap 'remove_after_failure; cleanup' EXIT

step "apt-get install -y ./$(basename "$deb")"
installed=1
(cd "$(dirname "$deb")" && logged "$build_dir/apt-install.log" "apt-get install" \
    env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --reinstall "./$(basename "$deb")")
is_installed || fail "mervalin is not installed"
[ "$(dpkg-query -W -f='${Version}' mervalin)" = "$version" ] || fail "installed version is not $version"

step "installed files"
for path in /usr/bin/mervalin \
            /usr/share/applications/$app_id.desktop \
            /usr/share/metainfo/$app_id.metainfo.xml \
            /usr/share/icons/hicolor/scalable/apps/$app_id.svg \
            /usr/share/doc/mervalin/copyright; do
    [ -e "$path" ] || fail "$path is missing"
    echo "present: $path"
done
for size in 16 24 32 48 64 128 256; do
    icon=/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    [ -e "$icon" ] || fail "$icon is missing"
done
echo "present: the PNG icons of 16, 24, 32, 48, 64, 128 and 256 pixels"
[ -x /usr/bin/mervalin ] || fail "/usr/bin/mervalin is not executable"
if ldd /usr/bin/mervalin | grep -q 'not found'; then
    ldd /usr/bin/mervalin >&2
    fail "/usr/bin/mervalin misses a library"
fi
desktop-file-validate /usr/share/applications/$app_id.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net /usr/share/metainfo/$app_id.metainfo.xml || fail "appstreamcli validate"

step "start /usr/bin/mervalin offscreen for 3 seconds"
# Still running when timeout stops it (exit status 124) is a success: the
# window came up and waited for the pupil.
log=$build_dir/deb-test-run.log
runtime_dir=$work/runtime
mkdir -m 700 "$runtime_dir"
status=0
(cd / && env -i PATH=/usr/bin:/bin HOME="$runtime_dir" XDG_RUNTIME_DIR="$runtime_dir" \
    LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen timeout 3 /usr/bin/mervalin) >"$log" 2>&1 || status=$?
cat "$log"
[ "$status" -eq 124 ] || fail "/usr/bin/mervalin exited with status $status before the timeout"
echo "still running after 3 s (timeout status 124)"

step "apt-get remove -y mervalin"
logged "$build_dir/apt-remove.log" "apt-get remove" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q mervalin
installed=0
for path in /usr/bin/mervalin /usr/share/applications/$app_id.desktop /usr/share/metainfo/$app_id.metainfo.xml \
            /usr/share/icons/hicolor/scalable/apps/$app_id.svg /usr/share/doc/mervalin; do
    [ ! -e "$path" ] || fail "$path is still there"
done
! is_installed || fail "dpkg still lists mervalin as installed"
echo "removed: /usr/bin/mervalin and the desktop files are gone"

echo "deb_test: PASS ($(basename "$deb"), $(stat -c %s "$deb") bytes)"
