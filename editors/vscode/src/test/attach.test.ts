// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Which files are attached: the workspace's file associations, as the
// commands change them.
import assert from 'node:assert';
import test from 'node:test';

import { attached, attachingPatterns, detached, matchesName } from '../attach';

test('a file is attached by a glob from the workspace down, and detached again', () => {
  const one = attached({ '*.md': 'markdown' }, 'configs\\gpu.json');
  assert.deepStrictEqual(one, { '*.md': 'markdown', '**/configs/gpu.json': 'vek-config' });
  assert.deepStrictEqual(detached(one, 'configs/gpu.json'), { '*.md': 'markdown' });
  // A file the default name takes is handed back to JSON in so many words.
  assert.deepStrictEqual(detached({}, 'a/model.vek.json'), { '**/a/model.vek.json': 'json' });
  assert.deepStrictEqual(attached(detached({}, 'model.vek.json'), './model.vek.json'), { '**/model.vek.json': 'vek-config' });
});

test('the globs that find every attached file', () => {
  assert.deepStrictEqual(attachingPatterns({ '**/configs/gpu.json': 'vek-config', 'run.cfg': 'vek-config', '*.md': 'markdown' }),
    ['**/*.vek.json', '**/configs/gpu.json', '**/run.cfg']);
  assert.ok(matchesName('*.vek.json', 'model.vek.json'));
  assert.ok(!matchesName('*.vek.json', 'package.json'));
  assert.ok(!matchesName('*.vek.json', 'model.vek.jsonx'));
});
