// The page's own texts, in English and Japanese side by side: one table, as
// the command-line programs have theirs (cli/ShellTexts.h). The page speaks
// Japanese where the browser's language is Japanese and English elsewhere;
// ?lang=ja or ?lang=en in its address chooses. The window program's own
// messages ("…にょ") come from the core and are quoted as the window shows
// them (in English with what they mean after them). "{1}", "{2}" ... are
// filled in by say().

const kTexts = {
  title: ['munemoji', 'むねもじ'],
  lead: ['Opens problem files of the むねり quiz (.mnr) to read, find, edit and save, or to download as text, CSV, '
         + 'JSON or a workbook. All in this browser: no file leaves your computer.',
         'むねりクイズの問題ファイル（.mnr）を開いて、読む・探す・直す・保存する、テキストや表にするページです。'
         + 'すべてこのブラウザーの中でするので、ファイルはこのコンピューターから出ません。'],
  version: ['version {1}', 'バージョン {1}'],
  about: ['About', 'このページについて'],
  otherLanguage: ['日本語', 'English'],
  otherLanguageCode: ['ja', 'en'],

  open: ['Open problem files…', '問題ファイルを開く…'],
  dropHint: ['(or drop them on the page)', '（ページに落としても開けます）'],
  openFiles: ['Open files', '開いているファイル'],
  closeFile: ['Close {1}', '{1} を閉じる'],
  unsavedMark: [' (edited)', '（変更あり）'],
  confirmClose: ['{1} has edits that are not saved. Close it all the same?',
                 '{1} には保存していない変更があります。閉じてもいいですか？'],

  genres: ['Genres', 'ジャンル'],
  genresHint: ['Choose a genre to read and edit its problems (or Tab here, arrow keys, Enter).',
               'ジャンルを選ぶと、その問題が出て直せます（Tab キーで移って、矢印キーと Enter でも）。'],
  earlierMessages: ['Earlier messages', 'これまでのメッセージ'],
  progress: ['Progress', '進み具合'],

  downloads: ['Download', 'ダウンロード'],
  downloadsHint: ['The problem set as it is now, edits included.', 'いまの問題（直したところも入れて）をダウンロードします。'],
  encoding: ['Encoding of the text files', 'テキストの文字コード'],
  eight: ['8 genre text files (zip)', '８つのジャンルのテキスト（zip）'],
  one: ['All genres in one text file', 'ジャンルをまとめた１つのテキスト'],
  csv: ['CSV (for spreadsheets)', 'CSV（表計算用）'],
  json: ['JSON (every byte)', 'JSON（すべてのバイト）'],
  xlsx: ['XLSX workbook', 'XLSX（ブック）'],

  find: ['Find', '探す'],
  findLabel: ['Find in every open file', '開いているすべてのファイルから探す'],
  findHint: ['In genre names, questions and choices; ｱ finds ア, Ａ finds A, a finds A.',
             'ジャンル名・問題文・選択肢から探します。ｱ でア、Ａ で A、a で A も見つかります。'],
  searching: ['Searching…', '探しているにょ…'],
  foundNone: ['Not found', '見つからなかったにょ'],
  found: ['{1} found', '{1} 件見つかったにょ'],
  foundMore: ['{1} found; the first {2} are listed', '{1} 件見つかったにょ（はじめの {2} 件を出すにょ）'],
  openFirst: ['Open a problem file to search it', '探すには、まず問題ファイルを開くにょ'],

  undo: ['Undo', '元に戻す'],
  redo: ['Redo', 'やり直す'],
  add: ['Add a problem', '問題を加える'],
  save: ['Save (.mnr)', '保存（.mnr）'],
  saveHint: ['Save downloads the problem file with your edits, written as txt2mnr writes it: '
             + 'what you did not edit stays byte for byte.',
             '「保存」で、直した問題ファイルをダウンロードします（txt2mnr と同じ書き方で、直していないところは'
             + 'バイト単位でそのままです）。'],
  genreName: ['Genre name', 'ジャンル名'],
  genreFile: ['Download {1} (this genre as text)', '{1} をダウンロード（このジャンルのテキスト）'],
  noProblems: ['This genre has no problems yet.', 'このジャンルにはまだ問題がありません。'],
  problem: ['Problem {1}', '問題 {1}'],
  question: ['question', '問題文'],
  choice: ['choice {1}', '選択肢 {1}'],
  name: ['name', 'ジャンル名'],
  fieldPlace: ['Genre {1}, problem {2}, {3}', 'ジャンル {1}、問題 {2}、{3}'],
  namePlace: ['Genre {1}, {2}', 'ジャンル {1}、{2}'],
  empty: ['(empty)', '（空）'],
  size: ['{1} of {2} bytes', '{1} / {2} バイト'],
  tooLong: ['{1} of {2} bytes: {3} too many', '{1} / {2} バイト：{3} バイト多すぎ'],
  noCp932: ['{1} has no Shift-JIS (CP932) form', '{1} は CP932（Shift-JIS）にない文字'],
  toGenres: ['↑ Genres', '↑ ジャンルの一覧'],
  moveUp: ['Up', '上へ'],
  moveDown: ['Down', '下へ'],
  moveUpOf: ['Move problem {1} up', '問題 {1} を上へ'],
  moveDownOf: ['Move problem {1} down', '問題 {1} を下へ'],
  moveTo: ['Move to…', '移す…'],
  moveToOf: ['Move problem {1} to the end of another genre', '問題 {1} を別のジャンルの最後へ移す'],
  insert: ['Add below', '下に加える'],
  insertOf: ['Add a problem below problem {1}', '問題 {1} の下に問題を加える'],
  remove: ['Remove', '消す'],
  removeOf: ['Remove problem {1}', '問題 {1} を消す'],
  removed: ['Problem {1} removed (Undo brings it back)', '問題 {1} を消したにょ（元に戻すで戻せるにょ）'],
  moved: ['Problem {1} moved to genre {2} as problem {3}', '問題 {1} をジャンル {2} の問題 {3} に移したにょ'],
  genreFull: ['Genre {1} holds 32767 problems already', 'ジャンル {1} にはもう 32767 問あるにょ'],
  undone: ['Undone', '元に戻したにょ'],
  redone: ['Redone', 'やり直したにょ'],
  nothingToUndo: ['Nothing to undo', '元に戻すものはないにょ'],
  nothingToRedo: ['Nothing to redo', 'やり直すものはないにょ'],
  saved: ['{1} saved', '{1} を保存したにょ！'],
  savedWithNotes: ['{1} saved ({2} notes below)', '{1} を保存したにょ！（注意 {2} 件は下にょ）'],
  notSaved: ['{1} not saved: what to fix is listed below', '{1} は保存しなかったにょ（直すところは下にょ）'],
  notMadeEdits: ['{1} not made: what to fix is listed under Save', '{1} は作らなかったにょ（直すところは「保存」の下にょ）'],
  unsavedLeave: ['Edits that are not saved would be lost.', '保存していない変更が消えてしまいます。'],

  made: ['{1} made', '{1} を作ったにょ！'],
  invalid: [' ({1} bytes that are not CP932 made U+FFFD)', '（CP932 でない {1} バイトは U+FFFD にしたにょ）'],
  reading: ['Reading {1}…', '{1} を読んでいるにょ…'],
  madeWithNotes: ['{1} made ({2} notes below)', '{1} を作ったにょ！（注意 {2} 件は下にょ）'],
  notMade: ['{1} not made (the reasons are below)', '{1} は作らなかったにょ（わけは下にょ）'],
  tooLarge: ['{1} is too large (a {2} may have up to {3} MiB)', '{1} は大きすぎるにょ（{2} は {3} MiB まで）'],
  unreadable: ['{1} could not be read', '{1} を読めなかったにょ'],
  readsTwoWays: ['{1} reads both as UTF-8 and as CP932, differently: choose under "Encoding of a CSV"',
                 '{1} は UTF-8 とも CP932 とも読めて、読み方が違うにょ。「CSV の文字コード」で選ぶにょ'],

  wayBack: ['Back to a problem file', '問題ファイルに戻す'],
  wayBackButton: ['Choose a CSV or JSON…', 'CSV・JSON を選ぶ…'],
  wayBackHint: ['Choose (or drop on the page) a CSV or JSON of mnr2txt or this page: its problem file (.mnr) downloads.',
                'mnr2txt やこのページの CSV・JSON を選ぶ（ページに落としてもいい）と、問題ファイル（.mnr）をダウンロードするにょ'],
  formulaGuard: ["Take back the CSV's formula guard '", "CSV の数式よけの ' を取る"],
  backEncoding: ['Encoding of a CSV', 'CSV の文字コード'],
  backEncodingDecide: ['By its bytes', '中身で決める'],
  wayBackMessages: ['Messages of the way back', '問題ファイルに戻したときのメッセージ'],

  aboutTitle: ['About munemoji', 'むねもじについて'],
  aboutText: ['munemoji {1} turns problem files of the むねり quiz into text and back. This page is the core of the '
              + 'Windows program and of mnr2txt and txt2mnr, compiled to WebAssembly: it works offline, from disk or '
              + 'served, and sends nothing anywhere.',
              'むねもじ {1} は、むねりクイズの問題ファイルをテキストにしたり、テキストから問題ファイルに戻したりするソフトです。'
              + 'このページは Windows 版や mnr2txt・txt2mnr と同じ中身を WebAssembly にしたもので、ネットにつながなくても、'
              + 'ディスクから開いても動き、何もどこにも送りません。'],
  licences: ['Licences of what this page carries', 'このページに入っているもののライセンス'],
  close: ['Close', '閉じる'],
  ok: ['OK', 'OK'],
};

// What the window's messages mean, said after them on the English page (the
// Japanese page quotes them alone).
const kWindowMeanings = {
  noFile: 'no problem file open',
  genreList: 'the genres of the problem file',
  exported: 'the 8 text files are made',
  exportFailed: 'something went wrong: nothing was made',
  notAProblemFile: 'not a problem file',
};

// Every text has both forms (a missing one shows as a console error).
for (const [key, row] of Object.entries(kTexts)) {
  if (row.length !== 2 || !row.every((text) => typeof text === 'string' && text !== '')) {
    console.error(`the page's text "${key}" lacks a form`);
  }
}

// 'ja' or 'en'.
const kLanguage = (() => {
  const asked = new URLSearchParams(location.search).get('lang');
  if (asked === 'ja' || asked === 'en') return asked;
  return (navigator.language ?? '').toLowerCase().startsWith('ja') ? 'ja' : 'en';
})();
const kJapanese = kLanguage === 'ja';

function say(key, ...args) {
  const row = kTexts[key];
  if (!row) throw new Error(`the page has no text "${key}"`);
  return row[kJapanese ? 1 : 0].replace(/\{(\d)\}/g, (_, n) => String(args[n - 1]));
}

// A message of the window, as the window says it; in English with what it means.
function windowSays(texts, name) {
  const meaning = kWindowMeanings[name];
  return kJapanese || !meaning ? texts[name] : `${texts[name]} (${meaning})`;
}

// Fills the page's fixed texts: an element's data-text names its text,
// data-label its accessible name.
function applyTexts(root) {
  document.documentElement.lang = kLanguage;
  for (const element of root.querySelectorAll('[data-text]')) element.textContent = say(element.dataset.text);
  for (const element of root.querySelectorAll('[data-label]')) element.setAttribute('aria-label', say(element.dataset.label));
}
