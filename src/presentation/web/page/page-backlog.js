// The backlog: the pages read so far and the options taken, over the scene,
// opened and closed by the wheel, a click and the keys. A click on an earlier
// page (or option) goes back to where it was on screen.

export function pageBacklog({ backlogBox, game, updateMarked, stepBackTo }) {
  function openBacklog() {
    if (!game()) return;
    const entries = game().backlog();
    if (entries.length === 0) return;
    backlogBox.replaceChildren();
    entries.forEach((e, index) => {
      if (index > 0) backlogBox.append('\n\n');
      const entry = document.createElement('span');
      entry.dataset.entry = String(index);
      if (index < entries.length - 1) entry.className = 'earlier';
      entry.textContent = e.choice ? `\u25B6 ${e.text}` : e.text.replaceAll('\r\n', '\n');
      backlogBox.append(entry);
    });
    backlogBox.hidden = false;
    backlogBox.scrollTop = backlogBox.scrollHeight;
    backlogBox.focus();
    updateMarked();
  }
  function closeBacklog() {
    backlogBox.hidden = true;
    updateMarked();
  }
  backlogBox.addEventListener('click', (event) => {
    const selection = window.getSelection();
    if (selection && !selection.isCollapsed) return;
    const entry = event.target.closest?.('[data-entry]');
    if (entry && entry.classList.contains('earlier')) stepBackTo(Number(entry.dataset.entry));
    else closeBacklog();
  });
  backlogBox.addEventListener('wheel', (event) => {
    if (event.deltaY > 0 && backlogBox.scrollTop + backlogBox.clientHeight >= backlogBox.scrollHeight - 1) closeBacklog();
  });

  return { openBacklog, closeBacklog };
}
