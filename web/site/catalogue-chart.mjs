// The catalogue view's bar chart of return on inventory, in inline SVG. A
// bar's length shows the figure from 0 to the top of the scale; the bands
// whose text is not a number up to 1000% have their own marked strips: a
// "Negative" strip left of zero, and a strip beyond the scale for figures
// above 1000% and for "Infinite". An "Infinite" that is a loss (no stock,
// sold below cost) is no great return: it is drawn in the Negative strip,
// never as the longest bar. Each bar is labelled with the text the table
// shows for it. With a what-if shown, each row has two bars: the figure now
// and, under it, the figure after the change.
import { kReturnShownLimit } from './resource.mjs';

const kSvgNamespace = 'http://www.w3.org/2000/svg';
// In SVG user units (CSS pixels at full size).
const kLabelWidth = 170;
const kNegativeWidth = 70;
const kPlotWidth = 300;
const kAboveWidth = 70;
const kTextWidth = 110;
const kRowHeight = 24;
const kBarHeight = 16;
// A row with the figure after the change too: two thinner bars.
const kPairRowHeight = 36;
const kPairBarHeight = 14;
const kTop = 30;
const kBottom = 24;
const kLabelLength = 26;
// The scale runs to the largest shown figure, rounded up to a step, so
// that small figures are not squeezed against zero.
const kScaleStep = 100;

const kZeroX = kLabelWidth + kNegativeWidth;

// The name shown for a group whose column is empty.
export const kNoGroup = '(none)';

function make(name, attributes, text) {
  const element = document.createElementNS(kSvgNamespace, name);
  for (const [key, value] of Object.entries(attributes)) {
    element.setAttribute(key, String(value));
  }
  if (text !== undefined) {
    element.textContent = text;
  }
  return element;
}

function scaleTop(bars) {
  const shown = bars
    .flatMap((bar) => [bar, bar.after])
    .filter((bar) => bar?.band === 'shown')
    .map((bar) => bar.value);
  const top = Math.ceil(Math.max(kScaleStep, ...shown) / kScaleStep) * kScaleStep;
  return Math.min(kReturnShownLimit, top);
}

function shorten(label) {
  return label.length > kLabelLength ? `${label.slice(0, kLabelLength - 1)}…` : label;
}

// Where a bar of each band stands: [x, width].
function placeBar(bar, top) {
  if (bar.loss && bar.band === 'infinite') {
    return [kLabelWidth + 4, kNegativeWidth - 4];
  }
  switch (bar.band) {
    case 'shown':
      return [kZeroX, (Math.min(bar.value, top) / top) * kPlotWidth];
    case 'negative':
      return [kLabelWidth + 4, kNegativeWidth - 4];
    case 'above-limit':
    case 'infinite':
      return [kZeroX, kPlotWidth + kAboveWidth - 4];
    default:
      return [kZeroX, 0];
  }
}

function drawBands(svg, height) {
  const plotBottom = height - kBottom;
  svg.append(
    make('rect', {
      class: 'band negative-band',
      x: kLabelWidth,
      y: kTop - 6,
      width: kNegativeWidth,
      height: plotBottom - kTop + 6,
    }),
    make('text', { class: 'band-label', x: kLabelWidth + kNegativeWidth / 2, y: kTop - 12 }, 'Negative'),
    make('rect', {
      class: 'band above-band',
      x: kZeroX + kPlotWidth,
      y: kTop - 6,
      width: kAboveWidth,
      height: plotBottom - kTop + 6,
    }),
    make(
      'text',
      { class: 'band-label', x: kZeroX + kPlotWidth + kAboveWidth / 2, y: kTop - 12 },
      'above 1000%',
    ),
  );
}

function drawScale(svg, height, top) {
  const plotBottom = height - kBottom;
  for (const step of [0, top / 2, top]) {
    const x = kZeroX + (step / top) * kPlotWidth;
    svg.append(
      make('line', { class: step === 0 ? 'axis' : 'grid', x1: x, x2: x, y1: kTop - 6, y2: plotBottom }),
      make('text', { class: 'scale-label', x, y: plotBottom + 16 }, `${step}%`),
    );
  }
}

// One bar of `figure` ({band, value, loss, text}) at `y`: its rectangle and
// its text, into `group`.
function drawFigure(group, figure, y, height, top) {
  const [x, width] = placeBar(figure, top);
  group.append(
    make('rect', { class: 'bar-rect', x, y, width, height }),
    make(
      'text',
      { class: 'bar-text', x: Math.max(x + width, kZeroX) + 6, y: y + height - 3 },
      figure.text.trim(),
    ),
  );
}

function markBand(group, figure) {
  group.setAttribute('data-band', figure.band);
  if (figure.loss) {
    group.setAttribute('data-loss', '');
  }
}

function describeFigure(figure) {
  return `${figure.text.trim()}${figure.loss ? ' (a loss)' : ''}`;
}

function drawBar(svg, bar, y, top) {
  const label = bar.label === '' ? kNoGroup : bar.label;
  const height = bar.after ? kPairBarHeight : kBarHeight;
  const group = make('g', { class: 'bar' });
  markBand(group, bar);
  const title = bar.after
    ? `${label}: ${describeFigure(bar)} now, ${describeFigure(bar.after)} after the change`
    : `${label}: ${describeFigure(bar)}`;
  group.append(
    make('title', {}, title),
    make('text', { class: 'bar-label', x: kLabelWidth - 8, y: y + height - 3 }, shorten(label)),
  );
  drawFigure(group, bar, y, height, top);
  if (bar.after) {
    const after = make('g', { class: 'after' });
    markBand(after, bar.after);
    drawFigure(after, bar.after, y + height + 2, height, top);
    group.append(after);
  }
  svg.append(group);
}

// The key to the two bars of a row, over the plot.
function drawKey(svg) {
  svg.append(
    make('rect', { class: 'key now', x: 8, y: 4, width: 12, height: 10 }),
    make('text', { class: 'key-label', x: 24, y: 13 }, 'now'),
    make('rect', { class: 'key after', x: 64, y: 4, width: 12, height: 10 }),
    make('text', { class: 'key-label', x: 80, y: 13 }, 'after the change'),
  );
}

// Draws `bars` ({label, band, value, loss, text, after}, band as in
// kReturnBands, loss when the gross profit is below zero, label '' for a
// group whose column is empty, `after` the same figures after a change, or
// none) into the svg element, replacing what it held.
export function drawChart(svg, bars, description) {
  svg.replaceChildren();
  const paired = bars.some((bar) => bar.after);
  const rowHeight = paired ? kPairRowHeight : kRowHeight;
  const height = kTop + Math.max(1, bars.length) * rowHeight + kBottom;
  const width = kZeroX + kPlotWidth + kAboveWidth + kTextWidth;
  svg.setAttribute('viewBox', `0 0 ${width} ${height}`);
  svg.setAttribute('width', String(width));
  svg.setAttribute('height', String(height));
  svg.setAttribute('aria-label', description);
  const top = scaleTop(bars);
  drawBands(svg, height);
  drawScale(svg, height, top);
  if (paired) {
    drawKey(svg);
  }
  bars.forEach((bar, index) => drawBar(svg, bar, kTop + index * rowHeight, top));
}
