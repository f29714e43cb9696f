#!/usr/bin/env bash
# Makes docs/web-page.png: schrank3d's web page in headless Chromium at 800 x 600,
# textured (Kirsch) from a three-quarter view, after a click on the left door. Needs
# node, chromium and puppeteer-core (./test installs them).
#   docs/web-page-picture.sh BUILD-FOLDER
set -euo pipefail
B="${1:-build}"
source "$(dirname "$0")/../scripts/common.sh"
T="$(mktemp -d)"
trap 'rm -rf "$T"' EXIT
"$B/bin/orx-render" "$B/bin/modelle/schrank3d.gl" "$T/schrank.html" --angles 15,-35,0
PUPPETEER_CORE_DIR="$PUPPETEER_CORE_PREFIX/node_modules" node --input-type=module - \
  "$T/schrank.html" "$(dirname "$0")/web-page.png" <<'JS'
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
await page.mouse.click(370, 330);
await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => done())));
await page.screenshot({ path: process.argv[3] });
await browser.close();
JS
