// Both pages keep the site offline through the service worker (sw.js) and
// say when a new release has taken over: the page on screen is still the
// old one until it is loaded again.

// Registers the worker; `note` is shown when a new release is ready, and its
// button reloads the page.
export function keepSiteOffline(note) {
  if (!('serviceWorker' in navigator)) {
    return;
  }
  // The first worker of a first visit takes over too: nothing new to say.
  const hadWorker = navigator.serviceWorker.controller !== null;
  navigator.serviceWorker.addEventListener('controllerchange', () => {
    if (hadWorker) {
      note.hidden = false;
    }
  });
  note.querySelector('button').addEventListener('click', () => location.reload());
  navigator.serviceWorker.register('sw.js').catch(() => {
    // Without a worker the page still works; it only needs the network.
  });
}
