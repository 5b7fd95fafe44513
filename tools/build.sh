#!/bin/bash
# Configures and builds the program, its tools and tests. The shipped
# 32-bit program is always built; where this machine runs x86_64 builds
# (see env.sh) that build is made too and is the one that runs.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
JOBS=${SSO_JOBS:-$(nproc)}

# Where ccache is installed, several checkouts of the tree share their
# compiled objects: paths inside the checkout are hashed relative to it.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$SSO_ROOT
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

configure() {  # build-dir toolchain extra-args...
  local dir=$1 toolchain=$2; shift 2
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$SSO_ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$SSO_ROOT/cmake/$toolchain" \
      -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" "$@" >/dev/null
  fi
}

configure "$SSO_BUILD_RUN" "toolchain-$SSO_RUN_ARCH-mingw.cmake"
cmake --build "$SSO_BUILD_RUN" -j"$JOBS"

if [ "$SSO_RUN_ARCH" != i686 ]; then
  # Build-time tools of the 32-bit build cannot run here: it takes the skin
  # compiler of the build that runs.
  configure "$SSO_BUILD_TARGET" toolchain-i686-mingw.cmake -DBUILD_TESTING=OFF \
    -DSSO_HOST_SKINC="$SSO_BUILD_RUN/bin/skinc.exe"
  cmake --build "$SSO_BUILD_TARGET" -j"$JOBS" --target sso
fi
