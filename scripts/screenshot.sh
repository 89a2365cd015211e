#!/usr/bin/env bash
# Screenshots of the settings dialog and the About box under Xvfb, at 96 and
# at 144 dots per inch (100 % and 150 %), written to docs/.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_packages
build_arch x86_64 -DVELLOMAR_BUILD_TESTS=ON >/dev/null

trap cleanup EXIT
start_display
make_prefix "$BUILD/sample-prefix"
configure_pictures "$ROOT/samples/pictures"
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
set_dpi 96
shoot settings "$ROOT/docs/settings-dialog.png"
shoot about "$ROOT/docs/about-box.png"
shoot about-focus "$ROOT/docs/about-box-link-focus.png"
set_dpi 144
shoot settings "$ROOT/docs/settings-dialog-144dpi.png"
shoot about "$ROOT/docs/about-box-144dpi.png"
set_dpi 96
