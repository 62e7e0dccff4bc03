#!/bin/bash
# Long runs of the libFuzzer harnesses, one after the other, each in one process at low
# priority (the test command only replays the seeds for a few seconds). Not part of the
# test command.
#
#   fuzz/long-run.sh [--build DIR] [--runs N] [--seconds S] [--out DIR] [HARNESS...]
#
# HARNESS is the folder name under fuzz/ (festtext_readback) or the program name
# (fuzz_festtext_readback); without any, the reply and table harnesses below run. --seconds
# caps each harness (0: no cap, the run ends after --runs executions). New inputs and
# findings go to --out (default: a new folder under /tmp), never into the committed seeds.
# Prints one table row per harness: executions, seconds, executions per second, corpus
# size (inputs libFuzzer kept), peak memory and findings; libFuzzer's own output stays in
# OUT/NAME/fuzz-0.log and its last lines are shown.
#
# The build (--build) defaults to build-fuzz when it exists, else build-test. build-fuzz is
# the sanitizers and the fuzzer with optimisation, several times faster than the test
# command's debug build:
#   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
#     -DVEMRO_SANITIZE=ON -DVEMRO_FUZZ=ON && ninja -C build-fuzz fuzz_festtext_readback ...
# The harnesses run with the test command's sanitizer settings (leaks found, suppressions
# for Qt's own).
set -u
src=$(cd "$(dirname "$0")/.." && pwd)
build=$src/build-test
[ -d "$src/build-fuzz/fuzz" ] && build=$src/build-fuzz
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$src/tests/lsan.supp:print_suppressions=0
runs=1000000
seconds=0
out=
harnesses=()
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --out) mkdir -p "$2" && out=$(cd "$2" && pwd); shift 2 ;;
    -h|--help) sed -n '2,22p' "$0"; exit 0 ;;
    -*) echo "long-run: unbekannte Option $1" >&2; exit 2 ;;
    *) harnesses+=("${1#fuzz_}"); shift ;;
  esac
done
[ ${#harnesses[@]} -gt 0 ] ||
  harnesses=(festtext_readback keyboard_replies project_tables usercharpattern report_writers
             bootloader_replies)
[ -n "$out" ] || out=$(mktemp -d /tmp/vemro-fuzz.XXXXXX)

status=0
echo "# $(date -u '+%Y-%m-%d %H:%M UTC'), build=$build runs=$runs seconds=$seconds, out=$out"
echo "| Harness | Executions | Seconds | Exec/s | Corpus | Peak RSS MB | Findings |"
echo "|---|---|---|---|---|---|---|"
for h in "${harnesses[@]}"; do
  bin=$build/fuzz/fuzz_$h
  seeds=$src/fuzz/corpus/fuzz_$h
  if [ ! -x "$bin" ] || [ ! -d "$seeds" ]; then
    echo "long-run: $bin oder $seeds fehlt (mit -DVEMRO_FUZZ=ON bauen)" >&2
    status=1
    continue
  fi
  dir=$out/$h
  mkdir -p "$dir/corpus"
  limit=()
  [ "$seconds" -gt 0 ] && limit=(-max_total_time="$seconds")
  start=$(date +%s)
  # -jobs=1 runs the fuzzing in one child whose output goes to fuzz-0.log in the folder.
  (cd "$dir" && nice -n 10 "$bin" -runs="$runs" "${limit[@]}" -jobs=1 -workers=1 \
    -rss_limit_mb=2048 -timeout=30 -print_final_stats=1 -artifact_prefix="$dir/" \
    "$dir/corpus" "$seeds" >"$dir/driver.log" 2>&1)
  rc=$?
  wall=$(($(date +%s) - start))
  log=$dir/fuzz-0.log
  stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -1; }
  execs=$(stat number_of_executed_units)
  rate=$(stat average_exec_per_sec)
  rss=$(stat peak_rss_mb)
  corpus=$(grep -o 'corp: [0-9]*' "$log" | tail -1 | sed 's/corp: //')
  found=$(find "$dir" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
    -o -name 'oom-*' \) | wc -l)
  if [ "$rc" -ne 0 ] && [ "$found" -eq 0 ]; then
    found="exit $rc"
  fi
  [ "$found" = 0 ] || status=1
  echo "| \`fuzz_$h\` | ${execs:-?} | $wall | ${rate:-?} | ${corpus:-?} | ${rss:-?} | $found |"
  tail -n 3 "$log" | sed 's/^/#   /'
done
exit $status
