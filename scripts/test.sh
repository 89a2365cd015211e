#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit release and the 64-bit test
# build, and runs the tests under wine in the build's own prefix and display.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_packages
echo "== Building i686 (release)"
build_arch i686 -DVELLOMAR_BUILD_TESTS=OFF -DVELLOMAR_PACKAGES=ON
echo "== Building x86_64 (tests)"
build_arch x86_64 -DVELLOMAR_BUILD_TESTS=ON -DVELLOMAR_PACKAGES=ON
collect_packages

run_tests "$@"
