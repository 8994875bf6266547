// Work for what is on screen only: a preview animates while it is in view and the tab is
// shown, and every preview shares one timer that sleeps until the next change is due, so the
// studio left alone costs next to nothing.
const running = new Set();        // {el, ms, step, due, shown}
let timer = 0;
// The next change of a preview of period `ms`, on one clock for all: previews of the same
// period change together, and the page is drawn once for them.
const nextDue = (now, ms) => Math.ceil((now + 1) / ms) * ms;

function schedule() {
  clearTimeout(timer);
  timer = 0;
  if (document.hidden) return;
  let next = Infinity;
  for (const r of running) if (r.shown) next = Math.min(next, r.due);
  if (next < Infinity) timer = setTimeout(tick, Math.max(0, next - performance.now()));
}

function tick() {
  timer = 0;
  const now = performance.now();
  for (const r of [...running]) {
    if (!r.el.isConnected) { r.stop(); continue; }
    if (!r.shown || r.due > now + 1) continue;
    if (r.step() === false) { running.delete(r); continue; }
    r.due = nextDue(now, r.ms);
  }
  schedule();
}

document.addEventListener('visibilitychange', () => {
  const now = performance.now();
  for (const r of running) r.due = nextDue(now, r.ms);
  schedule();
});

// Calls `step` every `ms` while `el` is on screen and the tab is shown, until it returns false.
export function whileVisible(el, ms, step) {
  const r = { el, ms, step, due: nextDue(performance.now(), ms), shown: false };
  const io = new IntersectionObserver(entries => {
    r.shown = entries[entries.length - 1].isIntersecting;
    r.due = nextDue(performance.now(), ms);
    schedule();
  });
  io.observe(el);
  r.stop = () => { running.delete(r); io.disconnect(); };
  running.add(r);
  return {
    stop: () => { r.stop(); schedule(); },
    again: () => { r.due = nextDue(performance.now(), ms); if (!running.has(r)) { running.add(r); io.observe(el); } schedule(); },
  };
}
