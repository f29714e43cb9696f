# orx-view with a model on its command line shows that model, in place of the design
# program's and of the demo; so does the desktop entry's command, as a file manager runs
# it. Help, version and usage errors need no display.
source "$(dirname "$0")/lib.sh"
ENTRY="$(cd "$(dirname "$0")/../../data/desktop" && pwd)/orx-view.desktop"

# no_display expected-code arguments...: the viewer run without a display; its output
# in $PROFILE/stdout and $PROFILE/stderr.
no_display() {
  local want="$1" rc=0
  shift
  env -u DISPLAY -u WAYLAND_DISPLAY "$ORX_VIEW" "$@" >"$PROFILE/stdout" 2>"$PROFILE/stderr" || rc=$?
  [ "$rc" = "$want" ] || fail "$* exited $rc, expected $want: $(cat "$PROFILE/stderr")"
}
no_display 0 --help
head -1 "$PROFILE/stdout" | grep -qx "usage: orx-view \[MODEL.gl\]" || fail "--help: $(cat "$PROFILE/stdout")"
[ ! -s "$PROFILE/stderr" ] || fail "--help wrote to stderr: $(cat "$PROFILE/stderr")"
no_display 0 --version
grep -qx "orx-view [0-9][0-9.]*" "$PROFILE/stdout" || fail "--version: $(cat "$PROFILE/stdout")"
no_display 2 --bogus
[ "$(head -1 "$PROFILE/stderr")" = "orx-view: unknown option '--bogus'" ] || fail "$(cat "$PROFILE/stderr")"
sed -n 2p "$PROFILE/stderr" | grep -q "^usage: orx-view" || fail "no usage after the error"
[ ! -s "$PROFILE/stdout" ] || fail "a usage error wrote to stdout"
no_display 2 "$MODELS/schrank3d.gl" "$MODELS/tisch3d.gl"
grep -q "one too many" "$PROFILE/stderr" || fail "$(cat "$PROFILE/stderr")"

# The design program names another model; the one on the command line, given relative
# to the current folder, is shown instead, and the demo does not run.
name_model "$MODELS/schrank3d.gl"
cd "$MODELS"
start_viewer teile2d.gl
wait_title "Objekt 1 von"
case "$(window_title)" in *DEMO*) fail "the demo runs: $(window_title)" ;; esac
# It is the parts list: the next part follows.
send_key x
wait_title "Objekt 2 von"
end_viewer

# A model that cannot be opened is named in a message over the viewer's window, once
# the window is on the screen; the viewer then goes on as without a model.
start_viewer "$PROFILE/fehlt3d.gl"
wait_until "the message about the missing model" windows_shown 2
box=$(viewable_windows | grep -vx "$WIN" | head -1)
xprop -id "$box" WM_TRANSIENT_FOR | grep -q "$(printf '0x%x' "$WIN")" ||
  fail "the message does not stand over the viewer's window: $(xprop -id "$box" WM_TRANSIENT_FOR)"
xdotool windowfocus --sync "$box" 2>/dev/null || true
SENT_KEYS+=(Return)
xdotool key --clearmodifiers Return
wait_until "the message to close" only_main_window
end_viewer

# A double-click in the file manager: the desktop entry's Exec line with %f replaced by
# the model's full path, as one argument however many blanks it holds.
exec_line=$(sed -n 's/^Exec=//p' "$ENTRY")
model="$PROFILE/Mein Regal 2d.gl"
head -4 "$MODELS/teile2d.gl" >"$model"
read -r -a words <<<"$exec_line"
args=()
for w in "${words[@]:1}"; do
  if [ "$w" = "%f" ]; then args+=("$model"); else args+=("$w"); fi
done
[ "${#args[@]}" = 1 ] || fail "Exec=$exec_line does not name the file once"
cd /
ORX_VIEW="$(dirname "$ORX_VIEW")/${words[0]}"
start_viewer "${args[@]}"
wait_title "Objekt 1 von 3"
end_viewer
echo PASS
