#!/usr/bin/env bash
# Runs the browser tests (browser.test.mjs) against a built site, first
# installing their npm packages from the lock file when they are missing.
# Usage: run_browser_tests.sh SITE REPLAY GOLDEN_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -f "$here/node_modules/.package-lock.json" ] ||
  [ "$here/package-lock.json" -nt "$here/node_modules/.package-lock.json" ]; then
  # puppeteer-core never fetches a browser: the system's Chromium is used.
  (cd "$here" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi
export DRAYVANE_SITE=$1 DRAYVANE_REPLAY=$2 DRAYVANE_GOLDEN=$3
exec node --test --test-reporter=tap "$here/browser.test.mjs"
