// The three browser engines the page is tested and measured in, each behind
// the same few calls: launch(engine, folder, { ratio }) gives a browser with
// newPage() and close(), its version, the process its tree of processes
// grows from, and `can`, what its driver can do (with `why` for what not).
// Chromium: puppeteer-core over the DevTools protocol. Firefox: puppeteer-core
// over WebDriver BiDi, no geckodriver. WebKit: WebKitGTK's WebDriver and
// MiniBrowser in an Xvfb of its own, through selenium-webdriver, wrapped in
// the part of puppeteer's Page the tests use.
import { spawn } from 'node:child_process';
import { existsSync, mkdirSync, readdirSync, writeFileSync } from 'node:fs';
import { get } from 'node:http';
import { createRequire } from 'node:module';
import { createServer } from 'node:net';
import { join } from 'node:path';

export const engines = ['chromium', 'firefox', 'webkit'];
const require = createRequire(import.meta.url);
const CHROMIUM = '/usr/bin/chromium', FIREFOX = '/usr/bin/firefox-esr', WEBKIT_DRIVER = '/usr/bin/WebKitWebDriver';
const miniBrowser = () => {
    for (const arch of existsSync('/usr/lib') ? readdirSync('/usr/lib') : [])
        for (const api of ['webkit2gtk-4.1', 'webkitgtk-6.0', 'webkit2gtk-4.0'])
            if (existsSync(`/usr/lib/${arch}/${api}/MiniBrowser`)) return `/usr/lib/${arch}/${api}/MiniBrowser`;
    return null;
};
const onPath = (tool) => (process.env.PATH ?? '').split(':').some((dir) => existsSync(join(dir, tool)));
const installed = (module) => { try { require.resolve(module); return true; } catch { return false; } };

// Why the engine cannot be launched here, or null.
export function missing(engine) {
    const module = engine === 'webkit' ? 'selenium-webdriver' : 'puppeteer-core';
    if (!installed(module)) return `tests/web/node_modules lacks ${module} (npm ci in tests/web; make test runs it)`;
    const needs = { chromium: [CHROMIUM], firefox: [FIREFOX], webkit: [WEBKIT_DRIVER] }[engine];
    if (!needs) return `no engine '${engine}' (${engines.join(', ')})`;
    for (const file of needs) if (!existsSync(file)) return `${file} is not installed (make test installs it)`;
    if (engine === 'webkit' && !miniBrowser()) return 'MiniBrowser is not installed (webkit2gtk-driver; make test installs it)';
    if (engine === 'webkit' && !onPath('Xvfb')) return 'Xvfb is not installed (make test installs it)';
    return null;
}

export async function launch(engine, folder, { ratio = 1 } = {}) {
    mkdirSync(folder, { recursive: true });
    return { chromium, firefox, webkit }[engine](folder, ratio);
}

const everything = { accessibility: true, requests: true, touch: true, coarse: true, ratioWhileRunning: true, fractionalRatio: true, pageErrors: true,
    otherButtons: true, installability: true };
const noInstallability = 'whether the site installs (Page.getInstallabilityErrors is Chromium\'s own protocol)';

async function chromium(folder) {
    const { default: puppeteer } = await import('puppeteer-core');
    const browser = await puppeteer.launch({
        executablePath: CHROMIUM, headless: true, userDataDir: join(folder, 'chromium-profile'),
        args: [...(process.getuid?.() === 0 ? ['--no-sandbox'] : []), '--disable-gpu', '--no-first-run',
            '--disable-background-networking', '--disable-component-update', '--disable-sync', '--disable-quic',
            '--allow-file-access-from-files'],
    });
    return { version: `Chromium ${(await browser.version()).replace(/^.*\//, '')}`, pid: browser.process().pid, newPage: () => browser.newPage(), close: () => browser.close(),
        can: everything, why: {} };
}

async function firefox(folder) {
    const { default: puppeteer } = await import('puppeteer-core');
    const browser = await puppeteer.launch({
        browser: 'firefox', executablePath: FIREFOX, headless: true, userDataDir: join(folder, 'firefox-profile'),
        extraPrefsFirefox: { 'network.dns.disableIPv6': true, 'browser.safebrowsing.malware.enabled': false,
            'browser.safebrowsing.phishing.enabled': false, 'toolkit.telemetry.enabled': false },
    });
    // A tap's press and lift in one action sequence, which Firefox dispatches
    // back to back. As puppeteer's two commands, a busy machine can keep the
    // finger down between them for longer than Firefox lets a tap last (300 ms,
    // apz.max_tap_time), and the touch makes no click.
    const newPage = async () => {
        const page = await browser.newPage();
        page.touchscreen.tap = (x, y) => page.mainFrame().browsingContext.performActions([{ type: 'pointer', id: 'tap',
            parameters: { pointerType: 'touch' },
            actions: [{ type: 'pointerMove', x: Math.round(x), y: Math.round(y) }, { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }] }]);
        return page;
    };
    return { version: `Firefox ${(await browser.version()).replace(/^firefox\//, '')}`, pid: browser.process().pid,
        newPage, close: () => browser.close(),
        can: { ...everything, accessibility: false, coarse: false, installability: false },
        why: { accessibility: 'puppeteer reads the accessibility tree over Chromium\'s own protocol', installability: noInstallability,
            coarse: 'its driver cannot make (pointer: coarse) true: the first touch arranges the controls for the finger' } };
}

// --- WebKit ----------------------------------------------------------------
// Whether a server answers the address with 200; not while it is not listening yet.
const answers = (url) => new Promise((done) => {
    get(url, (response) => { response.resume(); done(response.statusCode === 200); }).on('error', () => done(false));
});
const freePort = () => new Promise((done, fail) => {
    const server = createServer().once('error', fail).listen(0, '127.0.0.1', () => {
        const { port } = server.address();
        server.close(() => done(port));
    });
});
// A display of its own, whatever number is free.
function xvfb() {
    const child = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '2400x2000x24', '-nolisten', 'tcp'],
        { stdio: ['ignore', 'ignore', 'pipe', 'pipe'] });
    let log = '';
    child.stderr.on('data', (d) => { log += d; });
    return new Promise((done, fail) => {
        const timer = setTimeout(() => fail(new Error(`Xvfb did not start: ${log}`)), 10000);
        child.stdio[3].once('data', (d) => { clearTimeout(timer); done({ child, display: `:${String(d).trim()}` }); });
        child.once('exit', () => { clearTimeout(timer); fail(new Error(`Xvfb ended: ${log}`)); });
    });
}
const KEYS = { Tab: '\uE004', Shift: '\uE008', Control: '\uE009', Alt: '\uE00A', Escape: '\uE00C', Enter: '\uE007', ' ': ' ',
    PageUp: '\uE00E', PageDown: '\uE00F', End: '\uE010', Home: '\uE011',
    ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015' };
const BUTTONS = { left: 0, middle: 1, right: 2 };

// GDK_SCALE, the pixel ratio, is the driver's and the browser's from launch.
async function webkit(folder, ratio) {
    if (!Number.isInteger(ratio)) throw new Error(`GDK_SCALE takes whole numbers, not ${ratio}`);
    const { Builder, Capabilities } = require('selenium-webdriver');
    const { Command } = require('selenium-webdriver/lib/command');
    const home = join(folder, `webkit-${ratio}`);
    mkdirSync(home, { recursive: true });
    const x = await xvfb(), port = await freePort();
    const children = [x.child];
    const end = () => { for (const child of [...children].reverse()) child.kill(); };
    process.once('exit', end);
    try {
        const driverProcess = spawn(WEBKIT_DRIVER, [`--port=${port}`], { stdio: 'ignore', env: {
            ...process.env, DISPLAY: x.display, GDK_SCALE: String(ratio), GDK_BACKEND: 'x11', NO_AT_BRIDGE: '1',
            HOME: home, XDG_CONFIG_HOME: join(home, 'config'), XDG_CACHE_HOME: join(home, 'cache'), XDG_DATA_HOME: join(home, 'data') } });
        children.push(driverProcess);
        const server = `http://127.0.0.1:${port}`;
        for (let tries = 0; ; tries++) {
            if (await answers(`${server}/status`)) break;
            if (tries > 200) throw new Error('WebKitWebDriver did not answer');
            await new Promise((done) => setTimeout(done, 50));
        }
        const driver = await new Builder().usingServer(server).withCapabilities(new Capabilities({
            browserName: 'MiniBrowser', timeouts: { script: 300000, pageLoad: 60000, implicit: 0 },
            'webkitgtk:browserOptions': { binary: miniBrowser(), args: ['--automation'] } })).build();
        const version = (await driver.getCapabilities()).get('browserVersion');
        const base = await driver.getWindowHandle(); // kept open: the session ends with its last window
        let current = base;
        const frame = [0, 0]; // what a window has round its viewport
        const execute = (name, parameters) => {
            const command = new Command(name);
            for (const [key, value] of Object.entries(parameters)) command.setParameter(key, value);
            return driver.execute(command);
        };
        const newPage = async () => {
            if (current === null) await driver.switchTo().window(base);
            await driver.switchTo().newWindow('window');
            const page = new WebDriverPage(driver, await driver.getWindowHandle(), ratio, execute);
            page.frame = frame;
            current = page.handle;
            page.focusWindow = async () => { if (current !== page.handle) { await driver.switchTo().window(page.handle); current = page.handle; } };
            page.closed = () => { current = null; };
            return page;
        };
        return { version: `WebKitGTK ${version} (MiniBrowser)`, pid: driverProcess.pid, newPage,
            close: async () => { try { await driver.quit(); } finally { end(); process.off('exit', end); } },
            can: { ...everything, accessibility: false, requests: false, touch: false, ratioWhileRunning: false, fractionalRatio: false,
                pageErrors: false, otherButtons: false, installability: false },
            why: {
                installability: noInstallability,
                accessibility: 'the accessibility tree (Chromium\'s own protocol)',
                requests: 'the record of requests (WebDriver classic has none)',
                touch: 'touch (WebKitGTK\'s driver turns touch actions into a mouse)',
                otherButtons: 'drags with the right or middle button (WebKitGTK\'s driver releases the left one instead)',
                ratioWhileRunning: 'a pixel ratio changed while the page runs (GDK_SCALE is fixed at launch)',
                fractionalRatio: 'a fractional pixel ratio (GDK_SCALE takes whole numbers)',
                pageErrors: 'uncaught errors while the page loads (WebDriver classic reports none; those after it are caught in the page)',
            } };
    } catch (error) { end(); process.off('exit', end); throw error; }
}

// Puppeteer's Page as far as the tests and the benchmark use it, over W3C
// WebDriver: scripts, waits polled in the page, and input as W3C actions.
class WebDriverPage {
    constructor(driver, handle, ratio, execute) {
        Object.assign(this, { driver, handle, ratio, execute, listeners: [], at: [0, 0] });
        const page = this;
        this.mouse = {
            move: (x, y, { steps = 1 } = {}) => {
                const [x0, y0] = page.at;
                page.at = [x, y];
                return page.pointer(Array.from({ length: steps }, (_, i) =>
                    page.moveTo(x0 + ((x - x0) * (i + 1)) / steps, y0 + ((y - y0) * (i + 1)) / steps)));
            },
            down: ({ button = 'left' } = {}) => page.pointer([{ type: 'pointerDown', button: BUTTONS[button] }]),
            up: ({ button = 'left' } = {}) => page.pointer([{ type: 'pointerUp', button: BUTTONS[button] }]),
            click: (x, y, { button = 'left' } = {}) => {
                page.at = [x, y];
                return page.pointer([page.moveTo(x, y), { type: 'pointerDown', button: BUTTONS[button] }, { type: 'pointerUp', button: BUTTONS[button] }]);
            },
            wheel: async ({ deltaX = 0, deltaY = 0 } = {}) => {
                await page.focusWindow();
                const [x, y] = page.at.map(Math.round);
                await page.execute('actions', { actions: [{ type: 'wheel', id: 'wheel', actions: [{ type: 'scroll', origin: 'viewport', x, y, deltaX, deltaY }] }] });
            },
        };
        const key = (type) => async (name) => {
            await page.focusWindow();
            await page.execute('actions', { actions: [{ type: 'key', id: 'keyboard', actions: type.map((t) => ({ type: t, value: KEYS[name] ?? name })) }] });
        };
        this.keyboard = { down: key(['keyDown']), up: key(['keyUp']), press: key(['keyDown', 'keyUp']) };
    }
    moveTo(x, y) { return { type: 'pointerMove', origin: 'viewport', x: Math.round(x), y: Math.round(y), duration: 0 }; }
    async pointer(actions) {
        await this.focusWindow();
        await this.execute('actions', { actions: [{ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions }] });
    }
    // 'pageerror' from uncaught errors after the page has loaded; nothing else is seen.
    on(event, listener) { if (event === 'pageerror') this.listeners.push(listener); return this; }
    async script(body, ...args) { await this.focusWindow(); return this.driver.executeScript(body, ...args); }
    evaluate(fn, ...args) { return this.script(`return (${fn}).apply(null, arguments);`, ...args); }
    $eval(selector, fn, ...args) {
        return this.script(`const e = document.querySelector(arguments[0]);
            if (!e) throw new Error('no element matches ' + arguments[0]);
            return (${fn}).apply(null, [e, ...Array.prototype.slice.call(arguments, 1)]);`, selector, ...args);
    }
    $$eval(selector, fn, ...args) {
        return this.script(`return (${fn}).apply(null, [[...document.querySelectorAll(arguments[0])], ...Array.prototype.slice.call(arguments, 1)]);`, selector, ...args);
    }
    async waitForFunction(fn, { polling = 'raf', timeout = 30000 } = {}, ...args) {
        const met = await this.script(`const [polling, timeout, args] = arguments, fn = ${fn}, end = performance.now() + timeout;
            const next = () => new Promise((done) => (polling === 'raf' ? requestAnimationFrame(done) : setTimeout(done, polling)));
            return (async () => { for (;;) { if (await fn(...args)) return true; if (performance.now() > end) return false; await next(); } })();`,
        polling, timeout, args);
        if (!met) throw new Error(`waiting failed: ${timeout} ms exceeded`);
    }
    title() { return this.script('return document.title;'); }
    async goto(url) {
        await this.focusWindow();
        await this.driver.get(url);
        await this.script(`window.__uncaught = [];
            addEventListener('error', (e) => __uncaught.push(String(e.message)));
            addEventListener('unhandledrejection', (e) => __uncaught.push(String(e.reason)));`);
    }
    focus(selector) { return this.$eval(selector, (e) => e.focus()); }
    // The window's size less its frame is the viewport's; the pixel ratio is the browser's from launch.
    async setViewport({ width, height, deviceScaleFactor = 1 }) {
        if (deviceScaleFactor !== this.ratio) throw new Error(`this browser's pixel ratio is ${this.ratio}, not ${deviceScaleFactor}`);
        await this.focusWindow();
        const window = this.driver.manage().window(), frame = this.frame;
        for (let tries = 0; tries < 5; tries++) {
            await window.setRect({ width: width + frame[0], height: height + frame[1] });
            let size = [], last;
            for (let polls = 0; polls < 50 && String(size) !== String(last); polls++) {
                last = size;
                size = await this.script('return new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(() => done([innerWidth, innerHeight]))));');
            }
            if (size[0] === width && size[1] === height) return;
            frame[0] += width - size[0];
            frame[1] += height - size[1];
        }
        throw new Error(`no window of ${width}x${height} CSS px`);
    }
    async screenshot({ path }) { await this.focusWindow(); writeFileSync(path, Buffer.from(await this.driver.takeScreenshot(), 'base64')); }
    async close() {
        try {
            const uncaught = await this.script('return window.__uncaught ?? [];');
            for (const message of uncaught) for (const listener of this.listeners) listener(new Error(message));
        } catch { /* a page that no longer answers has nothing more to say */ }
        await this.driver.close();
        this.closed();
    }
}
