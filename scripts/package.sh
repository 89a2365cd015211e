#!/usr/bin/env bash
# Builds the release packages into build/packages: the 32-bit setup program
# (the release), the 64-bit one, and the portable zip of the 32-bit program.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_packages
build_arch i686 -DVELLOMAR_BUILD_TESTS=OFF -DVELLOMAR_PACKAGES=ON >/dev/null
build_arch x86_64 -DVELLOMAR_BUILD_TESTS=OFF -DVELLOMAR_PACKAGES=ON >/dev/null
collect_packages
