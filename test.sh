#!/usr/bin/env bash
# Builds and runs every test twice: a normal build, then one under
# AddressSanitizer and UndefinedBehaviorSanitizer (any report fails the run);
# then the Debian package is built, validated and played from its menu entry.
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
echo "=== Debian package"
tests/package/run.sh
