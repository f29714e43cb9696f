#!/usr/bin/env bash
# Makes docs/export.png: two sample models, orx-render's picture on the left and f3d's
# render of the exported .glb on the right, and docs/kitchen-corner-f3d.png: the same
# for the kitchen corner, seen from the front right above so that the inner corner of
# its L-shaped worktop shows; each from the same camera (the eye of the
# viewer for --angles, as tests/export/f3d_silhouette_test.cpp places it). Needs
# node and f3d and an X display (xvfb-run).
#   docs/export-picture.sh BUILD-FOLDER
set -euo pipefail
B="${1:-build}"
T="$(mktemp -d)"
trap 'rm -rf "$T"' EXIT
angles=15,-35,0
camera() {  # the f3d camera options for a .glb file and the angles
  node -e '
    const fs = require("fs");
    const b = fs.readFileSync(process.argv[1]);
    const json = JSON.parse(b.subarray(20, 20 + b.readUInt32LE(12)).toString());
    const lo = [1e9, 1e9, 1e9], hi = [-1e9, -1e9, -1e9];
    for (const n of json.nodes) {  // a shared mesh is placed by the translation of the node
      if (n.mesh === undefined) continue;
      const t = n.translation || [0, 0, 0];
      for (const p of json.meshes[n.mesh].primitives) {
        const a = json.accessors[p.attributes.POSITION];
        for (let k = 0; k < 3; k++) {
          lo[k] = Math.min(lo[k], a.min[k] + t[k]); hi[k] = Math.max(hi[k], a.max[k] + t[k]);
        }
      }
    }
    const e = Math.max(...hi), c = lo.map((l, k) => (l + hi[k]) / 2);
    const [ax, ay, az] = process.argv[2].split(",").map(d => -d * Math.PI / 180);
    const turn = (p, i, j, a) => { const q = p.slice(); q[i] = Math.cos(a) * p[i] - Math.sin(a) * p[j]; q[j] = Math.sin(a) * p[i] + Math.cos(a) * p[j]; return q; };
    const un = v => turn(turn(turn(v, 1, 2, ax), 2, 0, ay), 0, 1, az);
    const eye = un([0, 0, 2]), ahead = un([0, 0, -1]), up = un([0, 1, 0]);
    const f = v => v.map(x => x.toFixed(6)).join(",");
    console.log(`--camera-position=${f(c.map((x, k) => x + e * eye[k]))} ` +
      `--camera-focal-point=${f(c.map((x, k) => x + e * (eye[k] + ahead[k])))} ` +
      `--camera-view-up=${f(up)} --camera-view-angle=45`);
  ' "$1" "${2:-$angles}"
}
"$B/bin/orx-render" "$B/bin/modelle/schrank3d.gl" "$T/1.png" --size 400x300 --angles $angles --texture 1 --background 255,255,255
"$B/bin/orx-render" "$B/bin/modelle/schrank3d.gl" "$T/s.glb" --texture 1
"$B/bin/orx-render" "$B/bin/modelle/kommode3d.gl" "$T/3.png" --size 400x300 --angles $angles --mode 3 --coloured --background 255,255,255
"$B/bin/orx-render" "$B/bin/modelle/kommode3d.gl" "$T/k.glb" --mode 3 --coloured
# shellcheck disable=SC2046
f3d --dry-run --resolution=400,300 --bg-color=1,1,1 $(camera "$T/s.glb") --output="$T/2.png" "$T/s.glb"
# shellcheck disable=SC2046
f3d --dry-run --resolution=400,300 --bg-color=1,1,1 $(camera "$T/k.glb") --output="$T/4.png" "$T/k.glb"
"$B/tools/gen-thumbnail-grid" docs/export.png 2 "$T"/1.png "$T"/2.png "$T"/3.png "$T"/4.png
k=25,-35,0
"$B/bin/orx-render" "$B/bin/modelle/eckkueche3d.gl" "$T/5.png" --size 600x450 --angles $k --texture 1 --background 255,255,255
"$B/bin/orx-render" "$B/bin/modelle/eckkueche3d.gl" "$T/e.glb" --texture 1
# shellcheck disable=SC2046
f3d --dry-run --resolution=600,450 --bg-color=1,1,1 $(camera "$T/e.glb" $k) --output="$T/6.png" "$T/e.glb"
"$B/tools/gen-thumbnail-grid" docs/kitchen-corner-f3d.png 2 "$T"/5.png "$T"/6.png
