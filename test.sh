#!/usr/bin/env bash
# Builds and runs every test twice: a normal build, then one under
# AddressSanitizer and UndefinedBehaviorSanitizer (any report fails the run);
# then the web build, played in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh test
jobs=$(nproc)
for preset in release sanitize; do
  echo "=== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "=== $preset tests"
  ctest --preset "$preset" -j "$jobs"
done
echo "=== web build"
scripts/fetch_sources.sh libsdl2 libpng1.6 zlib
cmake --preset web >/dev/null
cmake --build --preset web -j "$jobs"
echo "=== web tests"
ctest --preset web
