# Shared by the MinGW-w64 toolchain files; SSO_TOOLCHAIN_PREFIX names the
# target triple. Posix thread model, everything static, so each program is
# one file that runs on a bare Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${SSO_TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SSO_TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${SSO_TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SSO_TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs and build-time tools are Windows executables: run them
# through Wine in the project's private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-exec.sh)
