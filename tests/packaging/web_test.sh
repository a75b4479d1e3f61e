#!/usr/bin/env bash
# Builds the web ZIP of a web build (cpack -G ZIP) and checks what it holds:
# the single page and the web app's folder, as the build made them, and the
# licence; nothing else.
#
#   tests/packaging/web_test.sh [BUILD_DIR]      (default build/web)
# shellcheck source=SCRIPTDIR/common.sh
. "$(dirname "$0")/common.sh"
build_dir=$(realpath "${1:-build/web}")

[ -f "$build_dir/mervalin.html" ] || fail "no $build_dir/mervalin.html: build the web preset first"
top=mervalin-$(project_version "$build_dir")-web
zip=$build_dir/packages/$top.zip

rm -f "$zip"
(cd "$build_dir" && logged cpack-web.log "cpack -G ZIP" cpack -G ZIP)
[ -f "$zip" ] || fail "no $zip"
unzip -l "$zip"

listed=$(unzip -Z1 "$zip" | grep -v '/$')
same_files "the ZIP's list of files" "$listed" "$(echo "$top/mervalin.html"; echo "$top/LICENSE.txt"
    cd "$build_dir/web-app" && find . -type f | sed "s|^\./|$top/web-app/|")"
unzip -q "$zip" -d "$work"
cmp "$work/$top/mervalin.html" "$build_dir/mervalin.html" || fail "mervalin.html differs"
diff -r "$work/$top/web-app" "$build_dir/web-app" || fail "web-app/ differs"
echo "web_test: $(stat -c %s "$zip") bytes, $(wc -l <<<"$listed") files: PASS"
