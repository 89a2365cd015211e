#!/usr/bin/env bash
# Installs what is missing, builds both architectures with their tests and
# the packages, and runs each build's tests under wine in its own prefix and
# display: the 32-bit suite only where this machine's kernel runs 32-bit code.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_packages
arches=$(test_arches)
if [ "$arches" = x86_64 ]; then
  echo "== 32-bit Windows programs do not run here: the 32-bit build is built, its tests are not run"
fi
# Without NSIS (a user who cannot install it) the programs are still built
# and tested; the setups and their tests are left out.
packages=ON
command -v makensis >/dev/null 2>&1 || { packages=OFF; echo "== No makensis: the setup programs and their tests are left out"; }
echo "== Building i686 (the release)"
build_arch i686 -DVELLOMAR_BUILD_TESTS=$([ "$arches" = x86_64 ] && echo OFF || echo ON) -DVELLOMAR_PACKAGES=$packages
echo "== Building x86_64"
build_arch x86_64 -DVELLOMAR_BUILD_TESTS=ON -DVELLOMAR_PACKAGES=$packages
[ "$packages" = OFF ] || collect_packages

run_tests "$@"
