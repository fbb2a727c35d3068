// The reader's keys on the page: a key press named as the player's key table
// names keys, and looked up in that table, in the compiled player
// (vorn-web.js), where the desktop window looks its keys up too.

// The table's modifier bits.
export const CTRL = 1;
export const SHIFT = 2;
export const ALT = 4;
export const META = 8;

export function modifiersOf(event) {
  return (event.ctrlKey ? CTRL : 0) | (event.shiftKey ? SHIFT : 0) | (event.altKey ? ALT : 0)
    | (event.metaKey ? META : 0);
}

// The key's action and what it does under the backlog, { action, whileBacklog },
// by the table's names ('ReadOn', 'ClosesFirst'); null for a key that does nothing.
export function pageKey(module, event) {
  const found = module.keyAction(event.key, modifiersOf(event));
  return found.action === 'None' ? null : found;
}
