// Reads a zip archive held in memory: the central directory's records by hand (a list of fixed
// fields), each entry's data through the browser's own raw-deflate decompressor. What a hostile
// archive could do is bounded: the entries and the bytes they claim are counted before anything
// is inflated, an entry stops inflating once it passes the size it claims, and a name that leads
// out of the archive refuses the whole archive.
'use strict';

const qvlZip = (() => {
  const kLimits = {bytes: 256 * 1024 * 1024, entries: 20000};
  // Code page 437 from 128 on: names without the UTF-8 flag are written in it.
  const kUpper437 =
    'ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒáíóúñÑªº¿⌐¬½¼¡«»░▒▓│┤╡╢╖╕╣║╗╝╜╛┐' +
    '└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00a0';
  const kEndRecord = 0x06054b50, kCentralRecord = 0x02014b50, kLocalRecord = 0x04034b50;
  const kEnd64Locator = 0x07064b50, kEnd64Record = 0x06064b50;
  const kFlagEncrypted = 1, kFlagUtf8 = 0x800;
  const kStored = 0, kDeflated = 8;

  // The archive cannot be read at all (not a zip, cut short, past a limit, an unsafe name).
  class ArchiveError extends Error {}
  // One entry cannot be read; the others may be.
  class EntryError extends Error {}

  const crcTable = Array.from({length: 256}, (_, n) => {
    for (let k = 0; k < 8; ++k) n = n & 1 ? 0xedb88320 ^ (n >>> 1) : n >>> 1;
    return n >>> 0;
  });
  function crc32(bytes) {
    let crc = 0xffffffff;
    for (const byte of bytes) crc = crcTable[(crc ^ byte) & 0xff] ^ (crc >>> 8);
    return (crc ^ 0xffffffff) >>> 0;
  }

  function decodeName(bytes, utf8) {
    if (utf8) return new TextDecoder().decode(bytes);
    return Array.from(bytes, (b) => (b < 128 ? String.fromCharCode(b) : kUpper437[b - 128]))
        .join('');
  }

  // The name with forward slashes and no "." parts; an absolute name or one with ".." in it
  // would put a file outside the archive's folder.
  function safeName(raw) {
    const name = raw.replace(/\\/g, '/');
    const parts = name.split('/');
    if (name.startsWith('/') || /^[A-Za-z]:/.test(name) || parts.includes('..'))
      throw new ArchiveError(`it holds the name "${raw}", which leads outside the zip`);
    return parts.filter((part) => part !== '.' && part !== '').join('/') +
           (name.endsWith('/') ? '/' : '');
  }

  // The end record's fields, from the zip64 record where the plain one says to look there.
  function directoryPlace(view) {
    const last = Math.max(0, view.byteLength - 22 - 0xffff);
    let end = -1;
    for (let at = view.byteLength - 22; at >= last && end < 0; --at)
      if (view.getUint32(at, true) === kEndRecord) end = at;
    if (end < 0) throw new ArchiveError('it is not a zip file');
    let count = view.getUint16(end + 10, true);
    let offset = view.getUint32(end + 16, true);
    if ((count === 0xffff || offset === 0xffffffff) && end >= 20 &&
        view.getUint32(end - 20, true) === kEnd64Locator) {
      const record = Number(view.getBigUint64(end - 12, true));
      if (record + 56 > view.byteLength || view.getUint32(record, true) !== kEnd64Record)
        throw new ArchiveError('its directory is damaged');
      count = Number(view.getBigUint64(record + 32, true));
      offset = Number(view.getBigUint64(record + 48, true));
    }
    return {count, offset};
  }

  // Sizes and offset that do not fit 32 bits stand in the zip64 extra field, in this order.
  function zip64Values(view, at, length, entry) {
    for (const end = at + length; at + 4 <= end; at += 4 + view.getUint16(at + 2, true)) {
      if (view.getUint16(at, true) !== 1) continue;
      let field = at + 4;
      for (const key of ['size', 'compressedSize', 'offset']) {
        if (entry[key] !== 0xffffffff || field + 8 > end) continue;
        entry[key] = Number(view.getBigUint64(field, true));
        field += 8;
      }
    }
  }

  // The archive's entries (folders left out) in the directory's order:
  // {name, size, compressedSize, method, crc, offset, encrypted}.
  function list(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const {count, offset} = directoryPlace(view);
    if (count > kLimits.entries)
      throw new ArchiveError(`it holds ${count} entries; at most ${kLimits.entries} are read`);
    const entries = [];
    let total = 0;
    for (let k = 0, at = offset; k < count; ++k) {
      if (at + 46 > view.byteLength || view.getUint32(at, true) !== kCentralRecord)
        throw new ArchiveError('its directory is damaged');
      const flags = view.getUint16(at + 8, true);
      const nameLength = view.getUint16(at + 28, true), extraLength = view.getUint16(at + 30, true);
      const entry = {
        method: view.getUint16(at + 10, true),
        crc: view.getUint32(at + 16, true),
        compressedSize: view.getUint32(at + 20, true),
        size: view.getUint32(at + 24, true),
        offset: view.getUint32(at + 42, true),
        encrypted: (flags & kFlagEncrypted) !== 0,
      };
      if (at + 46 + nameLength + extraLength > view.byteLength)
        throw new ArchiveError('its directory is damaged');
      entry.name = safeName(decodeName(bytes.subarray(at + 46, at + 46 + nameLength),
                                       (flags & kFlagUtf8) !== 0));
      zip64Values(view, at + 46 + nameLength, extraLength, entry);
      at += 46 + nameLength + extraLength + view.getUint16(at + 32, true);
      if (entry.name === '' || entry.name.endsWith('/')) continue;
      total += entry.size;
      if (total > kLimits.bytes)
        throw new ArchiveError(`its files hold more than ${kLimits.bytes / 1048576} MiB`);
      entries.push(entry);
    }
    return entries;
  }

  // Inflates data, failing as soon as more than size bytes come out.
  async function inflate(data, size) {
    const out = new Uint8Array(size);
    let length = 0;
    const reader = new Blob([data]).stream()
        .pipeThrough(new DecompressionStream('deflate-raw')).getReader();
    try {
      for (;;) {
        const {done, value} = await reader.read();
        if (done) break;
        if (length + value.length > size)
          throw new EntryError(`it holds more than the ${size} bytes it claims`);
        out.set(value, length);
        length += value.length;
      }
    } catch (error) {
      reader.cancel().catch(() => {});
      if (error instanceof EntryError) throw error;
      throw new EntryError('its compressed data is damaged');
    }
    if (length !== size) throw new EntryError(`it holds ${length} of the ${size} bytes it claims`);
    return out;
  }

  // One entry's bytes, checked against the size and check sum the directory gives.
  async function extract(bytes, entry) {
    if (entry.encrypted) throw new EntryError('it is encrypted');
    if (entry.method !== kStored && entry.method !== kDeflated)
      throw new EntryError(`it is compressed by method ${entry.method}, which is not read here`);
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const at = entry.offset;
    if (at + 30 > view.byteLength || view.getUint32(at, true) !== kLocalRecord)
      throw new EntryError('its header is damaged');
    const start = at + 30 + view.getUint16(at + 26, true) + view.getUint16(at + 28, true);
    if (start + entry.compressedSize > view.byteLength)
      throw new EntryError('it is cut short');
    const data = bytes.subarray(start, start + entry.compressedSize);
    if (entry.method === kStored && data.length !== entry.size)
      throw new EntryError('its stored size is wrong');
    const out = entry.method === kStored ? data.slice() : await inflate(data, entry.size);
    if (crc32(out) !== entry.crc) throw new EntryError('its check sum is wrong');
    return out;
  }

  return {kLimits, ArchiveError, EntryError, list, extract};
})();

if (typeof module === 'object') module.exports = qvlZip;
