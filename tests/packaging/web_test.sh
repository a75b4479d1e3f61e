#!/usr/bin/env bash
# Builds the web ZIP of a web build (cpack -G ZIP) and checks what it holds:
# the single page and the web app's folder, as the build made them, and the
# licence; nothing else.
#
#   tests/packaging/web_test.sh [BUILD_DIR]      (default build/web)
set -euo pipefail
cd "$(dirname "$0")/../.."
build_dir=$(realpath "${1:-build/web}")

fail() {
    echo "web_test: FAIL: $*" >&2
    exit 1
}

[ -f "$build_dir/mervalin.html" ] || fail "no $build_dir/mervalin.html: build the web preset first"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build_dir/CMakeCache.txt"
top=mervalin-$version-web
zip=$build_dir/packages/$top.zip
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rm -f "$zip"
(cd "$build_dir" && cpack -G ZIP >cpack-web.log 2>&1) ||
    { cat "$build_dir/cpack-web.log" >&2; fail "cpack -G ZIP"; }
[ -f "$zip" ] || fail "no $zip"
unzip -l "$zip"

listed=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
expected=$( (echo "$top/mervalin.html"; echo "$top/LICENSE.txt"
             cd "$build_dir/web-app" && find . -type f | sed "s|^\./|$top/web-app/|") | sort)
[ "$listed" = "$expected" ] ||
    fail "the ZIP holds $(tr '\n' ' ' <<<"$listed"), expected $(tr '\n' ' ' <<<"$expected")"
unzip -q "$zip" -d "$work"
cmp "$work/$top/mervalin.html" "$build_dir/mervalin.html" || fail "mervalin.html differs"
diff -r "$work/$top/web-app" "$build_dir/web-app" || fail "web-app/ differs"
echo "web_test: $(stat -c %s "$zip") bytes, $(wc -l <<<"$listed") files: PASS"
