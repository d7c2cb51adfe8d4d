// The page's speed in Debian's headless Chromium, next to the desktop's in the
// same run: frames a second flat out against the window's on the offscreen
// platform (BM_EventLoop), pictures shown a second, slow motion's pace and the
// share of a core it costs against a page that only asks for every display
// frame, and how soon the first picture is up.
// Usage: node bench/page.mjs PAGE.html [springlattice-bench] [seconds]
import { execFileSync } from "node:child_process";
import { copyFileSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { dirname, join } from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const here = dirname(fileURLToPath(import.meta.url));
const puppeteer = createRequire(join(here, "../tests/web/package.json"))("puppeteer-core");
const [pagePath, desktopBench, secondsArg] = process.argv.slice(2);
if (!pagePath) {
  console.error("usage: node bench/page.mjs PAGE.html [springlattice-bench] [seconds]");
  process.exit(2);
}
const seconds = Number(secondsArg ?? 5);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The page alone in an empty folder, and a page that does nothing but ask
// for every display frame.
const folder = mkdtempSync(join(tmpdir(), "springlattice-bench-"));
copyFileSync(pagePath, join(folder, "springlattice.html"));
writeFileSync(join(folder, "idle.html"), "<!doctype html><title>idle</title><script>" +
  "let n = 0; const f = () => { n++; requestAnimationFrame(f); }; requestAnimationFrame(f);</script>");
// The floor of a loop of one task a frame: tasks that do nothing but post the next.
writeFileSync(join(folder, "loop.html"), "<!doctype html><title>loop</title><script>" +
  "let n = 0; const c = new MessageChannel(); c.port1.onmessage = () => { n++; c.port2.postMessage(null); };" +
  "window.springLattice = { get frames() { return n; }, shown: 0 }; c.port2.postMessage(null);</script>");
const url = (name, query = "") => pathToFileURL(join(folder, name)).href + query;

const browser = await puppeteer.launch({
  executablePath: "/usr/bin/chromium", headless: true, userDataDir: join(folder, "profile"),
  args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--disable-quic"],
});

// Processor time of the browser and all its processes, in seconds.
function browserCpu() {
  const ticks = 100;
  const parents = new Map();
  const times = new Map();
  for (const pid of readdirSync("/proc").filter((name) => /^\d+$/.test(name))) {
    try {
      const fields = readFileSync(`/proc/${pid}/stat`, "utf8").replace(/^.*\) /, "").split(" ");
      parents.set(pid, fields[1]);
      times.set(pid, (Number(fields[11]) + Number(fields[12])) / ticks);
    } catch { /* the process has gone */ }
  }
  const root = String(browser.process().pid);
  const inTree = (pid) => { for (let p = pid; p && p !== "0"; p = parents.get(p)) if (p === root) return true; return false; };
  let total = 0;
  for (const [pid, time] of times) if (inTree(pid)) total += time;
  return total;
}

async function open(address) {
  const page = await browser.newPage();
  await page.setViewport({ width: 760, height: 700 });
  const started = Date.now();
  await page.goto(address);
  return { page, started };
}

// Counts of a running page over the measuring time, after two seconds.
async function measure(address, counts = true) {
  const { page } = await open(address);
  await sleep(2000);
  const read = () => page.evaluate((c) => (c ? [springLattice.frames, springLattice.shown] : [0, 0]), counts);
  const [f0, s0] = await read();
  const cpu0 = browserCpu();
  const t0 = Date.now();
  await sleep(seconds * 1000);
  const [f1, s1] = await read();
  const elapsed = (Date.now() - t0) / 1000;
  const cpu = (browserCpu() - cpu0) / elapsed;
  await page.close();
  return { frames: (f1 - f0) / elapsed, shown: (s1 - s0) / elapsed, cpu };
}

async function firstPicture() {
  const { page, started } = await open(url("springlattice.html"));
  await page.waitForFunction(() => window.springLattice && springLattice.shown > 0, { polling: "raf" });
  const ms = Date.now() - started;
  await page.close();
  return ms;
}

function desktopFrames() {
  if (!desktopBench) return null;
  const out = execFileSync(desktopBench, ["--benchmark_filter=BM_EventLoop", "--benchmark_format=json",
                                          `--benchmark_min_time=${seconds}`],
                           { env: { ...process.env, QT_QPA_PLATFORM: "offscreen" }, stdio: ["ignore", "pipe", "ignore"] });
  return JSON.parse(out).benchmarks.find((b) => b.name.startsWith("BM_EventLoop")).steps_per_second;
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const flat = await measure(url("springlattice.html"));
const loop = await measure(url("loop.html"));
const desktop = desktopFrames();
// Slow motion and the idle page in turn, three times each: the medians.
const slowRuns = [];
const idleRuns = [];
for (let round = 0; round < 3; ++round) {
  slowRuns.push(await measure(url("springlattice.html", "?steps-per-second=120")));
  idleRuns.push(await measure(url("idle.html"), false));
}
const slow = { frames: median(slowRuns.map((r) => r.frames)), cpu: median(slowRuns.map((r) => r.cpu)) };
const idle = { cpu: median(idleRuns.map((r) => r.cpu)) };
const firsts = [];
for (let i = 0; i < 5; ++i) firsts.push(await firstPicture());
await browser.close();
rmSync(folder, { recursive: true, force: true });

const row = (name, value, target = "") => console.log(`  ${name.padEnd(52)} ${value.padStart(10)}   ${target}`);
console.log(`The page in ${execFileSync("/usr/bin/chromium", ["--version"]).toString().trim()}, ${seconds} s a measure`);
row("flat out: frames per second", flat.frames.toFixed(0));
row("an empty loop of one task a frame: tasks per second", loop.frames.toFixed(0));
if (desktop !== null) {
  row("the window offscreen: frames per second", desktop.toFixed(0));
  row("page / window", (flat.frames / desktop).toFixed(3), "target >= 0.5, aim 0.9");
}
row("flat out: pictures shown per second", flat.shown.toFixed(1), "target >= 30");
row("flat out: share of a core, the whole browser", flat.cpu.toFixed(3));
row("slow motion at 120: frames per second (median of 3)", slow.frames.toFixed(1), "target 120 +- 3");
row("slow motion at 120: share of a core (median of 3)", slow.cpu.toFixed(3));
row("a page asking for every display frame: the same", idle.cpu.toFixed(3));
row("slow motion / display frames only", (slow.cpu / idle.cpu).toFixed(2), "target <= 1.6");
row("first picture after opening, ms (median of 5)", String(median(firsts)), "target <= 500");
