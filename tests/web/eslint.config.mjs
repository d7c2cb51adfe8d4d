// Whether the page's tests and its benchmark use only what the oldest Node
// that package.json's engines name has: its built-ins, its syntax and its
// modules, nothing of style. oldest-node.mjs runs it.
import { readFileSync } from 'node:fs';
import n from 'eslint-plugin-n';

const { engines } = JSON.parse(readFileSync(new URL('./package.json', import.meta.url), 'utf8'));

export default [{
    files: ['**/*.mjs'],
    plugins: { n },
    languageOptions: { ecmaVersion: 'latest', sourceType: 'module', globals: n.configs['flat/recommended-module'].languageOptions.globals },
    settings: { n: { version: engines.node } },
    rules: {
        'n/no-unsupported-features/es-builtins': 'error',
        'n/no-unsupported-features/es-syntax': 'error',
        // navigator is read only in functions the page runs, where it is the browser's.
        'n/no-unsupported-features/node-builtins': ['error', { ignores: ['navigator'] }],
    },
}];
