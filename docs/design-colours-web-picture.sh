#!/usr/bin/env bash
# Makes docs/design-colours-web.png: the sample wardrobe in the design colours, left its
# web page in headless Chromium, right f3d on the .glb, both at 800 x 600 from the same
# three-quarter view. Needs node, chromium and puppeteer-core (./test installs them), f3d
# and an X display for it:
#   xvfb-run -a -s "-screen 0 1024x768x24" docs/design-colours-web-picture.sh BUILD-FOLDER
set -euo pipefail
B="${1:-build}"
source "$(dirname "$0")/../scripts/common.sh"
T="$(mktemp -d)"
trap 'rm -rf "$T"' EXIT
"$B/bin/orx-render" "$B/bin/modelle/schrank3d.gl" "$T/schrank.html" --design-colours \
  --angles 20,-35,0
"$B/bin/orx-render" "$B/bin/modelle/schrank3d.gl" "$T/schrank.glb" --design-colours
PUPPETEER_CORE_DIR="$PUPPETEER_CORE_PREFIX/node_modules" node --input-type=module - \
  "$T/schrank.html" "$T/1.png" <<'JS'
import { createRequire } from 'module';
const require = createRequire(process.env.PUPPETEER_CORE_DIR + '/');
const browser = await require('puppeteer-core').launch({
  executablePath: '/usr/bin/chromium', headless: false,
  args: ['--headless', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});
const page = await browser.newPage();
await page.setViewport({ width: 800, height: 600, deviceScaleFactor: 1 });
await page.goto('file://' + process.argv[2]);
await page.waitForFunction(() => document.documentElement.dataset.state, { timeout: 120000 });
await page.screenshot({ path: process.argv[3] });
await browser.close();
JS
f3d --dry-run --fxaa --resolution=800,600 --bg-color=0.95,0.95,0.93 --camera-azimuth-angle=-35 \
  --camera-elevation-angle=20 --output="$T/2.png" "$T/schrank.glb"
"$B/tools/gen-thumbnail-grid" "$(dirname "$0")/design-colours-web.png" 2 "$T/1.png" "$T/2.png"
