#!/bin/bash
# Captures the running program on a scenario into a PNG, in a Wine virtual
# desktop on the private X display:
#   tools/screenshot.sh OUTPUT.png [SCENARIO]
# With SSO_SCREENSHOT_COMMAND=ID the program's main window is first sent
# menu command ID (104 opens the about box) and the capture shows what it
# opened.
# Expects a finished build (tools/build.sh). The capture is taken once the
# program has drawn and its picture has settled, within
# SSO_SCREENSHOT_TIMEOUT seconds (30 unless set).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/env.sh"
unset DISPLAY
source "$root/tools/display.sh"
output=$(realpath "$1")
scenario=$(realpath "${2:-$root/tools/sim/scenarios/default.txt}")
deadline=$((SECONDS + ${SSO_SCREENSHOT_TIMEOUT:-30}))
frame=$(mktemp --suffix=.png)
trap 'rm -f "$frame"' EXIT

capture() { import -display "$DISPLAY" -window root -crop 820x720+0+0 "$1" 2>/dev/null; }
signature() { identify -format '%#' "$1" 2>/dev/null || true; }
desktop_shown() { xwininfo -display "$DISPLAY" -root -tree 2>/dev/null | grep -q '"sso - Wine desktop"'; }

cd "$SSO_BUILD_RUN/bin"
"$root/cmake/wine-exec.sh" simenv.exe apply "Z:${scenario//\//\\}"
"$root/cmake/wine-exec.sh" explorer /desktop=sso,820x720 sso.exe &
# The program's windows live inside Wine's desktop window, out of reach of X
# window queries: wait for the desktop, then for its picture.
until desktop_shown; do
  [ $SECONDS -lt $deadline ] || { echo "screenshot: no Wine desktop appeared" >&2; exit 1; }
  sleep 0.2
done
# Waits for a picture that holds still between two looks, shows more than
# the bare desktop, and differs from $1.
wait_until_settled() {
  local before=$1 previous= current
  settled=
  while [ $SECONDS -lt $deadline ]; do
    sleep 0.5
    capture "$frame"
    current=$(signature "$frame")
    if [ "$current" != "$before" ] && [ "$current" = "$previous" ] &&
       [ "$(identify -format '%k' "$frame" 2>/dev/null || echo 0)" -gt 16 ]; then
      settled=1
      return
    fi
    previous=$current
  done
}
wait_until_settled ""
if [ -n "$settled" ] && [ -n "${SSO_SCREENSHOT_COMMAND:-}" ]; then
  # Run in the program's own desktop: windows of other desktops are not listed.
  "$root/cmake/wine-exec.sh" explorer /desktop=sso,820x720 postcommand.exe Tavren "$SSO_SCREENSHOT_COMMAND"
  wait_until_settled "$(signature "$frame")"
fi
cp "$frame" "$output"
"$root/cmake/wine-exec.sh" taskkill /im sso.exe /f >/dev/null 2>&1 || true
wait || true
[ -n "$settled" ] || { echo "screenshot: the picture did not settle; kept the last capture" >&2; exit 1; }
