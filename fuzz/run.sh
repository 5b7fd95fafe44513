#!/bin/bash
# Builds a native fuzz target and fuzzes it for a while.
#   fuzz/run.sh TARGET SECONDS [extra libFuzzer options...]
# The corpus grows in build/fuzz/corpus/TARGET, seeded from the committed
# fuzz/corpus/NAME (TARGET without the "fuzz_" prefix); crashes land in
# build/fuzz/findings/TARGET.
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: $0 TARGET SECONDS [libFuzzer options...]" >&2
  exit 2
fi
target=$1
seconds=$2
shift 2
source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"
cmake --build "$fuzz_build" --target "$target" -j"${SSO_JOBS:-2}"
corpus=$fuzz_build/corpus/$target
findings=$fuzz_build/findings/$target
mkdir -p "$corpus" "$findings"
seeds=$fuzz_root/fuzz/corpus/${target#fuzz_}
# Images of up to 2 GiB are representable, so allow for one being decoded.
exec "$fuzz_build/$target" "$corpus" "$seeds" -max_total_time="$seconds" -rss_limit_mb=4096 \
  -artifact_prefix="$findings/" -print_final_stats=1 "$@"
