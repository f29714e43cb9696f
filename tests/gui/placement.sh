# The window opens where it was left, with its own size (a stored width does not
# change it), and a position off every screen is moved onto the screen.
source "$(dirname "$0")/lib.sh"
name_model "$MODELS/tisch3d.gl"
printf '[ORX-VIEW]\nx=150\ny=120\ndx=1100\ndy=900\nminy=0\nminx=0\nmaxy=-1\nmaxx=-1\nflag=0\ncmd=1\n' \
  > "$PROFILE/orx-view.ini"
start_viewer
sleep 0.5
info=$(xwininfo -id "$WIN")
x=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
w=$(echo "$info" | sed -n 's/.*Width: *//p')
[ "$x" = 150 ] && [ "$y" = 120 ] || fail "window at $x,$y, expected 150,120"
[ "$w" = 800 ] || fail "window width $w, expected its own 800"
send_key Escape
wait_exit
grep -q '^x=150$' "$PROFILE/orx-view.ini" || fail "position not stored again"

sed -i 's/^x=150$/x=-5000/' "$PROFILE/orx-view.ini"
start_viewer
x=$(xwininfo -id "$WIN" | sed -n 's/.*Absolute upper-left X: *//p')
[ "$x" -ge 0 ] || fail "window left off the screen at x=$x"
send_key Return   # Enter closes the viewer as Escape does
wait_exit
echo PASS
