# Without a model named the demo slideshow runs, and the design program's first save
# ends it; with "ORX.INI" naming a model the viewer shows that model, and follows it
# when it is saved again.
source "$(dirname "$0")/lib.sh"
start_viewer
wait_title " DEMO ("
cp "$MODELS/teile2d.gl" "$PROFILE/erster2d.gl"
name_model "$PROFILE/erster2d.gl"
wait_until "the first saved model to end the demo (title '$(window_title)')" \
  title_contains " Objekt 1 von "
title_lacks "DEMO" || fail "the demo still runs: $(window_title)"
end_viewer
rm -f "$PROFILE/ORX.INI"

cp "$MODELS/kommode3d.gl" "$PROFILE/kommode3d.gl"
name_model "$PROFILE/kommode3d.gl"
start_viewer
expect_model_followed "$PROFILE/kommode3d.gl"
end_viewer
echo PASS
