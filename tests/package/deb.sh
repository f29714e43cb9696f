# The Debian package: built with cpack, it holds the layout that cmake --install lays
# out under /usr, takes its version from the project and its dependencies from the
# binaries, passes lintian without errors, and its desktop files work once installed.
# Arguments: build folder, project version.
set -euo pipefail
BUILD="$1"
VERSION="$2"
T="$(mktemp -d /tmp/orx-package-test-XXXXXX)"
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate update-mime-database \
            update-desktop-database xdg-mime; do
  command -v "$tool" >/dev/null || fail "$tool is missing: ./package installs the packaging tools"
done

(cd "$BUILD" && cpack -G DEB -B "$T/out" >"$T/cpack.log" 2>&1) || { cat "$T/cpack.log"; fail "cpack failed"; }
DEB="$T/out/orx-view_${VERSION}_$(dpkg --print-architecture).deb"
[ -f "$DEB" ] || fail "no $(basename "$DEB"): $(ls "$T/out")"

# One version: the project's, in the package and in orx-view --version.
[ "$(dpkg-deb -f "$DEB" Version)" = "$VERSION" ] || fail "package version $(dpkg-deb -f "$DEB" Version)"
dpkg-deb -x "$DEB" "$T/root"
[ "$(env -u DISPLAY "$T/root/usr/bin/orx-view" --version)" = "orx-view $VERSION" ] ||
  fail "orx-view --version: $(env -u DISPLAY "$T/root/usr/bin/orx-view" --version)"

# Dependencies found in the binaries, besides the drivers named by hand.
depends="$(dpkg-deb -f "$DEB" Depends)"
for lib in libqt6widgets6 libqt6openglwidgets6 libjpeg62-turbo libpng16-16 libegl1 libglu1-mesa \
           libc6 libgl1-mesa-dri libjs-three; do
  case "$depends" in *"$lib"*) ;; *) fail "Depends lacks $lib: $depends" ;; esac
done
# tinygltf only reads files back in the tests; the programs do not need it.
case "$depends" in *tinygltf*) fail "Depends names tinygltf: $depends" ;; esac

# The files: program folder, links, desktop entry, icon, MIME type, thumbnailer.
dpkg-deb -c "$DEB" | awk '{print $6 ($7 == "->" ? " -> " $8 : "")}' | sed 's|^\./|/|' >"$T/list"
for want in \
    "/usr/bin/orx-view -> ../lib/orx-view/orx-view" \
    "/usr/bin/orx-render -> ../lib/orx-view/orx-render" \
    /usr/lib/orx-view/orx-view /usr/lib/orx-view/orx-render \
    /usr/lib/orx-view/texturen/textur1.jpg /usr/lib/orx-view/texturen/textur9.jpg \
    /usr/lib/orx-view/modelle/schrank3d.gl /usr/lib/orx-view/modelle/teile2d.gl \
    /usr/lib/orx-view/web/page.html \
    /usr/share/applications/orx-view.desktop /usr/share/mime/packages/orx-view.xml \
    /usr/share/thumbnailers/orx-view.thumbnailer \
    /usr/share/icons/hicolor/scalable/apps/orx-view.svg \
    /usr/share/doc/orx-view/copyright /usr/share/doc/orx-view/changelog.gz \
    /usr/share/man/man1/orx-view.1.gz /usr/share/man/man1/orx-render.1.gz; do
  grep -qxF "$want" "$T/list" || fail "the package lacks $want"
done

# The licence in the machine-readable copyright file.
dpkg-deb --fsys-tarfile "$DEB" | tar -xO ./usr/share/doc/orx-view/copyright >"$T/copyright"
grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" \
  "$T/copyright" && grep -qx "License: Expat" "$T/copyright" ||
  fail "the copyright file names no licence in machine-readable form"

# The same files as cmake --install lays out under /usr.
DESTDIR="$T/installed" cmake --install "$BUILD" --prefix /usr >/dev/null
(cd "$T/installed" && find . -mindepth 1 ! -type d | sed 's|^\.||' | sort) >"$T/installed.list"
(cd "$T/root" && find . -mindepth 1 ! -type d | sed 's|^\.||' | sort) >"$T/packaged.list"
diff "$T/installed.list" "$T/packaged.list" >"$T/diff" || fail "package and install differ: $(cat "$T/diff")"

# The packaged program folder is complete: its renderer draws a sample model with its
# texture into a thumbnail.
"$T/root/usr/bin/orx-render" "$T/root/usr/lib/orx-view/modelle/schrank3d.gl" "$T/thumb.png" \
    --thumbnail 64 2>"$T/render.err" || fail "the packaged orx-render failed: $(cat "$T/render.err")"
[ ! -s "$T/render.err" ] || fail "the packaged orx-render complained: $(cat "$T/render.err")"
[ "$(head -c 8 "$T/thumb.png" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "no PNG"
# ... and a web page from its template.
"$T/root/usr/bin/orx-render" "$T/root/usr/lib/orx-view/modelle/schrank3d.gl" "$T/seite.html" \
    2>"$T/render.err" || fail "the packaged orx-render wrote no page: $(cat "$T/render.err")"
grep -q "Ansicht zurücksetzen" "$T/seite.html" || fail "the page lacks its button"

grep -qx "Exec=orx-view %f" "$T/root/usr/share/applications/orx-view.desktop" ||
  fail "the desktop entry does not pass the file on"
desktop-file-validate "$T/root/usr/share/applications/orx-view.desktop" >"$T/validate" 2>&1 ||
  fail "desktop entry: $(cat "$T/validate")"
[ ! -s "$T/validate" ] || fail "desktop entry: $(cat "$T/validate")"

# Installed and registered, the entry is the default application of the model type.
update-mime-database "$T/root/usr/share/mime" >/dev/null 2>&1 || fail "update-mime-database"
grep -q "model/x-orx-gl" "$T/root/usr/share/mime/globs2" || fail "the MIME type was not registered"
grep -q ":model/x-orx-gl:\*\.gl" "$T/root/usr/share/mime/globs2" || fail "no *.gl glob"
update-desktop-database "$T/root/usr/share/applications"
mkdir -p "$T/home/config" "$T/home/data"
default=$(HOME="$T/home" XDG_CONFIG_HOME="$T/home/config" XDG_DATA_HOME="$T/home/data" \
          XDG_CONFIG_DIRS="$T/home/config" XDG_DATA_DIRS="$T/root/usr/share" XDG_CURRENT_DESKTOP= \
          xdg-mime query default model/x-orx-gl)
[ "$default" = "orx-view.desktop" ] || fail "xdg-mime names '$default' for model/x-orx-gl"

# lintian: no errors (exit 2 with errors, 1 when it could not check).
rc=0; lintian --fail-on error --tag-display-limit 0 "$DEB" >"$T/lintian" 2>&1 || rc=$?
[ "$rc" = 0 ] || fail "lintian exited $rc: $(cat "$T/lintian")"
echo "PASS ($(basename "$DEB"), $(stat -c %s "$DEB") bytes)"
sed 's/^/  lintian: /' "$T/lintian"
