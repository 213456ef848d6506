// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The extension's commands: attach a file and detach it, show what the GPU
// backend library would receive, check every attached file, list devices.
import * as path from 'node:path';
import * as vscode from 'vscode';

import { Associations, attached, attachingPatterns, detached, LANGUAGE } from './attach';
import { batches, parseCheck } from './verdict';
import { currentPaths, run } from './vekhost';
import { libraryArguments } from './settings';

// The file a command is about: the one clicked in the explorer, else the editor's.
function target(uri: vscode.Uri | undefined): vscode.Uri | undefined {
  return uri instanceof vscode.Uri ? uri : vscode.window.activeTextEditor?.document.uri;
}

async function setAssociations(uri: vscode.Uri, change: (a: Associations, relative: string) => Associations, language: string) {
  const folder = vscode.workspace.getWorkspaceFolder(uri);
  const relative = folder ? path.relative(folder.uri.fsPath, uri.fsPath) : uri.fsPath;
  const files = vscode.workspace.getConfiguration('files', uri);
  const target = folder ? vscode.ConfigurationTarget.Workspace : vscode.ConfigurationTarget.Global;
  const current = (folder ? files.inspect<Associations>('associations')?.workspaceValue : files.inspect<Associations>('associations')?.globalValue) ?? {};
  await files.update('associations', change(current, relative), target);
  for (const document of vscode.workspace.textDocuments) {
    if (document.uri.toString() === uri.toString()) await vscode.languages.setTextDocumentLanguage(document, language);
  }
}

// `vekhost run`'s account of a file, in a read-only document kept fresh on save.
class BackendInput implements vscode.TextDocumentContentProvider {
  static readonly scheme = 'vekhost-run';
  private readonly changed = new vscode.EventEmitter<vscode.Uri>();
  readonly onDidChange = this.changed.event;

  constructor(private readonly context: vscode.ExtensionContext) {}

  static uriFor(file: vscode.Uri): vscode.Uri {
    return vscode.Uri.from({ scheme: BackendInput.scheme, path: `${file.path} (what the backend receives)`, query: file.toString() });
  }

  refresh(file: vscode.Uri): void {
    this.changed.fire(BackendInput.uriFor(file));
  }

  async provideTextDocumentContent(uri: vscode.Uri): Promise<string> {
    const file = vscode.Uri.parse(uri.query);
    const paths = currentPaths(this.context);
    try {
      const out = await run(paths, ['run', '--log-level', 'warn', ...libraryArguments(paths, true), file.fsPath], path.dirname(file.fsPath));
      const verdict = out.status === 0 ? 'The plug-in takes this file.' : 'The plug-in refuses this file; nothing reaches the backend.';
      return [`vekhost run ${file.fsPath}`, verdict, '', out.stdout, out.stderr].join('\n');
    } catch (error) {
      return `vekhost could not be run: ${error instanceof Error ? error.message : String(error)}`;
    }
  }
}

export function registerCommands(context: vscode.ExtensionContext, restart: () => Promise<void>): void {
  const input = new BackendInput(context);
  const checked = vscode.languages.createDiagnosticCollection('vekhost-check');
  const register = (name: string, handler: (...args: never[]) => unknown) =>
    context.subscriptions.push(vscode.commands.registerCommand(name, handler));
  context.subscriptions.push(
    checked,
    vscode.workspace.registerTextDocumentContentProvider(BackendInput.scheme, input),
    vscode.workspace.onDidSaveTextDocument((document) => input.refresh(document.uri)),
    // An open file has the server's diagnostics: the workspace check's go.
    vscode.workspace.onDidOpenTextDocument((document) => checked.delete(document.uri)),
  );

  register('vekhost.attach', async (uri?: vscode.Uri) => {
    const file = target(uri);
    if (file) await setAssociations(file, attached, LANGUAGE);
  });
  register('vekhost.detach', async (uri?: vscode.Uri) => {
    const file = target(uri);
    if (!file) return;
    await setAssociations(file, detached, 'json');
    checked.delete(file);
  });
  register('vekhost.showBackendInput', async (uri?: vscode.Uri) => {
    const file = target(uri);
    if (!file) return;
    const document = await vscode.workspace.openTextDocument(BackendInput.uriFor(file));
    await vscode.window.showTextDocument(document, { viewColumn: vscode.ViewColumn.Beside, preview: false });
  });
  register('vekhost.checkWorkspace', () => checkWorkspace(context, checked));
  register('vekhost.listDevices', async () => {
    const paths = currentPaths(context);
    try {
      const out = await run(paths, ['devices', ...libraryArguments(paths, true)]);
      const document = await vscode.workspace.openTextDocument({ content: out.stdout + out.stderr, language: 'plaintext' });
      await vscode.window.showTextDocument(document, { preview: true });
    } catch (error) {
      void vscode.window.showErrorMessage(`vekhost devices could not be run: ${error instanceof Error ? error.message : String(error)}`);
    }
  });
  register('vekhost.restartServer', restart);
}

// Every attached file of the workspace, checked; the files not open get
// their problems in the Problems panel.
async function checkWorkspace(context: vscode.ExtensionContext, checked: vscode.DiagnosticCollection): Promise<void> {
  const associations = vscode.workspace.getConfiguration('files').get<Associations>('associations') ?? {};
  const found = new Map<string, vscode.Uri>();
  for (const pattern of attachingPatterns(associations)) {
    for (const uri of await vscode.workspace.findFiles(pattern)) found.set(uri.fsPath, uri);
  }
  const paths = currentPaths(context);
  const open = new Set(vscode.workspace.textDocuments.map((d) => d.uri.fsPath));
  checked.clear();
  let refused = 0;
  try {
    for (const files of batches([...found.keys()])) {
      const out = await run(paths, ['check', '--format', 'json', ...libraryArguments(paths, false), '--', ...files]);
      for (const verdict of parseCheck(out.stdout)) {
        if (!verdict.valid) ++refused;
        if (open.has(verdict.file)) continue;
        checked.set(found.get(verdict.file) ?? vscode.Uri.file(verdict.file), verdict.problems.map((p) => {
          const range = new vscode.Range(p.line - 1, p.column - 1, p.endLine - 1, p.endColumn - 1);
          const severity = p.severity === 'error' ? vscode.DiagnosticSeverity.Error : vscode.DiagnosticSeverity.Warning;
          const diagnostic = new vscode.Diagnostic(range, p.message, severity);
          diagnostic.source = 'vekhost';
          diagnostic.code = p.id;
          return diagnostic;
        }));
      }
    }
  } catch (error) {
    void vscode.window.showErrorMessage(`vekhost check could not be run: ${error instanceof Error ? error.message : String(error)}`);
    return;
  }
  void vscode.window.showInformationMessage(`vekhost checked ${found.size} attached files: the plug-in refuses ${refused}.`);
}
