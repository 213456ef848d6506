// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What the workspace check and the status bar make of vekhost's answers.
import assert from 'node:assert';
import test from 'node:test';

import { batches, parseCheck, statusWords, verdictText } from '../verdict';

test("vekhost check's JSON, a document a file", () => {
  const output = '{"file":"a.json","valid":true,"diagnostics":[]}\n' +
    '{"file":"b.json","valid":false,"diagnostics":[{"file":"b.json","id":"unknown-key","line":1,"column":2,"endLine":1,"endColumn":5,"severity":"error","key":"/x","message":"\\"x\\" is no configuration key","allowed":[]}],"messages":[]}\n';
  const verdicts = parseCheck(output);
  assert.deepStrictEqual(verdicts.map((v) => [v.file, v.valid, v.problems.length]), [['a.json', true, 0], ['b.json', false, 1]]);
  assert.strictEqual(verdicts[1].problems[0].message, '"x" is no configuration key');
});

test('the verdict in the status bar, and files in groups', () => {
  assert.strictEqual(verdictText(0, 0), '$(check) accepted');
  assert.strictEqual(verdictText(0, 1), '$(warning) accepted, 1 warning');
  assert.strictEqual(verdictText(2, 3), '$(error) refused: 2 errors');
  assert.deepStrictEqual(batches(['a', 'b', 'c'], 2), [['a', 'b'], ['c']]);
  assert.deepStrictEqual(batches([]), []);
});

test('no verdict from a server that is not running: why, and a click restarts it', () => {
  const why = 'The vekhost language server could not run (spawn vekhost ENOENT). Tried: vekhost on PATH. ...';
  assert.deepStrictEqual(statusWords(why, 0, 0), { text: 'vekhost: $(error) not running', tooltip: why, command: 'vekhost.restartServer' });
  assert.strictEqual(statusWords(undefined, 0, 0).text, 'vekhost: $(check) accepted');
  assert.strictEqual(statusWords(undefined, 1, 0).command, 'workbench.actions.view.problems');
});
