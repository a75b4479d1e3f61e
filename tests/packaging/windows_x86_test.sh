#!/usr/bin/env bash
# The Windows packages on a 32-bit Windows and on one too old for them,
# under 32-bit Wine (WINEARCH=win32) in fresh prefixes:
#
#   32-bit Windows (Wine's own version): the 32-bit .msi installs the 32-bit
#     program into Program Files and uninstalls; setup.exe /S /ALLUSERS
#     installs the 32-bit program (not the 64-bit one it also carries) and
#     uninstalls;
#   Windows XP (winecfg /v winxp): the .msi refuses with exit code 1603,
#     setup.exe /S with exit code 1150, and neither leaves a file.
#
#   tests/packaging/windows_x86_test.sh [BUILD_DIR [X86_BUILD_DIR]]
#       (default build/windows and BUILD_DIR-x86, with their packages made)
# shellcheck source=SCRIPTDIR/common.sh
. "$(dirname "$0")/common.sh"
build_dir=$(realpath "${1:-build/windows}")
x86_build_dir=$(realpath "${2:-$build_dir-x86}")

version=$(project_version "$build_dir")
msi=$x86_build_dir/packages/mervalin-$version-x86.msi
installer=$build_dir/packages/mervalin-$version-setup.exe
program=$x86_build_dir/ui/win32/mervalin.exe
for file in "$msi" "$installer" "$program"; do
    [ -f "$file" ] || fail "no $file: make the packages of both Windows builds first"
done
export WINEARCH=win32 DISPLAY=
new_prefix() { # NAME
    wine_prefix "$1"
    [ -d "$drive_c/windows/syswow64" ] && fail "$1 is a 64-bit Windows"
    folder=$drive_c/Program\ Files/Mervalin
}

step "32-bit Windows: the 32-bit .msi"
new_prefix win32
run 0 "msiexec /i $(basename "$msi") /qn" msiexec /i "$(windows_path "$msi")" /qn
cmp "$folder/mervalin.exe" "$program" || fail "the .msi did not install the 32-bit program"
echo "ok   C:\\Program Files\\Mervalin\\mervalin.exe is the 32-bit build's"
run 0 "msiexec /x" msiexec /x "$(windows_path "$msi")" /qn
[ ! -e "$folder" ] || fail "the folder is still there after msiexec /x"

step "32-bit Windows: setup.exe /S /ALLUSERS"
run 0 "setup.exe /S /ALLUSERS" "$(windows_path "$installer")" /S /ALLUSERS
cmp "$folder/mervalin.exe" "$program" || fail "setup.exe did not install the 32-bit program"
echo "ok   setup.exe installed the 32-bit build's mervalin.exe"
run 0 "uninstall.exe /S" 'C:\Program Files\Mervalin\uninstall.exe' /S
[ ! -e "$folder/mervalin.exe" ] || fail "mervalin.exe is still there after uninstalling"

step "Windows XP: both refuse"
new_prefix winxp
run 0 "winecfg -v winxp" winecfg -v winxp
wine cmd /c ver 2>/dev/null | tr -d '\r' | grep -q 'Windows 5\.1\.' || fail "the prefix is not Windows XP"
echo "ok   the prefix says it is Windows XP"
run 1603 "msiexec /i $(basename "$msi") /qn on Windows XP" msiexec /i "$(windows_path "$msi")" /qn
# Wine's log leaves the launch condition's message out: it is read from the
# package (Wine shows it when msiexec runs without /qn).
msi_table "$msi" LaunchCondition |
    grep -q "^Installed OR VersionNT > 601 .*	Мервалин работи на Windows 7 със Service Pack 1 .*Mervalin runs on Windows 7 with Service Pack 1 and later" ||
    fail "the .msi's launch condition for Windows 7 SP1 has not its message"
echo "ok   the .msi refuses with: Мервалин работи на Windows 7 със Service Pack 1 ... Mervalin runs on Windows 7 with Service Pack 1 and later ..."
run 1150 "setup.exe /S on Windows XP" "$(windows_path "$installer")" /S
run 1150 "setup.exe /S /ALLUSERS on Windows XP" "$(windows_path "$installer")" /S /ALLUSERS
[ ! -e "$folder" ] || fail "something was installed on Windows XP"
[ -z "$(find "$drive_c/users" -path '*Programs/Mervalin*' | head -n1)" ] ||
    fail "something was installed for the user on Windows XP"
echo "ok   nothing installed"

echo "windows_x86_test: PASS"
