#!/usr/bin/env bash
# Screenshots of the settings dialog and the About box under Xvfb, written to
# docs/settings-dialog.png and docs/about-box.png.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_packages
build_arch x86_64 -DVELLOMAR_BUILD_TESTS=ON >/dev/null

trap cleanup EXIT
start_display
make_prefix "$BUILD/sample-prefix"
mkdir -p "$ROOT/docs"

shoot() {
  local what=$1 out=$2 geometry
  coproc DRIVER { wine "$BUILD/x86_64/bin/ScreenshotDriver.exe" "$(winepath -w "$BUILD/x86_64/bin/Vellomar.exe" 2>/dev/null | tr -d '\r')" "$what" 2>/dev/null; }
  read -r geometry <&"${DRIVER[0]}"
  geometry=$(echo "$geometry" | tr -d '\r')
  DISPLAY=$VELLOMAR_TEST_DISPLAY /usr/bin/import -window root -crop "$geometry" +repage "$out"
  echo done >&"${DRIVER[1]}"
  wait "$DRIVER_PID" || true
  echo "== $out ($geometry)"
}
shoot settings "$ROOT/docs/settings-dialog.png"
shoot about "$ROOT/docs/about-box.png"
