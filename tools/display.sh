# Source to make sure an X display exists: the given one, or a private Xvfb.
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=$SSO_XVFB_DISPLAY
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$SSO_CACHE/xvfb${DISPLAY#:}.log" 2>&1 &
    for _ in $(seq 50); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
    # Without a display every window test would fail one by one, far from the cause.
    if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
      echo "display: Xvfb did not start on $DISPLAY (see $SSO_CACHE/xvfb${DISPLAY#:}.log)" >&2
      return 1 2>/dev/null || exit 1
    fi
  fi
fi
