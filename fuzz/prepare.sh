# Source from a fuzz command: installs clang with its fuzzer and sanitizer
# runtimes and fetches the LZO sources where they are missing, then
# configures the fuzz build (both compilers clang: the LZO C sources are
# linked into the same sanitized binaries). Sets fuzz_root and fuzz_build.
fuzz_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fuzz_build=$fuzz_root/build/fuzz
"$fuzz_root/tools/setup.sh" fuzz
cmake -S "$fuzz_root/fuzz" -B "$fuzz_build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
