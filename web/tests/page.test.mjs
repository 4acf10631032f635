// The page in real browsers: Debian's chromium and firefox-esr, each with
// the page served and with the one file opened from disk. Every download is
// held byte for byte to mnr2txt's output for the same problem file: all of
// them in one engine per way of opening (chromium served, firefox from
// disk), a few in the other two; the other checks run in all four.
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { unzipSync } from 'fflate';
import {
  chooseFile, downloadBytes, dropFile, engines, fileUrl, launch, mnr2txt, mnr2txtOutputs, modes, nativeBuild, openPage, root,
  serveSite, tempDir, textOf, waitForText,
} from './harness.mjs';

const sample = path.join(root, 'samples/sample.mnr');
const kEight = 'BitBtn_Decode1';
const kOne = 'BitBtn_Decode2';
const kNoFile = '読み込んでいる問題ファイルが無いにょ';
const kGenreList = '問題データのジャンル一覧にょ';
const kExported = '８つのテキストファイルを作ったにょ！';
const kNotAProblemFile = '問題ファイルじゃないにょ！';
const screenshots = path.join(root, 'build/web/screenshots');
fs.mkdirSync(screenshots, { recursive: true });

const lines = (bytes) => bytes.toString('utf8').split('\r\n').slice(0, -1);
const listLines = (page) => page.$$eval('#ListBox_Gerne li', (items) => items.map((item) => item.textContent));
const sampleUtf8 = mnr2txtOutputs(sample, '--utf8');
const sampleList = [...Array(8).keys()].map((g) => `${g}：${lines(sampleUtf8[`sample${g}.txt`])[0]}`);

// A genre file's problems: { question, choices } after the name line, each
// problem an empty line, its question and five choices.
function problemsOf(genreFile) {
  const [, ...rest] = lines(genreFile);
  const problems = [];
  for (let at = 0; at < rest.length; at += 7) problems.push({ question: rest[at + 1], choices: rest.slice(at + 2, at + 7) });
  return problems;
}

// How many bytes mnr2txt reports as not valid CP932 for these options.
function mnr2txtInvalidBytes(file, ...options) {
  const dir = tempDir();
  const run = spawnSync(mnr2txt, [...options, '-o', dir, file], { encoding: 'utf8' });
  fs.rmSync(dir, { recursive: true });
  const found = /warning: (\d+) byte\(s\) not valid CP932/.exec(run.stderr);
  return found ? Number(found[1]) : 0;
}

function assertSameFiles(actual, expected) {
  assert.deepEqual(Object.keys(actual).sort(), Object.keys(expected).sort());
  for (const name of Object.keys(expected)) assert.ok(actual[name].equals(expected[name]), `${name} differs from mnr2txt's`);
}

const click = (page, id) => () => page.click(`#${id}`);

// The zip the eight-file control hands over, as { name: bytes }; its
// entries' names are flagged UTF-8 and marked as made on Unix.
async function eightFiles(session) {
  const { name, bytes } = await downloadBytes(session, click(session.page, kEight));
  const files = Object.fromEntries(Object.entries(unzipSync(bytes)).map(([n, b]) => [n, Buffer.from(b)]));
  await session.page.waitForFunction((text) => document.getElementById('Panel_Help').textContent.startsWith(text),
                                     {}, kExported);
  return { name, bytes, files };
}

// One output; the status line names it (and counts bytes that were not
// CP932, if any).
async function singleFile(session, id) {
  const { name, bytes } = await downloadBytes(session, click(session.page, id));
  await session.page.waitForFunction((text) => document.getElementById('Panel_Help').textContent.startsWith(text),
                                     {}, `${name} を作ったにょ！`);
  return { [name]: bytes };
}

const choose = (page, encoding) => page.click(`input[name=encoding][value=${encoding}]`);

// Every download of the loaded file, in both encodings, against mnr2txt's
// output for the same file; leaves UTF-8 chosen.
async function assertEveryOutput(session, file) {
  const { page } = session;
  await choose(page, 'sjis');
  const zip = await eightFiles(session);
  assert.equal(zip.name, path.basename(file).replace(/\.mnr$/, '.zip'));
  assertSameFiles(zip.files, mnr2txtOutputs(file));
  assertSameFiles(await singleFile(session, kOne), mnr2txtOutputs(file, '--one-file'));
  assertSameFiles({ ...(await singleFile(session, 'Button_Csv')), ...(await singleFile(session, 'Button_Json')),
                    ...(await singleFile(session, 'Button_Xlsx')) },
                  { ...mnr2txtOutputs(file, '--csv'), ...mnr2txtOutputs(file, '--json'), ...mnr2txtOutputs(file, '--xlsx') });
  await choose(page, 'utf8');
  assertSameFiles((await eightFiles(session)).files, mnr2txtOutputs(file, '--utf8'));
  assertSameFiles(await singleFile(session, kOne), mnr2txtOutputs(file, '--one-file', '--utf8'));
}

async function loadAndWait(page, file, name = path.basename(file)) {
  await chooseFile(page, file);
  await waitForText(page, 'Panel_FileName', name, 60_000);
  await waitForText(page, 'Panel_Help', kGenreList);
}

async function assertWarningThenNoFile(page) {
  await page.waitForSelector('#Warning[open]', { timeout: 60_000 });
  assert.equal(await textOf(page, 'Warning_Title'), '警告');
  assert.equal(await textOf(page, 'Warning_Text'), kNotAProblemFile);
  await page.click('#Warning_Ok');
  await page.waitForSelector('#Warning:not([open])');
  assert.deepEqual(await listLines(page), ['0：', '1：', '2：', '3：', '4：', '5：', '6：', '7：']);
  assert.equal(await textOf(page, 'Panel_FileName'), '');
  assert.equal(await textOf(page, 'Panel_Help'), kNoFile);
  assert.ok(await page.$eval(`#${kEight}`, (button) => button.disabled));
}

// The problems section as shown: title, numbers, questions, choices (each
// in its field), and whether each empty text still takes its line and says
// it is empty.
const shownProblems = (page) => page.evaluate(() => ({
  title: document.getElementById('Problems_Title').textContent,
  problems: [...document.querySelectorAll('#Problems_List > li')].map((item) => ({
    number: item.value,
    question: item.querySelector('p textarea').value,
    choices: [...item.querySelectorAll('ol.choices > li input')].map((choice) => choice.value),
    numbered: getComputedStyle(item.querySelector('ol.choices')).listStyleType === 'decimal',
    emptyShown: [...item.querySelectorAll('textarea, input')].filter((text) => text.value === '').every((text) =>
      text.getBoundingClientRect().height > 0 && text.placeholder === '（空）'),
  })),
}));

for (const engine of engines) {
  describe(engine, () => {
    let browser, server;
    before(async () => {
      [browser, server] = await Promise.all([launch(engine), serveSite()]);
    });
    after(async () => {
      await browser?.close();
      await server?.close();
    });

    for (const mode of modes) {
      describe(mode, () => {
        const full = (engine === 'chromium') === (mode === 'served');
        // Each test has a browser context of its own, closed when it ends:
        // the blobs of one test's large outputs never weigh on the next.
        const newSession = async (t) => {
          const session = await openPage(browser, mode === 'served' ? server.url : fileUrl());
          t.after(() => session.close());
          return session;
        };

        test('by keyboard alone: the genre list one tab stop, arrows and Enter or Space show a genre\'s problems, numbered, empty choices shown; the policy holds and nothing is blocked', { timeout: 60_000 }, async (t) => {
          const session = await newSession(t);
          const { page } = session;
          assert.equal(await textOf(page, 'Panel_Help'), kNoFile);
          assert.deepEqual(await page.$eval('#Panel_Help', (status) => [status.getAttribute('role'), status.getAttribute('aria-live')]),
                           ['status', 'polite'], 'the status line is a live region');
          const policy = await page.$eval('meta[http-equiv=Content-Security-Policy]', (meta) => meta.content);
          assert.match(policy, /default-src 'none'/);
          assert.doesNotMatch(policy, /'unsafe-inline'|'unsafe-eval'|\*/);
          await loadAndWait(page, sample);
          assert.deepEqual(await listLines(page), sampleList);

          // From the open file's tab, the last stop before the list.
          await page.focus('#Files li:last-child .close');
          await page.keyboard.press('Tab');
          assert.equal(await page.evaluate(() => document.activeElement.id), 'ListBox_Gerne');
          assert.ok(await page.$eval('#ListBox_Gerne', (list) => list.matches(':focus-visible') &&
                                     getComputedStyle(list).outlineStyle !== 'none'), 'focus visible');
          // Down to genre 7 (it has empty choices), up one, down one.
          for (const key of [...Array(8).fill('ArrowDown'), 'ArrowDown', 'ArrowUp', 'ArrowDown']) await page.keyboard.press(key);
          assert.equal(await page.$eval('#ListBox_Gerne', (list) => list.getAttribute('aria-activedescendant')), 'Genre_7');
          assert.ok(await page.$eval('#Problems', (section) => section.hidden), 'nothing shown before Enter');
          await page.keyboard.press('Enter');
          await page.waitForSelector('#Problems_List > li');
          const expected = problemsOf(sampleUtf8['sample7.txt']);
          assert.ok(expected.some((problem) => problem.choices.includes('')), 'the sample has an empty choice in genre 7');
          const shown = await shownProblems(page);
          assert.equal(shown.title, sampleList[7]);
          assert.deepEqual(shown.problems.map(({ question, choices }) => ({ question, choices })), expected.slice(0, 50));
          assert.deepEqual(shown.problems.map((problem) => problem.number), expected.slice(0, 50).map((_, n) => n + 1));
          assert.ok(shown.problems.every((problem) => problem.numbered && problem.emptyShown));
          await page.screenshot({ path: path.join(screenshots, `keyboard-${engine}-${mode}.png`) });

          // Home and Space: genre 0.
          await page.keyboard.press('Home');
          await page.keyboard.press(' ');
          await page.waitForFunction((title) => document.getElementById('Problems_Title').textContent === title, {}, sampleList[0]);
          assert.deepEqual((await shownProblems(page)).problems.map(({ question, choices }) => ({ question, choices })),
                           problemsOf(sampleUtf8['sample0.txt']).slice(0, 50));
          assert.equal(await page.evaluate(() => document.activeElement.id), 'ListBox_Gerne');

          assert.deepEqual(session.errors, []);
          assert.deepEqual(await page.evaluate(() => window.violations ?? []), []);
          // The policy holds: a script put into the page does not run.
          await page.evaluate(() => {
            const script = document.createElement('script');
            script.textContent = 'window.injected = true';
            document.body.append(script);
          });
          assert.equal(await page.evaluate(() => window.injected), undefined);
          assert.ok((await page.evaluate(() => window.violations)).some((v) => v.startsWith('script-src')));
        });

        test(full ? 'every download as mnr2txt writes it, with the status saying what each made'
                  : 'the eight genre files and the UTF-8 one-file text as mnr2txt writes them', { timeout: 120_000 }, async (t) => {
          const session = await newSession(t);
          const { page } = session;
          await loadAndWait(page, sample);
          if (full) {
            await assertEveryOutput(session, sample);
            // One genre's file from the problems section.
            await page.click('#Genre_1');
            await page.waitForSelector('#Problems_List > li');
            const one = await downloadBytes(session, click(page, 'Problems_Download'));
            assert.equal(one.name, 'sample1.txt');
            assert.ok(one.bytes.equals(sampleUtf8['sample1.txt']));
            await waitForText(page, 'Panel_Help', 'sample1.txt を作ったにょ！');
            await page.setViewport({ width: 760, height: 620 });
            await page.screenshot({ path: path.join(screenshots, `page-${engine}.png`) });

            // Japanese names in the zip, as Debian's unzip lists them.
            const dir = tempDir();
            t.after(() => fs.rmSync(dir, { recursive: true }));
            const japanese = path.join(dir, 'むねり問題.mnr');
            fs.copyFileSync(sample, japanese);
            await loadAndWait(page, japanese);
            const zip = await eightFiles(session);
            assert.equal(zip.name, 'むねり問題.zip');
            fs.writeFileSync(path.join(dir, zip.name), zip.bytes);
            const listed = execFileSync('unzip', ['-Z1', path.join(dir, zip.name)], { env: { ...process.env, LC_ALL: 'C.UTF-8' } });
            assert.deepEqual(listed.toString('utf8').trim().split('\n'), [...Array(8).keys()].map((g) => `むねり問題${g}.txt`));
          } else {
            const zip = await eightFiles(session);
            assertSameFiles(zip.files, mnr2txtOutputs(sample));
            await choose(page, 'utf8');
            assertSameFiles(await singleFile(session, kOne), mnr2txtOutputs(sample, '--one-file', '--utf8'));
          }
          assert.deepEqual(session.errors, []);
        });

        test('bytes that are not CP932: the status line counts them as mnr2txt does', { timeout: 60_000 }, async (t) => {
          const dir = tempDir();
          t.after(() => fs.rmSync(dir, { recursive: true }));
          execFileSync(path.join(nativeBuild, 'tests/web/make-random-sets'), [dir, '1', '932']);
          const file = path.join(dir, 'random0.mnr');
          const invalid = mnr2txtInvalidBytes(file, '--utf8', '--one-file');
          assert.ok(invalid > 0);
          const session = await newSession(t);
          const { page } = session;
          await loadAndWait(page, file);
          await choose(page, 'utf8');
          const { name, bytes } = await downloadBytes(session, click(page, kOne));
          assert.ok(bytes.equals(mnr2txtOutputs(file, '--one-file', '--utf8')['random0.txt']));
          await waitForText(page, 'Panel_Help', `${name} を作ったにょ！（CP932 でない ${invalid} バイトは U+FFFD にしたにょ）`);
          await eightFiles(session);
          await waitForText(page, 'Panel_Help', `${kExported}（CP932 でない ${mnr2txtInvalidBytes(file, '--utf8')} バイトは U+FFFD にしたにょ）`);
          // Shift-JIS output keeps every byte: nothing to count.
          await choose(page, 'sjis');
          await singleFile(session, kOne);
        });

        test('any file: 5 GB with a problem header, 5 GB that is not a problem file, then a small one; memory back to idle', { timeout: 120_000 }, async (t) => {
          const dir = tempDir();
          t.after(() => fs.rmSync(dir, { recursive: true }));
          const header = fs.readFileSync(sample).subarray(0, 2048);
          const big = path.join(dir, 'big.mnr');
          fs.writeFileSync(big, header);
          fs.truncateSync(big, 5 * 2 ** 30);
          // Every genre announcing 32767 problems, and no signature.
          const junkHeader = Buffer.from(header);
          for (let g = 0; g < 8; ++g) junkHeader.writeInt16LE(32767, 256 * g + 18);
          junkHeader.write('NOTABANK', 34, 'latin1');
          const junk = path.join(dir, 'junk.mnr');
          fs.writeFileSync(junk, junkHeader);
          fs.truncateSync(junk, 5 * 2 ** 30 + 1);

          const session = await newSession(t);
          const { page } = session;
          const memory = () => page.evaluate(() => [Number(document.body.dataset.memory), Number(document.body.dataset.idleMemory)]);
          await loadAndWait(page, big);
          assert.deepEqual(await listLines(page), sampleList);
          await chooseFile(page, junk);
          await assertWarningThenNoFile(page);
          await page.waitForFunction(() => document.body.dataset.memory === document.body.dataset.idleMemory, { timeout: 10_000 })
            .catch(async () => assert.fail(`memory, idle: ${await memory()}`));
          await loadAndWait(page, sample);
          assert.deepEqual(await listLines(page), sampleList);
          const [now, idle] = await memory();
          assert.equal(now, idle);
          assertSameFiles((await eightFiles(session)).files, mnr2txtOutputs(sample));

          // A leading dot belongs to the name: ".hidden.mnr" and ".hidden" both give ".hidden0.txt" ...
          const expected = Object.values(mnr2txtOutputs(sample));
          for (const name of ['.hidden.mnr', '.hidden']) {
            fs.copyFileSync(sample, path.join(dir, name));
            await loadAndWait(page, path.join(dir, name));
            const { files } = await eightFiles(session);
            assert.deepEqual(Object.keys(files), [...Array(8).keys()].map((g) => `.hidden${g}.txt`));
            assert.ok(Object.values(files).every((bytes, g) => bytes.equals(expected[g])));
          }
          assert.deepEqual(session.errors, []);
        });

        test('a file chosen while another is being read replaces it', { timeout: 120_000 }, async (t) => {
          const dir = tempDir();
          t.after(() => fs.rmSync(dir, { recursive: true }));
          const maximal = path.join(dir, 'maximal.mnr');
          execFileSync(path.join(nativeBuild, 'bench/make-maximal'), [maximal]);
          const session = await newSession(t);
          const { page } = session;
          // The large file is read as its genre files are made; the sample is
          // dropped from inside the page as soon as the progress bar shows
          // part of it read (waiting for that from here could miss it on a
          // fast machine).
          await chooseFile(page, maximal);
          await waitForText(page, 'Panel_Help', kGenreList, 60_000);
          await page.evaluate((data) => {
            const bytes = Uint8Array.from(atob(data), (c) => c.charCodeAt(0));
            const bar = document.getElementById('Progress');
            const observer = new MutationObserver(() => {
              if (bar.hidden || !(bar.value > 0 && bar.value < bar.max)) return;
              observer.disconnect();
              window.droppedAt = [bar.value, bar.max];
              const transfer = new DataTransfer();
              transfer.items.add(new File([bytes], 'sample.mnr'));
              document.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
            });
            observer.observe(bar, { attributes: true });
          }, fs.readFileSync(sample).toString('base64'));
          await page.click('#BitBtn_Decode1');
          await waitForText(page, 'Panel_FileName', 'sample.mnr', 60_000);
          const [at, of] = await page.evaluate(() => window.droppedAt);
          assert.ok(at > 0 && at < of, 'dropped while the large file was being read');
          await waitForText(page, 'Panel_Help', kGenreList);
          assert.deepEqual(await listLines(page), sampleList);
          // Nothing of the first file comes after a round trip through the converter.
          assertSameFiles((await eightFiles(session)).files, mnr2txtOutputs(sample));
          assert.equal(await textOf(page, 'Panel_FileName'), 'sample.mnr');
          assert.deepEqual(await listLines(page), sampleList);
          assert.equal(await page.$('#Warning[open]'), null);
          assert.deepEqual(session.errors, []);
        });

        test('XLSX: enabled with a file loaded, the core\'s workbook as mnr2txt writes it', { timeout: 60_000 }, async (t) => {
          const session = await newSession(t);
          const { page } = session;
          assert.ok(await page.$eval('#Button_Xlsx', (button) => button.disabled), 'disabled with no file');
          await loadAndWait(page, sample);
          assert.ok(await page.$eval('#Button_Xlsx', (button) => !button.disabled), 'enabled with a file loaded');
          const { name, bytes } = await downloadBytes(session, click(page, 'Button_Xlsx'));
          assert.equal(name, 'sample.xlsx');
          const expected = mnr2txtOutputs(sample, '--xlsx')['sample.xlsx'];
          assert.ok(Object.keys(unzipSync(expected)).some((part) => part.startsWith('xl/worksheets/')));
          assert.ok(bytes.equals(expected), 'the workbook differs from mnr2txt\'s');
          await waitForText(page, 'Panel_Help', 'sample.xlsx を作ったにょ！');
        });

        if (mode === 'served') {
          test('offline after the first visit; dropped files: a cut one or one with a negative count warns and leaves no file', { timeout: 120_000 }, async (t) => {
            const session = await newSession(t);
            const { page } = session;
            await page.evaluate(() => Promise.race([navigator.serviceWorker.ready,
              new Promise((_, fail) => setTimeout(() => fail(new Error('no service worker took the page')), 10_000))]));
            await server.close();
            await page.reload();
            await page.waitForSelector('body[data-ready]');
            const good = fs.readFileSync(sample);
            const negative = Buffer.from(good);
            negative.writeInt16LE(-1, 256 * 3 + 18);
            for (const [name, bytes] of [['cut.mnr', good.subarray(0, good.length - 1)], ['negative.mnr', negative]]) {
              await dropFile(page, 'sample.mnr', good);
              await waitForText(page, 'Panel_FileName', 'sample.mnr');
              await dropFile(page, name, bytes);
              await assertWarningThenNoFile(page);
            }
            server = await serveSite();
          });
        }

        if (full) {
          test('the maximal file converts off the main thread, with progress, as mnr2txt converts it', { timeout: 120_000 }, async (t) => {
            const dir = tempDir();
            t.after(() => fs.rmSync(dir, { recursive: true }));
            const maximal = path.join(dir, 'maximal.mnr');
            execFileSync(path.join(nativeBuild, 'bench/make-maximal'), [maximal]);
            const expected = mnr2txtOutputs(maximal);
            const session = await newSession(t);
            const { page } = session;
            // The main thread's longest pause and the progress seen, sampled in the page.
            await page.evaluate(() => {
              const seen = (window.seen = { gap: 0, partial: false });
              let last = performance.now();
              setInterval(() => {
                const now = performance.now();
                seen.gap = Math.max(seen.gap, now - last);
                last = now;
                const bar = document.getElementById('Progress');
                if (!bar.hidden && bar.value > 0 && bar.value < bar.max) seen.partial = true;
              }, 5);
            });
            await loadAndWait(page, maximal);
            assertSameFiles((await eightFiles(session)).files, expected);
            const seen = await page.evaluate(() => window.seen);
            assert.ok(seen.partial, 'progress was shown');
            assert.ok(seen.gap < 500, `the main thread paused ${seen.gap} ms`);
          });

          test('random problem sets with every kind of byte: every download as mnr2txt writes it', { timeout: 120_000 }, async (t) => {
            const dir = tempDir();
            t.after(() => fs.rmSync(dir, { recursive: true }));
            execFileSync(path.join(nativeBuild, 'tests/web/make-random-sets'), [dir, '2', '932']);
            const session = await newSession(t);
            for (let n = 0; n < 2; ++n) {
              const file = path.join(dir, `random${n}.mnr`);
              await chooseFile(session.page, file);
              await waitForText(session.page, 'Panel_FileName', path.basename(file));
              await assertEveryOutput(session, file);
            }
          });
        }
      });
    }
  });
}
