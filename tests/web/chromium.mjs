// Debian's chromium, headless, driven by playwright-core: never a browser of
// its own. Playwright gives every launch a fresh temporary profile.
import { chromium } from "playwright-core";

export const root = new URL("../../", import.meta.url);
export const pageFile = new URL("build/web/tarvelimunde.html", root);
export const replayTool = new URL("build/native/tarvelimunde-replay", root).pathname;

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
  const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", headless: true, args });
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
export async function OpenPage(browser, query, viewport = { width: 640, height: 480 }, deviceScaleFactor = 1,
                               { clock = false } = {}) {
  const page = await browser.newPage({ viewport, deviceScaleFactor });
  if (clock) {
    await page.clock.install({ time: 0 });
    await page.clock.pauseAt(1000);
  }
  const errors = [];
  page.on("console", message => message.type() === "error" && errors.push(message.text()));
  page.on("pageerror", error => errors.push(error.message));
  if (browser.takeSoftwareWebGl)
    await page.addInitScript(TakeSoftwareWebGl);
  const url = pageFile.href + (query ? "?" + query : "");
  await page.goto(url);
  return { page, errors };
}

