// Links in the studio: "Share as link" makes a link to the game page carrying the folder's
// difference from the shipped content; a link opened in the studio (studio.html#...) shows
// its mod as a folder of its own, and never replaces the folder being worked on unasked.
import { makeLink, readLink, difference, shippedFor, LINK_MOST } from '../../links/codec.js';
import { readZip } from './zipin.js';
import { files, message } from './folder.js';
import { rebuildSources } from './sources.js';

let shippedEntries = null;
let studio = null;    // what main.js lends: newProject

async function shipped() {
  if (!shippedEntries) {
    const response = await fetch('studio-content.zip');
    if (!response.ok) throw new Error('studio-content.zip: ' + response.status);
    const entries = readZip(new Uint8Array(await response.arrayBuffer()));
    const about = await fetch('links-content.json').then(r => (r.ok ? r.json() : {}), () => ({}));
    shippedEntries = { entries, ...shippedFor(entries, about.version) };
  }
  return shippedEntries;
}

// The URL of the game page playing the folder as it is now.
export async function shareLink() {
  await rebuildSources();
  const base = await shipped();
  const url = new URL('index.html', location.href).href + '#' +
              makeLink(difference(base.entries, files), base);
  if (url.length > LINK_MOST)
    throw new Error(`The link would be ${url.length} characters, more than the ${LINK_MOST} a link ` +
                    'may have: download the content (.zip) instead.');
  return url;
}

// The mod (every file of its folder) opened as a project of its own: the project being worked
// on is kept, one click away in the list of projects.
export async function openLinkedMod(entries, name) {
  await studio.newProject(name, entries, `Opened ${name}: ${entries.length} files`);
  return true;
}

// A link in the studio's address: its mod over the shipped content, opened; the fragment then
// leaves the address, so that a reload does not ask again.
export async function openLinkFromAddress(lent) {
  studio = lent;
  window.addEventListener('hashchange', () => location.reload());   // another link pasted in
  if (location.hash.length <= 1) return;
  const fragment = location.hash;
  history.replaceState(null, '', location.pathname + location.search);
  let mod;
  try {
    mod = readLink(fragment, await shipped());
  } catch (e) {
    message(`The link was not opened: ${e.message}.`);
    return;
  }
  if (!mod.files.length && !mod.removed.length) {
    message('The link carries a game on the shipped content and no mod: it plays on the game page.');
    return;
  }
  const folder = new Map((await shipped()).entries);
  for (const path of mod.removed) folder.delete(path);
  for (const [path, bytes] of mod.files) folder.set(path, bytes);
  await openLinkedMod([...folder].sort((a, b) => (a[0] < b[0] ? -1 : 1)), 'The mod from the link');
}

// "Share as link": the link shown to copy, or why there is none.
export async function shareButton() {
  const box = document.getElementById('share');
  box.textContent = '';
  try {
    const url = await shareLink();
    const field = document.createElement('input');
    field.readOnly = true;
    field.value = url;
    const open = document.createElement('a');
    open.href = url;
    open.target = '_blank';
    open.textContent = 'Play it';
    box.append(`The link to your mod (${url.length} characters): `, field, ' ', open);
    box.hidden = false;
    field.select();
    if (navigator.clipboard) navigator.clipboard.writeText(url).catch(() => {});
  } catch (e) {
    message(e.message);
  }
}
