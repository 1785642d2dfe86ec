# Sourced by run.sh and test.sh: start_xvfb FIRST LAST [WxH] starts Xvfb
# (1600x1000 unless told) on the first free display number in that range,
# exports DISPLAY and sets xvfb_pid; returns non-zero when none is free or it
# does not come up.
start_xvfb() {
  local n
  xvfb_pid=""
  for n in $(seq "$1" "$2"); do
    { [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; } && continue
    Xvfb :$n -screen 0 "${3:-1600x1000}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=:$n
    break
  done
  [ -n "$xvfb_pid" ] || { echo "no free X display number" >&2; return 1; }
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && return 0; sleep 0.1; done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}
