// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// What vekhost says of files, read from its JSON, and said in a few words.

export interface Problem {
  file: string;
  id: string;
  line: number;      // from 1
  column: number;    // from 1, UTF-16 code units
  endLine: number;
  endColumn: number;
  severity: 'error' | 'warning';
  message: string;
}

export interface FileVerdict {
  file: string;
  valid: boolean;
  problems: Problem[];
}

// `vekhost check --format json`: one document a file, a line each.
export function parseCheck(output: string): FileVerdict[] {
  const verdicts: FileVerdict[] = [];
  for (const line of output.split('\n')) {
    if (!line.trim()) continue;
    const document = JSON.parse(line);
    verdicts.push({ file: document.file, valid: document.valid, problems: document.diagnostics });
  }
  return verdicts;
}

// The status bar's words for a file's diagnostics: the plug-in refuses a
// file exactly when the check finds an error in it.
export function verdictText(errors: number, warnings: number): string {
  const count = (n: number, what: string) => `${n} ${what}${n === 1 ? '' : 's'}`;
  if (errors > 0) return `$(error) refused: ${count(errors, 'error')}`;
  if (warnings > 0) return `$(warning) accepted, ${count(warnings, 'warning')}`;
  return '$(check) accepted';
}

export interface StatusWords {
  text: string;
  tooltip: string;
  command: string;  // run on a click
}

// The status bar item: the verdict while the server runs; a server that
// could not start or stopped has no verdict, only why, and a click restarts it.
export function statusWords(serverProblem: string | undefined, errors: number, warnings: number): StatusWords {
  if (serverProblem !== undefined) {
    return { text: 'vekhost: $(error) not running', tooltip: serverProblem, command: 'vekhost.restartServer' };
  }
  return {
    text: `vekhost: ${verdictText(errors, warnings)}`,
    tooltip: errors > 0 ? 'The GPU backend plug-in refuses this file' : 'The GPU backend plug-in takes this file',
    command: 'workbench.actions.view.problems',
  };
}

// Files named in groups small enough for any command line.
export function batches(files: string[], most = 100): string[][] {
  const groups: string[][] = [];
  for (let i = 0; i < files.length; i += most) groups.push(files.slice(i, i + most));
  return groups;
}
