// Recorders the page tests and the web benchmark put into a page: they note
// what happened and when; the benchmark compares the times with their goals,
// the tests only look at what happened.

// From every Enter to the six texts changing and to the next frame, in
// window.kemTimes. Run as an init script, before the page's own listener.
export function recordEnterTimes() {
  window.kemTimes = [];
  let keyAt = null;
  window.addEventListener(
    'keydown',
    (event) => {
      if (event.key === 'Enter') {
        keyAt = event.timeStamp;
      }
    },
    true,
  );
  window.addEventListener('DOMContentLoaded', () => {
    new MutationObserver(() => {
      if (keyAt === null) {
        return;
      }
      const from = keyAt;
      const shown = performance.now();
      keyAt = null;
      requestAnimationFrame(() =>
        window.kemTimes.push({ texts: shown - from, frame: performance.now() - from }),
      );
    }).observe(document.querySelector('.main-window .client'), {
      subtree: true,
      childList: true,
      characterData: true,
    });
  });
}

// Every change of the catalogue view's progress bar, and for each key
// pressed the time from the key to its answer (the focus moving) and to
// the next frame, and the view's state at the key, in window.kemLog.
export function recordCatalogueKeys() {
  window.kemLog = { progress: [], keys: [] };
  const progress = document.querySelector('.progress');
  new MutationObserver(() => window.kemLog.progress.push(progress.value)).observe(progress, {
    attributes: true,
    attributeFilter: ['value'],
  });
  let pending = null;
  window.addEventListener(
    'keydown',
    (event) => {
      pending = { at: event.timeStamp, state: document.body.dataset.state };
    },
    true,
  );
  window.addEventListener('focusin', () => {
    if (!pending) {
      return;
    }
    const key = pending;
    pending = null;
    key.answer = performance.now() - key.at;
    requestAnimationFrame(() => {
      key.frame = performance.now() - key.at;
      window.kemLog.keys.push(key);
    });
  });
}

// The median and the worst of `values`.
export function summarize(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return { median: sorted[Math.floor(sorted.length / 2)], worst: sorted.at(-1) };
}
