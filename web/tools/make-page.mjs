// Build tool: makes the page one self-contained file, munemoji.html, from
// the page's template and parts: its style and script inline; the worker's
// script (the core's loader, the zip writer zip.js, and worker.js) and the
// core's WebAssembly (base64) in non-executed script blocks that the page
// reads; the pictures as data: URLs. The file carries a
// Content-Security-Policy that allows exactly its own style and script (by
// their SHA-256), a worker from a blob: URL, WebAssembly, and data: pictures.
//   node make-page.mjs OUT.html CORE.js CORE.wasm PICTURES_DIR
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const [out, coreJs, coreWasm, pictures] = process.argv.slice(2);
if (!pictures) {
  console.error('usage: node make-page.mjs OUT.html CORE.js CORE.wasm PICTURES_DIR');
  process.exit(2);
}
const web = path.dirname(path.dirname(fileURLToPath(import.meta.url)));
const read = (file) => fs.readFileSync(path.resolve(web, file), 'utf8');

// Text inside a <script> or <style> element ends at the first "</script"
// or "</style"; "<!--" changes how it is parsed. Neither may appear.
function inline(name, text) {
  if (/<\/(script|style)|<!--/i.test(text)) throw new Error(`${name} holds text that would end its element early`);
  return text;
}

const worker = [read(coreJs), read('zip.js'), read('worker.js')].join('\n');
const style = read('style.css');
const app = read('app.js');
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

const picture = (name) =>
  `data:image/svg+xml;base64,${fs.readFileSync(path.join(pictures, `${name}.svg`)).toString('base64')}`;
const parts = {
  csp: () => csp,
  style: () => inline('style.css', style),
  app: () => inline('app.js', app),
  worker: () => inline('the worker', worker),
  wasm: () => fs.readFileSync(coreWasm).toString('base64'),
};
const page = read('munemoji.html').replace(/\{\{(\w+)(?: ([\w-]+))?\}\}/g, (_, part, arg) => {
  if (part === 'picture') return picture(arg);
  if (!parts[part]) throw new Error(`munemoji.html: unknown part {{${part}}}`);
  return parts[part]();
});
fs.writeFileSync(out, page);
console.log(`${path.basename(out)}: ${(Buffer.byteLength(page) / 1024).toFixed(0)} KiB`);
