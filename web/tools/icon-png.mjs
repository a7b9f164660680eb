// The page's icons are the program icon's own images (resources/kem.ico),
// read back from the .ico and written as PNG, enlarged pixel for pixel where
// a bigger size is asked for.
import { deflateSync } from 'node:zlib';

// Reads one image of the icon: its width (the height is the same) and rows of
// [r, g, b, a] pixels, top row first.
export function readIconImage(ico, size, bitCount) {
  const count = ico.readUInt16LE(4);
  for (let entry = 0; entry < count; ++entry) {
    const at = 6 + 16 * entry;
    const width = ico[at] || 256;
    const offset = ico.readUInt32LE(at + 12);
    if (width === size && ico.readUInt16LE(offset + 14) === bitCount) {
      return decodeBitmap(ico, offset, size, bitCount);
    }
  }
  throw new Error(`the icon has no ${size}x${size} image with ${bitCount} bits per pixel`);
}

// An icon image is a BITMAPINFOHEADER, a palette, the colour rows and the
// transparency mask rows, both bottom row first and padded to 4 bytes.
function decodeBitmap(ico, offset, size, bitCount) {
  const headerSize = ico.readUInt32LE(offset);
  const paletteSize = 1 << bitCount;
  const palette = offset + headerSize;
  const colourRows = palette + 4 * paletteSize;
  const colourStride = Math.ceil((size * bitCount) / 32) * 4;
  const maskRows = colourRows + colourStride * size;
  const maskStride = Math.ceil(size / 32) * 4;
  const rows = [];
  for (let y = 0; y < size; ++y) {
    const row = [];
    const colourRow = colourRows + colourStride * (size - 1 - y);
    const maskRow = maskRows + maskStride * (size - 1 - y);
    for (let x = 0; x < size; ++x) {
      const bitOffset = x * bitCount;
      const byte = ico[colourRow + (bitOffset >> 3)];
      const index = (byte >> (8 - bitCount - (bitOffset & 7))) & (paletteSize - 1);
      const transparent = (ico[maskRow + (x >> 3)] >> (7 - (x & 7))) & 1;
      const quad = palette + 4 * index;
      row.push([ico[quad + 2], ico[quad + 1], ico[quad], transparent ? 0 : 255]);
    }
    rows.push(row);
  }
  return { size, rows };
}

const kCrcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) {
    c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  }
  return c >>> 0;
});

function crc32(bytes) {
  let c = 0xffffffff;
  for (const byte of bytes) {
    c = kCrcTable[(c ^ byte) & 0xff] ^ (c >>> 8);
  }
  return (c ^ 0xffffffff) >>> 0;
}

function pngChunk(type, data) {
  const typed = Buffer.concat([Buffer.from(type, 'ascii'), data]);
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length);
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(typed));
  return Buffer.concat([length, typed, crc]);
}

// An RGBA PNG of the image, each pixel drawn as a scale x scale square.
export function encodePng(image, scale) {
  const side = image.size * scale;
  const header = Buffer.alloc(13);
  header.writeUInt32BE(side, 0);
  header.writeUInt32BE(side, 4);
  header.set([8, 6, 0, 0, 0], 8); // 8 bits a sample, RGBA, deflate, no filter set, no interlace
  const raw = Buffer.alloc(side * (1 + 4 * side));
  for (let y = 0; y < side; ++y) {
    const rowStart = y * (1 + 4 * side);
    raw[rowStart] = 0; // filter type None
    image.rows[Math.floor(y / scale)].forEach((pixel, x) => {
      for (let copy = 0; copy < scale; ++copy) {
        raw.set(pixel, rowStart + 1 + 4 * (x * scale + copy));
      }
    });
  }
  return Buffer.concat([
    Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    pngChunk('IHDR', header),
    pngChunk('IDAT', deflateSync(raw, { level: 9 })),
    pngChunk('IEND', Buffer.alloc(0)),
  ]);
}
