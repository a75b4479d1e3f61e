#!/usr/bin/env bash
# Signing as a publisher would, with a throwaway self-signed certificate
# (openssl): both Windows builds configured afresh with MERVALIN_SIGN_CERT
# and MERVALIN_SIGN_KEY, mervalin.exe, the .msi packages and setup.exe
# made, and each checked with `osslsigncode verify` against that
# certificate; the programs inside the ZIP, the .msi and setup.exe must be
# the signed ones. Without the two variables a build says once that it signs
# nothing.
#
#   tests/packaging/signing_test.sh      (build folders build/signed-windows*)
# shellcheck source=SCRIPTDIR/common.sh
. "$(dirname "$0")/common.sh"

step "a throwaway certificate"
openssl req -x509 -newkey rsa:3072 -sha256 -days 2 -nodes -subj "/CN=Mervalin test signer/O=The Mervalin developers" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
export MERVALIN_SIGN_CERT=$work/cert.pem MERVALIN_SIGN_KEY=$work/key.pem
unset MERVALIN_SIGN_TIMESTAMP_URL

x64=build/signed-windows
x86=build/signed-windows-x86
options=(-DMERVALIN_BUILD_TESTS=OFF -DMERVALIN_BUILD_TOOLS=OFF -DMERVALIN_BUILD_BENCHMARKS=OFF)
step "both builds, signed"
rm -rf "$x64" "$x86"
cmake --preset windows-x86 -B "$x86" "${options[@]}" >/dev/null
logged "$work/x86.log" "the signed 32-bit build" cmake --build "$x86" --target mervalin mervalin-msi -j2
cmake --preset windows -B "$x64" "${options[@]}" -DMERVALIN_X86_BUILD_DIR="$PWD/$x86" >/dev/null
logged "$work/x64.log" "the signed 64-bit build" \
    cmake --build "$x64" --target mervalin mervalin-msi mervalin-installer -j2
(cd "$x64" && cpack -G ZIP >/dev/null)
grep -q "Not signing" "$work/x64.log" "$work/x86.log" && fail "a build with a certificate says it does not sign"

version=$(project_version "$x64")
verify() { # FILE...
    local file
    for file; do
        logged "$work/verify.log" "osslsigncode verify $file" osslsigncode verify -CAfile "$work/cert.pem" -in "$file"
        grep -q "Mervalin test signer" "$work/verify.log" || fail "$file is not signed by the test certificate"
        echo "ok   $file: signature verified"
    done
}
step "osslsigncode verify"
verify "$x64/ui/win32/mervalin.exe" "$x86/ui/win32/mervalin.exe" "$x64/packages/mervalin-$version.msi" \
    "$x86/packages/mervalin-$version-x86.msi" "$x64/packages/mervalin-$version-setup.exe"

step "the packages carry the signed programs"
unzip -q "$x64/packages/mervalin-$version-windows-x64.zip" -d "$work/zip"
(mkdir "$work/msi" && cd "$work/msi" && msiextract "$OLDPWD/$x64/packages/mervalin-$version.msi" >/dev/null)
7z x -o"$work/setup" -aou "$x64/packages/mervalin-$version-setup.exe" >/dev/null
verify "$work/zip/mervalin-$version-windows-x64/mervalin.exe" "$work/msi/Mervalin/mervalin.exe" \
    "$work/setup/mervalin.exe" "$work/setup/mervalin_1.exe"

step "without a certificate"
unset MERVALIN_SIGN_CERT MERVALIN_SIGN_KEY
rm "$x64/ui/win32/mervalin.exe"
logged "$work/unsigned.log" "the unsigned build" cmake --build "$x64" --target mervalin-msi -j2
said=$(grep -c "Not signing" "$work/unsigned.log" || true)
[ "$said" = 1 ] || fail "the unsigned build said $said times that it does not sign"
! osslsigncode verify -CAfile "$work/cert.pem" -in "$x64/ui/win32/mervalin.exe" >/dev/null 2>&1 ||
    fail "mervalin.exe is still signed after an unsigned build"
echo "ok   an unsigned build says so once: $(grep "Not signing" "$work/unsigned.log" | sed 's/^-- //')"
echo "signing_test: PASS"
