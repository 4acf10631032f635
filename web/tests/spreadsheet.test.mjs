// The core module's spreadsheet outputs in the browser, apart from the page
// around them: the workbook (mnr_write_xlsx) and the guarded CSV
// (mnr_write_csv) streamed in a worker, byte for byte what mnr2txt writes
// for the same problem file. Random sets hold texts of every kind (control
// bytes, formula-like starts, bytes that are not CP932).
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { launch, mnr2txt, nativeBuild, root, tempDir } from './harness.mjs';

// The module as emscripten builds it (scripts/build-web.sh).
const moduleDir = process.env.MUNEMOJI_MODULE ?? path.join(root, 'build/web/module');

// Loads the bytes it is sent (handing the core what it asks for, from where
// it asks), answers with both outputs' bytes and the count of bytes written
// as U+FFFD. A classic worker, as the page's is.
const kWorker = `importScripts('/munemoji-core.js');
let core;
const ready = fetch('/munemoji-core.wasm').then((r) => r.arrayBuffer())
  .then(async (wasm) => { core = await createCore({ wasmBinary: new Uint8Array(wasm) }); });
const collect = (write) => {
  let bytes = new Uint8Array(0);
  core.onPiece = (piece) => { const more = new Uint8Array(bytes.length + piece.length); more.set(bytes); more.set(piece, bytes.length); bytes = more; };
  core.onRewrite = (offset, piece) => bytes.set(piece, offset);
  write();
  core.onPiece = core.onRewrite = null;
  return bytes.buffer;
};
onmessage = async ({ data }) => {
  await ready;
  core.readInput = (at, offset, count) => {
    const piece = data.subarray(offset, offset + count);
    core.HEAPU8.set(piece, at);
    return piece.length;
  };
  core.onProgress = () => {};
  if (core._mnr_load(data.length) !== 1) return postMessage({ loaded: false });
  const xlsx = await collect(() => core._mnr_write_xlsx());
  const xlsxInvalid = core._mnr_take_invalid_bytes();
  const csv = await collect(() => core._mnr_write_csv());
  postMessage({ loaded: true, xlsx, csv, xlsxInvalid, csvInvalid: core._mnr_take_invalid_bytes() });
};
ready.then(() => postMessage('ready'));
`;

let server;
let browser;
before(async () => {
  const types = { '.js': 'text/javascript', '.wasm': 'application/wasm' };
  server = http.createServer((request, response) => {
    const name = new URL(request.url, 'http://x').pathname;
    if (name === '/') return response.writeHead(200, { 'content-type': 'text/html' }).end('<!doctype html><title>core</title>');
    if (name === '/worker.js') return response.writeHead(200, { 'content-type': 'text/javascript' }).end(kWorker);
    const file = path.join(moduleDir, path.basename(name));
    if (!name.startsWith('/munemoji-core.') || !fs.existsSync(file)) return response.writeHead(404).end();
    response.writeHead(200, { 'content-type': types[path.extname(file)] });
    fs.createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  browser = await launch('chromium');
});
after(async () => {
  await browser?.close();
  await new Promise((done) => server?.close(done));
});

// What the module in a worker makes of the problem file's bytes.
async function moduleOutputs(page, bytes) {
  const result = await page.evaluate(async (data) => {
    const worker = new Worker('/worker.js');
    await new Promise((resolve) => { worker.onmessage = resolve; });
    const answer = await new Promise((resolve) => {
      worker.onmessage = ({ data }) => resolve(data);
      worker.postMessage(new Uint8Array(data));
    });
    worker.terminate();
    if (!answer.loaded) return answer;
    return { ...answer, xlsx: Array.from(new Uint8Array(answer.xlsx)), csv: Array.from(new Uint8Array(answer.csv)) };
  }, Array.from(bytes));
  assert.ok(result.loaded, 'the module did not load the problem file');
  return { ...result, xlsx: Buffer.from(result.xlsx), csv: Buffer.from(result.csv) };
}

// mnr2txt's output on standard output, and the count its warning gives.
function mnr2txtOutput(file, format) {
  const run = spawnSync(mnr2txt, [format, '-o', '-', file], { stdio: ['ignore', 'pipe', 'pipe'] });
  assert.equal(run.status, 0, run.stderr.toString());
  const warning = /warning: (\d+) byte/.exec(run.stderr.toString());
  return { bytes: run.stdout, invalid: warning ? Number(warning[1]) : 0 };
}

test('the workbook and the guarded CSV of the module are mnr2txt\'s, byte for byte', { timeout: 120_000 }, async () => {
  const dir = tempDir();
  execFileSync(path.join(nativeBuild, 'tests/web/make-random-sets'), [dir, '3', '1209']);
  const files = [path.join(root, 'samples/sample.mnr'), ...[0, 1, 2].map((n) => path.join(dir, `random${n}.mnr`))];
  const page = await browser.newPage();
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  for (const file of files) {
    const outputs = await moduleOutputs(page, fs.readFileSync(file));
    const name = path.basename(file);
    const xlsx = mnr2txtOutput(file, '--xlsx');
    const csv = mnr2txtOutput(file, '--csv');
    assert.ok(outputs.xlsx.equals(xlsx.bytes), `${name}: the workbook differs from mnr2txt's`);
    assert.ok(outputs.csv.equals(csv.bytes), `${name}: the CSV differs from mnr2txt's`);
    assert.deepEqual([outputs.xlsxInvalid, outputs.csvInvalid], [xlsx.invalid, csv.invalid], `${name}: U+FFFD counts`);
  }
  await page.close();
  fs.rmSync(dir, { recursive: true });
});
