#!/bin/bash
# Captures the running program on a scenario into a PNG, in a Wine virtual
# desktop on the private X display:
#   tools/screenshot.sh OUTPUT.png [SCENARIO]
# Expects a finished build (tools/build.sh).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/env.sh"
unset DISPLAY
source "$root/tools/display.sh"
output=$(realpath "$1")
scenario=$(realpath "${2:-$root/tools/sim/scenarios/default.txt}")
cd "$SSO_BUILD_RUN/bin"
"$root/cmake/wine-exec.sh" simenv.exe apply "Z:${scenario//\//\\}"
"$root/cmake/wine-exec.sh" explorer /desktop=sso,820x720 sso.exe &
sleep "${SSO_SCREENSHOT_DELAY:-8}"
import -display "$DISPLAY" -window root -crop 820x720+0+0 "$output"
"$root/cmake/wine-exec.sh" taskkill /im sso.exe /f >/dev/null 2>&1 || true
wait || true
