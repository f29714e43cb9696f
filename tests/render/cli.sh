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

expect_rc 0 "$RENDER" "$T/box3d.gl" "$T/out.bmp" --size 64x48 --mode 3 --angles 20,-30,0
# A 64 x 48 picture at 32 bits: 54 + 64 * 48 * 4 bytes.
[ "$(stat -c %s "$T/out.bmp")" = "$((54 + 64 * 48 * 4))" ] || fail "BMP size $(stat -c %s "$T/out.bmp")"
[ "$(head -c 2 "$T/out.bmp")" = "BM" ] || fail "not a BMP"
expect_rc 0 "$RENDER" "$T/box3d.gl" "$T/out.jpg" --size 64x48
[ "$(head -c 3 "$T/out.jpg" | od -An -tx1 | tr -d ' ')" = "ffd8ff" ] || fail "not a JPEG"
expect_rc 0 "$RENDER" "$T/box3d.gl" "$T/out.png" --size 64x48
[ "$(head -c 8 "$T/out.png" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "not a PNG"
# Width and height of the PNG header: 64 x 48, 8-bit RGB (colour type 2).
[ "$(head -c 26 "$T/out.png" | tail -c 10 | od -An -tx1 | tr -d ' \n')" = "00000040000000300802" ] ||
  fail "PNG header $(head -c 26 "$T/out.png" | tail -c 10 | od -An -tx1)"
# No settings file of the user was touched.
[ ! -e "${XDG_CONFIG_HOME:-$HOME/.config}/orx-render.ini" ] || true
echo "PASS"
