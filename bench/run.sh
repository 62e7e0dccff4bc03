#!/usr/bin/env bash
# Builds vemro, vemro-cli, vxsim and vemro-bench in a Release build, prints the benchmark
# table and then the cold start of vemro under Xvfb. Arguments go to the table's run of
# vemro-bench (e.g. --speeds 19200 --only scan, --keep DIR for the logs).
# VEMRO_BENCH_BUILD names the build folder (absolute or relative to the checkout);
# VEMRO_BENCH_COLD=0 leaves the cold start out, VEMRO_BENCH_PROBE=0 the line probe.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${VEMRO_BENCH_BUILD:-build-bench}
case $build in /*) ;; *) build=$root/$build ;; esac
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
nice cmake --build "$build" -j "${VEMRO_BENCH_JOBS:-2}" \
  --target vemro vemro-cli vxsim vemro-bench vemro-window-bench vemro_data >/dev/null
"$build/bin/vemro-bench" --bin "$build/bin" "$@"
# What the machine and vxsim add to every exchange, without vemro (VEMRO_BENCH_PROBE=0: not).
if [ "${VEMRO_BENCH_PROBE:-1}" != 0 ]; then
  "$build/bin/vemro-bench" --bin "$build/bin" --probe 3763 --runs 3
fi
if [ "${VEMRO_BENCH_COLD:-1}" != 0 ]; then
  xvfb-run -a -s "-screen 0 1600x900x24" \
    "$build/bin/vemro-bench" --bin "$build/bin" --cold-start "${VEMRO_BENCH_COLD_RUNS:-7}"
fi
