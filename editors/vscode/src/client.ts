// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// vekhost lsp for the configuration files: started with the paths the
// settings allow, stopped and started again when they change; a server that
// cannot start or stops is said once, with the path tried, and not restarted.
import * as vscode from 'vscode';
import {
  CloseAction,
  ErrorAction,
  LanguageClient,
  LanguageClientOptions,
  ServerOptions,
  TransportKind,
} from 'vscode-languageclient/node';

import { LANGUAGE } from './attach';
import { libraryArguments, Paths, startProblem } from './settings';

export class Server {
  private client: LanguageClient | undefined;
  private readonly output = vscode.window.createOutputChannel('vekhost', { log: true });
  private readonly changed = new vscode.EventEmitter<void>();
  readonly onDidChangeState = this.changed.event;
  // Why the server is not running, once it could not start or stopped.
  problem: string | undefined;

  constructor(private readonly paths: () => Paths) {}

  async start(): Promise<void> {
    const paths = this.paths();
    const serverOptions: ServerOptions = {
      command: paths.vekhost,
      args: ['lsp', ...libraryArguments(paths, false)],
      transport: TransportKind.stdio,
    };
    this.problem = undefined;
    this.changed.fire();
    let told = false;
    const tell = (why: string) => {
      if (told) return;
      told = true;
      this.problem = startProblem(paths, why);
      this.changed.fire();
      void vscode.window.showErrorMessage(this.problem, 'Open User Settings').then((choice) => {
        if (choice) void vscode.commands.executeCommand('workbench.action.openSettings', 'vekhost.path');
      });
    };
    const clientOptions: LanguageClientOptions = {
      documentSelector: [
        { scheme: 'file', language: LANGUAGE },
        { scheme: 'untitled', language: LANGUAGE },
      ],
      outputChannel: this.output,
      errorHandler: {
        error: () => ({ action: ErrorAction.Continue }),
        closed: () => {
          tell('it stopped');
          return { action: CloseAction.DoNotRestart, handled: true };
        },
      },
      initializationFailedHandler: (error) => {
        tell(error instanceof Error ? error.message : String(error));
        return false;
      },
    };
    this.client = new LanguageClient('vekhost', 'vekhost', serverOptions, clientOptions);
    try {
      await this.client.start();
    } catch (error) {
      tell(error instanceof Error ? error.message : String(error));
    }
  }

  async stop(): Promise<void> {
    const client = this.client;
    this.client = undefined;
    if (client?.isRunning()) await client.stop();
  }

  async restart(): Promise<void> {
    await this.stop();
    await this.start();
  }

  dispose(): void {
    void this.stop();
    this.output.dispose();
    this.changed.dispose();
  }
}
