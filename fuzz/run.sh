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
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$here/../build/fuzz
cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target "$target" -j2
corpus=$build/corpus/$target
findings=$build/findings/$target
mkdir -p "$corpus" "$findings"
seeds=$here/corpus/${target#fuzz_}
# Images of up to 2 GiB are representable, so allow for one being decoded.
exec "$build/$target" "$corpus" "$seeds" -max_total_time="$seconds" -rss_limit_mb=4096 \
  -artifact_prefix="$findings/" -print_final_stats=1 "$@"
