#!/usr/bin/env bash
# Makes the manual's screenshots (docs/manual/img/*.png) from the real program: under Xvfb,
# against vxsim, in a fresh program folder with the project "Demoprojekt" whose data were
# read from the virtual terminal. First the window of the very first start (no project),
# then every page of the project in turn. Run it again after the window changed and commit
# the pictures; the build renders the manual from them without a display.
#   bash scripts/screenshots.sh [BIN]      BIN: folder of vemro, vemro-cli and vxsim
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bin=${1:-$root/build-pkg/bin}
out=$root/docs/manual/img
[ -x "$bin/vemro" ] || { echo "kein vemro in $bin" >&2; exit 1; }
if [ -z "${VEMRO_SHOTS_DISPLAY:-}" ]; then
  export VEMRO_SHOTS_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$bin"
fi
mkdir -p "$out"
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
export VEMRO_HOME=$work/home QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
mkdir -p "$VEMRO_HOME/Projekte"
cp "$bin/VEMRO.mdb" "$VEMRO_HOME/"
cp -r "$bin/Hardware" "$VEMRO_HOME/"

# Saves the main window as a small PNG (64 colours are plenty for a dialog window).
shoot() {
  sleep "${2:-1.5}"
  import -window "$win" "$work/shot.png"
  convert "$work/shot.png" -strip -colors 64 "PNG8:$out/$1.png"
  echo "$out/$1.png"
}
start_vemro() {
  "$bin/vemro" &
  pids+=($!)
  win=$(xdotool search --sync --onlyvisible --name '^Vemro$' | head -1)
  xdotool windowmove "$win" 0 0 windowsize "$win" 920 640
  sleep 4
}
stop_vemro() {
  kill "${pids[-1]}" 2>/dev/null || true
  wait "${pids[-1]}" 2>/dev/null || true
  unset 'pids[-1]'
}

# The first start: no project yet.
start_vemro
shoot erster-start
stop_vemro

# The virtual terminal on "Com 1", a greeting on its display and a project read from it.
link=$VEMRO_HOME/vxsim-com1
"$bin/vxsim" --pty-link "$link" --speed 19200 --test-plugs &
pids+=($!)
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
"$bin/vemro-cli" ports map 1 "$link" >/dev/null
"$bin/vemro-cli" project new Demoprojekt >/dev/null
# A display text has no answer to wait for.
"$bin/vemro-cli" --com 1 send "<ESC>LL<ESC>LC1,1;Vemro Handbuch<ESC>LC2,1;Demoprojekt" \
  >/dev/null 2>&1 || true
for area in config texts keys; do
  "$bin/vemro-cli" --com 1 --yes "$area" read Demoprojekt >/dev/null || true
done
"$bin/vemro-cli" project use Demoprojekt >/dev/null

# Every page: the first tab is clicked, the mouse wheel over the tab bar moves to the next.
start_vemro
xdotool mousemove --window "$win" 30 42 click 1
for page in projekt schnittstelle tastatur konfiguration festtexte user-zeichen io-ports \
            qm-test demos; do
  shoot "$page"
  xdotool mousemove --window "$win" 30 42 click 5
done
stop_vemro
du -ch "$out"/*.png | tail -1
