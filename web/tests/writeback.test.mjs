// The way back in the page: a CSV or JSON chosen or dropped gives the
// problem file txt2mnr writes for it, byte for byte, with txt2mnr's messages;
// a refused one gives its messages and no download. Run in chromium served
// and in firefox from disk; a problem file loaded before stays loaded.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import {
  chooseFile, downloadBytes, dropFile, fileUrl, launch, mnr2txtOutputs, nativeBuild, openPage, root, serveSite,
  tempDir, textOf, txt2mnrOutput, waitForText,
} from './harness.mjs';

const sample = path.join(root, 'samples/sample.mnr');
const kGenreList = '問題データのジャンル一覧にょ';
const made = (name) => `${name} を作ったにょ！`;

// A warning as the page marks it: of a place, or the run's count of texts older readers cut.
const isWarning = (message) => message.includes(': 警告: ') || message.startsWith('警告: ');
const shownMessages = (page) => page.$$eval('#WriteBack_Messages li', (items) => items.map((item) => item.textContent));
const warnedMessages = (page) => page.$$eval('#WriteBack_Messages li.warning', (items) => items.map((item) => item.textContent));
const listLines = (page) => page.$$eval('#ListBox_Gerne li', (items) => items.map((item) => item.textContent));

// The JSON's text with the nth "question" (0-based) replaced by text.
function withQuestion(json, n, text) {
  let seen = 0;
  const edited = json.replace(/"question":"(?:[^"\\]|\\.)*"/g, (whole) =>
    (seen++ === n ? `"question":${JSON.stringify(text)}` : whole));
  assert.ok(seen > n, `the JSON has no question ${n}`);
  return edited;
}

// Hands file to the page's way back and returns what it downloaded, after
// the status line and the message list said what txt2mnr says.
async function writtenBack(session, file, expected) {
  const name = `${path.basename(file).replace(/\.[^.]+$/, '')}.mnr`;
  const { page } = session;
  const download = await downloadBytes(session, () => chooseFile(page, file, 'WriteBackDialog'));
  assert.equal(download.name, name);
  const status = expected.messages.length > 0 ? `${made(name)}（注意 ${expected.messages.length} 件は下にょ）` : made(name);
  await waitForText(page, 'Panel_Help', status);
  assert.deepEqual(await shownMessages(page), expected.messages);
  return download.bytes;
}

// What the loaded problem file shows, which a write-back must leave as it is.
const loadedState = async (page) => [await textOf(page, 'Panel_FileName'), await listLines(page),
                                     await page.$eval('#BitBtn_Decode1', (button) => button.disabled)];

for (const [engine, mode] of [['chromium', 'served'], ['firefox', 'file']]) {
  describe(`${engine}, ${mode}`, () => {
    let browser, server, dir;
    before(async () => {
      [browser, server] = await Promise.all([launch(engine), serveSite()]);
      dir = tempDir();
    });
    after(async () => {
      await browser?.close();
      await server?.close();
      fs.rmSync(dir, { recursive: true, force: true });
    });
    const newSession = async (t) => {
      const session = await openPage(browser, mode === 'served' ? server.url : fileUrl());
      t.after(() => session.close());
      return session;
    };
    const loadSample = async (page) => {
      await chooseFile(page, sample);
      await waitForText(page, 'Panel_FileName', 'sample.mnr', 60_000);
      await waitForText(page, 'Panel_Help', kGenreList);
      return loadedState(page);
    };

    test('JSON from mnr2txt gives the problem file back byte for byte (odd records, trailing bytes); an edited one gives txt2mnr\'s', { timeout: 120_000 }, async (t) => {
      const sets = path.join(dir, `${engine}-sets`);
      fs.mkdirSync(sets);
      execFileSync(path.join(nativeBuild, 'tests/web/make-random-sets'), [sets, '3', '1604']);
      // Bytes after the last record, of every kind.
      fs.appendFileSync(path.join(sets, 'random1.mnr'), Buffer.from([...Array(256).keys(), 0, 0, 0x20]));
      const session = await newSession(t);
      const { page } = session;
      const state = await loadSample(page);
      const jsons = [];
      for (let n = 0; n < 3; ++n) {
        const original = path.join(sets, `random${n}.mnr`);
        const json = path.join(sets, `random${n}.json`);
        fs.writeFileSync(json, mnr2txtOutputs(original, '--json')[`random${n}.json`]);
        jsons.push(fs.readFileSync(json, 'utf8'));
        const expected = txt2mnrOutput(json);
        assert.equal(expected.status, 0);
        assert.ok((await writtenBack(session, json, expected)).equals(fs.readFileSync(original)), `random${n}.mnr differs`);
      }
      assert.ok(jsons.some((json) => json.includes('"raw":')), 'some record is not canonical');
      assert.ok(jsons.some((json) => !json.includes('"trailing":""')), 'some file has bytes after its last record');

      // One question edited, and the file dropped rather than chosen.
      const edited = path.join(sets, '編集済み.json');
      fs.writeFileSync(edited, withQuestion(jsons[0], 3, '直した問題：「Aあ」は古い読み手に切られる？'));
      const expected = txt2mnrOutput(edited);
      assert.equal(expected.status, 0);
      assert.ok(!expected.bytes.equals(fs.readFileSync(path.join(sets, 'random0.mnr'))));
      const dropped = await downloadBytes(session, () => dropFile(page, path.basename(edited), fs.readFileSync(edited)));
      assert.equal(dropped.name, '編集済み.mnr');
      assert.ok(dropped.bytes.equals(expected.bytes), 'the edited JSON\'s problem file differs from txt2mnr\'s');
      await waitForText(page, 'Panel_Help', expected.messages.length > 0
        ? `${made('編集済み.mnr')}（注意 ${expected.messages.length} 件は下にょ）` : made('編集済み.mnr'));
      assert.deepEqual(await shownMessages(page), expected.messages);
      const warned = expected.messages.filter(isWarning);
      assert.ok(warned.some((message) => message.startsWith('警告: 偶数の位置の空白で文が終わるとみなす読み方では途中で切れる文が')),
                'the edit is counted among the texts older readers cut');
      assert.deepEqual(await warnedMessages(page), warned, 'warnings are shown as warnings');

      assert.deepEqual(await loadedState(page), state, 'the loaded problem file is as it was');
      assert.deepEqual(session.errors, []);
    });

    test('a CSV saved in CP932 with LF and guard apostrophes gives txt2mnr\'s problem file, the guard taken back or not', { timeout: 60_000 }, async (t) => {
      // A problem file whose texts a spreadsheet would take for formulas.
      const json = JSON.parse(mnr2txtOutputs(sample, '--json')['sample.json']);
      const problem = json.genres[2].problems[0];
      problem.question = '=1+1 は？';
      problem.choices = ['-2', '+2', '@2', '\'2', '2'];
      const formulas = path.join(dir, `${engine}-formulas.json`);
      fs.writeFileSync(formulas, JSON.stringify(json));
      const formulasMnr = txt2mnrOutput(formulas);
      assert.equal(formulasMnr.status, 0);
      fs.writeFileSync(formulas.replace(/json$/, 'mnr'), formulasMnr.bytes);
      const guarded = mnr2txtOutputs(formulas.replace(/json$/, 'mnr'), '--csv')[path.basename(formulas, '.json') + '.csv'];
      assert.ok(guarded.includes(',\'=1+1 は？,\'-2,\'+2,\'@2,\'\'2,2\r\n'));
      // As a spreadsheet program saves it: CP932, LF, no byte-order mark.
      const csv = path.join(dir, `${engine}-表計算.csv`);
      fs.writeFileSync(csv, execFileSync('iconv', ['-f', 'UTF-8', '-t', 'CP932'],
                                         { input: guarded.subarray(3).toString('utf8').replaceAll('\r\n', '\n') }));
      assert.ok(!csv.includes('\r'));

      const session = await newSession(t);
      const { page } = session;
      const expected = txt2mnrOutput(csv);
      assert.equal(expected.status, 0);
      assert.ok(expected.bytes.equals(formulasMnr.bytes), 'txt2mnr takes the guard back');
      assert.ok((await writtenBack(session, csv, expected)).equals(expected.bytes));

      // Unchecked: every apostrophe kept, as txt2mnr --no-formula-guard keeps it.
      await page.click('#Check_FormulaGuard');
      const unguarded = txt2mnrOutput(csv, '--no-formula-guard');
      assert.equal(unguarded.status, 0);
      assert.ok(!unguarded.bytes.equals(expected.bytes));
      assert.ok((await writtenBack(session, csv, unguarded)).equals(unguarded.bytes));
      assert.deepEqual(session.errors, []);
    });

    test('refused: txt2mnr\'s messages, nothing downloaded, the loaded file kept; a file larger than any text form refused unread', { timeout: 60_000 }, async (t) => {
      const session = await newSession(t);
      const { page } = session;
      const state = await loadSample(page);
      const sampleJson = mnr2txtOutputs(sample, '--json')['sample.json'].toString('utf8');
      const sampleCsv = mnr2txtOutputs(sample, '--csv')['sample.csv'].toString('utf8');
      const refused = [
        [`${engine}-long.json`, withQuestion(sampleJson, 5, 'あ'.repeat(59))],
        // Line 4, the question's cell, and a choice with no CP932 form.
        [`${engine}-long.csv`, sampleCsv.replace(/^((?:.*\r\n){3}[^,]*,[^,]*,)[^,]*,[^,]*/,
                                                 (_, head) => `${head}${'x'.repeat(117)},🍣`)],
        // A row of five million cells: refused at its ninth, by line and column.
        [`${engine}-commas.csv`, sampleCsv.replace(/\r\n/, `\r\n${','.repeat(5_000_000)}\r\n`)],
      ];
      for (const [name, text] of refused) {
        const file = path.join(dir, name);
        fs.writeFileSync(file, text);
        const expected = txt2mnrOutput(file);
        assert.equal(expected.status, 1);
        assert.equal(expected.bytes, null);
        assert.ok(expected.messages.length >= 1);
        await chooseFile(page, file, 'WriteBackDialog');
        await waitForText(page, 'Panel_Help', `${name.replace(/\.[^.]+$/, '')}.mnr は作らなかったにょ（わけは下にょ）`);
        assert.deepEqual(await shownMessages(page), expected.messages);
        assert.deepEqual(fs.readdirSync(session.downloads), []);
      }
      // In Japanese, as the rest of the page; nothing is counted of a file
      // not written.
      assert.deepEqual(await shownMessages(page), [`${engine}-commas.csv:2:9: セルが 5000001 個あります（８個のはずです）`]);
      await chooseFile(page, path.join(dir, `${engine}-long.csv`), 'WriteBackDialog');
      await waitForText(page, 'Panel_Help', `${engine}-long.mnr は作らなかったにょ（わけは下にょ）`);
      assert.deepEqual(await shownMessages(page), [
        `${engine}-long.csv:4:3: ジャンル 0、問題 3、問題文: CP932 で 117 バイトあり、この欄に入る 116 バイトを超えています`,
        `${engine}-long.csv:4:4: ジャンル 0、問題 3、選択肢 1: U+1F363 (🍣) は CP932 にない文字です`,
      ]);
      assert.deepEqual(await warnedMessages(page), []);

      // Larger than mnr2txt writes for any problem file: refused at once, unread.
      for (const [name, limit] of [[`${engine}-huge.json`, '（JSON は 512 MiB まで）'], [`${engine}-huge.csv`, '（CSV は 256 MiB まで）']]) {
        const huge = path.join(dir, name);
        fs.writeFileSync(huge, '{');
        fs.truncateSync(huge, (name.endsWith('.csv') ? 256 : 512) * 2 ** 20 + 1);
        await chooseFile(page, huge, 'WriteBackDialog');
        await waitForText(page, 'Panel_Help', `${name} は大きすぎるにょ${limit}`);
        assert.deepEqual(await shownMessages(page), []);
        assert.ok(await page.$eval('#WriteBack_Messages', (list) => list.hidden));
      }

      // The next one downloads alone: nothing was left from the refused ones.
      const good = path.join(dir, `${engine}-good.json`);
      fs.writeFileSync(good, sampleJson);
      assert.ok((await writtenBack(session, good, txt2mnrOutput(good))).equals(fs.readFileSync(sample)));
      assert.deepEqual(await loadedState(page), state, 'the loaded problem file is as it was');
      assert.deepEqual(session.errors, []);
    });

    test('a CP932 CSV of kana alone reads as UTF-8 too: refused as txt2mnr refuses it until the encoding is chosen, then txt2mnr --encoding\'s file', { timeout: 60_000 }, async (t) => {
      const session = await newSession(t);
      const { page } = session;
      // ﾂｰ in CP932 is the bytes C2 B0, which are ° in UTF-8.
      const csv = path.join(dir, `${engine}-kana.csv`);
      fs.writeFileSync(csv, Buffer.concat([Buffer.from('genre,name,question,choice1,choice2,choice3,choice4,choice5\n0,n,'),
                                           Buffer.from([0xC2, 0xB0]), Buffer.from(',a,b,c,d,e\n')]));
      const refused = txt2mnrOutput(csv);
      assert.equal(refused.status, 1);
      await chooseFile(page, csv, 'WriteBackDialog');
      await waitForText(page, 'Panel_Help', `${path.basename(csv)} は UTF-8 とも CP932 とも読めて、読み方が違うにょ。「CSV の文字コード」で選ぶにょ`);
      // txt2mnr's lines but its hint to --encoding, which the page asks for itself.
      assert.deepEqual(await shownMessages(page), refused.messages.filter((message) => !message.includes('--encoding')));
      assert.deepEqual(fs.readdirSync(session.downloads), []);
      // Choosing, while the page waits for it, reads the file again so.
      const cp932 = txt2mnrOutput(csv, '--encoding', 'cp932');
      assert.equal(cp932.status, 0);
      const again = await downloadBytes(session, () => page.click('input[name="BackEncoding"][value="cp932"]'));
      assert.ok(again.bytes.equals(cp932.bytes), 'the CP932 reading is txt2mnr --encoding cp932\'s');
      await waitForText(page, 'Panel_Help', made(`${engine}-kana.mnr`));
      // Chosen beforehand, the other reading.
      await page.click('input[name="BackEncoding"][value="utf8"]');
      const utf8 = txt2mnrOutput(csv, '--encoding', 'utf-8');
      assert.ok((await writtenBack(session, csv, utf8)).equals(utf8.bytes));
      assert.ok(!utf8.bytes.equals(cp932.bytes));
      assert.deepEqual(session.errors, []);
    });
  });
}
