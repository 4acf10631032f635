// The search box: finds a text in every open file's genre names, questions
// and choices, as the page holds them (edits included), and lists where,
// each hit a button that shows that field. Each file's worker reads its file
// for the file's own texts and tries the texts the page holds (the names,
// the edited problems) against the same needle, so the core folds widths
// and letter cases alike on both (frontend/TextSearch.h).

const kHitsListed = 200;
const kSearchPause = 250;  // ms after the last key before searching

class Search {
  // page: {files(), goTo(file, genre, place, field)}.
  constructor(page) {
    this.page = page;
    this.box = document.getElementById('Search_Box');
    this.status = document.getElementById('Search_Status');
    this.results = document.getElementById('Search_Results');
    this.asked = 0;  // the latest search; earlier answers are dropped
    this.shown = [];  // the hits listed
    let timer = 0;
    this.box.addEventListener('input', () => {
      clearTimeout(timer);
      timer = setTimeout(() => this.run(), kSearchPause);
    });
    this.box.addEventListener('keydown', (event) => {
      if (event.key !== 'Enter') return;
      event.preventDefault();
      clearTimeout(timer);
      this.run();
    });
  }

  async run() {
    const asked = ++this.asked;
    const needle = this.box.value;
    if (needle.trim() === '') {
      this.show(asked, [], 0, '');
      return;
    }
    const files = this.page.files();
    if (files.length === 0) {
      this.show(asked, [], 0, say('openFirst'));
      return;
    }
    this.status.textContent = say('searching');
    const started = performance.now();
    const found = await Promise.all(files.map((file) => this.inFile(file, needle).catch((error) => {
      if (!(error instanceof Stopped)) console.warn(error.message);
      return { hits: [], total: 0 };
    })));
    window.munemojiTimings.search = performance.now() - started;
    const hits = found.flatMap((f) => f.hits);
    const total = found.reduce((n, f) => n + f.total, 0);
    const said = total === 0 ? say('foundNone') : total > hits.length || hits.length > kHitsListed
      ? say('foundMore', total, Math.min(hits.length, kHitsListed)) : say('found', total);
    this.show(asked, hits.slice(0, kHitsListed), total, said);
  }

  // {hits: [{file, genre, place, field, text}] in genre and problem order,
  // total} for one file: the file's own texts where the page still holds
  // them as the file has them, and the names and edited problems it holds.
  async inFile(file, needle) {
    const { set } = file;
    const own = [];  // {genre, place, field, text} of the texts the page holds
    set.names.forEach((name, g) => own.push({ genre: g, place: -1, field: -1, text: name }));
    for (const { genre, place, entry } of set.editedProblems()) {
      entry.texts.forEach((text, f) => own.push({ genre, place, field: f, text }));
    }
    const version = set.version;
    const answer = await file.converter.request('search', { needle, texts: own.map((o) => o.text) });
    // The file's problems that were edited, removed or moved since are where
    // the page has them now, or nowhere.
    const places = set.placesOfFileProblems();
    const hits = [];
    let dropped = 0;
    for (const hit of answer.hits) {
      const at = places.get(hit.genre * kRefFactor + hit.place);
      if (!at) {
        ++dropped;
        continue;
      }
      hits.push({ file, genre: at[0], place: at[1], field: hit.field, text: hit.text });
    }
    // Counted but not sent: assumed still where they were (they are, unless edited).
    const total = answer.found - dropped + answer.matched.length;
    for (const i of answer.matched) hits.push({ file, ...own[i] });
    hits.sort((a, b) => a.genre - b.genre || a.place - b.place || a.field - b.field);
    if (set.version !== version) return this.inFile(file, needle);  // edited meanwhile: ask again
    return { hits, total };
  }

  // A closed file's hits go (and with them what they hold of it).
  forget(file) {
    this.shown = this.shown.filter((hit) => hit.file !== file);
    this.list(this.shown);
  }

  show(asked, hits, total, said) {
    if (asked !== this.asked) return;
    this.status.textContent = said;
    this.shown = hits;
    this.list(hits);
  }

  list(hits) {
    this.results.replaceChildren(...hits.map((hit) => {
      const item = document.createElement('li');
      const button = document.createElement('button');
      button.type = 'button';
      button.className = 'hit';
      const where = document.createElement('span');
      where.className = 'where';
      const field = hit.field < 0 ? say('name') : hit.field === 0 ? say('question') : say('choice', hit.field);
      where.textContent = hit.place < 0
        ? `${hit.file.name}: ${say('namePlace', hit.genre, field)}`
        : `${hit.file.name}: ${say('fieldPlace', hit.genre, hit.place + 1, field)}`;
      const text = document.createElement('span');
      text.className = 'text';
      text.textContent = hit.text;
      button.append(where, text);
      button.onclick = () => this.page.goTo(hit.file, hit.genre, hit.place, hit.field);
      item.append(button);
      return item;
    }));
  }
}
