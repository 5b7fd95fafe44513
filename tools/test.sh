#!/bin/bash
# Sets up, builds and runs every test.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh"
source "$root/tools/env.sh"
source "$root/tools/display.sh"
# One wineserver for the whole run: each test process attaches to it
# instead of starting its own.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
cd "$SSO_BUILD_RUN"
ctest --output-on-failure -j"${SSO_JOBS:-$(nproc)}" "$@"
