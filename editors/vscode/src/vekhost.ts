// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The vekhost program: where it is and what it says.
import { execFile } from 'node:child_process';
import { existsSync } from 'node:fs';
import * as path from 'node:path';
import * as vscode from 'vscode';

import { effective, Paths, pathsFrom } from './settings';

// The program bundled in a platform's package, if this package is one.
export function bundledProgram(context: vscode.ExtensionContext): string | undefined {
  const program = context.asAbsolutePath(path.join('server', 'bin', process.platform === 'win32' ? 'vekhost.exe' : 'vekhost'));
  return existsSync(program) ? program : undefined;
}

// The paths the settings name, as the workspace's trust allows.
export function currentPaths(context: vscode.ExtensionContext): Paths {
  const configuration = vscode.workspace.getConfiguration('vekhost');
  const trusted = vscode.workspace.isTrusted;
  const get = (key: string) => effective(configuration.inspect<string>(key), trusted);
  return pathsFrom({ path: get('path'), pluginPath: get('pluginPath'), backendPath: get('backendPath') }, bundledProgram(context));
}

export interface Output {
  status: number;
  stdout: string;
  stderr: string;
}

// Runs vekhost to its end; a program that cannot be started rejects.
export function run(paths: Paths, args: string[], cwd?: string): Promise<Output> {
  return new Promise((resolve, reject) => {
    execFile(paths.vekhost, args, { cwd, maxBuffer: 256 << 20, windowsHide: true }, (error, stdout, stderr) => {
      const code = error ? (error as NodeJS.ErrnoException).code : 0;
      if (typeof code === 'string') reject(error);
      else resolve({ status: typeof code === 'number' ? code : 0, stdout, stderr });
    });
  });
}
