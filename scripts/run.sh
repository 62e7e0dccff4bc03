#!/usr/bin/env bash
# Builds Vemro and starts it beside the virtual terminal vxsim, whose serial port is
# mapped to "Com 1". A program folder without projects gets the project "Demoprojekt" (from
# vx_standard) as its recently used project, so Vemro opens it and reads the terminal's
# version at start; later runs reuse it. Without a display it runs the same under Xvfb,
# saves a screenshot of the screen (main window and terminal) and prints the file's path.
# VEMRO_RUN_BUILD names the build folder, absolute or relative to the checkout.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/deps.sh
build=${VEMRO_RUN_BUILD:-build-run}
case $build in /*) ;; *) build=$root/$build ;; esac
# A folder configured before keeps its build type.
if [ -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" >/dev/null
else
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target vemro vemro-cli vxsim vemro_data
bin=$build/bin
export VEMRO_HOME=${VEMRO_HOME:-$bin}

projects=$("$bin/vemro-cli" project list 2>/dev/null || true)
if [ -z "$projects" ]; then
  "$bin/vemro-cli" project new Demoprojekt >/dev/null
  echo "Projekt Demoprojekt angelegt (Com 1, 19200 Baud)"
  projects=Demoprojekt
fi
# Only the demo there: it is the one to open (a rebuilt program database forgets it).
if [ "$projects" = Demoprojekt ]; then
  "$bin/vemro-cli" project use Demoprojekt >/dev/null
fi

if [ -z "${DISPLAY:-}" ]; then
  shot=${VEMRO_SCREENSHOT:-$build/vemro-screenshot.png}
  xvfb-run -a -s "-screen 0 1600x900x24" bash "$root/scripts/run-session.sh" "$bin" "$shot"
  echo "Screenshot: $shot"
else
  bash "$root/scripts/run-session.sh" "$bin"
fi
