// What the browser tests share, each written once: Debian's chromium, headless,
// driven by playwright-core (never a browser of its own; Playwright gives every
// launch a fresh temporary profile), the replay tool's reference still, and
// pixel differences.
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { join } from "node:path";
import { chromium } from "playwright-core";
import { PNG } from "pngjs";

export const root = new URL("../../", import.meta.url);
export const pageFile = new URL("build/web/tarvelimunde.html", root);
export const replayTool = new URL("build/native/tarvelimunde-replay", root).pathname;
// The ceiling of every wait, as the Python harnesses have it: 120 s times
// TARVELIMUNDE_TIME_SCALE. A wait ends as soon as its condition holds.
export const kCeilingMs = 120000 * (Number(process.env.TARVELIMUNDE_TIME_SCALE) || 1);

const kQuietArgs = [
  "--no-sandbox", "--disable-quic", "--no-first-run", "--disable-background-networking",
  "--disable-component-update", "--disable-sync",
  // Canvas colours reach the screenshot unconverted.
  "--force-color-profile=srgb",
];

// With no GPU here WebGL runs on the software renderer, which the page declines
// for canvas 2D. For "webgl2" the pages are kept from telling, so that the WebGL
// presenter is tested too.
export async function LaunchChromium(presenter) {
  const args = [...kQuietArgs, "--disable-gpu"];
  const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", headless: true, args,
                                          timeout: kCeilingMs });
  browser.takeSoftwareWebGl = presenter === "webgl2";
  return browser;
}

function TakeSoftwareWebGl() {
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, options) {
    return getContext.call(this, type, { ...options, failIfMajorPerformanceCaveat: false });
  };
  const getExtension = WebGL2RenderingContext.prototype.getExtension;
  WebGL2RenderingContext.prototype.getExtension = function (name) {
    return name === "WEBGL_debug_renderer_info" ? null : getExtension.call(this, name);
  };
}

// The page with a query, at device scale factor 1 unless asked; errors collects
// every console error and uncaught exception. With clock, the page's timers,
// animation frames and performance.now() stand still until page.clock moves them.
// An initScript runs in the page before its own script.
export async function OpenPage(browser, query, viewport = { width: 640, height: 480 }, deviceScaleFactor = 1,
                               { clock = false, initScript = null } = {}) {
  const page = await browser.newPage({ viewport, deviceScaleFactor });
  page.setDefaultTimeout(kCeilingMs);
  if (clock) {
    await page.clock.install({ time: 0 });
    await page.clock.pauseAt(1000);
  }
  const errors = [];
  page.on("console", message => message.type() === "error" && errors.push(message.text()));
  page.on("pageerror", error => errors.push(error.message));
  if (browser.takeSoftwareWebGl)
    await page.addInitScript(TakeSoftwareWebGl);
  if (initScript)
    await page.addInitScript(initScript);
  const url = pageFile.href + (query ? "?" + query : "");
  await page.goto(url);
  return { page, errors };
}


// The replay tool's still as a decoded PNG, made in the folder given.
export function ReplayPng(folder, { seed, width, height, ticks, palette = 256, reserved = 20 }) {
  const file = join(folder, `${seed}-${width}x${height}-${ticks}-${palette}-${reserved}.png`);
  execFileSync(replayTool, ["--seed", seed, "--size", `${width}x${height}`, "--ticks", ticks,
                            "--palette-size", palette, "--reserved", reserved, "--png", file].map(String));
  return PNG.sync.read(readFileSync(file));
}

// The page's top-left width x height pixels as a decoded PNG.
export async function Shot(page, width, height) {
  return PNG.sync.read(await page.screenshot({ clip: { x: 0, y: 0, width, height } }));
}

// Pixels that differ in red, green or blue, and the first of them; sizes must agree.
export function Compare(expected, actual) {
  if (actual.width !== expected.width || actual.height !== expected.height)
    return { differing: expected.width * expected.height, first: "(the sizes differ)" };
  let differing = 0, first = null;
  for (let i = 0; i < expected.data.length; i += 4) {
    if (expected.data[i] !== actual.data[i] || expected.data[i + 1] !== actual.data[i + 1] ||
        expected.data[i + 2] !== actual.data[i + 2]) {
      differing++;
      first ??= [(i / 4) % expected.width, Math.floor(i / 4 / expected.width)];
    }
  }
  return { differing, first };
}
