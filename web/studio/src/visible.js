// Work for what is on screen only: a preview animates while it is in view and the tab is
// shown, and sleeps between its changes, so the studio left alone costs next to nothing.

// Calls `step` every `ms` while `el` is on screen and the tab is shown, until it returns false.
export function whileVisible(el, ms, step) {
  let timer = 0, shown = false, done = false;
  const run = () => {
    timer = 0;
    if (done || !shown || document.hidden || !el.isConnected) return;
    if (step() === false) { done = true; return; }
    timer = setTimeout(run, ms);
  };
  const wake = () => { if (!done && shown && !document.hidden && !timer) timer = setTimeout(run, ms); };
  const io = new IntersectionObserver(entries => { shown = entries[entries.length - 1].isIntersecting; wake(); });
  io.observe(el);
  document.addEventListener('visibilitychange', wake);
  return {
    stop() {
      done = true;
      clearTimeout(timer);
      io.disconnect();
      document.removeEventListener('visibilitychange', wake);
    },
    again() { done = false; wake(); },
  };
}
