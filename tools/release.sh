#!/usr/bin/env bash
# Builds the three savers and packs dist/Tarvelimunde-VERSION.zip (or OUTPUT):
# x86/ and x64/Tarvelimunde.scr, x64/Tarvelimunde Flow.scr, SHA256SUMS,
# README.txt and LICENSE.txt;
# and, beside it, the XScreenSaver module's tarvelimunde_VERSION_amd64.deb,
# with its changelog made from CHANGELOG.md. VERSION is the
# project's version, with git describe's suffix when there are commits after
# its tag vVERSION (or the commit, when there is no tag).
#
#   bash tools/release.sh [OUTPUT]
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/build.sh win32 Tarvelimunde
bash tools/build.sh win64 Tarvelimunde flow
staging=build/release
rm -rf "$staging"
cmake --install build/win32 --prefix "$staging/x86" >/dev/null
cmake --install build/win64 --prefix "$staging/x64" >/dev/null

cache_value() { sed -n "s/^$1:[A-Z]*=//p" build/win64/CMakeCache.txt; }
version=$(cache_value CMAKE_PROJECT_VERSION)
if git rev-parse --git-dir >/dev/null 2>&1; then
  if described=$(git describe --tags --long --dirty --match "v$version" 2>/dev/null); then
    # On the tag itself only a -dirty is left.
    suffix=$(sed -E 's/^-0-g[0-9a-f]+//' <<<"${described#"v$version"}")
  else
    suffix=-g$(git rev-parse --short HEAD)
    git diff --quiet HEAD 2>/dev/null || suffix+=-dirty
  fi
  version+=$suffix
fi

output=${1:-dist/Tarvelimunde-$version.zip}
mkdir -p "$(dirname "$output")"
"$(cache_value Python3_EXECUTABLE)" tools/release/package.py "$version" \
  "$staging/x86/Tarvelimunde.scr" "$staging/x64/Tarvelimunde.scr" "$staging/x64/Tarvelimunde Flow.scr" \
  tools/release/README.txt LICENSE "$output"
echo "$output"

# The Debian package of the module and the Wayland client, by CPack from the native tree.
bash tools/build.sh native tarvelimunde tarvelimunde-wayland
deb_staging=build/release-deb
rm -rf "$deb_staging"
# File times from the commit, so that two builds give the same bytes.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || echo 0) \
  cpack --config build/native/CPackConfig.cmake -B "$deb_staging" -R "$version" >/dev/null
deb=$(ls "$deb_staging"/tarvelimunde_*_amd64.deb)
cp "$deb" "$(dirname "$output")/"
echo "$(dirname "$output")/$(basename "$deb")"
