// The reader page: opens a magazine from a zip file, a folder or an address and runs it in a
// frame of its own (viewer.html, the viewer's page), so that opening the next one ends all of
// the last one, its picture, its music and its memory, with the frame.
//
// Whatever the source, the files become items {path, size, read()} with forward slashes; a zip
// whose only entry is a zip is opened one level down; folders whose names differ only in letter
// case are one folder (the viewer finds names whatever their case); the shallowest qvl.mag is
// the magazine, and its folder the viewer's working directory.
'use strict';

(() => {
  const {kLimits, ArchiveError, EntryError} = qvlZip;
  const $ = (id) => document.getElementById(id);
  const chooser = $('chooser'), status = $('status'), problem = $('problem'), notes = $('notes');
  const choices = $('choices'), address = $('address');
  let frame = null;   // the running magazine's
  let attempt = 0;    // the latest opening; an older one that finishes later gives up

  const show = (text) => { status.textContent = text; };
  const kib = (bytes) => Math.ceil(bytes / 1024).toLocaleString('en') + ' KB';

  function fail(error) {
    show('');
    if (!(error instanceof ArchiveError)) console.error(error);
    problem.textContent = error.message;
    openChooser();
  }

  function openChooser() {
    chooser.hidden = false;
    chooser.classList.toggle('over', frame !== null);
    $('back').hidden = frame === null;
    $('another').hidden = true;
  }

  function closeChooser() {
    chooser.hidden = true;
    $('back').hidden = true;
    $('another').hidden = false;
    if (frame) frame.contentWindow.focus();
  }

  // ---- sources -----------------------------------------------------------------------------

  function zipItems(bytes) {
    return qvlZip.list(bytes).map((entry) => ({
      path: entry.name, size: entry.size, read: () => qvlZip.extract(bytes, entry)}));
  }

  function fileItem(path, file) {
    return {path, size: file.size, read: () => file.arrayBuffer().then(
      (buffer) => new Uint8Array(buffer),
      () => { throw new EntryError('the browser could not read it'); })};
  }

  // A folder is held to the limits a zip is held to.
  function counted(items) {
    if (items.length > kLimits.entries)
      throw new ArchiveError(`it holds more than ${kLimits.entries} files; at most ` +
                             `${kLimits.entries} are read`);
    if (items.reduce((sum, item) => sum + item.size, 0) > kLimits.bytes)
      throw new ArchiveError(`its files hold more than ${kLimits.bytes / 1048576} MiB`);
    return items;
  }

  // A dropped folder, read completely: a folder reader hands out its entries a hundred or so
  // at a time, and an empty batch is the end.
  async function droppedFolder(root) {
    const items = [];
    const call = (target, method) => new Promise((resolve, reject) => target[method](resolve,
                                                                                     reject));
    const walk = async (folder, prefix) => {
      const reader = folder.createReader();
      for (let batch; (batch = await call(reader, 'readEntries')).length; counted(items)) {
        for (const entry of batch) {
          if (entry.isDirectory) await walk(entry, prefix + entry.name + '/');
          else items.push(fileItem(prefix + entry.name, await call(entry, 'file')));
        }
      }
    };
    await walk(root, '');
    return items;
  }

  async function zipFromFile(file) {
    if (file.size > kLimits.bytes + kLimits.entries * 1024)
      throw new ArchiveError('it is larger than the limits');
    return new Uint8Array(await file.arrayBuffer());
  }

  // The zip at an address, with the download's progress; a body past the limits is cut off.
  async function zipFromAddress(text) {
    const url = new URL(text, location.href);
    let response;
    try {
      response = await fetch(url);
    } catch {
      throw new ArchiveError('it could not be fetched: its site does not let other pages read ' +
                             'it, or it cannot be reached');
    }
    if (!response.ok)
      throw new ArchiveError('it could not be fetched: the server answered ' +
                             `${response.status} ${response.statusText}`.trim());
    const total = Number(response.headers.get('Content-Length')) || 0;
    const parts = [];
    let length = 0;
    for (const reader = response.body.getReader(); ;) {
      const {done, value} = await reader.read();
      if (done) break;
      length += value.length;
      if (length > kLimits.bytes + kLimits.entries * 1024) {
        reader.cancel();
        throw new ArchiveError('it is larger than the limits');
      }
      parts.push(value);
      show(`Fetching ${url.pathname.split('/').pop()}: ${kib(length)}` +
           (total ? ` of ${kib(total)}` : ''));
    }
    const bytes = new Uint8Array(length);
    parts.reduce((at, part) => (bytes.set(part, at), at + part.length), 0);
    return bytes;
  }

  // ---- the magazine in the items -----------------------------------------------------------

  const nameOf = (path) => path.slice(path.lastIndexOf('/') + 1);

  async function unwrapped(items, depth = 0) {
    const only = items.length === 1 ? items[0] : null;
    if (!only || only.path.includes('/') || !/\.zip$/i.test(only.path) || depth === 8)
      return items;
    let bytes;
    try {
      bytes = await only.read();
    } catch (error) {
      throw new ArchiveError(`the zip inside it, ${only.path}, cannot be read: ${error.message}`);
    }
    return unwrapped(zipItems(bytes), depth + 1);
  }

  // Every folder takes the spelling it first came with; of names equal but for their letter
  // case, the first is kept. Messages name an item as its source spelled it.
  function folded(items) {
    const spelled = new Map(), taken = new Set();
    return items.flatMap((item) => {
      const parts = item.path.split('/');
      let path = '';
      for (const part of parts.slice(0, -1)) {
        const key = (path + part).toLowerCase();
        if (!spelled.has(key)) spelled.set(key, path + part);
        path = spelled.get(key) + '/';
      }
      path += parts[parts.length - 1];
      if (taken.has(path.toLowerCase())) return [];
      taken.add(path.toLowerCase());
      return [{...item, path, name: item.path}];
    });
  }

  // The folders ("" for the top, else ending in "/") that hold the shallowest qvl.mag.
  function magazineFolders(items) {
    const depth = (path) => path.split('/').length;
    const scripts = items.filter((item) => nameOf(item.path).toLowerCase() === 'qvl.mag');
    const least = Math.min(...scripts.map((item) => depth(item.path)));
    return scripts.filter((item) => depth(item.path) === least)
        .map((item) => item.path.slice(0, item.path.length - 'qvl.mag'.length));
  }

  async function openItems(items, title, ticket) {
    items = folded(await unwrapped(counted(items)));
    if (ticket !== attempt) return;
    const folders = magazineFolders(items);
    if (folders.length === 0) throw new ArchiveError('there is no qvl.mag in it');
    if (folders.length === 1) return start(items, folders[0], title);
    show('');
    choices.querySelector('ul').replaceChildren(...folders.map((folder) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = folder.slice(0, -1);
      button.addEventListener('click', () => {
        ++attempt;
        start(items, folder, `${title}: ${folder.slice(0, -1)}`);
      });
      const line = document.createElement('li');
      line.append(button);
      return line;
    }));
    choices.hidden = false;
  }

  // A hidden frame that loads the viewer's page and engine while the files are fetched and
  // read; its viewer starts once start() hands it the magazine.
  let waiting = null;
  function waitingFrame() {
    if (waiting) return waiting;
    const own = waiting = document.createElement('iframe');
    let hand;
    own.qvlMagazine = {entries: new Promise((resolve) => { hand = resolve; })};
    own.qvlStart = (dir, files) => {
      own.qvlMagazine.dir = dir;
      hand(files);
    };
    own.className = 'waiting';
    own.allow = 'fullscreen; autoplay; clipboard-write';
    own.addEventListener('load', () => frame === own && own.contentWindow.focus());
    own.src = 'viewer.html';
    $('room').append(own);
    return own;
  }

  function dropWaiting() {
    if (waiting) waiting.remove();
    waiting = null;
  }

  // Starts the viewer in the waiting frame, in place of the last magazine, and reads every file
  // meanwhile; an entry that cannot be read is left out and named.
  function start(items, folder, title) {
    choices.hidden = true;
    show('');
    const own = waitingFrame();
    waiting = null;
    if (frame) frame.remove();
    frame = own;
    const damaged = [];
    let done = 0;
    const report = (text) => { if (frame === own) notes.textContent = text; };
    const read = (item) => item.read().then((data) => [item.path, data], (error) => {
      if (!(error instanceof EntryError)) throw error;
      damaged.push(`${item.name} is damaged (${error.message}) and was left out.`);
    }).finally(() => report(`Reading the files: ${++done} of ${items.length}`));
    // a few at a time, in the items' order
    const files = new Array(items.length);
    let next = 0;
    const reader = async () => {
      while (next < items.length) {
        const k = next++;
        files[k] = await read(items[k]);
      }
    };
    own.qvlStart(folder, Promise.all(Array.from({length: 8}, reader)).then(() => {
      report(damaged.join(' '));
      return files.filter(Boolean);
    }));
    own.id = 'viewer';
    own.className = '';
    own.title = title;
    $('name').textContent = title;
    document.title = `${title} - quorvel`;
    closeChooser();
  }

  // Each way in: the address is kept in the page's address only for what came from one.
  function open(source, title, fromAddress) {
    const ticket = ++attempt;
    problem.textContent = '';
    choices.hidden = true;
    waitingFrame();
    const query = new URLSearchParams(location.search);
    if (fromAddress) query.set('magazine', fromAddress);
    else query.delete('magazine');
    source().then((items) => openItems(items, title, ticket)).then(() => {
      if (ticket === attempt)
        history.replaceState(null, '', location.pathname + (query.toString() ? '?' + query : ''));
    }).catch((error) => {
      if (ticket !== attempt) return;
      dropWaiting();
      fail(error instanceof ArchiveError
        ? new ArchiveError(`${title} cannot be opened: ${error.message}.`) : error);
    });
  }

  const openZip = (file) => open(async () => zipItems(await zipFromFile(file)), file.name);

  function drop(transfer) {
    const entries = Array.from(transfer.items || [], (item) => item.webkitGetAsEntry &&
                                                             item.webkitGetAsEntry());
    const folder = entries.find((entry) => entry && entry.isDirectory);
    if (folder) return open(() => droppedFolder(folder), folder.name);
    if (transfer.files.length) openZip(transfer.files[0]);
  }

  window.qvlReader = {drop};

  // ---- the page's controls -----------------------------------------------------------------

  $('pick-zip').addEventListener('change', (event) => {
    if (event.target.files.length) openZip(event.target.files[0]);
    event.target.value = '';
  });
  $('pick-folder').addEventListener('change', (event) => {
    const files = Array.from(event.target.files);
    event.target.value = '';
    if (!files.length) return;
    const title = files[0].webkitRelativePath.split('/')[0] || 'the folder';
    // the picker names each file from the chosen folder down; the magazine lies below it
    open(async () => files.map((file) => fileItem(
        file.webkitRelativePath.slice(title.length + 1) || file.name, file)), title);
  });
  $('address-form').addEventListener('submit', (event) => {
    event.preventDefault();
    const text = address.value.trim();
    if (text) open(async () => zipItems(await zipFromAddress(text)), text, text);
  });
  $('another').addEventListener('click', openChooser);
  $('back').addEventListener('click', closeChooser);
  addEventListener('dragover', (event) => {
    event.preventDefault();
    document.body.classList.add('dragging');
  });
  addEventListener('dragleave', () => document.body.classList.remove('dragging'));
  addEventListener('drop', (event) => {
    event.preventDefault();
    document.body.classList.remove('dragging');
    drop(event.dataTransfer);
  });
  addEventListener('message', (event) => {
    if (!frame || event.source !== frame.contentWindow || event.data !== 'qvl-ended') return;
    frame.remove();
    frame = null;
    notes.textContent = 'The magazine has ended.';
    openChooser();
  });

  const asked = new URLSearchParams(location.search).get('magazine');
  if (asked) {
    address.value = asked;
    open(async () => zipItems(await zipFromAddress(asked)), asked, asked);
  }
})();
