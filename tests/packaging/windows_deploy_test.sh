#!/usr/bin/env bash
# The Windows packages as a school's administrator deploys them: silently,
# for every user of the computer, under Wine in a fresh prefix, on a private
# X server.
#
#   the .msi (target mervalin-msi): its tables read with msiinfo; installed
#     over an older build of itself (made here, with a lower version), which
#     it replaces; an older one refused over it; the program started from
#     the Start-menu shortcut; uninstalled without a trace;
#   the installer's /S /ALLUSERS: the same, into Program Files, with the
#     all-users shortcut and the HKLM uninstall entry, and an older
#     installer refused over it;
#   the two refusing to install over each other, since they share the
#     folder Program Files\Mervalin.
#
# "Without a trace" is against the prefix's state before the first install:
# every file under C:\ and every registry key and value.
#
#   tests/packaging/windows_deploy_test.sh [BUILD_DIR]   (default build/windows)
#
# Needs wixl and msitools, nsis, Wine, Xvfb, xdotool and ImageMagick, and a
# build of the mervalin target in BUILD_DIR. Leaves the windows it saw in
# BUILD_DIR/deploy-msi.png and BUILD_DIR/deploy-setup.png. Exits non-zero on
# the first failure.
# shellcheck source=SCRIPTDIR/common.sh
. "$(dirname "$0")/common.sh"
build_dir=$(realpath "${1:-build/windows}")

[ -f "$build_dir/ui/win32/mervalin.exe" ] ||
    fail "no $build_dir/ui/win32/mervalin.exe: build the windows preset's mervalin target first"
version=$(project_version "$build_dir")
msi=$build_dir/packages/mervalin-$version.msi
installer=$build_dir/packages/mervalin-$version-setup.exe
# Mervalin's identity for Windows Installer, in every version to come. A
# change would make a new version install beside the old one.
upgrade_code='{FC40B3E8-37A7-461C-B6C6-85C331D5034B}'
product_code() { # VERSION: as cmake/MakeMsi.cmake derives it
    python3 -c 'import sys, uuid
print("{%s}" % str(uuid.uuid5(uuid.UUID(sys.argv[1]), "Mervalin " + sys.argv[2])).upper())' "$upgrade_code" "$1"
}
# An older version: the one just below, give or take.
IFS=. read -r major minor patch <<<"$version"
if [ "$patch" -gt 0 ]; then older=$major.$minor.$((patch - 1))
elif [ "$minor" -gt 0 ]; then older=$major.$((minor - 1)).99
else older=$((major - 1)).99.99
fi

step "cmake --build $build_dir --target mervalin-msi mervalin-installer"
logged "$build_dir/deploy-packages.log" "making the packages" \
    cmake --build "$build_dir" --target mervalin-msi mervalin-installer -j2
[ -f "$msi" ] || fail "no $msi"

step "msiinfo: the tables of $(basename "$msi")"
rows() { msi_table "$@" | tail -n +4; } # MSI TABLE: the rows, without the header lines
# Checks NAME=VALUE arguments against the lines NAME=VALUE of LIST.
expect_values() { # LIST NAME=VALUE...
    local pair
    for pair in "${@:2}"; do expect "${pair%%=*}" "$(sed -n "s/^${pair%%=*}=//p" <<<"$1")" "${pair#*=}"; done
}
code=$(product_code "$version")
# A ProductCode of each version's own; ALLUSERS=1: installed per machine.
expect_values "$(rows "$msi" Property | tr '\t' =)" ProductName=Мервалин ProductVersion="$version" \
    Manufacturer="The Mervalin developers" UpgradeCode="$upgrade_code" ProductCode="$code" ALLUSERS=1 \
    REBOOT=ReallySuppress ARPPRODUCTICON=mervalin.ico
expect "Icon table" "$(rows "$msi" Icon | cut -f1)" mervalin.ico
expect "code page" "$(msi_table "$msi" _ForceCodepage | sed -n 's/\t_ForceCodepage$//p')" 1251
expect "summary Template (64-bit)" "$(msiinfo suminfo "$msi" | sed -n 's/^Template: //p')" "x64;1033"
expect "Directory INSTALLDIR" "$(rows "$msi" Directory | awk -F'\t' '$1 == "INSTALLDIR"')" \
    "INSTALLDIR	ProgramFiles64Folder	Mervalin"
expect "File table" "$(rows "$msi" File | cut -f1,3 | sort | tr '\t\n' ': ')" \
    "LICENSE.txt:LICENSE.txt README.txt:README.txt mervalin.exe:mervalin.exe "
expect "components, all 64-bit in INSTALLDIR" "$(rows "$msi" Component | cut -f3,4 | sort -u | tr '\t' ' ')" \
    "INSTALLDIR 256"
expect "Shortcut" "$(rows "$msi" Shortcut | cut -f2,3,5)" \
    "ProgramMenuFolder	MERVALIN|Мервалин	[INSTALLDIR]mervalin.exe"
# A newer version replaces this one's older versions and is refused by it.
expect "Upgrade table" "$(rows "$msi" Upgrade | cut -f2,3,5,7 | sort | tr '\t' ' ')" \
    "$(printf '%s\n' " $version 1 WIX_UPGRADE_DETECTED" "$version  2 WIX_DOWNGRADE_DETECTED" | sort)"
expect "LaunchCondition" "$(rows "$msi" LaunchCondition | cut -f1 | sort | tr '\n' ';')" \
    "Installed OR VersionNT > 601 OR (VersionNT = 601 AND ServicePackLevel >= 1);NOT SETUPEXEFOLDER OR Installed;NOT WIX_DOWNGRADE_DETECTED;"
expect "File version and language of mervalin.exe" \
    "$(rows "$msi" File | awk -F'\t' '$1 == "mervalin.exe" { print $5 " " $6 }')" "$version.0 1026"
sequence() { rows "$msi" InstallExecuteSequence | awk -F'\t' -v action="$1" '$1 == action { print $3 }'; }
[[ $(sequence RemoveExistingProducts) -gt $(sequence InstallValidate) &&
   $(sequence RemoveExistingProducts) -lt $(sequence InstallInitialize) ]] ||
    fail "RemoveExistingProducts is not between InstallValidate and InstallInitialize"
echo "ok   RemoveExistingProducts: the older version goes before anything is installed"
mkdir "$work/extracted"
(cd "$work/extracted" && msiextract "$msi" >/dev/null)
cmp "$work/extracted/Mervalin/mervalin.exe" "$build_dir/msi-files/mervalin.exe" ||
    fail "the .msi's mervalin.exe is not the build's"
echo "ok   msiextract: the .msi holds the build's mervalin.exe"

step "versions"
python3 tests/packaging/check_versions.py --version "$version" --msi "$msi" \
    --winget packaging/windows/winget

step "an older .msi, version $older"
# The same files but for a mark in README.txt, to see the upgrade replace it.
cp -r "$build_dir/msi-files" "$work/older-files"
printf 'An older build.\r\n' >>"$work/older-files/README.txt"
older_msi=$work/mervalin-$older.msi
cmake -D WXS="$PWD/packaging/windows/mervalin.wxs" -D FILES="$work/older-files" -D VERSION="$older" \
      -D OUTPUT="$older_msi" -P cmake/MakeMsi.cmake
older_code=$(product_code "$older")
step "an older installer, version $older"
cp -r "$build_dir/installer-files" "$work/older-installer-files"
rm -rf "$work/older-installer-files/x86"
older_installer=$work/mervalin-$older-setup.exe
cmake -D SOURCE_DIR="$PWD" -D VERSION="$older" -D "VENDOR=The Mervalin developers" \
      -D "COPYRIGHT=an older build" -D FILES="$work/older-installer-files" \
      -D X86_PROGRAM="$build_dir/installer-files/x86/mervalin.exe" \
      -D NSI="$PWD/packaging/windows/mervalin.nsi" -D OUTPUT="$older_installer" \
      -P cmake/MakeInstaller.cmake

step "a fresh Wine prefix and a private X server"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
DISPLAY=:$(cat "$work/display")
export DISPLAY
wine_prefix wine
# The tests' prefix settings: Liberation Serif for Times New Roman.
run 0 "regedit prefix.reg" regedit /S "$(windows_path "$PWD/tests/win32/prefix.reg")"
folder=$drive_c/Program\ Files/Mervalin
common_programs=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs
profile=$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n1)
user_programs=$profile/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# Every file and folder under C:\ and every registry key and value of the
# prefix, one a line, with "/" between the parts of a key's name; Wine
# writes its registry to the files when its server ends.
state() {
    wineserver -w
    {
        (cd "$drive_c" && find . ! -path './windows/temp/*' ! -path './users/*/Temp/*')
        for hive in system.reg user.reg; do
            awk -v hive="$hive" '/^\[/ { sub(/\] [0-9]+$/, "]"); gsub(/\\\\/, "/"); key = $0; print hive key; next }
                                 /^(@|")/ { print hive key " " $0 }' "$WINEPREFIX/$hive"
        done
    } | grep -v -E -f "$work/not-ours" | sort
}
# Left out: what Wine itself changes from one session to the next (the
# hardware it finds, its own settings); the folder and the keys that Windows
# Installer makes for its first package and keeps, as every Windows has
# them; and the copy of the NSIS uninstaller in %TEMP%, which it runs from
# and leaves to Windows to delete at the next start.
cat >"$work/not-ours" <<'EOF'
^system\.reg\[System/CurrentControlSet/Control/Class/
^system\.reg\[Software/Microsoft/Windows NT/CurrentVersion/NetworkCards
^user\.reg\[Software/Wine/
^\./windows/Installer$
^system\.reg\[Software/Classes/Installer/(Features|Products|UpgradeCodes)\]$
^system\.reg\[Software/Microsoft/Windows/CurrentVersion/Installer/(UpgradeCodes|UserData/S-1-5-18/(Components|Products))\]$
^system\.reg\[System/CurrentControlSet/Control/Session Manager\] "PendingFileRenameOperations"=.*\\~nsu[0-9]+\.tmp\\\\Un\.exe
EOF
state >"$work/state-before"
expect_nothing_left() { # WHAT
    state >"$work/state-after"
    diff "$work/state-before" "$work/state-after" >&2 || fail "$1 left the above behind (< before, > after)"
    echo "ok   $1 left no file, registry key or value behind"
}
# A registry key's values, one "name=value" a line, in UTF-8. `reg query`
# would print them in the console's code page, which has no Cyrillic; `reg
# export` writes UTF-16. Fails when the key is not there.
registry() { # KEY
    rm -f "$work/key.reg"
    # /reg:64: with 32-bit Wine installed, `wine reg` is the 32-bit reg.exe,
    # which would read the 32-bit view of HKLM\Software.
    wine reg export "$1" "$(windows_path "$work/key.reg")" /y /reg:64 >/dev/null 2>&1 || return 1
    python3 - "$work/key.reg" <<'PYTHON'
import re, sys
text = open(sys.argv[1], encoding="utf-16").read().replace("\\\r\n", "").replace("\\\n", "")
for line in text.split("\n[")[1].splitlines()[1:]:  # the key's own values, not its subkeys'
    if found := re.match(r'^"((?:[^"\\]|\\.)*)"=(.*)$', line.strip()):
        name, data = re.sub(r"\\(.)", r"\1", found.group(1)), found.group(2)
        if data.startswith('"'):
            data = re.sub(r"\\(.)", r"\1", data[1:-1])
        elif data.startswith("hex(2):"):
            data = bytes.fromhex(data[7:].replace(",", "").replace(" ", "")).decode("utf-16-le").rstrip("\0")
        elif data.startswith("dword:"):
            data = str(int(data[6:], 16))
        print(f"{name}={data}")
PYTHON
}
value() { registry "$1" | sed -n "s/^$2=//p"; } # KEY NAME
expect_files() { # FILE...: exactly these in Program Files\Mervalin
    same_files "Program Files\\Mervalin" "$(ls "$folder" 2>/dev/null)" "$(printf '%s\n' "$@")"
}

# Starts the program from its Start-menu shortcut, as a pupil would, finds
# its window on the X server and saves it as a picture.
start_from_shortcut() { # SHORTCUT PICTURE
    wine start /unix "$1" >/dev/null 2>&1
    local window
    window=$(timeout 60 xdotool search --sync --onlyvisible --name 'mervalin\.example' | head -n1) ||
        fail "no window of mervalin.exe after starting $(basename "$1")"
    sleep 2 # the first paint
    eval "$(xdotool getwindowgeometry --shell "$window")"
    import -window root "$work/screen.png"
    convert "$work/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
    echo "ok   $(basename "$1") starts mervalin.exe: window ${WIDTH}x${HEIGHT}, saved as $2"
    wineserver -k
    wineserver -w
}

step ".msi: msiexec /i mervalin-$older.msi /qn"
run 0 "installing $older" msiexec /i "$(windows_path "$older_msi")" /qn
expect "DisplayVersion of $older" "$(value "$uninstall_key\\$older_code" DisplayVersion)" "$older"

step ".msi: msiexec /i $(basename "$msi") /qn, over $older"
run 0 "upgrading to $version" msiexec /i "$(windows_path "$msi")" /qn
registry "$uninstall_key\\$older_code" >/dev/null && fail "$older is still registered after the upgrade"
echo "ok   $older is gone from Apps & features"
key=$uninstall_key\\$code
values=$(registry "$key") || fail "no $key"
expect_values "$values" DisplayName=Мервалин DisplayVersion="$version" Publisher="The Mervalin developers" \
    'InstallLocation=C:\Program Files\Mervalin\' "UninstallString=MsiExec.exe /X$code"
# Apps & features takes an .msi's icon from the product's registration.
packed=$(python3 -c 'import sys; h = sys.argv[1].strip("{}").replace("-", "")
print(h[7::-1] + h[11:7:-1] + h[15:11:-1] + "".join(h[i + 1] + h[i] for i in range(16, 32, 2)))' "$code")
icon=$(value "HKLM\\Software\\Classes\\Installer\\Products\\$packed" ProductIcon)
expect ProductIcon "$icon" "C:\\windows\\Installer\\$code\\mervalin.ico"
cmp -s "$drive_c/$(tr '\\' / <<<"${icon#C:\\}")" assets/mervalin.ico ||
    fail "the product's icon is not assets/mervalin.ico"
expect_files LICENSE.txt README.txt mervalin.exe
cmp "$folder/mervalin.exe" "$build_dir/msi-files/mervalin.exe" || fail "installed mervalin.exe differs"
cmp "$folder/README.txt" "$build_dir/msi-files/README.txt" || fail "the upgrade left the older README.txt"
echo "ok   the files are this version's"
# Windows puts an ALLUSERS=1 package's ProgramMenuFolder into ProgramData;
# Wine 8 leaves it in the installing user's profile.
shortcut=$common_programs/Мервалин.lnk
[ -f "$shortcut" ] || shortcut=$user_programs/Мервалин.lnk
[ -f "$shortcut" ] || fail "no Start-menu shortcut Мервалин.lnk"
echo "ok   shortcut ${shortcut#"$drive_c"/}"

step ".msi: msiexec /i mervalin-$older.msi /qn, over $version"
# 1603: the launch condition against a newer version stops it.
run 1603 "installing the older $older" msiexec /i "$(windows_path "$older_msi")" /qn
registry "$uninstall_key\\$older_code" >/dev/null && fail "$older got installed over $version"
expect "DisplayVersion after the refusal" "$(value "$key" DisplayVersion)" "$version"
expect_files LICENSE.txt README.txt mervalin.exe

step ".msi: the program, from the shortcut"
start_from_shortcut "$shortcut" "$build_dir/deploy-msi.png"

step ".msi: the installer's /S /ALLUSERS is refused beside it"
run 1638 "setup.exe /S /ALLUSERS over the .msi" "$(windows_path "$installer")" /S /ALLUSERS
expect_files LICENSE.txt README.txt mervalin.exe

step ".msi: msiexec /x $code /qn"
run 0 "uninstalling" msiexec /x "$code" /qn
expect_nothing_left "msiexec /x"

step "installer: $(basename "$installer") /S /ALLUSERS"
run 0 "setup.exe /S /ALLUSERS" "$(windows_path "$installer")" /S /ALLUSERS
expect_files LICENSE.txt README.txt mervalin.exe uninstall.exe
cmp "$folder/mervalin.exe" "$build_dir/installer-files/mervalin.exe" || fail "installed mervalin.exe differs"
# English, after LC_ALL=C.UTF-8.
shortcut=$common_programs/Mervalin.lnk
[ -f "$shortcut" ] || fail "no all-users Start-menu shortcut ${shortcut#"$drive_c"/}"
[ ! -e "$user_programs/Mervalin.lnk" ] || fail "a shortcut in the user's own Start menu too"
echo "ok   shortcut ${shortcut#"$drive_c"/}"
key=$uninstall_key\\Mervalin
values=$(registry "$key") || fail "no $key"
# The .msi's name and publisher, though the installer spoke English here.
expect_values "$values" DisplayName=Мервалин Publisher="The Mervalin developers" DisplayVersion="$version" \
    'InstallLocation=C:\Program Files\Mervalin' 'QuietUninstallString="C:\Program Files\Mervalin\uninstall.exe" /S'
registry 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mervalin' >/dev/null &&
    fail "an uninstall entry under HKCU too"
echo "ok   no entry under HKCU"

step "installer: the .msi is refused beside it"
run 1603 "msiexec /i over setup.exe /ALLUSERS" msiexec /i "$(windows_path "$msi")" /qn
registry "$uninstall_key\\$code" >/dev/null && fail "the .msi got installed over setup.exe /ALLUSERS"
expect_files LICENSE.txt README.txt mervalin.exe uninstall.exe

step "installer: the older $older over $version"
# 1603, as the .msi answers a downgrade.
run 1603 "setup.exe /S /ALLUSERS of $older over $version" "$(windows_path "$older_installer")" /S /ALLUSERS
expect "DisplayVersion after the refusal" "$(value "$key" DisplayVersion)" "$version"
cmp "$folder/mervalin.exe" "$build_dir/installer-files/mervalin.exe" || fail "the older installer replaced mervalin.exe"
echo "ok   the files are still this version's"

step "installer: the program, from the shortcut"
start_from_shortcut "$shortcut" "$build_dir/deploy-setup.png"

step "installer: uninstall.exe /S"
run 0 "uninstall.exe /S" 'C:\Program Files\Mervalin\uninstall.exe' /S
expect_nothing_left "uninstall.exe /S"

echo "windows_deploy_test: PASS ($(basename "$msi") $(stat -c %s "$msi") bytes," \
     "$(basename "$installer") $(stat -c %s "$installer") bytes)"
