// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// vekhost lsp driven by Microsoft's protocol client libraries, as VS Code's
// client drives a server. Usage: node vscode-client.cjs VEKHOST LINT_CASES
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { spawn, execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const rpc = require('vscode-languageserver-protocol/node');

const [vekhost, lintCases] = process.argv.slice(2);
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vek-lsp-'));

// A server with a connection; `published` keeps every diagnostics
// notification, and `next(uri, version)` waits for the one of a version.
const children = [];
test.after(() => children.forEach((child) => child.kill()));

// What VS Code's client says it can do, in the parts the server reads.
const vscodeCapabilities = (encodings, pull) => ({
  general: { positionEncodings: encodings },
  textDocument: {
    publishDiagnostics: { relatedInformation: true },
    completion: { completionItem: { snippetSupport: true } },
    documentSymbol: { hierarchicalDocumentSymbolSupport: true },
    codeAction: { isPreferredSupport: true, resolveSupport: { properties: ['edit'] } },
    foldingRange: { rangeLimit: 5000, lineFoldingOnly: true },
    inlayHint: {},
    ...(pull ? { diagnostic: { dynamicRegistration: true } } : {}),
  },
});

// Started as VS Code's client starts a server over standard input and output.
async function start(encodings, pull = false) {
  const child = spawn(vekhost, ['lsp', '--stdio', `--clientProcessId=${process.pid}`], { stdio: ['pipe', 'pipe', 'inherit'] });
  children.push(child);
  const connection = rpc.createProtocolConnection(new rpc.StreamMessageReader(child.stdout), new rpc.StreamMessageWriter(child.stdin));
  const published = new Map();
  const waiting = [];
  connection.onNotification(rpc.PublishDiagnosticsNotification.type, (params) => {
    published.set(params.uri, params);
    for (const w of waiting.splice(0)) {
      if (w.uri === params.uri && (w.version === undefined || params.version === w.version)) w.resolve(params);
      else waiting.push(w);
    }
  });
  connection.listen();
  const exited = new Promise((resolve) => child.on('exit', (code) => resolve(code)));
  const init = await connection.sendRequest(rpc.InitializeRequest.type, {
    processId: process.pid, rootUri: null, workspaceFolders: null,
    capabilities: vscodeCapabilities(encodings, pull),
  });
  connection.sendNotification(rpc.InitializedNotification.type, {});
  const next = (uri, version) => new Promise((resolve) => {
    const seen = published.get(uri);
    if (seen && (version === undefined || seen.version === version)) resolve(seen);
    else waiting.push({ uri, version, resolve });
  });
  const open = (uri, text, version = 1) => {
    published.delete(uri);
    connection.sendNotification(rpc.DidOpenTextDocumentNotification.type, { textDocument: { uri, languageId: 'json', version, text } });
    return next(uri, version);
  };
  const stop = async () => {
    await connection.sendRequest(rpc.ShutdownRequest.type);
    connection.sendNotification(rpc.ExitNotification.type);
    return exited;
  };
  return { connection, init, next, open, stop, exited, published };
}

// What vekhost check --format json says of the same text, in the protocol's shape.
function checkSays(text, unit) {
  const file = path.join(work, 'text.json');
  fs.writeFileSync(file, text);
  let out;
  try {
    out = execFileSync(vekhost, ['check', '--format', 'json', `--column-unit=${unit}`, file], { encoding: 'utf8' });
  } catch (failure) {
    out = failure.stdout;
  }
  return JSON.parse(out).diagnostics.map((d) => ({
    range: { start: { line: d.line - 1, character: d.column - 1 }, end: { line: d.endLine - 1, character: d.endColumn - 1 } },
    severity: d.severity === 'error' ? 1 : 2, code: d.id, source: 'vekhost', message: d.message,
  }));
}

const cases = fs.readdirSync(lintCases).filter((name) => name.endsWith('.json')).sort();

for (const [encoding, unit] of [['utf-16', 'char'], ['utf-8', 'byte']]) {
  test(`every lint case: the diagnostics vekhost check gives, positions in ${encoding}`, async () => {
    const server = await start(encoding === 'utf-8' ? ['utf-8', 'utf-16'] : ['utf-16']);
    assert.strictEqual(server.init.capabilities.positionEncoding, encoding);
    assert.deepStrictEqual(server.init.serverInfo.name, 'vekhost');
    for (const name of cases) {
      const text = fs.readFileSync(path.join(lintCases, name)).toString('utf8');
      const uri = `file:///configs/${name}`;
      const published = await server.open(uri, text);
      // The other places a diagnostic names come besides what check says.
      assert.deepStrictEqual(published.diagnostics.map(({ relatedInformation, ...d }) => d), checkSays(text, unit), name);
    }
    assert.strictEqual(await server.stop(), 0);
  });
}

test('hover, completion, quick fixes and edits that make and mend a mistake', async () => {
  const server = await start(['utf-16']);
  const { connection } = server;
  const uri = 'file:///configs/edit.json';
  const text = '{\n  "graph_names": ["Main net"],\n  "perf_hint": "high",\n  "tunning_mode": true\n}\n';
  let published = await server.open(uri, text);
  assert.deepStrictEqual(published.diagnostics.map((d) => d.code), ['graph-identifier', 'unknown-key']);
  const unknown = published.diagnostics[1];
  const at = (line, character) => ({ textDocument: { uri }, position: { line, character } });

  const keyHover = await connection.sendRequest(rpc.HoverRequest.type, at(2, 5));
  assert.match(keyHover.contents.value, /\*\*perf_hint\*\*: one of "high", "normal" or "low"/);
  assert.deepStrictEqual(keyHover.range, { start: { line: 2, character: 2 }, end: { line: 2, character: 13 } });
  const nameHover = await connection.sendRequest(rpc.HoverRequest.type, at(1, 20));
  assert.match(nameHover.contents.value, /The graph name "Main net" becomes the identifier `Main_net`/);
  const unknownHover = await connection.sendRequest(rpc.HoverRequest.type, at(3, 5));
  assert.match(unknownHover.contents.value, /no configuration key; did you mean "tuning_mode"\?/);
  const valueHover = await connection.sendRequest(rpc.HoverRequest.type, at(3, 20));
  assert.match(valueHover.contents.value, /`tunning_mode` is no configuration key: the plug-in reads nothing of it/);
  const settingHover = await connection.sendRequest(rpc.HoverRequest.type, at(2, 17));
  assert.match(settingHover.contents.value, /`perf_hint` = `"high"`: Sets the performance hint of every context/);

  const names = await connection.sendRequest(rpc.CompletionRequest.type, at(3, 22));
  assert.strictEqual(names.items.length, 0, 'after a value: nothing to complete');
  const valueItems = await connection.sendRequest(rpc.CompletionRequest.type, at(2, 16));
  assert.deepStrictEqual(valueItems.items.map((i) => i.label), ['"high"', '"normal"', '"low"']);
  // Inside a name that has its value: the name alone is replaced.
  const renamed = (await connection.sendRequest(rpc.CompletionRequest.type, at(2, 8))).items.find((i) => i.label === 'perf_hint');
  assert.deepStrictEqual(renamed.textEdit, { range: { start: { line: 2, character: 2 }, end: { line: 2, character: 13 } }, newText: '"perf_hint"' });
  const keyItems = await connection.sendRequest(rpc.CompletionRequest.type, at(3, 3));
  const labels = keyItems.items.map((i) => i.label);
  assert.ok(labels.includes('tuning_mode') && !labels.includes('perf_hint') && !labels.includes('graph_names'), labels.join());

  // The light bulb: the unknown key's fixes, renaming it first, and the
  // file's fix-all, made when resolved; the rename applied, the file is clean.
  const actions = await connection.sendRequest(rpc.CodeActionRequest.type, {
    textDocument: { uri }, range: unknown.range, context: { diagnostics: [unknown], triggerKind: rpc.CodeActionTriggerKind.Automatic },
  });
  assert.deepStrictEqual(actions.map((a) => a.title), ['Rename to "tuning_mode"', 'Remove tunning_mode', 'Fix all auto-fixable problems (vekhost)']);
  assert.strictEqual(actions[2].edit, undefined);
  assert.deepStrictEqual(actions[0].diagnostics, [unknown]);
  const [edit] = actions[0].edit.changes[uri];
  connection.sendNotification(rpc.DidChangeTextDocumentNotification.type, {
    textDocument: { uri, version: 2 }, contentChanges: [{ range: edit.range, text: edit.newText }],
  });
  published = await server.next(uri, 2);
  assert.deepStrictEqual(published.diagnostics.map((d) => d.code), ['graph-identifier']);

  // An edit makes a mistake, the next mends it.
  const value = { start: { line: 2, character: 15 }, end: { line: 2, character: 21 } };
  connection.sendNotification(rpc.DidChangeTextDocumentNotification.type, {
    textDocument: { uri, version: 3 }, contentChanges: [{ range: value, text: '"max"' }],
  });
  published = await server.next(uri, 3);
  assert.deepStrictEqual(published.diagnostics.map((d) => [d.code, d.range.start.character, d.range.end.character]),
    [['graph-identifier', 18, 28], ['not-allowed', 15, 20]]);
  connection.sendNotification(rpc.DidChangeTextDocumentNotification.type, {
    textDocument: { uri, version: 4 }, contentChanges: [{ range: { start: value.start, end: { line: 2, character: 20 } }, text: '"low"' }],
  });
  published = await server.next(uri, 4);
  assert.deepStrictEqual(published.diagnostics.map((d) => d.code), ['graph-identifier']);

  // A range past the last line stands for the end of the text.
  connection.sendNotification(rpc.DidChangeTextDocumentNotification.type, {
    textDocument: { uri, version: 5 }, contentChanges: [{ range: { start: { line: 99, character: 0 }, end: { line: 99, character: 0 } }, text: 'x' }],
  });
  published = await server.next(uri, 5);
  assert.deepStrictEqual(published.diagnostics.map((d) => [d.code, d.range.start.line, d.range.start.character]), [['invalid-json', 5, 0]]);

  // A burst of whole-text changes: the last one's diagnostics come.
  for (let version = 6; version <= 40; ++version) {
    connection.sendNotification(rpc.DidChangeTextDocumentNotification.type, {
      textDocument: { uri, version }, contentChanges: [{ text: version % 2 ? '{"perf_hint": 1}' : '{"weight_sharing": "no"}' }],
    });
  }
  published = await server.next(uri, 40);
  assert.deepStrictEqual(published.diagnostics.map((d) => d.message),
    ['weight_sharing needs graph_names, which the file does not set', 'weight_sharing is "no" (a string), but it must be a boolean']);

  server.published.delete(uri);
  connection.sendNotification(rpc.DidCloseTextDocumentNotification.type, { textDocument: { uri } });
  assert.deepStrictEqual((await server.next(uri)).diagnostics, []);
  assert.strictEqual(await server.stop(), 0);
});

test("the requests VS Code's client sends beyond diagnostics", async () => {
  const server = await start(['utf-16']);
  const { connection } = server;
  const uri = 'file:///configs/requests.json';
  const text = '{"graph_names": ["encoder-v2"], "tuning_mode": "true", "x": {"y": [1, 2]}}';
  const doc = { textDocument: { uri } };
  await server.open(uri, text);
  const symbols = await connection.sendRequest(rpc.DocumentSymbolRequest.type, doc);
  assert.deepStrictEqual(symbols.map((s) => s.name), ['graph_names', 'tuning_mode', 'x']);
  assert.deepStrictEqual(symbols[2].children[0].children.map((s) => s.detail), ['1', '2']);
  assert.deepStrictEqual(await connection.sendRequest(rpc.FoldingRangeRequest.type, doc), []);
  const [selection] = await connection.sendRequest(rpc.SelectionRangeRequest.type, { ...doc, positions: [{ line: 0, character: 20 }] });
  assert.deepStrictEqual(selection.parent.parent.range, { start: { line: 0, character: 1 }, end: { line: 0, character: 30 } });
  const hints = await connection.sendRequest(rpc.InlayHintRequest.type, { ...doc, range: { start: { line: 0, character: 0 }, end: { line: 1, character: 0 } } });
  assert.deepStrictEqual(hints.map((h) => [h.label, h.position.character]), [['→ encoder_v2', 29]]);
  const edits = await connection.sendRequest(rpc.DocumentFormattingRequest.type, { ...doc, options: { tabSize: 2, insertSpaces: true } });
  assert.ok(edits.length > 0 && edits.every((e) => /^\s*$/.test(e.newText)), JSON.stringify(edits));

  // Fix all, as "source.fixAll" on save asks for it, and as the light bulb resolves it.
  const [fixAll] = await connection.sendRequest(rpc.CodeActionRequest.type, {
    ...doc, range: { start: { line: 0, character: 0 }, end: { line: 0, character: 0 } }, context: { diagnostics: [], only: ['source.fixAll'] },
  });
  const [change] = fixAll.edit.changes[uri];
  const [lazy] = await connection.sendRequest(rpc.CodeActionRequest.type, {
    ...doc, range: change.range, context: { diagnostics: [], triggerKind: rpc.CodeActionTriggerKind.Automatic, only: [] },
  });
  assert.deepStrictEqual((await connection.sendRequest(rpc.CodeActionResolveRequest.type, lazy)).edit, fixAll.edit);
  connection.sendNotification(rpc.DidChangeTextDocumentNotification.type, {
    textDocument: { uri, version: 2 }, contentChanges: [{ range: change.range, text: change.newText }],
  });
  assert.deepStrictEqual((await server.next(uri, 2)).diagnostics.map((d) => d.code), ['graph-identifier']);
  assert.strictEqual(await server.stop(), 0);

  // A client that pulls: the same diagnostics, asked for.
  const pulling = await start(['utf-16'], true);
  assert.deepStrictEqual(pulling.init.capabilities.diagnosticProvider, { identifier: 'vekhost', interFileDependencies: false, workspaceDiagnostics: false });
  pulling.connection.sendNotification(rpc.DidOpenTextDocumentNotification.type, { textDocument: { uri, languageId: 'json', version: 1, text } });
  const report = await pulling.connection.sendRequest(rpc.DocumentDiagnosticRequest.type, doc);
  assert.deepStrictEqual(report.items.map(({ relatedInformation, ...d }) => d), checkSays(text, 'char'));
  assert.strictEqual(await pulling.stop(), 0);
});

test('a request cancelled while the server is busy is answered as cancelled', async () => {
  const server = await start(['utf-16']);
  const uri = 'file:///configs/large.json';
  const members = Array.from({ length: 60000 }, (_, i) => `"graph_names_${i}": "g${i}"`).join(',\n');
  server.connection.sendNotification(rpc.DidOpenTextDocumentNotification.type, {
    textDocument: { uri, languageId: 'json', version: 1, text: `{${members}}` },
  });
  const source = new rpc.CancellationTokenSource();
  const hover = server.connection.sendRequest(rpc.HoverRequest.type, { textDocument: { uri }, position: { line: 0, character: 3 } }, source.token);
  source.cancel();
  await assert.rejects(hover, (error) => error.code === rpc.LSPErrorCodes.RequestCancelled);
  await server.next(uri, 1);
  assert.strictEqual(await server.stop(), 0);
});
