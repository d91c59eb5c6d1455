// What the browser tests share: a local server for the built site, the
// system's Chromium, the canvas as a picture and its comparison with the
// golden frames, and the game driven by the pointer and the keyboard.
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { PNG } from 'pngjs';
import puppeteer from 'puppeteer-core';

export const chromium = process.env.DRAYVANE_CHROMIUM || '/usr/bin/chromium';

// The site folder served over HTTP on 127.0.0.1 (a file:// page cannot load
// its module); resolves with the address and a way to stop.
export async function serve(site) {
  const server = spawn('/usr/bin/python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1',
    '--directory', site], { stdio: ['ignore', 'pipe', 'pipe'] });
  const port = await new Promise((resolve, reject) => {
    let seen = '';
    const timer = setTimeout(() => reject(new Error('the web server did not start')), 30000);
    server.stdout.on('data', (chunk) => {
      seen += chunk;
      const found = /port (\d+)/.exec(seen);
      if (found) {
        clearTimeout(timer);
        resolve(Number(found[1]));
      }
    });
    server.on('exit', () => reject(new Error('the web server ended: ' + seen)));
  });
  server.stderr.resume(); // its request log
  return { url: `http://127.0.0.1:${port}/`, stop: () => server.kill() };
}

// Headless Chromium with WebGL drawn in software, a 1024 x 768 page at one
// pixel per CSS pixel, and a profile of its own (where the saves are kept).
export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'drayvane-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--window-size=1024,768'],
    defaultViewport: { width: 1024, height: 768, deviceScaleFactor: 1 },
  });
  return {
    browser,
    close: async () => {
      await browser.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

export function readPng(file) {
  return PNG.sync.read(fs.readFileSync(file));
}

// The page as the player sees it, at one pixel per frame pixel.
export async function shot(page) {
  return PNG.sync.read(Buffer.from(await page.screenshot({ type: 'png' })));
}

// Parts of the screen compared: the whole, or all but the design screen's
// message line (whose text depends on a battle), or that line alone.
const messageLine = { x: 590, y: 729, w: 434, h: 18 };
function inPart(part, x, y) {
  const m = messageLine;
  const inLine = x >= m.x && x < m.x + m.w && y >= m.y && y < m.y + m.h;
  return part === 'whole' || (part === 'message' ? inLine : !inLine);
}

// The pixels that differ (colour only; the page is opaque), and the first one.
export function differing(a, b, part = 'whole') {
  if (a.width !== b.width || a.height !== b.height)
    return { count: Infinity, first: `sizes ${a.width}x${a.height} and ${b.width}x${b.height}` };
  let count = 0;
  let first = null;
  for (let y = 0; y < a.height; ++y)
    for (let x = 0; x < a.width; ++x) {
      if (!inPart(part, x, y))
        continue;
      const i = (y * a.width + x) * 4;
      if (a.data[i] !== b.data[i] || a.data[i + 1] !== b.data[i + 1] || a.data[i + 2] !== b.data[i + 2]) {
        if (count++ === 0)
          first = `(${x},${y})`;
      }
    }
  return { count, first };
}

// Polls the page until its picture equals one of the expected pictures in
// the part given; returns that picture's name. Fails after the limit with
// the last difference, and leaves the last picture beside the work folder.
export async function waitForPicture(page, expected, part = 'whole', limitMs = 30000) {
  const until = Date.now() + limitMs;
  let last = null;
  let report = '';
  for (;;) {
    last = await shot(page);
    const reports = [];
    for (const [name, picture] of Object.entries(expected)) {
      const d = differing(last, picture, part);
      if (d.count === 0)
        return name;
      reports.push(`${name}: ${d.count} pixels differ, first at ${d.first}`);
    }
    report = reports.join('; ');
    if (Date.now() > until)
      break;
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  const keep = path.join(os.tmpdir(), `drayvane-browser-${Object.keys(expected).join('-')}.actual.png`);
  fs.writeFileSync(keep, PNG.sync.write(last));
  throw new Error(`the page never showed ${Object.keys(expected).join(' or ')} (${part}): ${report}; ` +
    `last picture in ${keep}`);
}

// Waits for the page to draw a number of animation frames: the game, paced
// by the same frames, has had as many turns to act.
export async function frames(page, count) {
  await page.evaluate((n) => new Promise((resolve) => {
    let seen = 0;
    const next = () => (++seen >= n ? resolve() : requestAnimationFrame(next));
    requestAnimationFrame(next);
  }), count);
}

// Places on the design screen, as in the real-window smoke test.
export const place = {
  equipButton: [28, 750],
  structureButton: [80, 750],
  swapButton: [130, 750],
  endButton: [298, 750],
  cell: (column, row) => [17 + 25 * column, 17 + 25 * row],
  equipPicture: (n) => [20 * (n % 10) + 10, 20 * Math.floor(n / 10) + 10],
  structurePicture: (n) => [25 * (n % 10) + 12, 25 * Math.floor(n / 10) + 12],
};

// A press of the left button held over a few frames, then frames for the
// game to act on its release.
export async function press(page, [x, y]) {
  await page.mouse.move(x, y);
  await frames(page, 3);
  await page.mouse.down();
  await frames(page, 3);
  await page.mouse.up();
  await frames(page, 6);
}

export async function placeStructure(page, item, column, row) {
  await press(page, place.structureButton);
  await press(page, place.structurePicture(item));
  await press(page, place.cell(column, row));
}

export async function placeEquip(page, item, column, row) {
  await press(page, place.equipButton);
  await press(page, place.equipPicture(item));
  await press(page, place.cell(column, row));
}

// The page once it has stopped changing (markers that fade, for one).
export async function stillPicture(page, limitMs = 30000) {
  const until = Date.now() + limitMs;
  let last = await shot(page);
  for (;;) {
    await frames(page, 20);
    const now = await shot(page);
    if (differing(now, last).count === 0)
      return now;
    if (Date.now() > until)
      throw new Error('the page never stopped changing');
    last = now;
  }
}

export async function key(page, name) {
  await page.keyboard.down(name);
  await frames(page, 3);
  await page.keyboard.up(name);
  await frames(page, 6);
}

// The message lines of a sure loss and a sure win, drawn by the headless game.
export function battleOutcomes(replay, art, work) {
  const game = path.join(work, 'game');
  fs.mkdirSync(path.join(game, 'IronholdArt'), { recursive: true });
  for (const file of fs.readdirSync(art).filter((f) => f.endsWith('.png')))
    fs.copyFileSync(path.join(art, file), path.join(game, 'IronholdArt', file));
  const setup = ['0 move 300 200', '4 tap 1', '6 tap 2', '8 tap 1', '10 tap 0'];
  const scripts = {
    lost: [...setup, '12 move 298 750', '14 buttondown 1', '18 buttonup 1', '40 end'],
    won: [...setup, '12 move 80 750', '14 buttondown 1', '18 buttonup 1',
      `26 move ${place.structurePicture(96).join(' ')}`, '28 buttondown 1', '32 buttonup 1',
      `40 move ${place.cell(1, 1).join(' ')}`, '42 buttondown 1', '46 buttonup 1',
      '54 move 298 750', '56 buttondown 1', '60 buttonup 1', '90 end'],
  };
  const pictures = {};
  for (const [outcome, lines] of Object.entries(scripts)) {
    const script = path.join(work, `${outcome}.script`);
    const framesDir = path.join(work, outcome);
    fs.writeFileSync(script, lines.join('\n') + '\n');
    fs.mkdirSync(framesDir, { recursive: true });
    const run = spawnSync(replay, [script, '--frames', framesDir, '--program-folder', game],
      { encoding: 'utf8' });
    const state = outcome === 'won' ? 2 : 3;
    if (run.status !== 3 || !run.stdout.split('\n').includes(`messageState=${state}`))
      throw new Error(`the headless ${outcome} battle did not run as planned: ${run.stdout}${run.stderr}`);
    const number = (name) => Number(/^frame-(\d+)\.png$/.exec(name)[1]);
    const last = fs.readdirSync(framesDir).sort((a, b) => number(a) - number(b)).pop();
    pictures[outcome] = readPng(path.join(framesDir, last));
  }
  return pictures;
}
