// The converter's message protocol, without a browser: worker.js run in a
// context of its own with a stand-in for the core's factory. Requests go in
// as {id, action, args}; every one gets exactly one answer, {id, result} or
// {id, error}.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { test } from 'node:test';
import vm from 'node:vm';

const source = fs.readFileSync(new URL('../worker.js', import.meta.url), 'utf8');

// A worker scope whose core knows no messages and writes no XLSX; returns
// send(request) resolving to the answers that request got.
function startWorker() {
  const answers = [];
  const core = {
    HEAPU8: new Uint8Array(64),
    _mnr_messages: () => 0, _mnr_result: () => 0, _mnr_genre_line: () => 0, _mnr_take_invalid_bytes: () => 0,
    _mnr_output_name: () => 0, _mnr_use_language: () => {}, _mnr_version: () => 0, _mnr_cp932_sizes: () => 0,
    _mnr_back_limit: (kind) => [1000, 2000][kind],  // the core's bounds: JSON, CSV
  };
  const scope = vm.createContext({
    postMessage: (message) => answers.push(structuredClone(message)),
    createCore: async () => core,
    TextDecoder, TextEncoder, Blob, DataView, Uint8Array, Math, Object, Array, String, Number,
  });
  vm.runInContext(source, scope);
  return async (request) => {
    const from = answers.length;
    await scope.onmessage({ data: request });
    return answers.slice(from);
  };
}

test('requests are answered by id through the table of actions; an unknown action or one before the start is an error', async () => {
  const send = startWorker();
  assert.deepEqual(await send({ id: 1, action: 'load', args: {} }), [{ id: 1, error: 'the converter has not started' }]);
  for (const [id, action] of [[2, 'nope'], [3, 'toString'], [4, '__proto__'], [5, 'constructor'], [6, undefined]]) {
    assert.deepEqual(await send({ id, action }), [{ id, error: `unknown action: ${action}` }]);
  }
  const [started] = await send({ id: 7, action: 'start', args: { wasm: new Uint8Array(0) } });
  assert.equal(started.id, 7);
  assert.equal(started.error, undefined);
  assert.deepEqual(started.result.texts, {});
  assert.deepEqual(started.result.lines, Array(8).fill(''));
  assert.equal(started.result.memory, 64);
  assert.equal(started.result.xlsx, false);
  // An action that fails answers once, with its error (after any progress),
  // and the next request still works.
  const answers = await send({ id: 8, action: 'csv', args: { base: 'x' } });
  assert.ok(answers.slice(0, -1).every((answer) => answer.id === 8 && answer.progress));
  const failed = answers.at(-1);
  assert.deepEqual(Object.keys(failed).sort(), ['error', 'id']);
  assert.equal(failed.id, 8);
  assert.match(failed.error, /_mnr_write_csv is not a function/);
  assert.deepEqual(await send({ id: 9, action: 'nope' }), [{ id: 9, error: 'unknown action: nope' }]);

  // A CSV or JSON over the core's bound for its kind is refused before the
  // core is asked for more (this core has none of the way back's other
  // calls: asking is an error); one byte less goes to the core.
  const file = (size) => ({ name: 'big.json', size, slice: () => assert.fail('the file was read') });
  for (const [id, kind, limit] of [[10, 'json', 1000], [12, 'csv', 2000]]) {
    assert.deepEqual(await send({ id, action: 'writeBack', args: { file: file(limit + 1), kind, name: 'big.mnr' } }),
                     [{ id, result: { tooLarge: true, limit } }]);
    const [asked] = await send({ id: id + 1, action: 'writeBack', args: { file: file(limit), kind, name: 'big.mnr' } });
    assert.match(asked.error, /^core\._mnr_\w+ is not a function$/);
  }
});
