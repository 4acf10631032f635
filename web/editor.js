// A genre's problems, to read and edit: the genre's name, then each
// problem's question and five choices in fields that show their Shift-JIS
// size against the field's width as the user types, with buttons that move,
// add and remove problems. Only the problems in view are made (a genre may
// hold 32767 of them), every row one height, placed by its number; the file's
// texts come from the worker as rows come into view.

const kOverscan = 8;     // rows made beyond the view on either side
const kAllRowsUpTo = 60;  // a genre this small is made whole
const kActionMarks = { moveUp: '↑', moveDown: '↓', insert: '＋', remove: '✕' };

// A request that failed: one whose worker was stopped (its file's worker is
// being started afresh) is no failure; the view is made again once it is.
const noteFailure = (error) => {
  if (!(error instanceof Stopped)) console.warn(error.message);
};

class ProblemEditor {
  // page: {onChange(file), status(text)}, what the editor tells the page.
  constructor(page) {
    this.page = page;
    this.file = null;  // the open file shown (OpenFile in app.js)
    this.genre = -1;
    this.rows = new Map();  // place -> its <li>
    this.rowHeight = 0;
    this.typing = null;     // the field typed in since it took the focus
    this.shown = 0;         // grows with each genre shown, so a late answer is dropped
    this.list = document.getElementById('Problems_List');
    this.section = document.getElementById('Problems');
    this.name = document.getElementById('Genre_Name');
    this.list.addEventListener('input', (event) => this.typed(event.target));
    this.list.addEventListener('keydown', (event) => {
      // A question is one line of the genre file: Enter adds no line break.
      if (event.key === 'Enter' && event.target.tagName === 'TEXTAREA') event.preventDefault();
    });
    this.list.addEventListener('focusin', (event) => { if (this.typing !== event.target) this.typing = null; });
    this.list.addEventListener('click', (event) => {
      const button = event.target.closest('button[data-action]');
      if (button) this.act(button.dataset.action, Number(button.closest('li.problem').dataset.place));
    });
    this.list.addEventListener('change', (event) => {
      if (event.target.dataset.action !== 'moveTo' || event.target.value === '') return;
      const place = Number(event.target.closest('li.problem').dataset.place);
      this.moveTo(place, Number(event.target.value));
    });
    this.name.addEventListener('input', () => this.namedGenre());
    this.name.addEventListener('focus', () => { this.typing = null; });
    const later = () => requestAnimationFrame(() => this.render());
    window.addEventListener('scroll', later, { passive: true });
    window.addEventListener('resize', () => {
      this.rowHeight = 0;
      later();
    });
  }

  get set() { return this.file.set; }

  // Shows the genre of the file, once the texts of its first problems are in.
  async show(file, genre, place = 0) {
    const shown = ++this.shown;
    this.file = file;
    this.genre = genre;
    this.typing = null;
    await this.fetchAround(place);
    if (shown !== this.shown) return;
    this.rows.forEach((row) => row.remove());
    this.rows.clear();
    this.section.hidden = false;
    this.refreshHeading();
    this.render();
  }

  hide() {
    ++this.shown;
    this.section.hidden = true;
    this.file = null;
    this.genre = -1;
    this.rows.forEach((row) => row.remove());
    this.rows.clear();
  }

  // The title, the name field and the genre file's link, as the set has them.
  refreshHeading() {
    const { file, genre } = this;
    document.getElementById('Problems_Title').textContent = file.genreLine(genre);
    if (this.name.value !== this.set.names[genre]) this.name.value = this.set.names[genre];
    this.name.setAttribute('aria-label', say('namePlace', genre, say('name')));
    this.noteField(this.name, document.getElementById('Genre_Name_Note'), kNameSize);
    const link = document.getElementById('Problems_Download');
    link.textContent = say('genreFile', file.genreFileNames[genre]);
    link.dataset.genre = genre;
    document.getElementById('Problems_Empty').hidden = this.set.count(genre) > 0;
    this.page.onChange(file);
  }

  // --- the rows in view -----------------------------------------------------

  // The places the view shows, and a few beyond.
  visibleRange() {
    const count = this.set.count(this.genre);
    if (count <= kAllRowsUpTo) return [0, count];
    const top = this.list.getBoundingClientRect().top;
    const first = Math.floor(-top / this.rowHeight) - kOverscan;
    const last = Math.ceil((window.innerHeight - top) / this.rowHeight) + kOverscan;
    return [Math.max(0, Math.min(first, count - 1)), Math.max(0, Math.min(last, count))];
  }

  render() {
    if (!this.file || this.section.hidden) return;
    const count = this.set.count(this.genre);
    if (this.rowHeight === 0) this.rowHeight = this.measureRow();
    this.list.style.height = `${count * this.rowHeight}px`;
    const [first, end] = this.visibleRange();
    // A row holding the focus stays, wherever it went.
    const focused = document.activeElement?.closest?.('#Problems_List li.problem');
    for (const [place, row] of this.rows) {
      if ((place < first || place >= end || place >= count) && row !== focused) {
        row.remove();
        this.rows.delete(place);
      }
    }
    const missing = [];
    for (let place = first; place < end; ++place) {
      let row = this.rows.get(place);
      if (!row) {
        row = this.makeRow();
        this.rows.set(place, row);
      }
      if (!this.fillRow(row, place)) missing.push(place);
    }
    // In the document in their order, for screen readers; a row is moved
    // only when out of place (moving the focused one would take its focus).
    let previous = null;
    for (const place of [...this.rows.keys()].sort((a, b) => a - b)) {
      const row = this.rows.get(place);
      const next = previous ? previous.nextElementSibling : this.list.firstElementChild;
      if (row !== next) this.list.insertBefore(row, next);
      previous = row;
    }
    if (missing.length > 0) this.fetchAround(first, end).then(() => this.render(), noteFailure);
  }

  measureRow() {
    const probe = this.makeRow();
    probe.style.visibility = 'hidden';
    this.list.append(probe);
    const height = probe.getBoundingClientRect().height;
    probe.remove();
    return height || 300;
  }

  // Asks the worker for the texts of the file's problems around place.
  fetchAround(first, end = first + 40) {
    const list = this.set.genres[this.genre];
    const refs = [];
    for (let place = Math.max(0, first); place < Math.min(end, list.length); ++place) {
      if (isFileProblem(list[place]) && !this.file.texts.has(list[place])) refs.push(list[place]);
    }
    return refs.length === 0 ? Promise.resolve() : this.file.fetchTexts(refs);
  }

  // The texts shown for the problem at place: its own, or the file's once
  // they are in (null until then).
  textsAt(place) {
    const entry = this.set.entry(this.genre, place);
    return isFileProblem(entry) ? this.file.texts.get(entry) ?? null : entry.texts;
  }

  makeRow() {
    const row = document.createElement('li');
    row.className = 'problem';
    const head = document.createElement('div');
    head.className = 'head';
    const number = document.createElement('span');
    number.className = 'number';
    // A mark, and what the button does (which a narrow screen leaves out:
    // its accessible name says it all the same).
    const button = (action) => {
      const element = document.createElement('button');
      element.type = 'button';
      element.dataset.action = action;
      const mark = document.createElement('span');
      mark.className = 'mark';
      mark.setAttribute('aria-hidden', 'true');
      mark.textContent = kActionMarks[action];
      const label = document.createElement('span');
      label.className = 'label';
      label.textContent = say(action);
      element.append(mark, label);
      return element;
    };
    const moveTo = document.createElement('select');
    moveTo.dataset.action = 'moveTo';
    head.append(number, button('moveUp'), button('moveDown'), moveTo, button('insert'), button('remove'));
    const question = document.createElement('p');
    question.className = 'field question';
    question.append(document.createElement('textarea'), this.makeNote());
    const choices = document.createElement('ol');
    choices.className = 'choices';
    for (let c = 0; c < 5; ++c) {
      const choice = document.createElement('li');
      choice.className = 'field';
      choice.append(document.createElement('input'), this.makeNote());
      choices.append(choice);
    }
    row.append(head, question, choices);
    row.querySelectorAll('textarea, input').forEach((field, f) => {
      field.dataset.field = f;
      field.placeholder = say('empty');
      field.spellcheck = false;
      field.autocomplete = 'off';
    });
    return row;
  }

  makeNote() {
    const note = document.createElement('span');
    note.className = 'note';
    note.id = `Note_${++ProblemEditor.notes}`;
    return note;
  }

  // Puts the problem at place into row; false when its texts are not in yet.
  fillRow(row, place) {
    const { genre } = this;
    const count = this.set.count(genre);
    row.dataset.place = place;
    row.value = place + 1;
    row.style.top = `${place * this.rowHeight}px`;
    row.setAttribute('aria-posinset', place + 1);
    row.setAttribute('aria-setsize', count);
    const n = place + 1;
    row.querySelector('.number').textContent = say('problem', n);
    const labels = { moveUp: 'moveUpOf', moveDown: 'moveDownOf', insert: 'insertOf', remove: 'removeOf' };
    for (const button of row.querySelectorAll('button[data-action]')) {
      button.title = say(labels[button.dataset.action], n);
      button.setAttribute('aria-label', button.title);
    }
    row.querySelector('[data-action=moveUp]').disabled = place === 0;
    row.querySelector('[data-action=moveDown]').disabled = place === count - 1;
    this.fillMoveTo(row.querySelector('select'), n);
    const texts = this.textsAt(place);
    row.querySelectorAll('textarea, input').forEach((field, f) => {
      const text = texts?.[f] ?? '';
      field.disabled = texts === null;
      if (field.value !== text) field.value = text;
      field.setAttribute('aria-label', say('fieldPlace', genre, n, f === 0 ? say('question') : say('choice', f)));
      this.noteField(field, field.nextElementSibling, kFieldSizes[f]);
    });
    return texts !== null;
  }

  fillMoveTo(select, n) {
    const wanted = [say('moveTo'), ...this.file.lines.map((_, g) => this.file.genreLine(g))];
    if (select.options.length !== wanted.length || [...select.options].some((o, i) => o.text !== wanted[i])) {
      select.replaceChildren(...wanted.map((text, i) => {
        const option = document.createElement('option');
        option.text = text;
        option.value = i === 0 ? '' : i - 1;
        return option;
      }));
    }
    for (const option of select.options) option.disabled = option.value === String(this.genre);
    select.value = '';
    select.setAttribute('aria-label', say('moveToOf', n));
  }

  // Shows the field's size, or what keeps it from being saved, as its
  // description, and marks it when it cannot be saved.
  noteField(field, note, size) {
    const measured = measureField(field.value, size);
    const valid = fieldIsValid(measured);
    note.textContent = describeField(measured);
    note.title = note.textContent;
    note.classList.toggle('bad', !valid);
    field.setAttribute('aria-describedby', note.id);
    if (valid) field.removeAttribute('aria-invalid');
    else field.setAttribute('aria-invalid', 'true');
  }

  // --- changes ------------------------------------------------------------

  typed(field) {
    const row = field.closest('li.problem');
    if (!row) return;
    if (field.tagName === 'TEXTAREA' && /[\r\n]/.test(field.value)) {
      // Pasted lines become one: a question is one line of the genre file.
      const at = field.selectionStart;
      field.value = field.value.replace(/\r\n?|\n/g, ' ');
      field.setSelectionRange(at, at);
    }
    const place = Number(row.dataset.place), f = Number(field.dataset.field);
    const texts = this.textsAt(place);
    if (texts === null) return;
    this.set.setText(this.genre, place, f, field.value, texts, this.typing === field);
    this.typing = field;
    this.noteField(field, field.nextElementSibling, kFieldSizes[f]);
    this.page.onChange(this.file);
  }

  namedGenre() {
    this.set.setName(this.genre, this.name.value, this.typing === this.name);
    this.typing = this.name;
    this.noteField(this.name, document.getElementById('Genre_Name_Note'), kNameSize);
    document.getElementById('Problems_Title').textContent = this.file.genreLine(this.genre);
    this.page.onChange(this.file);
  }

  act(action, place) {
    const { genre, set } = this;
    if (action === 'moveUp' && place > 0) this.changed(set.move(genre, place, genre, place - 1), action);
    if (action === 'moveDown' && place < set.count(genre) - 1) this.changed(set.move(genre, place, genre, place + 1), action);
    if (action === 'insert') this.add(place + 1);
    if (action === 'remove') {
      this.changed(set.remove(genre, place), action);
      this.page.status(say('removed', place + 1));
    }
  }

  add(place = this.set.count(this.genre)) {
    const where = this.set.insert(this.genre, place);
    if (where === null) this.page.status(say('genreFull', this.genre));
    else this.changed(where, 'insert');
  }

  moveTo(place, toGenre) {
    const to = this.set.count(toGenre);
    const where = this.set.move(this.genre, place, toGenre, to);
    if (where === null) {
      this.page.status(say('genreFull', toGenre));
      return;
    }
    this.page.status(say('moved', place + 1, toGenre, to + 1));
    // Stays in this genre, at the problem that took the moved one's place.
    this.changed({ genre: this.genre, place, field: -1 }, 'remove');
  }

  // After a step: the view as the set now is, and the focus where the step
  // happened (on the same button for a move, so it can be pressed again).
  async changed(where, action) {
    if (!where) return;
    if (where.genre !== this.genre) await this.show(this.file, where.genre, where.place);
    this.refreshHeading();
    const count = this.set.count(this.genre);
    if (count === 0) {
      this.render();
      this.name.focus();
      return;
    }
    const place = Math.max(0, Math.min(where.place, count - 1));
    await this.goTo(place, action === 'moveUp' || action === 'moveDown' ? action : where.field);
  }

  // Scrolls the problem at place into view and puts the focus on a field
  // (0-5), a button (by its action), or the name (field -1 with no place).
  async goTo(place, focus) {
    const top = this.list.getBoundingClientRect().top + window.scrollY + place * (this.rowHeight || this.measureRow());
    const bar = document.querySelector('.editor-bar')?.getBoundingClientRect().height ?? 0;
    if (top < window.scrollY + bar || top + this.rowHeight > window.scrollY + window.innerHeight) {
      window.scrollTo({ top: Math.max(0, top - bar - 8) });
    }
    await this.fetchAround(place - 4, place + 8);
    this.render();
    const row = this.rows.get(place);
    if (!row) return;
    const target = typeof focus === 'string'
      ? row.querySelector(`[data-action=${focus}]`)
      : row.querySelectorAll('textarea, input')[Math.max(0, focus)];
    (target?.disabled ? row.querySelector('textarea') : target)?.focus();
  }

  // Undo and redo: the genre, problem and field of the step come into view.
  async stepped(where) {
    if (!where) return;
    if (where.place === -1) {
      if (where.genre !== this.genre) await this.show(this.file, where.genre);
      this.refreshHeading();
      this.render();
      this.name.focus();
      return;
    }
    if (where.genre !== this.genre) await this.show(this.file, where.genre, where.place);
    this.refreshHeading();
    const count = this.set.count(this.genre);
    if (count === 0) {
      this.render();
      return;
    }
    await this.goTo(Math.max(0, Math.min(where.place, count - 1)), where.field);
  }
}
ProblemEditor.notes = 0;
