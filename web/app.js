// The page's main thread: the window's states and messages (as the window
// program shows them), the open control and drops, the keyboard, a genre's
// problems and the downloads. All converting happens in the worker
// (worker.js), started from a blob: URL with the WebAssembly bytes this page
// carries, so the page works opened from disk as well as served.
'use strict';
(() => {
  const $ = (id) => document.getElementById(id);
  const kProblemsPerPage = 50;
  // The page's own sentences; the window's come from the core by name.
  const kSay = {
    made: (name) => `${name} を作ったにょ！`,
    invalid: (n) => `（CP932 でない ${n} バイトは U+FFFD にしたにょ）`,
    reading: (name) => `${name} を読んでいるにょ…`,
    madeWithNotes: (name, n) => `${name} を作ったにょ！（注意 ${n} 件は下にょ）`,
    notMade: (name) => `${name} は作らなかったにょ（わけは下にょ）`,
    tooLarge: (name, mib) => `${name} は大きすぎるにょ（CSV・JSON は ${mib} MiB まで）`,
    unreadable: (name) => `${name} を読めなかったにょ`,
  };

  // --- the converter: a worker answering requests by id ------------------

  const wasm = Uint8Array.from(atob($('CoreWasm').textContent.trim()), (c) => c.charCodeAt(0));
  const workerUrl = URL.createObjectURL(new Blob([$('WorkerSource').textContent], { type: 'text/javascript' }));

  // Thrown to a request whose worker was stopped (a new file replaced it).
  class Stopped extends Error {}

  class Converter {
    constructor() {
      this.worker = new Worker(workerUrl);
      this.pending = new Map();
      this.nextId = 1;
      this.worker.onmessage = ({ data }) => this.answer(data);
      this.worker.onerror = (event) => {
        event.preventDefault();
        this.failAll(new Error(event.message || 'the converter stopped'));
      };
      this.ready = this.post('start', { wasm });
    }

    // Resolves to the action's result; onProgress(done, total) on the way.
    async request(action, args = {}, onProgress = () => {}) {
      await this.ready;
      return this.post(action, args, onProgress);
    }

    post(action, args, onProgress = () => {}) {
      const id = this.nextId++;
      return new Promise((resolve, reject) => {
        this.pending.set(id, { resolve, reject, onProgress });
        this.worker.postMessage({ id, action, args });
      });
    }

    answer({ id, result, error, progress }) {
      const request = this.pending.get(id);
      if (!request) return;
      if (progress) {
        request.onProgress(progress.done, progress.total);
        return;
      }
      this.pending.delete(id);
      if (error !== undefined) request.reject(new Error(error));
      else request.resolve(result);
    }

    failAll(error) {
      for (const request of this.pending.values()) request.reject(error);
      this.pending.clear();
    }

    stop() {
      this.worker.terminate();
      this.failAll(new Stopped());
    }
  }

  let converter = null;
  let idleMemory = 0;  // the core's memory in a fresh worker, in bytes
  let texts = null;    // the window's messages, by name
  let canXlsx = false;

  // WebAssembly memory never shrinks: a worker whose core has grown is
  // replaced by a fresh one, and the old one's memory goes with it.
  async function startConverter() {
    converter?.stop();
    converter = new Converter();
    const started = await converter.ready;
    noteMemory(started.memory);
    return started;
  }

  function noteMemory(bytes) {
    document.body.dataset.memory = bytes;
  }
  const memoryGrown = () => Number(document.body.dataset.memory) > idleMemory;

  // --- the window ---------------------------------------------------------

  let loadedName = '';  // the problem file's name while one is loaded
  let busy = false;
  let loads = 0;        // the latest file chosen; earlier ones give way
  let problemGenre = -1, problemTotal = 0, problemsShown = 0;
  let blankLines = [];  // the genre list with no file loaded

  // Timings of the last load and output (from the request to the bytes
  // being ready to download), in ms, read by the benchmark.
  window.munemojiTimings = {};
  let workStarted = 0;

  // A name without its extension, as mnr2txt and txt2mnr name their
  // outputs; a leading dot belongs to the name (".hidden" stays ".hidden").
  const dotOf = (name) => (name.lastIndexOf('.') > 0 ? name.lastIndexOf('.') : name.length);
  const baseOf = (name) => name.slice(0, dotOf(name));
  const extensionOf = (name) => name.slice(dotOf(name)).toLowerCase();
  const baseName = () => baseOf(loadedName);
  const wantUtf8 = () => document.querySelector('input[name=encoding]:checked').value === 'utf8';
  const kOutputControls = ['BitBtn_Decode1', 'BitBtn_Decode2', 'Button_Csv', 'Button_Json', 'Button_Xlsx'];

  // The status line is as narrow as the window's; the whole text is also
  // its tooltip (and a screen reader reads it all).
  function setStatus(text) {
    $('Panel_Help').textContent = text;
    $('Panel_Help').title = text;
  }

  // RefreshGenreList: the eight lines, the file's name, the output controls.
  function refreshGenreList(lines) {
    const list = $('ListBox_Gerne');
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
    $('Panel_FileName').textContent = loadedName;
    for (const id of kOutputControls) $(id).disabled = loadedName === '' || (id === 'Button_Xlsx' && !canXlsx);
    $('Problems').hidden = true;
    problemGenre = -1;
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

  function startWork() {
    busy = true;
    workStarted = performance.now();
    document.body.setAttribute('aria-busy', 'true');
    $('Progress').max = 1;
    $('Progress').value = 0;
    $('Progress').hidden = false;
  }

  function endWork() {
    busy = false;
    document.body.removeAttribute('aria-busy');
    $('Progress').hidden = true;
  }

  // LoadFile: a file chosen while another loads, or while an output is being
  // made, replaces it: that work stops with its worker.
  async function loadFile(file) {
    if (!texts || !file) return;
    const load = ++loads;
    startWork();
    try {
      if (converter === null || converter.pending.size > 0 || memoryGrown()) {
        await startConverter();
        if (load !== loads) return;
      }
      const loaded = await converter.request('load', { file }, progress);
      if (load !== loads) return;
      endWork();
      window.munemojiTimings.load = performance.now() - workStarted;
      noteMemory(loaded.memory);
      loadedName = loaded.ok ? file.name : '';
      if (!loaded.ok) showWarning(texts.warningTitle, texts.notAProblemFile);
      refreshGenreList(loaded.lines);
      setStatus(loaded.ok ? texts.genreList : texts.noFile);
      // What is not a problem file leaves nothing behind.
      if (!loaded.ok && memoryGrown()) await startConverter();
    } catch (error) {
      if (error instanceof Stopped || load !== loads) return;
      endWork();
      loadedName = '';
      showWarning(texts.appTitle, error.message);
      await startConverter().catch(() => {});
      refreshGenreList(blankLines);
      setStatus(texts.noFile);
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

  // The outputs: the eight genre files as one zip, one genre's file, the
  // one-file text, CSV, JSON, XLSX. The status line says what each made.
  async function convert(action, extra = {}) {
    if (busy || !loadedName) return;
    const load = loads;
    startWork();
    try {
      const made = await converter.request(action, { base: baseName(), utf8: wantUtf8(), ...extra }, progress);
      if (load !== loads) return;
      endWork();
      window.munemojiTimings.output = performance.now() - workStarted;
      saveBlob(made.name, made.blob);
      const said = action === 'eight' ? texts.exported : kSay.made(made.name);
      setStatus(made.invalidBytes > 0 ? said + kSay.invalid(made.invalidBytes) : said);
    } catch (error) {
      if (error instanceof Stopped || load !== loads) return;
      endWork();
      setStatus(texts.exportFailed);
      console.warn(error.message);
    }
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
      // The core words them in Japanese, as the page speaks.
      if (line.includes(': 警告: ')) item.className = 'warning';
      return item;
    }));
    $('WriteBack_Messages').hidden = lines.length === 0;
  }

  // The problem file is made in a worker of its own, so a loaded problem
  // file stays as it is and the memory the CSV or JSON took goes with that
  // worker. A later CSV or JSON replaces one still being read.
  async function writeBack(file, kind) {
    if (!texts) return;
    backConverter?.stop();
    const worker = (backConverter = new Converter());
    const name = `${baseOf(file.name)}.mnr`;
    const showProgress = (done, total) => {
      if (busy) return;
      $('Progress').hidden = false;
      progress(done, total);
    };
    showBackMessages([]);
    setStatus(kSay.reading(file.name));
    try {
      const made = await worker.request('writeBack',
                                        { file, kind, formulaGuard: $('Check_FormulaGuard').checked, name }, showProgress);
      if (made.tooLarge) {
        setStatus(kSay.tooLarge(file.name, made.limit / 2 ** 20));
      } else if (!made.blob) {
        showBackMessages(made.messages);
        setStatus(kSay.notMade(name));
      } else {
        saveBlob(name, made.blob);
        showBackMessages(made.messages);
        setStatus(made.messages.length > 0 ? kSay.madeWithNotes(name, made.messages.length) : kSay.made(name));
      }
    } catch (error) {
      if (error instanceof Stopped) return;
      setStatus(kSay.unreadable(file.name));
      console.warn(error.message);
    } finally {
      worker.stop();
      if (backConverter === worker) backConverter = null;
      if (!busy) $('Progress').hidden = true;
    }
  }

  // A chosen or dropped file: a CSV or JSON is written back, anything else
  // loaded as a problem file.
  function openFile(file) {
    if (!file) return;
    const kind = kBackKinds[extensionOf(file.name)];
    if (kind) writeBack(file, kind);
    else loadFile(file);
  }

  // --- a genre's problems -------------------------------------------------

  function selectGenre(item) {
    const list = $('ListBox_Gerne');
    for (const other of list.children) other.setAttribute('aria-selected', String(other === item));
    list.setAttribute('aria-activedescendant', item.id);
    item.scrollIntoView({ block: 'nearest' });
  }

  async function showProblems(genre) {
    if (!loadedName || busy) return;
    problemGenre = genre;
    problemsShown = 0;
    await showMoreProblems();
  }

  // The next page of problems (the first: with the genre's title and link):
  // numbered, each with its numbered choices; an empty text shows as empty
  // rather than vanishing.
  async function showMoreProblems() {
    const genre = problemGenre, first = problemsShown;
    let answer;
    try {
      answer = await converter.request('problems', { genre, first, count: kProblemsPerPage });
    } catch (error) {
      if (!(error instanceof Stopped)) console.warn(error.message);
      return;
    }
    const { total, problems } = answer;
    if (genre !== problemGenre || first !== problemsShown) return;
    if (first === 0) {
      $('Problems_Title').textContent = $('ListBox_Gerne').children[genre].textContent;
      const link = $('Problems_Download');
      link.textContent = `${baseName()}${genre}.txt`;
      link.dataset.genre = genre;
      $('Problems_List').replaceChildren();
      $('Problems').hidden = false;
    }
    const text = (tag, value) => {
      const element = document.createElement(tag);
      element.textContent = value;
      if (value === '') element.className = 'empty';
      return element;
    };
    $('Problems_List').append(...problems.map((problem, n) => {
      const item = document.createElement('li');
      item.value = first + n + 1;
      const choices = document.createElement('ol');
      choices.className = 'choices';
      choices.append(...problem.choices.map((choice) => text('li', choice)));
      item.append(text('p', problem.question), choices);
      return item;
    }));
    problemTotal = total;
    problemsShown = first + problems.length;
    $('Problems_More').hidden = problemsShown >= problemTotal;
  }

  // --- controls -----------------------------------------------------------

  $('BitBtn_FileOpen').onclick = () => $('OpenDialog').click();
  $('Button_WriteBack').onclick = () => $('WriteBackDialog').click();
  for (const id of ['OpenDialog', 'WriteBackDialog']) {
    $(id).onchange = (event) => {
      openFile(event.target.files[0]);
      event.target.value = '';
    };
  }
  $('BitBtn_Decode1').onclick = () => convert('eight');
  $('BitBtn_Decode2').onclick = () => convert('oneFile');
  $('Button_Csv').onclick = () => convert('csv');
  $('Button_Json').onclick = () => convert('json');
  $('Button_Xlsx').onclick = () => convert('xlsx');
  $('Problems_More').onclick = () => showMoreProblems();
  $('Problems_Download').onclick = (event) => {
    event.preventDefault();
    convert('genre', { genre: Number(event.target.dataset.genre) });
  };
  $('Warning_Ok').onclick = () => $('Warning').close();

  // The genre list is one tab stop: arrows, Home and End move the selection,
  // Enter or Space (or a click) shows the selected genre's problems.
  const list = $('ListBox_Gerne');
  list.onclick = (event) => {
    const item = event.target.closest('li');
    if (!item) return;
    selectGenre(item);
    showProblems(Number(item.dataset.genre));
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
      showProblems(at);
    }
  };

  // A problem file, CSV or JSON dropped anywhere on the page.
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    document.body.classList.add('dragging');
  });
  document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    document.body.classList.remove('dragging');
    openFile(event.dataTransfer.files[0]);
  });

  // --- start --------------------------------------------------------------

  startConverter().then((started) => {
    texts = started.texts;
    idleMemory = started.memory;
    document.body.dataset.idleMemory = idleMemory;
    canXlsx = started.xlsx;
    blankLines = started.lines;
    document.title = texts.appTitle;
    refreshGenreList(blankLines);
    setStatus(texts.noFile);
    document.body.dataset.ready = 'true';
  }, (error) => {
    setStatus(String(error.message));
  });

  // Offline once opened, when served (a page opened from disk has no
  // service workers, and needs none).
  if (location.protocol === 'https:' || location.protocol === 'http:') {
    navigator.serviceWorker?.register('offline.js').catch(() => {});
  }
})();
