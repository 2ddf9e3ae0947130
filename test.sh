#!/usr/bin/env bash
# Runs the static analysers, builds the test configuration (debug information at -O1, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs the whole suite headless; then builds the Debian package and
# checks it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh
# The layers below the window reach it only through its seam.
scripts/include-graph.sh --below-app-check
# clang-tidy and clazy, held at no finding.
scripts/analyse.sh
cmake --preset test
cmake --build --preset test
(cd build/test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")
# The Debian package, built and checked as an installer meets it.
scripts/package-check.sh
