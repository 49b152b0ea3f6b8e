// Steps the browser tests of both engines take on the running page.
import {canvasPixels} from './canvas-pixels.mjs';

// The next two titles after now; the second is wholly after whatever came before.
export async function laterTitle(page, timeout = 10000) {
  for (let i = 0; i < 2; ++i) {
    const before = await page.title();
    await page.waitForFunction((old) => document.title !== old, {timeout}, before);
  }
  return page.title();
}

// Screenshots of the canvas until one passes the check, up to the timeout:
// the texture changes at the next frame after the picture is read.
export async function waitForCanvas(page, check, timeout = 15000) {
  const until = Date.now() + timeout;
  let shot;
  do {
    shot = await canvasPixels(page);
    if (check(shot)) return shot;
  } while (Date.now() < until);
  throw new Error(`the canvas never passed the check: ${JSON.stringify(shot)}`);
}

// Loses the canvas's WebGL context, lets the tunnel run without it for two
// titles, restores it, and returns two titles after that.
export async function loseAndRestoreContext(page, timeout = 10000) {
  await page.evaluate(() => {
    window.loser = document.getElementById('canvas').getContext('webgl')
                       .getExtension('WEBGL_lose_context');
    window.loser.loseContext();
  });
  await page.waitForFunction(() => document.getElementById('canvas').getContext('webgl').isContextLost(),
                             {timeout});
  await laterTitle(page, timeout);
  await page.evaluate(() => window.loser.restoreContext());
  await page.waitForFunction(() => !document.getElementById('canvas').getContext('webgl').isContextLost(),
                             {timeout});
  await laterTitle(page, timeout);
}

// Drops a 96 x 64 green picture of the given type (made by the browser) on the page.
export async function dropGreenPicture(page, type) {
  await page.evaluate(async (type) => {
    const canvas = new OffscreenCanvas(96, 64);
    const context = canvas.getContext('2d');
    context.fillStyle = '#20d020';
    context.fillRect(0, 0, 96, 64);
    const blob = await canvas.convertToBlob({type, quality: 1});
    const transfer = new DataTransfer();
    transfer.items.add(new File([blob], 'green', {type}));
    document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: transfer, bubbles: true,
                                                       cancelable: true}));
  }, type);
}

// Returns once the page's service worker controls it.
export async function waitForServiceWorker(page) {
  await page.evaluate(async () => {
    await navigator.serviceWorker.ready;
    if (!navigator.serviceWorker.controller) {
      await new Promise((resolve) => navigator.serviceWorker.addEventListener(
          'controllerchange', resolve, {once: true}));
    }
  });
}
