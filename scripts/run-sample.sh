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

# The pictures folder goes where the program reads it: config.cfg in the
# user's application-data folder.
appdata_win=$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
appdata=$(winepath -u "$appdata_win" 2>/dev/null)
pictures_win=$(winepath -w "$ROOT/samples/pictures" 2>/dev/null | tr -d '\r')
mkdir -p "$appdata/Vellomar"
printf '[main]\r\nPicturesPath=%s\r\n' "$pictures_win" > "$appdata/Vellomar/config.cfg"
echo "== Pictures folder: $pictures_win"

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
