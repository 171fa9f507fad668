// Opens the reports that report_fixture writes in headless Chromium and checks
// that they render and that a combatant row unfolds and folds again; then
// opens the timeline pictures and checks that every legend name is drawn
// inside the picture, saving a screenshot of each.
//
//   node unfold.test.js PATH_TO_REPORT_FIXTURE [SCREENSHOT_DIR]
//
// The browser is the system's Chromium (OMBREL_CHROMIUM overrides the path).
// Every failure, the browser not starting included, ends the run with exit
// code 1 and a message: this test never passes by skipping.

'use strict';

const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { pathToFileURL } = require('node:url');

function fail(message) {
  console.error(`report_browser: FAILED: ${message}`);
  process.exit(1);
}

let chromium;
try {
  ({ chromium } = require('playwright-core'));
} catch (error) {
  fail(`playwright-core is not installed (run "npm ci" in ${__dirname}): ${error.message}`);
}

const fixture = process.argv[2];
if (!fixture) fail('usage: node unfold.test.js PATH_TO_REPORT_FIXTURE [SCREENSHOT_DIR]');
const screenshotDir = process.argv[3];
const executablePath = process.env.OMBREL_CHROMIUM || '/usr/bin/chromium';
if (!fs.existsSync(executablePath)) fail(`no browser at ${executablePath}`);

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'ombrel-report-browser-'));
const profile = path.join(work, 'profile');
process.on('exit', () => fs.rmSync(work, { recursive: true, force: true }));

async function isShown(page, selector) {
  return page.locator(selector).isVisible();
}

async function checkEventsReport(page) {
  await page.goto(pathToFileURL(path.join(work, 'events.htm')).href);
  assert.equal(await page.title(), 'Defensive damage on 03/14/2024');
  const cells = await page.$$eval('tr', (rows) => rows.map((row) => row.cells.length));
  // Caption, header, three events, footer.
  assert.deepEqual(cells, [1, 16, 16, 16, 16, 1]);
}

async function checkEventDetailReport(page) {
  await page.goto(pathToFileURL(path.join(work, 'event-detail.htm')).href);
  assert.equal(await page.title(), 'Defensive damage for a goblin, by Party on 03/14/2024');

  // Escaped values read back as the log wrote them; Windows-1252 is decoded.
  const names = await page.$$eval('tr[bgcolor] > td:first-child', (cells) =>
    cells.map((cell) => cell.textContent));
  assert.ok(names.includes('  [ Total ] '), `Total row missing in ${JSON.stringify(names)}`);
  assert.ok(names.some((n) => n.endsWith(' Al<i> & "Bo"')), 'escaped name not restored');
  assert.ok(names.some((n) => n.endsWith(' D\u00e9sir\u00e9')), 'Windows-1252 name not decoded');
  assert.ok(names.includes('Al<i> & "Bo"'), 'glyph caster missing from the ability table');

  // Every combatant row and every detail row holds all 25 cells.
  for (let p = 1; p <= 3; ++p) {
    const rows = await page.$$eval(`[id="${p}c"] > tr`, (trs) => trs.map((tr) => tr.cells.length));
    assert.ok(rows.length >= 1, `block ${p}c has no rows`);
    assert.deepEqual(rows, rows.map(() => 25), `block ${p}c: cells per row ${rows}`);
    const owner = await page.$eval(`[id="${p}a"]`, (a) => a.closest('tr').cells.length);
    assert.equal(owner, 25, `row ${p}: ${owner} cells`);
  }
  const sources = await page.$$eval('[id="1c"] > tr > td:first-child', (tds) =>
    tds.map((td) => td.textContent));
  assert.deepEqual(sources, ['hits', 'Pet - bites']);

  // Folded at first.
  assert.equal(await isShown(page, '[id="1a"]'), true, '"+" of row 1 hidden at first');
  assert.equal(await isShown(page, '[id="1b"]'), false, '"-" of row 1 shown at first');
  assert.equal(await isShown(page, '[id="1c"]'), false, 'block 1c shown at first');

  await page.click('[id="1a"]');
  assert.equal(await isShown(page, '[id="1a"]'), false, '"+" still shown after unfolding');
  assert.equal(await isShown(page, '[id="1b"]'), true, '"-" not shown after unfolding');
  assert.equal(await isShown(page, '[id="1c"]'), true, 'block 1c not shown after unfolding');
  assert.equal(await isShown(page, '[id="2c"]'), false, 'block 2c unfolded with 1c');

  await page.click('[id="1b"]');
  assert.equal(await isShown(page, '[id="1a"]'), true, '"+" not shown after folding');
  assert.equal(await isShown(page, '[id="1b"]'), false, '"-" still shown after folding');
  assert.equal(await isShown(page, '[id="1c"]'), false, 'block 1c still shown after folding');
}

// The legend's names as the log wrote them, each drawn inside the picture and
// not covered by another legend entry.
async function checkTimelinePicture(page, file, title, legend, screenshotDir) {
  await page.setViewportSize({ width: 960, height: 540 });
  await page.goto(pathToFileURL(path.join(work, file)).href);
  assert.equal(await page.title(), title);
  const entries = page.locator('g.legend > text');
  assert.deepEqual(await entries.allTextContents(), legend);
  let previousBottom = -Infinity;
  for (let i = 0; i < legend.length; ++i) {
    const entry = entries.nth(i);
    assert.ok(await entry.isVisible(), `legend entry ${legend[i]} hidden`);
    const box = await entry.boundingBox();
    assert.ok(box.width > 5 && box.height > 5, `legend entry ${legend[i]} drawn empty`);
    assert.ok(box.x >= 0 && box.y >= 0 && box.x + box.width <= 960 && box.y + box.height <= 540,
      `legend entry ${legend[i]} outside the picture: ${JSON.stringify(box)}`);
    assert.ok(box.y >= previousBottom - 1, `legend entry ${legend[i]} overlaps the one above`);
    previousBottom = box.y + box.height;
  }
  assert.equal(await page.locator('g.series > polyline').count(), legend.length);
  const shot = await page.screenshot({
    path: screenshotDir ? path.join(screenshotDir, file.replace('.svg', '.png')) : undefined,
  });
  assert.ok(shot.length > 5000, `screenshot of ${file} is nearly empty`);
}

async function main() {
  execFileSync(fixture, [work], { stdio: 'inherit' });

  let context;
  try {
    context = await chromium.launchPersistentContext(profile, {
      executablePath,
      headless: true,
      timeout: 60000,
      args: [
        '--headless',
        '--no-sandbox',
        '--disable-gpu',
        '--disable-quic',
        '--no-first-run',
        '--disable-background-networking',
        '--disable-component-update',
        '--disable-sync',
      ],
    });
  } catch (error) {
    fail(`the browser did not start (${executablePath}): ${error.message}`);
  }
  try {
    const page = context.pages()[0] || (await context.newPage());
    page.setDefaultTimeout(15000);
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    await checkEventsReport(page);
    await checkEventDetailReport(page);
    await checkTimelinePicture(page, 'timeline.svg',
      'Damage per second: a goblin, 03/14/2024 21:05:00',
      ['Al<i> & "Bo"', 'D\u00e9sir\u00e9', 'a goblin'], screenshotDir);
    await checkTimelinePicture(page, 'timeline-odd-names.svg',
      'Damage per second: a <goblin> & "co", 03/14/2024 21:05:00',
      ['Bell\ufffd\ufffd', 'Eve\u0081\u009d', 'Dee', 'Cy,Q', "Al<i> & 'Bo'", `${'W'.repeat(15)}...`,
        'Ann + pet', ']]> <!-- x -->', 'Others', 'a <goblin> & "co"'], screenshotDir);
    assert.deepEqual(errors, [], 'script errors on the page');
  } finally {
    await context.close();
  }
  console.log('report_browser: both reports render; row 1 unfolds and folds; '
    + 'the timeline pictures show their legends');
}

main().catch((error) => fail(error.stack || String(error)));
