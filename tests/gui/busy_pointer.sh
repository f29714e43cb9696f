# While the window reads and compiles a large model chosen with M, the pointer is the
# busy pointer; the arrow returns when the model is shown. The pointer's shape is read
# from the X server (XFixes) and compared with the cursor theme's images by a helper.
source "$(dirname "$0")/lib.sh"
POINTER="$2"
GEN="$3"
# Large enough that reading and compiling take a good part of a second anywhere.
"$GEN" bench 100000 7 "$PROFILE/gross3d.gl" "$PROFILE/gross.obj" >/dev/null ||
  fail "the large model could not be generated"
name_model "$MODELS/tisch3d.gl"
printf '[common]\nRotateTimeOn=0\n' > "$PROFILE/orx-view.ini"
start_viewer
xdotool mousemove --window "$WIN" 100 100
wait_until "the arrow over the idle window" "$POINTER" left_ptr
send_key m
wait_until "the open dialog" dialog_focused
xdotool type --delay 20 "$PROFILE/gross3d.gl"
# The helper watches the pointer every few milliseconds from before the choice is
# confirmed, so that the busy time is seen however short it is on this machine.
"$POINTER" wait "$WAIT_SECONDS" > "$PROFILE/watch" &
WATCHER=$!
watching() { grep -qx watching "$PROFILE/watch"; }
wait_until "the pointer watched" watching
xdotool key Return
wait "$WATCHER" || fail "no busy pointer while the large model was read and compiled"
wait_until "the arrow after the model is shown" "$POINTER" left_ptr
only_main_window || fail "a dialog is still shown"
end_viewer
echo PASS
