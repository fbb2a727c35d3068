// The backlog: the pages read so far and the options taken, over the scene,
// opened and closed by the wheel, a click and the keys.

export function pageBacklog({ backlogBox, game, updateMarked }) {
  function openBacklog() {
    if (!game()) return;
    const entries = game().backlog();
    if (entries.length === 0) return;
    backlogBox.textContent = entries.map((e) => (e.choice ? `\u25B6 ${e.text}` : e.text.replaceAll('\r\n', '\n')))
      .join('\n\n');
    backlogBox.hidden = false;
    backlogBox.scrollTop = backlogBox.scrollHeight;
    backlogBox.focus();
    updateMarked();
  }
  function closeBacklog() {
    backlogBox.hidden = true;
    updateMarked();
  }
  backlogBox.addEventListener('click', () => {
    const selection = window.getSelection();
    if (selection && !selection.isCollapsed) return;
    closeBacklog();
  });
  backlogBox.addEventListener('wheel', (event) => {
    if (event.deltaY > 0 && backlogBox.scrollTop + backlogBox.clientHeight >= backlogBox.scrollHeight - 1) closeBacklog();
  });

  return { openBacklog, closeBacklog };
}
