// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Validates CycloneDX 1.6 JSON SBOMs with the CycloneDX library's strict JSON
// schema validator. Usage: node validate-sbom.js FILE.cdx.json...
'use strict';
const fs = require('fs');
const { Validation } = require('@cyclonedx/cyclonedx-library');

async function main(files) {
  if (files.length === 0) {
    console.error('usage: node validate-sbom.js FILE.cdx.json...');
    return 2;
  }
  const validator = new Validation.JsonStrictValidator('1.6');
  let failed = 0;
  for (const file of files) {
    const errors = await validator.validate(fs.readFileSync(file, 'utf8'));
    if (errors === null) {
      console.log(`sbom: ${file}: valid CycloneDX 1.6`);
    } else {
      failed += 1;
      console.error(`sbom: ${file}: not valid CycloneDX 1.6\n${JSON.stringify(errors, null, 2)}`);
    }
  }
  return failed === 0 ? 0 : 1;
}

main(process.argv.slice(2)).then((status) => process.exit(status), (error) => {
  console.error(`sbom: ${error.stack || error}`);
  process.exit(2);
});
