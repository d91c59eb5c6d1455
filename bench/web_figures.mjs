// Figures of the web build in headless Chromium on this machine: the page's
// transfer size, the time from navigation to the first prompt, the design
// frame with two full 39 x 24 ships against the native build's in the same
// run, and the browser's processor use on the idle design screen.
// Usage (after the release and web builds, and tests/web's npm packages):
//   node bench/web_figures.mjs [build/web/site] [build/release/bin/design_frame_bench]
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { frames, key, launch, readPng, serve, waitForPicture } from '../tests/web/support.mjs';

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '..');
const site = path.resolve(process.argv[2] || path.join(root, 'build/web/site'));
const nativeBench = path.resolve(process.argv[3] ||
  path.join(root, 'build/release/bin/design_frame_bench'));
const firstPrompt = readPng(path.join(root, 'tests/golden/setup_columns_tens.png'));
const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const mid = sorted.length >> 1;
  return sorted.length % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
};

// 1. Transfer size: every file of the site, as sent and gzipped.
function transferSize() {
  let plain = 0;
  let gzipped = 0;
  const rows = [];
  for (const file of fs.readdirSync(site).sort()) {
    const bytes = fs.readFileSync(path.join(site, file));
    const packed = zlib.gzipSync(bytes, { level: 9 }).length;
    plain += bytes.length;
    gzipped += packed;
    rows.push(`  ${file}: ${bytes.length} bytes, ${packed} gzipped`);
  }
  console.log(`transfer size: ${plain} bytes (${(plain / 1048576).toFixed(2)} MiB), ` +
    `${gzipped} gzipped (${(gzipped / 1048576).toFixed(2)} MiB)`);
  console.log(rows.join('\n'));
}

// 2. Navigation to the first prompt on the canvas: the page compares every
// drawn frame with the golden first prompt (the canvas kept readable for it).
async function firstPromptTimes(browser, url, runs) {
  const times = [];
  for (let i = 0; i < runs; ++i) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.evaluateOnNewDocument((golden) => {
      const want = Uint8Array.from(atob(golden), (c) => c.charCodeAt(0));
      const getContext = HTMLCanvasElement.prototype.getContext;
      HTMLCanvasElement.prototype.getContext = function (kind, options) {
        return getContext.call(this, kind, Object.assign({}, options, { preserveDrawingBuffer: true }));
      };
      const probe = document.createElement('canvas');
      probe.width = 1024;
      probe.height = 768;
      const look = () => {
        const canvas = document.getElementById('canvas');
        if (canvas && canvas.width === 1024 && canvas.height === 768) {
          const g = probe.getContext('2d', { willReadFrequently: true });
          g.drawImage(canvas, 0, 0);
          const have = g.getImageData(0, 0, 1024, 768).data;
          let same = true;
          for (let p = 0; p < have.length && same; p += 4)
            same = have[p] === want[p] && have[p + 1] === want[p + 1] && have[p + 2] === want[p + 2];
          if (same) {
            window.firstPromptAt = performance.now();
            return;
          }
        }
        requestAnimationFrame(look);
      };
      requestAnimationFrame(look);
    }, Buffer.from(firstPrompt.data).toString('base64'));
    await page.goto(url, { waitUntil: 'domcontentloaded' });
    await page.waitForFunction(() => window.firstPromptAt !== undefined, { timeout: 60000 });
    times.push(await page.evaluate(() => window.firstPromptAt));
    await context.close();
  }
  return times;
}

// A slot file with both ships filling 39 x 24 in both layers, as the native
// design frame benchmark fills them: ((column * 100 + row) * 10 + slot) * 6 + grid.
function fullShipsSlot() {
  const ints = new Int32Array(600003);
  const at = (grid, column, row, slot) => ((column * 100 + row) * 10 + slot) * 6 + grid;
  for (let c = 0; c < 39; ++c)
    for (let r = 0; r < 24; ++r)
      for (const grid of [0, 1, 2, 3]) {
        ints[at(grid, c, r, 1)] = 1 + ((c * 24 + r) % 99);
        ints[at(grid, c, r, 2)] = 100 - ((c + r) % 3);
      }
  ints[600000] = 0; // shownShip
  ints[600001] = 39;
  ints[600002] = 24;
  return Buffer.from(ints.buffer).toString('base64');
}

// 3 and 4. The design screen with both full ships: the game's work per frame,
// then the browser's processor time over ten idle seconds.
async function designScreenFigures(browser, url) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument((slot) => {
    const bytes = Uint8Array.from(atob(slot), (c) => c.charCodeAt(0));
    const open = indexedDB.open('drayvane31', 1);
    open.onupgradeneeded = () => open.result.createObjectStore('files');
    open.onsuccess = () => open.result.transaction('files', 'readwrite').objectStore('files')
      .put(bytes.buffer, '/game/IronholdArt/saved5.sdx');
  }, fullShipsSlot());
  await page.goto(url, { waitUntil: 'domcontentloaded' });
  await page.mouse.move(200, 150);
  await waitForPicture(page, { first_prompt: firstPrompt });
  await page.reload({ waitUntil: 'domcontentloaded' }); // the slot is in the storage now
  await waitForPicture(page, { first_prompt: firstPrompt });
  for (const digit of ['3', '9', '2', '4'])
    await key(page, digit);
  await key(page, '5');
  await page.mouse.move(200, 150);
  await frames(page, 60);
  await page.evaluate(() => { Module.drayvaneTurns.frameWork.length = 0; });
  await frames(page, 300);
  const work = await page.evaluate(() => Module.drayvaneTurns.frameWork.slice());

  const pids = descendants(browser.process().pid);
  const cpuBefore = cpuSeconds(pids);
  const start = process.hrtime.bigint();
  await new Promise((resolve) => setTimeout(resolve, 10000));
  const wall = Number(process.hrtime.bigint() - start) / 1e9;
  const cpu = cpuSeconds(descendants(browser.process().pid)) - cpuBefore;
  await page.close();
  return { work, cpuShare: cpu / wall };
}

function descendants(pid) {
  const children = new Map();
  for (const entry of fs.readdirSync('/proc').filter((e) => /^\d+$/.test(e))) {
    try {
      const stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
      const parent = Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
      if (!children.has(parent))
        children.set(parent, []);
      children.get(parent).push(Number(entry));
    } catch {
      // gone meanwhile
    }
  }
  const all = [pid];
  for (let i = 0; i < all.length; ++i)
    all.push(...(children.get(all[i]) || []));
  return all;
}

function cpuSeconds(pids) {
  const tick = 100; // USER_HZ
  let total = 0;
  for (const pid of pids) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      total += (Number(fields[11]) + Number(fields[12])) / tick;
    } catch {
      // ended meanwhile
    }
  }
  return total;
}

function nativeDesignFrameMs() {
  if (!fs.existsSync(nativeBench))
    return null;
  const run = spawnSync(nativeBench, ['--benchmark_filter=^BM_DesignFrame(/|$)',
    '--benchmark_format=json'], { cwd: path.dirname(nativeBench), encoding: 'utf8' });
  const report = JSON.parse(run.stdout);
  const med = report.benchmarks.find((b) => b.aggregate_name === 'median');
  return med.real_time * (med.time_unit === 'ms' ? 1 : med.time_unit === 'us' ? 1e-3 : 1e-6);
}

transferSize();
const server = await serve(site);
const chromium = await launch();
try {
  const times = await firstPromptTimes(chromium.browser, server.url, 10);
  console.log(`navigation to the first prompt: median ${median(times).toFixed(0)} ms ` +
    `(10 loads, ${Math.min(...times).toFixed(0)} to ${Math.max(...times).toFixed(0)} ms)`);
  const native = nativeDesignFrameMs();
  const { work, cpuShare } = await designScreenFigures(chromium.browser, server.url);
  const browserMs = median(work);
  console.log(`design frame, two full 39 x 24 ships: browser median ${browserMs.toFixed(2)} ms ` +
    `of work a frame (${work.length} frames)` + (native === null ? ' (no native benchmark built)'
    : `, native median ${native.toFixed(2)} ms: ${(browserMs / native).toFixed(2)} x`));
  console.log(`idle design screen (full ships): the browser's processes use ` +
    `${(100 * cpuShare).toFixed(1)} % of one core`);
} finally {
  await chromium.close();
  server.stop();
}
