#!/bin/bash
# Runs a Windows executable of this project in the project's Wine prefix.
# Used as CMake's cross-compiling emulator, so CTest and build-time tools
# reach Wine through here.
source "$(dirname "${BASH_SOURCE[0]}")/../tools/env.sh"
export DISPLAY=${DISPLAY:-$SSO_XVFB_DISPLAY}
# Traditional Chinese, Taiwan: Wine derives ANSI code page 950 from it.
exec env LC_ALL=zh_TW.UTF-8 LANG=zh_TW.UTF-8 "$SSO_WINE" "$@"
