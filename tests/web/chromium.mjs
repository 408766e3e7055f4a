// Debian's chromium, headless, driven by playwright-core: never a browser of
// its own. Playwright gives every launch a fresh temporary profile.
import { chromium } from "playwright-core";
import { pathToFileURL } from "node:url";

export const root = new URL("../../", import.meta.url);
export const pageFile = new URL("build/web/tarvelimunde.html", root);
export const replayTool = new URL("build/native/tarvelimunde-replay", root).pathname;

const kQuietArgs = [
  "--no-sandbox", "--disable-quic", "--no-first-run", "--disable-background-networking",
  "--disable-component-update", "--disable-sync",
  // Canvas colours reach the screenshot unconverted.
  "--force-color-profile=srgb",
];

// "webgl2": WebGL through the software renderer; "2d": no WebGL, so the page
// falls back to canvas 2D.
export function LaunchChromium(presenter) {
  const args = [...kQuietArgs, "--disable-gpu", ...(presenter === "2d" ? ["--disable-webgl"] : [])];
  return chromium.launch({ executablePath: "/usr/bin/chromium", headless: true, args });
}

// The page with a query, at device scale factor 1; errors collects every
// console error and uncaught exception.
export async function OpenPage(browser, query, viewport = { width: 640, height: 480 }) {
  const page = await browser.newPage({ viewport, deviceScaleFactor: 1 });
  const errors = [];
  page.on("console", message => message.type() === "error" && errors.push(message.text()));
  page.on("pageerror", error => errors.push(error.message));
  const url = pageFile.href + (query ? "?" + query : "");
  await page.goto(url);
  return { page, errors };
}

export { pathToFileURL };
