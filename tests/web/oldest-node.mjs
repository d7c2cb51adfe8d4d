// Whether the page's tests and its benchmark run on the oldest Node that
// package.json's engines name, whatever Node runs this: every module in the
// lockfile takes that Node, and eslint-plugin-n finds in them no built-in,
// syntax or module of a later one (eslint.config.mjs).
// Usage: node oldest-node.mjs
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url)), source = join(here, '../..');
const json = (file) => JSON.parse(readFileSync(join(here, file), 'utf8'));
const require = createRequire(import.meta.url);
let ESLint, semver;
try { ({ ESLint } = require('eslint')); semver = require('semver'); } catch {
    console.log('SKIPPED: tests/web/node_modules lacks eslint (npm ci in tests/web; make test runs it)');
    process.exit(77);
}

const floor = json('package.json').engines.node, oldest = semver.minVersion(floor).version;
let failed = 0;
for (const [path, { version, engines }] of Object.entries(json('package-lock.json').packages)) {
    if (path && engines?.node && !semver.satisfies(oldest, engines.node)) {
        failed++;
        console.log(`FAILED: ${path.replace(/^.*node_modules\//, '')} ${version} takes Node ${engines.node}, not ${oldest} (engines ${floor})`);
    }
}
const eslint = new ESLint({ cwd: source, overrideConfigFile: join(here, 'eslint.config.mjs') });
const results = await eslint.lintFiles(['tests/web/*.mjs', 'bench/page.mjs']);
console.log((await eslint.loadFormatter('stylish')).format(results));
failed += results.reduce((sum, r) => sum + r.errorCount, 0);
console.log(`the modules and ${results.length} files checked for Node ${floor}: ${failed || 'nothing'} newer`);
process.exit(failed ? 1 : 0);
