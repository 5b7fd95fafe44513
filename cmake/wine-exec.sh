#!/bin/bash
# Runs a Windows executable of this project in the project's Wine prefix.
# Used as CMake's cross-compiling emulator, so CTest and build-time tools
# reach Wine through here.
source "$(dirname "${BASH_SOURCE[0]}")/../tools/env.sh"
export DISPLAY=${DISPLAY:-$SSO_XVFB_DISPLAY}
# Traditional Chinese, Taiwan: Wine derives ANSI code page 950 from it.
# SSO_WINE_LOCALE starts a program under another locale (C: code page
# 1252), to show what the program does on a system that is not Chinese.
# The users are in Taiwan (UTC+8), where a certificate that expires at
# 16:00 UTC already shows the next day locally.
locale=${SSO_WINE_LOCALE:-zh_TW.UTF-8}
exec env LC_ALL="$locale" LANG="$locale" TZ=${TZ:-Asia/Taipei} "$SSO_WINE" "$@"
