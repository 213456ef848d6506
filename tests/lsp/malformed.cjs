// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// vekhost lsp fed what a broken or hostile client sends, byte for byte: each
// gets an error response or a log message where the protocol has one, and
// the server goes on answering. Usage: node malformed.cjs VEKHOST
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { spawn } = require('node:child_process');

const [vekhost] = process.argv.slice(2);

const frame = (body) => {
  const bytes = Buffer.isBuffer(body) ? body : Buffer.from(typeof body === 'string' ? body : JSON.stringify(body));
  return Buffer.concat([Buffer.from(`Content-Length: ${bytes.length}\r\n\r\n`), bytes]);
};

// Every server started, ended when the tests end, pass or fail.
const children = [];
test.after(() => children.forEach((child) => child.kill()));

// A server and the messages it writes, read as they come; diagnostics,
// which come when a burst of messages has been answered, are left out.
function start() {
  const child = spawn(vekhost, ['lsp'], { stdio: ['pipe', 'pipe', 'inherit'] });
  children.push(child);
  child.stdin.on('error', () => {});
  let pending = Buffer.alloc(0);
  const messages = [];
  const waiting = [];
  child.stdout.on('data', (data) => {
    pending = Buffer.concat([pending, data]);
    for (;;) {
      const end = pending.indexOf('\r\n\r\n');
      if (end < 0) return;
      const length = Number(/Content-Length: (\d+)/.exec(pending.subarray(0, end).toString())[1]);
      if (pending.length < end + 4 + length) return;
      const message = JSON.parse(pending.subarray(end + 4, end + 4 + length).toString());
      if (message.method !== 'textDocument/publishDiagnostics') messages.push(message);
      pending = pending.subarray(end + 4 + length);
      while (waiting.length && messages.length) waiting.shift()(messages.shift());
    }
  });
  const exited = new Promise((resolve) => child.on('exit', (code, signal) => resolve(signal ?? code)));
  const receive = () => new Promise((resolve) => (messages.length ? resolve(messages.shift()) : waiting.push(resolve)));
  const send = (bytes) => child.stdin.write(bytes);
  return { child, send, receive, exited };
}

const initialize = { jsonrpc: '2.0', id: 0, method: 'initialize', params: { capabilities: {} } };
const hover = (id) => ({ jsonrpc: '2.0', id, method: 'textDocument/hover', params: { textDocument: { uri: 'file:///none.json' }, position: { line: 0, character: 0 } } });
const error = (code) => (m) => m.error && m.error.code === code;
const logged = (pattern) => (m) => m.method === 'window/logMessage' && pattern.test(m.params.message);

// What is sent; what the server must answer first (nothing: the probe comes next).
const cases = [
  // What the JSON-RPC layer answers to each kind of bad body, and what the
  // framing makes of each kind of bad header, are held in process
  // (tests/LspServerTest.cpp, tests/LspTransportTest.cpp); here, that they
  // leave a real pipe readable, and reach the client.
  ['a body that is not JSON', frame('{"jsonrpc": "2.0", "id": 1,'), error(-32700)],
  ['invalid UTF-8 in a string', frame(Buffer.from('{"jsonrpc":"2.0","id":2,"method":"x\xff"}', 'latin1')), error(-32700)],
  ['a change to a range that ends before it starts', Buffer.concat([
    frame({ jsonrpc: '2.0', method: 'textDocument/didOpen', params: { textDocument: { uri: 'file:///a.json', version: 1, text: '{}' } } }),
    frame({ jsonrpc: '2.0', method: 'textDocument/didChange', params: { textDocument: { uri: 'file:///a.json', version: 2 },
      contentChanges: [{ range: { start: { line: 0, character: 2 }, end: { line: 0, character: 0 } }, text: 'x' }] } }),
  ]), logged(/range ends before it starts/)],
  ['a header without Content-Length', Buffer.from('Content-Type: application/vscode-jsonrpc\r\n\r\n'), logged(/without Content-Length/)],
];

test('malformed messages: an answer or a log line each, and the server goes on', async () => {
  const server = start();
  server.send(frame(initialize));
  assert.ok((await server.receive()).result.capabilities);
  let probe = 100;
  for (const [name, bytes, expected] of cases) {
    server.send(bytes);
    server.send(frame(hover(++probe)));
    let message = await server.receive();
    if (expected) {
      assert.ok(expected(message), `${name}: ${JSON.stringify(message)}`);
      message = await server.receive();
    }
    // The probe is answered: no document of that name is open.
    assert.strictEqual(message.id, probe, `${name}: ${JSON.stringify(message)}`);
    assert.strictEqual(message.error.code, -32602, name);
  }
  server.send(frame({ jsonrpc: '2.0', id: 200, method: 'shutdown' }));
  assert.strictEqual((await server.receive()).result, null);
  server.send(frame(hover(201)));
  assert.ok(error(-32600)(await server.receive()), 'a request after shutdown');
  server.send(frame({ jsonrpc: '2.0', method: 'exit' }));
  assert.strictEqual(await server.exited, 0);
});

test('the exit status: 1 on exit without shutdown', async () => {
  const server = start();
  server.send(frame(initialize));
  assert.ok((await server.receive()).result);
  server.send(frame({ jsonrpc: '2.0', method: 'exit' }));
  assert.strictEqual(await server.exited, 1);
});

test('a client that closes its pipe in the middle of a message', async () => {
  const server = start();
  server.send(frame(initialize));
  await server.receive();
  server.send(Buffer.from('Content-Length: 500\r\n\r\n{"jsonrpc": "2.0", "method": "textDoc'));
  server.child.stdin.end();
  assert.strictEqual(await server.exited, 1);
});

test('a message of 300 MiB is skipped unread, in bounded memory', async () => {
  const server = start();
  server.send(frame(initialize));
  await server.receive();
  const size = 300 << 20;
  server.send(Buffer.from(`Content-Length: ${size}\r\n\r\n`));
  const chunk = Buffer.alloc(1 << 20, 0x20);
  for (let sent = 0; sent < size; sent += chunk.length) {
    if (!server.send(chunk)) await new Promise((resolve) => server.child.stdin.once('drain', resolve));
  }
  assert.ok(logged(/a message of 314572800 bytes was skipped/)(await server.receive()));
  server.send(frame(hover(2)));
  assert.strictEqual((await server.receive()).id, 2);
  const status = require('node:fs').readFileSync(`/proc/${server.child.pid}/status`, 'utf8');
  const peakKiB = Number(/VmHWM:\s+(\d+)/.exec(status)[1]);
  assert.ok(peakKiB < 64 * 1024, `peak ${peakKiB} KiB`);
  server.child.stdin.end();
  assert.strictEqual(await server.exited, 1);
});
