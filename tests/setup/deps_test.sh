#!/usr/bin/env bash
# Checks the one list of Debian packages and the way the scripts use it:
#   - every package is named once, and every group a script asks for exists;
#   - a user who is not root gets one command that installs everything the
#     script needs, and nothing else happens: no configure, no build.
#
#   tests/setup/deps_test.sh        (as root: it becomes nobody for a while)
# shellcheck source=SCRIPTDIR/../packaging/common.sh
. "$(dirname "$0")/../packaging/common.sh"
. scripts/deps.sh

named_twice=$(awk '!/^[[:space:]]*(#|$)/ { for (i = 2; i <= NF; i++) print $i }' scripts/packages |
              sort | uniq -d)
[ -z "$named_twice" ] || fail "named more than once in scripts/packages: $named_twice"

for script in scripts/* assets/generate.sh; do
    while read -r groups; do
        packages_of $groups >/dev/null || fail "$script asks for a group that does not exist: $groups"
    done < <(sed -n 's/^ *require \(.*\)$/\1/p' "$script")
done
echo "each package named once; every group the scripts ask for exists"

[ "$(id -u)" -eq 0 ] || { echo "deps_test: not root, so the rest is skipped"; exit 77; }
# A copy of the scripts where nobody can read them, whatever the folders
# above this checkout allow.
mkdir "$work/repo"
cp -r scripts "$work/repo/"
chmod -R a+rX "$work"
# Two groups of scripts/run, each missing a package.
sed -e 's/^build .*/& mervalin-missing-one/' -e 's/^program .*/& mervalin-missing-two/' \
    scripts/packages >"$work/packages"
# A cmake that leaves a mark, should anything get as far as configuring.
mkdir "$work/bin"
printf '#!/bin/sh\ntouch %s/configured\n' "$work" >"$work/bin/cmake"
chmod 755 "$work/bin/cmake" "$work/packages"
# scripts/run as nobody with $work/packages for the list must exit with 1,
# saying only: Missing Debian packages. Install them with: COMMAND.
says() { # COMMAND [WHAT]
    local status=0 output
    output=$(setpriv --reuid=nobody --regid=nogroup --clear-groups \
             env PATH="$work/bin:/usr/bin:/bin" MERVALIN_PACKAGE_LIST="$work/packages" \
             "$work/repo/scripts/run" 2>&1) || status=$?
    [ "$status" -eq 1 ] || fail "scripts/run as nobody exited with $status, not 1: $output"
    [ "$output" = $'Missing Debian packages. Install them with:\n  '"$1" ] ||
        fail "scripts/run as nobody${2:-} said: $output"
    echo "$output"
}
echo "as a user who is not root, scripts/run says only:"
says "sudo apt-get update && sudo apt-get install -y --no-install-recommends mervalin-missing-one mervalin-missing-two"
[ ! -e "$work/configured" ] || fail "scripts/run went on to configure"

# A package of an architecture dpkg does not know yet: the command adds the
# architecture before it updates and installs.
sed -e 's/^build .*/& mervalin-missing-three:mervalin-arch/' scripts/packages >"$work/packages"
echo "with a package of another architecture, it says:"
says "sudo dpkg --add-architecture mervalin-arch && sudo apt-get update && sudo apt-get install -y --no-install-recommends mervalin-missing-three:mervalin-arch" \
    ", with a foreign package,"
