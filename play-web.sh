#!/usr/bin/env bash
# Builds the game as a web page and serves it at http://127.0.0.1:8031/.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh web
scripts/fetch_sources.sh libsdl2 libpng1.6 zlib
cmake --preset web >/dev/null
cmake --build --preset web
echo "Drayvane 31 in the browser: http://127.0.0.1:8031/ (Ctrl+C stops the server)"
exec python3 -m http.server 8031 --bind 127.0.0.1 --directory build/web/site
