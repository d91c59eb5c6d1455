#!/usr/bin/env bash
# Builds and runs every test: a normal build, one under AddressSanitizer and
# UndefinedBehaviorSanitizer (any report fails the run), the Windows program
# cross-built with mingw-w64 with its tests run under Wine, the web build
# played in headless Chromium, and the Debian package, built, validated and
# played from its menu entry.
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

echo "=== windows build"
# SDL2, libpng and GoogleTest for Windows come from Debian's source packages.
scripts/fetch_sources.sh libsdl2 libpng1.6 googletest
# One Wine server for the whole build and test run (the build runs the font
# and art tools under Wine too).
scripts/wine_server.sh start
trap 'scripts/wine_server.sh stop' EXIT
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
echo "=== windows tests (under Wine)"
ctest --preset windows -j "$jobs" --timeout 900

echo "=== web build"
scripts/fetch_sources.sh libsdl2 libpng1.6 zlib
cmake --preset web >/dev/null
cmake --build --preset web -j "$jobs"
echo "=== web tests"
ctest --preset web

echo "=== Debian package"
tests/package/run.sh
