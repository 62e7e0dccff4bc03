#!/usr/bin/env bash
# Builds the Debian package of Vemro (vemro_<version>_<arch>.deb) with CPack from a Release
# build of the programs, the data, the man pages and the manual (no tests), and prints its
# path. VEMRO_PKG_BUILD names the build folder (default build-pkg).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/deps.sh >&2
build=${VEMRO_PKG_BUILD:-build-pkg}
case $build in /*) ;; *) build=$root/$build ;; esac
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVEMRO_TESTS=OFF -DVEMRO_WERROR=ON >&2
cmake --build "$build" -j "$(nproc)" >&2
rm -f "$build"/vemro_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/vemro_*.deb
