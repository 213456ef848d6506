// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// The programs and libraries the extension runs and loads, from the
// settings: in a workspace that is not trusted, from the user's settings
// only, so that no workspace can make the editor run or load what it names.

// What VS Code's configuration says of one setting, in each place.
export interface Inspected<T> {
  defaultValue?: T;
  globalValue?: T;
  workspaceValue?: T;
  workspaceFolderValue?: T;
}

export function effective<T>(inspected: Inspected<T> | undefined, trusted: boolean): T | undefined {
  if (!inspected) return undefined;
  if (trusted) {
    return inspected.workspaceFolderValue ?? inspected.workspaceValue ?? inspected.globalValue ?? inspected.defaultValue;
  }
  return inspected.globalValue ?? inspected.defaultValue;
}

export interface Paths {
  vekhost: string;  // the program, or "vekhost" for the one on PATH
  plugin: string;   // empty: vekhost's own default
  backend: string;  // empty: vekhost's own default
  bundled: boolean; // the program is the extension's own
}

export interface Settings {
  path?: string;
  pluginPath?: string;
  backendPath?: string;
}

// The paths to use: those set, else the bundled program, else vekhost on PATH.
export function pathsFrom(settings: Settings, bundledProgram: string | undefined): Paths {
  const set = (value: string | undefined) => (value ?? '').trim();
  const program = set(settings.path);
  return {
    vekhost: program || bundledProgram || 'vekhost',
    plugin: set(settings.pluginPath),
    backend: set(settings.backendPath),
    bundled: !program && bundledProgram !== undefined,
  };
}

// vekhost's options for the plug-in and, where it loads one, the backend.
export function libraryArguments(paths: Paths, withBackend: boolean): string[] {
  const args: string[] = [];
  if (paths.plugin) args.push('--plugin', paths.plugin);
  if (withBackend && paths.backend) args.push('--backend', paths.backend);
  return args;
}

// What to tell the user when vekhost cannot be started or stops.
export function startProblem(paths: Paths, why: string): string {
  const tried = paths.vekhost === 'vekhost' && !paths.bundled ? 'vekhost on PATH' : paths.vekhost;
  return `The vekhost language server could not run (${why}). Tried: ${tried}. ` +
    'Set "vekhost.path" in your user settings to the vekhost program (from a release package, or build/default/bin/vekhost of a build), then run "vekhost: Restart the Language Server".';
}
