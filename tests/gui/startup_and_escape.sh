# The viewer starts, Escape ends it, and the window placement is then stored in
# section ORX-VIEW of the settings file with its ten keys in order.
source "$(dirname "$0")/lib.sh"
start_viewer
end_viewer
ini="$PROFILE/orx-view.ini"
[ -f "$ini" ] || fail "no settings file"
keys=$(awk '/^\[ORX-VIEW\]/{s=1;next} /^\[/{s=0} s&&/=/{split($0,a,"=");printf "%s ",a[1]}' "$ini")
[ "$keys" = "x y dx dy miny minx maxy maxx flag cmd " ] || fail "placement keys: '$keys'"
grep -q '^shading=0x4$' "$ini" || fail "shading not written as 4"
echo "PASS"
