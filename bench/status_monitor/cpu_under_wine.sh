#!/usr/bin/env bash
# CPU time of the built status monitor under Wine beside the printer stand-in with one ready printer:
# the monitor process's own user + system time (from /proc, which counts every thread it ever had)
# over a measured interval, after the window has settled, as a share of one core.
# Usage: bench/status_monitor/cpu_under_wine.sh [build folder, default build/win64] [seconds, default 30]
# Uses $WINEPREFIX if set (else a fresh prefix under /tmp, removed afterwards) and its own Xvfb
# display (:${BENCH_DISPLAY:-77}) unless $DISPLAY is set.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/win64}
seconds=${2:-30}
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
hz=$(getconf CLK_TCK)
before=$(cpu_ticks)
sleep "$seconds"
after=$(cpu_ticks)
[ -e "/proc/$monitor/stat" ] || { echo "the monitor ended during the measurement" >&2; exit 1; }
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN {
  printf "status monitor CPU over %d s: %.0f ms, %.2f %% of one core\n", s, t * 1000 / hz, t * 100 / hz / s }'
