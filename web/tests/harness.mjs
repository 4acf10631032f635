// What the browser tests and the benchmark share: the built page served on
// a loopback port, Debian's chromium started headless with a fresh profile,
// and mnr2txt's output for a problem file.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

export const root = fileURLToPath(new URL('../..', import.meta.url)).replace(/\/$/, '');
export const site = process.env.MUNEMOJI_SITE ?? path.join(root, 'build/web/site');
export const nativeBuild = process.env.MUNEMOJI_BUILD ?? path.join(root, 'build/linux');
export const mnr2txt = path.join(nativeBuild, 'cli/mnr2txt');

const kTypes = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
                 '.wasm': 'application/wasm', '.svg': 'image/svg+xml' };

// Serves the page folder on 127.0.0.1; resolves to { url, close }.
export function serveSite() {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(site, name.endsWith('/') ? `${name}index.html` : name);
    if (!file.startsWith(site) || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'content-type': kTypes[path.extname(file)] ?? 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve({
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((done) => server.close(done)),
  })));
}

// A fresh chromium, headless, with a fresh profile folder of its own. This
// machine's closed network refuses Chromium's own connections: none are made.
async function startBrowser() {
  const profile = tempDir();
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.MUNEMOJI_CHROMIUM ?? '/usr/bin/chromium',
    acceptDownloads: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  // Chromium may still be writing the profile as it closes: retried, and a
  // leftover in the temporary folder is no failure.
  context.on('close', () => {
    try {
      fs.rmSync(profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 100 });
    } catch {}
  });
  return context;
}

export function tempDir() {
  return fs.mkdtempSync(path.join(os.tmpdir(), 'munemoji-web-'));
}

// mnr2txt's files for problemFile, written into a fresh folder: { name: bytes }.
// It runs in the file's folder and is given the bare name, the name the page
// knows (and the JSON output carries).
export function mnr2txtOutputs(problemFile, ...options) {
  const dir = tempDir();
  execFileSync(mnr2txt, [...options, '-o', dir, path.basename(problemFile)],
               { cwd: path.dirname(problemFile), stdio: ['ignore', 'ignore', 'inherit'] });
  const files = {};
  for (const name of fs.readdirSync(dir)) files[name] = fs.readFileSync(path.join(dir, name));
  fs.rmSync(dir, { recursive: true });
  return files;
}

// The served site in a fresh browser, ready once the converter has started;
// close with page.context().close().
export async function openPage(url) {
  const context = await startBrowser();
  const page = context.pages()[0] ?? await context.newPage();
  page.on('pageerror', (error) => console.error('page error:', error));
  await page.goto(url);
  await page.waitForSelector('body[data-ready]');
  return page;
}

// The download a click starts; on a time-out, says what the page showed.
// Chromium drops now and then a download that follows another too closely
// (seen here about once in ten at a few hundred ms): a second between them,
// as between a person's clicks.
const lastDownload = new WeakMap();
export async function downloadBytes(page, click) {
  const since = performance.now() - (lastDownload.get(page) ?? -Infinity);
  if (since < 1000) await page.waitForTimeout(1000 - since);
  lastDownload.set(page, performance.now());
  const waiting = page.waitForEvent('download', { timeout: 30_000 }).catch(async (error) => {
    const shown = await page.evaluate(() => [document.getElementById('Panel_Help').textContent,
                                             document.body.getAttribute('aria-busy')]);
    throw new Error(`no download (status line, busy: ${JSON.stringify(shown)}): ${error.message}`);
  });
  const [download] = await Promise.all([waiting, click()]);
  return { name: download.suggestedFilename(), bytes: fs.readFileSync(await download.path()) };
}
