#!/usr/bin/env bash
# Builds the Windows packages of a Windows build and checks what they hold:
# the portable ZIP (cpack -G ZIP) and, in the 64-bit build, the NSIS
# installer (target mervalin-installer), which carries the 32-bit build's
# program too; and makes the Windows Installer package (target
# mervalin-msi), which windows_deploy_test.sh checks. Where Wine is
# installed, the installer is also run silently for the current user in a
# fresh Wine prefix, and its uninstaller after it.
#
#   tests/packaging/windows_test.sh [BUILD_DIR [X86_BUILD_DIR]]
#       (default build/windows and BUILD_DIR-x86; a 32-bit BUILD_DIR has no
#       installer of its own, and no X86_BUILD_DIR)
#
# Needs unzip, p7zip-full (7z lists the installer), nsis, wixl, msitools and
# faketime, and a build of the mervalin target in BUILD_DIR (and in
# X86_BUILD_DIR). Exits non-zero on the first failure.
# shellcheck source=SCRIPTDIR/common.sh
. "$(dirname "$0")/common.sh"
build_dir=$(realpath "${1:-build/windows}")
x86_build_dir=$(realpath -m "${2:-$build_dir-x86}")

[ -f "$build_dir/ui/win32/mervalin.exe" ] ||
    fail "no $build_dir/ui/win32/mervalin.exe: build the windows preset's mervalin target first"
version=$(project_version "$build_dir")
packages=$build_dir/packages
if grep -q '^CMAKE_TOOLCHAIN_FILE.*mingw-w64-x86\.cmake$' "$build_dir/CMakeCache.txt"; then
    arch=x86
    msi=$packages/mervalin-$version-x86.msi
    installer=""
else
    arch=x64
    msi=$packages/mervalin-$version.msi
    installer=$packages/mervalin-$version-setup.exe
    [ -f "$x86_build_dir/ui/win32/mervalin.exe" ] ||
        fail "no $x86_build_dir/ui/win32/mervalin.exe, which the installer carries: build the windows-x86 preset's mervalin target first"
fi
zip=$packages/mervalin-$version-windows-$arch.zip
top=mervalin-$version-windows-$arch

step "cpack -G ZIP in $build_dir"
rm -f "$zip" "$msi" ${installer:+"$installer"}
(cd "$build_dir" && logged cpack-zip.log "cpack -G ZIP" cpack -G ZIP)
[ -f "$zip" ] || fail "no $zip"

step "unzip -l $(basename "$zip")"
unzip -l "$zip"
same_files "the ZIP's list of files" "$(unzip -Z1 "$zip" | grep -v '/$')" \
    "$(printf '%s\n' "$top/LICENSE.txt" "$top/README.txt" "$top/mervalin.exe")"
unzip -q "$zip" -d "$work/zip"
readme=$work/zip/$top/README.txt
[ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
    fail "README.txt does not begin with a UTF-8 byte-order mark"
[[ $(grep -c $'\r$' "$readme") = "$(wc -l <"$readme")" && -z $(tail -c 1 "$readme") ]] ||
    fail "README.txt has a line that does not end in CR LF"
iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null || fail "README.txt is not UTF-8"
cmp "$work/zip/$top/mervalin.exe" "$build_dir/ui/win32/mervalin.exe" ||
    fail "the ZIP's mervalin.exe is not the build's (signed) one"
grep -q $'\r$' "$work/zip/$top/LICENSE.txt" || fail "LICENSE.txt does not end its lines in CR LF"
echo "README.txt: UTF-8 with byte-order mark, CR LF; LICENSE.txt: CR LF"

step "configured without makensis, wixl and msibuild on the PATH, then made with them"
# A build folder configured before nsis, wixl and msitools were installed
# must still make the installers once they are: the tools are looked for when
# the installers are made. The folder is configured again with a PATH of
# everything but them.
declare -A package_of=([makensis]=nsis [wixl]=wixl [msibuild]=msitools [faketime]=faketime)
installer_tools=${!package_of[*]}
hidden=$work/path-without-installer-tools
mkdir "$hidden"
for tool in /usr/local/bin/* /usr/bin/* /bin/*; do
    name=$(basename "$tool")
    [ -n "${package_of[$name]:-}" ] || [ -e "$hidden/$name" ] || ln -s "$tool" "$hidden/$name"
done
for tool in $installer_tools; do
    if PATH=$hidden command -v "$tool" >/dev/null; then fail "$tool is not hidden"; fi
done
logged "$build_dir/configure-without-installer-tools.log" "configuring without $installer_tools" \
    env PATH="$hidden" cmake -U MAKENSIS -S "$PWD" -B "$build_dir"
for tool in $installer_tools; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (Debian package ${package_of[$tool]})"
done
echo "configured with a PATH without $installer_tools"

targets="mervalin-msi${installer:+ mervalin-installer}"
step "cmake --build $build_dir --target $targets"
# shellcheck disable=SC2086
logged "$build_dir/installer.log" "building the installers" cmake --build "$build_dir" --target $targets -j2
[ -f "$msi" ] || fail "no $msi"
if [ -z "$installer" ]; then
    echo "windows_test: PASS ($(basename "$zip") $(stat -c %s "$zip") bytes," \
         "$(basename "$msi") $(stat -c %s "$msi") bytes; the 64-bit build makes the installer)"
    exit 0
fi
[ -f "$installer" ] || fail "no $installer"

step "7z l $(basename "$installer")"
7z l "$installer" | sed -n '/^Type = /p;/^   Date/,$p'
same_files "the installer's list of files" "$(7z l -ba -slt "$installer" | sed -n 's/^Path = //p' | grep -v '^.PLUGINSDIR/')" \
    "$(printf '%s\n' LICENSE.txt README.txt mervalin.exe mervalin.exe uninstall.exe)"
7z l "$installer" | grep -q '^Type = Nsis' || fail "7z does not read it as an NSIS installer"
# RequestExecutionLevel user: the installer's manifest asks for no elevation.
grep -aq 'level="asInvoker"' "$installer" || fail "the installer's manifest does not ask for asInvoker"
# The two programs, in the order of the installer's script: 7z names the
# second mervalin_1.exe.
7z x -o"$work/installer" -aou "$installer" >/dev/null || fail "7z cannot unpack the installer"
cmp "$work/installer/mervalin.exe" "$build_dir/ui/win32/mervalin.exe" ||
    fail "the installer's first mervalin.exe is not the 64-bit build's"
cmp "$work/installer/mervalin_1.exe" "$x86_build_dir/ui/win32/mervalin.exe" ||
    fail "the installer's second mervalin.exe is not the 32-bit build's"
cp "$work/installer/mervalin.exe" "$work/installer-mervalin.exe"
echo "the installer holds LICENSE.txt, README.txt, both builds' mervalin.exe and uninstall.exe, and runs as the user"

step "versions"
python3 tests/packaging/check_versions.py --version "$version" \
    --exe "$work/zip/$top/mervalin.exe" --exe "$build_dir/ui/win32/mervalin.exe" --exe "$installer" \
    --exe "$x86_build_dir/ui/win32/mervalin.exe" \
    --readme "$readme"

if command -v wine >/dev/null && command -v wineserver >/dev/null; then
    step "silent install and uninstall under Wine"
    wine_prefix wine
    key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mervalin'
    profile=$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n1)
    target=$profile/AppData/Local/Programs/Mervalin
    shortcut=$profile/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Mervalin.lnk

    run 0 "setup.exe /S" "$(windows_path "$installer")" /S
    for file in mervalin.exe README.txt LICENSE.txt uninstall.exe; do
        [ -f "$target/$file" ] || fail "the installer did not put $file into $target"
    done
    cmp -s "$target/mervalin.exe" "$work/installer-mervalin.exe" || fail "installed mervalin.exe differs"
    [ -f "$shortcut" ] || fail "no Start-menu shortcut $shortcut"
    wine reg query "$key" >"$work/key.txt" 2>&1 || { cat "$work/key.txt" >&2; fail "no $key"; }
    tr -d '\r' <"$work/key.txt"
    grep -q "DisplayVersion.*$version" "$work/key.txt" || fail "DisplayVersion is not $version"
    grep -q 'UninstallString.*uninstall.exe' "$work/key.txt" || fail "no UninstallString"
    # For all users only when asked (windows_deploy_test.sh).
    # /reg:64: the 64-bit view, where a 64-bit installation registers.
    if wine reg query "${key/HKCU/HKLM}" /reg:64 >/dev/null 2>&1; then fail "an uninstall entry under HKLM too"; fi
    [ ! -e "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Mervalin.lnk" ] ||
        fail "a shortcut in the all-users Start menu too"
    echo "installed into %LOCALAPPDATA%\\Programs\\Mervalin, with its shortcut and uninstall key"

    run 0 "uninstall.exe /S" "$(windows_path "$target/uninstall.exe")" /S
    [ ! -e "$target" ] || fail "$target is still there after uninstalling"
    [ ! -e "$shortcut" ] || fail "the shortcut is still there after uninstalling"
    if wine reg query "$key" >/dev/null 2>&1; then fail "$key is still there after uninstalling"; fi
    echo "uninstalled: folder, shortcut and key are gone"
else
    echo "windows_test: Wine is not installed: the installer is listed but not run"
fi

echo "windows_test: PASS ($(basename "$zip") $(stat -c %s "$zip") bytes," \
     "$(basename "$installer") $(stat -c %s "$installer") bytes)"
