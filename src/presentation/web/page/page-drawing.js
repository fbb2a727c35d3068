// Drawing the scene: the pictures on the canvas at the page's zoom, the places
// of the page text and the captions, the game's cursor, and the small picture
// of the scene that a save keeps.

export const ELEMENTS = ['Form1', 'Image1', 'Image2']; // back to front

// Whether a file begins as a picture or icon the page may be asked to show
// does (a Windows bitmap, PNG, JPEG, GIF or icon): the files unpacked while
// a game starts are decoded ahead only if so, not its script or music.
export function looksLikePicture(bytes) {
  const starts = (...signature) => signature.every((byte, i) => bytes[i] === byte);
  return starts(0x42, 0x4D) || starts(0x89, 0x50, 0x4E, 0x47) || starts(0xFF, 0xD8) || starts(0x47, 0x49, 0x46)
    || starts(0, 0, 1, 0) || starts(0, 0, 2, 0);
}

export async function decode(bytes) {
  // A Windows bitmap goes to the browser's image decoder as it is, where the
  // browser has one (WebCodecs): a Blob is first sent to the browser's own
  // process and read back from there, several milliseconds for a scene-sized
  // picture on a page that has just started. The same decoder reads both.
  if (typeof ImageDecoder === 'function' && bytes[0] === 0x42 && bytes[1] === 0x4D) {
    let decoder = null;
    let frame = null;
    try {
      decoder = new ImageDecoder({ data: bytes, type: 'image/bmp' });
      frame = (await decoder.decode()).image;
      return await createImageBitmap(frame);
    } catch {
      // read the Blob's way below, which says what it makes of the file
    } finally {
      frame?.close();
      decoder?.close();
    }
  }
  return createImageBitmap(new Blob([bytes]));
}

// The zoom at which the scene shows in a window of width x height CSS pixels:
// the largest whole zoom, 1 to 4, at which it fits, and where even zoom 1 does
// not fit (a phone held upright), the fraction at which it just fits, keeping
// its proportions.
export function fittingZoom(width, height) {
  const fits = Math.min(width / 632, height / 425);
  if (!(fits > 0)) return 1; // a window of no size yet: as it will be on most screens
  if (fits < 1) return fits;
  return Math.min(4, Math.floor(fits));
}

// How many canvas pixels each of the pictures' pixels is drawn as: the zoom
// itself at a whole zoom; below zoom 1, enough whole pixels for the screen's
// own pixels (device pixel ratio), so that a sharp screen gets a sharp scene.
export function canvasZoom(zoom, deviceRatio) {
  if (zoom >= 1) return zoom;
  return Math.max(1, Math.min(4, Math.ceil(zoom * deviceRatio)));
}

// The drawing of the page's scene: `view` is what the page shows (its zoom,
// pictures and cursor), the elements are the page's own.
export function sceneDrawing({ layout, view, canvas, sceneBox, text1, moreBelow, labels }) {
  function place(element, rect) {
    const z = view.zoom;
    Object.assign(element.style, {
      left: `${rect.x * z}px`, top: `${rect.y * z}px`, width: `${rect.width * z}px`, height: `${rect.height * z}px`,
    });
  }

  // The layout viewport's size: on a phone the window's inner size follows
  // the visual viewport, which the browser widens while the scene is still
  // wider than the screen. (Read where the page's layout is up to date, since
  // reading it makes the browser lay out a page changed since.)
  function viewportSize() {
    const root = document.documentElement;
    return { width: root.clientWidth || window.innerWidth, height: root.clientHeight || window.innerHeight };
  }

  function applyZoom(viewport = viewportSize()) {
    view.zoom = fittingZoom(viewport.width, viewport.height);
    view.pixels = canvasZoom(view.zoom, window.devicePixelRatio || 1);
    document.documentElement.style.setProperty('--zoom', view.zoom);
    // Below zoom 1 the canvas keeps a whole multiple of the pictures' pixels
    // and the browser scales it down smoothly to the scene's size.
    sceneBox.classList.toggle('scaled-down', view.zoom < 1);
    canvas.width = 632 * view.pixels;
    canvas.height = 425 * view.pixels;
    labels.forEach((label, i) => place(label, layout[`Label${i + 1}`]));
    place(text1, layout.Text1);
    const mark = { width: 12, height: 9 };
    const inset = 2;
    const t = layout.Text1;
    place(moreBelow, { x: t.x + t.width - mark.width - inset, y: t.y + t.height - mark.height - inset, ...mark });
    draw();
    applyCursor();
  }

  function draw() {
    const z = view.pixels;
    const g = canvas.getContext('2d');
    g.imageSmoothingEnabled = false; // whole zooms repeat pixels exactly
    g.fillStyle = '#efefef';
    g.fillRect(0, 0, canvas.width, canvas.height);
    for (const element of ELEMENTS) {
      const picture = view.pictures[element];
      if (!picture || !picture.image) continue;
      const at = layout[element === 'Form1' ? 'Background' : element];
      g.drawImage(picture.image, at.x * z, at.y * z, picture.image.width * z, picture.image.height * z);
    }
  }

  // The game's cursor grows with the scene; an icon's hot spot is its centre.
  // The icon at the scene's zoom is made into a PNG file in the browser's
  // own time (toBlob), not on the way to the first page; the promise is
  // settled once the cursor is set (or left, for another icon or zoom).
  let cursorFile = null;
  let cursorMade = 0;
  function applyCursor() {
    const image = view.cursor;
    if (!image) return Promise.resolve();
    const c = document.createElement('canvas');
    c.width = Math.max(1, Math.round(image.width * view.zoom));
    c.height = Math.max(1, Math.round(image.height * view.zoom));
    const g = c.getContext('2d');
    g.imageSmoothingEnabled = false;
    g.drawImage(image, 0, 0, c.width, c.height);
    const made = ++cursorMade;
    return new Promise((resolve) => c.toBlob(resolve, 'image/png')).then((png) => {
      if (!png || made !== cursorMade || view.cursor !== image) return;
      if (cursorFile) URL.revokeObjectURL(cursorFile);
      cursorFile = URL.createObjectURL(png);
      sceneBox.style.cursor = `url(${cursorFile}) ${c.width >> 1} ${c.height >> 1}, auto`;
    });
  }

  // A small picture of the scene as the reader sees it, 316 x 212 as the
  // desktop's: the pictures, the page text and the captions, without the notice.
  function scenePicture() {
    const small = document.createElement('canvas');
    small.width = 316;
    small.height = 212;
    const g = small.getContext('2d');
    g.drawImage(canvas, 0, 0, small.width, small.height);
    g.scale(small.width / 632, small.height / 425);
    const write = (element, rect) => {
      const style = getComputedStyle(element);
      g.fillStyle = style.color;
      g.font = `${parseFloat(style.fontSize) / view.zoom}px ${style.fontFamily}`;
      g.textBaseline = 'top';
      const lineHeight = (parseFloat(style.lineHeight) || parseFloat(style.fontSize) * 1.2) / view.zoom;
      element.textContent.split(/\r?\n/).slice(0, Math.max(1, Math.floor(rect.height / lineHeight)))
        .forEach((line, k) => g.fillText(line, rect.x + 2, rect.y + 2 + k * lineHeight, rect.width - 4));
    };
    write(text1, layout.Text1);
    labels.forEach((label, i) => write(label, layout[`Label${i + 1}`]));
    const data = atob(small.toDataURL('image/png').split(',')[1]);
    return Uint8Array.from(data, (c) => c.charCodeAt(0));
  }

  return { applyZoom, viewportSize, draw, applyCursor, scenePicture };
}
