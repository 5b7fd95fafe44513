# Source to make sure an X display exists: the given one, or a private Xvfb.
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=$SSO_XVFB_DISPLAY
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    for _ in $(seq 50); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
  fi
fi
