#!/usr/bin/env bash
# The edit-test loop: builds only the 64-bit program and its tests (no
# release build, no setup programs), then runs CTest with the arguments
# given, in the same prefix and display set-up as scripts/test.sh:
#   scripts/quick-test.sh -R Picture
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_packages
build_arch x86_64 -DVELLOMAR_BUILD_TESTS=ON -DVELLOMAR_PACKAGES=OFF

TEST_ARCHES=x86_64 run_tests "$@"
