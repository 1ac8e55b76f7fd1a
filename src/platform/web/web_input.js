// The page's pointer input for the viewer, with Pointer Events so that a finger is not also a
// mouse: the mouse's presses and wheel, a finger's taps, drags (with a short fling) and swipes,
// and the key strip's buttons. Positions go to the viewer in picture pixels, whatever the
// canvas's size on the page. Linked in front of the engine; the backend starts it.
Module.qvlStartInput = () => {
  const canvas = document.getElementById('screen');
  // the canvas and the text layer over it: presses on either are presses on the picture
  const surface = document.getElementById('picture');
  // a finger that moves less than this many CSS pixels taps
  const kTapSlop = 10;
  // a horizontal move at least this long is a swipe
  const kSwipe = 50;
  // pixels of the wheel's pixel mode in one notch, and lines of its line mode
  const kWheelPixels = 100, kWheelLines = 3;
  // the fling: how fast its speed decays (ms for a factor of e) and where it stops (px per ms)
  const kFlingDecay = 325, kFlingStop = 0.02;
  // a held strip button repeats as a held key does
  const kRepeatDelay = 500, kRepeatEvery = 33;

  const pictureAt = (event) => {
    const box = canvas.getBoundingClientRect();
    return [Math.floor((event.clientX - box.left) * 640 / box.width),
            Math.floor((event.clientY - box.top) * 480 / box.height)];
  };
  const picturePixels = (cssPixels) => cssPixels * 480 / canvas.getBoundingClientRect().height;

  // Any press on the page may start the sound (browsers allow it only in a gesture; for a
  // finger that is its lifting).
  window.addEventListener('pointerdown', () => _qvl_web_gesture(), true);
  window.addEventListener('pointerup', () => _qvl_web_gesture(), true);
  document.addEventListener('visibilitychange', () => {
    if (!document.hidden) _qvl_web_gesture();
  });

  // The mouse: a press selects a menu entry, a second one chooses it; a double click elsewhere
  // switches full screen.
  let pressHitEntry = false, lastPointer = '';
  surface.addEventListener('dblclick', () => {
    if (lastPointer === 'mouse' && !pressHitEntry) window.qvlPage.toggleFullScreen();
  });
  window.addEventListener('wheel', (event) => {
    event.preventDefault();
    const per = event.deltaMode === 0 ? kWheelPixels : event.deltaMode === 1 ? kWheelLines : 1;
    _qvl_web_wheel(-event.deltaY / per);
  }, {passive: false});

  // A finger: a tap, a vertical drag that scrolls, or a horizontal swipe.
  let touch = null, fling = 0;
  const drag = (cssPixels) => {
    touch.rest += picturePixels(cssPixels);
    const whole = Math.trunc(touch.rest);
    if (whole === 0) return;
    touch.rest -= whole;
    _qvl_web_drag(whole);
  };
  const startFling = (speed) => {
    let rest = 0, last = performance.now();
    const step = (now) => {
      speed *= Math.exp(-(now - last) / kFlingDecay);
      rest += speed * (now - last);
      last = now;
      const whole = Math.trunc(rest);
      if (whole !== 0) {
        rest -= whole;
        _qvl_web_drag(whole);
      }
      fling = Math.abs(speed) > kFlingStop ? requestAnimationFrame(step) : 0;
    };
    fling = requestAnimationFrame(step);
  };
  surface.addEventListener('pointerdown', (event) => {
    if (fling) cancelAnimationFrame(fling), fling = 0;
    lastPointer = event.pointerType;
    if (event.pointerType === 'mouse') {
      if (event.button === 0) pressHitEntry = _qvl_web_pointer(...pictureAt(event)) !== 0;
      return;
    }
    if (touch) return;  // one finger at a time
    surface.setPointerCapture(event.pointerId);
    touch = {id: event.pointerId, x: event.clientX, y: event.clientY, lastY: event.clientY,
             kind: 'tap', rest: 0, moves: [{t: event.timeStamp, y: event.clientY}]};
  });
  surface.addEventListener('pointermove', (event) => {
    if (!touch || event.pointerId !== touch.id) return;
    const dx = event.clientX - touch.x, dy = event.clientY - touch.y;
    if (touch.kind === 'tap' && Math.hypot(dx, dy) >= kTapSlop)
      touch.kind = Math.abs(dy) >= Math.abs(dx) ? 'drag' : 'swipe';
    if (touch.kind !== 'drag') return;
    drag(touch.lastY - event.clientY);
    touch.lastY = event.clientY;
    touch.moves.push({t: event.timeStamp, y: event.clientY});
    while (touch.moves.length > 2 && event.timeStamp - touch.moves[0].t > 100) touch.moves.shift();
  });
  const lift = (event, cancelled) => {
    if (!touch || event.pointerId !== touch.id) return;
    const ended = touch;
    touch = null;
    if (cancelled) return;
    if (ended.kind === 'tap') {
      _qvl_web_pointer(...pictureAt(event));
    } else if (ended.kind === 'swipe') {
      const dx = event.clientX - ended.x;
      // A finger moving left turns the page forward, as Right does; only where it is bound.
      const key = dx < 0 ? 39 : 37;
      if (Math.abs(dx) >= kSwipe && window.qvlPage.answers(key)) _qvl_web_key(key, 0);
    } else {
      const first = ended.moves[0], last = ended.moves[ended.moves.length - 1];
      const ms = last.t - first.t;
      if (ms > 0 && event.timeStamp - last.t < 100)
        startFling(picturePixels(first.y - last.y) / ms);
    }
  };
  surface.addEventListener('pointerup', (event) => lift(event, false));
  surface.addEventListener('pointercancel', (event) => lift(event, true));

  // The key strip: a button presses its key, and repeats it while held.
  document.getElementById('strip').addEventListener('pointerdown', (event) => {
    const button = event.target.closest('button');
    if (!button) return;
    event.preventDefault();
    const key = Number(button.dataset.key);
    _qvl_web_key(key, 0);
    let timer = setTimeout(function repeat() {
      _qvl_web_key(key, 1);
      timer = setTimeout(repeat, kRepeatEvery);
    }, kRepeatDelay);
    const release = () => {
      clearTimeout(timer);
      button.removeEventListener('pointerup', release);
      button.removeEventListener('pointercancel', release);
      button.removeEventListener('pointerleave', release);
    };
    button.addEventListener('pointerup', release);
    button.addEventListener('pointercancel', release);
    button.addEventListener('pointerleave', release);
  });
};
