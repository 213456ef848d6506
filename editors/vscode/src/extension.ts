// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The GPU backend plug-in's verdict on configuration files in VS Code:
// vekhost lsp for the files attached, the commands, and the verdict in the
// status bar.
import * as vscode from 'vscode';

import { Server } from './client';
import { registerCommands } from './commands';
import { registerStatus } from './status';
import { currentPaths } from './vekhost';

let server: Server | undefined;

export async function activate(context: vscode.ExtensionContext): Promise<void> {
  server = new Server(() => currentPaths(context));
  const restart = () => server?.restart() ?? Promise.resolve();
  context.subscriptions.push(
    server,
    // New paths, or a workspace newly trusted whose settings now count.
    vscode.workspace.onDidChangeConfiguration((change) => {
      if (['vekhost.path', 'vekhost.pluginPath'].some((key) => change.affectsConfiguration(key))) void restart();
    }),
    vscode.workspace.onDidGrantWorkspaceTrust(() => void restart()),
  );
  registerCommands(context, restart);
  registerStatus(context, server);
  await server.start();
}

export async function deactivate(): Promise<void> {
  await server?.stop();
}
