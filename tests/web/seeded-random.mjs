// A small seeded generator (mulberry32), so every run of a sweep sees the
// same items and a failure can be replayed from its seed.

// Returns a function giving numbers in [0, 1).
export function makeRandom(seed) {
  let state = seed >>> 0;
  return () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

export function pick(random, choices) {
  return choices[Math.floor(random() * choices.length)];
}
