// Prints a table row per page: its size and the best of three times from opening
// it to its first frame (the time the page notes when it has drawn the model).
import { createRequire } from 'module';
import { statSync } from 'fs';
import { basename } from 'path';

const require = createRequire(process.env.PUPPETEER_CORE_DIR + '/');
const puppeteer = require('puppeteer-core');
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM,
  headless: false,
  args: ['--headless', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
});
for (const file of process.argv.slice(2)) {
  let best = Infinity;
  for (let run = 0; run < 3; ++run) {
    const page = await browser.newPage();
    await page.setViewport({ width: 800, height: 600, deviceScaleFactor: 1 });
    await page.goto('file://' + file);
    await page.waitForFunction(() => document.documentElement.dataset.state, { timeout: 300000 });
    const ms = Number(await page.evaluate(() => document.documentElement.dataset.firstFrame));
    best = Math.min(best, ms);
    await page.close();
  }
  const mib = (statSync(file).size / 1048576).toFixed(2);
  console.log(`| ${basename(file)} | ${mib} MiB | ${(best / 1000).toFixed(2)} s |`);
}
await browser.close();
