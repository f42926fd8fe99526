#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
source "$(dirname "$0")/common.sh"
install_packages
build_release
ctest --test-dir "$BUILD" --output-on-failure -j "$(nproc)"
