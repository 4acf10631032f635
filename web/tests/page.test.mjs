// The page in a real browser: headless chromium driven through the controls'
// accessible names (the window program's tooltips). Every download is held
// byte for byte to mnr2txt's output for the same problem file.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { unzipSync } from 'fflate';
import { downloadBytes, mnr2txtOutputs, nativeBuild, openPage, root, serveSite, tempDir } from './harness.mjs';

const sample = path.join(root, 'samples/sample.mnr');
const kOpen = 'むねりの問題データを読み込むにょ';
const kEight = 'ジャンル別の８テキストファイルに変換にょ';
const kOne = 'ジャンルをまとめて１テキストファイルに変換にょ';
const kNoFile = '読み込んでいる問題ファイルが無いにょ';
const kGenreList = '問題データのジャンル一覧にょ';
const screenshots = path.join(root, 'build/web/screenshots');

let server;
before(async () => {
  server = await serveSite();
});
after(async () => {
  await server?.close();
});
// Each test has a browser of its own, closed when it ends: the blobs of one
// test's large outputs never weigh on the next.
const newPage = async (t) => {
  const page = await openPage(server.url);
  t.after(() => page.context().close());
  return page;
};

const lines = (bytes) => bytes.toString('utf8').split('\r\n').slice(0, -1);
const listLines = (page) => page.locator('#ListBox_Gerne li').allTextContents();

// The zip the eight-file control hands over, as { name: bytes }.
async function eightFiles(page) {
  const { name, bytes } = await downloadBytes(page, () => page.getByRole('button', { name: kEight }).click());
  const files = Object.fromEntries(Object.entries(unzipSync(bytes)).map(([n, b]) => [n, Buffer.from(b)]));
  return { name, files };
}

function assertSameFiles(actual, expected) {
  assert.deepEqual(Object.keys(actual).sort(), Object.keys(expected).sort());
  for (const name of Object.keys(expected)) assert.ok(actual[name].equals(expected[name]), `${name} differs from mnr2txt's`);
}

async function singleFile(page, button) {
  const { name, bytes } = await downloadBytes(page, () => page.getByRole('button', { name: button }).click());
  return { [name]: bytes };
}

// Every download of the loaded file, in both encodings, against mnr2txt's
// output for the same file; leaves UTF-8 chosen.
async function assertEveryOutput(page, file) {
  await page.getByLabel('Shift-JIS').check();
  const zip = await eightFiles(page);
  assert.equal(zip.name, path.basename(file).replace(/\.mnr$/, '.zip'));
  assertSameFiles(zip.files, mnr2txtOutputs(file));
  assertSameFiles(await singleFile(page, kOne), mnr2txtOutputs(file, '--one-file'));
  assertSameFiles({ ...(await singleFile(page, 'CSV')), ...(await singleFile(page, 'JSON')) },
                  { ...mnr2txtOutputs(file, '--csv'), ...mnr2txtOutputs(file, '--json') });
  await page.getByLabel('UTF-8').check();
  assertSameFiles((await eightFiles(page)).files, mnr2txtOutputs(file, '--utf8'));
  assertSameFiles(await singleFile(page, kOne), mnr2txtOutputs(file, '--one-file', '--utf8'));
}

async function dropFile(page, name, bytes) {
  await page.evaluate(([name, data]) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([new Uint8Array(data)], name));
    document.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, [name, [...bytes]]);
}

async function assertNoFileState(page) {
  assert.deepEqual(await listLines(page), ['0：', '1：', '2：', '3：', '4：', '5：', '6：', '7：']);
  assert.equal(await page.locator('#Panel_FileName').textContent(), '');
  assert.equal(await page.locator('#Panel_Help').textContent(), kNoFile);
  assert.ok(await page.getByRole('button', { name: kEight }).isDisabled());
}

test('the sample by the open control: genres, name, problems, and every download as mnr2txt writes it', { timeout: 120_000 }, async (t) => {
  const utf8 = mnr2txtOutputs(sample, '--utf8');
  const page = await newPage(t);
  await assertNoFileState(page);

  const [chooser] = await Promise.all([page.waitForEvent('filechooser'), page.getByRole('button', { name: kOpen }).click()]);
  await chooser.setFiles(sample);
  await page.locator('#Panel_Help', { hasText: kGenreList }).waitFor();
  assert.equal(await page.locator('#Panel_FileName').textContent(), 'sample.mnr');
  assert.deepEqual(await listLines(page), [...Array(8).keys()].map((g) => `${g}：${lines(utf8[`sample${g}.txt`])[0]}`));

  await assertEveryOutput(page, sample);
  assert.equal(await page.locator('#Panel_Help').textContent(), '８つのテキストファイルを作ったにょ！');

  // A genre's problems: question and five choices, as its file has them.
  await page.locator('#ListBox_Gerne li').nth(1).click();
  const genre = lines(utf8['sample1.txt']);
  const first = page.locator('#Problems_List > li').first();
  await first.waitFor();
  assert.equal(await page.locator('#Problems_List > li').count(), Math.min(50, (genre.length - 1) / 7));
  assert.equal(await first.locator('p').textContent(), genre[2]);
  assert.deepEqual(await first.locator('li').allTextContents(), genre.slice(3, 8));
  const one = await downloadBytes(page, () => page.locator('#Problems_Download').click());
  assert.equal(one.name, 'sample1.txt');
  assert.ok(one.bytes.equals(utf8['sample1.txt']));
  await page.setViewportSize({ width: 760, height: 620 });
  await page.screenshot({ path: path.join(screenshots, 'page.png') });
});

test('offline after the first visit; dropped files: a problem file loads, a cut one or one with a negative count warns and leaves no file', { timeout: 120_000 }, async (t) => {
  const page = await newPage(t);
  await page.evaluate(() => Promise.race([navigator.serviceWorker.ready,
    new Promise((_, fail) => setTimeout(() => fail(new Error('no service worker took the page')), 10_000))]));
  await page.context().setOffline(true);
  await page.reload();
  await page.waitForSelector('body[data-ready]');
  const good = fs.readFileSync(sample);
  const negative = Buffer.from(good);
  negative.writeInt16LE(-1, 256 * 3 + 18);
  for (const [name, bytes] of [['cut.mnr', good.subarray(0, good.length - 1)], ['negative.mnr', negative]]) {
    await dropFile(page, 'sample.mnr', good);
    await page.locator('#Panel_Help', { hasText: kGenreList }).waitFor();
    assert.equal(await page.locator('#Panel_FileName').textContent(), 'sample.mnr');
    await dropFile(page, name, bytes);
    const warning = page.getByRole('alertdialog');
    await warning.waitFor();
    assert.equal(await warning.locator('h2').textContent(), '警告');
    assert.equal(await warning.locator('p').textContent(), '問題ファイルじゃないにょ！');
    await warning.getByRole('button', { name: 'OK' }).click();
    await assertNoFileState(page);
  }
});

test('the maximal file converts off the main thread, with progress, as mnr2txt converts it', { timeout: 120_000 }, async (t) => {
  const dir = tempDir();
  const maximal = path.join(dir, 'maximal.mnr');
  execFileSync(path.join(nativeBuild, 'bench/make-maximal'), [maximal]);
  const expected = mnr2txtOutputs(maximal);
  const page = await newPage(t);
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
  await page.locator('#OpenDialog').setInputFiles(maximal);
  await page.locator('#Panel_Help', { hasText: kGenreList }).waitFor({ timeout: 60_000 });
  assertSameFiles((await eightFiles(page)).files, expected);
  const seen = await page.evaluate(() => window.seen);
  assert.ok(seen.partial, 'progress was shown');
  assert.ok(seen.gap < 500, `the main thread paused ${seen.gap} ms`);
  fs.rmSync(dir, { recursive: true });
});

test('random problem sets with every kind of byte: every download as mnr2txt writes it', { timeout: 120_000 }, async (t) => {
  const dir = tempDir();
  execFileSync(path.join(nativeBuild, 'tests/web/make-random-sets'), [dir, '2', '932']);
  const page = await newPage(t);
  for (let n = 0; n < 2; ++n) {
    const file = path.join(dir, `random${n}.mnr`);
    await page.locator('#OpenDialog').setInputFiles(file);
    await page.locator('#Panel_FileName', { hasText: path.basename(file) }).waitFor();
    await assertEveryOutput(page, file);
  }
  fs.rmSync(dir, { recursive: true });
});
