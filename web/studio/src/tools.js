// The studio's tools module (starlane-tools.wasm: the checker, the listing, the content
// builder's sheet reader), working on the folder in its memory file system under CONTENT.
export const CONTENT = '/content';

export let tools = null;
let printed = [];                 // what the tools module printed since it was last read

export async function startTools() {
  // The listing prints as starlane-check --list does; its lines are caught here.
  tools = await StarlaneTools({ print: l => printed.push(l), printErr: l => printed.push(l) });
  tools.FS.mkdir(CONTENT);
  return tools;
}

// One of programs/studio_tools.cpp's calls, in the folder: its JSON answer, parsed.
export function toolsCall(name, ...args) {
  tools.FS.chdir(CONTENT);
  const types = args.map(a => typeof a === 'number' ? 'number' : 'string');
  if (name === 'studioList') return tools.ccall(name, 'number', types, args);
  return JSON.parse(tools.ccall(name, 'string', types, args));
}

// starlane-check --list on the folder: its lines, as the native tool prints them.
export function listing() {
  printed = [];
  toolsCall('studioList', '.');
  return printed.slice();
}
