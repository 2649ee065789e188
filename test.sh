#!/usr/bin/env bash
# Builds both architectures (x86_64, i686) and runs every test under Wine.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh

cmake --preset x64 >/dev/null
cmake --build --preset x64
cmake --preset x86 >/dev/null
cmake --build --preset x86

. tools/wine-env.sh
trap 'hlm_wine_stop "$PWD/build/x64"' EXIT
status=0
ctest --preset x64 || status=$?
tools/check-binaries.sh build/x64 build/x86 || status=1
exit $status
