#!/bin/bash
# Sets up, builds and starts the program on a simulated environment:
#   tools/run.sh [SCENARIO]   (default: tools/sim/scenarios/default.txt)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"
scenario=$(realpath "${1:-$root/tools/sim/scenarios/default.txt}")
cd "$SSO_BUILD_RUN/bin"
"$root/cmake/wine-exec.sh" simenv.exe apply "Z:${scenario//\//\\}"
echo "run: sso.exe is starting on display $DISPLAY"
exec "$root/cmake/wine-exec.sh" sso.exe
