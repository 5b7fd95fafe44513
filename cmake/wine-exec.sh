#!/bin/bash
# Runs a Windows executable of this project in the project's Wine prefix.
# Used as CMake's cross-compiling emulator, so CTest and build-time tools
# reach Wine through here.
source "$(dirname "${BASH_SOURCE[0]}")/../tools/env.sh"
export DISPLAY=${DISPLAY:-$SSO_XVFB_DISPLAY}
# Traditional Chinese, Taiwan: Wine derives ANSI code page 950 from it.
# The users are in Taiwan (UTC+8), where a certificate that expires at
# 16:00 UTC already shows the next day locally.
exec env LC_ALL=zh_TW.UTF-8 LANG=zh_TW.UTF-8 TZ=${TZ:-Asia/Taipei} "$SSO_WINE" "$@"
