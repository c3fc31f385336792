#!/usr/bin/env bash
# End-to-end tests of the desktop client: the real client and the real
# simulator under a private X server, driven with xdotool.
#   e2e.sh CASE    CASE: login | picture | typing | ctrl-alt-del | right-lost |
#                        server-lost | refused | alt-keys | hidden-cursor |
#                        logout | demo | demo-taken | wait
# Environment: VANTELSOR, VANTELSOR_SIM, VANTELSORCTL (program paths).
here=$(dirname "$0")
# shellcheck source=e2e_lib.sh
. "$here/e2e_lib.sh"

ADDRESS=$(e2e_address)
TITLE='^IP KVM控制软件 当前登录用户:admin$'

# Logs in as admin through the dialog; sets FRAME to the main window.
log_in() {
  start_client
  login_via_dialog "$ADDRESS" admin admin123
  FRAME=$(wait_window "$TITLE" 30) || fail "no main window; client: $(cat "$E2E_TMP/client.log")"
}

# Waits up to 6 s for the target to hold exactly TEXT.
expect_typed() {
  local want=$1 text
  for _ in $(seq 60); do
    text=$(typed_text)
    [ "$text" = "$want" ] && return 0
    sleep 0.1
  done
  fail "the target typed '$text', not '$want'"
}

# Clicks into the console's middle, which gives it the keyboard.
click_console() {
  window_geometry "$FRAME"
  xdotool mousemove --window "$FRAME" $((WW / 2)) $((WH / 2))
  sleep 0.2
  xdotool click 1
  sleep 0.5
}

case_login() {
  start_sim "$ADDRESS"
  log_in
  grep -q "A3 login user=admin" "$E2E_TMP/trace" || fail "no login at the device"
}

case_refused() {
  start_sim "$ADDRESS"
  start_client
  login_via_dialog "$ADDRESS" admin wrongpass1
  local box
  box=$(wait_window '^错误$' 20) || fail "no error box after a refused login"
  focus_window "$box"
  xdotool key Return
  wait_window_gone '^错误$' 10 || fail "the error box stayed"
  # The login dialog comes back, and a second attempt works.
  login_via_dialog "$ADDRESS" admin admin123
  wait_window "$TITLE" 30 >/dev/null || fail "no main window after the second attempt"
}

case_picture() {
  # A still picture (fixed clock) of a known size; the device writes the picture it
  # encodes, so the window can be compared with the source.
  start_sim "$ADDRESS" --size 640x480 --clock "12:00:00" --picture-out "$E2E_TMP/source.ppm"
  log_in
  xdotool windowsize --sync "$FRAME" 900 760 || true
  sleep 3
  [ -s "$E2E_TMP/source.ppm" ] || fail "the device wrote no source picture"
  cp "$E2E_TMP/source.ppm" "$E2E_TMP/source-now.ppm"
  import -window "$FRAME" "$E2E_TMP/window.png" || fail "no window capture"
  # The picture must not have changed while the window was captured.
  cmp -s "$E2E_TMP/source.ppm" "$E2E_TMP/source-now.ppm" || fail "the source picture changed"
  # The picture sits centred on black below the menu bar and toolbar: cut off
  # the top, then trim the black margins away.
  convert "$E2E_TMP/window.png" -crop +0+80 +repage -bordercolor black -border 1 \
    -fuzz 3% -trim +repage "$E2E_TMP/picture.png"
  local size psnr
  size=$(identify -format '%wx%h' "$E2E_TMP/picture.png")
  [ "$size" = "640x480" ] || fail "the console shows a picture of $size, not 640x480"
  psnr=$(compare -metric PSNR "$E2E_TMP/picture.png" "$E2E_TMP/source-now.ppm" null: 2>&1 || true)
  echo "PSNR of the console against the source picture: $psnr dB"
  awk -v p="$psnr" 'BEGIN { exit !(p == "inf" || p + 0 >= 35) }' ||
    fail "the console does not show the source picture (PSNR $psnr)"
}

case_typing() {
  start_sim "$ADDRESS"
  log_in
  click_console
  xdotool type --delay 80 "Hello 123"
  expect_typed "Hello 123"
}

case_alt_keys() {
  start_sim "$ADDRESS"
  log_in
  click_console
  # Alt alone, an Alt chord and F10 go to the target; none may open the local
  # menu bar, or the text typed next would go to the menus instead.
  xdotool key alt
  xdotool key alt+c
  xdotool key F10
  sleep 0.3
  xdotool type --delay 80 "ok"
  expect_typed "ok"
  grep -q "key 0x12 down" "$E2E_TMP/trace" || fail "Alt did not reach the target"
  grep -q "key 0x79 down" "$E2E_TMP/trace" || fail "F10 did not reach the target"
}

# Where the pointer is: sets PX PY.
pointer_at() {
  eval "$(xdotool getmouselocation --shell | sed -n 's/^X=/PX=/p; s/^Y=/PY=/p')"
}

case_hidden_cursor() {
  start_sim "$ADDRESS"
  log_in
  xdotool windowmove --sync "$FRAME" 100 100 || true
  window_geometry "$FRAME"
  # "设置(&S)" > "光标(&C)", then the hidden mode.
  xdotool mousemove --window "$FRAME" 85 10 click 1
  sleep 0.5
  xdotool mousemove --window "$FRAME" 125 34 click 1
  local dialog
  dialog=$(wait_window '^光标设置$' 10) || fail "no cursor dialog"
  focus_window "$dialog"
  xdotool key Down
  xdotool key Return
  wait_window_gone '^光标设置$' 10 || fail "the cursor dialog stayed"
  sleep 0.5
  # Confined: the pointer cannot leave the console.
  xdotool mousemove 5 5
  sleep 0.3
  pointer_at
  [ "$PX" -ge "$WX" ] && [ "$PY" -ge "$WY" ] || fail "the pointer left the console: $PX,$PY"
  # Ctrl+Alt+Down frees it.
  focus_window "$FRAME"
  xdotool key ctrl+alt+Down
  sleep 0.5
  xdotool mousemove 5 5
  sleep 0.3
  pointer_at
  [ "$PX" -eq 5 ] && [ "$PY" -eq 5 ] || fail "Ctrl+Alt+Down did not free the pointer: $PX,$PY"
}

case_logout() {
  start_sim "$ADDRESS"
  log_in
  local first=$CLIENT_PID
  pick_control_item_at 123  # "注销(&L)", below the separator
  local box
  box=$(wait_window '^信息$' 10) || fail "no logout question"
  focus_window "$box"
  xdotool key Return
  # The old instance ends; a new one with the same command line asks for a login.
  for _ in $(seq 100); do
    kill -0 "$first" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$first" 2>/dev/null && fail "the old instance kept running"
  wait_window '^登录$' 20 >/dev/null || fail "the new instance shows no login dialog"
  # The new instance is not our child: end it by its window's process id.
  local dialog pid
  dialog=$(wait_window '^登录$' 5)
  pid=$(xdotool getwindowpid "$dialog" 2>/dev/null || true)
  [ -n "$pid" ] && E2E_PIDS+=("$pid")
  login_via_dialog "$ADDRESS" admin admin123
  wait_window "$TITLE" 30 >/dev/null || fail "the new instance could not log in"
}

# Starts the client with its built-in device and logs in with what the login
# dialog was filled in with.
demo_log_in() {
  "$VANTELSOR" --demo --settings "$E2E_TMP/config.ini" >"$E2E_TMP/client.log" 2>&1 &
  CLIENT_PID=$!
  E2E_PIDS+=("$CLIENT_PID")
  local dialog
  dialog=$(wait_window '^登录$' 30) || fail "no login dialog"
  focus_window "$dialog"
  # Everything is filled in for the built-in device: OK logs in.
  xdotool key Return
  wait_window "$TITLE" 30 >/dev/null || fail "the demo did not log in: $(cat "$E2E_TMP/client.log")"
}

case_demo() {
  demo_log_in
}

case_demo_taken() {
  # The demo's first addresses are taken: 127.0.0.77 wholly, 127.0.0.78 on its video
  # port only (its control port is free). The demo's device goes to the next address.
  start_sim 127.0.0.77
  "$VANTELSOR_SIM" --listen 127.0.0.78 --port 0 --trace "$E2E_TMP/trace2" >"$E2E_TMP/sim2.log" 2>&1 &
  E2E_PIDS+=("$!")
  for _ in $(seq 100); do
    grep -q listening "$E2E_TMP/sim2.log" 2>/dev/null && break
    sleep 0.05
  done
  grep -q listening "$E2E_TMP/sim2.log" || fail "the second simulator did not start: $(cat "$E2E_TMP/sim2.log")"
  demo_log_in
  ! grep -q "A3 login" "$E2E_TMP/trace" "$E2E_TMP/trace2" || fail "the demo logged in to a device not its own"
}

case_wait() {
  # The device answers the operation-right request 3 s late. The window waits
  # without freezing, but what is typed meanwhile is not handled: nothing of it
  # reaches the target, then or later.
  start_sim "$ADDRESS" --delay 0xA9:3000
  log_in
  click_console
  pick_control_item 1  # "获取操作权(&T)"
  sleep 0.5
  xdotool type --delay 50 "ab"
  # The answer comes 3 s after the request, long after "ab" was typed: whatever the
  # client sent meanwhile has reached the device by the time the box shows.
  local box
  box=$(wait_window '^信息$' 10) || fail "no answer to the operation-right request"
  [ -z "$(typed_text)" ] || fail "typed during the wait, the target got '$(typed_text)'"
  focus_window "$box"
  xdotool key Return
  wait_window_gone '^信息$' 10 || fail "the answer box stayed"
  click_console
  xdotool type --delay 80 "cd"
  expect_typed "cd"
}

# Opens the first menu ("控制(&C)") by a click and clicks its N-th item (by
# the mouse: a key that chose the item would reach the console when released).
pick_control_item() {
  pick_control_item_at $((34 + ($1 - 1) * 22))
}

pick_control_item_at() {
  xdotool mousemove --window "$FRAME" 30 10 click 1
  sleep 0.5
  xdotool mousemove --window "$FRAME" 90 "$1"
  sleep 0.3
  xdotool click 1
}

case_ctrl_alt_del() {
  start_sim "$ADDRESS"
  log_in
  sleep 1
  local before after
  before=$(trace_count E8 1)
  pick_control_item 2
  for _ in $(seq 60); do
    after=$(trace_count E8 1)
    [ "$((after - before))" -ge 6 ] && break
    sleep 0.1
  done
  # A later message on the same connection proves the sequence is over: the
  # operation-right request of the first menu item, sent after it.
  local requests
  requests=$(trace_count A9 1)
  pick_control_item 1
  wait_trace_count A9 1 $((requests + 1)) || fail "no operation-right request after Ctrl+Alt+Del"
  after=$(trace_count E8 1)
  [ "$((after - before))" -eq 6 ] || fail "Ctrl+Alt+Del sent $((after - before)) messages, not 6"
}

case_right_lost() {
  start_sim "$ADDRESS"
  log_in
  click_console
  "$VANTELSORCTL" --device "$ADDRESS" --user user --password user1234 take-control >/dev/null ||
    fail "the second client could not take the right"
  local box
  box=$(wait_window '^信息$' 20) || fail "no information box after the right was taken"
  wait_trace_count AF 1 1 || fail "no acknowledgement 0xAF from the client"
  focus_window "$box"
  xdotool key Return
  wait_window_gone '^信息$' 10 || fail "the box stayed"
  # Input stops: typing reaches nothing.
  local before
  before=$(trace_count E8 1)
  click_console
  xdotool type --delay 50 "abc"
  # Asking for the right back sends a message after the keys were handled: once
  # the device has it, any key sent would be in the trace before it.
  local requests
  requests=$(trace_count A9 1)
  pick_control_item 1
  wait_trace_count A9 1 $((requests + 1)) || fail "no operation-right request after typing"
  [ "$(trace_count E8 1)" -eq "$before" ] || fail "keys were still sent without the right"
}

case_server_lost() {
  start_sim "$ADDRESS"
  log_in
  stop_sim
  # The heartbeat notices within its period and verdict time (90 s + 20 s).
  local box
  box=$(wait_window '^信息$' 130) || fail "no box after the device went away"
  focus_window "$box"
  xdotool key Return
  for _ in $(seq 100); do
    client_running || return 0
    sleep 0.1
  done
  fail "the client kept running"
}

start_x
case "${1:-}" in
  login) case_login ;;
  refused) case_refused ;;
  picture) case_picture ;;
  typing) case_typing ;;
  ctrl-alt-del) case_ctrl_alt_del ;;
  right-lost) case_right_lost ;;
  server-lost) case_server_lost ;;
  alt-keys) case_alt_keys ;;
  hidden-cursor) case_hidden_cursor ;;
  logout) case_logout ;;
  demo) case_demo ;;
  demo-taken) case_demo_taken ;;
  wait) case_wait ;;
  *) echo "usage: e2e.sh CASE (see the head of this file)" >&2; exit 2 ;;
esac
# Whatever the case, no program may have tripped a sanitizer (the reports and the
# logs are printed on the way out).
if sanitizer_reports ||
  grep -q "ERROR: AddressSanitizer\|ERROR: LeakSanitizer\|runtime error:" "$E2E_TMP/client.log" 2>/dev/null; then
  fail "a program reported a sanitizer error"
fi
echo "PASS: $1"
