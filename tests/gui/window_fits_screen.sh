# A window larger than the screen (here through a large scale factor) is cut to it.
source "$(dirname "$0")/lib.sh"
name_model "$MODELS/tisch3d.gl"
root=$(xwininfo -root)
screen_w=$(echo "$root" | sed -n 's/.*Width: *//p')
screen_h=$(echo "$root" | sed -n 's/.*Height: *//p')
# 800 x 600 logical pixels at this factor are wider than the screen; a power of
# two divides the screen's pixels evenly.
factor=2
while [ $((800 * factor)) -le "$screen_w" ]; do factor=$((factor * 2)); done
export QT_SCALE_FACTOR=$factor
start_viewer
info=$(xwininfo -id "$WIN")
w=$(echo "$info" | sed -n 's/.*Width: *//p')
h=$(echo "$info" | sed -n 's/.*Height: *//p')
[ "$w" -le "$screen_w" ] && [ "$h" -le "$screen_h" ] ||
  fail "window of ${w}x${h} on a ${screen_w}x${screen_h} screen"
end_viewer
echo PASS
