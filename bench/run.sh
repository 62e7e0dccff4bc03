#!/usr/bin/env bash
# Builds vemro-cli, vxsim and vemro-bench in a Release build and prints the benchmark table.
# Arguments go to vemro-bench (e.g. --speeds 19200 --only scan, --keep DIR for the logs).
# VEMRO_BENCH_BUILD names the build folder (absolute or relative to the checkout).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${VEMRO_BENCH_BUILD:-build-bench}
case $build in /*) ;; *) build=$root/$build ;; esac
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
nice cmake --build "$build" -j "${VEMRO_BENCH_JOBS:-2}" --target vemro-cli vxsim vemro-bench vemro_data >/dev/null
exec "$build/bin/vemro-bench" --bin "$build/bin" "$@"
