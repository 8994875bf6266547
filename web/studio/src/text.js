// A text file's bytes as the editor shows them, and back, byte for byte: UTF-8 when the file is
// UTF-8 (a byte-order mark kept as its character), otherwise one character a byte (latin1), so
// that a sheet using byte 0xB7 as a pixel keeps it. Line ends stay as they are: a file of CR LF
// is edited with CR LF, and a lone CR stays a character of its line.
export function decodeText(bytes) {
  try {
    return { text: new TextDecoder('utf-8', { fatal: true, ignoreBOM: true }).decode(bytes), bytewise: false };
  } catch (e) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 8192)
      text += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
    return { text, bytewise: true };
  }
}

// null when a character does not fit a file kept one byte a character.
export function encodeText(text, bytewise) {
  if (!bytewise) return new TextEncoder().encode(text);
  const out = new Uint8Array(text.length);
  for (let i = 0; i < text.length; i++) {
    const c = text.charCodeAt(i);
    if (c > 255) return null;
    out[i] = c;
  }
  return out;
}

export function lineBreakOf(text) {
  const lf = (text.match(/\n/g) || []).length, crlf = (text.match(/\r\n/g) || []).length;
  return crlf > 0 && crlf === lf ? '\r\n' : '\n';
}

// The one change that turns `a` into `b`: what lies between their common start and end.
export function diffText(a, b) {
  let from = 0;
  const n = Math.min(a.length, b.length);
  while (from < n && a.charCodeAt(from) === b.charCodeAt(from)) from++;
  let end = 0;
  while (end < n - from && a.charCodeAt(a.length - 1 - end) === b.charCodeAt(b.length - 1 - end)) end++;
  return { from, to: a.length - end, insert: b.slice(from, b.length - end) };
}
