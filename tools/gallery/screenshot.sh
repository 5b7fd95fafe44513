#!/bin/bash
# Captures a page of the gallery (or the program's about box, shown by the
# gallery) into a PNG, in a Wine virtual desktop on the private X display:
#   tools/gallery/screenshot.sh OUTPUT.png [PAGE|about] [--skin=FILE]
# Expects a finished build (tools/build.sh). The dialog opens at the
# desktop's top-left corner; the capture is cut to the dialog's size.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/tools/env.sh"
unset DISPLAY
source "$root/tools/display.sh"
output=$(realpath "$1")
show=${2:-gallery}
shift $(( $# < 2 ? $# : 2 ))
case $show in
  about) size=${SSO_ABOUT_SIZE:-411x274} ;;
  scroll) size=${SSO_SCROLL_SIZE:-533x347} ;;
  animate) size=${SSO_GALLERY_SIZE:-358x200} ;;
  bars) size=${SSO_GALLERY_SIZE:-586x312} ;;
  tabs) size=${SSO_GALLERY_TABS_SIZE:-533x333} ;;
  lists) size=${SSO_GALLERY_LISTS_SIZE:-708x435} ;;
  *) size=${SSO_GALLERY_SIZE:-586x407} ;;
esac
cd "$SSO_BUILD_RUN/bin"
"$root/cmake/wine-exec.sh" explorer /desktop=gallery,800x600 gallery.exe --show="$show" "$@" &
sleep "${SSO_SCREENSHOT_DELAY:-8}"
import -display "$DISPLAY" -window root -crop "$size+0+0" +repage "$output"
"$root/cmake/wine-exec.sh" taskkill /im gallery.exe /f >/dev/null 2>&1 || true
wait || true
