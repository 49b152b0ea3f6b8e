// The page end to end in headless Chromium (Debian's, through puppeteer-core),
// WebGL on SwiftShader. Usage: node tunnel-e2e.mjs BASE_URL, where BASE_URL
// serves the site as ok/, and with its texture missing/, not a JPEG
// (notjpeg/), cut short (truncated/) and declaring a size above the cap
// (huge/), as run-e2e.sh lays them out.
import assert from 'node:assert/strict';
import puppeteer from 'puppeteer-core';

const base = process.argv[2];
const kTitle = "Zelk's little tunnel";
const kWarning = [
  'Warning: watching this effect too much can dramatically',
  '  harm your mental sanity. The author of this program',
  '  reject any responsability for it.',
  '  Watch it at your own risk :-)',
  '',
  'Key usage:',
  ' "  " : change tunnel shape',
  ' "+"/"-" : increase/decrease speed',
  ' "*"/"/" : change camera focal',
  ' "1".."4": change nb of poly',
  ' ESC : stop it before being totally hypnotised',
  '',
].join('\n');
const kRateTitle = /^Zelk's little tunnel - [0-9.e+]+ fps \((\d+) tri\)$/;

const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox'],
});
const consoleErrors = [];
const cases = [];
const test = (name, body) => cases.push({name, body});

async function open(site) {
  const page = await browser.newPage();
  await page.setViewport({width: 800, height: 600});
  page.on('pageerror', (error) => consoleErrors.push(`${site}: ${error.message}`));
  page.on('console', (message) => {
    const missingTexture = site === 'missing' && /404/.test(message.text());
    if (message.type() === 'error' && !missingTexture)
      consoleErrors.push(`${site}: ${message.text()}`);
  });
  await page.goto(`${base}/${site}/index.html`);
  await page.waitForSelector('#box-ok', {visible: true, timeout: 10000});
  return page;
}

async function startRunning(site) {
  const page = await open(site);
  await page.click('#box-ok');
  await page.waitForFunction((pattern) => new RegExp(pattern).test(document.title),
                             {timeout: 10000}, kRateTitle.source);
  return page;
}

// The next two titles after now; the second is wholly after whatever came before.
async function laterTitle(page) {
  for (let i = 0; i < 2; ++i) {
    const before = await page.title();
    await page.waitForFunction((old) => document.title !== old, {timeout: 10000}, before);
  }
  return page.title();
}

// What a screenshot of the canvas (or of a band of its columns) shows: how
// many pixels have colour (the checker is grey, so none), how many are near
// black, and the darkest and brightest level.
async function canvasPixels(page, band) {
  const canvas = await page.$('#canvas');
  let clip;
  if (band) {
    const box = await canvas.boundingBox();
    clip = {x: box.x + band.x, y: box.y, width: band.width, height: box.height};
  }
  const png = band ? await page.screenshot({encoding: 'base64', clip})
                   : await canvas.screenshot({encoding: 'base64'});
  return page.evaluate(async (data) => {
    const image = new Image();
    image.src = 'data:image/png;base64,' + data;
    await image.decode();
    const canvas = document.createElement('canvas');
    canvas.width = image.width;
    canvas.height = image.height;
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    const rgba = context.getImageData(0, 0, image.width, image.height).data;
    let coloured = 0, dark = 0, darkest = 255, brightest = 0, distinct = new Set();
    for (let i = 0; i < rgba.length; i += 4) {
      const [r, g, b] = [rgba[i], rgba[i + 1], rgba[i + 2]];
      if (Math.max(r, g, b) - Math.min(r, g, b) > 24) ++coloured;
      if (Math.max(r, g, b) < 8) ++dark;
      darkest = Math.min(darkest, r, g, b);
      brightest = Math.max(brightest, r, g, b);
      distinct.add((r << 16) | (g << 8) | b);
    }
    return {pixels: rgba.length / 4, coloured, dark, darkest, brightest, distinct: distinct.size};
  }, png);
}

async function waitForEnd(page, timeout) {
  await page.waitForFunction(() => document.body.dataset.state === 'ended', {timeout});
  return page.$eval('#status', (status) => status.textContent);
}

test('the warning box, then the rate in the title and the texture on screen', async () => {
  const page = await open('ok');
  assert.equal(await page.$eval('#box-caption', (e) => e.textContent), kTitle);
  assert.equal(await page.$eval('#box-text', (e) => e.textContent), kWarning);
  assert.ok(await page.$eval('#box-cancel', (e) => e.offsetParent !== null), 'Cancel shown');
  assert.equal(await page.title(), kTitle);
  const started = Date.now();
  await page.click('#box-ok');
  await page.waitForFunction((pattern) => new RegExp(pattern).test(document.title),
                             {timeout: 10000}, kRateTitle.source);
  console.log(`  rate title after ${Date.now() - started} ms: ${await page.title()}`);
  const shot = await canvasPixels(page);
  assert.deepEqual([shot.pixels], [632 * 446], 'the client size of a 640 x 480 window');
  assert.ok(shot.coloured > shot.pixels / 100, `texture colours: ${JSON.stringify(shot)}`);
  await page.close();
});

test('keys 1 to 4 set the triangles per ring pair', async () => {
  const page = await startRunning('ok');
  const perPair = {1: 16, 2: 32, 3: 64, 4: 128};
  const counts = [];
  for (const key of ['1', '2', '3', '4']) {
    await page.keyboard.type(key);
    const triangles = Number(kRateTitle.exec(await laterTitle(page))[1]);
    assert.equal(triangles % perPair[key], 0, `key ${key}: ${triangles} triangles`);
    assert.ok(triangles / perPair[key] >= 2, `key ${key}: ${triangles} triangles`);
    counts.push(triangles);
  }
  console.log(`  triangles after 1, 2, 3, 4: ${counts.join(', ')}`);
  for (let i = 1; i < counts.length; ++i) assert.ok(counts[i] > counts[i - 1], counts.join());
  await page.close();
});

test('a double-click toggles full screen, and the frame follows the canvas', async () => {
  const page = await startRunning('ok');
  await page.click('#canvas', {clickCount: 2});
  await page.waitForFunction(() => document.fullscreenElement !== null &&
                                   document.getElementById('canvas').width === innerWidth);
  const width = await page.$eval('#canvas', (canvas) => canvas.width);
  assert.ok(width > 632 + 100, `full-screen width ${width}`);
  await laterTitle(page);
  // Had the size not reached the window, the viewport would still be 632
  // wide and the canvas's right part left black.
  const band = await canvasPixels(page, {x: 632, width: width - 632});
  assert.ok(band.dark < band.pixels / 4, `drawn up to the right edge: ${JSON.stringify(band)}`);
  await page.click('#canvas', {clickCount: 2});
  await page.waitForFunction(() => document.fullscreenElement === null &&
                                   document.getElementById('canvas').width === 632);
  await page.setViewport({width: 500, height: 600});
  await page.waitForFunction(() => document.getElementById('canvas').width === 500);
  await page.close();
});

test('Escape runs the tunnel out, and the page says the program ended', async () => {
  const page = await startRunning('ok');
  await page.keyboard.press('Escape');
  const status = await waitForEnd(page, 30000);
  assert.match(status, /ended \(exit code 0\)/);
  // Nothing draws any more: the title stays as the last frame left it.
  const title = await page.title();
  await new Promise((resolve) => setTimeout(resolve, 2500));
  assert.equal(await page.title(), title);
  await page.close();
});

test('Cancel ends the program with nothing drawn', async () => {
  const page = await open('ok');
  await page.click('#box-cancel');
  assert.match(await waitForEnd(page, 10000), /ended \(exit code 0\)/);
  assert.equal(await page.title(), kTitle);
  assert.equal(await page.$eval('#canvas', (e) => getComputedStyle(e).visibility), 'hidden');
  const shot = await canvasPixels(page);
  assert.equal(shot.distinct, 1, `one colour: ${JSON.stringify(shot)}`);
  await page.close();
});

for (const site of ['missing', 'notjpeg', 'truncated', 'huge']) {
  test(`the checker when Demo.jpg is ${site}`, async () => {
    const page = await startRunning(site);
    const shot = await canvasPixels(page);
    assert.equal(shot.coloured, 0, `grey only: ${JSON.stringify(shot)}`);
    assert.ok(shot.darkest < 16 && shot.brightest > 128, `black and white: ${JSON.stringify(shot)}`);
    await page.close();
  });
}

let failures = 0;
for (const {name, body} of cases) {
  const started = Date.now();
  try {
    await body();
    console.log(`ok   ${name} (${Date.now() - started} ms)`);
  } catch (error) {
    ++failures;
    console.log(`FAIL ${name}: ${error.message}`);
  }
}
await browser.close();
if (consoleErrors.length > 0) {
  ++failures;
  console.log(`FAIL uncaught errors in the console:\n  ${consoleErrors.join('\n  ')}`);
}
console.log(failures === 0 ? 'web e2e: all passed' : `web e2e: ${failures} failed`);
process.exit(failures === 0 ? 0 : 1);
