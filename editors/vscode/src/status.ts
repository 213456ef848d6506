// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The plug-in's verdict on the file in the editor, in the status bar.
import * as vscode from 'vscode';

import { LANGUAGE } from './attach';
import { Server } from './client';
import { statusWords } from './verdict';

export function registerStatus(context: vscode.ExtensionContext, server: Server): void {
  const item = vscode.window.createStatusBarItem('vekhost.verdict', vscode.StatusBarAlignment.Left, 100);
  item.name = 'vekhost verdict';
  const update = () => {
    const document = vscode.window.activeTextEditor?.document;
    if (!document || document.languageId !== LANGUAGE) {
      item.hide();
      return;
    }
    const mine = vscode.languages.getDiagnostics(document.uri).filter((d) => d.source === 'vekhost');
    const errors = mine.filter((d) => d.severity === vscode.DiagnosticSeverity.Error).length;
    const words = statusWords(server.problem, errors, mine.length - errors);
    item.text = words.text;
    item.tooltip = words.tooltip;
    item.command = words.command;
    item.show();
  };
  context.subscriptions.push(
    item,
    vscode.window.onDidChangeActiveTextEditor(update),
    vscode.languages.onDidChangeDiagnostics(update),
    vscode.workspace.onDidOpenTextDocument(update),
    server.onDidChangeState(update),
  );
  update();
}
