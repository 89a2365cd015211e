#!/usr/bin/env bash
# Builds the 32-bit release with a throwaway self-signed certificate and
# checks that the program, the setup and its uninstaller are signed, and that
# the zip holds the signed program; then that a build without one says once
# that it does not sign.
#   signing-test.sh SOURCE_DIR WORK_DIR
set -euo pipefail
src=$1 work=$2
rm -rf "$work"
mkdir -p "$work"
cd "$work"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Vellomar Test Signing" \
  -addext "extendedKeyUsage=codeSigning" -keyout key.pem -out cert.pem 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -passout pass:throwaway -out test.pfx

export VELLOMAR_SIGN_PFX=$work/test.pfx VELLOMAR_SIGN_PASSWORD=throwaway VELLOMAR_SIGN_LOG=$work/signed.log
cmake -S "$src" -B build -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" \
  -DVELLOMAR_BUILD_TESTS=OFF -DVELLOMAR_PACKAGES=ON > configure.log
grep -q "Signing with the certificate in $VELLOMAR_SIGN_PFX" configure.log
cmake --build build -j "$(nproc)" > build.log

passed=0 failed=0
check() {
  if "$@"; then passed=$((passed + 1)); else echo "FAILED: $*"; failed=$((failed + 1)); fi
}
verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" > verify.log 2>&1 && grep -q "Vellomar Test Signing" verify.log; }
check verify build/bin/Vellomar.exe
check verify build/Vellomar-*-setup.exe
# makensis signs the uninstaller (a temporary file) before the setup.
check test "$(wc -l < signed.log)" -eq 3
check grep -q 'Vellomar.exe$' signed.log
unzip -p build/Vellomar-*-portable.zip '*/Vellomar.exe' > zipped.exe
check cmp -s zipped.exe build/bin/Vellomar.exe

unset VELLOMAR_SIGN_PFX VELLOMAR_SIGN_PASSWORD
cmake -S "$src" -B unsigned -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" \
  -DVELLOMAR_BUILD_TESTS=OFF -DVELLOMAR_PACKAGES=ON > unsigned.log
check test "$(grep -c 'Not signing' unsigned.log)" -eq 1

echo "signing: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
