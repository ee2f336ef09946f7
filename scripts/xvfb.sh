# Sourced: starts a private Xvfb on a free display and stops it when the shell exits.
start_private_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
    VH_XVFB_PID=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    if kill -0 "$VH_XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$n"
      trap 'kill "$VH_XVFB_PID" 2>/dev/null || true' EXIT
      return 0
    fi
  done
  echo "xvfb: no free display" >&2
  return 1
}
