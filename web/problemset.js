// One open problem file's problems as the page shows and edits them. The
// file's own problems stay in the worker's file and are named here by number
// (genre * 32768 + place); a problem edited or made is an Edited, holding
// its six texts (and the number of the problem it was made from). Each genre
// is the list of what it holds now, in order. Every change is a step that
// can be undone and redone. Saving and every output hand these lists to the
// core, which writes whatever was not edited byte for byte.

const kRefFactor = 32768;
const kMaxProblems = 32767;
const kFieldCount = 6;
const kGenreCount = 8;

// A problem as the page holds it once edited or made; never changed in
// place, so that every step keeps the problem it replaced.
class Edited {
  constructor(from, texts) {
    this.from = from;  // the file's problem it was made from, or -1
    this.texts = texts;  // the question, then choices 1-5
    Object.freeze(this);
  }
}

const isFileProblem = (entry) => typeof entry === 'number';

class ProblemSet {
  // counts and names: the file's, per genre.
  constructor(counts, names) {
    this.genres = counts.map((count, g) => Array.from({ length: count }, (_, place) => g * kRefFactor + place));
    this.fileNames = names;
    this.names = names.slice();
    this.steps = [];
    this.at = 0;       // steps[0 ... at - 1] are done
    this.savedAt = 0;  // where the last save was
    this.version = 0;  // grows with every change
  }

  count(genre) { return this.genres[genre].length; }
  entry(genre, place) { return this.genres[genre][place]; }
  get changed() { return this.at > 0; }
  get unsaved() { return this.at !== this.savedAt; }
  markSaved() { this.savedAt = this.at; }

  // Each step is {where, apply, revert}; where: {genre, place, field} for the
  // view. A step merged into the one before (typing on) never crosses a save.
  do(step, merge = false) {
    const last = this.at > 0 && this.at === this.steps.length && this.savedAt !== this.at ? this.steps[this.at - 1] : null;
    if (merge && last?.merges?.(step)) {
      last.absorb(step);
    } else {
      this.steps.length = this.at;
      if (this.savedAt > this.at) this.savedAt = -1;  // that state can no longer be reached
      this.steps.push(step);
      this.at += 1;
    }
    step.apply();
    this.version += 1;
    return step.where;
  }

  undo() {
    if (this.at === 0) return null;
    const step = this.steps[--this.at];
    step.revert();
    this.version += 1;
    return step.where;
  }

  redo() {
    if (this.at === this.steps.length) return null;
    const step = this.steps[this.at++];
    step.apply();
    this.version += 1;
    return step.where;
  }

  // A field's new text (field 0: the question, 1-5: the choices); texts:
  // the problem's texts as they are. Typing on in the same field (merge)
  // adds to the step before.
  setText(genre, place, field, text, texts, merge) {
    const list = this.genres[genre];
    const before = list[place];
    const after = new Edited(isFileProblem(before) ? before : before.from, texts.map((t, f) => (f === field ? text : t)));
    const step = {
      where: { genre, place, field }, after,
      apply: () => { list[place] = step.after; },
      revert: () => { list[place] = before; },
      merges: (next) => next.where.genre === genre && next.where.place === place && next.where.field === field &&
                        next.before === step.after,
      absorb: (next) => { step.after = next.after; },
      before,
    };
    return this.do(step, merge);
  }

  setName(genre, name, merge) {
    const before = this.names[genre];
    const step = {
      where: { genre, place: -1, field: -1 }, after: name, before,
      apply: () => { this.names[genre] = step.after; },
      revert: () => { this.names[genre] = before; },
      merges: (next) => next.where.genre === genre && next.where.place === -1 && next.before === step.after,
      absorb: (next) => { step.after = next.after; },
    };
    return this.do(step, merge);
  }

  // A new, empty problem at place; null when the genre is full.
  insert(genre, place) {
    if (this.count(genre) >= kMaxProblems) return null;
    const list = this.genres[genre];
    const added = new Edited(-1, Array(kFieldCount).fill(''));
    return this.do({
      where: { genre, place, field: 0 },
      apply: () => list.splice(place, 0, added),
      revert: () => list.splice(place, 1),
    });
  }

  remove(genre, place) {
    const list = this.genres[genre];
    const removed = list[place];
    return this.do({
      where: { genre, place, field: 0 },
      apply: () => list.splice(place, 1),
      revert: () => list.splice(place, 0, removed),
    });
  }

  // Moves a problem to place `to` of genre `toGenre` (its place once moved);
  // null when that genre is full.
  move(genre, place, toGenre, to) {
    if (toGenre !== genre && this.count(toGenre) >= kMaxProblems) return null;
    const from = this.genres[genre], into = this.genres[toGenre];
    const moved = from[place];
    return this.do({
      where: { genre: toGenre, place: to, field: 0 },
      apply: () => {
        from.splice(place, 1);
        into.splice(to, 0, moved);
      },
      revert: () => {
        into.splice(to, 1);
        from.splice(place, 0, moved);
      },
    });
  }

  // Where each of the file's problems is now: ref -> [genre, place], for
  // those still held as the file has them.
  placesOfFileProblems() {
    const places = new Map();
    this.genres.forEach((list, g) => list.forEach((entry, place) => {
      if (isFileProblem(entry)) places.set(entry, [g, place]);
    }));
    return places;
  }

  // The edited and new problems with their places.
  editedProblems() {
    const edited = [];
    this.genres.forEach((list, g) => list.forEach((entry, place) => {
      if (!isFileProblem(entry)) edited.push({ genre: g, place, entry });
    }));
    return edited;
  }

  // The set as the worker's writer takes it (writeEdited in worker.js).
  forWriting() {
    const problems = [];
    const genres = this.genres.map((list) => Int32Array.from(list, (entry) => {
      if (isFileProblem(entry)) return entry;
      problems.push({ from: entry.from, texts: entry.texts });
      return -problems.length;
    }));
    return { names: this.names.map((name, g) => (name === this.fileNames[g] ? null : name)), genres, problems };
  }
}
