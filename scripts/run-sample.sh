#!/usr/bin/env bash
# Installs what is missing, builds the program, and runs its log-on job (the
# silent mode) under wine on the sample pictures shipped in samples/pictures.
# Prints which picture became the wallpaper and where the converted file is.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_packages
echo "== Building x86_64"
build_arch x86_64 -DVELLOMAR_BUILD_TESTS=OFF >/dev/null

trap cleanup EXIT
start_display
make_prefix "$BUILD/sample-prefix"

configure_pictures "$ROOT/samples/pictures"

echo "== Running: Vellomar.exe (no switch: the log-on run)"
wine "$BUILD/x86_64/bin/Vellomar.exe"

wallpaper=$(wine reg query 'HKCU\Control Panel\Desktop' /v Wallpaper 2>/dev/null |
  sed -n 's/^ *Wallpaper *REG_SZ *//p' | tr -d '\r')
echo "== Wallpaper setting: $wallpaper"
wallpaper_unix=$(winepath -u "$wallpaper" 2>/dev/null)
case "$wallpaper" in
  *Tarnwick.bmp)
    for f in $(find "$ROOT/samples/pictures" -type f | sort); do
      if cmp -s "$f" "$wallpaper_unix"; then
        echo "== Picture drawn: ${f#$ROOT/} (converted)"
      fi
    done
    echo "== Converted file: $wallpaper_unix ($(stat -c %s "$wallpaper_unix") bytes)"
    ;;
  *)
    echo "== Picture drawn: $wallpaper_unix (a BMP is used as it is; nothing converted)"
    ;;
esac
