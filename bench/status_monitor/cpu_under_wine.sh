#!/usr/bin/env bash
# CPU time of the built status monitor under Wine beside the printer stand-in with one ready printer:
# the monitor process's own user + system time (from /proc, which counts every thread it ever had)
# over a measured interval, after the window has settled, as a share of one core.
# Usage: bench/status_monitor/cpu_under_wine.sh [build folder, default build/win64] [seconds, default 30] [hidden]
# With "hidden" the window is first sent to the notification area by a click on "Minimize" (xdotool),
# and the pointer is then moved off: Wine polls the pointer every ~10 ms for the button's hover state
# while it stays still over where the hidden button was (1.5-3 % of a core), which a real desktop's
# moving pointer ends at once.
# Uses $WINEPREFIX if set (else a fresh prefix under /tmp, removed afterwards) and its own Xvfb
# display (:${BENCH_DISPLAY:-77}) unless $DISPLAY is set.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/win64}
seconds=${2:-30}
hidden=${3:-}
bin=$build/bin
[ -f "$bin/TPX800StatusMonitor.exe" ] && [ -f "$bin/QLC07RT.dll" ] ||
  { echo "build TPX800StatusMonitor and QLC07RT first (cmake --build $build --target TPX800StatusMonitor QLC07RT)" >&2; exit 2; }
loader=/usr/lib/wine/wine64
[ "$(basename "$build")" = win32 ] && loader=/usr/lib/wine/wine

work=$(mktemp -d /tmp/monitor-cpu.XXXXXX)
xvfb=
monitor=
cleanup() {
  [ -n "$monitor" ] && kill "$monitor" 2>/dev/null
  [ -n "${own_prefix:-}" ] && { /usr/lib/wine/wineserver -k 2>/dev/null || true; }
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ -z "${WINEPREFIX:-}" ]; then
  own_prefix=1
  export WINEPREFIX=$work/prefix WINEARCH=win64
  env -u DISPLAY /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
fi
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:${BENCH_DISPLAY:-77}
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
fi

printf '[Printer0]\nConnected=1\nStatus=ready\nState=ready\nInkType=YMCKOP\nInkQuantity=40\nLot=LOT-0001\nOptions=iso_mag,laminator\nLaminatorVersion=0102\n' \
  >"$work/printers.ini"
(cd "$bin" && QLC07RT_STATE="$work/printers.ini" exec "$loader" TPX800StatusMonitor.exe >/dev/null 2>&1) &
monitor=$!

# The loader execs the Windows process in place: the process started is the one measured.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$monitor/stat"; }
sleep 8  # start-up: prefix services, window creation, first pictures
[ -e "/proc/$monitor/stat" ] || { echo "the monitor did not start" >&2; exit 1; }
if [ "$hidden" = hidden ]; then
  command -v xdotool >/dev/null || { echo "\"hidden\" needs xdotool (apt-get install xdotool)" >&2; exit 2; }
  window=$(xdotool search --name "TPX800 Status Monitor" | head -1)
  [ -n "$window" ] || { echo "the monitor's window was not found" >&2; exit 1; }
  # The centre of "Minimize" (7800,6510 twips, 1440 x 420) in the client area, at 15 twips a pixel.
  xdotool mousemove --window "$window" 568 448 click 1
  sleep 1
  xdotool mousemove 1000 900
  sleep 2
  xwininfo -id "$window" | grep -q IsUnMapped || { echo "the window did not hide" >&2; exit 1; }
fi
hz=$(getconf CLK_TCK)
before=$(cpu_ticks)
sleep "$seconds"
after=$(cpu_ticks)
[ -e "/proc/$monitor/stat" ] || { echo "the monitor ended during the measurement" >&2; exit 1; }
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN {
  printf "status monitor'"${hidden:+ (hidden)}"' CPU over %d s: %.0f ms, %.2f %% of one core\n", s, t * 1000 / hz, t * 100 / hz / s }'
