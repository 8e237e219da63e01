#!/usr/bin/env bash
# Times appsetup.exe against xcopy under Wine (1,000 small files and one 100 MB file, built in the
# prefix's temporary folder under /tmp and removed afterwards).
# Usage: bench/app_installer/run.sh [build folder, default build/win64]
# Uses $WINEPREFIX if set (else a fresh /tmp/wine-appbench) and $DISPLAY if set (else its own Xvfb
# on :${BENCH_DISPLAY:-76}).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/win64}
bin=$build/bin
[ -f "$bin/bench_appsetup.exe" ] || { echo "build bench_appsetup first (cmake --build $build --target bench_appsetup)" >&2; exit 2; }

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX=/tmp/wine-appbench WINEARCH=win64
  [ -d "$WINEPREFIX" ] || { env -u DISPLAY /usr/lib/wine/wine64 wineboot -i; /usr/lib/wine/wineserver -w; }
fi
xvfb=
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:${BENCH_DISPLAY:-76}
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
fi
trap '[ -n "$xvfb" ] && kill "$xvfb"' EXIT
"$root/tests/win/run-under-wine" "$bin/bench_appsetup.exe" "${@:2}"
