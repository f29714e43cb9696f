# A model followed in the window is drawn as orx-render draws it: the picture the
# viewer saves (key S) matches orx-render's picture of the same model and view, also
# after turning it with the keys Insert, Page Up and Home (x, y, z by +2.5 degrees).
source "$(dirname "$0")/lib.sh"
RENDER="$(dirname "$ORX_VIEW")/orx-render"
name_model "$MODELS/regal3d.gl"
printf '[common]\nRotateTimeOn=0\nColR=0x20\nColG=0x40\nColB=0x60\n' > "$PROFILE/orx-view.ini"
start_viewer
wait_still_picture
# Turned by keys: 10 degrees about x, y and z each, as orx-render --angles 10,10,10.
turn Insert 4
turn Prior 4
turn Home 4
send_key s
# The save dialog: once it is shown and has the focus, type the full path into its
# file name field and confirm.
wait_until "the save dialog" dialog_focused
xdotool type --delay 20 "$PROFILE/window.bmp"
xdotool key Return
saved() { [ -s "$PROFILE/window.bmp" ]; }
wait_until "the picture to be saved" saved
end_viewer

w=$(od -An -tu4 -j18 -N4 "$PROFILE/window.bmp" | tr -d ' ')
h=$(od -An -tu4 -j22 -N4 "$PROFILE/window.bmp" | tr -d ' ')
"$RENDER" "$MODELS/regal3d.gl" "$PROFILE/render.bmp" --size "${w}x${h}" --background 32,64,96 \
  --texture 1 --angles 10,10,10 || fail "orx-render failed"
[ "$(stat -c %s "$PROFILE/window.bmp")" = "$(stat -c %s "$PROFILE/render.bmp")" ] ||
  fail "sizes differ: $(stat -c %s "$PROFILE/window.bmp") and $(stat -c %s "$PROFILE/render.bmp")"
# Pixels (after the 54-byte headers) that differ by more than a rounding step.
diff=$( (cmp -l <(tail -c +55 "$PROFILE/window.bmp") <(tail -c +55 "$PROFILE/render.bmp") || true) |
       awk 'function oct(s,  v, i) { v = 0; for (i = 1; i <= length(s); i++) v = v * 8 + substr(s, i, 1); return v }
            { d = oct($2) - oct($3); if (d < 0) d = -d; if (d > 2) n++ } END { print n + 0 }')
total=$((w * h * 4))
echo "differing bytes: $diff of $total"
[ "$diff" -le $((total / 200)) ] || fail "the window's picture differs from orx-render's"
echo PASS
