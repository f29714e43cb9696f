# orx-render from the command line: exit codes, messages and the files it writes.
set -euo pipefail
RENDER="$1"
PROG="$(dirname "$RENDER")"
T="$(mktemp -d /tmp/orx-render-test-XXXXXX)"
trap 'rm -rf "$T"' EXIT
# A settings folder of its own, which must stay empty: orx-render reads no settings.
export XDG_CONFIG_HOME="$T/config"
fail() { echo "FAIL: $*" >&2; exit 1; }

# check expected-code expected-text arguments...: one run. Each run has a hard ceiling,
# so that a read that blocks fails instead of hanging; a usage error says what is wrong
# and points at --help; a failed run leaves no picture, thumbnail or export behind.
check() {
  local want="$1" text="$2"; shift 2
  rm -f "$T"/out.*
  set +e; timeout 60 "$RENDER" "$@" >"$T/out" 2>"$T/err"; local rc=$?; set -e
  [ "$rc" = "$want" ] || fail "$* exited $rc, expected $want: $(cat "$T/err")"
  [ -z "$text" ] || grep -qF -- "$text" "$T/err" || fail "$*: no '$text' in: $(cat "$T/err")"
  if [ "$want" = 2 ] && [ $# -gt 0 ]; then
    grep -qF "; see --help" "$T/err" || fail "$*: no hint at --help: $(cat "$T/err")"
  fi
  if [ "$want" != 0 ] && compgen -G "$T/out.*" >/dev/null; then
    fail "$*: a failed run wrote $(ls "$T"/out.*)"
  fi
  return 0
}
bytes() { head -c "$2" "$1" | tail -c "$3" | od -An -tx1 | tr -d ' \n'; }  # file end count

# Its colour is 0x123456: blue 0x12, green 0x34, red 0x56.
printf 'header\n8 1193046 8 0 0 600 2000 0 600 2000 800 600 0 800 600 0 0 0 2000 0 0 2000 800 0 0 800 0\n' > "$T/box3d.gl"
cp "$T/box3d.gl" "$T/box.obj"
cp "$T/box3d.gl" "$T/model.gl"
mkdir "$T/dir3d.gl" "$T/folder.jpg" "$T/ordner.glb"
mkfifo "$T/fifo3d.gl" "$T/fifo.jpg"
ln -s /dev/zero "$T/zero3d.gl"
ln -s /dev/urandom "$T/urandom3d.gl"
printf 'header\n8 0 8 0 0 1 1 0 1 1 1 1 0 1 1 0 0 0 1 0 0 1 1 0 0 1 0\n8 0 8 0 0 2 2 0 2 2 2 2 0 2 2 0 0 0 2 0 0 2 2 0 0 2 0\n' > "$T/teile2d.gl"
# A 24-bit BMP header that claims 100000 x 100000 pixels.
printf 'BM\x36\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\xa0\x86\x01\0\xa0\x86\x01\0\x01\0\x18\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' > "$T/huge.bmp"
cp "$PROG/texturen/textur1.jpg" "$T/jpeg.bmp"
cp "$PROG/texturen/textur1.jpg" "$T/holz.jpeg"
: > "$T/leer3d.gl"
printf 'header only\n' > "$T/kopf3d.gl"
printf 'header\n8 0 8 x y z\nnot a record\n' > "$T/kaputt3d.gl"
printf 'not a JPEG at all' > "$T/corrupt.jpg"
B="$T/box3d.gl"; O="$T/out.bmp"; P="$T/out.png"; G="$T/out.glb"

check 0 "" --help
grep -q "usage: orx-render" "$T/out" || fail "--help prints no usage"
check 2 "usage: orx-render"

# Usage errors: the option, what is wrong, exit 2.
check 2 "--size: 10000 is above 8192"                "$B" "$O" --size 10000x100
check 2 "--size: 4294967396 is above 8192"           "$B" "$O" --size 4294967396x4294967371
check 2 "--size: 0 is below 1"                       "$B" "$O" --size 0x10
check 2 "--size: -5 is below 1"                      "$B" "$O" --size 10x-5
check 2 "--size: expected WxH, not '100'"            "$B" "$O" --size 100
check 2 "--size: '1e3' is not a whole number"        "$B" "$O" --size 1e3x100
check 2 "--size: a value is missing"                 "$B" "$O" --size
check 2 "--mode: 5 is above 4"                       "$B" "$O" --mode 5
check 2 "--mode: 0 is below 1"                       "$B" "$O" --mode 0
check 2 "--background: expected R,G,B, not '1,2'"    "$B" "$O" --background 1,2
check 2 "--background: 4294967296 is above 255"      "$B" "$O" --background 4294967296,0,255
check 2 "--background: -1 is below 0"                "$B" "$O" --background -1,0,0
check 2 "--part: 4294967297 is above 2147483647"     "$B" "$O" --part 4294967297
check 2 "--part: 0 is below 1"                       "$B" "$O" --part 0
check 2 "--angles: nan is not a finite number"       "$B" "$O" --angles nan,0,0
check 2 "--angles: -inf is not a finite number"      "$B" "$O" --angles 0,-inf,0
check 2 "--origin: 1e999 is not a finite number"     "$B" "$O" --origin 0,0,1e999
check 2 "--origin: 'x' is not a number"              "$B" "$O" --origin x,0,-2
check 2 "--angles: expected X,Y,Z, not '1,2,3,4'"    "$B" "$O" --angles 1,2,3,4
check 2 "--texture: 10 is above 9"                   "$B" "$O" --texture 10
check 2 "--texture: 0 is below 1"                    "$B" "$O" --texture 0
check 2 "--bogus: unknown option"                    "$B" "$O" --bogus
check 2 "out.gif: the output file must end in .bmp, .jpg, .jpeg, .png, .glb or .html" "$B" "$T/out.gif"
check 2 "--part 3: $T/teile2d.gl has only 2 parts"    "$T/teile2d.gl" "$O" --part 3
check 2 "--part 5: $B is a whole model, not a parts list" "$B" "$O" --part 5
check 2 "--thumbnail: the picture file must end in .png" "$B" "$O" --thumbnail 64
check 2 "--thumbnail: the picture file must end in .png" "$B" "$T/out.jpg" --thumbnail 128
check 2 "--thumbnail: not with --size, --angles"     "$B" "$P" --thumbnail 64 --origin 0,0,-3
check 2 "--thumbnail: not with --size"               "$B" "$P" --thumbnail 128 --size 64x64
check 2 "--thumbnail: not with --size, --angles"     "$B" "$P" --thumbnail 128 --angles 1,2,3
check 2 "--thumbnail: 1025 is above 1024"            "$B" "$P" --thumbnail 1025
check 2 "--thumbnail: 0 is below"                    "$B" "$P" --thumbnail 0
check 2 "the picture file is missing"                "$B"
check 2 "one model file and one picture file only"   "$B" "$O" extra.bmp
check 2 ""                                           "$B" "$O" --parts
# An export takes no picture-only option; the error names the option.
check 2 "--size"                                     "$B" "$G" --size 64x48
check 2 "--light"                                    "$B" "$G" --light
check 2 "--angles"                                   "$B" "$G" --angles 1,2,3
check 2 "--thumbnail"                                "$B" "$G" --thumbnail 64
check 2 "--mode"                                     "$B" "$G" --mode 2
# The design colours are a colour set of the solid mode.
check 2 "--design-colours: not with --coloured"       "$B" "$O" --design-colours --coloured
check 2 "--design-colours: the design colours show in mode 3 only" "$B" "$G" --mode 4 --design-colours

# Models that cannot be read, whatever they are: exit 1 at once, nothing written.
check 1 "Unable to open file for reading: $T/fehlt3d.gl"    "$T/fehlt3d.gl" "$O"
check 1 "Unable to open file for reading: $T/dir3d.gl"      "$T/dir3d.gl" "$O"
check 1 "Unable to open file for reading: $T/fifo3d.gl"     "$T/fifo3d.gl" "$O"
check 1 "Unable to open file for reading: $T/zero3d.gl"     "$T/zero3d.gl" "$O"
check 1 "Unable to open file for reading: $T/urandom3d.gl"  "$T/urandom3d.gl" "$O"
check 1 "Unable to open file for reading: $T/fehlt3d.gl"    "$T/fehlt3d.gl" "$G"
check 1 "No *.gl -> NO 3D!"                                 "$T/box.obj" "$O"
check 1 "Unbekanntes Dateiformat"                           "$T/model.gl" "$O"
check 1 "Unbekanntes Dateiformat"                           "$T/model.gl" --parts
# Models with nothing to draw: a message, exit 1, no picture (nor thumbnail).
check 1 "the model has nothing to draw: $T/leer3d.gl"       "$T/leer3d.gl" "$O"
check 1 "the model has nothing to draw: $T/kopf3d.gl"       "$T/kopf3d.gl" "$O"
check 1 "the model has nothing to draw: $T/kaputt3d.gl"     "$T/kaputt3d.gl" "$P" --thumbnail 32
check 1 ""                                                  "$B" --parts --part 2
# An export that cannot be written: the target named, the folder left as it was.
check 1 "ordner.glb"                                        "$B" "$T/ordner.glb"
[ -z "$(ls -A "$T/ordner.glb")" ] || fail "a failed export left a file in the folder"
check 1 ""                                                  "$B" "$T/fehlt/out.glb"
# A web page without three.js names the Debian package; nothing is written.
mkdir "$T/leer"
ORX_THREE_DIR="$T/leer" check 1 "libjs-three"              "$B" "$T/out.html"
mkdir "$T/seite.html"
check 1 "kann nicht geschrieben werden:"                    "$B" "$T/seite.html"
[ -z "$(ls -A "$T/seite.html")" ] || fail "a failed page export left a file in the folder"
check 1 "kann nicht geschrieben werden:"                    "$B" "$T/fehlt/out.html"

# Textures named with --texture that cannot be loaded: the reader's message, exit 1.
check 1 "Can't open $T/missing.jpg"                  "$B" "$O" --texture "$T/missing.jpg"
# A message made for a message box is one line here.
[ "$(wc -l < "$T/err")" = 1 ] || fail "the texture's message spans lines: $(cat "$T/err")"
check 1 "Can't open $T/missing.jpg"                  "$B" "$O" --texture "$T/missing.jpg" --mode 3
check 1 "Unable to open file for reading"            "$B" "$O" --texture "$T/missing.bmp"
check 1 "Insuffisant memory"                         "$B" "$O" --texture "$T/huge.bmp"
check 1 "Invalid BMP file"                           "$B" "$O" --texture "$T/jpeg.bmp"
check 1 "invalid file redirection : $T/holz.jpeg"    "$B" "$O" --texture "$T/holz.jpeg"
check 1 "Can't open $T/fifo.jpg"                     "$B" "$O" --texture "$T/fifo.jpg"
check 1 "Can't open $T/folder.jpg"                   "$B" "$O" --texture "$T/folder.jpg"
check 1 "the texture could not be loaded: $T/corrupt.jpg" "$B" "$O" --texture "$T/corrupt.jpg"

# Numbers at the ends of their ranges are taken.
check 0 "" "$B" "$O" --size 1x1 --background 0,0,255 --mode 1
check 0 "" "$B" "$O" --size 16x8192 --mode 3
check 0 "" "$T/teile2d.gl" "$O" --size 16x16 --part 2 --angles +1e-400,-0,0 --origin 0,0,-2.5
check 0 "" "$B" "$O" --size 16x16 --texture "$PROG/texturen/textur2.jpg"
[ -s "$O" ] || fail "no picture"

# Each format as its extension names it. A 64 x 48 BMP at 32 bits: 54 + 64 * 48 * 4 bytes.
check 0 "" "$B" "$O" --size 64x48 --mode 3 --angles 20,-30,0
[ "$(stat -c %s "$O")" = "$((54 + 64 * 48 * 4))" ] || fail "BMP size $(stat -c %s "$O")"
[ "$(head -c 2 "$O")" = "BM" ] || fail "not a BMP"
for jpeg in out.jpg out.JPEG; do
  check 0 "" "$B" "$T/$jpeg" --size 64x48
  [ "$(bytes "$T/$jpeg" 3 3)" = "ffd8ff" ] || fail "$jpeg is not a JPEG"
done
check 0 "" "$B" "$P" --size 64x48
[ "$(bytes "$P" 8 8)" = "89504e470d0a1a0a" ] || fail "not a PNG"
# Width and height of the PNG header: 64 x 48, 8-bit RGB (colour type 2).
[ "$(bytes "$P" 26 10)" = "00000040000000300802" ] || fail "PNG header $(bytes "$P" 26 10)"
check 0 "" "$B" "$G" --mode 3 --coloured
[ "$(head -c 4 "$G")" = "glTF" ] || fail "the export wrote no binary glTF"
check 0 "" "$B" "$G" --design-colours
[ "$(head -c 4 "$G")" = "glTF" ] || fail "the export in the design colours wrote no binary glTF"

# The parts as CSV: a header, one line per part; no picture file.
check 0 "" "$B" --parts
[ "$(cat "$T/out")" = "Teil,Art,Länge,Breite,Dicke,minX,minY,minZ,maxX,maxY,maxZ,Farbe
1,Quader,2000.0,800.0,600.0,0.0,0.0,0.0,2000.0,800.0,600.0,#563412" ] || fail "--parts: $(cat "$T/out")"

[ -z "$(ls -A "$T/config" 2>/dev/null)" ] || fail "settings written: $(ls -A "$T/config")"
echo "PASS"
