# Shared by the scripts: packages, builds and the wine prefix for Vellomar.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
PACKAGES="g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb cmake googletest imagemagick nsis zip osslsigncode locales"
# Wine takes a process's ANSI code page from its Unix locale: the tests run
# some programs under Japanese (932) and Russian (1251) ones.
TEST_LOCALES="ja_JP.UTF-8 ru_RU.UTF-8"

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
  local missing=""
  for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  if [ -n "$missing" ]; then
    echo "== Installing:$missing"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
  fi
  generate_locales
}

generate_locales() {
  local l wanted=""
  for l in $TEST_LOCALES; do
    locale -a 2>/dev/null | grep -qix "$(echo "$l" | sed 's/UTF-8/utf8/')" || wanted="$wanted $l"
  done
  [ -z "$wanted" ] && return 0
  echo "== Generating locales:$wanted"
  for l in $wanted; do
    grep -qx "$l UTF-8" /etc/locale.gen 2>/dev/null || echo "$l UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
  done
  as_root locale-gen >/dev/null
}

# build_arch ARCH (x86_64 | i686) [extra cmake args...]: the configure
# presets of CMakePresets.json, into build/ARCH.
build_arch() {
  local arch=$1 preset; shift
  case $arch in i686) preset=x86 ;; *) preset=x64 ;; esac
  (cd "$ROOT" && cmake --preset "$preset" "$@" >/dev/null)
  cmake --build "$BUILD/$arch" -j "$(nproc)"
}

# A free X display number for our own Xvfb.
free_display() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  echo "$n"
}

XVFB_PID=""
WINESERVER_STARTED=""
KEEPALIVE_PID=""

start_display() {
  local n
  n=$(free_display)
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  export VELLOMAR_TEST_DISPLAY=":$n"
}

# make_prefix DIR: a wine prefix made once and reused.
make_prefix() {
  export WINEPREFIX=$1 WINEDEBUG=-all DISPLAY=$VELLOMAR_TEST_DISPLAY
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== Making the wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  # A persistent server: without it every test program pays for a new one.
  wineserver -k 2>/dev/null || true
  wineserver -p
  WINESERVER_STARTED=1
  # With no window manager, hiding a top-level window otherwise blocks 2 s.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # The caption buttons are drawn with the Marlett symbol font, which a new
  # prefix lacks: without it they show letters ("r" for the close box).
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" f
  for f in marlett.ttf tahoma.ttf tahomabd.ttf; do
    [ -f "$fonts/$f" ] || cp "/usr/share/wine/fonts/$f" "$fonts/" 2>/dev/null || true
  done
}

# set_dpi N: the prefix's screen resolution in dots per inch (96 = 100 %).
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

# configure_pictures FOLDER: the pictures folder goes where the program reads
# it, config.cfg in the user's application-data folder of the prefix.
configure_pictures() {
  local appdata_win appdata pictures_win
  appdata_win=$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
  appdata=$(winepath -u "$appdata_win" 2>/dev/null)
  pictures_win=$(winepath -w "$1" 2>/dev/null | tr -d '\r')
  mkdir -p "$appdata/Vellomar"
  printf '[main]\r\nPicturesPath=%s\r\n' "$pictures_win" > "$appdata/Vellomar/config.cfg"
  echo "== Pictures folder: $pictures_win"
}

start_keepalive() {
  wine "$1" >/dev/null 2>&1 &
  KEEPALIVE_PID=$!
}

cleanup() {
  [ -n "$KEEPALIVE_PID" ] && kill "$KEEPALIVE_PID" 2>/dev/null
  [ -n "$WINESERVER_STARTED" ] && wineserver -k 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  true
}

# The release packages of both builds, gathered in build/packages.
# With their checksums in SHA256SUMS, for `sha256sum -c SHA256SUMS`.
collect_packages() {
  rm -rf "$BUILD/packages"
  mkdir -p "$BUILD/packages"
  cp "$BUILD"/i686/Vellomar-*-setup.exe "$BUILD"/i686/Vellomar-*-portable.zip \
     "$BUILD"/x86_64/Vellomar-*-setup-x64.exe "$BUILD/packages/"
  (cd "$BUILD/packages" && sha256sum Vellomar-* > SHA256SUMS)
  echo "== Packages in $BUILD/packages:"
  (cd "$BUILD/packages" && stat -c '   %n (%s bytes)' Vellomar-* SHA256SUMS)
}

# run_tests [ctest args...]: the 64-bit tests in the build's own prefix and
# display, with a persistent wineserver and a keep-alive GUI process.
run_tests() {
  trap cleanup EXIT
  start_display
  make_prefix "$BUILD/x86_64/wineprefix"
  start_keepalive "$BUILD/x86_64/bin/KeepAlive.exe"
  cd "$ROOT"
  ctest --preset x64-tests "$@"
}
