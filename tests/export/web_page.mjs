// Opens the pages web_page.sh made (in the folder given) in headless Chromium and
// checks them; prints one line per check and exits 1 when any failed.
//
// Silhouette: a pixel of the page belongs to the model when a channel differs from
// the page's background by more than 16; one of orx-render's picture when a channel
// is above 24 (its background is black). The page smooths edges and orx-render does
// not, so pixels on orx-render's outline (a neighbour on the other side) may differ;
// of all others at most 0.5 % of the model's pixels may.
import { createRequire } from 'module';
import { readFileSync, writeFileSync, readdirSync } from 'fs';
import { join } from 'path';

const require = createRequire(process.env.PUPPETEER_CORE_DIR + '/');
const puppeteer = require('puppeteer-core');
const dir = process.argv[2];
const kWidth = 400, kHeight = 300;
const kBackground = [0xf2, 0xf2, 0xee];
let failures = 0;

function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures++;
}

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM,
  headless: false,  // the flags below say it, as a user would start chromium
  args: ['--headless', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    `--window-size=${kWidth},${kHeight}`],
});

// A blank page (no policy) that turns PNG bytes into RGBA pixels.
const decoder = await browser.newPage();
async function pixels(png) {
  return decoder.evaluate(async (base64) => {
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const image = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
    const canvas = new OffscreenCanvas(image.width, image.height);
    const g = canvas.getContext('2d');
    g.drawImage(image, 0, 0);
    return Array.from(g.getImageData(0, 0, image.width, image.height).data);
  }, Buffer.from(png).toString('base64'));
}

function mask(rgba, isModel) {
  const on = [];
  for (let i = 0; i < rgba.length; i += 4) on.push(isModel(rgba[i], rgba[i + 1], rgba[i + 2]));
  return on;
}
const onPage = (r, g, b) => Math.max(Math.abs(r - kBackground[0]), Math.abs(g - kBackground[1]),
  Math.abs(b - kBackground[2])) > 16;
const count = (m) => m.filter(Boolean).length;
const differing = (a, b) => a.reduce((n, v, i) => n + (v !== b[i]), 0);
// The pixels that differ between the masks, leaving out those on the outline of `a`.
function differingInside(a, b) {
  let n = 0;
  for (let y = 0; y < kHeight; ++y) {
    for (let x = 0; x < kWidth; ++x) {
      const i = y * kWidth + x;
      if (a[i] === b[i]) continue;
      let outline = false;
      for (let dy = -1; dy <= 1; ++dy) {
        for (let dx = -1; dx <= 1; ++dx) {
          const j = (y + dy) * kWidth + x + dx;
          if (y + dy >= 0 && y + dy < kHeight && x + dx >= 0 && x + dx < kWidth && a[j] !== a[i]) {
            outline = true;
          }
        }
      }
      n += !outline;
    }
  }
  return n;
}

// Opens a page from disk and waits (with a generous ceiling) until it has drawn or
// failed; records console errors, requests and dialogs on the way.
async function open(file) {
  const page = await browser.newPage();
  await page.setViewport({ width: kWidth, height: kHeight, deviceScaleFactor: 1 });
  await page.setOfflineMode(true);  // the network off
  const seen = { errors: [], requests: [], dialogs: 0 };
  page.on('console', (m) => { if (m.type() === 'error') seen.errors.push(m.text()); });
  page.on('pageerror', (e) => seen.errors.push(String(e)));
  page.on('request', (r) => seen.requests.push(r.url()));
  page.on('dialog', (d) => { seen.dialogs++; d.dismiss(); });
  const url = 'file://' + file;
  await page.goto(url);
  await page.waitForFunction(() => document.documentElement.dataset.state, { timeout: 120000 });
  seen.state = await page.evaluate(() => document.documentElement.dataset.state);
  seen.foreign = seen.requests.filter((u) => u !== url && !u.startsWith('blob:'));
  return { page, seen };
}

// The canvas alone: the texts over it hidden.
async function modelMask(page) {
  await page.evaluate(() => {
    for (const id of ['caption', 'label', 'reset', 'program']) {
      document.getElementById(id).style.visibility = 'hidden';
    }
  });
  const m = mask(await pixels(await page.screenshot({ type: 'png' })), onPage);
  await page.evaluate(() => {
    for (const id of ['caption', 'label', 'reset', 'program']) {
      document.getElementById(id).style.visibility = '';
    }
  });
  return m;
}

const label = (page) => page.$eval('#label', (e) => e.textContent);
async function click(page, x, y) {
  await page.mouse.click(x, y);
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => done())));
}
// A point of the mask near its middle that belongs to the model.
function pointOn(m) {
  for (let r = 0; r < kHeight / 2; ++r) {
    for (let dy = -r; dy <= r; ++dy) {
      for (let dx = -r; dx <= r; ++dx) {
        const x = kWidth / 2 + dx, y = kHeight / 2 + dy;
        if (m[y * kWidth + x]) return [x, y];
      }
    }
  }
  return [kWidth / 2, kHeight / 2];
}

// Every sample model: clean load, nothing fetched, the renderer's silhouette.
const samples = readdirSync(dir).filter((f) => f.endsWith('.png')).map((f) => f.slice(0, -4));
for (const name of samples) {
  const { page, seen } = await open(join(dir, name + '.html'));
  check(seen.state === 'shown', `${name}: the page shows the model (${seen.state})`);
  check(seen.errors.length === 0, `${name}: no console error ${seen.errors.join(' | ')}`);
  check(seen.foreign.length === 0, `${name}: no request beyond the page ${seen.foreign.join(' ')}`);
  const ours = mask(await pixels(readFileSync(join(dir, name + '.png'))),
    (r, g, b) => Math.max(r, g, b) > 24);
  const theirs = await modelMask(page);
  const d = differingInside(ours, theirs);
  check(count(ours) > kWidth * kHeight / 40 && d <= count(ours) * 0.005,
    `${name}: ${d} of ${count(ours)} model pixels differ from orx-render's picture off its ` +
    `outline (${differing(ours, theirs)} with it)`);

  if (name === 'schrank3d') {
    // The controls: a drag turns, the wheel zooms in, the button goes back.
    await page.mouse.move(200, 150);
    await page.mouse.down();
    await page.mouse.move(260, 170, { steps: 5 });
    await page.mouse.up();
    const turned = await modelMask(page);
    check(differing(turned, theirs) > count(theirs) / 10, 'schrank3d: a drag turns the model');
    await page.mouse.move(200, 150);
    await page.mouse.wheel({ deltaY: -400 });
    const zoomed = await modelMask(page);
    check(count(zoomed) > count(turned) * 1.1, 'schrank3d: the wheel zooms in');
    await page.click('#reset');
    await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => done())));
    check(differingInside(theirs, await modelMask(page)) === 0,
      '"Ansicht zurücksetzen" brings the first view back');

    const [x, y] = pointOn(theirs);
    await click(page, x, y);
    const named = await label(page);
    // The left door, record 14 (2016 × 595,5 × 19 mm), is there.
    check(/^Teil 14(, Quader: 2016 × 595,5 × 19 mm)?$/.test(named),
      `schrank3d: a click names the part: "${named}"`);
    await click(page, 5, 60);
    check(await label(page) === '', 'schrank3d: a click beside the model clears the label');
  }
  await page.close();
}

// The label from a part's extras, with the page's own scripts: the page's model
// data is not part of what its policy hashes, so a .glb with extras can be put in.
{
  const file = join(dir, 'schrank3d.html');
  const html = readFileSync(file, 'utf8');
  const re = /(<script type="application\/octet-stream" id="model">)([^<]*)(<\/script>)/;
  const glb = Buffer.from(html.match(re)[2], 'base64');
  const jsonLength = glb.readUInt32LE(12);
  const json = JSON.parse(glb.subarray(20, 20 + jsonLength).toString('utf8'));
  json.nodes.forEach((n) => {
    n.extras = { record: Number(n.name.slice(5)), kind: 'Quader', sizes: [2016, 595.46, 19.04],
      colour: 7051969 };
  });
  let text = Buffer.from(JSON.stringify(json), 'utf8');
  text = Buffer.concat([text, Buffer.alloc((4 - (text.length % 4)) % 4, 0x20)]);
  const rest = glb.subarray(20 + jsonLength);
  const header = Buffer.alloc(20);
  header.writeUInt32LE(0x46546c67, 0);
  header.writeUInt32LE(2, 4);
  header.writeUInt32LE(20 + text.length + rest.length, 8);
  header.writeUInt32LE(text.length, 12);
  header.writeUInt32LE(0x4e4f534a, 16);
  const changed = Buffer.concat([header, text, rest]).toString('base64');
  const withExtras = join(dir, 'extras.html');
  writeFileSync(withExtras, html.replace(re, (_, a, b, c) => a + changed + c));
  const { page, seen } = await open(withExtras);
  check(seen.state === 'shown' && seen.errors.length === 0, 'extras: the changed page shows');
  const ours = mask(await pixels(readFileSync(join(dir, 'schrank3d.png'))),
    (r, g, b) => Math.max(r, g, b) > 24);
  const [x, y] = pointOn(ours);
  await click(page, x, y);
  const named = await label(page);
  check(/^Teil \d+, Quader: 2016 × 595,5 × 19 mm$/.test(named),
    `extras: the label gives kind and sizes: "${named}"`);
  await page.close();
}

// The design colours, a material each: where orx-render draws a part in its colour the
// page does too, lit otherwise. Over the pixels of the model in both, and apart from
// the brightness, the mean colours differ by at most 10 in a channel, and both are
// warm (the oak doors): the grey set's page is neutral.
{
  const { page, seen } = await open(join(dir, 'entwurf', 'seite.html'));
  check(seen.state === 'shown' && seen.errors.length === 0 && seen.foreign.length === 0,
    `entwurf: shown without error or request ${seen.errors.join(' | ')} ${seen.foreign.join(' ')}`);
  const drawn = await pixels(readFileSync(join(dir, 'entwurf', 'bild.png')));
  const ours = mask(drawn, (r, g, b) => Math.max(r, g, b) > 24);
  const theirs = await modelMask(page);
  const rgba = await pixels(await page.screenshot({ type: 'png' }));
  const mean = (p) => {
    const sum = [0, 0, 0];
    ours.forEach((on, i) => {
      if (on && theirs[i]) for (let k = 0; k < 3; ++k) sum[k] += p[4 * i + k];
    });
    const all = sum[0] + sum[1] + sum[2];
    return sum.map((v) => (v / all) * 3 * 128);
  };
  const [a, b] = [mean(rgba), mean(drawn)];
  const apart = Math.max(...a.map((v, k) => Math.abs(v - b[k])));
  check(count(theirs) > count(ours) / 2 && apart <= 10 && a[0] - a[2] > 12 && b[0] - b[2] > 12,
    `entwurf: the page's colours are orx-render's: ${a.map(Math.round)} against ` +
    `${b.map(Math.round)}`);
  await page.close();
}

// The textured look: the texture image comes out of the file, not off the network.
{
  const { page, seen } = await open(join(dir, 'textur.html'));
  check(seen.state === 'shown' && seen.errors.length === 0 && seen.foreign.length === 0,
    `textur: shown without error or request ${seen.errors.join(' | ')} ${seen.foreign.join(' ')}`);
  await page.close();
}

// A header line with markup: shown as text in the title and the caption, nothing run.
{
  const header = '<script>alert(1)</script> </script> & "Ä" @TITLE@';
  const { page, seen } = await open(join(dir, 'feind.html'));
  check(seen.state === 'shown' && seen.errors.length === 0, 'feind: the page shows the model');
  check(await page.title() === header, `feind: the title is the header line: ${await page.title()}`);
  check(await page.$eval('#caption', (e) => e.textContent) === header,
    'feind: the caption is the header line');
  check(seen.dialogs === 0, 'feind: no script of the header line ran');
  await page.close();
}

await browser.close();
process.exit(failures > 0 ? 1 : 0);
