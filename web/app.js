// The page's main thread: the window's states and messages (as the window
// program shows them), the open control and drops, the problems of a genre,
// and the downloads. All converting happens in worker.js.
const $ = (id) => document.getElementById(id);
const worker = new Worker(new URL('./worker.js', import.meta.url), { type: 'module' });
const kProblemsPerPage = 50;

let texts = null;      // the window's messages, from the core
let loadedName = '';   // the problem file's name while one is loaded
let problemLines = []; // the shown genre's file lines
let problemCount = 0;
let shownProblems = 0;
let busy = false;

// Timings of the last load and output (from the request to the bytes being
// ready to download), in ms, read by the benchmark.
window.munemojiTimings = {};
let workStarted = 0;

// The name without its extension, as mnr2txt names its outputs.
const baseName = () => {
  const dot = loadedName.lastIndexOf('.');
  return dot >= 0 ? loadedName.slice(0, dot) : loadedName;
};
const wantUtf8 = () => document.querySelector('input[name=encoding]:checked').value === 'utf8';

function setEnabled(button, on) {
  button.disabled = !on;
  const img = button.querySelector('img');
  if (img) img.src = img.src.replace(/(-disabled)?\.svg$/, on ? '.svg' : '-disabled.svg');
}

function setStatus(text) {
  $('Panel_Help').textContent = text;
}

// RefreshGenreList: the eight lines, the file's name, the export controls.
function refreshGenreList(lines) {
  const list = $('ListBox_Gerne');
  list.replaceChildren(...lines.map((line, g) => {
    const item = document.createElement('li');
    item.role = 'option';
    item.textContent = line;
    item.dataset.genre = g;
    item.setAttribute('aria-selected', 'false');
    return item;
  }));
  $('Panel_FileName').textContent = loadedName;
  for (const id of ['BitBtn_Decode1', 'BitBtn_Decode2', 'Button_Csv', 'Button_Json']) setEnabled($(id), loadedName !== '');
  $('Problems').hidden = true;
}

function showWarning(text) {
  $('Warning_Title').textContent = texts.warningTitle;
  $('Warning_Text').textContent = text;
  $('Warning').showModal();
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

function loadFile(file) {
  if (!texts || busy || !file) return;
  startWork();
  worker.postMessage({ type: 'load', file });
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

// Problems of a genre: question and five choices as in the genre file,
// a page of them at a time.
function showProblems(genre, lines, count) {
  problemLines = lines;
  problemCount = count;
  shownProblems = 0;
  $('Problems_Title').textContent = $('ListBox_Gerne').children[genre].textContent;
  const link = $('Problems_Download');
  link.textContent = `${baseName()}${genre}.txt`;
  link.dataset.genre = genre;
  $('Problems_List').replaceChildren();
  $('Problems').hidden = false;
  showMoreProblems();
}

function showMoreProblems() {
  const end = Math.min(problemCount, shownProblems + kProblemsPerPage);
  const items = [];
  for (let n = shownProblems; n < end; ++n) {
    const at = 1 + 7 * n + 1;  // name line, then per problem an empty line first
    const item = document.createElement('li');
    const question = document.createElement('p');
    question.textContent = problemLines[at];
    const choices = document.createElement('ol');
    for (let c = 1; c <= 5; ++c) {
      const choice = document.createElement('li');
      choice.textContent = problemLines[at + c];
      choices.append(choice);
    }
    item.append(question, choices);
    items.push(item);
  }
  $('Problems_List').append(...items);
  shownProblems = end;
  $('Problems_More').hidden = shownProblems >= problemCount;
}

worker.onmessage = ({ data }) => {
  switch (data.type) {
    case 'ready':
      texts = data.texts;
      document.title = texts.appTitle;
      refreshGenreList(data.lines);
      setStatus(texts.noFile);
      document.body.dataset.ready = 'true';
      break;
    case 'progress':
      // A total of 0: an output whose size is known only at its end.
      if (data.total === 0) {
        $('Progress').removeAttribute('value');
      } else {
        $('Progress').max = data.total;
        $('Progress').value = data.done;
      }
      break;
    case 'loaded':
      endWork();
      window.munemojiTimings.load = performance.now() - workStarted;
      loadedName = data.ok ? data.name : '';
      if (!data.ok) showWarning(texts.notAProblemFile);
      refreshGenreList(data.lines);
      setStatus(data.ok ? texts.genreList : texts.noFile);
      break;
    case 'problems':
      showProblems(data.genre, data.lines, data.count);
      break;
    case 'download':
      endWork();
      window.munemojiTimings.output = performance.now() - workStarted;
      saveBlob(data.name, data.blob);
      if (data.name.endsWith('.zip')) setStatus(texts.exported);
      break;
    case 'failed':
      endWork();
      setStatus(texts.exportFailed);
      console.error(data.text);
      break;
  }
};

$('BitBtn_FileOpen').onclick = () => $('OpenDialog').click();
$('OpenDialog').onchange = (event) => {
  loadFile(event.target.files[0]);
  event.target.value = '';
};
// The outputs: the eight genre files as one zip, the one-file text, CSV, JSON.
function convert(type, extra = {}) {
  if (busy) return;
  startWork();
  worker.postMessage({ type, base: baseName(), utf8: wantUtf8(), ...extra });
}
$('BitBtn_Decode1').onclick = () => convert('eight');
$('BitBtn_Decode2').onclick = () => convert('oneFile');
$('Button_Csv').onclick = () => convert('csv');
$('Button_Json').onclick = () => convert('json');
$('ListBox_Gerne').onclick = (event) => {
  const item = event.target.closest('li');
  if (!item) return;
  for (const other of $('ListBox_Gerne').children) other.setAttribute('aria-selected', String(other === item));
  if (loadedName && !busy) worker.postMessage({ type: 'problems', genre: Number(item.dataset.genre) });
};
$('Problems_More').onclick = showMoreProblems;
$('Problems_Download').onclick = (event) => {
  event.preventDefault();
  convert('genre', { genre: Number(event.target.dataset.genre) });
};

// A problem file dropped anywhere on the page.
document.addEventListener('dragover', (event) => {
  event.preventDefault();
  document.body.classList.add('dragging');
});
document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
document.addEventListener('drop', (event) => {
  event.preventDefault();
  document.body.classList.remove('dragging');
  loadFile(event.dataTransfer.files[0]);
});

// Offline once opened (where the browser allows service workers).
navigator.serviceWorker?.register('offline.js').catch(() => {});
