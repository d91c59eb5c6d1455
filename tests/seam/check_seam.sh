#!/usr/bin/env bash
# The game and the platform services never see SDL: only the SDL backend may.
set -u
src="$1/src"
bad=$(grep -rlE '#[[:space:]]*include[[:space:]]*[<"]SDL' "$src" | grep -v "^$src/platform/backends/sdl/" || true)
if [ -n "$bad" ]; then
  echo "SDL included outside the SDL backend:"; echo "$bad"; exit 1
fi
bad=$(grep -rnE '#[[:space:]]*if(def|ndef)?\b' "$src/game" || true)
if [ -n "$bad" ]; then
  echo "Conditional compilation in game code:"; echo "$bad"; exit 1
fi
echo "seam intact"
