// The converter, off the page's main thread: reads the problem file into the
// core module, answers with what the window shows, and makes the output
// files' bytes, reporting progress as it goes.
import createCore from './munemoji-core.js';
import { zipSync } from './vendor/fflate.js';

const core = await createCore();
const utf8 = new TextDecoder();
const kGenres = 8;
const kChunk = 16 << 20;  // the file arrives in pieces, for progress
let fileName = '';       // the loaded problem file's name

// The bytes of the core's result buffer after a call that returned n.
const resultBytes = (n) => core.HEAPU8.slice(core._mnr_result(), core._mnr_result() + n);
const resultText = (n) => utf8.decode(resultBytes(n));
const message = (id) => resultText(core._mnr_message(id));
const genreLines = () => Array.from({ length: kGenres }, (_, g) => resultText(core._mnr_genre_line(g)));

function progress(done, total) {
  postMessage({ type: 'progress', done, total });
}

function load(file) {
  // Room first, then the file straight into the module's memory; reading
  // synchronously is allowed here and is much faster than promises.
  const at = core._mnr_input(file.size);
  const reader = new FileReaderSync();
  for (let offset = 0; offset < file.size; offset += kChunk) {
    const piece = new Uint8Array(reader.readAsArrayBuffer(file.slice(offset, offset + kChunk)));
    core.HEAPU8.set(piece, at + offset);
    progress(offset + piece.length, file.size);
  }
  const ok = core._mnr_load() === 1;
  if (ok) fileName = file.name;
  postMessage({ type: 'loaded', ok, name: file.name, lines: genreLines() });
}

// The lines of a genre's file, as the core's length-prefixed list.
function problems(genre) {
  const bytes = resultBytes(core._mnr_genre_lines(genre));
  const view = new DataView(bytes.buffer);
  const lines = [];
  for (let at = 0; at < bytes.length;) {
    const n = view.getUint32(at, true);
    lines.push(utf8.decode(bytes.subarray(at + 4, at + 4 + n)));
    at += 4 + n;
  }
  // A count <= 0 means no problems, as in the genre file.
  postMessage({ type: 'problems', genre, lines, count: Math.max(core._mnr_count(genre), 0) });
}

// The pieces an output writer of the core streams.
function collect(write) {
  const pieces = [];
  core.onPiece = (piece) => pieces.push(piece);
  write();
  core.onPiece = null;
  return pieces;
}

function joined(pieces) {
  const bytes = new Uint8Array(pieces.reduce((n, piece) => n + piece.length, 0));
  let at = 0;
  for (const piece of pieces) {
    bytes.set(piece, at);
    at += piece.length;
  }
  return bytes;
}

// The eight genre files in one zip (browsers refuse several downloads at once).
function eightFiles(base, utf8) {
  const files = {};
  for (let g = 0; g < kGenres; ++g) {
    files[`${base}${g}.txt`] = joined(collect(() => core._mnr_write_genre(g, utf8 ? 1 : 0)));
    progress(g + 1, kGenres + 1);
  }
  // Stored, not deflated: deflating 64 MiB of text would take seconds, and
  // the zip never leaves the machine.
  const zip = zipSync(files, { level: 0 });
  progress(kGenres + 1, kGenres + 1);
  download(`${base}.zip`, [zip], 'application/zip');
}

// One output file, streamed by the core into a blob.
function single(name, type, write) {
  progress(0, 0);
  download(name, collect(write), type);
}

function setFileName() {
  const name = new TextEncoder().encode(fileName);
  core.HEAPU8.set(name, core._mnr_file_name(name.length));
}

function download(name, pieces, type) {
  core._mnr_take_invalid_bytes();
  postMessage({ type: 'download', name, blob: new Blob(pieces, { type }) });
}

onmessage = ({ data }) => {
  try {
    switch (data.type) {
      case 'load': load(data.file); break;
      case 'problems': problems(data.genre); break;
      case 'eight': eightFiles(data.base, data.utf8); break;
      case 'genre':
        single(`${data.base}${data.genre}.txt`, 'text/plain', () => core._mnr_write_genre(data.genre, data.utf8 ? 1 : 0));
        break;
      case 'oneFile':
        single(`${data.base}.txt`, 'text/plain', () => core._mnr_write_one_file(data.utf8 ? 1 : 0));
        break;
      case 'csv': single(`${data.base}.csv`, 'text/csv', () => core._mnr_write_csv()); break;
      case 'json':
        setFileName();
        single(`${data.base}.json`, 'application/json', () => core._mnr_write_json());
        break;
    }
  } catch (error) {
    postMessage({ type: 'failed', text: String(error) });
  }
};

// Texts in the message table's order (web/module/Module.cpp).
postMessage({
  type: 'ready',
  texts: { appTitle: message(0), notAProblemFile: message(1), genreList: message(2), noFile: message(3),
           exported: message(4), exportFailed: message(5), warningTitle: message(6) },
  lines: genreLines(),
});
