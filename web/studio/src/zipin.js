// Content from elsewhere is untrusted: a zip is read only within these bounds, and only names
// that stay inside the folder are taken. Every refusal is an Error whose message the page shows
// as text.
import { unzipSync } from 'fflate';

export const ZIP_LIMITS = {
  packedBytes: 64 * 1024 * 1024,    // the zip itself
  totalBytes: 256 * 1024 * 1024,    // everything in it, unpacked
  fileBytes: 128 * 1024 * 1024,     // one file: the content builder's bound on a source
  files: 4096,
};

// A path inside the folder: relative, no "..", no backslash, no markup or control characters.
export function checkName(path) {
  const shown = JSON.stringify(path.length > 80 ? path.slice(0, 80) + '...' : path);
  if (!path || path.startsWith('/') || /^[A-Za-z]:/.test(path) || path.includes('\\'))
    throw new Error(`the name ${shown} is not a path inside the folder`);
  if (path.split('/').some(part => part === '..' || part === '.' || part === ''))
    throw new Error(`the name ${shown} leaves the folder`);
  if (/[\u0000-\u001f<>"'&`\u007f]/.test(path))
    throw new Error(`the name ${shown} holds a character a content name may not have`);
  if (path.length > 255) throw new Error(`the name ${shown} is too long`);
}

// [path, bytes] of every file in the zip, a common top folder taken off. The sizes the zip
// declares are checked before anything is inflated, and again on what inflating gave.
export function readZip(bytes) {
  if (bytes.length > ZIP_LIMITS.packedBytes) throw new Error('the zip is larger than 64 MiB');
  let total = 0, count = 0;
  const problems = [];
  const files = unzipSync(bytes, {
    filter(file) {
      if (file.name.endsWith('/')) return false;
      count++;
      total += file.originalSize;
      if (count > ZIP_LIMITS.files) problems.push(`more than ${ZIP_LIMITS.files} files`);
      else if (file.originalSize > ZIP_LIMITS.fileBytes)
        problems.push(`${JSON.stringify(file.name)} unpacks to more than 128 MiB`);
      else if (total > ZIP_LIMITS.totalBytes) problems.push('it unpacks to more than 256 MiB');
      else {
        try { checkName(file.name); } catch (e) { problems.push(e.message); }
      }
      if (problems.length) throw new Error(problems[0]);
      return true;
    },
  });
  const names = Object.keys(files);
  let unpacked = 0;
  for (const n of names) unpacked += files[n].length;
  if (unpacked > ZIP_LIMITS.totalBytes) throw new Error('it unpacks to more than 256 MiB');
  // A zip of one folder: its content is the folder.
  const top = names.length && names.every(n => n.includes('/')) ? names[0].split('/')[0] + '/' : '';
  const strip = top && names.every(n => n.startsWith(top)) ? top.length : 0;
  return names.map(n => [n.slice(strip), files[n]]);
}
