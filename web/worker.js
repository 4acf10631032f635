// The converter, off the page's main thread: reads the problem file into the
// core module, answers with what the window shows, and makes the output
// files' bytes, reporting progress as it goes.
import createCore from './munemoji-core.js';
import { zipSync } from './vendor/fflate.js';

const core = await createCore();
const utf8 = new TextDecoder();
const kGenres = 8;
const kChunk = 8 << 20;  // the file arrives in pieces, for progress

// The bytes of the core's result buffer after a call that returned n.
const resultBytes = (n) => core.HEAPU8.slice(core._mnr_result(), core._mnr_result() + n);
const resultText = (n) => utf8.decode(resultBytes(n));
const message = (id) => resultText(core._mnr_message(id));
const genreLines = () => Array.from({ length: kGenres }, (_, g) => resultText(core._mnr_genre_line(g)));

function progress(done, total) {
  postMessage({ type: 'progress', done, total });
}

async function load(file) {
  const started = performance.now();
  // Room first, then the file straight into the module's memory.
  const at = core._mnr_input(file.size);
  for (let offset = 0; offset < file.size; offset += kChunk) {
    const piece = new Uint8Array(await file.slice(offset, offset + kChunk).arrayBuffer());
    core.HEAPU8.set(piece, at + offset);
    progress(offset + piece.length, file.size);
  }
  const ok = core._mnr_load() === 1;
  const counts = Array.from({ length: kGenres }, (_, g) => core._mnr_count(g));
  postMessage({ type: 'loaded', ok, name: file.name, lines: genreLines(), counts, ms: performance.now() - started });
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
  postMessage({ type: 'problems', genre, lines });
}

function genreFile(genre, wantUtf8) {
  return resultBytes(core._mnr_genre_file(genre, wantUtf8 ? 1 : 0));
}

// The eight genre files in one zip (browsers refuse several downloads at once).
function eightFiles(base, wantUtf8) {
  const started = performance.now();
  const files = {};
  for (let g = 0; g < kGenres; ++g) {
    files[`${base}${g}.txt`] = genreFile(g, wantUtf8);
    progress(g + 1, kGenres + 1);
  }
  const zip = zipSync(files, { level: 1 });
  progress(kGenres + 1, kGenres + 1);
  download(`${base}.zip`, zip, 'application/zip', performance.now() - started);
}

function download(name, bytes, type, ms) {
  core._mnr_take_invalid_bytes();
  postMessage({ type: 'download', name, blob: new Blob([bytes], { type }), ms });
}

onmessage = async ({ data }) => {
  try {
    switch (data.type) {
      case 'load': await load(data.file); break;
      case 'problems': problems(data.genre); break;
      case 'eight': eightFiles(data.base, data.utf8); break;
      case 'genre':
        download(`${data.base}${data.genre}.txt`, genreFile(data.genre, data.utf8), 'text/plain', 0);
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
           exported: message(4), exportFailed: message(5), underConstruction: message(6), warningTitle: message(7) },
  lines: genreLines(),
});
