# A design program under Wine: "ORX.INI" in the prefix's Windows folder names its
# model as a Windows path; the viewer shows that model and follows its saves.
source "$(dirname "$0")/lib.sh"
WINE="$PROFILE/wine"
export WINEPREFIX="$WINE"
mkdir -p "$WINE/dosdevices" "$WINE/drive_c/windows" "$WINE/drive_c/Auftraege"
ln -s ../drive_c "$WINE/dosdevices/c:"
ln -s / "$WINE/dosdevices/z:"
cp "$MODELS/regal3d.gl" "$WINE/drive_c/Auftraege/regal3d.gl"
# Written by a Windows program: CR LF line ends, the folder in another case.
printf '[LIFE]\r\nACTUAL=C:\\auftraege\\regal3d.gl\r\n' > "$WINE/drive_c/windows/ORX.INI"
[ ! -e "$PROFILE/ORX.INI" ] || fail "the profile folder has an ORX.INI"

start_viewer
expect_model_followed "$WINE/drive_c/Auftraege/regal3d.gl"
end_viewer
echo PASS
