// The page end to end in a second engine: Debian's Firefox ESR, windowed
// under the X server in DISPLAY (it has WebGL there, on llvmpipe), driven by
// puppeteer-core over WebDriver BiDi. Usage: node firefox-e2e.mjs BASE_URL
// SITE_DIR SHOT_DIR, BASE_URL serving the site as ok/ (run-e2e.sh), SITE_DIR
// the built site, which the offline case serves on a server it can cut.
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
const kRateTitle = /^Zelk's little tunnel - [0-9.e+]+ fps \((\d+) tri\)$/;
const kWait = 30000;  // how long a step may take (the run-out after Escape, twice this)

const browser = await puppeteer.launch({
  browser: 'firefox',
  executablePath: '/usr/bin/firefox-esr',
  headless: false,
  extraPrefsFirefox: {'webgl.force-enabled': true},
});
const errors = [];
let failures = 0;

async function check(name, body) {
  const started = Date.now();
  const page = await browser.newPage();
  page.on('pageerror', (error) => errors.push(`${name}: ${error.message}`));
  try {
    await body(page);
    console.log(`ok   firefox: ${name} (${Date.now() - started} ms)`);
  } catch (error) {
    ++failures;
    console.log(`FAIL firefox: ${name}: ${error.message}`);
  } finally {
    await page.close();
  }
}

// How many pixels of a screenshot of the canvas have colour.
async function colouredShare(page) {
  const {pixels, coloured} = await canvasPixels(page);
  return coloured / pixels;
}

// Opens the page at the address and waits for the warning.
async function openWarning(page, address, viewport = {width: 800, height: 600}) {
  await page.setViewport(viewport);
  await page.goto(address);
  await page.waitForSelector('#box-ok', {visible: true, timeout: kWait});
}

// Answers the warning with OK and waits for the first rate in the title.
async function pressOk(page) {
  await page.click('#box-ok');
  await page.waitForFunction((pattern) => new RegExp(pattern).test(document.title),
                             {timeout: kWait}, kRateTitle.source);
}

await check('the warning, the tunnel with its texture, keys, the end', async (page) => {
  await openWarning(page, `${base}/ok/index.html`);
  assert.match(await page.$eval('#box-text', (e) => e.textContent), /^Warning: watching/);
  await pressOk(page);
  const share = await colouredShare(page);
  assert.ok(share > 0.01, `texture colours on ${share} of the canvas`);
  await page.screenshot({path: path.join(shotDir, 'firefox-running.png')});
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.body.dataset.state === 'ended', {timeout: 60000});
  assert.equal(await page.$eval('#status', (e) => e.textContent), 'The tunnel has ended.');
  assert.equal(await page.title(), kTitle);
});

await check('a narrow window: the box fits and its text wraps', async (page) => {
  await openWarning(page, `${base}/ok/index.html`, {width: 360, height: 640});
  const fits = await page.evaluate(() => {
    const text = document.getElementById('box-text');
    return {scroll: text.scrollWidth, client: text.clientWidth,
            right: document.getElementById('box').getBoundingClientRect().right};
  });
  assert.ok(fits.scroll <= fits.client && fits.right <= 360, JSON.stringify(fits));
  await page.keyboard.press('Tab');
  await page.keyboard.press('Enter');  // on Cancel
  await page.waitForFunction(() => document.body.dataset.state === 'ended', {timeout: kWait});
  assert.equal(await page.$eval('#canvas', (e) => getComputedStyle(e).visibility), 'hidden');
});

await check('a phone-sized window: the on-screen keys are 44 px and steer', async (page) => {
  await openWarning(page, `${base}/ok/index.html`, {width: 390, height: 844});
  await pressOk(page);
  const small = await page.$$eval('#controls button', (all) => all
      .filter((e) => e.offsetParent !== null)
      .map((e) => [e.textContent.trim(), e.getBoundingClientRect()])
      .filter(([, r]) => r.width < 44 || r.height < 44)
      .map(([name, r]) => `${name} ${r.width}x${r.height}`));
  assert.deepEqual(small, []);
  await page.screenshot({path: path.join(shotDir, 'firefox-phone.png')});
  const laterTriangles = async () => Number(kRateTitle.exec(await laterTitle(page, kWait))[1]);
  const before = await laterTriangles();
  await page.click('#controls [data-key="1"]');
  const after = await laterTriangles();
  assert.ok(after % 16 === 0 && after * 4 <= before, `8 quads: ${before} -> ${after} triangles`);
  await page.click('#controls [data-key="Escape"]');
  await page.waitForFunction(() => document.body.dataset.state === 'ended', {timeout: 60000});
});

await check('a lost WebGL context, once restored, draws the tunnel again', async (page) => {
  await openWarning(page, `${base}/ok/index.html`);
  await pressOk(page);
  await loseAndRestoreContext(page, kWait);
  const share = await colouredShare(page);
  assert.ok(share > 0.01, `texture colours on ${share} of the canvas`);
  const first = await canvasPixels(page, {x: 0, width: 200});
  await laterTitle(page, kWait);
  assert.notDeepEqual(first, await canvasPixels(page, {x: 0, width: 200}), 'the flight goes on');
});

await check('the viewer\'s picture: a dropped PNG, then a file that is no picture', async (page) => {
  await openWarning(page, `${base}/ok/index.html`);
  await dropGreenPicture(page, 'image/png');
  await pressOk(page);
  const green = await waitForCanvas(page, (shot) => shot.green > shot.pixels / 4, kWait);
  assert.ok(green.green > green.coloured * 0.9, `green: ${JSON.stringify(green)}`);
  await page.screenshot({path: path.join(shotDir, 'firefox-green-picture.png')});
  const junk = path.join(shotDir, 'firefox-not-a-picture.txt');
  fs.writeFileSync(junk, 'not a picture at all');
  await (await page.$('#picture-file')).uploadFile(junk);
  const checker = await waitForCanvas(page, (shot) => shot.coloured === 0 && shot.brightest > 128, kWait);
  assert.ok(checker.darkest < 16, `black and white: ${JSON.stringify(checker)}`);
  await laterTitle(page, kWait);  // the flight goes on
});

await check('a second visit with no network starts the tunnel from what the first kept', async (page) => {
  const site = await serveSite(siteDir);
  try {
    await openWarning(page, site.address);
    await waitForServiceWorker(page);
    // The server gone, nothing of the page can come from the network.
    await site.close();
    await openWarning(page, site.address);
    await pressOk(page);
    const share = await colouredShare(page);
    assert.ok(share > 0.01, `texture colours on ${share} of the canvas`);
  } finally {
    await site.close();
  }
});

await browser.close();

// A Firefox whose WebGL is turned off, as a user or a blocklist turns it off.
{
  const started = Date.now();
  const plain = await puppeteer.launch({
    browser: 'firefox',
    executablePath: '/usr/bin/firefox-esr',
    headless: false,
    extraPrefsFirefox: {'webgl.disabled': true},
  });
  try {
    const page = await plain.newPage();
    await page.goto(`${base}/ok/index.html`);
    await page.waitForFunction(() => document.body.dataset.state === 'no-webgl', {timeout: kWait});
    assert.match(await page.$eval('#status', (e) => e.textContent), /needs WebGL/);
    assert.equal(await page.$eval('#veil', (e) => getComputedStyle(e).display), 'none');
    assert.equal(await page.evaluate(() => document.querySelector('script[src="tunnel.js"]')), null);
    console.log(`ok   firefox: without WebGL the page says so and loads no program (${Date.now() - started} ms)`);
  } catch (error) {
    ++failures;
    console.log(`FAIL firefox: without WebGL the page says so and loads no program: ${error.message}`);
  } finally {
    await plain.close();
  }
}

if (errors.length > 0) {
  ++failures;
  console.log(`FAIL firefox: uncaught errors:\n  ${errors.join('\n  ')}`);
}
console.log(failures === 0 ? 'firefox e2e: all passed' : `firefox e2e: ${failures} failed`);
process.exit(failures === 0 ? 0 : 1);
