#!/bin/bash
# Sets up, builds and runs every test.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"
# One Wine session for the whole run: the desktop process (the one Wine
# would start for the first window) stays resident, and with it the
# wineserver and Wine's service processes, so each test process attaches
# to them. Started here, outside CTest, they do not hold CTest's output
# pipes open, which would make CTest wait for them forever.
wineserver -k 2>/dev/null || true
wineserver -p
"$root/cmake/wine-exec.sh" explorer.exe /desktop >/dev/null 2>&1 </dev/null &
trap 'wineserver -k 2>/dev/null || true' EXIT
"$root/cmake/wine-exec.sh" cmd.exe /c exit >/dev/null 2>&1 </dev/null
cd "$SSO_BUILD_RUN"
ctest --output-on-failure -j"${SSO_JOBS:-$(nproc)}" "$@"
# The parsers of untrusted bytes, natively under the sanitizers: the
# committed corpora replayed, then a short run of each fuzz target.
"$root/fuzz/check.sh"
