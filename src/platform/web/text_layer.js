// The page shown as real text over the canvas, for screen readers, the browser's find and
// selection: one transparent element a line, placed over its cells in picture pixels (the
// layer is scaled with the canvas), in a region named after the page. Lines from an ANSI
// include form one group marked as a picture named after its file; a menu's entries are a
// list whose items a screen reader can focus (selecting the entry) and click (choosing it as
// Return does). A polite live region says the page's name and first line once a page has
// settled. The backend hands over the text when the page changes and the scroll and chosen
// entry when they move; page -1 hides the layer (a fade runs). Linked in front of the engine.
Module.qvlTextLayer = (() => {
  // picture pixels of a line and of a cell
  const kLine = 12, kCell = 8;
  // an announcement's longest text, and how long a page must stay before it is announced (ms)
  const kAnnounceChars = 160, kSettleMs = 400;
  // a focus during a press, or this soon after one, comes from the mouse or a finger (a tap
  // focuses once the finger is lifted), not from a screen reader or the keyboard
  const kPointerFocusMs = 500;

  let layer = null, lines = null, entries = [], page = -1, name = '', firstLine = '';
  let announced = -1, timer = 0, pressing = false, liftedAt = -Infinity;

  // Stretches each line to 8 pixels a character: box drawing and other signs may come from
  // another font than the letters, of another width. Measured once the layer shows.
  let measured = false;
  const stretch = () => {
    const all = [...lines.querySelectorAll('.line')];
    const scale = layer.getBoundingClientRect().width / 640;
    const widths = all.map((line) => line.getBoundingClientRect().width / scale);
    all.forEach((line, i) => {
      const cells = [...line.textContent].length;
      if (widths[i] > 0) line.style.transform = `scaleX(${cells * kCell / widths[i]})`;
    });
    measured = true;
  };

  const setUp = () => {
    layer = document.getElementById('layer');
    layer.addEventListener('pointerdown', () => { pressing = true; }, true);
    for (const type of ['pointerup', 'pointercancel'])
      layer.addEventListener(type, () => { pressing = false, liftedAt = performance.now(); }, true);
  };

  const lineElement = (tag, text, k) => {
    const line = document.createElement(tag);
    line.className = 'line';
    line.style.top = k * kLine + 'px';
    line.textContent = text;
    return line;
  };

  const entryElement = (text, k, index) => {
    const item = lineElement('li', '', k);
    const entry = document.createElement('span');
    entry.className = 'entry';
    entry.setAttribute('role', 'button');
    entry.tabIndex = 0;
    entry.textContent = text;
    entry.addEventListener('focus', () => {
      if (!pressing && performance.now() - liftedAt > kPointerFocusMs) _qvl_web_entry(index, 0);
    });
    // A click with no pointer behind it (detail 0) is a screen reader's or the keyboard's.
    entry.addEventListener('click', (event) => {
      if (event.detail === 0) _qvl_web_entry(index, 1);
    });
    item.append(entry);
    entries[index] = entry;
    return item;
  };

  function text(shown, pageName, body, art, entryList, left) {
    if (!layer) setUp();
    const rows = body.split('\n');
    rows.pop();  // every line ends with a line end
    const blocks = art.split('\n').filter((row) => row).map((row) => {
      const [first, count, ...file] = row.split(' ');
      return {first: Number(first), end: Number(first) + Number(count), file: file.join(' ')};
    });
    const entryLines = entryList.split('\n').filter((row) => row).map(Number);
    lines = document.createElement('div');
    lines.className = 'lines';
    lines.style.left = left + 'px';
    entries = [];
    let art_ = null, list = null;
    rows.forEach((row, k) => {
      const block = blocks.find((b) => k >= b.first && k < b.end);
      if (!block) art_ = null;
      else if (!art_ || art_.dataset.first !== String(block.first)) {
        art_ = document.createElement('div');
        art_.setAttribute('role', 'img');
        art_.setAttribute('aria-label', block.file);
        art_.dataset.first = block.first;
        lines.append(art_);
      }
      const index = entryLines.indexOf(k + 1);
      if (index < 0 && row !== '') list = null;
      if (index >= 0 && !list) {
        list = document.createElement('ul');
        list.setAttribute('aria-label', 'menu');
        (art_ || lines).append(list);
      }
      if (index >= 0) list.append(entryElement(row, k, index));
      else if (row !== '' && !list) (art_ || lines).append(lineElement('div', row, k));
    });
    layer.replaceChildren(lines);
    layer.setAttribute('aria-label', pageName);
    measured = false;
    page = shown;
    name = pageName;
    // the first line of text, not of a picture: the art says nothing read aloud
    firstLine = rows.find((row, k) => row.trim() !== '' &&
                          !blocks.some((b) => k >= b.first && k < b.end)) || '';
  }

  function state(shown, scrollY, selection) {
    if (!layer) setUp();
    layer.hidden = shown < 0 || !lines;
    if (layer.hidden) return;
    lines.style.transform = `translateY(${scrollY}px)`;
    if (!measured) stretch();
    entries.forEach((entry, i) => {
      if (i === selection) entry.setAttribute('aria-current', 'true');
      else entry.removeAttribute('aria-current');
    });
    if (shown === announced) return;
    // However fast the pages change, one announcement, for the page that stays.
    clearTimeout(timer);
    timer = setTimeout(() => {
      if (layer.hidden || page === announced) return;
      announced = page;
      const said = firstLine.trim() ? `${name}: ${firstLine.trim()}` : name;
      document.getElementById('announce').textContent = said.slice(0, kAnnounceChars);
    }, kSettleMs);
  }

  return {text, state};
})();
