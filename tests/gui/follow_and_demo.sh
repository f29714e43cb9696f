# Without a model named the demo slideshow runs; with "ORX.INI" naming a model the
# viewer shows that model, and follows it when it is saved again.
source "$(dirname "$0")/lib.sh"
start_viewer
wait_title " DEMO ("
send_key Escape
wait_exit

cp "$MODELS/kommode3d.gl" "$PROFILE/kommode3d.gl"
name_model "$PROFILE/kommode3d.gl"
start_viewer
wait_title "ORX-View"
case "$(window_title)" in *DEMO*) fail "the demo runs although a model is named" ;; esac
# A click stops the turning, so that only a new model can change the picture.
xdotool mousemove --window "$WIN" 200 200 click 1
wait_setting RotateTimeOn 0
wait_still_picture
before=$(window_picture)
# The design program saves another model under the same name.
cp "$MODELS/tisch3d.gl" "$PROFILE/kommode3d.gl"
touch -d "+5 seconds" "$PROFILE/kommode3d.gl"
wait_picture_change "$before" "the rewritten model to be shown"
send_key Escape
wait_exit
echo PASS
