# Helpers for the tests of the real window: a private profile folder, start,
# wait for the window, send keys.
set -euo pipefail
ORX_VIEW="$1"
PROFILE="$(mktemp -d /tmp/orx-gui-XXXXXX)"
export XDG_CONFIG_HOME="$PROFILE"
# No design program under Wine unless a test makes its prefix here.
export WINEPREFIX="$PROFILE/wine"
export XDG_RUNTIME_DIR="$PROFILE/runtime"
# The window is found and driven through X, also where a Wayland session is around.
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
PID=""
SENT_KEYS=()
cleanup() {
  [ -n "$PID" ] && kill "$PID" 2>/dev/null || true
  release_keys
  rm -rf "$PROFILE"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -s "$PROFILE/out.log" ] && sed "s/^/  viewer: /" "$PROFILE/out.log" >&2
  exit 1
}

# Every wait in these tests is for a condition, polled until it holds or until a
# generous ceiling (ORX_WAIT_SECONDS, 30 s unless set) has passed; never for a fixed time.
WAIT_SECONDS="${ORX_WAIT_SECONDS:-30}"

# wait_until "what is awaited" command [args...]: runs the command until it succeeds.
wait_until() {
  local what="$1"; shift
  local deadline=$((SECONDS + WAIT_SECONDS))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "waited ${WAIT_SECONDS} s in vain for: $what"
    sleep 0.1
  done
}

# The viewable windows of the viewer process (the main window, dialogs).
viewable_windows() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$PID" 2>/dev/null || true); do
    xwininfo -id "$w" 2>/dev/null | grep -q "IsViewable" && echo "$w"
  done
  return 0
}

# True while a window of the viewer other than its main window (a dialog) has the focus.
dialog_focused() {
  local focused
  focused=$(xdotool getwindowfocus 2>/dev/null) || return 1
  [ "$focused" != "$WIN" ] && viewable_windows | grep -qx "$focused"
}

main_window_found() {
  local w
  WIN=""
  for w in $(viewable_windows); do
    xwininfo -id "$w" | grep -q "Width: [1-9][0-9][0-9]" && WIN="$w"
  done
  [ -n "$WIN" ] && [[ "$(xdotool getwindowname "$WIN" 2>/dev/null)" == ORX-View* ]]
}

# A viewer that ended before its window was shown will not show one: say so at once.
main_window_or_end() {
  main_window_found && return 0
  kill -0 "$PID" 2>/dev/null || fail "the viewer ended before its window was shown"
  return 1
}

# Starts the viewer and waits until its window is shown and carries the viewer's
# title, which start-up sets once the first model build or the demo has run.
start_viewer() {
  "$ORX_VIEW" "$@" >"$PROFILE/out.log" 2>&1 &
  PID=$!
  wait_until "the viewer's window" main_window_or_end
}

# The checks after a key tell whether it arrived. The keys go to the focused
# window through the server's test extension, not to the window by name: a key
# that closes the window (Escape, Enter) ends it before the key's release, and a
# release sent to a window that is gone would be lost, leaving the key held down
# on the shared display, where its repeats would end the next test's viewer.
send_key() {
  xdotool windowfocus --sync "$WIN" 2>/dev/null || true
  SENT_KEYS+=("$@")
  xdotool key --clearmodifiers "$@" 2>/dev/null || true
}

# Releases every key sent, in case one is still held down (harmless otherwise).
release_keys() {
  [ ${#SENT_KEYS[@]} -eq 0 ] || xdotool keyup "${SENT_KEYS[@]}" 2>/dev/null || true
  SENT_KEYS=()
}

viewer_ended() { ! kill -0 "$PID" 2>/dev/null; }

wait_exit() {
  wait_until "the viewer to end" viewer_ended
  wait "$PID" || true
  PID=""
}

# Ends the viewer with a key that closes it (Escape unless given) and waits for its end.
end_viewer() {
  send_key "${1:-Escape}"
  wait_exit
}

# The viewer shows at least that many windows (its main window, dialogs, menus).
windows_shown() { [ "$(xdotool search --onlyvisible --pid "$PID" 2>/dev/null | wc -l)" -ge "$1" ]; }
only_main_window() { ! windows_shown 2; }

window_title() { xdotool getwindowname "$WIN"; }

# A checksum of what the window shows.
window_picture() { xwd -id "$WIN" -silent | tail -c +2000 | md5sum | cut -d' ' -f1; }

title_contains() { [[ "$(window_title)" == *"$1"* ]]; }
title_lacks() { [[ "$(window_title)" != *"$1"* ]]; }

# Waits until the window title contains the text.
wait_title() { wait_until "title '$(window_title)' to contain '$1'" title_contains "$1"; }

picture_differs() { [ "$(window_picture)" != "$1" ]; }

# Waits until the picture differs from the checksum given.
wait_picture_change() { wait_until "${2:-the picture to change}" picture_differs "$1"; }

# Waits until two screenshots in a row are the same: nothing is moving any more.
STILL=""
picture_still() {
  local now
  now=$(window_picture)
  [ "$now" = "$STILL" ] && return 0
  STILL="$now"
  return 1
}
wait_still_picture() { STILL=""; wait_until "the picture to stop changing" picture_still; }

# turn key presses: each press turns the model by 2.5 degrees, seen in the picture.
turn() {
  local i before
  for i in $(seq "$2"); do
    before=$(window_picture)
    send_key "$1"
    wait_picture_change "$before" "key $1 to turn the model"
  done
}

# A click stops the turning (and stores that): then only a command changes the picture.
stop_turning() {
  xdotool mousemove --window "$WIN" 200 200 click 1
  wait_setting RotateTimeOn 0
  wait_still_picture
}

setting_is() { [ "$(setting "$1")" = "$2" ]; }

# Waits until the settings file holds the value for the key.
wait_setting() { wait_until "$1=$2 in the settings file (now '$(setting "$1")')" setting_is "$1" "$2"; }

# Names a model for follow mode, as the design program does.
name_model() { printf '[LIFE]\nACTUAL=%s\n' "$1" > "$PROFILE/ORX.INI"; }

setting() { sed -n "s/^$1=//p" "$PROFILE/orx-view.ini" 2>/dev/null | head -1; }

MODELS="$(cd "$(dirname "$ORX_VIEW")" && pwd)/modelle"

# For a viewer started with a model named for follow mode: it shows that model, not
# the demo, and shows the model the design program then saves under the same name.
expect_model_followed() {  # the named model's file
  case "$(window_title)" in *DEMO*) fail "the demo runs although a model is named" ;; esac
  stop_turning
  local before
  before=$(window_picture)
  # The design program saves another model under the same name.
  cp "$MODELS/tisch3d.gl" "$1"
  touch -d "+5 seconds" "$1"
  wait_picture_change "$before" "the saved model to be shown"
  case "$(window_title)" in *DEMO*) fail "the saved model was not read" ;; esac
}

# The display lives on from test to test: each starts with the pointer in the
# middle of the screen, where a fresh display has it.
SCREEN=$(xdotool getdisplaygeometry 2>/dev/null) || fail "no X display at '${DISPLAY:-}'"
read -r SCREEN_W SCREEN_H <<<"$SCREEN"
xdotool mousemove $((SCREEN_W / 2)) $((SCREEN_H / 2))
