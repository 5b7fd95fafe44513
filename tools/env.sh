# Environment shared by every script that runs our Windows programs.
# Source it; it sets variables only and starts nothing.
SSO_ROOT=${SSO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export SSO_ROOT
export SSO_CACHE=$SSO_ROOT/.cache
export WINEDEBUG=${WINEDEBUG:--all}
# Never offer the Mono or Gecko installers; Wine's winscard is a stub, so
# our simulated one beside the program is loaded first.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winscard=n,b}

SSO_XVFB_DISPLAY=${SSO_XVFB_DISPLAY:-:87}

# The program is a 32-bit Windows program. Where the kernel cannot execute
# 32-bit code (no IA-32 emulation), Wine's 32-bit loader cannot run, so the
# same sources are built a second time for x86_64 and that build is the one
# run and tested; tools/setup.sh records which case this machine is.
# SSO_ARCH=x86_64 runs the 64-bit build where 32-bit code runs too, so
# facts that differ by architecture are checked on both; each architecture
# has a prefix of its own.
SSO_RUN_ARCH=${SSO_ARCH:-$(cat "$SSO_CACHE/run-arch" 2>/dev/null || echo i686)}
if [ "$SSO_RUN_ARCH" = x86_64 ]; then
  export WINEARCH=win64
  export WINEPREFIX=${SSO_WINEPREFIX:-$SSO_CACHE/wine64}
  SSO_WINE=/usr/lib/wine/wine64
else
  export WINEARCH=win32
  export WINEPREFIX=${SSO_WINEPREFIX:-$SSO_CACHE/wine}
  SSO_WINE=wine
fi
SSO_BUILD_TARGET=$SSO_ROOT/build/i686
SSO_BUILD_RUN=$SSO_ROOT/build/$SSO_RUN_ARCH
