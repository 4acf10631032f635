// What the browser tests and the benchmark share: the built page served on
// a loopback port or opened from disk, Debian's chromium and firefox-esr
// started headless and driven by puppeteer-core (Chromium through its
// DevTools protocol, Firefox through WebDriver BiDi), downloads caught in a
// folder of the test's own, and mnr2txt's output for a problem file.
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

export const root = fileURLToPath(new URL('../..', import.meta.url)).replace(/\/$/, '');
export const site = process.env.MUNEMOJI_SITE ?? path.join(root, 'build/web/site');
export const singleFile = process.env.MUNEMOJI_PAGE ?? path.join(root, 'build/web/munemoji.html');
export const nativeBuild = process.env.MUNEMOJI_BUILD ?? path.join(root, 'build/linux');
export const mnr2txt = path.join(nativeBuild, 'cli/mnr2txt');
export const txt2mnr = path.join(nativeBuild, 'cli/txt2mnr');

export const engines = ['chromium', 'firefox'];
// How the page is opened: from its web server, or the one file from disk.
export const modes = ['served', 'file'];

const kTypes = { '.html': 'text/html', '.js': 'text/javascript' };

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
    close: () => new Promise((done) => {
      server.closeAllConnections();
      server.close(done);
    }),
  })));
}

export const fileUrl = () => pathToFileURL(singleFile).href;

export function tempDir() {
  return fs.mkdtempSync(path.join(os.tmpdir(), 'munemoji-web-'));
}

// The browser of an engine, headless, its language Japanese (the page
// speaks the browser's language) unless another is asked for. This
// machine's closed network refuses Chromium's own connections: none are made.
export async function launch(engine, language = 'ja') {
  if (engine === 'firefox') {
    return puppeteer.launch({
      browser: 'firefox',
      executablePath: process.env.MUNEMOJI_FIREFOX ?? '/usr/bin/firefox-esr',
      headless: true,
      extraPrefsFirefox: { 'intl.accept_languages': language, 'intl.locale.requested': language },
    });
  }
  return puppeteer.launch({
    browser: 'chrome',
    executablePath: process.env.MUNEMOJI_CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', `--lang=${language}`, `--accept-lang=${language}`],
  });
}

// A fresh context of browser (its own storage and download folder) with the
// page opened at url, ready once the converter has started. What the page
// reports as an error, and every Content-Security-Policy violation, is
// collected in session.errors. Close with session.close().
export async function openPage(browser, url) {
  const downloads = tempDir();
  const context = await browser.createBrowserContext({ downloadBehavior: { policy: 'allow', downloadPath: downloads } });
  const page = await context.newPage();
  const errors = [];
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(`console: ${message.text()}`);
  });
  page.on('pageerror', (error) => errors.push(`page error: ${error.message ?? error}`));
  await page.evaluateOnNewDocument(() => {
    document.addEventListener('securitypolicyviolation', (event) => {
      (window.violations ??= []).push(`${event.violatedDirective} ${event.blockedURI}`);
    });
  });
  await page.goto(url);
  await page.waitForSelector('body[data-ready]');
  return {
    page, downloads, errors,
    close: async () => {
      await context.close();
      fs.rmSync(downloads, { recursive: true, force: true });
    },
  };
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

// What txt2mnr makes of file (run in its folder, given the bare name, as the
// page knows it, in Japanese as the page speaks): { status, bytes, messages }, bytes the problem
// file written (null when none), messages its diagnostics as the page shows
// them (without the program's name and the closing "nothing written").
export function txt2mnrOutput(file, ...options) {
  const dir = tempDir();
  const out = path.join(dir, 'out.mnr');
  const run = spawnSync(txt2mnr, [...options, '-o', out, path.basename(file)],
                        { cwd: path.dirname(file), env: { ...process.env, LC_ALL: 'ja_JP.UTF-8', LANGUAGE: '' } });
  const bytes = fs.existsSync(out) ? fs.readFileSync(out) : null;
  fs.rmSync(dir, { recursive: true });
  const messages = run.stderr.toString('utf8').split('\n').slice(0, -1).map((line) => line.replace(/^txt2mnr: /, ''));
  if (run.status !== 0) messages.pop();
  return { status: run.status, bytes, messages };
}

// What the page shows in an element.
export const textOf = (page, id) => page.$eval(`#${id}`, (element) => element.textContent);

// Waits until the element's text is text; on a time-out, says what it was.
export async function waitForText(page, id, text, timeout = 30_000) {
  try {
    await page.waitForFunction((id, text) => document.getElementById(id).textContent === text,
                               { timeout, polling: 50 }, id, text);
  } catch (error) {
    throw new Error(`#${id} never read ${JSON.stringify(text)}, but ${JSON.stringify(await textOf(page, id))}`);
  }
}

// The file the browser saved after click(): { name, bytes }; the folder is
// emptied for the next one. A download is complete when no partial file
// (Chromium's .crdownload, Firefox's .part) is left beside it, it has bytes
// (Firefox holds the name with an empty file first; no output of the page
// is empty) and two looks in a row find it under the same name and size
// (Firefox may write a file under a name of its own and rename it).
export async function downloadBytes(session, click) {
  const { page, downloads } = session;
  await click();
  const until = performance.now() + 30_000;
  let last = '';
  for (;;) {
    const names = fs.readdirSync(downloads);
    const partial = names.some((name) => /\.(crdownload|part)$/.test(name));
    const size = names.length === 1 && !partial ? fs.statSync(path.join(downloads, names[0]), { throwIfNoEntry: false })?.size : 0;
    const seen = size > 0 ? `${names[0]}\n${size}` : '';
    if (seen && seen === last) {
      const file = path.join(downloads, names[0]);
      const bytes = fs.readFileSync(file);
      fs.rmSync(file);
      return { name: names[0], bytes };
    }
    last = seen;
    if (names.length > 1 && !partial) throw new Error(`several downloads at once: ${names.join(', ')}`);
    if (performance.now() > until) {
      const shown = [await textOf(page, 'Panel_Help'), await page.evaluate(() => document.body.getAttribute('aria-busy'))];
      throw new Error(`no download (status line, busy: ${JSON.stringify(shown)}; folder: ${names.join(', ')})`);
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// Chooses file in the page's open control (or another file input).
export async function chooseFile(page, file, input = 'OpenDialog') {
  await (await page.$(`#${input}`)).uploadFile(file);
}

// Drops a file of these bytes on the page.
export async function dropFile(page, name, bytes) {
  await page.evaluate((name, data) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([Uint8Array.from(atob(data), (c) => c.charCodeAt(0))], name));
    document.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, name, Buffer.from(bytes).toString('base64'));
}
