// The page's own frame rate in headless Chromium (SwiftShader): the rate
// titles of a run of SECONDS after OK, paced by the browser's animation
// frames and, with --unpaced, with Chromium's frame-rate limit lifted; in a
// viewport of WxH CSS pixels at a device pixel ratio (--viewport=, --dpr=),
// the page's cap on a frame's pixels lifted to --cap= when given.
// Usage: node measure-rate.mjs URL [SECONDS] [--unpaced] [--viewport=800x600] [--dpr=1] [--cap=N]
import puppeteer from 'puppeteer-core';

const url = process.argv[2];
const seconds = Number(process.argv[3]?.startsWith('--') ? 20 : process.argv[3] ?? 20);
const option = (name, fallback) =>
  process.argv.find((a) => a.startsWith(`--${name}=`))?.split('=')[1] ?? fallback;
const [width, height] = option('viewport', '800x600').split('x').map(Number);
const deviceScaleFactor = Number(option('dpr', '1'));
const unpaced = process.argv.includes('--unpaced');
const args = ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox'];
if (unpaced) args.push('--disable-frame-rate-limit', '--disable-gpu-vsync');

const browser = await puppeteer.launch({executablePath: '/usr/bin/chromium', headless: true, args});
const page = await browser.newPage();
await page.setViewport({width, height, deviceScaleFactor});
await page.goto(url);
await page.waitForSelector('#box-ok', {visible: true});
const cap = Number(option('cap', '0'));
if (cap > 0) await page.evaluate((cap) => { Module.maxCanvasPixels = cap; }, cap);
await page.click('#box-ok');
const rates = await page.evaluate(async (seconds) => {
  const seen = [];
  let last = document.title;
  const end = performance.now() + seconds * 1000;
  while (performance.now() < end) {
    await new Promise((resolve) => setTimeout(resolve, 50));
    if (document.title !== last) {
      last = document.title;
      const match = / - ([0-9.e+]+) fps \((\d+) tri\)$/.exec(last);
      if (match) seen.push([Number(match[1]), Number(match[2])]);
    }
  }
  return seen;
}, seconds);
const canvas = await page.$eval('#canvas', (e) => [e.width, e.height]);
await browser.close();
// The first period includes start-up.
const fps = rates.slice(1).map((rate) => rate[0]).sort((a, b) => a - b);
const median = fps[Math.floor(fps.length / 2)];
console.log(`${width}x${height} at ${deviceScaleFactor}, canvas ${canvas.join('x')} ` +
            `(${canvas[0] * canvas[1]} pixels), ${unpaced ? 'unpaced' : 'paced'}: median ${median} fps over ${fps.length} periods ` +
            `(min ${fps[0]}, max ${fps[fps.length - 1]}; ${rates.at(-1)?.[1]} tri)`);
