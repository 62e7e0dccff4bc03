#!/usr/bin/env bash
# Builds Vemro with AddressSanitizer + UndefinedBehaviorSanitizer and the fuzz harnesses
# (clang, libFuzzer) and runs the whole suite with CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/format-check.sh
build=${VEMRO_TEST_BUILD:-build-test}
# A compiler cache makes a rebuild of an unchanged tree (a fresh clone included) mostly cache
# hits; paths are taken relative to the source tree so any clone location shares the cache.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=1
fi
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVEMRO_SANITIZE=ON -DVEMRO_FUZZ=ON -DVEMRO_WERROR=ON
cmake --build "$build" -j "$(nproc)"
cd "$build"
# Most tests wait on the line (wire timing) rather than compute: twice as many as cores.
ctest --output-on-failure -j "$(( $(nproc) * 2 ))" "$@"
bash "$OLDPWD/scripts/package-check.sh"
