#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the simulated notebook need, if any is
# missing. Debian bookworm, amd64; the i386 architecture is not needed (tests run wine64).
set -eu
pkgs="cmake ninja-build python3 python3-pil g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
      binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 googletest
      wine wine64 fonts-wine fonts-wqy-microhei fonts-thai-tlwg fonts-dejavu-core
      xvfb locales util-linux procps"
missing=""
for p in $pkgs; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
