# Shared by the scripts: packages, builds and the wine prefix for Vellomar.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
PACKAGES="g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb cmake googletest imagemagick nsis zip osslsigncode locales"
# Wine takes a process's ANSI code page from its Unix locale: the tests run
# some programs under Japanese (932) and Russian (1251) ones.
TEST_LOCALES="ja_JP.UTF-8 ru_RU.UTF-8"

# Where the rig puts what it must execute: /tmp may be mounted noexec.
PROBE_DIR="$BUILD/probe"
APT_LOCK_SECONDS=600
# For every prefix the scripts make and every wine command they run: no
# Mono or Gecko prompts, and no menu builder, which would write the test
# programs' shortcuts into the user's own desktop menu (and holds a program
# file open while it reads its icon).
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Root, or sudo rights without a password: sudo installed is not enough.
have_root() {
  [ "$(id -u)" -eq 0 ] || { command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; }
}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@"; fi
}

# Whether this machine's kernel runs 32-bit x86 programs (some do not): a
# 96-byte i386 ELF that exits with 42 through int 0x80 tells. Probed once,
# from build/, and said in one line when the answer is no.
KERNEL_32BIT=${KERNEL_32BIT:-}
kernel_runs_32bit() {
  if [ -z "$KERNEL_32BIT" ]; then
    local probe="$PROBE_DIR/i386-exit42" rc=0 err
    mkdir -p "$PROBE_DIR"
    printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0\140\0\0\0\5\0\0\0\0\20\0\0\270\1\0\0\0\273\52\0\0\0\315\200' > "$probe"
    chmod +x "$probe"
    err=$( { LC_ALL=C "$probe"; } 2>&1 ) || rc=$?
    if [ "${VELLOMAR_NO_32BIT:-}" = 1 ]; then
      KERNEL_32BIT=no
      echo "== VELLOMAR_NO_32BIT=1: acting as on a kernel that runs no 32-bit code" >&2
    elif [ "$rc" -eq 42 ]; then
      KERNEL_32BIT=yes
    elif echo "$err" | grep -q "Exec format error"; then
      KERNEL_32BIT=no
      echo "== The kernel runs no 32-bit code (the i386 probe: Exec format error)" >&2
    elif echo "$err" | grep -q "Permission denied"; then
      KERNEL_32BIT=no
      echo "== The i386 probe could not run: $PROBE_DIR refuses execution (a noexec mount); taking no 32-bit code" >&2
    else
      KERNEL_32BIT=no
      echo "== The i386 probe failed (exit $rc${err:+: $err}); taking no 32-bit code" >&2
    fi
    export KERNEL_32BIT
  fi
  [ "$KERNEL_32BIT" = yes ]
}

is_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# Whether 32-bit Windows programs run here: the kernel and wine32 both.
wine32_usable() {
  kernel_runs_32bit && is_installed wine32:i386
}

# Where the kernel runs no 32-bit code, /usr/bin/wine, wineboot and the rest
# start the 32-bit loader whenever wine32 is installed, and fail with "Exec
# format error". Commands of the same names in build/ put the 64-bit loader
# and server first in PATH, for every wine call of the rig and the tests.
use_64bit_wine_where_needed() {
  wine32_usable && return 0
  local bin="$BUILD/wine64-bin"
  mkdir -p "$bin"
  printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' > "$bin/wine"
  printf '#!/bin/sh\nexec /usr/lib/wine/wineserver64 -p0 "$@"\n' > "$bin/wineserver"
  cp "$bin/wine" "$bin/wine-stable"
  chmod +x "$bin/wine" "$bin/wine-stable" "$bin/wineserver"
  case ":$PATH:" in *":$bin:"*) ;; *) export PATH="$bin:$PATH" ;; esac
  export WINELOADER=/usr/lib/wine/wine64
}

# Waits while another apt or dpkg holds its locks (automatic updates on a
# new machine), saying so once. Asked as root: unprivileged, lslocks shows
# no paths for the locks that root's apt holds.
wait_for_apt_locks() {
  local locks='/var/lib/dpkg/lock|/var/lib/dpkg/lock-frontend|/var/lib/apt/lists/lock|/var/cache/apt/archives/lock'
  local waited=0
  command -v lslocks >/dev/null 2>&1 || return 0
  while as_root lslocks -n -o PATH 2>/dev/null | grep -Eqx "$locks"; do
    [ "$waited" -gt 0 ] || echo "== Waiting for another package manager to finish (up to $APT_LOCK_SECONDS s)"
    [ "$waited" -lt "$APT_LOCK_SECONDS" ] || return 0 # apt then says what holds it
    sleep 5; waited=$((waited + 5))
  done
}

apt_get() {
  wait_for_apt_locks
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=$APT_LOCK_SECONDS "$@"
}

install_packages() {
  local missing="" packages=$PACKAGES add_i386=""
  if kernel_runs_32bit; then
    # 32-bit wine comes from Debian's i386 architecture. It must be there
    # before any prefix is made, or the prefix cannot run 32-bit programs.
    packages="$packages wine32:i386"
    dpkg --print-foreign-architectures | grep -qx i386 || add_i386=1
  fi
  for p in $packages; do
    is_installed "$p" || missing="$missing $p"
  done
  local locales
  locales=$(missing_locales)
  if ! have_root && [ -n "$missing$add_i386$locales" ]; then
    echo "== Not root and no sudo: missing${add_i386:+ the i386 architecture,}${missing:+ packages$missing,}${locales:+ locales$locales}." \
         "As root: ${add_i386:+dpkg --add-architecture i386 && }apt-get update && apt-get install -y$missing locales${locales:+ && printf '%s UTF-8\\n'$locales >> /etc/locale.gen && locale-gen}. Running what can run."
    export VELLOMAR_MISSING_LOCALES="$locales"
    use_64bit_wine_where_needed
    return 0
  fi
  if [ -n "$add_i386" ]; then
    wait_for_apt_locks
    as_root dpkg --add-architecture i386
  fi
  if [ -n "$missing" ]; then
    echo "== Installing:$missing"
    apt_get update -qq
    apt_get install -y -qq $missing >/dev/null
  fi
  generate_locales
  use_64bit_wine_where_needed
}

# The builds whose tests this machine runs: the 64-bit one always, the
# 32-bit one where 32-bit Windows programs run.
test_arches() {
  if wine32_usable; then
    echo "x86_64 i686"
  else
    echo "x86_64"
  fi
}

missing_locales() {
  local l wanted=""
  for l in $TEST_LOCALES; do
    locale -a 2>/dev/null | grep -qix "$(echo "$l" | sed 's/UTF-8/utf8/')" || wanted="$wanted $l"
  done
  echo "$wanted"
}

generate_locales() {
  local l wanted
  wanted=$(missing_locales)
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
  local n log="$BUILD/xvfb.log"
  n=$(free_display)
  mkdir -p "$BUILD"
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [ -S "/tmp/.X11-unix/X$n" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -S "/tmp/.X11-unix/X$n" ]; then
    echo "== Xvfb did not come up on :$n; its log:" >&2
    cat "$log" >&2
    return 1
  fi
  export VELLOMAR_TEST_DISPLAY=":$n"
}

# prepare_prefix DIR [USER]: a wine prefix made once (for USER, whose name
# becomes the profile folder) and reused, served by a persistent wineserver.
prepare_prefix() (
  export WINEPREFIX=$1 WINEDEBUG=-all DISPLAY=$VELLOMAR_TEST_DISPLAY
  [ -z "${2:-}" ] || export USER=$2
  # A prefix made before wine32 was installed cannot run 32-bit programs.
  if [ -f "$WINEPREFIX/system.reg" ] && wine32_usable && [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    echo "== Remaking $WINEPREFIX, which predates 32-bit wine"
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== Making the wine prefix $WINEPREFIX${2:+ for the user $2}"
    mkdir -p "$(dirname "$WINEPREFIX")"
    LC_ALL=C.UTF-8 wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  # A persistent server: without it every test program pays for a new one.
  wineserver -k 2>/dev/null || true
  wineserver -p
  # A network share for the tests, \\vellomar-server\share, served from the
  # prefix's own C:\vellomar-share.
  mkdir -p "$WINEPREFIX/drive_c/vellomar-share" "$WINEPREFIX/dosdevices/unc/vellomar-server"
  ln -sfn "$WINEPREFIX/drive_c/vellomar-share" "$WINEPREFIX/dosdevices/unc/vellomar-server/share"
  # With no window manager, hiding a top-level window otherwise blocks 2 s.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # The caption buttons are drawn with the Marlett symbol font, which a new
  # prefix lacks: without it they show letters ("r" for the close box).
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" f
  for f in marlett.ttf tahoma.ttf tahomabd.ttf; do
    [ -f "$fonts/$f" ] || cp "/usr/share/wine/fonts/$f" "$fonts/" 2>/dev/null || true
  done
)

# make_prefix DIR: the prefix the following wine commands use.
make_prefix() {
  prepare_prefix "$1"
  export WINEPREFIX=$1 WINEDEBUG=-all DISPLAY=$VELLOMAR_TEST_DISPLAY
  WINESERVER_STARTED=1
}

# The account tests' prefixes, made for users whose names the ANSI code
# page cannot hold (tag:user, as tests/CMakeLists.txt names them).
ACCOUNTS="michal:Michał wangwei:王伟"
ACCOUNT_PREFIXES_STARTED=""

ACCOUNT_KEEPALIVE_PIDS=""

start_account_prefixes() {
  local entry
  for entry in $ACCOUNTS; do
    prepare_prefix "$BUILD/accounts/${entry%%:*}" "${entry#*:}"
    (export WINEPREFIX="$BUILD/accounts/${entry%%:*}" USER="${entry#*:}" DISPLAY=$VELLOMAR_TEST_DISPLAY WINEDEBUG=-all
     start_keepalive "$BUILD/x86_64/bin/KeepAlive.exe" || true # slower without it, still right
     echo "$KEEPALIVE_PID" > "$WINEPREFIX/keepalive.pid")
    ACCOUNT_KEEPALIVE_PIDS="$ACCOUNT_KEEPALIVE_PIDS $(cat "$BUILD/accounts/${entry%%:*}/keepalive.pid")"
  done
  ACCOUNT_PREFIXES_STARTED=1
}

stop_account_prefixes() {
  local entry pid
  [ -n "$ACCOUNT_PREFIXES_STARTED" ] || return 0
  for pid in $ACCOUNT_KEEPALIVE_PIDS; do kill "$pid" 2>/dev/null || true; done
  ACCOUNT_KEEPALIVE_PIDS=""
  for entry in $ACCOUNTS; do
    WINEPREFIX="$BUILD/accounts/${entry%%:*}" wineserver -k 2>/dev/null || true
  done
  ACCOUNT_PREFIXES_STARTED=""
  true
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

# start_keepalive PROGRAM: the keep-alive in the current prefix, waited for
# until the desktop is up (it says so with a file).
start_keepalive() {
  local ready="$WINEPREFIX/keepalive.ready"
  rm -f "$ready"
  wine "$1" "Z:${ready//\//\\}" >/dev/null 2>&1 &
  KEEPALIVE_PID=$!
  for _ in $(seq 600); do [ -e "$ready" ] && return 0; sleep 0.1; done
  echo "== The keep-alive in $WINEPREFIX did not start" >&2
  return 1
}

# Ends the keep-alive and the server of the current prefix.
stop_prefix() {
  if [ -n "$KEEPALIVE_PID" ]; then
    # Its end by the signal is no failure of the run (set -e).
    kill "$KEEPALIVE_PID" 2>/dev/null || true
    wait "$KEEPALIVE_PID" 2>/dev/null || true
  fi
  KEEPALIVE_PID=""
  [ -z "$WINESERVER_STARTED" ] || wineserver -k 2>/dev/null || true
  WINESERVER_STARTED=""
  true
}

cleanup() {
  stop_prefix
  stop_account_prefixes
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

# run_tests [ctest args...]: each build's tests in its own prefix, under
# one display, with a persistent wineserver and a keep-alive GUI process.
# Both suites run even when the first fails.
run_tests() {
  local arch preset failed="" exclude=()
  if [ -n "${VELLOMAR_MISSING_LOCALES:-}" ]; then
    echo "== Without the locales$VELLOMAR_MISSING_LOCALES the code-page tests that need them are left out"
    exclude=(-LE locale)
  fi
  trap cleanup EXIT
  start_display
  start_account_prefixes
  cd "$ROOT"
  for arch in ${TEST_ARCHES:-$(test_arches)}; do
    case $arch in i686) preset=x86-tests ;; *) preset=x64-tests ;; esac
    echo "== Testing the $arch build"
    make_prefix "$BUILD/$arch/wineprefix"
    if start_keepalive "$BUILD/$arch/bin/KeepAlive.exe"; then
      ctest --preset "$preset" "${exclude[@]}" "$@" || failed="$failed $arch"
    else
      failed="$failed $arch"
    fi
    stop_prefix
  done
  if [ -n "$failed" ]; then
    echo "== Failed:$failed"
    return 1
  fi
}
