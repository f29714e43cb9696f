# orx-render from the command line: exit codes, messages and the pictures it writes.
set -euo pipefail
RENDER="$1"
T="$(mktemp -d /tmp/orx-render-test-XXXXXX)"
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
expect_rc() {  # expected-code, command...
  local want="$1"; shift
  set +e; "$@" >"$T/out" 2>"$T/err"; local rc=$?; set -e
  [ "$rc" = "$want" ] || fail "$* exited $rc, expected $want: $(cat "$T/err")"
}

printf 'header\n8 0 8 0 0 600 2000 0 600 2000 800 600 0 800 600 0 0 0 2000 0 0 2000 800 0 0 800 0\n' > "$T/box3d.gl"
cp "$T/box3d.gl" "$T/box.obj"
cp "$T/box3d.gl" "$T/model.gl"

expect_rc 0 "$RENDER" --help
grep -q "usage: orx-render" "$T/out" || fail "--help prints no usage"
expect_rc 2 "$RENDER"
grep -q "usage: orx-render" "$T/err" || fail "a usage error prints no usage"
expect_rc 2 "$RENDER" "$T/box3d.gl" "$T/out.gif"
expect_rc 2 "$RENDER" "$T/box3d.gl" "$T/out.png" --thumbnail 0
expect_rc 2 "$RENDER" "$T/box3d.gl" "$T/out.png" --thumbnail 1025
expect_rc 2 "$RENDER" "$T/box3d.gl" "$T/out.jpg" --thumbnail 128
expect_rc 2 "$RENDER" "$T/box3d.gl" "$T/out.png" --thumbnail 128 --size 64x64
expect_rc 2 "$RENDER" "$T/box3d.gl" "$T/out.png" --thumbnail 128 --angles 1,2,3
expect_rc 2 "$RENDER" "$T/box3d.gl" "$T/out.bmp" --mode 5
expect_rc 2 "$RENDER" "$T/box3d.gl" "$T/out.bmp" --size 0x10
expect_rc 2 "$RENDER" "$T/box3d.gl" "$T/out.bmp" --background 1,2
expect_rc 2 "$RENDER" "$T/box3d.gl" "$T/out.bmp" --bogus

expect_rc 1 "$RENDER" "$T/box.obj" "$T/out.bmp"
grep -q "No \*.gl -> NO 3D!" "$T/err" || fail "refused extension: $(cat "$T/err")"
expect_rc 1 "$RENDER" "$T/model.gl" "$T/out.bmp"
grep -q "Unbekanntes Dateiformat" "$T/err" || fail "unknown kind: $(cat "$T/err")"
expect_rc 1 "$RENDER" "$T/fehlt3d.gl" "$T/out.bmp"
grep -q "Unable to open file for reading" "$T/err" || fail "missing file: $(cat "$T/err")"
[ ! -e "$T/out.bmp" ] || fail "a failed render wrote a picture"

# A .glb file: picture-only options are usage errors naming the option; failures
# show the viewer's message and leave no file.
for opt in "--size 64x48" "--light" "--angles 1,2,3" "--thumbnail 64" "--mode 2"; do
  expect_rc 2 "$RENDER" "$T/box3d.gl" "$T/out.glb" $opt
  grep -q -- "${opt%% *}" "$T/err" || fail "$opt with .glb: $(cat "$T/err")"
done
expect_rc 1 "$RENDER" "$T/fehlt3d.gl" "$T/out.glb"
mkdir "$T/ordner.glb"
expect_rc 1 "$RENDER" "$T/box3d.gl" "$T/ordner.glb"
grep -q "ordner.glb" "$T/err" || fail "a folder as target: $(cat "$T/err")"
expect_rc 1 "$RENDER" "$T/box3d.gl" "$T/fehlt/out.glb"
[ ! -e "$T/out.glb" ] && [ -z "$(ls -A "$T/ordner.glb")" ] || fail "a failed export left a file"
expect_rc 0 "$RENDER" "$T/box3d.gl" "$T/out.glb" --mode 3 --coloured
[ "$(head -c 4 "$T/out.glb")" = "glTF" ] || fail "the export wrote no binary glTF"

expect_rc 0 "$RENDER" "$T/box3d.gl" "$T/out.bmp" --size 64x48 --mode 3 --angles 20,-30,0
# A 64 x 48 picture at 32 bits: 54 + 64 * 48 * 4 bytes.
[ "$(stat -c %s "$T/out.bmp")" = "$((54 + 64 * 48 * 4))" ] || fail "BMP size $(stat -c %s "$T/out.bmp")"
[ "$(head -c 2 "$T/out.bmp")" = "BM" ] || fail "not a BMP"
expect_rc 0 "$RENDER" "$T/box3d.gl" "$T/out.jpg" --size 64x48
[ "$(head -c 3 "$T/out.jpg" | od -An -tx1 | tr -d ' ')" = "ffd8ff" ] || fail "not a JPEG"
expect_rc 0 "$RENDER" "$T/box3d.gl" "$T/out.JPEG" --size 64x48
[ "$(head -c 3 "$T/out.JPEG" | od -An -tx1 | tr -d ' ')" = "ffd8ff" ] || fail ".JPEG is not a JPEG"
expect_rc 0 "$RENDER" "$T/box3d.gl" "$T/out.png" --size 64x48
[ "$(head -c 8 "$T/out.png" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "not a PNG"
# Width and height of the PNG header: 64 x 48, 8-bit RGB (colour type 2).
[ "$(head -c 26 "$T/out.png" | tail -c 10 | od -An -tx1 | tr -d ' \n')" = "00000040000000300802" ] ||
  fail "PNG header $(head -c 26 "$T/out.png" | tail -c 10 | od -An -tx1)"
# No settings file of the user was touched.
[ ! -e "${XDG_CONFIG_HOME:-$HOME/.config}/orx-render.ini" ] || true
# Every failure as a table: exit code, a text expected on standard error, arguments.
# Each run has a hard ceiling, so that a read that blocks fails instead of hanging;
# a failed run writes no picture, and a usage error says what is wrong.
PROG="$(dirname "$RENDER")"
check() {  # expected-code expected-text arguments...
  local want="$1" text="$2"; shift 2
  rm -f "$T/out.bmp" "$T/out.jpg"
  set +e; timeout 60 "$RENDER" "$@" >"$T/out" 2>"$T/err"; local rc=$?; set -e
  [ "$rc" = "$want" ] || fail "$* exited $rc, expected $want: $(cat "$T/err")"
  [ -z "$text" ] || grep -qF -- "$text" "$T/err" || fail "$*: no '$text' in: $(cat "$T/err")"
  if [ "$want" = 2 ]; then
    grep -qF "; see --help" "$T/err" || fail "$*: no hint at --help: $(cat "$T/err")"
  fi
  if [ "$want" != 0 ] && { [ -e "$T/out.bmp" ] || [ -e "$T/out.jpg" ]; }; then
    fail "$*: a failed run wrote a picture"
  fi
  return 0
}
mkdir "$T/dir3d.gl"
mkfifo "$T/fifo3d.gl" "$T/fifo.jpg"
ln -s /dev/zero "$T/zero3d.gl"
ln -s /dev/urandom "$T/urandom3d.gl"
mkdir "$T/folder.jpg"
printf 'header\n8 0 8 0 0 1 1 0 1 1 1 1 0 1 1 0 0 0 1 0 0 1 1 0 0 1 0\n8 0 8 0 0 2 2 0 2 2 2 2 0 2 2 0 0 0 2 0 0 2 2 0 0 2 0\n' > "$T/teile2d.gl"
# A 24-bit BMP header that claims 100000 x 100000 pixels.
printf 'BM\x36\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\xa0\x86\x01\0\xa0\x86\x01\0\x01\0\x18\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' > "$T/huge.bmp"
cp "$PROG/texturen/textur1.jpg" "$T/jpeg.bmp"
cp "$PROG/texturen/textur1.jpg" "$T/holz.jpeg"
: > "$T/leer3d.gl"
printf 'header only\n' > "$T/kopf3d.gl"
printf 'header\n8 0 8 x y z\nnot a record\n' > "$T/kaputt3d.gl"
printf 'not a JPEG at all' > "$T/corrupt.jpg"
B="$T/box3d.gl"; O="$T/out.bmp"

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
check 2 "out.gif: the output file must end in .bmp, .jpg, .jpeg, .png or .glb" "$B" "$T/out.gif"
check 2 "--part 3: $T/teile2d.gl has only 2 parts"    "$T/teile2d.gl" "$O" --part 3
check 2 "--part 5: $B is a whole model, not a parts list" "$B" "$O" --part 5
check 2 "--thumbnail: the picture file must end in .png" "$B" "$O" --thumbnail 64
check 2 "--thumbnail: not with --size, --angles"     "$B" "$T/out.png" --thumbnail 64 --origin 0,0,-3
check 2 "--thumbnail: 1025 is above 1024"            "$B" "$T/out.png" --thumbnail 1025
check 2 "the picture file is missing"                "$B"
check 2 "one model file and one picture file only"   "$B" "$O" extra.bmp

# Models that cannot be read, whatever they are: exit 1 at once, no picture.
check 1 "Unable to open file for reading: $T/fehlt3d.gl"    "$T/fehlt3d.gl" "$O"
check 1 "Unable to open file for reading: $T/dir3d.gl"      "$T/dir3d.gl" "$O"
check 1 "Unable to open file for reading: $T/fifo3d.gl"     "$T/fifo3d.gl" "$O"
check 1 "Unable to open file for reading: $T/zero3d.gl"     "$T/zero3d.gl" "$O"
check 1 "Unable to open file for reading: $T/urandom3d.gl"  "$T/urandom3d.gl" "$O"
check 1 "No *.gl -> NO 3D!"                                 "$T/box.obj" "$O"
# Models with nothing to draw: a message, exit 1, no picture (nor thumbnail).
check 1 "the model has nothing to draw: $T/leer3d.gl"       "$T/leer3d.gl" "$O"
check 1 "the model has nothing to draw: $T/kopf3d.gl"       "$T/kopf3d.gl" "$O"
rm -f "$T/out.png"
check 1 "the model has nothing to draw: $T/kaputt3d.gl"     "$T/kaputt3d.gl" "$T/out.png" --thumbnail 32
[ ! -e "$T/out.png" ] || fail "a model with nothing to draw left a thumbnail"

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

# The parts as CSV: a header, one line per part; --part picks one; no picture file.
expect_rc 0 "$RENDER" "$T/box3d.gl" --parts
[ "$(cat "$T/out")" = "Teil,Art,Länge,Breite,Dicke,minX,minY,minZ,maxX,maxY,maxZ
1,Quader,2000.0,800.0,600.0,0.0,0.0,0.0,2000.0,800.0,600.0" ] || fail "--parts: $(cat "$T/out")"
expect_rc 1 "$RENDER" "$T/box3d.gl" --parts --part 2
expect_rc 2 "$RENDER" "$T/box3d.gl" "$T/out.bmp" --parts
expect_rc 1 "$RENDER" "$T/model.gl" --parts

echo "PASS"
