#!/usr/bin/env bash
# Installs what is missing, builds both architectures with their tests and
# the packages, and runs each build's tests under wine in its own prefix and
# display: the 32-bit suite only where this machine's kernel runs 32-bit code.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_packages
arches=$(test_arches)
if [ "$arches" = x86_64 ]; then
  echo "== This machine's kernel runs no 32-bit code: the 32-bit build is built, its tests are not run"
fi
echo "== Building i686 (the release)"
build_arch i686 -DVELLOMAR_BUILD_TESTS=$([ "$arches" = x86_64 ] && echo OFF || echo ON) -DVELLOMAR_PACKAGES=ON
echo "== Building x86_64"
build_arch x86_64 -DVELLOMAR_BUILD_TESTS=ON -DVELLOMAR_PACKAGES=ON
collect_packages

run_tests "$@"
