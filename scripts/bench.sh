#!/usr/bin/env bash
# Builds and runs the benchmarks under wine in a prefix of their own:
#   scripts/bench.sh [scan|convert|photos|silent|settings]...   (all by default)
# Prints markdown tables; the README quotes a run of them.
set -euo pipefail
source "$(dirname "$0")/common.sh"

# Pillow makes the phone photos, which ImageMagick's policy refuses.
PACKAGES="$PACKAGES python3-pil"
install_packages
# Both builds where this machine runs 32-bit programs: the i686 one is the
# release most users run.
arches=$(test_arches)
[ "$arches" != x86_64 ] || echo "== 32-bit Windows programs do not run here: only the x86_64 build is measured"
for arch in $arches; do
  build_arch "$arch" -DVELLOMAR_BUILD_TESTS=ON >/dev/null
  cmake --build "$BUILD/$arch" --target vellomar_bench >/dev/null
done

trap cleanup EXIT
start_display
make_prefix "$BUILD/bench-prefix"

work="$BUILD/bench-work"
mkdir -p "$work"
if [ $# -eq 0 ] || [[ " $* " == *" photos "* ]]; then
  /usr/bin/python3 "$ROOT/scripts/make-big-photos.py" "$work/photos"
fi
# The silent run's tree: 10,000 names of one 12 MP JPEG (symbolic links, which
# wine reads as files), 10 to 200 per folder, 3 to 5 levels deep.
silent="$work/silent-10000"
if [ ! -f "$silent/done" ]; then
  rm -rf "$silent"
  n=0 f=0
  while [ $n -lt 10000 ]; do
    depth=$((3 + f % 3)); dir="$silent"
    for d in $(seq 1 $depth); do dir="$dir/level$d-$((f % (d + 2)))"; done
    mkdir -p "$dir"
    per=$((10 + (f * 37) % 191))
    for i in $(seq 1 $per); do
      [ $n -lt 10000 ] || break
      ln -s "$BUILD/x86_64/bin/benchdata/12mp.jpg" "$dir/photo$n.jpg"; n=$((n + 1))
    done
    f=$((f + 1))
  done
  touch "$silent/done"
fi

win() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
for arch in $arches; do
  echo
  echo "## The $arch build"
  wine "$BUILD/$arch/bin/vellomar_bench.exe" "$(win "$work")" "$(win "$BUILD/$arch/bin/benchdata")" \
    "$(win "$BUILD/$arch/bin/Vellomar.exe")" "$(win "$silent")" "$@"
done
