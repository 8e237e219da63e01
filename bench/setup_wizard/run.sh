#!/usr/bin/env bash
# Times the driver setup wizard's information-file load (255 entries in each list) under Wine.
# Usage: bench/setup_wizard/run.sh [build folder, default build/win64]
# Uses $WINEPREFIX if set, else a fresh prefix under /tmp that is removed afterwards.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=${1:-$root/build/win64}/bin
[ -f "$bin/bench_setup_information.exe" ] || { echo "build the target bench_setup_information first" >&2; exit 2; }
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX=$(mktemp -d /tmp/wine-kvbench.XXXXXX)/prefix WINEARCH=win64
  trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$(dirname "$WINEPREFIX")"' EXIT
  env -u DISPLAY /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
fi
"$root/tests/win/run-under-wine" "$bin/bench_setup_information.exe"
