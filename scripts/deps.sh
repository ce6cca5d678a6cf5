#!/bin/sh
# Installs what Kestrel builds and tests with, on Debian 12. Safe to run again.
set -eu
packages="build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev qt6-svg-dev fonts-dejavu-core wine wine64 strace xauth
  clang libclang-rt-14-dev mingw-w64 desktop-file-utils shared-mime-info"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  # shellcheck disable=SC2086
  $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
