// The browser side of the web window backend (WebBackend.cpp): the canvas,
// the page's message box, the title, input, the frame wait and the JPEG
// decoding through the browser's own image decoder. The page (index.html)
// gives the box and the end of the program their look through Module.page.

mergeInto(LibraryManager.library, {
  $WebWindow__deps: ['$FS'],
  $WebWindow: {
    events: [],  // [kind, a, b]: 1 character, 2 virtual key down, 3 client size
    startWidth: 0,
    startHeight: 0,
    width: 0,
    height: 0,
    boxOpen: false,
    jpegCache: null,  // {path, bytes}: the file the size read fetched

    // Device pixels a frame may have at most: above this SwiftShader and
    // small GPUs no longer keep a steady rate (docs/performance.md).
    // The page may set Module.maxCanvasPixels to measure others.
    maxPixels: 1920 * 1080,
    // The room the page leaves the canvas (the whole screen in full screen),
    // at devicePixelRatio while the frame stays within maxPixels.
    canvasSize: function() {
      var width = Math.max(Module.canvas.clientWidth, 1);
      var height = Math.max(Module.canvas.clientHeight, 1);
      var cap = Module.maxCanvasPixels > 0 ? Module.maxCanvasPixels : WebWindow.maxPixels;
      var scale = Math.min(window.devicePixelRatio || 1, Math.sqrt(cap / (width * height)));
      return [Math.max(Math.round(width * scale), 1), Math.max(Math.round(height * scale), 1)];
    },
    followPage: function() {
      var size = WebWindow.canvasSize();
      if (size[0] === WebWindow.width && size[1] === WebWindow.height) return;
      WebWindow.width = size[0];
      WebWindow.height = size[1];
      Module.canvas.width = size[0];
      Module.canvas.height = size[1];
      WebWindow.events.push([3, size[0], size[1]]);
    },
    resizeObserver: null,
    // The keys that come as virtual keys, TranslateMessage making their
    // characters; every other typed character comes as itself. Tab is left
    // to the browser, which moves the focus with it.
    virtualKeys: {Escape: 0x1B, Enter: 0x0D, Backspace: 0x08},
    // Keys typed in the page's own fields are theirs, and so are Enter and
    // Space on its buttons; every other key still steers the tunnel.
    isPageControl: function(event) {
      var target = event.target;
      if (!(target instanceof Element)) return false;
      if (target.closest('input, select, textarea') !== null) return true;
      return (event.key === 'Enter' || event.key === ' ') &&
             target.closest('button, summary, a[href]') !== null;
    },
    onKeyDown: function(event) {
      if (WebWindow.boxOpen || event.ctrlKey && !event.altKey || event.metaKey) return;
      if (WebWindow.isPageControl(event)) return;
      var virtualKey = WebWindow.virtualKeys[event.key];
      if (virtualKey !== undefined) {
        WebWindow.events.push([2, virtualKey, event.repeat ? 1 : 0]);
      } else if (event.key.length === 1) {
        if (!WebWindow.typeCharacter(event.key)) return;
      } else {
        return;
      }
      event.preventDefault();
    },
    // What an ANSI window gets: Latin-1 without its control characters.
    typeCharacter: function(character) {
      var code = character.charCodeAt(0);
      if (code < 0x20 || (code >= 0x7F && code < 0xA0) || code > 0xFF) return false;
      WebWindow.events.push([1, code, 0]);
      return true;
    },
    // The page's on-screen keys: a character, or 'Escape'.
    typeKey: function(key) {
      if (key === 'Escape') WebWindow.events.push([2, 0x1B, 0]);
      else WebWindow.typeCharacter(key);
    },
    // The viewer's picture as the page hands it over (bytes of a file the
    // program's picture reader takes): written into the module's files, the
    // last one only, and announced to the model.
    pictureCount: 0,
    showPicture: function(bytes) {
      if (WebWindow.pictureCount > 0) {
        try {
          FS.unlink('/viewer-picture-' + WebWindow.pictureCount);
        } catch (error) {
          // already gone
        }
      }
      ++WebWindow.pictureCount;
      FS.writeFile('/viewer-picture-' + WebWindow.pictureCount, bytes);
      WebWindow.events.push([5, WebWindow.pictureCount, 0]);
    },
    onContextLost: function(event) {
      event.preventDefault();  // the browser may then restore it
    },
    onContextRestored: function() {
      WebWindow.events.push([4, 0, 0]);
    },
    toggleFullScreen: function() {
      if (document.fullscreenElement) {
        document.exitFullscreen();
      } else if (Module.canvas.requestFullscreen) {
        Module.canvas.requestFullscreen().catch(function() {});
      }
    },
    // Where the record's name points: the page's own folder. The page may
    // have fetched it already, and shows how far the fetch has come.
    jpegBytes: async function(path) {
      var cached = WebWindow.jpegCache;
      if (cached && cached.path === path) return cached.bytes;
      var url = new URL(path, document.baseURI).href;
      var bytes;
      if (Module.page && Module.page.fileBytes) {
        bytes = await Module.page.fileBytes(url);
      } else {
        var response = await fetch(url);
        bytes = response.ok ? new Uint8Array(await response.arrayBuffer()) : null;
      }
      if (bytes === null) return null;
      WebWindow.jpegCache = {path: path, bytes: bytes};
      return bytes;
    },
    // The size a JPEG's frame header declares, without decoding: [width,
    // height], or null when the bytes are no JPEG or have no frame header.
    jpegDeclaredSize: function(bytes) {
      if (bytes.length < 4 || bytes[0] !== 0xFF || bytes[1] !== 0xD8) return null;
      var at = 2;
      while (at + 4 <= bytes.length) {
        if (bytes[at] !== 0xFF) return null;
        var marker = bytes[at + 1];
        if (marker === 0xFF) { ++at; continue; }
        if (marker === 0xD8 || marker === 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
          at += 2;
          continue;
        }
        var length = (bytes[at + 2] << 8) | bytes[at + 3];
        if (length < 2) return null;
        // Start of frame: every SOFn but DHT (C4), JPG (C8) and DAC (CC).
        if (marker >= 0xC0 && marker <= 0xCF && marker !== 0xC4 && marker !== 0xC8 &&
            marker !== 0xCC) {
          if (at + 9 > bytes.length) return null;
          var height = (bytes[at + 5] << 8) | bytes[at + 6];
          var width = (bytes[at + 7] << 8) | bytes[at + 8];
          return width > 0 && height > 0 ? [width, height] : null;
        }
        if (marker === 0xDA || marker === 0xD9) return null;  // data before any frame
        at += 2 + length;
      }
      return null;
    },
  },

  WebOpenCanvas__deps: ['$WebWindow'],
  WebOpenCanvas: function(width, height) {
    WebWindow.startWidth = width;
    WebWindow.startHeight = height;
    WebWindow.width = 0;
    WebWindow.height = 0;
    WebWindow.events = [];
    WebWindow.followPage();
    WebWindow.events = [];  // the model asks for the first size itself
    window.addEventListener('keydown', WebWindow.onKeyDown);
    window.addEventListener('resize', WebWindow.followPage);
    document.addEventListener('fullscreenchange', WebWindow.followPage);
    if (window.ResizeObserver) {
      WebWindow.resizeObserver = new ResizeObserver(function() { WebWindow.followPage(); });
      WebWindow.resizeObserver.observe(Module.canvas);
    }
    Module.canvas.addEventListener('dblclick', WebWindow.toggleFullScreen);
    Module.canvas.addEventListener('webglcontextlost', WebWindow.onContextLost);
    Module.canvas.addEventListener('webglcontextrestored', WebWindow.onContextRestored);
    if (Module.page) Module.page.windowOpened(WebWindow.toggleFullScreen, WebWindow.typeKey,
                                             WebWindow.showPicture);
  },

  WebCloseCanvas__deps: ['$WebWindow'],
  WebCloseCanvas: function() {
    window.removeEventListener('keydown', WebWindow.onKeyDown);
    window.removeEventListener('resize', WebWindow.followPage);
    document.removeEventListener('fullscreenchange', WebWindow.followPage);
    if (WebWindow.resizeObserver) WebWindow.resizeObserver.disconnect();
    WebWindow.resizeObserver = null;
    Module.canvas.removeEventListener('dblclick', WebWindow.toggleFullScreen);
    Module.canvas.removeEventListener('webglcontextrestored', WebWindow.onContextRestored);
    if (document.fullscreenElement) document.exitFullscreen();
    WebWindow.events = [];
    if (Module.page) Module.page.windowClosed();
  },

  // 1 when the page gave the program a canvas to draw on.
  WebHasCanvas: function() {
    return Module.canvas ? 1 : 0;
  },

  WebShowCanvas: function(visible) {
    Module.canvas.style.visibility = visible ? 'visible' : 'hidden';
  },

  WebCanvasSize__deps: ['$WebWindow'],
  WebCanvasSize: function(width, height) {
    HEAP32[width >> 2] = WebWindow.width;
    HEAP32[height >> 2] = WebWindow.height;
  },

  WebTakeEvent__deps: ['$WebWindow'],
  WebTakeEvent: function(kind, a, b) {
    var event = WebWindow.events.shift();
    if (event === undefined) return 0;
    HEAP32[kind >> 2] = event[0];
    HEAP32[a >> 2] = event[1];
    HEAP32[b >> 2] = event[2];
    return 1;
  },

  WebSetTitle: function(text) {
    document.title = UTF8ToString(text);
  },

  // The page's modal box; resolves with the chosen button's answer.
  WebShowMessageBox__deps: ['$WebWindow', '$Asyncify'],
  WebShowMessageBox: function(text, caption, withCancel, icon) {
    return Asyncify.handleAsync(async function() {
      WebWindow.boxOpen = true;
      try {
        return await Module.page.messageBox(UTF8ToString(text), UTF8ToString(caption),
                                            withCancel !== 0, icon);
      } finally {
        WebWindow.boxOpen = false;
      }
    });
  },

  // Frames follow the display: the swap waits for the next animation frame,
  // which also gives the page its turn.
  WebWaitForFrame__deps: ['$Asyncify'],
  WebWaitForFrame: function() {
    return Asyncify.handleAsync(function() {
      return new Promise(function(resolve) { requestAnimationFrame(function() { resolve(); }); });
    });
  },

  WebCounterMicroseconds: function() {
    return Math.floor(performance.now() * 1000);
  },

  WebDebugOutput: function(text) {
    console.info(UTF8ToString(text));
  },

  // A value of the viewer's look, as the page has it (address, else the
  // viewer's kept choice), into text of size bytes: 1, or 0 when unset.
  WebLookText: function(name, text, size) {
    var value = Module.page && Module.page.lookValue ? Module.page.lookValue(UTF8ToString(name))
                                                      : null;
    if (value === null || value === undefined) return 0;
    stringToUTF8(String(value), text, size);
    return 1;
  },

  WebProgramEnded: function(exitCode) {
    if (Module.page) Module.page.ended(exitCode);
  },

  // The adapter's failure codes (JpegAdapter.h), handed by the decoder.
  WebJpegStatusCodes__deps: ['$WebWindow'],
  WebJpegStatusCodes: function(notFetched, wrongSize, notDecodable) {
    WebWindow.jpegStatus = {notFetched: notFetched, wrongSize: wrongSize,
                            notDecodable: notDecodable};
  },

  // 0, or a failure: not fetched, not a JPEG.
  WebJpegSize__deps: ['$WebWindow', '$Asyncify'],
  WebJpegSize: function(path, width, height) {
    var status = WebWindow.jpegStatus;
    return Asyncify.handleAsync(async function() {
      try {
        var bytes = await WebWindow.jpegBytes(UTF8ToString(path));
        if (bytes === null) return status.notFetched;
        var size = WebWindow.jpegDeclaredSize(bytes);
        if (size === null) return status.notDecodable;
        HEAP32[width >> 2] = size[0];
        HEAP32[height >> 2] = size[1];
        return 0;
      } catch (error) {
        return status.notFetched;
      }
    });
  },

  // Decodes into the block as rows of RGB or grey bytes, top row first:
  // 0, or a failure: not fetched, not the size the block has, not decodable.
  WebJpegDecode__deps: ['$WebWindow', '$Asyncify'],
  WebJpegDecode: function(path, pixels, width, height, channels) {
    var status = WebWindow.jpegStatus;
    return Asyncify.handleAsync(async function() {
      var name = UTF8ToString(path);
      try {
        var bytes = await WebWindow.jpegBytes(name);
        if (bytes === null) return status.notFetched;
        if (WebWindow.jpegDeclaredSize(bytes) === null) return status.notDecodable;
        var image;
        try {
          image = await createImageBitmap(new Blob([bytes], {type: 'image/jpeg'}),
                                          {colorSpaceConversion: 'none',
                                           premultiplyAlpha: 'none'});
        } catch (error) {
          return status.notDecodable;
        }
        if (image.width !== width || image.height !== height) {
          image.close();
          return status.wrongSize;
        }
        var canvas = document.createElement('canvas');
        canvas.width = width;
        canvas.height = height;
        var context = canvas.getContext('2d', {willReadFrequently: true});
        context.drawImage(image, 0, 0);
        image.close();
        var rgba = context.getImageData(0, 0, width, height).data;
        var out = HEAPU8;  // read after the waits: memory may have grown
        var count = width * height;
        for (var i = 0, o = pixels; i < count; ++i) {
          var red = rgba[4 * i], green = rgba[4 * i + 1], blue = rgba[4 * i + 2];
          if (channels === 3) {
            out[o++] = red;
            out[o++] = green;
            out[o++] = blue;
          } else {
            // JPEG's own luma weights, as libjpeg gives grey.
            out[o++] = (19595 * red + 38470 * green + 7471 * blue + 32768) >>> 16;
          }
        }
        return 0;
      } catch (error) {
        return status.notDecodable;
      } finally {
        if (WebWindow.jpegCache && WebWindow.jpegCache.path === name) WebWindow.jpegCache = null;
      }
    });
  },
});
