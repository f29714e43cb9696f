#!/usr/bin/env node
// Prints the f3d camera options that show a .glb file exported by orx-render as the
// viewer shows the model for --angles X,Y,Z (the eye of the viewer, as
// tests/export/f3d_silhouette_test.cpp places it): the model's bounds from its nodes,
// the eye at twice the largest coordinate from their centre.
//   node docs/f3d-camera.js FILE.glb X,Y,Z
const fs = require("fs");
const b = fs.readFileSync(process.argv[2]);
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
const [ax, ay, az] = process.argv[3].split(",").map(d => -d * Math.PI / 180);
const turn = (p, i, j, a) => { const q = p.slice(); q[i] = Math.cos(a) * p[i] - Math.sin(a) * p[j]; q[j] = Math.sin(a) * p[i] + Math.cos(a) * p[j]; return q; };
const un = v => turn(turn(turn(v, 1, 2, ax), 2, 0, ay), 0, 1, az);
const eye = un([0, 0, 2]), ahead = un([0, 0, -1]), up = un([0, 1, 0]);
const f = v => v.map(x => x.toFixed(6)).join(",");
console.log(`--camera-position=${f(c.map((x, k) => x + e * eye[k]))} ` +
  `--camera-focal-point=${f(c.map((x, k) => x + e * (eye[k] + ahead[k])))} ` +
  `--camera-view-up=${f(up)} --camera-view-angle=45`);
