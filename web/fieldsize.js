// A text's size in Shift-JIS (CP932) against its field's width, as the user
// types: each character's size comes from the core's table (mnr_cp932_sizes:
// the bytes the writer gives it, 0 for none), so what the page shows and what
// saving writes agree on every character. Saving checks again, in the core.

const kNameSize = 16;
const kFieldSizes = [116, 28, 28, 28, 28, 28];  // the question, choices 1-5
let cp932Sizes = new Uint8Array(0x10000);  // filled when the core starts

// {bytes, size, bad}: the text's bytes in CP932 (of the characters it has),
// the field's width, and the first character with no CP932 form, if any.
function measureField(text, size) {
  let bytes = 0, bad = null;
  for (const character of text) {
    const code = character.codePointAt(0);
    const n = code < 0x10000 ? cp932Sizes[code] : 0;
    if (n === 0 && bad === null) bad = character;
    bytes += n;
  }
  return { bytes, size, bad };
}

const codePointName = (character) => `U+${character.codePointAt(0).toString(16).toUpperCase().padStart(4, '0')}`;

// What the field's note says: its size, or what keeps it from being saved.
function describeField({ bytes, size, bad }) {
  if (bad !== null) return say('noCp932', `${bad} (${codePointName(bad)})`);
  if (bytes > size) return say('tooLong', bytes, size, bytes - size);
  return say('size', bytes, size);
}

const fieldIsValid = ({ bytes, size, bad }) => bad === null && bytes <= size;
