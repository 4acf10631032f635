// The page's main thread: the open files, the window's states and messages
// (as the window program shows them), the open control and drops, the
// keyboard, the status, the downloads, saving, and the way back. A genre's
// problems are the editor's (editor.js), finding texts is search.js's; all
// converting happens in each file's worker (converter.js, worker.js).

const $ = (id) => document.getElementById(id);
let texts = null;     // the window's messages, by name
let canXlsx = false;
let idleMemory = 0;   // the core's memory in a fresh worker, in bytes
let blankLines = [];  // the genre list with no file loaded
let spare = null;     // a started converter for the next file

// Timings of the last load and output (from the request to the bytes
// being ready to download), in ms, read by the benchmark.
window.munemojiTimings = {};

// The kind of file a name says it is (the core names the outputs).
const extensionOf = (name) => (name.lastIndexOf('.') > 0 ? name.slice(name.lastIndexOf('.')).toLowerCase() : '');
const wantUtf8 = () => document.querySelector('input[name=encoding]:checked').value === 'utf8';
const kOutputControls = ['BitBtn_Decode1', 'BitBtn_Decode2', 'Button_Csv', 'Button_Json', 'Button_Xlsx'];

// --- the open files ----------------------------------------------------------

const kTextsKept = 20000;  // problems' texts kept per file

// One open problem file: its worker, which keeps the file, what the worker
// said of it, the texts of its problems as far as they were shown, and its
// problems as the page holds them (ProblemSet).
class OpenFile {
  constructor(file) {
    this.file = file;
    this.name = file.name;
    this.converter = null;
    this.set = null;
    this.lines = [];
    this.genreFileNames = [];
    this.texts = new Map();  // the file's problem (by number) -> its six texts
    this.busy = false;
    this.shownGenre = -1;
  }

  // Loads the file in a worker of its own; resolves to whether it is a problem file.
  async open(onProgress) {
    this.converter = spare ?? new Converter();
    spare = null;
    await this.converter.ready;
    const loaded = await this.converter.request('load', { file: this.file }, onProgress);
    this.memory = loaded.memory;
    if (!loaded.ok) return false;
    this.lines = loaded.lines;
    this.set = new ProblemSet(loaded.counts, loaded.names);
    this.genreFileNames = loaded.genreFileNames;
    return true;
  }

  // A fresh worker with the same file: what the old one was making is
  // dropped, and its memory goes with it; the problems as the page holds
  // them stay.
  async restart() {
    this.converter.stop();
    this.converter = new Converter();
    const loaded = await this.converter.request('load', { file: this.file });
    this.memory = loaded.memory;
  }

  close() {
    this.converter?.stop();
    this.converter = null;
  }

  // "g：name" as the window lists it, with the name as the page holds it.
  genreLine(genre) {
    const line = this.lines[genre];
    const name = this.set.fileNames[genre];
    return line.slice(0, line.length - name.length) + this.set.names[genre];
  }

  // The texts of the file's problems by number, kept for showing them again;
  // those asked for longest ago go when many are kept (scrolling through a
  // genre of 32767 would keep them all).
  async fetchTexts(refs) {
    const answer = await this.converter.request('texts', { refs });
    refs.forEach((ref, n) => this.texts.set(ref, answer[n]));
    if (this.texts.size <= kTextsKept) return;
    const old = this.texts.keys();
    for (let n = this.texts.size - kTextsKept / 2; n > 0; --n) this.texts.delete(old.next().value);
  }
}

let files = [];       // the open files, in the order opened
let current = null;   // the one the window shows, or null: the no-file state
let opening = 0;      // the latest file chosen; earlier ones do not take the window

function noteMemory() {
  document.body.dataset.memory = current?.memory ?? idleMemory;
}

// The tabs of the open files: each shows its name (and whether it has edits
// not saved) and closes with its × button.
function refreshFiles() {
  // The focus on a tab stays on the tabs (on the current file's).
  const focused = $('Files').contains(document.activeElement);
  $('Files').replaceChildren(...files.map((file) => {
    const item = document.createElement('li');
    const choose = document.createElement('button');
    choose.type = 'button';
    choose.className = 'file';
    choose.textContent = file.name + (file.set?.unsaved ? say('unsavedMark') : '');
    if (file === current) choose.setAttribute('aria-current', 'true');
    choose.onclick = () => showFile(file);
    const close = document.createElement('button');
    close.type = 'button';
    close.className = 'close';
    close.textContent = '×';
    close.setAttribute('aria-label', say('closeFile', file.name));
    close.onclick = () => closeFile(file);
    item.append(choose, close);
    return item;
  }));
  $('Files').hidden = files.length === 0;
  if (focused) ($('Files').querySelector('[aria-current=true]') ?? $('BitBtn_FileOpen')).focus();
}

function showFile(file) {
  if (current === file) return;
  current = file;
  noteMemory();
  refreshGenreList();
  refreshFiles();
  if (file && file.shownGenre >= 0) {
    selectGenre($('ListBox_Gerne').children[file.shownGenre]);
    showProblems(file.shownGenre);
  }
  setStatus(windowSays(texts, file ? 'genreList' : 'noFile'));
}

function closeFile(file) {
  if (file.set?.unsaved && !window.confirm(say('confirmClose', file.name))) return;
  file.close();
  search.forget(file);
  const at = files.indexOf(file);
  files.splice(at, 1);
  if (current === file) {
    current = null;
    showFile(files[Math.min(at, files.length - 1)] ?? null);
    if (!current) {
      refreshGenreList();
      setStatus(windowSays(texts, 'noFile'));
    }
  }
  refreshFiles();
  noteMemory();
}

// --- the window -------------------------------------------------------------

// The status: the latest message whole (a live region), and those before it.
const kEarlierMessages = 5;
function setStatus(text) {
  const status = $('Panel_Help');
  if (status.textContent !== '') {
    const item = document.createElement('li');
    item.textContent = status.textContent;
    $('Status_Log').prepend(item);
    while ($('Status_Log').children.length > kEarlierMessages) $('Status_Log').lastChild.remove();
    $('Status_Earlier').hidden = false;
  }
  status.textContent = text;
}

// The page keeps room at its foot for the status bar, however many lines it takes.
new ResizeObserver(([entry]) => {
  const room = entry.target.getBoundingClientRect().height + 12;
  document.documentElement.style.setProperty('--status-room', `${Math.ceil(room)}px`);
}).observe(document.querySelector('.statusbar'));

// RefreshGenreList: the eight lines, the file's name, the output controls.
function refreshGenreList() {
  const list = $('ListBox_Gerne');
  const lines = current ? current.lines.map((_, g) => current.genreLine(g)) : blankLines;
  list.replaceChildren(...lines.map((line, g) => {
    const item = document.createElement('li');
    item.id = `Genre_${g}`;
    item.role = 'option';
    item.textContent = line;
    item.dataset.genre = g;
    item.setAttribute('aria-selected', 'false');
    return item;
  }));
  list.removeAttribute('aria-activedescendant');
  $('Panel_FileName').textContent = current ? current.name : '';
  for (const id of kOutputControls) $(id).disabled = !current || (id === 'Button_Xlsx' && !canXlsx);
  editor.hide();
  showSaveMessages([]);
}

// The list's lines and the file's tab after an edit.
function edited(file) {
  if (file !== current) return;
  [...$('ListBox_Gerne').children].forEach((item, g) => {
    const line = current.genreLine(g);
    if (item.textContent !== line) item.textContent = line;
  });
  const tab = $('Files').querySelector('[aria-current=true]');
  const name = file.name + (file.set.unsaved ? say('unsavedMark') : '');
  if (tab && tab.textContent !== name) tab.textContent = name;
  $('Button_Undo').disabled = file.set.at === 0;
  $('Button_Redo').disabled = file.set.at === file.set.steps.length;
}

function showWarning(title, text) {
  $('Warning_Title').textContent = title;
  $('Warning_Text').textContent = text;
  $('Warning').showModal();
}

function progress(done, total) {
  // A total of 0: an output whose size is known only at its end.
  if (total === 0) {
    $('Progress').removeAttribute('value');
  } else {
    $('Progress').max = total;
    $('Progress').value = done;
  }
}

let workStarted = 0;
function startWork(file) {
  if (file) file.busy = true;
  workStarted = performance.now();
  document.body.setAttribute('aria-busy', 'true');
  $('Progress').max = 1;
  $('Progress').value = 0;
  $('Progress').hidden = false;
}

function endWork(file) {
  if (file) file.busy = false;
  if (files.some((f) => f.busy)) return;
  document.body.removeAttribute('aria-busy');
  $('Progress').hidden = true;
}

// Opening a file stops what another file's worker is still making (an
// output the user asked for before would otherwise arrive after they moved
// on); that file stays open, in a fresh worker.
function stopOutputs() {
  for (const file of files) {
    if (!file.busy) continue;
    file.busy = false;
    file.restart().then(() => editor.file === file && editor.render(), noteFailure);
  }
  endWork(null);
}

// LoadFile: opens the file beside those open; the latest chosen takes the
// window, or, when it is no problem file, leaves it in the no-file state.
async function loadFile(chosen) {
  if (!texts || !chosen) return;
  const turn = ++opening;
  stopOutputs();
  const file = new OpenFile(chosen);
  startWork(file);
  try {
    const ok = await file.open((done, total) => turn === opening && progress(done, total));
    endWork(file);
    if (turn === opening) window.munemojiTimings.load = performance.now() - workStarted;
    if (!ok) {
      file.close();
      if (turn !== opening) return;
      showWarning(windowSays(texts, 'warningTitle'), windowSays(texts, 'notAProblemFile'));
      current = null;
      noteMemory();
      refreshGenreList();
      refreshFiles();
      setStatus(windowSays(texts, 'noFile'));
      return;
    }
    files.push(file);
    if (turn === opening) {
      current = file;
      noteMemory();
      refreshGenreList();
      setStatus(windowSays(texts, 'genreList'));
    }
    refreshFiles();
  } catch (error) {
    endWork(file);
    file.close();
    if (error instanceof Stopped || turn !== opening) return;
    showWarning(texts.appTitle, error.message);
    current = null;
    noteMemory();
    refreshGenreList();
    refreshFiles();
    setStatus(windowSays(texts, 'noFile'));
  }
}

function saveBlob(name, blob) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  link.hidden = true;
  document.body.append(link);
  link.click();
  setTimeout(() => {
    link.remove();
    URL.revokeObjectURL(link.href);
  }, 60_000);
}

// A worker whose core grew (an edited set is made whole in it) is replaced
// by a fresh one, which gives that memory back.
function afterBigWork(file, memory) {
  file.memory = memory ?? file.memory;
  if (file.memory <= idleMemory) return;
  file.restart().then(() => {
    noteMemory();
    if (editor.file === file) editor.render();
  }, noteFailure);
}

// The outputs: the eight genre files as one zip, one genre's file, the
// one-file text, CSV, JSON, XLSX; of the set with its edits. The status line
// says what each made.
async function convert(action, extra = {}) {
  const file = current;
  if (!file || file.busy) return;
  startWork(file);
  try {
    const edits = file.set.changed ? file.set.forWriting() : null;
    const made = await file.converter.request(action, { utf8: wantUtf8(), edits, ...extra }, progress);
    endWork(file);
    window.munemojiTimings.output = performance.now() - workStarted;
    if (made.refused) {
      showSaveMessages(made.messages);
      setStatus(say('notMadeEdits', made.name));
      return;
    }
    saveBlob(made.name, made.blob);
    const said = action === 'eight' ? windowSays(texts, 'exported') : say('made', made.name);
    setStatus(made.invalidBytes > 0 ? said + say('invalid', made.invalidBytes) : said);
    if (edits) afterBigWork(file, made.memory);
  } catch (error) {
    if (error instanceof Stopped) return;
    endWork(file);
    setStatus(windowSays(texts, 'exportFailed'));
    console.warn(error.message);
  }
}

// Save: the set with its edits as a problem file, or, while a text cannot be
// stored, every reason, each a link to its field.
async function save() {
  const file = current;
  if (!file || file.busy) return;
  startWork(file);
  try {
    const version = file.set.version, at = file.set.at;
    const made = await file.converter.request('save', { edits: file.set.forWriting() }, progress);
    endWork(file);
    showSaveMessages(made.messages);
    if (made.refused) {
      setStatus(say('notSaved', made.name));
      return;
    }
    saveBlob(made.name, made.blob);
    if (file.set.version === version) file.set.savedAt = at;
    edited(file);
    refreshFiles();
    const notes = made.messages.length;
    setStatus(notes > 0 ? say('savedWithNotes', made.name, notes) : say('saved', made.name));
    afterBigWork(file, made.memory);
  } catch (error) {
    if (error instanceof Stopped) return;
    endWork(file);
    setStatus(windowSays(texts, 'exportFailed'));
    console.warn(error.message);
  }
}

// What saving found, under the save button: errors first, each a link that
// takes the user to its field.
function showSaveMessages(messages) {
  const list = $('Save_Messages');
  list.replaceChildren(...messages.map((message) => {
    const item = document.createElement('li');
    if (message.genre >= 0 && message.field >= -1) {
      const link = document.createElement('a');
      link.href = '#';
      link.textContent = message.text;
      link.onclick = (event) => {
        event.preventDefault();
        goToField(current, message.genre, message.problem - 1, message.field);
      };
      item.append(link);
    } else {
      item.textContent = message.text;
    }
    if (!message.error) item.className = 'warning';
    return item;
  }));
  list.hidden = messages.length === 0;
}

// Shows a field of a file: its genre, its problem (place from 0; -1 for the
// genre's name) and field (0-5, -1 for the name).
async function goToField(file, genre, place, field) {
  if (!file) return;
  if (current !== file) showFile(file);
  const item = $('ListBox_Gerne').children[genre];
  if (item) selectGenre(item);
  if (editor.file !== file || editor.genre !== genre) await showProblems(genre);
  if (place < 0 || field < 0) $('Genre_Name').focus();
  else await editor.goTo(place, field);
}

// --- the way back: a CSV or JSON to its problem file --------------------

// What each extension is written back from; any other file is loaded as
// a problem file.
const kBackKinds = { '.csv': 'csv', '.json': 'json' };
let backConverter = null;  // the worker of the write-back under way

function showBackMessages(lines) {
  $('WriteBack_Messages').replaceChildren(...lines.map((line) => {
    const item = document.createElement('li');
    item.textContent = line;
    // The core words them in the page's language.
    if (/(^|: )(警告|warning): /.test(line)) item.className = 'warning';
    return item;
  }));
  $('WriteBack_Messages').hidden = lines.length === 0;
}

let waitingForEncoding = null;  // the CSV that reads two ways, until the user says how
const backEncoding = () => document.querySelector('input[name="BackEncoding"]:checked').value;

// The problem file is made in a worker of its own, so a loaded problem
// file stays as it is and the memory the CSV or JSON took goes with that
// worker. A later CSV or JSON replaces one still being read.
async function writeBack(file, kind) {
  if (!texts) return;
  backConverter?.stop();
  const worker = (backConverter = new Converter());
  const showProgress = (done, total) => {
    if (files.some((f) => f.busy)) return;
    $('Progress').hidden = false;
    progress(done, total);
  };
  showBackMessages([]);
  waitingForEncoding = null;
  setStatus(say('reading', file.name));
  try {
    const made = await worker.request('writeBack', {
      file, kind, formulaGuard: $('Check_FormulaGuard').checked, encoding: backEncoding(),
    }, showProgress);
    if (made.tooLarge) {
      setStatus(say('tooLarge', file.name, kind.toUpperCase(), made.limit / 2 ** 20));
    } else if (!made.blob) {
      showBackMessages(made.messages);
      if (made.asksEncoding) waitingForEncoding = { file, kind };
      setStatus(made.asksEncoding ? say('readsTwoWays', file.name) : say('notMade', made.name));
    } else {
      saveBlob(made.name, made.blob);
      showBackMessages(made.messages);
      setStatus(made.messages.length > 0 ? say('madeWithNotes', made.name, made.messages.length) : say('made', made.name));
    }
  } catch (error) {
    if (error instanceof Stopped) return;
    // Why, where it is read, not only in the console.
    setStatus(say('unreadable', file.name));
    showBackMessages([String(error.message ?? error)]);
    console.warn(error.message);
  } finally {
    worker.stop();
    if (backConverter === worker) backConverter = null;
    if (!files.some((f) => f.busy)) $('Progress').hidden = true;
  }
}

// The user says how the CSV that read two ways is to be read: it is read again so.
$('BackEncoding').addEventListener('change', () => {
  if (waitingForEncoding) writeBack(waitingForEncoding.file, waitingForEncoding.kind);
});

// Chosen or dropped files: a CSV or JSON is written back, anything else
// opened as a problem file.
function openFiles(list) {
  for (const file of list) {
    const kind = kBackKinds[extensionOf(file.name)];
    if (kind) writeBack(file, kind);
    else loadFile(file);
  }
}

// --- a genre's problems -------------------------------------------------

const editor = new ProblemEditor({
  onChange: edited,
  status: setStatus,
});

const search = new Search({ files: () => files, goTo: goToField });

function selectGenre(item) {
  const list = $('ListBox_Gerne');
  for (const other of list.children) other.setAttribute('aria-selected', String(other === item));
  list.setAttribute('aria-activedescendant', item.id);
  item.scrollIntoView({ block: 'nearest' });
}

async function showProblems(genre) {
  if (!current) return;
  current.shownGenre = genre;
  try {
    await editor.show(current, genre);
  } catch (error) {
    if (!(error instanceof Stopped)) console.warn(error.message);
  }
}

// On a narrow screen the problems come below everything else: a genre
// chosen brings them into view (the focus stays in the list).
async function showProblemsInView(genre) {
  await showProblems(genre);
  const section = $('Problems');
  if (!section.hidden && section.getBoundingClientRect().top > window.innerHeight * 0.8) {
    section.scrollIntoView({ block: 'start' });
  }
}

async function undoOrRedo(redo) {
  const file = current;
  if (!file) return;
  const where = redo ? file.set.redo() : file.set.undo();
  if (!where) {
    setStatus(say(redo ? 'nothingToRedo' : 'nothingToUndo'));
    return;
  }
  edited(file);
  await editor.stepped(where);
  edited(file);
  setStatus(say(redo ? 'redone' : 'undone'));
}

// --- controls -----------------------------------------------------------

$('BitBtn_FileOpen').onclick = () => $('OpenDialog').click();
$('Button_WriteBack').onclick = () => $('WriteBackDialog').click();
for (const id of ['OpenDialog', 'WriteBackDialog']) {
  $(id).onchange = (event) => {
    openFiles([...event.target.files]);
    event.target.value = '';
  };
}
$('BitBtn_Decode1').onclick = () => convert('eight');
$('BitBtn_Decode2').onclick = () => convert('oneFile');
$('Button_Csv').onclick = () => convert('csv');
$('Button_Json').onclick = () => convert('json');
$('Button_Xlsx').onclick = () => convert('xlsx');
$('Button_Save').onclick = () => save();
$('Button_Undo').onclick = () => undoOrRedo(false);
$('Button_Redo').onclick = () => undoOrRedo(true);
$('Button_Add').onclick = () => editor.add();
$('Button_ToGenres').onclick = () => {
  $('ListBox_Gerne').scrollIntoView({ block: 'center' });
  $('ListBox_Gerne').focus();
};
$('Problems_Download').onclick = (event) => {
  event.preventDefault();
  convert('genre', { genre: Number(event.target.dataset.genre) });
};
$('Warning_Ok').onclick = () => $('Warning').close();
$('Button_About').onclick = () => $('About').showModal();
$('About_Close').onclick = () => $('About').close();

// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z undo and redo the page's edits (the
// fields' own undo would undo only their text, unknown to the page).
document.addEventListener('keydown', (event) => {
  if (!(event.ctrlKey || event.metaKey) || event.altKey || !current) return;
  if (event.target.closest?.('#Search, .way-back')) return;
  const key = event.key.toLowerCase();
  if (key === 'z' || key === 'y') {
    event.preventDefault();
    undoOrRedo(key === 'y' || event.shiftKey);
  }
});

// The genre list is one tab stop: arrows, Home and End move the selection,
// Enter or Space (or a click) shows the selected genre's problems.
const list = $('ListBox_Gerne');
list.onclick = (event) => {
  const item = event.target.closest('li');
  if (!item) return;
  selectGenre(item);
  showProblemsInView(Number(item.dataset.genre));
};
list.onkeydown = (event) => {
  const items = [...list.children];
  const at = items.findIndex((item) => item.getAttribute('aria-selected') === 'true');
  const moves = { ArrowDown: at + 1, ArrowUp: at < 0 ? 0 : at - 1, Home: 0, End: items.length - 1 };
  if (event.key in moves) {
    event.preventDefault();
    selectGenre(items[Math.max(0, Math.min(items.length - 1, moves[event.key]))]);
  } else if ((event.key === 'Enter' || event.key === ' ') && at >= 0) {
    event.preventDefault();
    showProblemsInView(at);
  }
};

// Problem files, CSVs and JSONs dropped anywhere on the page.
document.addEventListener('dragover', (event) => {
  event.preventDefault();
  document.body.classList.add('dragging');
});
document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
document.addEventListener('drop', (event) => {
  event.preventDefault();
  document.body.classList.remove('dragging');
  openFiles([...event.dataTransfer.files]);
});

// A reload or closing the page would lose edits not saved: the browser asks first.
window.addEventListener('beforeunload', (event) => {
  if (!files.some((file) => file.set?.unsaved)) return;
  event.preventDefault();
  event.returnValue = say('unsavedLeave');
});

// --- start --------------------------------------------------------------

applyTexts(document);
const other = say('otherLanguageCode');
$('Link_Language').href = `?lang=${other}`;
$('Link_Language').hreflang = other;
$('Link_Language').lang = other;
spare = new Converter();
spare.ready.then((started) => {
  texts = started.texts;
  idleMemory = started.memory;
  document.body.dataset.idleMemory = idleMemory;
  canXlsx = started.xlsx;
  blankLines = started.lines;
  cp932Sizes = started.sizes;
  $('Version').textContent = say('version', started.version);
  $('About_Version').textContent = say('aboutText', started.version);
  document.title = texts.appTitle;
  noteMemory();
  refreshGenreList();
  refreshFiles();
  setStatus(windowSays(texts, 'noFile'));
  document.body.dataset.ready = 'true';
}, (error) => {
  setStatus(String(error.message));
});

// Offline once opened, when served (a page opened from disk has no
// service workers, and needs none).
if (location.protocol === 'https:' || location.protocol === 'http:') {
  navigator.serviceWorker?.register('offline.js').catch(() => {});
}
