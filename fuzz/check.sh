#!/bin/bash
# The fuzzing part of the test command: every target replays its committed
# corpus once (each file run once, under ASan and UBSan), then fuzzes for a
# short fixed time starting from it. A crash, leak, sanitizer report, broken
# invariant or hanging input fails. Full logs: build/fuzz/logs.
#   fuzz/check.sh                       SSO_FUZZ_SECONDS per target (20)
#   SSO_FUZZ_SECONDS=0 fuzz/check.sh    the replay only
set -euo pipefail
seconds=${SSO_FUZZ_SECONDS:-20}
source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"
say() { echo "fuzz: $*"; }
logs=$fuzz_build/logs
mkdir -p "$logs"
say "building the fuzz targets (clang, libFuzzer, ASan, UBSan) in $fuzz_build"
cmake --build "$fuzz_build" -j"${SSO_JOBS:-2}" >"$logs/build.log" 2>&1 || { tail -40 "$logs/build.log"; exit 1; }
mapfile -t targets < "$fuzz_build/targets.txt"

failed() {  # target log what
  tail -60 "$2"
  say "FAILED: $1: $3 (full log: $2)"
  exit 1
}

replay() {  # target
  local target=$1 log=$logs/$1.replay.log seeds=$fuzz_root/fuzz/corpus/${1#fuzz_}
  local files=("$seeds"/*)
  [ -f "${files[0]}" ] || { say "FAILED: $target has no committed corpus in $seeds"; exit 1; }
  say "$target: replaying the ${#files[@]} committed inputs of fuzz/corpus/${target#fuzz_}"
  # An input that runs this long hangs: the parsers answer in milliseconds.
  "$fuzz_build/$target" -timeout=25 -rss_limit_mb=4096 "${files[@]}" >"$log" 2>&1 ||
    failed "$target" "$log" "a committed input fails"
  sed -n "s|^Executed $seeds/|  ran |p" "$log"
}

short_run() {  # target
  local target=$1 log=$logs/$1.fuzz.log
  say "$target: fuzzing for $seconds s"
  "$fuzz_root/fuzz/run.sh" "$target" "$seconds" -timeout=25 >"$log" 2>&1 ||
    failed "$target" "$log" "a finding, in $fuzz_build/findings/$target"
  say "$target: $(grep -m1 '^Done ' "$log"), corpus $(ls "$fuzz_build/corpus/$target" | wc -l) inputs, no findings"
}

for target in "${targets[@]}"; do
  replay "$target"
  [ "$seconds" = 0 ] || short_run "$target"
done
say "all ${#targets[@]} targets passed: ${targets[*]}"
