// The page's speed in Chromium, Firefox and WebKit (tests/web/engines.mjs),
// next to the desktop's in the same run: frames a second flat out against the
// window's on the offscreen platform (BM_EventLoop), pictures shown a second,
// slow motion's pace at 120, 1000 and 10000 a second, the share of a core at
// 120 against a page that puts a changed picture of the same size on a canvas
// at every display frame, and how soon the first picture is up.
// Usage: node bench/page.mjs PAGE.html [springlattice-bench] [seconds] [--engines=chromium,firefox,webkit]
import { execFileSync } from "node:child_process";
import { copyFileSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { pathToFileURL } from "node:url";
import { engines, launch, missing } from "../tests/web/engines.mjs";

const options = process.argv.slice(2).filter((a) => a.startsWith("--"));
const [pagePath, desktopBench, secondsArg] = process.argv.slice(2).filter((a) => !a.startsWith("--"));
if (!pagePath) {
  console.error("usage: node bench/page.mjs PAGE.html [springlattice-bench] [seconds] [--engines=chromium,firefox,webkit]");
  process.exit(2);
}
const chosen = options.find((a) => a.startsWith("--engines="))?.slice("--engines=".length).split(",") ?? engines;
const seconds = Number(secondsArg ?? 5);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// The page alone in an empty folder; a page that puts a changed 681x505
// picture on a canvas at every display frame, the floor of showing pictures;
// and posted messages that do nothing but post the next, the floor of the
// task between the page's runs of frames.
const folder = mkdtempSync(join(tmpdir(), "springlattice-bench-"));
copyFileSync(pagePath, join(folder, "springlattice.html"));
writeFileSync(join(folder, "pictures.html"), "<!doctype html><title>pictures</title>" +
  "<canvas width=681 height=505 style='width:681px;height:505px'></canvas><script>" +
  "const g = document.querySelector('canvas').getContext('2d'), picture = g.createImageData(681, 505);" +
  "const pixels = new Uint32Array(picture.data.buffer); let n = 0;" +
  "const f = () => { pixels.fill(++n & 1 ? 0xffffffff : 0xfff0f0f0); g.putImageData(picture, 0, 0); requestAnimationFrame(f); };" +
  "requestAnimationFrame(f);</script>");
writeFileSync(join(folder, "loop.html"), "<!doctype html><title>loop</title><script>" +
  "let n = 0; addEventListener('message', () => { n++; postMessage(0, '*'); });" +
  "window.springLattice = { get frames() { return n; }, shown: 0 }; postMessage(0, '*');</script>");
const url = (name, query = "") => pathToFileURL(join(folder, name)).href + query;

// Processor time of the process and all its descendants, in seconds.
function treeCpu(root) {
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
  const inTree = (pid) => { for (let p = pid; p && p !== "0"; p = parents.get(p)) if (p === String(root)) return true; return false; };
  let total = 0;
  for (const [pid, time] of times) if (inTree(pid)) total += time;
  return total;
}

async function measureEngine(engine) {
  const browser = await launch(engine, join(folder, engine));
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
    const cpu0 = treeCpu(browser.pid);
    const t0 = Date.now();
    await sleep(seconds * 1000);
    const [f1, s1] = await read();
    const elapsed = (Date.now() - t0) / 1000;
    const cpu = (treeCpu(browser.pid) - cpu0) / elapsed;
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
  try {
    const flat = await measure(url("springlattice.html"));
    const loop = await measure(url("loop.html"));
    // Slow motion at 120 and the pictures page in turn, three times each: the medians.
    const slowRuns = [];
    const floorRuns = [];
    for (let round = 0; round < 3; ++round) {
      slowRuns.push(await measure(url("springlattice.html", "?steps-per-second=120")));
      floorRuns.push(await measure(url("pictures.html"), false));
    }
    const at1000 = await measure(url("springlattice.html", "?steps-per-second=1000"));
    const at10000 = await measure(url("springlattice.html", "?steps-per-second=10000"));
    const firsts = [];
    for (let i = 0; i < 5; ++i) firsts.push(await firstPicture());
    return { version: browser.version, flat, loop, at1000, at10000, first: median(firsts),
             slow: { frames: median(slowRuns.map((r) => r.frames)), cpu: median(slowRuns.map((r) => r.cpu)) },
             floor: { cpu: median(floorRuns.map((r) => r.cpu)) } };
  } finally {
    await browser.close();
  }
}

function desktopFrames() {
  if (!desktopBench) return null;
  const out = execFileSync(desktopBench, ["--benchmark_filter=BM_EventLoop", "--benchmark_format=json",
                                          `--benchmark_min_time=${seconds}`],
                           { env: { ...process.env, QT_QPA_PLATFORM: "offscreen" }, stdio: ["ignore", "pipe", "ignore"] });
  return JSON.parse(out).benchmarks.find((b) => b.name.startsWith("BM_EventLoop")).steps_per_second;
}

const results = new Map();
for (const engine of chosen) {
  const why = missing(engine);
  if (why) console.log(`${engine}: not measured: ${why}`);
  else results.set(engine, await measureEngine(engine));
}
const desktop = desktopFrames();
rmSync(folder, { recursive: true, force: true });

const measured = [...results.values()];
// A column for the window, where it has a number to set beside the page's.
const row = (name, value, target = "", window = "") =>
  console.log(`  ${name.padEnd(52)} ${[window, ...measured.map(value)].map((v) => v.padStart(10)).join(" ")}   ${target}`);
console.log(`The page in ${measured.map((r) => r.version).join(", ")}; ${seconds} s a measure`);
console.log(`  ${"".padEnd(52)} ${["window", ...results.keys()].map((e) => e.padStart(10)).join(" ")}`);
row("flat out: frames per second", (r) => r.flat.frames.toFixed(0), "", desktop?.toFixed(0) ?? "");
row("an empty loop of posted messages: tasks per second", (r) => r.loop.frames.toFixed(0));
if (desktop !== null) row("page / window", (r) => (r.flat.frames / desktop).toFixed(3), "target >= 0.7, WebKit 0.5; aim 0.9");
row("flat out: pictures shown per second", (r) => r.flat.shown.toFixed(1), "target >= 30");
row("flat out: share of a core, the whole browser", (r) => r.flat.cpu.toFixed(3));
row("slow motion at 120: frames per second (median of 3)", (r) => r.slow.frames.toFixed(1), "target 120 +- 3");
row("slow motion at 1000: frames per second", (r) => r.at1000.frames.toFixed(0), "target 1000 +- 3 %");
row("slow motion at 10000: frames per second", (r) => r.at10000.frames.toFixed(0), "target 10000 +- 3 %");
row("slow motion at 120: share of a core (median of 3)", (r) => r.slow.cpu.toFixed(3));
row("a changed picture put at every display frame: the same", (r) => r.floor.cpu.toFixed(3));
row("slow motion / a picture at every display frame", (r) => (r.slow.cpu / r.floor.cpu).toFixed(2), "target <= 1.6");
row("first picture after opening, ms (median of 5)", (r) => String(r.first), "target <= 500");
