// Hostile files and addresses: a capture is data. Chart scripts that would rewrite the page, replace
// its functions, store data, send requests or spin for ever if they ran, and gbF lines with code in
// their arguments, are opened with the file button, dropped on the page and named in ?src=; data:,
// http:, https:, javascript: and other-site addresses are named in ?src=. Nothing they hold may run
// and no request may leave the page; each is refused with a message that says why, and well-formed
// captures (the Windows build's CR LF ones too) still load.
//   node hostile_files_test.mjs OUT_DIR
// The page is served over HTTP from 127.0.0.1 (as a lab might serve a folder of captures), so that
// a request a hostile file made to the page's own site would be allowed and seen by the server,
// and opened from the file system.
import { spawnSync } from 'node:child_process';
import { createServer } from 'node:http';
import { copyFileSync, mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { dirname, extname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { CHROMIUM_ARGS, FILE_ACCESS, check, runInBrowser, viewerPage, waitForLoad } from './harness.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const viewerDir = resolve(here, '../../viewer');
const out = resolve(process.argv[2] ?? '');
if (process.argv.length !== 3) {
  console.error('usage: node hostile_files_test.mjs OUT_DIR');
  process.exit(2);
}
const captures = join(out, 'captures');

// --- the hostile files ---------------------------------------------------------------------------
// Each would set window.__hostile to its name if it ran, and do its own harm besides.
const HEAD = ["var Vertical1Units='V'", 'var Vertical1Scale=        2', 'var Vertical1Position=      1.5',
  "var Vertical2Units='V'", 'var Vertical2Scale=      0.5', 'var Vertical2Position=    -0.25',
  'var displayOffset1=-Vertical1Position*1.0/Vertical1Scale*50.0',
  'var displayOffset2=+Vertical2Position*1.0/Vertical2Scale*50.0', 'timeInterval=1.250000e-08'];
const call = (n, a = 'bench@benchcom', s1 = '12', rest = '') =>
  `gbF( 'vornel','${a}','Sun Feb  22 10:30:47 UTC 2015 ','127.0.0.1',${s1},-7,0,0,'${n}');${rest}`;
const CALLS = [call(0), call(1)];
const HOSTILE = {
  // file name: [its lines, the line the viewer must name as not in the layout]
  'rewrites-page.js': [["document.body.innerHTML = '<p id=\"hostile\">taken over</p>';", "window.__hostile = 'rewrites-page';"], 1],
  'replaces-functions.js': [[...HEAD, ...CALLS, "window.BCV.csvCapture.parse = function () { return { error: 'hostile' }; };",
    "window.gbF = function () {}; window.__hostile = 'replaces-functions';"], 12],
  'stores.js': [[...HEAD, "localStorage.setItem('hostile', 'stores'); document.cookie = 'hostile=stores';",
    "window.__hostile = 'stores';", ...CALLS], 10],
  'requests.js': [[...HEAD, ...CALLS, "fetch('/leak/fetch'); var x = new XMLHttpRequest(); x.open('GET', '/leak/xhr'); x.send();",
    "new Image().src = '/leak/image'; navigator.sendBeacon('/leak/beacon'); window.__hostile = 'requests';"], 12],
  'spins.js': [[...HEAD, "window.__hostile = 'spins';", 'while (true) {}', ...CALLS], 10],
  'injects-arguments.js': [[...HEAD, call(0), call(1, "x'+(window.__hostile='injects-arguments')+'"), call(2)], 11],
  'injects-samples.js': [[...HEAD, call(0, undefined, "(window.__hostile='injects-samples',fetch('/leak/samples'),12)")], 10],
  'injects-after.js': [[...HEAD, call(0), call(1, undefined, '12', "fetch('/leak/after');window.__hostile='injects-after'")], 11],
  'injects-head.js': [[...HEAD.slice(0, 1), "var Vertical1Scale=(window.__hostile='injects-head', fetch('/leak/head'), 2)", ...HEAD.slice(2), ...CALLS], 2],
};
// Addresses the page must not read at all; the server names each file it was asked for.
const ORIGIN = () => `http://127.0.0.1:${server.address().port}`;
const REFUSED = () => [
  "data:text/javascript,window.__hostile='data-src'",
  `${ORIGIN()}/captures/by-http.js`,
  `https://127.0.0.1:${server.address().port}/captures/by-https.js`,
  "javascript:window.__hostile='javascript-src'",
  `//localhost:${server.address().port}/captures/other-site.js`,
  `  HTTP://127.0.0.1:${server.address().port}/captures/by-http-spaced.js`,
];

// --- a small server that says what it was asked for ----------------------------------------------
const asked = [];
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.csv': 'text/csv' };
const server = createServer((req, res) => {
  const path = decodeURIComponent(new URL(req.url, 'http://x').pathname);
  asked.push(path);
  const [, top, ...rest] = path.split('/');
  const root = { viewer: viewerDir, captures }[top];
  try {
    const body = readFileSync(join(root, ...rest.filter((p) => p !== '..')));
    res.writeHead(200, { 'Content-Type': TYPES[extname(path)] ?? 'application/octet-stream', 'Cache-Control': 'no-store' });
    res.end(body);
  } catch {
    res.writeHead(404);
    res.end();
  }
});

// --- what a hostile file would change ------------------------------------------------------------
async function remember(page) {
  await page.evaluate(() => { window.__parse = window.BCV.csvCapture.parse; window.__gbF = window.gbF; });
}

async function checkUntouched(what, page) {
  const seen = await page.evaluate(() => ({
    marker: window.__hostile ?? null, rewritten: document.getElementById('hostile') !== null || document.getElementById('status') === null,
    stored: localStorage.length, cookie: document.cookie,
    replaced: window.BCV.csvCapture.parse !== window.__parse || window.gbF !== window.__gbF,
  }));
  check(`${what}: nothing in it ran`, seen.marker === null && !seen.rewritten && seen.stored === 0 && seen.cookie === '' && !seen.replaced,
    JSON.stringify(seen));
}

function checkRefused(what, state, name, line) {
  check(`${what}: refused, naming the file and the line`, state.status === 'error'
    && state.error?.includes(`"${name}" is not a chart script`) && state.error?.includes(`line ${line} `), state.error);
}

async function checkValidLoads(what, page, path) {
  const before = (await waitForLoad(page, 0)).loads;
  await page.setInputFiles('#open-files', path);
  const state = await waitForLoad(page, before + 1);
  check(`${what}: a well-formed capture still loads`, state.status === 'ready' && state.channels.length === 2
    && state.channels.every((c) => c.points.length === 4000), `${state.status} ${state.error ?? ''}`);
}

async function dropFile(page, name, text) {
  await page.evaluate(([n, t]) => {
    const data = new DataTransfer();
    data.items.add(new File([t], n, { type: 'text/javascript' }));
    document.querySelector('#chart').dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
  }, [name, text]);
}

// Each hostile file three ways, on the page served over HTTP: button, drop, ?src=. A file that
// did run may have broken the page: that fails its own case, and the next starts afresh.
async function hostileFiles(page, valid) {
  for (const [name, [, line]] of Object.entries(HOSTILE)) {
    try {
      await hostileFile(page, valid, name, line);
    } catch (e) {
      check(`${name}: the page still works after it`, false, e.message);
    }
  }
}

async function hostileFile(page, valid, name, line) {
  const path = join(captures, name);
  await page.goto(`${ORIGIN()}/viewer/index.html`);
  await remember(page);
  await page.setInputFiles('#open-files', path);
  checkRefused(`${name} (button)`, await waitForLoad(page, 1), name, line);
  await checkUntouched(`${name} (button)`, page);
  await dropFile(page, name, readFileSync(path, 'utf8'));
  checkRefused(`${name} (dropped)`, await waitForLoad(page, 2), name, line);
  await checkUntouched(`${name} (dropped)`, page);
  await checkValidLoads(name, page, valid);
  await page.goto(`${ORIGIN()}/viewer/index.html?src=${encodeURIComponent(`../captures/${name}`)}`);
  await remember(page);
  checkRefused(`${name} (?src=)`, await waitForLoad(page, 1), name, line);
  await checkUntouched(`${name} (?src=)`, page);
  check(`${name}: the page still answers`, await page.evaluate(() => document.getElementById('status').textContent.length > 0));
}

async function refusedAddresses(page, base) {
  for (const src of REFUSED()) {
    await page.goto(`${base}?src=${encodeURIComponent(src)}`);
    await remember(page);
    const state = await waitForLoad(page, 1);
    check(`?src=${src} from ${base.slice(0, 5)}: refused, saying so`, state.status === 'error'
      && state.error?.startsWith('The address ') && state.error?.includes(' is refused: '), state.error);
    await checkUntouched(`?src=${src}`, page);
  }
}

// The Windows build's chart script (CR LF line ends) named in ?src=, relative and as a file: address.
async function windowsCapture(page, file) {
  for (const [base, src] of [[`${ORIGIN()}/viewer/index.html`, '../captures/windows/gbookFtemp.js'],
    [viewerPage, pathToFileURL(file).href]]) {
    await page.goto(`${base}?src=${encodeURIComponent(src)}`);
    const state = await waitForLoad(page, 1);
    check(`CR LF chart script by ?src=${src}`, state.status === 'ready' && state.source?.kind === 'chart script'
      && state.channels.every((c) => c.points.length === 4000), `${state.status} ${state.error ?? ''}`);
  }
}

// A hostile file named by a file: address, on the page opened from the file system.
async function fileAddress(page) {
  await page.goto(`${viewerPage}?src=${encodeURIComponent(pathToFileURL(join(captures, 'requests.js')).href)}`);
  await remember(page);
  checkRefused('requests.js by a file: address', await waitForLoad(page, 1), 'requests.js', 12);
  await checkUntouched('requests.js by a file: address', page);
}

// Where the browser does not let a page from the file system read files by address, it says what to do.
async function plainBrowser(file) {
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', headless: true, args: CHROMIUM_ARGS });
  try {
    const page = await browser.newPage();
    await page.goto(`${viewerPage}?src=${encodeURIComponent(pathToFileURL(file).href)}`);
    const state = await waitForLoad(page, 1);
    check('a browser that keeps files apart: ?src= says what to do', state.status === 'error'
      && /--allow-file-access-from-files\). Open it with the button or drop it on the page\.$/.test(state.error ?? ''), state.error);
  } finally {
    await browser.close();
  }
}

function writeFiles() {
  rmSync(out, { recursive: true, force: true });
  mkdirSync(captures, { recursive: true });
  for (const format of ['linux', 'windows']) {
    const r = spawnSync(process.execPath, [join(here, 'make_sample.mjs'), join(captures, format), ...(format === 'windows' ? ['--windows'] : [])]);
    check(`sample captures (${format})`, r.status === 0, r.stderr);
  }
  for (const [name, [lines]] of Object.entries(HOSTILE)) writeFileSync(join(captures, name), lines.map((l) => l + '\n').join(''));
  for (const name of ['by-http.js', 'by-https.js', 'other-site.js', 'by-http-spaced.js']) copyFileSync(join(captures, 'linux', 'gbookFtemp.js'), join(captures, name));
}

// Asked for: the viewer's own files, and the captures the test named by a relative ?src= only.
function checkRequests(requests) {
  const named = new Set([...Object.keys(HOSTILE), 'windows/gbookFtemp.js'].map((n) => `/captures/${n}`));
  const stray = asked.filter((p) => !p.startsWith('/viewer/') && !named.has(p) && p !== '/favicon.ico');
  check('the server was asked for nothing else', stray.length === 0, stray.join(' '));
  const strayUrls = requests.filter((u) => !u.startsWith(`${ORIGIN()}/viewer/`) && !u.startsWith(`${ORIGIN()}/captures/`)
    && !u.startsWith(pathToFileURL(viewerDir).href) && !u.startsWith(pathToFileURL(captures).href) && !u.endsWith('/favicon.ico'));
  check('no request left the page for anywhere else', strayUrls.length === 0, strayUrls.join(' '));
}

async function run(page) {
  writeFiles();
  await new Promise((r) => server.listen(0, '127.0.0.1', r));
  const requests = [];
  page.on('request', (req) => requests.push(req.url()));
  const valid = join(captures, 'linux', 'gbookFtemp.js');
  try {
    await hostileFiles(page, valid);
    await refusedAddresses(page, `${ORIGIN()}/viewer/index.html`);
    await refusedAddresses(page, viewerPage);
    await fileAddress(page);
    await windowsCapture(page, join(captures, 'windows', 'gbookFtemp.js'));
    checkRequests(requests);
    await plainBrowser(valid);
  } finally {
    server.close();
  }
}

runInBrowser('viewer on hostile files and addresses: nothing runs', run, undefined, FILE_ACCESS);
