// The page end to end in headless Chromium (Debian's, through puppeteer-core),
// WebGL on SwiftShader. Usage: node tunnel-e2e.mjs BASE_URL, where BASE_URL
// serves the site as ok/, and with its texture missing/, not a JPEG
// (notjpeg/), cut short (truncated/) and declaring a size above the cap
// (huge/), as run-e2e.sh lays them out; SITE_DIR is the built site itself,
// which the offline case serves on its own server, to cut it. Screenshots of
// what the viewer sees go to SHOT_DIR.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

import {canvasPixels} from './canvas-pixels.mjs';
import {dropGreenPicture, laterTitle, loseAndRestoreContext, waitForCanvas,
        waitForServiceWorker} from './page-steps.mjs';
import {serveSite} from './serve-site.mjs';

const [base, siteDir, shotDir] = process.argv.slice(2);
fs.mkdirSync(shotDir, {recursive: true});
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

const kChromiumArgs = ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox'];
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: kChromiumArgs,
});
const consoleErrors = [];
const cases = [];
const test = (name, body) => cases.push({name, body});

const kPixelCap = 1920 * 1080;  // what WebBackend.js lets a frame have
const kDesktop = {width: 800, height: 600};
const kPhone = {width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true};

function watchConsole(page, site, into = consoleErrors) {
  page.on('pageerror', (error) => into.push(`${site}: ${error.message}`));
  page.on('console', (message) => {
    const missingTexture = site === 'missing' && /404/.test(message.text());
    if (message.type() === 'error' && !missingTexture) into.push(`${site}: ${message.text()}`);
  });
}

async function open(site, {viewport = kDesktop, query = '', from = browser} = {}) {
  const page = await from.newPage();
  await page.setViewport(viewport);
  watchConsole(page, site);
  await page.goto(`${base}/${site}/index.html${query}`);
  await page.waitForSelector('#box-ok', {visible: true, timeout: 10000});
  return page;
}

async function startRunning(site, options) {
  const page = await open(site, options);
  await page.click('#box-ok');
  await page.waitForFunction((pattern) => new RegExp(pattern).test(document.title),
                             {timeout: 10000}, kRateTitle.source);
  return page;
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
  const room = await page.$eval('#canvas', (e) => [e.clientWidth, e.clientHeight, e.width, e.height]);
  assert.equal(room[0], kDesktop.width, `the canvas takes the page's width: ${room}`);
  assert.ok(room[1] > kDesktop.height / 2, `and most of its height: ${room}`);
  assert.deepEqual(room.slice(2), room.slice(0, 2), 'one pixel per CSS pixel at ratio 1');
  assert.ok(shot.coloured > shot.pixels / 100, `texture colours: ${JSON.stringify(shot)}`);
  await page.screenshot({path: path.join(shotDir, 'desktop-running.png')});
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
                                   document.getElementById('canvas').width === innerWidth);
  await page.setViewport({width: 500, height: 600});
  await page.waitForFunction(() => document.getElementById('canvas').width === 500);
  await page.close();
});

test('the Full screen button is shown while the tunnel runs and toggles full screen', async () => {
  const page = await startRunning('ok');
  assert.notEqual(await page.$eval('#fullscreen', (e) => getComputedStyle(e).display), 'none');
  await page.click('#fullscreen');
  await page.waitForFunction(() => document.fullscreenElement !== null);
  await page.keyboard.press('Escape');  // the browser leaves full screen first
  await page.close();
});

test('Escape runs the tunnel out; the end offers to run it again, which warns again', async () => {
  const page = await startRunning('ok');
  await page.keyboard.press('Escape');
  assert.equal(await waitForEnd(page, 30000), 'The tunnel has ended.');
  assert.equal(await page.title(), kTitle);
  assert.doesNotMatch(await page.$eval('body', (e) => e.innerText), /exit code/i);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'again');
  // Nothing draws any more: the title is not set again.
  await new Promise((resolve) => setTimeout(resolve, 2500));
  assert.equal(await page.title(), kTitle);
  await page.screenshot({path: path.join(shotDir, 'desktop-ended.png')});
  await Promise.all([page.waitForNavigation(), page.keyboard.press('Enter')]);
  await page.waitForSelector('#box-ok', {visible: true, timeout: 10000});
  assert.equal(await page.$eval('#box-text', (e) => e.textContent), kWarning);
  await page.close();
});

test('Enter on a focused Cancel answers Cancel; Tab stays in the box', async () => {
  const page = await open('ok');
  await page.keyboard.press('Tab');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'box-cancel');
  await page.keyboard.press('Tab');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'box-ok');
  await page.keyboard.press('Tab');
  await page.keyboard.press('Enter');
  assert.equal(await waitForEnd(page, 10000), 'The tunnel has ended.');
  assert.equal(await page.$eval('#canvas', (e) => getComputedStyle(e).visibility), 'hidden');
  await page.close();
});

test('Cancel ends the program with nothing drawn', async () => {
  const page = await open('ok');
  await page.click('#box-cancel');
  assert.equal(await waitForEnd(page, 10000), 'The tunnel has ended.');
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

test('Tab leaves the tunnel for the page\'s buttons while it runs', async () => {
  const page = await startRunning('ok');
  await page.evaluate(() => {
    window.tabsPrevented = 0;
    window.addEventListener('keydown', (e) => { if (e.key === 'Tab' && e.defaultPrevented) ++window.tabsPrevented; });
  });
  const focused = [];
  for (let i = 0; i < 3; ++i) {
    await page.keyboard.press('Tab');
    focused.push(await page.evaluate(() => document.activeElement.tagName));
  }
  assert.equal(await page.evaluate(() => window.tabsPrevented), 0);
  assert.deepEqual(focused, ['BUTTON', 'BUTTON', 'BUTTON'], focused.join());
  // A key typed on a focused button still steers; Enter there is the button's.
  const before = Number(kRateTitle.exec(await laterTitle(page))[1]);
  await page.keyboard.type('1');
  const after = Number(kRateTitle.exec(await laterTitle(page))[1]);
  assert.ok(after * 4 <= before, `1 typed on a button: ${before} -> ${after} triangles`);
  await page.close();
});

test('a phone: the page fits, the box wraps, touch targets are 44 px, the buttons steer', async () => {
  const page = await open('ok', {viewport: kPhone});
  assert.equal(await page.evaluate(() => document.documentElement.clientWidth), kPhone.width);
  const fits = await page.evaluate(() => {
    const text = document.getElementById('box-text');
    const box = document.getElementById('box').getBoundingClientRect();
    return {scroll: text.scrollWidth, client: text.clientWidth, left: box.left, right: box.right,
            font: parseFloat(getComputedStyle(text).fontSize)};
  });
  assert.ok(fits.scroll <= fits.client, `the text wraps: ${JSON.stringify(fits)}`);
  assert.ok(fits.left >= 0 && fits.right <= kPhone.width, `the box fits: ${JSON.stringify(fits)}`);
  assert.ok(fits.font >= 12, `readable: ${JSON.stringify(fits)}`);
  await page.screenshot({path: path.join(shotDir, 'phone-warning.png')});
  await page.tap('#box-ok');
  await page.waitForFunction((pattern) => new RegExp(pattern).test(document.title),
                             {timeout: 10000}, kRateTitle.source);
  const small = await page.$$eval('button, select, summary', (all) => all
      .filter((e) => e.offsetParent !== null)
      .map((e) => [e.textContent.trim(), e.getBoundingClientRect()])
      .filter(([, r]) => r.width < 44 || r.height < 44)
      .map(([name, r]) => `${name} ${r.width}x${r.height}`));
  assert.deepEqual(small, [], `targets under 44 x 44: ${small}`);
  const canvas = await page.$eval('#canvas', (e) => [e.clientWidth, e.clientHeight, e.width, e.height]);
  assert.equal(canvas[0], kPhone.width);
  assert.ok(canvas[2] >= canvas[0] * 2 && canvas[2] * canvas[3] <= kPixelCap * 1.01,
            `sharper than CSS pixels, within the cap: ${canvas}`);
  await page.screenshot({path: path.join(shotDir, 'phone-running.png')});
  const before = Number(kRateTitle.exec(await laterTitle(page))[1]);
  await page.tap('#controls [data-key="1"]');
  const after = Number(kRateTitle.exec(await laterTitle(page))[1]);
  assert.ok(after % 16 === 0 && after * 4 <= before, `8 tapped: ${before} -> ${after}`);
  await page.tap('#controls [data-key="Escape"]');
  assert.equal(await waitForEnd(page, 30000), 'The tunnel has ended.');
  await page.close();
});

test('the canvas follows the pixel ratio up to the cap', async () => {
  const page = await startRunning('ok', {viewport: {width: 800, height: 600, deviceScaleFactor: 2}});
  const sharp = await page.$eval('#canvas', (e) => [e.clientWidth, e.clientHeight, e.width, e.height]);
  assert.deepEqual(sharp.slice(2), [sharp[0] * 2, sharp[1] * 2], String(sharp));
  await page.setViewport({width: 1920, height: 1080, deviceScaleFactor: 3});
  await page.waitForFunction(() => document.getElementById('canvas').clientWidth === 1920);
  await page.waitForFunction(() => document.getElementById('canvas').width > 1920);
  const capped = await page.$eval('#canvas', (e) => [e.clientWidth, e.clientHeight, e.width, e.height]);
  const pixels = capped[2] * capped[3];
  assert.ok(pixels <= kPixelCap * 1.01 && pixels >= kPixelCap * 0.98, `capped: ${capped}`);
  await laterTitle(page);
  const band = await canvasPixels(page, {x: 0, width: 1920});
  assert.ok(band.coloured > band.pixels / 100, `drawn: ${JSON.stringify(band)}`);
  await page.close();
});

test('the accessibility tree: a heading, a described dialog, a named canvas, a live status', async () => {
  const page = await open('ok');
  const session = await page.createCDPSession();
  let {nodes} = await session.send('Accessibility.getFullAXTree');
  const named = (role) => nodes.filter((n) => !n.ignored && role.test(n.role?.value));
  const property = (node, name) => node.properties?.find((p) => p.name === name)?.value.value;
  assert.ok(named(/^heading$/).some((n) => n.name?.value === kTitle), 'the page\'s heading');
  const dialog = named(/^dialog$/);
  assert.equal(dialog.length, 1, 'one dialog');
  assert.equal(dialog[0].name.value, kTitle);
  assert.match(dialog[0].description?.value ?? '', /^Warning: watching this effect/);
  const status = named(/^status$/);
  assert.equal(status.length, 1, 'one status');
  assert.equal(property(status[0], 'live'), 'polite');
  await page.click('#box-ok');
  await page.waitForFunction((pattern) => new RegExp(pattern).test(document.title),
                             {timeout: 10000}, kRateTitle.source);
  // The tree follows the page a moment later: the canvas shown, the box gone.
  const settled = Date.now() + 5000;
  do {
    ({nodes} = await session.send('Accessibility.getFullAXTree'));
  } while (named(/^dialog$/).length > 0 && Date.now() < settled);
  const roles = nodes.filter((n) => !n.ignored).map((n) => `${n.role?.value} "${n.name?.value}"`);
  const canvas = named(/^(img|image)$/);
  assert.ok(canvas.some((n) => /tunnel/i.test(n.name?.value ?? '')), `a named canvas: ${roles}`);
  const steer = named(/^toolbar$/);
  assert.equal(steer.length, 1, `the on-screen keys, as one toolbar: ${roles}`);
  assert.ok(named(/^button$/).some((n) => n.name?.value === 'Faster (+)'), 'labelled keys');
  await page.close();
});

test('a picture on a slow network: fetched once, before OK, its progress shown', async () => {
  // Half of Demo.jpg at once, the rest once the test has seen the progress.
  let release;
  const released = new Promise((resolve) => { release = resolve; });
  const site = await serveSite(siteDir, {
    async 'Demo.jpg'(data, response) {
      response.writeHead(200, {'Content-Type': 'image/jpeg', 'Content-Length': data.length});
      response.write(data.subarray(0, data.length >> 1));
      await released;
      response.end(data.subarray(data.length >> 1));
    },
  });
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await page.setViewport(kDesktop);
    watchConsole(page, 'slow');
    const fetches = [];
    page.on('request', (request) => {
      if (request.url().endsWith('/Demo.jpg')) fetches.push(Date.now());
    });
    await page.goto(site.address);
    await page.waitForSelector('#box-ok', {visible: true, timeout: 10000});
    const clicked = Date.now();
    await page.click('#box-ok');
    await page.waitForSelector('#progress', {visible: true, timeout: 10000});
    await page.waitForFunction(() => document.getElementById('progress-bar').value > 0.4);
    assert.match(await page.$eval('#progress-text', (e) => e.textContent),
                 /^Loading the picture\u2026 4\d %$/);
    await page.screenshot({path: path.join(shotDir, 'desktop-loading.png')});
    release();
    await page.waitForFunction((pattern) => new RegExp(pattern).test(document.title),
                               {timeout: 10000}, kRateTitle.source);
    assert.ok(await page.$eval('#progress', (e) => e.hidden), 'the progress goes with the picture');
    assert.equal(fetches.length, 1, `fetches: ${fetches.length}`);
    assert.ok(fetches[0] <= clicked, 'fetched while the warning was read');
    const shot = await canvasPixels(page);
    assert.ok(shot.coloured > shot.pixels / 100, `texture colours: ${JSON.stringify(shot)}`);
  } finally {
    release();
    await context.close();
    await site.close();
  }
});

test('a lost WebGL context, once restored, draws the tunnel again and the flight goes on', async () => {
  const page = await startRunning('ok');
  await loseAndRestoreContext(page);
  const shot = await canvasPixels(page);
  assert.ok(shot.coloured > shot.pixels / 100, `texture colours: ${JSON.stringify(shot)}`);
  const first = await canvasPixels(page, {x: 0, width: 200});
  await laterTitle(page);
  const second = await canvasPixels(page, {x: 0, width: 200});
  assert.notDeepEqual(first, second, 'the flight goes on');
  await page.close();
});

test('the look from the address, a bad value warned of, the panel\'s choice kept', async () => {
  const plain = await startRunning('ok');
  const full = Number(kRateTitle.exec(await laterTitle(plain))[1]);
  await plain.close();
  const warnings = [];
  const page = await browser.newPage();
  await page.setViewport(kDesktop);
  watchConsole(page, 'ok');
  page.on('console', (message) => warnings.push(message.text()));
  await page.goto(`${base}/ok/index.html?shape=rippled&speed=2&quads=8&focal=nine`);
  await page.waitForSelector('#box-ok', {visible: true, timeout: 10000});
  await page.click('#box-ok');
  await page.waitForFunction((pattern) => new RegExp(pattern).test(document.title),
                             {timeout: 10000}, kRateTitle.source);
  const coarse = Number(kRateTitle.exec(await laterTitle(page))[1]);
  assert.ok(coarse % 16 === 0 && coarse * 4 <= full, `quads=8: ${coarse}, default ${full}`);
  assert.ok(warnings.some((w) => /^zelk-tunnel: focal=nine is not a whole number from -8 to 8/.test(w)),
            warnings.join('\n'));
  assert.deepEqual(await page.$eval('#look-form', (f) => [f.shape.value, f.speed.value, f.quads.value]),
                   ['rippled', '2', '8']);
  // Chosen in the panel, kept for a visit with a bare address.
  await page.goto(`${base}/ok/index.html`);
  await page.waitForSelector('#box-ok', {visible: true, timeout: 10000});
  await page.keyboard.press('Escape');
  await waitForEnd(page, 10000);
  await page.click('#look summary');
  await page.select('#look-form select[name=quads]', '16');
  await page.reload();
  await page.waitForSelector('#box-ok', {visible: true, timeout: 10000});
  assert.equal(await page.$eval('#look-form', (f) => f.quads.value), '16');
  await page.click('#box-ok');
  await page.waitForFunction((pattern) => new RegExp(pattern).test(document.title),
                             {timeout: 10000}, kRateTitle.source);
  const kept = Number(kRateTitle.exec(await laterTitle(page))[1]);
  assert.ok(kept % 32 === 0 && kept * 2 <= full, `quads 16 kept: ${kept}, default ${full}`);
  await page.evaluate(() => localStorage.clear());
  await page.close();
});

test('the viewer\'s picture: dropped at the warning, then one that cannot be read picked', async () => {
  const page = await open('ok');
  const warnings = [];
  page.on('console', (message) => warnings.push(message.text()));
  // A green picture, in a format the program's own readers do not take.
  await dropGreenPicture(page, 'image/webp');
  await page.click('#box-ok');
  await page.waitForFunction((pattern) => new RegExp(pattern).test(document.title),
                             {timeout: 10000}, kRateTitle.source);
  const greenShot = await waitForCanvas(page, (shot) => shot.green > shot.pixels / 4);
  assert.ok(greenShot.green > greenShot.coloured * 0.9, `green: ${JSON.stringify(greenShot)}`);
  await page.screenshot({path: path.join(shotDir, 'desktop-green-picture.png')});
  const junk = path.join(shotDir, 'not-a-picture.txt');
  fs.writeFileSync(junk, 'not a picture at all');
  await (await page.$('#picture-file')).uploadFile(junk);
  const checker = await waitForCanvas(page, (shot) => shot.coloured === 0 && shot.brightest > 128);
  assert.ok(checker.darkest < 16, `black and white: ${JSON.stringify(checker)}`);
  assert.ok(warnings.some((w) => /^zelk-tunnel: cannot show the picture \/viewer-picture-2: /.test(w)),
            warnings.filter((w) => /zelk/.test(w)).join('\n'));
  await laterTitle(page);  // the flight goes on
  await page.close();
});

test('without WebGL the page says so in plain words, and shows no warning', async () => {
  const plain = await puppeteer.launch({executablePath: '/usr/bin/chromium', headless: true,
                                        args: [...kChromiumArgs, '--disable-3d-apis']});
  try {
    const page = await plain.newPage();
    const requested = [];
    page.on('request', (request) => requested.push(path.basename(new URL(request.url()).pathname)));
    await page.goto(`${base}/ok/index.html`);
    await page.waitForFunction(() => document.body.dataset.state === 'no-webgl', {timeout: 10000});
    assert.match(await page.$eval('#status', (e) => e.textContent), /needs WebGL/);
    assert.equal(await page.$eval('#veil', (e) => getComputedStyle(e).display), 'none');
    assert.ok(!requested.includes('tunnel.js'), requested.join());
    await page.screenshot({path: path.join(shotDir, 'no-webgl.png')});
  } finally {
    await plain.close();
  }
});

test('a second visit with no network starts the tunnel from what the first kept', async () => {
  const site = await serveSite(siteDir);
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await page.setViewport(kDesktop);
    watchConsole(page, 'offline');
    await page.goto(site.address);
    await page.waitForSelector('#box-ok', {visible: true, timeout: 10000});
    await waitForServiceWorker(page);
    const kept = await page.evaluate(async () =>
        (await (await caches.open('zelk-tunnel-1')).keys()).map((r) => new URL(r.url).pathname));
    for (const file of ['/', '/tunnel.js', '/tunnel.wasm', '/Demo.jpg'])
      assert.ok(kept.includes(file), `${file} kept: ${kept}`);
    await site.close();
    await page.setOfflineMode(true);
    await page.reload();
    await page.waitForSelector('#box-ok', {visible: true, timeout: 10000});
    await page.click('#box-ok');
    await page.waitForFunction((pattern) => new RegExp(pattern).test(document.title),
                               {timeout: 10000}, kRateTitle.source);
    const shot = await canvasPixels(page);
    assert.ok(shot.coloured > shot.pixels / 100, `texture colours: ${JSON.stringify(shot)}`);
    const manifest = await page.evaluate(async () => (await fetch('manifest.webmanifest')).json());
    assert.equal(manifest.name, kTitle);
  } finally {
    await context.close();
    await site.close();
  }
});

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
