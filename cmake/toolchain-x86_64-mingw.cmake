# The same sources for 64-bit Windows, run and tested where the machine
# cannot execute 32-bit code (see tools/env.sh).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SSO_TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
