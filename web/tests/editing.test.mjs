// Editing in the page, in both engines from disk: a question edited by
// keyboard and saved changes only that field; texts that cannot be stored
// refuse the save with their reasons; problems added, moved and removed
// save as txt2mnr writes the same edits, and download as mnr2txt converts
// that file; a file saved without edits is the original; search finds the
// text in any open file; a long name shows whole on a narrow screen.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { unzipSync } from 'fflate';
import {
  chooseFile, downloadBytes, fileUrl, launch, mnr2txtOutputs, nativeBuild, openPage, root, tempDir, textOf,
  txt2mnrOutput, waitForText,
} from './harness.mjs';

const sample = path.join(root, 'samples/sample.mnr');
const kGenreList = '問題データのジャンル一覧にょ';
const screenshots = path.join(root, 'build/web/screenshots');
fs.mkdirSync(screenshots, { recursive: true });

const field = (place, f) => `#Problems_List li.problem[data-place="${place}"] [data-field="${f}"]`;
const action = (place, name) => `#Problems_List li.problem[data-place="${place}"] [data-action="${name}"]`;

async function open(page, file, name = path.basename(file)) {
  await chooseFile(page, file);
  await waitForText(page, 'Panel_FileName', name, 60_000);
  await waitForText(page, 'Panel_Help', kGenreList);
}

async function showGenre(page, genre) {
  await page.click(`#Genre_${genre}`);
  await page.waitForFunction((g) => document.getElementById('Problems_Title').textContent.startsWith(`${g}：`) &&
                             document.querySelector('#Problems_List li.problem'), {}, genre);
}

// Puts text into a field by keyboard: everything in it selected, then typed over.
async function typeOver(page, selector, text) {
  await page.focus(selector);
  await page.keyboard.down('Control');
  await page.keyboard.press('a');
  await page.keyboard.up('Control');
  await page.keyboard.type(text);
}

// The field's accessible name, its description and whether it is marked invalid.
const described = (page, selector) => page.$eval(selector, (element) => [
  element.getAttribute('aria-label'),
  document.getElementById(element.getAttribute('aria-describedby')).textContent,
  element.getAttribute('aria-invalid') === 'true',
]);

const saveFile = (session) => downloadBytes(session, () => session.page.click('#Button_Save'));

// mnr2txt's JSON of a problem file, parsed; and txt2mnr's problem file
// for it once changed (written beside it under the name the page saves).
const jsonOf = (file) => JSON.parse(mnr2txtOutputs(file, '--json')[`${path.basename(file, '.mnr')}.json`]);
function txt2mnrOf(json, dir, name) {
  const file = path.join(dir, `${name}.json`);
  fs.writeFileSync(file, JSON.stringify(json));
  const made = txt2mnrOutput(file);
  assert.equal(made.status, 0, made.messages.join('\n'));
  return made.bytes;
}

// Offsets at which two buffers of one length differ.
function differences(a, b) {
  assert.equal(a.length, b.length);
  const at = [];
  for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) at.push(i);
  return at;
}

for (const engine of ['chromium', 'firefox']) {
  describe(`${engine}, file`, () => {
    let browser, dir;
    before(async () => {
      browser = await launch(engine);
      dir = tempDir();
    });
    after(async () => {
      await browser?.close();
      fs.rmSync(dir, { recursive: true, force: true });
    });
    const newSession = async (t) => {
      const session = await openPage(browser, fileUrl());
      t.after(() => session.close());
      return session;
    };

    test('a question edited by keyboard and saved: only its field changes; its size shows as it is typed', { timeout: 120_000 }, async (t) => {
      const session = await newSession(t);
      const { page } = session;
      await open(page, sample);
      // Tab to the list, down to genre 2, Enter; Tab on to problem 3's question.
      await page.focus('#Files li:last-child .close');
      await page.keyboard.press('Tab');
      for (const key of ['ArrowDown', 'ArrowDown', 'ArrowDown', 'Enter']) await page.keyboard.press(key);
      await page.waitForSelector(field(2, 0));
      const name = 'ジャンル 2、問題 3、問題文';
      for (let n = 0; n < 80; ++n) {
        if (await page.evaluate(() => document.activeElement.getAttribute('aria-label')) === name) break;
        await page.keyboard.press('Tab');
      }
      assert.equal(await page.evaluate(() => document.activeElement.getAttribute('aria-label')), name);
      const text = '富士山の高さは？（ｶﾀｶﾅ）';
      await page.keyboard.down('Control');
      await page.keyboard.press('a');
      await page.keyboard.up('Control');
      await page.keyboard.type(text);
      assert.deepEqual(await described(page, field(2, 0)), [name, '24 / 116 バイト', false]);
      assert.ok(await page.$eval('#Files [aria-current=true]', (tab) => tab.textContent === 'sample.mnr（変更あり）'));
      assert.ok(await page.evaluate(() => !window.dispatchEvent(new Event('beforeunload', { cancelable: true }))),
                'a reload asks first');

      // Saved by keyboard from the editor's bar.
      for (let n = 0; n < 40 && await page.evaluate(() => document.activeElement.id) !== 'Button_Save'; ++n) {
        await page.keyboard.down('Shift');
        await page.keyboard.press('Tab');
        await page.keyboard.up('Shift');
      }
      const saved = await downloadBytes(session, () => page.keyboard.press('Enter'));
      assert.equal(saved.name, 'sample.mnr');
      await waitForText(page, 'Panel_Help', 'sample.mnr を保存したにょ！');
      const original = fs.readFileSync(sample);
      // Record 12 (genre 0 and 1 hold 5 each): its question field alone.
      const start = 2048 + 12 * 256;
      assert.ok(differences(saved.bytes, original).every((at) => at >= start && at < start + 116));
      const json = jsonOf(sample);
      json.genres[2].problems[2].question = text;
      assert.ok(saved.bytes.equals(txt2mnrOf(json, dir, `${engine}-one`)), 'as txt2mnr writes the same edit');
      assert.ok(await page.evaluate(() => window.dispatchEvent(new Event('beforeunload', { cancelable: true }))),
                'saved: nothing to lose');
      assert.deepEqual(session.errors, []);
    });

    test('a text too long and a character CP932 has not: marked as typed, the save and the downloads refused with every reason, each a link to its field', { timeout: 60_000 }, async (t) => {
      const session = await newSession(t);
      const { page } = session;
      await open(page, sample);
      await showGenre(page, 7);
      await typeOver(page, field(0, 0), 'x'.repeat(117));
      await typeOver(page, field(0, 2), 'まぐろ🍣');
      assert.deepEqual(await described(page, field(0, 0)),
                       ['ジャンル 7、問題 1、問題文', '117 / 116 バイト：1 バイト多すぎ', true]);
      assert.deepEqual(await described(page, field(0, 2)),
                       ['ジャンル 7、問題 1、選択肢 2', '🍣 (U+1F363) は CP932（Shift-JIS）にない文字', true]);
      await page.click('#Button_Save');
      await waitForText(page, 'Panel_Help', 'sample.mnr は保存しなかったにょ（直すところは下にょ）');
      const reasons = () => page.$$eval('#Save_Messages li a', (links) => links.map((link) => link.textContent));
      assert.deepEqual(await reasons(), [
        'sample.mnr: ジャンル 7、問題 1、問題文: CP932 で 117 バイトあり、この欄に入る 116 バイトを超えています',
        'sample.mnr: ジャンル 7、問題 1、選択肢 2: U+1F363 (🍣) は CP932 にない文字です',
      ]);
      await page.click('#Button_Csv');
      await waitForText(page, 'Panel_Help', 'sample.csv は作らなかったにょ（直すところは「保存」の下にょ）');
      assert.equal((await reasons()).length, 2);
      assert.deepEqual(fs.readdirSync(session.downloads), []);
      // The second reason's link takes the focus to its field.
      await page.click('#Save_Messages li:nth-child(2) a');
      await page.waitForFunction(() => document.activeElement.getAttribute('aria-label') === 'ジャンル 7、問題 1、選択肢 2');
      assert.deepEqual(session.errors, []);
    });

    test('problems added, moved within and between genres, removed, undone and redone, a name changed: saved as txt2mnr writes the same edits, downloaded as mnr2txt converts that file', { timeout: 120_000 }, async (t) => {
      const session = await newSession(t);
      const { page } = session;
      await open(page, sample);
      await showGenre(page, 2);
      await page.click(action(4, 'insert'));  // after the last of 5
      await page.waitForSelector(field(5, 0));
      const added = ['新しい問題', 'ア', 'イ', 'ウ', 'エ', 'オ'];
      for (const [f, text] of added.entries()) await typeOver(page, field(5, f), text);
      await page.click(action(0, 'moveDown'));
      await page.select(`#Problems_List li.problem[data-place="2"] select`, '5');
      await showGenre(page, 0);
      await page.click(action(1, 'remove'));
      await page.keyboard.down('Control');
      await page.keyboard.press('z');  // the removed one back
      await page.keyboard.press('y');  // and removed again
      await page.keyboard.up('Control');
      await showGenre(page, 6);
      await typeOver(page, '#Genre_Name', 'ことばあそび');
      await waitForText(page, 'Genre_6', '6：ことばあそび');

      const json = jsonOf(sample);
      const [g0, g2, g5] = [json.genres[0].problems, json.genres[2].problems, json.genres[5].problems];
      g2.push({ question: added[0], choices: added.slice(1) });
      g2.splice(1, 0, g2.splice(0, 1)[0]);
      g5.push(g2.splice(2, 1)[0]);
      g0.splice(1, 1);
      json.genres[6].name = 'ことばあそび';
      const expected = txt2mnrOf(json, dir, `${engine}-moved`);
      const saved = await saveFile(session);
      assert.ok(saved.bytes.equals(expected), 'as txt2mnr writes the same edits');

      // Every download is of the set as edited: mnr2txt's outputs of the saved file.
      const savedFile = path.join(dir, `${engine}-saved`, 'sample.mnr');
      fs.mkdirSync(path.dirname(savedFile));
      fs.writeFileSync(savedFile, saved.bytes);
      const download = async (id) => (await downloadBytes(session, () => page.click(`#${id}`))).bytes;
      const zip = Object.entries(unzipSync(await download('BitBtn_Decode1')));
      const eight = mnr2txtOutputs(savedFile);
      assert.deepEqual(zip.map(([name]) => name), Object.keys(eight).sort());
      assert.ok(zip.every(([name, bytes]) => Buffer.from(bytes).equals(eight[name])));
      assert.ok((await download('BitBtn_Decode2')).equals(mnr2txtOutputs(savedFile, '--one-file')['sample.txt']));
      assert.ok((await download('Button_Csv')).equals(mnr2txtOutputs(savedFile, '--csv')['sample.csv']));
      assert.ok((await download('Button_Json')).equals(mnr2txtOutputs(savedFile, '--json')['sample.json']));
      assert.ok((await download('Button_Xlsx')).equals(mnr2txtOutputs(savedFile, '--xlsx')['sample.xlsx']));
      assert.ok((await download('Problems_Download')).equals(mnr2txtOutputs(savedFile)['sample6.txt']));
      assert.deepEqual(session.errors, []);
    });

    test('saved without edits, or with edits undone, a file is the original: records that are not canonical, hidden header bytes, bytes after the last record', { timeout: 60_000 }, async (t) => {
      const sets = path.join(dir, `${engine}-sets`);
      fs.mkdirSync(sets);
      execFileSync(path.join(nativeBuild, 'tests/web/make-random-sets'), [sets, '2', '1604']);
      fs.appendFileSync(path.join(sets, 'random1.mnr'), Buffer.from([...Array(256).keys(), 0, 0x20]));
      const session = await newSession(t);
      const { page } = session;
      for (let n = 0; n < 2; ++n) {
        const file = path.join(sets, `random${n}.mnr`);
        const original = fs.readFileSync(file);
        await open(page, file);
        // Saving is a tool of a genre's problems.
        const genre = [...Array(8).keys()].find((g) => original.readInt16LE(256 * g + 18) > 0);
        await showGenre(page, genre);
        if (n === 1) {
          // A field typed in, a problem removed, both undone.
          await typeOver(page, field(0, 1), 'か');
          await page.click(action(0, 'remove'));
          await page.click('#Button_Undo');
          await page.click('#Button_Undo');
        }
        const saved = await saveFile(session);
        assert.equal(saved.name, `random${n}.mnr`);
        assert.ok(saved.bytes.equals(original), `random${n}.mnr saved differs from the file`);
      }
      const jsons = [0, 1].map((n) => mnr2txtOutputs(path.join(sets, `random${n}.mnr`), '--json')[`random${n}.json`].toString());
      assert.ok(jsons.some((json) => json.includes('"raw":')), 'some record is not canonical');
      assert.deepEqual(session.errors, []);
    });

    test('search: a text in genre 7 of the maximal file, in half-width and full-width forms, found beside the sample\'s texts and edits, each hit a way to its field', { timeout: 120_000 }, async (t) => {
      const maximal = path.join(dir, `${engine}-maximal.mnr`);
      execFileSync(path.join(nativeBuild, 'bench/make-maximal'), [maximal]);
      // Problem 30001 of genre 7: its question, after the name line and 7 lines a problem.
      const lines = mnr2txtOutputs(maximal, '--utf8')[`${engine}-maximal7.txt`].toString().split('\r\n');
      const question = lines[1 + 30000 * 7 + 1];
      const part = [...question].slice(0, 8).join('');
      const session = await newSession(t);
      const { page } = session;
      await open(page, sample);
      await showGenre(page, 7);
      await typeOver(page, field(1, 1), `${part}！`);  // an edit of the sample holds it too
      await open(page, maximal);
      assert.deepEqual(await page.$$eval('#Files .file', (tabs) => tabs.map((tab) => tab.textContent)),
                       ['sample.mnr（変更あり）', path.basename(maximal)]);
      // Digits full-width, katakana half-width: found all the same.
      const halfKana = new Map([...Array(0xFF9D - 0xFF66 + 1).keys()].map((i) => {
        const half = String.fromCharCode(0xFF66 + i);
        return [half.normalize('NFKC'), half];
      }));
      const needle = [...part].map((c) => (/[0-9]/.test(c) ? String.fromCharCode(0xFF10 + Number(c)) : halfKana.get(c) ?? c)).join('');
      assert.notEqual(needle, part);
      await typeOver(page, '#Search_Box', needle);
      await page.keyboard.press('Enter');
      await page.waitForFunction(() => /件見つかったにょ/.test(document.getElementById('Search_Status').textContent), { timeout: 30_000 });
      const hits = await page.$$eval('#Search_Results .hit', (buttons) => buttons.map((b) => [b.querySelector('.where').textContent, b.querySelector('.text').textContent]));
      assert.deepEqual(hits.filter(([, text]) => text === question || text === `${part}！`), [
        ['sample.mnr: ジャンル 7、問題 2、選択肢 1', `${part}！`],
        [`${path.basename(maximal)}: ジャンル 7、問題 30001、問題文`, question],
      ]);
      const took = await page.evaluate(() => window.munemojiTimings.search);
      console.log(`# ${engine}: the search of both files answered in ${took.toFixed(0)} ms`);
      assert.ok(took < 3000, `the search took ${took} ms`);
      // The hit takes the user to the field, far down its genre.
      const at = hits.findIndex(([, text]) => text === question);
      const hit = `#Search_Results li:nth-child(${at + 1}) .hit`;
      await page.$eval(hit, (button) => button.scrollIntoView({ block: 'center' }));
      await page.click(hit);
      await page.waitForFunction(() => document.activeElement.getAttribute('aria-label') === 'ジャンル 7、問題 30001、問題文');
      assert.equal(await page.evaluate(() => document.activeElement.value), question);
      assert.ok(await page.$$eval('#Problems_List li.problem', (rows) => rows.length < 100), 'only the problems in view are made');
      await page.screenshot({ path: path.join(screenshots, `search-${engine}.png`) });
      assert.deepEqual(session.errors, []);
    });

    test('in English where the browser\'s language is not Japanese: the page\'s texts, the core\'s reasons; the window\'s messages quoted, with what they mean', { timeout: 60_000 }, async (t) => {
      const english = await launch(engine, 'en-US');
      const session = await openPage(english, fileUrl());
      t.after(async () => {
        await session.close();
        await english.close();
      });
      const { page } = session;
      assert.deepEqual(await page.evaluate(() => [document.documentElement.lang, document.getElementById('caption').textContent,
                                                  document.querySelector('#BitBtn_FileOpen span').textContent]),
                       ['en', 'munemoji', 'Open problem files…']);
      assert.equal(await textOf(page, 'Panel_Help'), '読み込んでいる問題ファイルが無いにょ (no problem file open)');
      await chooseFile(page, sample);
      await waitForText(page, 'Panel_Help', '問題データのジャンル一覧にょ (the genres of the problem file)');
      await showGenre(page, 7);
      await typeOver(page, field(0, 0), 'x'.repeat(117));
      assert.deepEqual(await described(page, field(0, 0)), ['Genre 7, problem 1, question', '117 of 116 bytes: 1 too many', true]);
      await page.click('#Button_Save');
      await waitForText(page, 'Panel_Help', 'sample.mnr not saved: what to fix is listed below');
      assert.deepEqual(await page.$$eval('#Save_Messages li', (items) => items.map((item) => item.textContent)),
                       ['sample.mnr: genre 7, problem 1, question: 117 bytes in CP932, more than the 116 its field holds']);
      assert.deepEqual(session.errors, []);
    });

    test('a long name and the status show whole on a 390-pixel screen', { timeout: 60_000 }, async (t) => {
      const long = path.join(dir, `${engine}-むねりクイズ大会のクイズ問題ファイル_2024年度_第12回.mnr`);
      fs.copyFileSync(sample, long);
      const session = await newSession(t);
      const { page } = session;
      await page.setViewport({ width: 390, height: 844 });
      await open(page, long);
      await page.click('#Button_Csv');
      const csv = `${path.basename(long, '.mnr')}.csv`;
      await waitForText(page, 'Panel_Help', `${csv} を作ったにょ！`);
      const whole = (id) => page.$eval(`#${id}`, (element) => {
        const box = element.getBoundingClientRect();
        return element.scrollWidth <= element.clientWidth && element.scrollHeight <= element.clientHeight &&
               box.left >= 0 && box.right <= window.innerWidth;
      });
      assert.ok(await whole('Panel_Help'), 'the status shows whole');
      assert.ok(await whole('Panel_FileName'), 'the name shows whole');
      assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth), 'nothing wider than the screen');
      await page.screenshot({ path: path.join(screenshots, `narrow-${engine}.png`) });
      await showGenre(page, 7);
      assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth), 'the problems fit too');
      await page.screenshot({ path: path.join(screenshots, `narrow-problems-${engine}.png`) });
    });
  });
}
