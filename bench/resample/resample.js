"use strict";
// The page's resampler (stb_image_resize in the module, built as the page
// builds it) against pica 10, in one run of node, on the same picture:
// 4032 x 3024 of noise to 1440 x 1080, the shrink of a 12 MP photo.
// Usage: node resample.js build/web/web/kadrimo_resample_bench.js [runs]
const path = require("path");
const pica = require("pica")({ features: ["js", "wasm"] });

const [from_width, from_height, to_width, to_height] = [4032, 3024, 1440, 1080];

function noise() {
  const pixels = new Uint8Array(from_width * from_height * 4);
  let seed = 12345;
  for (let i = 0; i < pixels.length; i++) {
    seed = (Math.imul(seed, 1103515245) + 12345) >>> 0;
    pixels[i] = i % 4 === 3 ? 255 : seed >>> 24;
  }
  return pixels;
}

function median(times) {
  const sorted = [...times].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

async function main() {
  const module_file = path.resolve(process.argv[2]);
  const runs = Number(process.argv[3] || 5);
  const kadrimo = await require(module_file)();
  const pixels = noise();
  const ours = [];
  const theirs = [];
  for (let run = 0; run <= runs; run++) {
    let started = performance.now();
    const source = kadrimo._picture_source(from_width, from_height);
    kadrimo.HEAPU8.set(pixels, source);
    if (!kadrimo._picture_made(255, to_width, to_height, 0, 0, 0, 0)) throw new Error("no memory");
    kadrimo._picture_free();
    if (run > 0) ours.push(performance.now() - started);
    started = performance.now();
    await pica.resizeBuffer({ src: pixels, width: from_width, height: from_height,
                              toWidth: to_width, toHeight: to_height });
    if (run > 0) theirs.push(performance.now() - started);
  }
  const [a, b] = [median(ours), median(theirs)];
  console.log(`${from_width} x ${from_height} -> ${to_width} x ${to_height}, median of ${runs} runs after one ` +
              `to warm up: kadrimo (stb_image_resize, Catmull-Rom, linear light) ${a.toFixed(0)} ms, ` +
              `pica ${b.toFixed(0)} ms: ${(a / b).toFixed(2)} x pica's time`);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
