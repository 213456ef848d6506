// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The paths the extension runs and loads: what the settings name, and in a
// workspace that is not trusted, what the user's settings name only.
import assert from 'node:assert';
import test from 'node:test';

import { effective, libraryArguments, pathsFrom, startProblem } from '../settings';

test('a workspace that is not trusted names nothing that runs or loads', () => {
  const inspected = { defaultValue: '', globalValue: '/home/me/vekhost', workspaceValue: './evil', workspaceFolderValue: './worse' };
  assert.strictEqual(effective(inspected, true), './worse');
  assert.strictEqual(effective(inspected, false), '/home/me/vekhost');
  assert.strictEqual(effective({ defaultValue: '', workspaceValue: './evil' }, false), '');
  assert.strictEqual(effective({ defaultValue: '', workspaceValue: './lib.so' }, true), './lib.so');
  assert.strictEqual(effective(undefined, true), undefined);
});

test('the bundled vekhost unless one is set, else the one on PATH', () => {
  assert.deepStrictEqual(pathsFrom({}, '/ext/server/bin/vekhost'),
    { vekhost: '/ext/server/bin/vekhost', plugin: '', backend: '', bundled: true });
  assert.deepStrictEqual(pathsFrom({ path: ' /opt/vek/bin/vekhost ', pluginPath: '/p.so' }, '/ext/server/bin/vekhost'),
    { vekhost: '/opt/vek/bin/vekhost', plugin: '/p.so', backend: '', bundled: false });
  const onPath = pathsFrom({}, undefined);
  assert.strictEqual(onPath.vekhost, 'vekhost');
  assert.deepStrictEqual(libraryArguments({ ...onPath, plugin: '/p.so', backend: '/b.so' }, false), ['--plugin', '/p.so']);
  assert.deepStrictEqual(libraryArguments({ ...onPath, plugin: '/p.so', backend: '/b.so' }, true), ['--plugin', '/p.so', '--backend', '/b.so']);
});

test('a server that cannot start is said with the path tried and how to set it', () => {
  assert.match(startProblem(pathsFrom({}, undefined), 'spawn vekhost ENOENT'), /\(spawn vekhost ENOENT\)\. Tried: vekhost on PATH\. Set "vekhost\.path" in your user settings/);
  assert.match(startProblem(pathsFrom({ path: '/x/vekhost' }, undefined), 'it stopped'), /Tried: \/x\/vekhost\./);
});
