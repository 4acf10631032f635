// Build tool: makes the page one self-contained file, munemoji.html, from
// the page's template and parts: its style and script inline (the script's
// files in one function, in the order of kScripts); the worker's script (the
// core's loader and worker.js) and the core's WebAssembly (base64) in
// non-executed script blocks that the page reads; the pictures as data:
// URLs; the licences of what it carries, for its About. The file carries a
// Content-Security-Policy that allows exactly its own style and script (by
// their SHA-256), a worker from a blob: URL, WebAssembly, and data: pictures.
//   node make-page.mjs OUT.html CORE.js CORE.wasm PICTURES_DIR [TITLE=LICENCE_FILE ...]
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const [out, coreJs, coreWasm, pictures, ...licences] = process.argv.slice(2);
if (!pictures) {
  console.error('usage: node make-page.mjs OUT.html CORE.js CORE.wasm PICTURES_DIR [TITLE=LICENCE_FILE ...]');
  process.exit(2);
}
// Each uses what those before it define.
const kScripts = ['texts.js', 'converter.js', 'fieldsize.js', 'problemset.js', 'editor.js', 'search.js', 'app.js'];
const web = path.dirname(path.dirname(fileURLToPath(import.meta.url)));
const read = (file) => fs.readFileSync(path.resolve(web, file), 'utf8');

// Text inside a <script> or <style> element ends at the first "</script"
// or "</style"; "<!--" changes how it is parsed. Neither may appear.
function inline(name, text) {
  if (/<\/(script|style)|<!--/i.test(text)) throw new Error(`${name} holds text that would end its element early`);
  return text;
}

const worker = [read(coreJs), read('worker.js')].join('\n');
const style = read('style.css');
const app = `'use strict';\n(() => {\n${kScripts.map((file) => read(file)).join('\n')}\n})();\n`;
const sha256 = (text) => `'sha256-${crypto.createHash('sha256').update(text, 'utf8').digest('base64')}'`;
const csp = [
  "default-src 'none'",
  `script-src ${sha256(app)} 'wasm-unsafe-eval'`,
  `style-src ${sha256(style)}`,
  "img-src data:",
  // blob: the converter; 'self': the offline service worker of the served page.
  "worker-src blob: 'self'",
  "base-uri 'none'",
  "form-action 'none'",
].join('; ');

const escape = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
const licenceBlocks = () => licences.map((licence) => {
  const [title, file] = licence.split(/=(.*)/s);
  return `<details><summary>${escape(title)}</summary><pre>${escape(fs.readFileSync(file, 'utf8'))}</pre></details>`;
}).join('\n');
const picture = (name) =>
  `data:image/svg+xml;base64,${fs.readFileSync(path.join(pictures, `${name}.svg`)).toString('base64')}`;
const parts = {
  csp: () => csp,
  style: () => inline('style.css', style),
  app: () => inline('app.js', app),
  worker: () => inline('the worker', worker),
  wasm: () => fs.readFileSync(coreWasm).toString('base64'),
  licences: licenceBlocks,
};
const page = read('munemoji.html').replace(/\{\{(\w+)(?: ([\w-]+))?\}\}/g, (_, part, arg) => {
  if (part === 'picture') return picture(arg);
  if (!parts[part]) throw new Error(`munemoji.html: unknown part {{${part}}}`);
  return parts[part]();
});
fs.writeFileSync(out, page);
console.log(`${path.basename(out)}: ${(Buffer.byteLength(page) / 1024).toFixed(0)} KiB`);
