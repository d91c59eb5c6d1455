// The web build played in headless Chromium: its frames equal the headless
// game's golden frames, a whole game from the grid size to Escape, saves kept
// across reloads (and refused saves leaving the old slot), and a page that
// answers its own scripts in every loop of the game.
// Environment: DRAYVANE_SITE (the built site folder), DRAYVANE_REPLAY (the
// headless replay driver, for the battle's message lines), DRAYVANE_GOLDEN.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import {
  battleOutcomes, differing, frames, key, launch, place, placeEquip, placeStructure, press, readPng,
  serve, shot, stillPicture, waitForPicture,
} from './support.mjs';

const site = process.env.DRAYVANE_SITE;
const replay = process.env.DRAYVANE_REPLAY;
const goldenDir = process.env.DRAYVANE_GOLDEN;
const golden = (name) => ({ [name]: readPng(path.join(goldenDir, `${name}.png`)) });

let server;
let chromium;
let work;

before(async () => {
  assert.ok(site && replay && goldenDir, 'DRAYVANE_SITE, DRAYVANE_REPLAY and DRAYVANE_GOLDEN');
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'drayvane-browser-test-'));
  server = await serve(site);
  chromium = await launch();
});

after(async () => {
  await chromium?.close();
  server?.stop();
  if (work)
    fs.rmSync(work, { recursive: true, force: true });
});

async function openGame(options = {}) {
  const page = await chromium.browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  if (options.beforeLoad)
    await page.evaluateOnNewDocument(options.beforeLoad);
  await page.goto(server.url, { waitUntil: 'domcontentloaded' });
  await page.mouse.move(300, 200);
  await waitForPicture(page, golden('setup_columns_tens'));
  return { page, errors };
}

async function typeGridSize(page) {
  for (const digit of ['1', '2', '1', '0'])
    await key(page, digit);
  await waitForPicture(page, golden('design_screen_12x10'));
}

// Longest time for the page to run a script of its own, over a few tries.
async function slowestAnswerMs(page, tries) {
  let slowest = 0;
  for (let i = 0; i < tries; ++i) {
    const start = performance.now();
    await page.evaluate(() => document.title.length);
    slowest = Math.max(slowest, performance.now() - start);
  }
  return slowest;
}

// Waits until the browser's storage holds a file of the game's.
async function storageHolds(page, name) {
  await page.waitForFunction((file) => new Promise((resolve) => {
    const open = indexedDB.open('drayvane31');
    open.onsuccess = () => {
      const get = open.result.transaction('files').objectStore('files').get(file);
      get.onsuccess = () => resolve(get.result !== undefined);
      get.onerror = () => resolve(false);
    };
    open.onerror = () => resolve(false);
  }), { timeout: 30000, polling: 200 }, name);
}

async function pageSays(page, sentence) {
  await page.waitForFunction((text) => {
    const message = document.getElementById('message');
    return !message.hidden && message.textContent.includes(text);
  }, { timeout: 30000 }, sentence);
}

test('the first prompt and the design screen equal the headless frames, keypad digits are no digits',
  async () => {
    const { page, errors } = await openGame();
    assert.equal(await page.title(), 'Drayvane 31');
    // The keypad's digits type nothing into the grid size.
    await key(page, 'Numpad1');
    await key(page, 'Numpad2');
    await frames(page, 10);
    await waitForPicture(page, golden('setup_columns_tens'));
    await typeGridSize(page);
    // The browser's own reactions to the game's keys and button 2 are held back.
    const kept = await page.evaluate(() => {
      const keys = [' ', 'Enter', 'ArrowDown', 'Tab'].map((k) => {
        const event = new KeyboardEvent('keydown', { key: k, bubbles: true, cancelable: true });
        window.dispatchEvent(event);
        return event.defaultPrevented;
      });
      const menu = new MouseEvent('contextmenu', { bubbles: true, cancelable: true, button: 2 });
      document.getElementById('canvas').dispatchEvent(menu);
      return [...keys, menu.defaultPrevented, document.activeElement.id];
    });
    assert.deepEqual(kept, [true, true, true, true, true, 'canvas']);
    assert.deepEqual(errors, []);
    await page.close();
  });

// A picture enlarged by a whole factor, centred on black of the given size.
function enlarged(picture, factor, width, height) {
  const out = { width, height, data: Buffer.alloc(width * height * 4) };
  const left = Math.floor((width - picture.width * factor) / 2);
  const top = Math.floor((height - picture.height * factor) / 2);
  for (let y = 0; y < height; ++y)
    for (let x = 0; x < width; ++x) {
      const o = (y * width + x) * 4;
      const sx = Math.floor((x - left) / factor), sy = Math.floor((y - top) / factor);
      const inside = x >= left && y >= top && sx < picture.width && sy < picture.height;
      const i = (sy * picture.width + sx) * 4;
      out.data[o] = inside ? picture.data[i] : 0;
      out.data[o + 1] = inside ? picture.data[i + 1] : 0;
      out.data[o + 2] = inside ? picture.data[i + 2] : 0;
      out.data[o + 3] = 255;
    }
  return out;
}

test('the frame fills the window in whole pixels between black bars at the device pixel ratio, ' +
  'and clicks land where drawn', async () => {
  // 1124 x 818 CSS pixels at two device pixels each: the frame at 2x, every
  // pixel a 2 x 2 block, 100 device pixels from the sides and 50 from the top.
  const page = await chromium.browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.setViewport({ width: 1124, height: 818, deviceScaleFactor: 2 });
  await page.goto(server.url, { waitUntil: 'domcontentloaded' });
  const at = ([x, y]) => [50 + x, 25 + y]; // frame pixels to CSS pixels
  await page.mouse.move(...at([300, 200]));
  const shown = (name) => ({ [name]: enlarged(golden(name)[name], 2, 2248, 1636) });
  await waitForPicture(page, shown('setup_columns_tens'));
  for (const digit of ['1', '2', '1', '0'])
    await key(page, digit);
  await waitForPicture(page, shown('design_screen_12x10'));
  await press(page, at(place.structureButton));
  await waitForPicture(page, shown('palette_structure'));
  assert.deepEqual(errors, []);
  await page.close();
});

test('a whole game: both ships, a save, a battle, a reload that loads the save, Escape', async () => {
  const outcomes = battleOutcomes(replay, path.join(path.dirname(replay), 'IronholdArt'), work);
  const { page, errors } = await openGame();
  await typeGridSize(page);

  // The player's ship, through both palettes, as in the real-window smoke test.
  await press(page, place.structureButton);
  await waitForPicture(page, golden('palette_structure'));
  // The page runs its own scripts while button 1 is held on a palette.
  await page.mouse.move(...place.structurePicture(96));
  await page.mouse.down();
  const whileHeld = await slowestAnswerMs(page, 20);
  await page.mouse.up();
  await frames(page, 6);
  await press(page, place.cell(1, 1));
  await placeStructure(page, 24, 2, 1);
  await placeStructure(page, 47, 1, 2);
  await placeStructure(page, 2, 2, 2);
  await placeStructure(page, 37, 3, 1);
  await placeStructure(page, 99, 3, 2);
  await press(page, place.equipButton);
  await waitForPicture(page, golden('palette_equip'));
  await press(page, place.equipPicture(13));
  await press(page, place.cell(1, 1));
  await placeEquip(page, 55, 3, 2);
  // A row of armour 5 from one choice: Space keeps the item carried.
  await key(page, 'Space');
  await press(page, place.structureButton);
  await press(page, place.structurePicture(5));
  await press(page, place.cell(1, 3));
  await press(page, place.cell(2, 3));
  await press(page, place.cell(3, 3));
  await key(page, 'Space');

  // The enemy's ship, in the main grid after an exchange.
  await press(page, place.swapButton);
  await placeStructure(page, 90, 0, 0);
  await placeStructure(page, 16, 1, 0);
  await placeStructure(page, 50, 2, 0);
  await placeEquip(page, 3, 0, 0);
  await press(page, place.swapButton);
  await page.mouse.move(...place.cell(1, 1));
  await waitForPicture(page, golden('design_both_ships'));

  // Save into slot 1, then the battle to its end, the page answering throughout.
  await key(page, 'q');
  await storageHolds(page, '/game/IronholdArt/saved1.sdx');
  await page.mouse.move(...place.endButton);
  await frames(page, 3);
  await page.mouse.down();
  await frames(page, 3);
  await page.mouse.up();
  let duringBattle = 0;
  let result = null;
  const until = Date.now() + 120000;
  while (!result && Date.now() < until) {
    duringBattle = Math.max(duringBattle, await slowestAnswerMs(page, 5));
    const now = await shot(page);
    for (const [outcome, picture] of Object.entries(outcomes))
      if (differing(now, picture, 'message').count === 0)
        result = outcome;
  }
  assert.ok(result, 'the message line said neither won nor lost within two minutes');
  assert.deepEqual(errors, []);
  await page.close();

  // A new visit finds the saved design: key 1 loads it.
  const again = await openGame();
  await typeGridSize(again.page);
  await key(again.page, '1');
  await again.page.mouse.move(...place.cell(1, 1));
  await waitForPicture(again.page, golden('design_both_ships'), 'all-but-message');

  // Escape ends the game, and the page says so and offers another.
  await key(again.page, 'Escape');
  await pageSays(again.page, 'The game has ended.');
  assert.equal(await again.page.$eval('#again', (button) => button.hidden), false);
  assert.deepEqual(again.errors, []);
  await again.page.close();

  console.log(`page answered within ${whileHeld.toFixed(1)} ms with button 1 held on a palette, ` +
    `${duringBattle.toFixed(1)} ms during the battle (${result})`);
  assert.ok(whileHeld < 1000, `the page took ${whileHeld} ms to answer with button 1 held`);
  assert.ok(duringBattle < 1000, `the page took ${duringBattle} ms to answer during the battle`);
});

test('a save the browser\'s storage refuses leaves the saved design as it was', async () => {
  // A one-gun design in slot 2.
  const first = await openGame();
  await typeGridSize(first.page);
  await placeStructure(first.page, 96, 1, 1);
  await first.page.mouse.move(...place.cell(4, 4));
  const designed = await stillPicture(first.page);
  await key(first.page, 'w');
  await storageHolds(first.page, '/game/IronholdArt/saved2.sdx');
  await first.page.close();

  // The storage now refuses every write: an empty design saved over slot 2
  // fails, and slot 2 still loads the gun, now and after a reload.
  const refusing = await openGame({
    beforeLoad: () => {
      IDBObjectStore.prototype.put = function () {
        throw new DOMException('The quota has been exceeded.', 'QuotaExceededError');
      };
    },
  });
  await typeGridSize(refusing.page);
  await key(refusing.page, 'w');
  await key(refusing.page, '2');
  await refusing.page.mouse.move(...place.cell(4, 4));
  await waitForPicture(refusing.page, { designed }, 'all-but-message');
  await refusing.page.close();

  const later = await openGame();
  await typeGridSize(later.page);
  await key(later.page, '2');
  await later.page.mouse.move(...place.cell(4, 4));
  await waitForPicture(later.page, { designed }, 'all-but-message');
  assert.deepEqual([...first.errors, ...refusing.errors, ...later.errors], []);
  await later.page.close();
});
