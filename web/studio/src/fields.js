// What each value of a content file is, from the tools module: the loaders read the file and
// the reader says where each value stood; the table of fields (tools/fields.cpp) says what it
// is called, its unit and its range. Nothing here reads a content format: a value is changed by
// putting new text where the reader said the old one stands, the rest kept byte for byte.
import { files, write } from './folder.js';
import { toolsCall } from './tools.js';

const known = new Map();          // path -> {bytes, fields}

// A promise of [{line, column, field, record, nth, text, name, unit, min, max}].
export async function fieldsOf(path) {
  const bytes = files.get(path);
  if (!bytes) return [];
  const kept = known.get(path);
  if (kept && kept.bytes === bytes) return kept.fields;
  const { fields } = await toolsCall('studioFields', '.', path);
  known.set(path, { bytes, fields });
  return fields;
}

// The fields last known of `path`, without asking (for a hover).
export const knownFields = path => (known.get(path) || { fields: [] }).fields;

export function forgetFields() { known.clear(); }

// Where a value stands in the file's bytes: its line's start plus its column.
function offsetOf(bytes, f) {
  let line = 1, i = 0;
  while (line < f.line && i < bytes.length) { if (bytes[i++] === 10) line++; }
  return i + f.column - 1;
}

// The file with each [field, text] put in place of the value there, as one step.
export async function setValues(path, changes, label) {
  let bytes = files.get(path);
  const placed = changes.map(([f, text]) => [offsetOf(bytes, f), f, String(text)])
    .sort((a, b) => b[0] - a[0]);
  for (const [at, f, text] of placed) {
    const put = new TextEncoder().encode(text);
    const out = new Uint8Array(bytes.length - f.text.length + put.length);
    out.set(bytes.subarray(0, at));
    out.set(put, at);
    out.set(bytes.subarray(at + f.text.length), at + put.length);
    bytes = out;
  }
  await write(path, bytes, { label });
}

// What a value must be, as a sentence, or '' when `n` is within it.
export function outOfRange(f, n) {
  if (!/^[-+]?\d+$/.test(String(n).trim())) return 'a whole number';
  n = Number(n);
  if (f.max < f.min) return `nothing: the folder has none to choose from`;
  if (n < f.min || n > f.max) return `${f.min}..${f.max}`;
  return '';
}

// The records of a file's field, in order: each [values of record 0], [record 1], ...
export function recordsOf(fields, field) {
  const out = [];
  for (const f of fields) if (f.field === field) (out[f.record] = out[f.record] || [])[f.nth] = f;
  return out.filter(r => r);
}
