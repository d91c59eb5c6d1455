#!/usr/bin/env bash
# Builds the game (without the tests) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh play
cmake --preset play >/dev/null
cmake --build --preset play
exec build/play/bin/drayvane31
