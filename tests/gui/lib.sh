# Helpers for the tests of the real window: a private profile folder, start,
# wait for the window, send keys.
set -euo pipefail
ORX_VIEW="$1"
PROFILE="$(mktemp -d /tmp/orx-gui-XXXXXX)"
export XDG_CONFIG_HOME="$PROFILE"
export XDG_RUNTIME_DIR="$PROFILE/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
PID=""
cleanup() {
  [ -n "$PID" ] && kill "$PID" 2>/dev/null || true
  rm -rf "$PROFILE"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -s "$PROFILE/out.log" ] && sed "s/^/  viewer: /" "$PROFILE/out.log" >&2
  exit 1
}

# Arguments go to the viewer's command line.
start_viewer() {
  "$ORX_VIEW" "$@" >"$PROFILE/out.log" 2>&1 &
  PID=$!
  WIN=""
  for _ in $(seq 300); do
    for w in $(xdotool search --pid "$PID" 2>/dev/null || true); do
      if xwininfo -id "$w" 2>/dev/null | grep -q "IsViewable" &&
         xwininfo -id "$w" | grep -q "Width: [1-9][0-9][0-9]"; then
        WIN="$w"
      fi
    done
    [ -n "$WIN" ] && break
    sleep 0.1
  done
  [ -n "$WIN" ] || fail "the window did not appear"
  sleep 0.5
}

# The checks after a key tell whether it arrived; a key that closes the window
# (Escape, Enter) may end it before xdotool has sent the key's release.
send_key() {
  xdotool windowfocus --sync "$WIN" 2>/dev/null || true
  xdotool key --window "$WIN" --clearmodifiers "$@" 2>/dev/null || true
}

wait_exit() {
  for _ in $(seq 100); do
    kill -0 "$PID" 2>/dev/null || { wait "$PID" || true; PID=""; return 0; }
    sleep 0.1
  done
  fail "the viewer did not end"
}

window_title() { xdotool getwindowname "$WIN"; }

# A checksum of what the window shows.
window_picture() { xwd -id "$WIN" -silent | tail -c +2000 | md5sum | cut -d' ' -f1; }

# Waits until the window title contains the text.
wait_title() {
  for _ in $(seq 100); do
    case "$(window_title)" in *"$1"*) return 0 ;; esac
    sleep 0.1
  done
  fail "title '$(window_title)' never contained '$1'"
}

# Names a model for follow mode, as the design program does.
name_model() { printf '[LIFE]\nACTUAL=%s\n' "$1" > "$PROFILE/ORX.INI"; }

setting() { sed -n "s/^$1=//p" "$PROFILE/orx-view.ini" | head -1; }

MODELS="$(cd "$(dirname "$ORX_VIEW")" && pwd)/modelle"
