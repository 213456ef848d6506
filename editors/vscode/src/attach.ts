// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Which files are configurations: VS Code's own file associations, kept in
// the workspace's settings. A file is attached by a glob that names it from
// the workspace folder down, so the settings hold no one's home folder.

export const LANGUAGE = 'vek-config';

// What the language itself takes without a word in the settings.
export const DEFAULT_PATTERNS = ['*.vek.json'];

export type Associations = Record<string, string>;

// The glob that attaches a file, from its path in the workspace ("configs/gpu.json").
export function patternFor(relativePath: string): string {
  const path = relativePath.split('\\').join('/').replace(/^\.\//, '');
  // VS Code matches a pattern with a separator against the whole path.
  return `**/${path}`;
}

// The associations with the file attached, or detached: a detached file
// that a default pattern would take is handed back to JSON explicitly.
export function attached(associations: Associations, relativePath: string): Associations {
  return { ...associations, [patternFor(relativePath)]: LANGUAGE };
}

export function detached(associations: Associations, relativePath: string): Associations {
  const pattern = patternFor(relativePath);
  const rest: Associations = {};
  for (const [key, language] of Object.entries(associations)) {
    if (key !== pattern) rest[key] = language;
  }
  const name = relativePath.split(/[\\/]/).pop() ?? '';
  if (DEFAULT_PATTERNS.some((p) => matchesName(p, name))) rest[pattern] = 'json';
  return rest;
}

// The globs that attach files: the defaults and the associations to the language.
export function attachingPatterns(associations: Associations): string[] {
  const patterns = [...DEFAULT_PATTERNS.map((p) => `**/${p}`)];
  for (const [pattern, language] of Object.entries(associations)) {
    if (language !== LANGUAGE) continue;
    patterns.push(pattern.includes('/') ? pattern : `**/${pattern}`);
  }
  return patterns;
}

// A name matched against a pattern of "*" and literal characters.
export function matchesName(pattern: string, name: string): boolean {
  const escaped = pattern.split('*').map((part) => part.replace(/[.+?^${}()|[\]\\]/g, '\\$&'));
  return new RegExp(`^${escaped.join('.*')}$`).test(name);
}
