#!/usr/bin/env bash
# Fetches and unpacks Debian's source packages of the libraries that Debian
# ships no build of for another target (Windows, the browser), into
# build/sources/<package>/. Usage: scripts/fetch_sources.sh PACKAGE...
# Already unpacked packages are kept; only Debian's archive is asked.
set -euo pipefail
cd "$(dirname "$0")/.."
dest=build/sources
mkdir -p "$dest"

# apt needs a source entry; one is added only where the system has none.
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "No deb-src entry for apt. Run this once, then try again:" >&2
    echo "  printf 'Types: deb-src\\nURIs: http://deb.debian.org/debian\\nSuites: bookworm\\nComponents: main\\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\\n' | sudo tee /etc/apt/sources.list.d/drayvane-src.sources && sudo apt-get update" >&2
    exit 1
  fi
  # Signed as the system's own entry for the archive is, which apt requires.
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    >/etc/apt/sources.list.d/drayvane-src.sources
  apt-get update -qq -o DPkg::Lock::Timeout=900
fi

for package in "$@"; do
  [ -f "$dest/$package/.unpacked" ] && continue
  work=$(mktemp -d "$dest/.fetch-$package.XXXXXX")
  (cd "$work" && apt-get source -qq "$package" >/dev/null)
  tree=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  [ -n "$tree" ] || { echo "fetch_sources: no source tree for $package" >&2; exit 1; }
  rm -rf "${dest:?}/$package"
  mv "$tree" "$dest/$package"
  rm -rf "$work"
  touch "$dest/$package/.unpacked"
  echo "Unpacked Debian's $package into $dest/$package"
done
