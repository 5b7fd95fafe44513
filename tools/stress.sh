#!/bin/bash
# Random input against the skinned main window and the gallery's pages for
# SECONDS (default 30), from SEED (default: a new one, printed):
#   tools/stress.sh [SECONDS [SEED]]
# Rerunning with a seed the run printed replays its input.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"
seconds=${1:-30}
seed=()
[ $# -ge 2 ] && seed=("--seed=$2")
cd "$SSO_BUILD_RUN/bin"
exec "$root/cmake/wine-exec.sh" stress.exe "--seconds=$seconds" "${seed[@]}"
