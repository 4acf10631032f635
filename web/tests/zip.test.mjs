// The page's zip writer (zip.js) without a browser: its archive read back by
// Debian's unzip (which checks every CRC-32 and shows how entries are
// marked) and by fflate, entry for entry.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import vm from 'node:vm';
import zlib from 'node:zlib';
import { unzipSync } from 'fflate';
import { tempDir } from './harness.mjs';

const scope = vm.createContext({ TextEncoder, Uint8Array, DataView, Math, Error });
vm.runInContext(fs.readFileSync(new URL('../zip.js', import.meta.url), 'utf8'), scope);
const storedZip = (...args) => vm.runInContext('storedZip', scope)(...args);

test('stored entries in pieces, with their CRC-32: unzip finds no error, Unix marks, UTF-8 names, the given time; every byte back', () => {
  const files = {
    'むねり問題0.txt': Buffer.from('歴史\r\n\r\n問題？\r\n'.repeat(1000)),
    'empty.txt': Buffer.alloc(0),
    'bytes.bin': Buffer.from([...Array(256).keys()].flatMap((b) => [b, 255 - b])),
  };
  const entries = Object.entries(files).map(([name, bytes]) => ({
    name,
    // Pieces of uneven sizes, as the core hands them.
    pieces: [bytes.subarray(0, 7), bytes.subarray(7, 300), bytes.subarray(300)],
    size: bytes.length,
    crc: zlib.crc32(bytes),
  }));
  const zip = Buffer.concat(storedZip(entries, new Date(2026, 11, 8, 20, 41, 30)));

  const dir = tempDir();
  const file = path.join(dir, 'eight.zip');
  fs.writeFileSync(file, zip);
  const env = { ...process.env, LC_ALL: 'C.UTF-8' };
  const tested = execFileSync('unzip', ['-t', file], { env }).toString('utf8');
  assert.match(tested, /No errors detected/);
  const listed = execFileSync('unzip', ['-Z', '-T', file], { env }).toString('utf8').split('\n').slice(2, -2);
  assert.deepEqual(listed.map((line) => line.replace(/ +/g, ' ')), [
    `-rw-r--r-- 2.0 unx ${files['むねり問題0.txt'].length} b- stor 20261208.204130 むねり問題0.txt`,
    '-rw-r--r-- 2.0 unx 0 b- stor 20261208.204130 empty.txt',
    '-rw-r--r-- 2.0 unx 512 b- stor 20261208.204130 bytes.bin',
  ]);
  const read = Object.fromEntries(Object.entries(unzipSync(zip)).map(([name, bytes]) => [name, Buffer.from(bytes)]));
  assert.deepEqual(Object.keys(read), Object.keys(files));
  for (const name of Object.keys(files)) assert.ok(read[name].equals(files[name]), name);
  fs.rmSync(dir, { recursive: true });
});
