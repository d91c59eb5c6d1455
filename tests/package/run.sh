#!/usr/bin/env bash
# The Debian package from a clone: built with the deb presets, checked by the
# desktop's and Debian's own validators, then installed and played by
# deb_test.sh. lintian fails the run on any error; its warnings are listed.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset deb >/dev/null
cmake --build --preset deb -j "$(nproc)"
rm -rf build/deb/packages
cpack --preset deb >/dev/null
deb=$(ls build/deb/packages/drayvane31_*.deb)
echo "=== built and packaged in ${SECONDS}s; validating $deb"
desktop-file-validate build/deb/packaging/*.desktop
appstreamcli validate --no-net build/deb/packaging/*.metainfo.xml
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "=== validated by ${SECONDS}s; playing the package"
bash tests/package/deb_test.sh "$deb" tests/golden
echo "=== the package's checks took ${SECONDS}s"
