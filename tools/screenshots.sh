#!/usr/bin/env bash
# Makes the screenshots of the desktop client under a private X server:
#   tools/screenshots.sh [BUILD_DIR] [OUT_DIR]
# BUILD_DIR defaults to build/asan, OUT_DIR to docs/screenshots. Needs Xvfb,
# xdotool, ImageMagick's import and the fonts-noto-cjk fonts.
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/asan}
out=${2:-$root/docs/screenshots}
export VANTELSOR=$build/src/ui/vantelsor
export VANTELSOR_SIM=$build/src/sim/vantelsor-sim
export VANTELSORCTL=$build/src/cli/vantelsorctl
# shellcheck source=../tests/e2e/e2e_lib.sh
. "$root/tests/e2e/e2e_lib.sh"
mkdir -p "$out"

ADDRESS=127.0.0.$((80 + RANDOM % 40))
HUNG=127.0.0.$((130 + RANDOM % 40))
TITLE='^IP KVM控制软件 当前登录用户:admin$'

shot() {  # window id, file name
  sleep 0.7
  import -window "$1" "$out/$2" || fail "capture of $2"
  echo "wrote $out/$2"
}

# Opens the menu whose title is at X by a click and clicks its ITEM-th entry.
menu_item() {
  local x=$1 item=$2
  xdotool mousemove --window "$FRAME" "$x" 10 click 1
  sleep 0.5
  xdotool mousemove --window "$FRAME" $((x + 40)) $((34 + (item - 1) * 22))
  sleep 0.3
  xdotool click 1
}

start_x 1400x1100

# The connecting dialog needs a connect that hangs: a listener whose queue is
# full takes no new connection, so the client's connect waits.
python3 - "$HUNG" >"$E2E_TMP/hung.log" 2>&1 <<'PY' &
import socket, sys, time
s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind((sys.argv[1], 5552)); s.listen(0)
held = []
for _ in range(4):
    c = socket.socket(); c.setblocking(False)
    try: c.connect((sys.argv[1], 5552))
    except BlockingIOError: pass
    held.append(c)
print("ready", flush=True)
time.sleep(60)
PY
E2E_PIDS+=($!)
sleep 1
start_client
dialog=$(wait_window '^登录$' 30) || fail "no login dialog"
login_via_dialog "$HUNG" admin admin123
connecting=$(wait_window '^连接中$' 15) || fail "no connecting dialog"
shot "$connecting" connecting-dialog.png
focus_window "$connecting"
xdotool key Escape
wait_window_gone '^连接中$' 15 || fail "cancel did not close the connecting dialog"
for _ in $(seq 50); do client_running || break; sleep 0.1; done

start_sim "$ADDRESS"
start_client
dialog=$(wait_window '^登录$' 30) || fail "no login dialog"
focus_window "$dialog"
xdotool type --delay 20 admin
xdotool key Tab
xdotool type --delay 20 admin123
xdotool key Tab End shift+Home
xdotool type --delay 20 "$ADDRESS"
shot "$dialog" login-dialog.png
xdotool key Return
FRAME=$(wait_window "$TITLE" 30) || fail "no main window"
xdotool windowsize --sync "$FRAME" 1330 1100 || true
xdotool windowmove --sync "$FRAME" 0 0 || true
sleep 3
shot "$FRAME" main-window.png

# Smaller than the picture: scroll bars; 20 lines right and 15 down by the
# bars' arrows, 10 pixels each.
xdotool windowsize --sync "$FRAME" 900 700 || true
sleep 1.5
window_geometry "$FRAME"
xdotool mousemove --window "$FRAME" $((WW - 22)) $((WH - 6)) click --repeat 20 --delay 40 1
sleep 0.3
xdotool mousemove --window "$FRAME" $((WW - 6)) $((WH - 22)) click --repeat 15 --delay 40 1
sleep 1.5
shot "$FRAME" scrolled-console.png

menu_item 85 1
cursor=$(wait_window '^光标设置$' 10) || fail "no cursor dialog"
shot "$cursor" cursor-dialog.png
focus_window "$cursor"
xdotool key Escape
wait_window_gone '^光标设置$' 10 || true

menu_item 197 1
about=$(wait_window '^关于$' 10) || fail "no about box"
shot "$about" about-box.png
focus_window "$about"
xdotool key Return
wait_window_gone '^关于$' 10 || true

# A question box (the reboot warning), with Qt's button texts in Chinese;
# Escape answers No.
menu_item 30 4
warning=$(wait_window '^警告$' 10) || fail "no reboot question"
shot "$warning" reboot-question.png
focus_window "$warning"
xdotool key Escape
wait_window_gone '^警告$' 10 || true
echo "done"
