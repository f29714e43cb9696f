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
expect_model_followed "$PROFILE/kommode3d.gl"
send_key Escape
wait_exit
echo PASS
