// The converter, off the page's main thread: reads the chosen problem file
// into the core (only the bytes the core asks for), answers with what the
// window shows, and makes the output files' bytes.
//
// Runs as a classic script from a blob: URL, after the core's script
// (defining createCore) and the zip writer's (zip.js, defining storedZip). Each request
// is {id, action, args}; the answer is {id, result} or {id, error}, with
// {id, progress: {done, total}} on the way. An action is one entry of
// `actions` below.
'use strict';

const kGenres = 8;
const kPiece = 16 << 20;  // the file is read in pieces, for progress
// The most of a CSV or JSON that is read to write a problem file back: more
// than mnr2txt writes for any problem file. Its largest JSON is about 475
// MiB (8 x 32767 records whose texts are control bytes, each escaped as
// 6 bytes, and whose stored bytes come too, in base64, with 1 MiB of
// trailing bytes); a full file of ordinary texts gives about 70 MiB, its CSV
// less. A larger file is refused unread.
const kBackInputLimit = 512 << 20;
const utf8 = new TextDecoder();
let core = null;
let file = null;      // the problem file being loaded
let fileName = '';    // the loaded problem file's name
let onProgress = () => {};

// The bytes of the core's result buffer after a call that returned n.
const resultBytes = (n) => core.HEAPU8.slice(core._mnr_result(), core._mnr_result() + n);
const resultText = (n) => utf8.decode(resultBytes(n));
const genreLines = () => Array.from({ length: kGenres }, (_, g) => resultText(core._mnr_genre_line(g)));

// The fields of the core's result buffer: texts, each after its length.
function resultFields(n) {
  const bytes = resultBytes(n);
  const view = new DataView(bytes.buffer);
  const fields = [];
  for (let at = 0; at < bytes.length;) {
    const length = view.getUint32(at, true);
    fields.push(utf8.decode(bytes.subarray(at + 4, at + 4 + length)));
    at += 4 + length;
  }
  return fields;
}

// The core asks for count bytes at its offset `at` of memory; they come from
// where the last read ended. Reading synchronously is allowed in a worker
// and is much faster than promises.
let readOffset = 0;
let readError = null;  // a read the browser refused, reported as an error
function readInput(at, count) {
  try {
    return copyInput(at, count);
  } catch (error) {
    readError = error;
    throw error;
  }
}
function copyInput(at, count) {
  const reader = new FileReaderSync();
  let copied = 0;
  while (copied < count && readOffset < file.size) {
    const end = Math.min(readOffset + Math.min(count - copied, kPiece), file.size);
    const piece = new Uint8Array(reader.readAsArrayBuffer(file.slice(readOffset, end)));
    core.HEAPU8.set(piece, at + copied);
    copied += piece.length;
    readOffset += piece.length;
  }
  return copied;
}

// The core's memory, which never shrinks: the page starts a new worker when
// it has grown beyond what a fresh one holds.
const memory = () => core.HEAPU8.buffer.byteLength;

// The pieces an output writer of the core streams.
function collect(write) {
  const pieces = [];
  core.onPiece = (piece) => pieces.push(piece);
  try {
    write();
  } finally {
    core.onPiece = null;
  }
  return pieces;
}

// An output file to download, and what making it found.
function download(name, pieces, type) {
  const blob = new Blob(pieces, { type });
  return { name, blob, size: blob.size, invalidBytes: core._mnr_take_invalid_bytes() };
}

// One output file, streamed by the core.
function single(name, type, write) {
  onProgress(0, 0);
  core._mnr_take_invalid_bytes();
  return download(name, collect(write), type);
}

const encodingFlag = (args) => (args.utf8 ? 1 : 0);

// The name the core writes into the JSON or its messages.
function setFileName(name) {
  const bytes = new TextEncoder().encode(name);
  core.HEAPU8.set(bytes, core._mnr_file_name(bytes.length));
}

const actions = {
  // The core from the WebAssembly bytes the page holds; the window's texts
  // by name, the empty genre list, and what this core can write.
  async start({ wasm }) {
    core = await createCore({ wasmBinary: wasm });
    core.readInput = readInput;
    core.onProgress = (done, total) => onProgress(done, Math.min(total, file.size));
    const fields = resultFields(core._mnr_messages());
    const texts = {};
    for (let i = 0; i < fields.length; i += 2) texts[fields[i]] = fields[i + 1];
    return { texts, lines: genreLines(), memory: memory(), xlsx: typeof core._mnr_write_xlsx === 'function' };
  },

  load({ file: chosen }) {
    file = chosen;
    readOffset = 0;
    readError = null;
    let ok;
    try {
      ok = core._mnr_load() === 1;
    } finally {
      file = null;
    }
    if (readError) throw readError;
    fileName = ok ? chosen.name : '';
    return { ok, lines: genreLines(), memory: memory() };
  },

  // Problems first ... first + count - 1 of a genre: question and choices.
  problems({ genre, first, count }) {
    const fields = resultFields(core._mnr_problems(genre, first, count));
    const width = 1 + core._mnr_choice_count();
    const problems = [];
    for (let at = 0; at < fields.length; at += width) {
      problems.push({ question: fields[at], choices: fields.slice(at + 1, at + width) });
    }
    core._mnr_take_invalid_bytes();
    return { total: core._mnr_problem_count(genre), problems };
  },

  // The eight genre files in one zip (browsers refuse several downloads at
  // once). Stored, not deflated: deflating 64 MiB of text would take
  // seconds, and the zip never leaves the machine.
  eight({ base, utf8: wantUtf8 }) {
    core._mnr_take_invalid_bytes();
    core._mnr_take_crc();
    const entries = [];
    for (let g = 0; g < kGenres; ++g) {
      const pieces = collect(() => core._mnr_write_genre(g, wantUtf8 ? 1 : 0));
      const size = pieces.reduce((n, piece) => n + piece.length, 0);
      entries.push({ name: `${base}${g}.txt`, pieces, size, crc: core._mnr_take_crc() });
      onProgress(g + 1, kGenres);
    }
    return download(`${base}.zip`, storedZip(entries, new Date()), 'application/zip');
  },
  genre: (args) => single(`${args.base}${args.genre}.txt`, 'text/plain',
                          () => core._mnr_write_genre(args.genre, encodingFlag(args))),
  oneFile: (args) => single(`${args.base}.txt`, 'text/plain', () => core._mnr_write_one_file(encodingFlag(args))),
  csv: ({ base }) => single(`${base}.csv`, 'text/csv', () => core._mnr_write_csv()),
  json({ base }) {
    setFileName(fileName);
    return single(`${base}.json`, 'application/json', () => core._mnr_write_json());
  },
  // The way back: a CSV or JSON (kind 'csv' or 'json') read whole into the
  // core, checked and written as txt2mnr does. Its messages (as txt2mnr
  // words them, without the program's name) come with the problem file, or
  // alone when it cannot be written.
  writeBack({ file: chosen, kind, formulaGuard, name }) {
    if (chosen.size > kBackInputLimit) return { tooLarge: true, limit: kBackInputLimit };
    setFileName(chosen.name);
    const at = core._mnr_back_input(chosen.size);
    file = chosen;
    readOffset = 0;
    try {
      for (let done = 0; done < chosen.size;) {
        const copied = copyInput(at + done, Math.min(kPiece, chosen.size - done));
        if (copied === 0) throw new Error(`${chosen.name} ended before its size`);
        done += copied;
        onProgress(done, chosen.size);
      }
    } finally {
      file = null;
    }
    onProgress(0, 0);
    core._mnr_take_invalid_bytes();
    let n;
    const pieces = collect(() => { n = core._mnr_write_back(kind === 'csv' ? 1 : 0, formulaGuard ? 1 : 0); });
    const messages = resultText(n < 0 ? -1 - n : n).split('\n').slice(0, -1);
    return n < 0 ? { messages } : { ...download(name, pieces, 'application/octet-stream'), messages };
  },
  xlsx: ({ base }) => single(`${base}.xlsx`, 'application/vnd.openxmlformats-officedocument.spreadsheetml.sheet',
                             () => core._mnr_write_xlsx()),
};

onmessage = async ({ data: { id, action, args } }) => {
  if (!Object.hasOwn(actions, action)) {
    postMessage({ id, error: `unknown action: ${action}` });
    return;
  }
  if (!core && action !== 'start') {
    postMessage({ id, error: 'the converter has not started' });
    return;
  }
  onProgress = (done, total) => postMessage({ id, progress: { done, total } });
  try {
    postMessage({ id, result: await actions[action](args ?? {}) });
  } catch (error) {
    postMessage({ id, error: String(error?.message ?? error) });
  } finally {
    onProgress = () => {};
  }
};
