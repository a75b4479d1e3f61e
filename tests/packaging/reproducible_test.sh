#!/usr/bin/env bash
# Builds one commit twice, in two folders of different names, one after the
# other, and checks that every package is the same bytes both times: both
# Windows programs, the Windows ZIPs, both .msi packages, setup.exe, the
# .deb and the web ZIP. Each build is a fresh clone of the commit, with no
# SOURCE_DATE_EPOCH given: the packages take the commit's time by themselves.
# Nothing is signed (signatures carry the signer's own time stamp).
#
#   tests/packaging/reproducible_test.sh [COMMIT]     (default HEAD)
#
# Needs what scripts/test-packages installs. Takes about as long as four
# release builds.
# shellcheck source=SCRIPTDIR/common.sh
. "$(dirname "$0")/common.sh"
commit=$(git rev-parse "${1:-HEAD}")
repository=$PWD
unset SOURCE_DATE_EPOCH MERVALIN_SIGN_CERT MERVALIN_SIGN_KEY
# The packages only: no tests, tools or benchmarks.
options=(-DMERVALIN_BUILD_TESTS=OFF -DMERVALIN_BUILD_TOOLS=OFF -DMERVALIN_BUILD_BENCHMARKS=OFF)

build() { # FOLDER: clones the commit into it, made anew, and makes every package
    local source=$1/mervalin-source
    git clone -q --no-checkout "$repository" "$source"
    git -C "$source" checkout -q "$commit"
    (
        cd "$source"
        for preset in windows-x86 windows; do
            cmake --preset "$preset" "${options[@]}" >/dev/null
            cmake --build --preset "$preset" --target mervalin mervalin-msi -j2 >/dev/null
            (cd "build/$preset" && cpack -G ZIP >/dev/null)
        done
        cmake --build --preset windows --target mervalin-installer -j2 >/dev/null
        cmake --preset program >/dev/null
        cmake --build --preset program -j2 >/dev/null
        (cd build/program && cpack -G DEB >/dev/null)
        cmake --preset web "${options[@]}" >/dev/null
        cmake --build --preset web -j2 >/dev/null
        (cd build/web && cpack -G ZIP >/dev/null)
    )
}

# What is compared, relative to the source folder.
artefacts() { # SOURCE
    (cd "$1" && ls build/windows/ui/win32/mervalin.exe build/windows-x86/ui/win32/mervalin.exe \
        build/windows/packages/*.zip build/windows/packages/*.msi build/windows/packages/*setup.exe \
        build/windows-x86/packages/*.zip build/windows-x86/packages/*.msi \
        build/program/packages/*.deb build/web/packages/*.zip)
}

start=$(date +%s)
step "first build of $commit in $work/first"
build "$work/first"
step "second build in $work/second-build, $(($(date +%s) - start)) s later"
build "$work/second-build"

step "comparing"
first=$work/first/mervalin-source
second=$work/second-build/mervalin-source
mapfile -t files < <(artefacts "$first")
[ "${#files[@]}" = 9 ] || fail "${#files[@]} files, not 9: ${files[*]}"
different=()
for file in "${files[@]}"; do
    if cmp -s "$first/$file" "$second/$file"; then
        echo "same  $(sha256sum "$first/$file" | cut -c1-16)  $(stat -c %s "$first/$file") bytes  $file"
    else
        echo "DIFFERENT  $file: $(cmp "$first/$file" "$second/$file" | head -n1)"
        different+=("$file")
    fi
done
[ ${#different[@]} -eq 0 ] || fail "${#different[@]} of ${#files[@]} differ: ${different[*]}"
echo "reproducible_test: PASS (${#files[@]} files, $(($(date +%s) - start)) s)"
