// A zip archive of stored (uncompressed) entries: the page's eight genre
// files in one download. Each entry comes with its size and CRC-32, which
// the core computes while it writes the bytes, so nothing here reads the
// bytes again or copies them: the archive is a list of headers and the
// entries' own pieces, ready for a Blob. Entries are marked as made on Unix
// (mode 0644) with UTF-8 names, which Windows Explorer, 7-Zip and Debian's
// unzip all read right; their time is the given local time.
//   storedZip([{ name, pieces, size, crc }, ...], date) -> [Uint8Array, ...]
'use strict';

function storedZip(entries, date) {
  const kLimit = 0xFFFFFFFF;  // no zip64: the page's archives stay far below 4 GiB
  const year = Math.max(date.getFullYear(), 1980);
  const dosTime = (date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1);
  const dosDate = ((year - 1980) << 9) | ((date.getMonth() + 1) << 5) | date.getDate();
  const utf8 = new TextEncoder();

  // A header: its fixed fields (little-endian; [size in bytes, value]) then
  // the name.
  const header = (fields, name) => {
    const fixed = fields.reduce((n, [size]) => n + size, 0);
    const bytes = new Uint8Array(fixed + name.length);
    const view = new DataView(bytes.buffer);
    let at = 0;
    for (const [size, value] of fields) {
      if (size === 2) view.setUint16(at, value, true);
      else view.setUint32(at, value, true);
      at += size;
    }
    bytes.set(name, fixed);
    return bytes;
  };
  // From "version needed" to the extra field's length, as both headers have them.
  const common = (entry, name) => [[2, 20], [2, 1 << 11 /* UTF-8 name */], [2, 0 /* stored */], [2, dosTime],
    [2, dosDate], [4, entry.crc >>> 0], [4, entry.size], [4, entry.size], [2, name.length], [2, 0]];

  const parts = [];
  const directory = [];
  let offset = 0;
  for (const entry of entries) {
    const name = utf8.encode(entry.name);
    if (offset + 30 + name.length + entry.size > kLimit) throw new Error('the zip would be larger than 4 GiB');
    const local = header([[4, 0x04034B50], ...common(entry, name)], name);
    directory.push(header([[4, 0x02014B50], [2, (3 << 8) | 20 /* made on Unix, 2.0 */], ...common(entry, name),
                           [2, 0], [2, 0], [2, 0], [4, (0o100644 << 16) >>> 0], [4, offset]], name));
    parts.push(local, ...entry.pieces);
    offset += local.length + entry.size;
  }
  const directorySize = directory.reduce((n, bytes) => n + bytes.length, 0);
  const end = header([[4, 0x06054B50], [2, 0], [2, 0], [2, entries.length], [2, entries.length],
                      [4, directorySize], [4, offset], [2, 0]], new Uint8Array(0));
  return [...parts, ...directory, end];
}
