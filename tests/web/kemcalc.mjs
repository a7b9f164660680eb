// kemcalc --csv run on a file, as the catalogue tests compare the browser's
// output and messages with it.
import { spawnSync } from 'node:child_process';

// Runs `kemcalc --csv ARGS FILE` in `dir`. Returns its exit status, its
// output bytes, its messages without the program name, and the time it took.
export function runKemcalcCsv(kemcalc, dir, fileName, args) {
  const started = performance.now();
  const run = spawnSync(kemcalc, ['--csv', ...args, fileName], { cwd: dir, maxBuffer: 1 << 30 });
  const ms = performance.now() - started;
  const messages = run.stderr
    .toString()
    .split('\n')
    .filter((line) => line !== '')
    .map((line) => line.replace(/^kemcalc: /, ''));
  return { status: run.status, output: run.stdout, messages, ms };
}
