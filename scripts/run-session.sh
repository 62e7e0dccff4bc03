#!/usr/bin/env bash
# One session on the current display: vxsim (when built) with its window, its pty linked
# into the program folder and mapped to "Com 1", a greeting from the PC on its display,
# then Vemro beside it. With a second argument the session is unattended: after a few
# seconds the screen is saved to that file and both programs are ended.
set -uo pipefail
bin=$1
shot=${2:-}
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; }
trap cleanup EXIT

# Side by side: the main window at the left, the terminal to its right.
if [ -x "$bin/vxsim" ]; then
  link=$VEMRO_HOME/vxsim-com1
  "$bin/vxsim" --gui --pty-link "$link" --speed 19200 -qwindowgeometry +1060+0 &
  pids+=($!)
  for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
  if "$bin/vemro-cli" ports map 1 "$link" >/dev/null 2>&1; then
    echo "vxsim läuft an $link (Com 1)"
    "$bin/vemro-cli" send "<ESC>LL<ESC>LC1,1;Hallo von Vemro<ESC>LC2,1;Com 1, 19200 Baud" \
      >/dev/null 2>&1
  fi
fi

if [ -n "$shot" ]; then
  "$bin/vemro" &
  pids+=($!)
  sleep "${VEMRO_SCREENSHOT_DELAY:-6}"
  import -window root "$shot"
else
  "$bin/vemro"
fi
