// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The extension in a real VS Code (code-server), driven as a person drives
// it, with the keyboard, through Debian's Chromium: attach configuration
// files and read the Problems panel, hover, complete, fix from the light
// bulb, show what the backend receives; then the same folder untrusted,
// whose settings name a program and a plug-in of its own, neither of which
// may run. Screenshots go to OUT.
// Usage: node e2e.cjs CODE-SERVER VSIX LINT-CASES OUT
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { spawn, execFileSync } = require('node:child_process');
const fs = require('node:fs');
const net = require('node:net');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const [codeServer, vsix, lintCases, out] = process.argv.slice(2);
const root = fs.mkdtempSync(path.join(os.tmpdir(), 'vek-vscode-'));
fs.mkdirSync(out, { recursive: true });
const started = [];
test.after(() => {
  for (const child of started) {
    try { process.kill(-child.pid, 'SIGKILL'); } catch { /* gone already */ }
  }
});

// The dozen files of the usual mistakes the Problems panel is read for;
// column-after-non-ascii.json and graph-identifiers.json put astral or
// other non-ASCII characters before a mistake.
const files = ['several-mistakes.json', 'column-after-non-ascii.json', 'graph-identifiers.json', 'repeated-key.json',
  'unknown-key.json', 'not-allowed.json', 'wrong-type.json', 'missing-dependency.json', 'ignored-values.json',
  'trailing-comma-in-object.json', 'python-spelling.json', 'device-id-range.json'];

const freePort = () => new Promise((resolve) => {
  const server = net.createServer().listen(0, '127.0.0.1', () => {
    const { port } = server.address();
    server.close(() => resolve(port));
  });
});

// code-server kept to this machine and to folders of its own, its
// marketplace off; in a group of its own, so it and all it starts end.
function environment(home) {
  return { ...process.env, HOME: home, XDG_CONFIG_HOME: `${home}/config`, XDG_DATA_HOME: `${home}/data`,
    XDG_CACHE_HOME: `${home}/cache`, EXTENSIONS_GALLERY: '{}' };
}
function flags(home) {
  return ['--user-data-dir', `${home}/user-data`, '--extensions-dir', `${home}/extensions`, '--config', `${home}/config.yaml`];
}

async function startCodeServer(home, folder, trusted) {
  const port = await freePort();
  const args = [...flags(home), '--bind-addr', `127.0.0.1:${port}`, '--auth', 'none', '--disable-telemetry', '--disable-update-check',
    '--disable-getting-started-override', '--ignore-last-opened', ...(trusted ? ['--disable-workspace-trust'] : []), folder];
  const child = spawn(codeServer, args, { env: environment(home), detached: true, stdio: ['ignore', 'pipe', 'pipe'] });
  started.push(child);
  child.stdout.pipe(fs.createWriteStream(`${home}/code-server.log`));
  child.stderr.pipe(fs.createWriteStream(`${home}/code-server.err`));
  for (let i = 0; i < 300; ++i) {
    const up = await fetch(`http://127.0.0.1:${port}/healthz`).then(() => true, () => false);
    if (up) return `http://127.0.0.1:${port}/?folder=${encodeURIComponent(folder)}`;
    await new Promise((resolve) => setTimeout(resolve, 200));
  }
  throw new Error(`code-server did not start: ${fs.readFileSync(`${home}/code-server.err`, 'utf8')}`);
}

function install(home) {
  fs.mkdirSync(home, { recursive: true });
  execFileSync(codeServer, [...flags(home), '--install-extension', vsix], { env: environment(home), stdio: 'ignore' });
  const extension = fs.readdirSync(`${home}/extensions`).find((name) => name.startsWith('vekgpukalder.vekhost-'));
  assert.ok(extension, 'the extension is installed');
  return path.join(home, 'extensions', extension);
}

async function openBrowser(url, name) {
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1',
      `--user-data-dir=${root}/chromium-${name}`],
    defaultViewport: { width: 1600, height: 1000 },
  });
  started.push(browser.process());
  const page = await browser.newPage();
  await page.goto(url);
  await page.waitForSelector('.monaco-workbench .part.editor', { timeout: 60000 });
  return { browser, page };
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const shot = (page, name) => page.screenshot({ path: path.join(out, `${name}.png`) });

// The quick input, given text and, once it lists `expect`, Enter: the
// command palette (F1), Go to File (Ctrl+P) and Go to Line (Ctrl+G).
async function quickInput(page, open, text, expect) {
  await page.keyboard.press('Escape');
  if (open === 'F1') await page.keyboard.press('F1');
  else {
    await page.keyboard.down('Control');
    await page.keyboard.press(open);
    await page.keyboard.up('Control');
  }
  await page.waitForSelector('.quick-input-widget input', { visible: true });
  await page.keyboard.type(text);
  if (expect) {
    await page.waitForFunction((wanted) => [...document.querySelectorAll('.quick-input-list .monaco-list-row')]
      .some((row) => (row.getAttribute('aria-label') || row.textContent).includes(wanted)), { timeout: 30000 }, expect);
  }
  await sleep(300);
  await page.keyboard.press('Enter');
  await sleep(300);
}
const command = (page, text) => quickInput(page, 'F1', `>${text}`, text.replace(/^[^:]*: /, ''));
async function openFile(page, name) {
  await quickInput(page, 'p', name, name);
  await page.waitForFunction((wanted) => {
    const tab = document.querySelector('.tabs-container .tab.active');
    return tab !== null && (tab.getAttribute('aria-label') || '').startsWith(wanted);
  }, { timeout: 30000 }, name);
}
const language = (page) => page.$eval('#status\\.editor\\.mode', (e) => e.textContent.trim()).catch(() => '');
async function attach(page, name) {
  await openFile(page, name);
  await command(page, 'vekhost: Check This File as a GPU Configuration');
  await page.waitForFunction(() => (document.querySelector('#status\\.editor\\.mode') || {}).textContent?.includes('vekhost'),
    { timeout: 30000 });
}
async function goTo(page, line, column) {
  await quickInput(page, 'g', `${line}:${column}`);
}

// Every row of the Problems panel, its list scrolled through: the file a
// row is under, its severity, line, column and message.
// The list draws only the rows in view: it is walked from its first row
// down, a page at a time (the first moves the focus to the page's last
// row), until three pages bring no row not seen.
async function problems(page, name) {
  await page.keyboard.press('Escape');
  await page.keyboard.down('Control');
  await page.keyboard.down('Shift');
  await page.keyboard.press('m');  // View: Problems
  await page.keyboard.up('Shift');
  await page.keyboard.up('Control');
  await page.waitForSelector('.markers-panel .monaco-list-row', { timeout: 30000 });
  await page.keyboard.press('Home');
  const rows = new Map();
  for (let round = 0, idle = 0; round < 300 && idle < 3; ++round) {
    await sleep(200);
    const seen = await page.$$eval('.markers-panel .monaco-list-row', (elements) => elements.map((e) => ({
      index: Number(e.getAttribute('data-index')), label: e.getAttribute('aria-label') || '',
    })));
    const before = rows.size;
    for (const row of seen) rows.set(row.index, row);
    idle = rows.size === before ? idle + 1 : 0;
    await page.keyboard.press('PageDown');
  }
  const sorted = [...rows.values()].sort((a, b) => a.index - b.index);
  fs.writeFileSync(path.join(out, `${name}.txt`), sorted.map((r) => r.label).join('\n') + '\n');
  return sorted;
}

// What vekhost check says of the files, as the Problems panel would show it.
function checkSays(vekhost, folder) {
  let output;
  try {
    output = execFileSync(vekhost, ['check', '--format', 'json', ...files], { cwd: folder, encoding: 'utf8' });
  } catch (failure) {
    output = failure.stdout;
  }
  return output.trim().split('\n').map((line) => JSON.parse(line)).flatMap((document) =>
    document.diagnostics.map((d) => `${document.file} ${d.severity} ${d.line}:${d.column} ${d.message}`)).sort();
}

// A Problems row as "FILE SEVERITY LINE:COLUMN MESSAGE".
function parseRows(rows) {
  const said = [];
  let file = '';
  for (const row of rows) {
    const marker = /^(Error|Warning)[^:]*: (.*) at line (\d+) and character (\d+)/s.exec(row.label);
    if (!marker) {
      const named = files.find((name) => row.label.includes(name));
      if (named) file = named;
      continue;
    }
    said.push(`${file} ${marker[1].toLowerCase()} ${marker[3]}:${marker[4]} ${marker[2]}`);
  }
  return said.sort();
}

test('in VS Code: attached files, the Problems panel, hover, completion, a quick fix, what the backend receives', { timeout: 600000 }, async () => {
  const home = `${root}/trusted`;
  const extension = install(home);
  const folder = `${root}/configs`;
  fs.mkdirSync(folder, { recursive: true });
  for (const name of files) fs.copyFileSync(path.join(lintCases, name), path.join(folder, name));
  fs.writeFileSync(path.join(folder, 'edit.json'), '{\n  "graph_names": ["encoder-v2"],\n  "perf_hint": "HIGH"\n}\n');
  const { browser, page } = await openBrowser(await startCodeServer(home, folder, true), 'trusted');
  try {
    for (const name of files) await attach(page, name);
    await sleep(3000);
    await shot(page, 'attached');
    const said = parseRows(await problems(page, 'problems'));
    await shot(page, 'problems');
    assert.deepStrictEqual(said, checkSays(path.join(extension, 'server', 'bin', 'vekhost'), folder));
    const settings = JSON.parse(fs.readFileSync(path.join(folder, '.vscode', 'settings.json'), 'utf8'));
    assert.strictEqual(settings['files.associations']['**/several-mistakes.json'], 'vek-config', 'attached in the workspace settings');

    // Hover, completion and a quick fix on a file of its own.
    await attach(page, 'edit.json');
    await sleep(2000);
    await goTo(page, 3, 5);
    await command(page, 'Show or Focus Hover');
    await page.waitForSelector('.monaco-hover', { visible: true, timeout: 20000 });
    const hover = await page.$eval('.monaco-hover', (e) => e.textContent);
    assert.match(hover, /perf_hint: one of "high", "normal" or "low"/);
    await shot(page, 'hover');
    await page.keyboard.press('Escape');

    await goTo(page, 3, 16);
    await page.keyboard.down('Control');
    await page.keyboard.press('Period');
    await page.keyboard.up('Control');
    await page.waitForSelector('.action-widget', { visible: true, timeout: 20000 });
    await shot(page, 'quick-fix');
    const actions = await page.$eval('.action-widget', (e) => e.textContent);
    assert.match(actions, /Write "high"/);
    await page.keyboard.press('Enter');
    await sleep(500);

    await goTo(page, 2, 33);
    await page.keyboard.press('Enter');
    await page.keyboard.down('Control');
    await page.keyboard.press('Space');
    await page.keyboard.up('Control');
    await page.waitForSelector('.suggest-widget.visible', { timeout: 20000 });
    await shot(page, 'completion');
    await page.keyboard.type('tuning_mo');
    await sleep(500);
    await page.keyboard.press('Enter');
    await page.keyboard.press('Escape');
    await page.keyboard.down('Control');
    await page.keyboard.press('s');
    await page.keyboard.up('Control');
    await sleep(1500);
    assert.strictEqual(fs.readFileSync(path.join(folder, 'edit.json'), 'utf8'),
      '{\n  "graph_names": ["encoder-v2"],\n  "tuning_mode": true,\n  "perf_hint": "high"\n}\n');

    await command(page, 'vekhost: Show What the GPU Backend Receives');
    // The editor draws spaces as no-break spaces.
    await page.waitForFunction(() => [...document.querySelectorAll('.view-lines')]
      .some((e) => e.textContent.replace(/\u00a0/g, ' ').includes('Backend options')), { timeout: 30000 });
    await shot(page, 'backend-input');
    const report = await page.$$eval('.view-lines', (elements) => elements.map((e) => e.textContent.replace(/\u00a0/g, ' ')).join('\n'));
    assert.match(report, /TuningMode/);
    assert.match(report, /encoder_v2: precision/);
  } finally {
    await shot(page, 'trusted-last').catch(() => {});
    await browser.close();
  }
});

test('in an untrusted workspace, what its settings name is neither run nor loaded', { timeout: 300000 }, async () => {
  const home = `${root}/untrusted`;
  install(home);
  const folder = `${root}/strangers`;
  const marker = `${root}/ran.txt`;
  fs.mkdirSync(path.join(folder, '.vscode'), { recursive: true });
  fs.writeFileSync(path.join(folder, 'evil.sh'), `#!/bin/sh\necho "$@" > ${marker}\n`, { mode: 0o755 });
  fs.writeFileSync(path.join(folder, '.vscode', 'settings.json'), JSON.stringify({
    'vekhost.path': path.join(folder, 'evil.sh'), 'vekhost.pluginPath': path.join(folder, 'evil.so'),
  }));
  fs.copyFileSync(path.join(lintCases, 'several-mistakes.json'), path.join(folder, 'model.vek.json'));
  const { browser, page } = await openBrowser(await startCodeServer(home, folder, false), 'untrusted');
  try {
    // A folder not trusted opens in VS Code's Restricted Mode.
    await page.waitForFunction(() => document.querySelector('.part.statusbar')?.textContent.includes('Restricted Mode'), { timeout: 60000 });
    await openFile(page, 'model.vek.json');
    await page.waitForSelector('.squiggly-error', { timeout: 60000 });
    await shot(page, 'untrusted');
    assert.match(await language(page), /GPU configuration \(vekhost\)/, 'a *.vek.json file is attached by its name');
    const said = parseRows(await problems(page, 'untrusted')).length;
    assert.strictEqual(said, 5, 'the bundled vekhost gives the five problems');
    const status = await page.$eval('.part.statusbar', (e) => e.textContent);
    assert.match(status, /vekhost:\s*refused: 5 errors/, 'the verdict in the status bar');
    assert.ok(!fs.existsSync(marker), 'the workspace\'s vekhost.path was not run');
  } finally {
    await shot(page, 'untrusted-last').catch(() => {});
    await browser.close();
  }
});
