// Runs the Khronos glTF validator on the .glb files named; prints each file's
// error and warning counts and exits 1 when any file has an error or a warning.
import { createRequire } from 'module';
import { readFileSync } from 'fs';

const require = createRequire(process.env.GLTF_VALIDATOR_DIR + '/');
const validator = require('gltf-validator');
let failed = false;
for (const file of process.argv.slice(2)) {
  const report = await validator.validateBytes(new Uint8Array(readFileSync(file)), {
    uri: file, maxIssues: 5,
    externalResourceFunction: () => Promise.reject(new Error('no external resources')),
  });
  const issues = report.issues;
  console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings`);
  for (const m of issues.messages) if (m.severity <= 1) console.log(`  ${m.code} ${m.pointer ?? ''}: ${m.message}`);
  if (issues.numErrors > 0 || issues.numWarnings > 0) failed = true;
}
process.exit(failed ? 1 : 0);
