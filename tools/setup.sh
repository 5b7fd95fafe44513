#!/bin/bash
# Prepares a Debian machine to build, run and test the program: packages,
# the LZO sources, and the project's private Wine prefix. Idempotent and
# quiet when everything is already there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

say() { echo "setup: $*"; }
as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

PACKAGES=(
  cmake make python3 openssl dpkg-dev googletest
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
  wine wine64 xvfb xauth x11-utils xdotool imagemagick
  fonts-arphic-ukai fonts-arphic-uming fonts-wqy-microhei
)
# The native fuzzers: Debian's default clang and the compiler runtime built
# with it (libFuzzer and the sanitizers), so both are of one LLVM version.
FUZZ_PACKAGES=(cmake make dpkg-dev clang libclang-rt-dev)

missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || echo "$p"
  done
}

# A mirror caught mid-sync can fail one index while the others update;
# the install that follows says clearly if a package really is missing.
apt_update() {
  [ -n "$apt_updated" ] && return 0
  as_root apt-get update -qq || { sleep 10; as_root apt-get update -qq; } ||
    say "some package indexes did not update; going on with those that did"
  apt_updated=1
}

apt_updated=
apt_install() {
  [ $# -gt 0 ] || return 0
  say "installing $*"
  apt_update
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

ensure_source_entries() {
  local list=/etc/apt/sources.list.d/sso-src.sources entries
  grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && return 0
  grep -qs '^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/*.list && return 0
  entries=$("$SSO_ROOT/tools/deb-src-entries.sh" "$(. /etc/os-release; echo "$VERSION_CODENAME")")
  if [ -z "$entries" ]; then
    echo "setup: no apt source of this release to take the LZO sources from; add a deb-src entry" >&2
    exit 1
  fi
  say "adding deb-src entries for the LZO sources"
  as_root tee "$list" >/dev/null <<<"$entries"
  apt_updated=
}

# Wine's 32-bit loader needs a kernel that executes 32-bit code. Where it
# cannot, the x86_64 build of the same sources is what runs here.
choose_run_arch() {
  mkdir -p "$SSO_CACHE"
  [ -f "$SSO_CACHE/run-arch" ] && return 0
  dpkg --print-foreign-architectures | grep -qx i386 || { as_root dpkg --add-architecture i386; apt_updated=; }
  apt_install $(missing_packages libc6:i386)
  if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    say "this kernel cannot execute 32-bit code: programs run and are tested as x86_64 builds"
    echo x86_64 > "$SSO_CACHE/run-arch"
  elif apt_install $(missing_packages wine32:i386); then
    echo i686 > "$SSO_CACHE/run-arch"
  else
    # An i386 index caught mid-sync leaves 32-bit Wine uninstallable while
    # the 64-bit one works; testing the x86_64 build beats not testing.
    say "32-bit Wine could not be installed: programs run and are tested as x86_64 builds"
    echo x86_64 > "$SSO_CACHE/run-arch"
  fi
}

fetch_lzo() {
  [ -f "$SSO_CACHE/src/lzo2-2.10/include/lzo/lzo1x.h" ] && return 0
  ensure_source_entries
  apt_update
  say "fetching the LZO sources"
  mkdir -p "$SSO_CACHE/src"
  (cd "$SSO_CACHE/src" && apt-get source -qq lzo2 >/dev/null 2>&1)
  [ -f "$SSO_CACHE/src/lzo2-2.10/include/lzo/lzo1x.h" ] || { echo "setup: LZO 2.10 sources missing" >&2; exit 1; }
}

# Font substitutes, so the dialog font and the classic UI faces render with
# the installed Chinese fonts.
write_font_substitutes() {
  local reg=$SSO_CACHE/fonts.reg
  iconv -f UTF-8 -t UTF-16LE > "$reg.tmp" <<'REG'
﻿Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"標楷體"="AR PL UKai TW"
"DFKai-SB"="AR PL UKai TW"
"新細明體"="AR PL UMing TW"
"PMingLiU"="AR PL UMing TW"
"細明體"="AR PL UMing TW"
"MingLiU"="AR PL UMing TW"
"MS Sans Serif"="WenQuanYi Micro Hei"
"Arial"="WenQuanYi Micro Hei"
"MS Shell Dlg"="WenQuanYi Micro Hei"
"MS Shell Dlg 2"="WenQuanYi Micro Hei"
"Tahoma"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
  mv "$reg.tmp" "$reg"
  "$SSO_ROOT/cmake/wine-exec.sh" regedit /S "$(winepath_of "$reg")"
}

# Every program of the prefix runs in one virtual desktop of a fixed size.
# Without a window manager, Wine waits two seconds for one to withdraw
# each top-level window it hides, and cuts the non-client area of windows
# without a region; inside a virtual desktop neither happens.
configure_desktop() {
  local marker=$WINEPREFIX/.sso-desktop-v1 reg=$SSO_CACHE/desktop.reg
  [ -f "$marker" ] && return 0
  cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1280x1024"
REG
  source "$SSO_ROOT/tools/display.sh"
  "$SSO_ROOT/cmake/wine-exec.sh" regedit /S "$(winepath_of "$reg")"
  wineserver -w
  touch "$marker"
}

winepath_of() { echo "Z:${1//\//\\}"; }

create_prefix() {
  [ -f "$WINEPREFIX/.sso-ready" ] && return 0
  say "creating the Wine prefix $WINEPREFIX (takes a minute)"
  source "$SSO_ROOT/tools/display.sh"
  "$SSO_ROOT/cmake/wine-exec.sh" wineboot -i >/dev/null 2>&1
  write_font_substitutes
  wineserver -w
  touch "$WINEPREFIX/.sso-ready"
}

# "setup.sh fuzz": only what the native fuzzers need, no Wine.
if [ "${1:-}" = fuzz ]; then
  apt_install $(missing_packages "${FUZZ_PACKAGES[@]}")
  fetch_lzo
  exit 0
fi
apt_install $(missing_packages "${PACKAGES[@]}" "${FUZZ_PACKAGES[@]}")
choose_run_arch
# The architecture just chosen decides the prefix and the Wine to use.
source "$SSO_ROOT/tools/env.sh"
fetch_lzo
create_prefix
configure_desktop
