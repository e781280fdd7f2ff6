// The page around the face: the canvas at the device's pixels, the fonts,
// the options from the address and from localStorage, the mouse and the
// offline cache. The face itself, its clock and its timer are the
// WebAssembly module's (orbidial-face.js).
'use strict';
(async () => {
  const params = new URLSearchParams(location.search);
  // A whole number lo..hi, or null for anything else.
  const whole = (text, lo, hi) => {
    if (text === null || !/^[0-9]{1,2}$/.test(text)) return null;
    const n = Number(text);
    return n >= lo && n <= hi ? n : null;
  };
  // localStorage may be missing or throw (private windows, blocked
  // storage): the options are then simply not kept.
  const store = {
    get(key) { try { return window.localStorage.getItem('orbidial.' + key); } catch (e) { return null; } },
    set(key, value) { try { window.localStorage.setItem('orbidial.' + key, String(value)); } catch (e) { /* not kept */ } },
  };
  // The address wins over what the mouse chose last time.
  const option = (key, lo, hi, fallback) => whole(params.get(key), lo, hi) ?? whole(store.get(key), lo, hi) ?? fallback;
  const style = option('style', 0, 2, 1);
  const color = whole(params.get('color'), 0, 1) ?? 1;
  const theme = option('theme', 0, 6, -1);
  // ?at=YYYY-MM-DDTHH:MM:SS stops the clock there; the module checks the date.
  const at = /^[0-9]{4}-[0-9]{2}-[0-9]{2}[T ][0-9]{2}:[0-9]{2}:[0-9]{2}$/.test(params.get('at') || '')
    ? params.get('at').replace('T', ' ') : '';

  if ('serviceWorker' in navigator && location.protocol !== 'file:') {
    navigator.serviceWorker.register('service-worker.js').catch(() => {});
  }

  const canvas = document.getElementById('face');
  const context = canvas.getContext('2d', { alpha: false });
  // The canvas in device pixels: crisp at any ratio.
  const deviceSize = () => [Math.max(1, Math.round(window.innerWidth * window.devicePixelRatio)),
                            Math.max(1, Math.round(window.innerHeight * window.devicePixelRatio))];
  let [width, height] = deviceSize();
  canvas.width = width;
  canvas.height = height;

  // The first frame waits for both fonts, loaded while the module starts.
  const fonts = Promise.all([document.fonts.load('16px OrbidialSans', '年'), document.fonts.load('16px OrbidialKai', '年')])
    .catch(() => {});
  const face = await OrbidialFace({ orbidialContext: context, orbidialFamilies: ['OrbidialSans', 'OrbidialKai'] });
  await fonts;
  face.ccall('orbidial_start', null, ['number', 'number', 'number', 'number', 'number', 'string'],
             [width, height, style, color, theme, at]);

  const relayout = () => {
    const [w, h] = deviceSize();
    if (w === width && h === height) return;
    [width, height] = [w, h];
    canvas.width = w;
    canvas.height = h;
    face._orbidial_resize(w, h);
  };
  window.addEventListener('resize', relayout);
  // A change of the ratio alone (another monitor, a zoom) fires no resize
  // everywhere: watch the ratio itself.
  const watchRatio = () => {
    matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', () => {
      relayout();
      watchRatio();
    }, { once: true });
  };
  watchRatio();

  // The mouse as in the saver: the right button steps the numeral style, the
  // wheel the theme; a left click toggles full screen.
  window.addEventListener('contextmenu', (event) => event.preventDefault());
  window.addEventListener('mouseup', (event) => {
    if (event.button !== 2) return;
    face._orbidial_right_button();
    store.set('style', face._orbidial_style());
  });
  let wheelPixels = 0;
  window.addEventListener('wheel', (event) => {
    event.preventDefault();
    // A notch of a wheel is one step; a touchpad's pixels count 100 a step.
    if (event.deltaMode !== 0) {
      wheelPixels = 0;
      if (event.deltaY === 0) return;
      face._orbidial_wheel(event.deltaY < 0 ? 1 : 0);
    } else {
      wheelPixels += event.deltaY;
      if (Math.abs(wheelPixels) < 100) return;
      face._orbidial_wheel(wheelPixels < 0 ? 1 : 0);
      wheelPixels = 0;
    }
    if (color) store.set('theme', face._orbidial_theme());
  }, { passive: false });
  window.addEventListener('click', (event) => {
    if (event.button !== 0) return;
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    } else if (document.documentElement.requestFullscreen) {
      document.documentElement.requestFullscreen().catch(() => {});
    }
  });

  // For whoever drives the page from outside (the tests).
  window.orbidial = {
    style: () => face._orbidial_style(),
    theme: () => face._orbidial_theme(),
    frames: () => face.orbidialFrames || 0,
    firstFrame: () => face.orbidialFirstFrame,
  };
})();
