#!/usr/bin/env bash
# Builds Vemro and starts it next to the virtual terminal vxsim, whose serial port is
# mapped to "Com 1". Without a display it runs the same under Xvfb, saves a screenshot
# of the screen (main window and terminal) and prints the file's path.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/deps.sh
build=${VEMRO_RUN_BUILD:-build-run}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"
bin=$root/$build/bin
export VEMRO_HOME=${VEMRO_HOME:-$bin}

if [ -z "${DISPLAY:-}" ]; then
  shot=${VEMRO_SCREENSHOT:-$root/$build/vemro-screenshot.png}
  xvfb-run -a -s "-screen 0 1366x768x24" bash "$root/scripts/run-session.sh" "$bin" "$shot"
  echo "Screenshot: $shot"
else
  bash "$root/scripts/run-session.sh" "$bin"
fi
