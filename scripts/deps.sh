#!/usr/bin/env bash
# Installs the Debian packages that building, playing or testing needs.
# Usage: scripts/deps.sh play|web|test (web: the browser build)
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libsdl2-dev libpng-dev zlib1g-dev)
case "${1:-play}" in web | test) packages+=(emscripten dpkg-dev) ;; esac
if [ "${1:-play}" = test ]; then
  packages+=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev xvfb xdotool imagemagick x11-utils
    openbox dpkg-dev lintian desktop-file-utils appstream sway grim wtype xwayland jq
    libwayland-dev libxkbcommon-dev
    # the Windows build and its tests: the cross-compilers, zlib for Windows,
    # Wine; dpkg-dev (above) also fetches Debian's source packages
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 chromium)
  # The browser tests run under Node with npm; a Node that came with its own
  # npm (not Debian's) conflicts with Debian's npm package.
  command -v npm >/dev/null || packages+=(nodejs npm)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq -o DPkg::Lock::Timeout=900
  apt-get install -y -qq -o DPkg::Lock::Timeout=900 --no-install-recommends "${missing[@]}" >/dev/null
else
  echo "Missing packages. Run this once, then try again:"
  echo "  sudo apt-get install -y ${missing[*]}"
  exit 1
fi
