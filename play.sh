#!/usr/bin/env bash
# Builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh play
cmake --preset release >/dev/null
cmake --build --preset release --target drayvane31
exec build/release/bin/drayvane31
