# Shared pieces of the end-to-end tests and the screenshot script: a private
# X server (Xvfb), the simulated device, the desktop client, and xdotool helpers.
# Every process started here is stopped again by e2e_cleanup (an EXIT trap).
#
# Needs: VANTELSOR, VANTELSOR_SIM and VANTELSORCTL (paths of the programs).

set -euo pipefail

# Sanitizer builds: leaks of system libraries are not the client's.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

E2E_TMP=$(mktemp -d)
E2E_PIDS=()
XVFB_PID=""

# Every sanitizer report of every program started here (the client, the simulator,
# vantelsorctl, a client the client started itself) lands in the scratch folder, one
# file per process, so that a failure can show it.
mkdir "$E2E_TMP/sanitizer"
export ASAN_OPTIONS="log_path=$E2E_TMP/sanitizer/asan${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="log_path=$E2E_TMP/sanitizer/ubsan${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

# Prints what is needed to diagnose a failure: how each program ended, their logs,
# the end of the device's trace and every sanitizer report.
e2e_report() {
  local f
  echo "===== diagnostics from $E2E_TMP =====" >&2
  for f in "$E2E_TMP"/exit-status "$E2E_TMP"/client.log "$E2E_TMP"/sim.log "$E2E_TMP"/xvfb.log; do
    [ -s "$f" ] || continue
    echo "----- $(basename "$f") -----" >&2
    cat "$f" >&2
  done
  if [ -s "$E2E_TMP/trace" ]; then
    echo "----- trace (last 40 lines) -----" >&2
    tail -n 40 "$E2E_TMP/trace" >&2
  fi
  for f in "$E2E_TMP"/sanitizer/*; do
    [ -e "$f" ] || continue
    echo "----- sanitizer report $(basename "$f") -----" >&2
    cat "$f" >&2
  done
}

# True when some program reported an error (the files also hold statistics, such as
# the leak suppressions used, that are no error).
sanitizer_reports() {
  compgen -G "$E2E_TMP/sanitizer/*" >/dev/null &&
    grep -q "ERROR: [A-Za-z]*Sanitizer\|runtime error:" "$E2E_TMP"/sanitizer/*
}

e2e_cleanup() {
  local status=$? pid code
  # A program that ended on its own before the end: how (an abort shows as 134).
  for pid in "${E2E_PIDS[@]}"; do
    if ! kill -0 "$pid" 2>/dev/null; then
      code=0
      wait "$pid" 2>/dev/null || code=$?
      echo "process $pid ended by itself with status $code" >>"$E2E_TMP/exit-status"
    fi
  done
  if [ -n "$XVFB_PID" ] && ! kill -0 "$XVFB_PID" 2>/dev/null; then
    code=0
    wait "$XVFB_PID" 2>/dev/null || code=$?
    echo "the X server $XVFB_PID on $DISPLAY ended by itself with status $code" >>"$E2E_TMP/exit-status"
    XVFB_PID=""
  elif [ -n "$XVFB_PID" ] && [ "$status" -ne 0 ]; then
    echo "the X server $XVFB_PID on $DISPLAY runs; its socket: $(ls -l "/tmp/.X11-unix/X${DISPLAY#:}" 2>&1)" >>"$E2E_TMP/exit-status"
  fi
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  stop_x
  # A report written as the programs ended fails the test too.
  if [ "$status" -eq 0 ] && sanitizer_reports; then
    echo "FAIL: a program reported a sanitizer error" >&2
    status=1
  fi
  [ "$status" -ne 0 ] && e2e_report
  if [ -n "${E2E_KEEP:-}" ]; then echo "kept $E2E_TMP"; else rm -rf "$E2E_TMP"; fi
  exit "$status"
}
trap e2e_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [ -n "${E2E_SHOT_ON_FAIL:-}" ] && [ -n "${DISPLAY:-}" ]; then
    import -window root "$E2E_SHOT_ON_FAIL" 2>/dev/null || true
  fi
  exit 1
}

# A loopback address of this test's own (from its process id), so tests running
# side by side never compete for the device's fixed ports.
e2e_address() {
  local pid=$$
  echo "127.$(((pid >> 14) & 255)).$(((pid >> 7) & 127)).$(((pid & 127) + 1))"
}

# Starts Xvfb and exports DISPLAY.
# -noreset: an X server resets when its last client disconnects, and refuses
# connections while it does. The tests' own xdotool calls come and go while the
# client starts, so without it the client's connection could fall into a reset, and
# Qt aborts when it cannot open its display.
# The display number is the test's own (from its process id, in a range that servers
# picking the lowest free number never reach, so no other server starting or shutting
# down can hold it), and the server is used once its lock names it and a client
# connects.
start_x() {
  local size=${1:-1400x1100} number=$((20100 + $$ % 39900)) attempt n
  for attempt in 1 2 3 4 5; do
    Xvfb ":$number" -screen 0 "${size}x24" -nolisten tcp -noreset -auth /dev/null \
      >>"$E2E_TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for n in $(seq 200); do
      # A number taken after all: the server ends at once.
      kill -0 "$XVFB_PID" 2>/dev/null || break
      if [ "$({ tr -d ' \n' <"/tmp/.X$number-lock"; } 2>/dev/null)" = "$XVFB_PID" ] &&
        DISPLAY=":$number" xdotool getdisplaygeometry >/dev/null 2>&1; then
        export DISPLAY=":$number"
        return 0
      fi
      sleep 0.05
    done
    echo "(display :$number unusable, attempt $attempt)" >>"$E2E_TMP/xvfb.log"
    stop_x
    number=$((number + 1))
  done
  fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
}

stop_x() {
  [ -n "$XVFB_PID" ] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
}

# Starts the simulated device on ADDRESS with the given extra options; its
# trace goes to $E2E_TMP/trace.
start_sim() {
  SIM_ADDRESS=$1
  shift
  "$VANTELSOR_SIM" --listen "$SIM_ADDRESS" --trace "$E2E_TMP/trace" "$@" >"$E2E_TMP/sim.log" 2>&1 &
  SIM_PID=$!
  E2E_PIDS+=("$SIM_PID")
  local n
  for n in $(seq 100); do
    grep -q listening "$E2E_TMP/sim.log" 2>/dev/null && return 0
    sleep 0.05
  done
  fail "the simulator did not start: $(cat "$E2E_TMP/sim.log")"
}

stop_sim() {
  kill "$SIM_PID" 2>/dev/null || true
  wait "$SIM_PID" 2>/dev/null || true
}

# Starts the client with its own settings file.
start_client() {
  "$VANTELSOR" --settings "$E2E_TMP/config.ini" "$@" >"$E2E_TMP/client.log" 2>&1 &
  CLIENT_PID=$!
  E2E_PIDS+=("$CLIENT_PID")
}

client_running() {
  kill -0 "$CLIENT_PID" 2>/dev/null
}

# The first visible window whose name matches; waits up to SECONDS for it.
wait_window() {
  local name=$1 seconds=${2:-20} id n
  for n in $(seq $((seconds * 10))); do
    id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

wait_window_gone() {
  local name=$1 seconds=${2:-20} n
  for n in $(seq $((seconds * 10))); do
    xdotool search --onlyvisible --name "$name" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# Gives a window the keyboard focus (there is no window manager).
focus_window() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  sleep 0.2
}

# Fills in and accepts the login dialog.
login_via_dialog() {
  local address=$1 user=$2 password=$3 dialog
  dialog=$(wait_window '^登录$' 30) || fail "no login dialog"
  focus_window "$dialog"
  # The user-name box has the focus first; Tab leads to password and address.
  # Typing replaces a selection made with Shift+Home (the boxes refuse Ctrl+A,
  # a control character).
  xdotool key --clearmodifiers End shift+Home
  xdotool type --delay 20 "$user"
  xdotool key Tab End shift+Home
  xdotool type --delay 20 "$password"
  xdotool key Tab End shift+Home
  xdotool type --delay 20 "$address"
  xdotool key Return
}

# Text the target typed, from the simulator's trace: the " typed 'c'" notes in order.
typed_text() {
  sed -n "s/.* typed '\(.\)'.*/\1/p" "$E2E_TMP/trace" | tr -d '\n'
}

# Number of trace lines of one message type (hex, e.g. E8), of connection N
# when given.
trace_count() {
  local type=$1 conn=${2:-[0-9]*}
  grep -c "^conn=$conn $type" "$E2E_TMP/trace" 2>/dev/null || true
}

# Waits up to 10 s until the trace holds at least COUNT lines of TYPE from connection N.
wait_trace_count() {
  local type=$1 conn=$2 count=$3
  for _ in $(seq 100); do
    [ "$(trace_count "$type" "$conn")" -ge "$count" ] && return 0
    sleep 0.1
  done
  return 1
}

# Geometry of a window: sets WX WY WW WH.
window_geometry() {
  eval "$(xdotool getwindowgeometry --shell "$1" | sed 's/^X=/WX=/; s/^Y=/WY=/; s/^WIDTH=/WW=/; s/^HEIGHT=/WH=/')"
}
