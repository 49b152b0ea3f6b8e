// The pixels of the page's canvas, for the browser tests of both engines.

// What a screenshot of the canvas (or of a band of its columns) shows: how
// many pixels have colour (the checker is grey, so none), how many are green,
// how many near black, and the darkest and brightest level.
export async function canvasPixels(page, band) {
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
    let coloured = 0, green = 0, dark = 0, darkest = 255, brightest = 0, distinct = new Set();
    for (let i = 0; i < rgba.length; i += 4) {
      const [r, g, b] = [rgba[i], rgba[i + 1], rgba[i + 2]];
      if (Math.max(r, g, b) - Math.min(r, g, b) > 24) ++coloured;
      if (g > r + 40 && g > b + 40) ++green;
      if (Math.max(r, g, b) < 8) ++dark;
      darkest = Math.min(darkest, r, g, b);
      brightest = Math.max(brightest, r, g, b);
      distinct.add((r << 16) | (g << 8) | b);
    }
    return {pixels: rgba.length / 4, coloured, green, dark, darkest, brightest,
            distinct: distinct.size};
  }, png);
}
