# The standard dialogs speak German like the rest of the program: the save dialog
# (key S) is titled "Speichern unter".
source "$(dirname "$0")/lib.sh"
if ! ls /usr/share/qt6/translations/qtbase_de.qm >/dev/null 2>&1; then
  echo "SKIP: Qt's German translation is not installed"
  exit 0
fi
name_model "$MODELS/tisch3d.gl"
start_viewer
send_key s
dialog=""
dialog_shown() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$PID" 2>/dev/null || true); do
    [ "$w" != "$WIN" ] && dialog="$(xdotool getwindowname "$w")"
  done
  [ -n "$dialog" ]
}
wait_until "the save dialog" dialog_shown
[ "$dialog" = "Speichern unter" ] || fail "save dialog titled '$dialog'"
xdotool key Escape   # closes the dialog, nothing is saved
wait_until "the save dialog to close" only_main_window
end_viewer
echo PASS
