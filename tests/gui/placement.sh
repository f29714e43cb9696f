# The window opens where it was left, with its own size (a stored width does not
# change it), and a position off every screen is moved onto the screen.
source "$(dirname "$0")/lib.sh"
name_model "$MODELS/tisch3d.gl"
printf '[ORX-VIEW]\nx=150\ny=120\ndx=1100\ndy=900\nminy=0\nminx=0\nmaxy=-1\nmaxx=-1\nflag=0\ncmd=1\n' \
  > "$PROFILE/orx-view.ini"
window_geometry() {
  xwininfo -id "$WIN" | awk '/Absolute upper-left X:/{x=$NF} /Absolute upper-left Y:/{y=$NF}
                             /Width:/{w=$NF} END{print x, y, w}'
}
at_stored_place() { [ "$(window_geometry)" = "150 120 800" ]; }
start_viewer
wait_until "the window at 150,120 with its own width 800 (now x, y, width: $(window_geometry))" \
  at_stored_place
end_viewer
grep -q '^x=150$' "$PROFILE/orx-view.ini" || fail "position not stored again"

sed -i 's/^x=150$/x=-5000/' "$PROFILE/orx-view.ini"
on_screen() { [ "$(window_geometry | cut -d' ' -f1)" -ge 0 ]; }
start_viewer
wait_until "the window moved onto the screen (now x, y, width: $(window_geometry))" on_screen
end_viewer Return   # Enter closes the viewer as Escape does
echo PASS
