// The converter, off the page's main thread: keeps the chosen problem file,
// lets the core read from it what it needs for each request (only the bytes
// the core asks for), answers with what the window shows and the texts of
// the problems the page shows, makes the output files' bytes, finds texts,
// and writes the page's edited set as a problem file.
//
// Runs as a classic script from a blob: URL, after the core's script
// (defining createCore). Each request is {id, action, args}; the answer is
// {id, result} or {id, error}, with {id, progress: {done, total}} on the way.
// An action is one entry of `actions` below.
'use strict';

const kGenres = 8;
const kPiece = 16 << 20;  // a CSV or JSON is read in pieces, for progress
// The core's names for its outputs (NameKind in web/module/Module.cpp).
const kNames = { genre: 0, oneFile: 1, csv: 2, json: 3, xlsx: 4, zip: 5, problemFile: 6 };
// Search hits sent back with their texts; the rest are only counted.
const kHitsKept = 500;
const utf8 = new TextDecoder();
const toUtf8 = new TextEncoder();
let core = null;
let file = null;    // the chosen file
let source = null;  // what the core reads from: the chosen file, or the edited set made from it
let onProgress = () => {};

// The bytes of the core's result buffer after a call that returned n.
const resultBytes = (n) => core.HEAPU8.slice(core._mnr_result(), core._mnr_result() + n);
const resultText = (n) => utf8.decode(resultBytes(n));
const genreLines = () => Array.from({ length: kGenres }, (_, g) => resultText(core._mnr_genre_line(g)));
const outputName = (kind, genre = 0) => resultText(core._mnr_output_name(kind, genre));

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

// Hands bytes to the core (mnr_buffer); returns how many.
function give(bytes) {
  const at = core._mnr_buffer(bytes.length);
  core.HEAPU8.set(bytes, at);  // read after the call: making room may move the memory
  return bytes.length;
}
const giveText = (text) => give(toUtf8.encode(text));
// Texts as the core's fields: each after its length.
function giveFields(texts) {
  const encoded = texts.map((text) => toUtf8.encode(text));
  const bytes = new Uint8Array(encoded.reduce((n, e) => n + 4 + e.length, 0));
  const view = new DataView(bytes.buffer);
  let at = 0;
  for (const e of encoded) {
    view.setUint32(at, e.length, true);
    bytes.set(e, at + 4);
    at += 4 + e.length;
  }
  give(bytes);
}
const giveNumbers = (numbers) => give(new Uint8Array(numbers.buffer, numbers.byteOffset, numbers.byteLength)) / 4;

// The core asks for count bytes of the chosen file from offset, at its
// memory's offset `at`. Reading synchronously is allowed in a worker and is
// much faster than promises.
function readInput(at, offset, count) {
  const bytes = new Uint8Array(new FileReaderSync().readAsArrayBuffer(source.slice(offset, offset + count)));
  core.HEAPU8.set(bytes, at);
  return bytes.length;
}

// The core's memory, which never shrinks: the page starts a new worker when
// it has grown beyond what a fresh one holds.
const memory = () => core.HEAPU8.buffer.byteLength;

// The pieces an output writer of the core streams; a rewrite puts bytes in
// place of ones it streamed earlier (a zip's headers).
function collect(write) {
  const pieces = [];
  core.onPiece = (piece) => pieces.push(piece);
  core.onRewrite = (offset, bytes) => {
    for (let at = 0, i = 0; i < pieces.length && bytes.length > 0; at += pieces[i++].length) {
      const piece = pieces[i];
      if (offset >= at + piece.length) continue;
      const into = offset - at, n = Math.min(bytes.length, piece.length - into);
      piece.set(bytes.subarray(0, n), into);
      bytes = bytes.subarray(n);
      offset += n;
    }
  };
  try {
    write();
  } finally {
    core.onPiece = core.onRewrite = null;
  }
  return pieces;
}

// An output file to download, and what making it found.
function download(name, pieces, type) {
  const blob = new Blob(pieces, { type });
  return { name, blob, size: blob.size, invalidBytes: core._mnr_take_invalid_bytes(), memory: memory() };
}

// One output file, streamed by the core.
function single(name, type, write) {
  onProgress(0, 0);
  core._mnr_take_invalid_bytes();
  return download(name, collect(write), type);
}

const encodingFlag = (args) => (args.utf8 ? 1 : 0);

// The name the core gives the outputs, writes into the JSON and its messages.
function setFileName(name) {
  const bytes = toUtf8.encode(name);
  const at = core._mnr_file_name(bytes.length);
  core.HEAPU8.set(bytes, at);
}

// A date as the zip's entries carry it (local time, DOS form).
function dosStamp(date) {
  const year = Math.max(date.getFullYear(), 1980);
  return [(date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1),
          ((year - 1980) << 9) | ((date.getMonth() + 1) << 5) | date.getDate()];
}

// The page's edited set ({names, genres, problems}: each genre a list of
// numbers, a problem of the file as genre * 32768 + place, or -1 - k for
// problems[k], {from, texts}) written as a problem file through the core:
// {ok, pieces, messages}; the bytes after the file's last record come from
// the file itself, however many.
function writeEdited(edits) {
  core._mnr_edit_begin();
  edits.names.forEach((name, g) => {
    if (name !== null) core._mnr_edit_name(g, giveText(name));
  });
  edits.genres.forEach((list, g) => {
    for (let at = 0; at < list.length;) {
      let end = at;
      while (end < list.length && list[end] >= 0) ++end;
      if (end > at) core._mnr_edit_carry(g, giveNumbers(list.subarray(at, end)));
      if (end < list.length) {
        const problem = edits.problems[-1 - list[end]];
        giveFields(problem.texts);
        core._mnr_edit_problem(g, problem.from);
        ++end;
      }
      at = end;
    }
  });
  let n = 0;
  const pieces = collect(() => { n = core._mnr_edit_finish(); });
  const fields = resultFields(n < 0 ? -1 - n : n);
  const messages = [];
  for (let i = 0; i < fields.length; i += 2) {
    const [error, genre, problem, field] = fields[i].split(' ').map(Number);
    messages.push({ error: error === 1, genre, problem, field, text: fields[i + 1] });
  }
  if (n >= 0) pieces.push(file.slice(core._mnr_used_size()));
  return { ok: n >= 0, pieces, messages };
}

// Runs an output (named name) over the set as the page has it: the chosen
// file, or with edits the problem file they make, which the core then reads
// instead.
function fromSet(edits, name, output) {
  if (!edits) return output();
  onProgress(0, 0);
  const made = writeEdited(edits);
  if (!made.ok) return { refused: true, name, messages: made.messages };
  source = new Blob(made.pieces);
  try {
    core._mnr_load(source.size);
    return { ...output(), messages: made.messages };
  } finally {
    source = file;
    core._mnr_load(file.size);
  }
}

// The search index of the file is made a piece at a time while the worker
// has nothing else to do: each piece is a task of its own, so requests come
// in between.
function indexInBackground() {
  setTimeout(() => {
    if (core._mnr_index_step() === 0) indexInBackground();
  }, 0);
}

const actions = {
  // The core from the WebAssembly bytes the page holds, speaking the page's
  // language; the window's texts by name, the empty genre list, what this
  // core can write, its version, and each character's size in CP932.
  async start({ wasm, japanese }) {
    core = await createCore({ wasmBinary: wasm });
    core.readInput = readInput;
    core.onProgress = (done, total) => onProgress(done, total);
    core._mnr_use_language(japanese ? 1 : 0);
    const fields = resultFields(core._mnr_messages());
    const texts = {};
    for (let i = 0; i < fields.length; i += 2) texts[fields[i]] = fields[i + 1];
    return {
      texts, lines: genreLines(), memory: memory(), xlsx: typeof core._mnr_write_xlsx === 'function',
      version: resultText(core._mnr_version()), sizes: resultBytes(core._mnr_cp932_sizes()),
    };
  },

  // The genre lines, names, counts and genre files' names of the chosen
  // file, when it is a problem file.
  load({ file: chosen }) {
    file = source = chosen;
    setFileName(chosen.name);
    const ok = core._mnr_load(chosen.size) === 1;
    if (!ok) file = source = null;
    core._mnr_index_begin();
    indexInBackground();
    return {
      ok, lines: genreLines(), memory: memory(),
      names: ok ? Array.from({ length: kGenres }, (_, g) => resultText(core._mnr_genre_name(g))) : [],
      counts: ok ? Array.from({ length: kGenres }, (_, g) => core._mnr_problem_count(g)) : [],
      genreFileNames: ok ? Array.from({ length: kGenres }, (_, g) => outputName(kNames.genre, g)) : [],
    };
  },

  // The question and choices of each problem of the file named by number
  // (genre * 32768 + place): [[question, choice 1, ... choice 5], ...].
  texts({ refs }) {
    const count = giveNumbers(Int32Array.from(refs));
    const fields = resultFields(core._mnr_problem_texts(count));
    core._mnr_take_invalid_bytes();
    const width = 1 + core._mnr_choice_count();
    return Array.from({ length: count }, (_, n) => fields.slice(n * width, (n + 1) * width));
  },

  // The edited set as a problem file, or the reasons it cannot be written.
  save({ edits }) {
    onProgress(0, 0);
    const name = outputName(kNames.problemFile);
    const made = writeEdited(edits);
    if (!made.ok) return { name, refused: true, messages: made.messages };
    return { ...download(name, made.pieces, 'application/octet-stream'), messages: made.messages };
  },

  // The text in the file's questions and choices, and in the page's own
  // texts: {found, hits: [{genre, place, field, text}] (the first of them),
  // matched: the indices of the page's texts that hold it}.
  search({ needle, texts }) {
    core._mnr_search_for(giveText(needle));
    const found = core._mnr_search_file(kHitsKept);
    const fields = resultFields(core._mnr_result_size());
    core._mnr_take_invalid_bytes();
    const hits = [];
    for (let i = 0; i < fields.length; i += 2) {
      const [genre, place, field] = fields[i].split(' ').map(Number);
      hits.push({ genre, place, field, text: fields[i + 1] });
    }
    return { found, hits, matched: texts.flatMap((text, i) => (core._mnr_search_text(giveText(text)) ? [i] : [])) };
  },

  // The eight genre files in one zip (browsers refuse several downloads at
  // once). Stored, not deflated: deflating 64 MiB of text would take
  // seconds, and the zip never leaves the machine.
  eight({ utf8: wantUtf8, edits }) {
    const name = outputName(kNames.zip);
    return fromSet(edits, name, () => {
      core._mnr_take_invalid_bytes();
      const [time, date] = dosStamp(new Date());
      return download(name, collect(() => core._mnr_write_genre_zip(wantUtf8 ? 1 : 0, time, date)), 'application/zip');
    });
  },
  genre(args) {
    const name = outputName(kNames.genre, args.genre);
    return fromSet(args.edits, name, () => single(name, 'text/plain',
                                                  () => core._mnr_write_genre(args.genre, encodingFlag(args))));
  },
  oneFile(args) {
    const name = outputName(kNames.oneFile);
    return fromSet(args.edits, name, () => single(name, 'text/plain', () => core._mnr_write_one_file(encodingFlag(args))));
  },
  csv(args) {
    const name = outputName(kNames.csv);
    return fromSet(args.edits, name, () => single(name, 'text/csv', () => core._mnr_write_csv()));
  },
  json(args) {
    const name = outputName(kNames.json);
    return fromSet(args.edits, name, () => single(name, 'application/json', () => core._mnr_write_json()));
  },
  xlsx(args) {
    const name = outputName(kNames.xlsx);
    return fromSet(args.edits, name, () => single(
      name, 'application/vnd.openxmlformats-officedocument.spreadsheetml.sheet', () => core._mnr_write_xlsx()));
  },
  // The way back: a CSV or JSON (kind 'csv' or 'json') read whole into the
  // core, checked and written as txt2mnr does; encoding (a CSV's: 'decide',
  // 'utf8' or 'cp932') as txt2mnr's --encoding. Its messages (as txt2mnr
  // words them, without the program's name) come with the problem file, or
  // alone when it cannot be written, with whether the CSV reads two ways.
  // A file larger than any CSV or JSON of a problem file (the core's bound,
  // txt2mnr's) is refused unread.
  writeBack({ file: chosen, kind, formulaGuard, encoding }) {
    const limit = core._mnr_back_limit(kind === 'csv' ? 1 : 0);
    if (chosen.size > limit) return { tooLarge: true, limit };
    setFileName(chosen.name);
    const name = outputName(kNames.problemFile);
    const at = core._mnr_back_input(chosen.size);
    const reader = new FileReaderSync();
    for (let done = 0; done < chosen.size;) {
      const piece = new Uint8Array(reader.readAsArrayBuffer(chosen.slice(done, Math.min(done + kPiece, chosen.size))));
      if (piece.length === 0) throw new Error(`${chosen.name} ended before its size`);
      core.HEAPU8.set(piece, at + done);
      done += piece.length;
      onProgress(done, chosen.size);
    }
    onProgress(0, 0);
    core._mnr_take_invalid_bytes();
    let n;
    const encodings = { decide: 0, utf8: 1, cp932: 2 };
    const pieces = collect(() => {
      n = core._mnr_write_back(kind === 'csv' ? 1 : 0, formulaGuard ? 1 : 0, encodings[encoding] ?? 0);
    });
    const messages = resultText(n < 0 ? -1 - n : n).split('\n').slice(0, -1);
    const asksEncoding = core._mnr_back_asks_encoding() === 1;
    return n < 0 ? { name, messages, asksEncoding } : { ...download(name, pieces, 'application/octet-stream'), messages };
  },
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
