// Makes the README's capture of the live page: screenshots of it in headless
// Chromium, a frame every 4 ticks, put together by ImageMagick into a GIF that
// plays at the page's pace. Usage: node capture.mjs OUT.gif
import { execFileSync } from "node:child_process";
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

import { LaunchChromium, OpenPage } from "./chromium.mjs";

const kFrames = 40, kTicksApart = 4, kRate = 64;
const output = process.argv[2];
const frames = mkdtempSync(join(tmpdir(), "tarvelimunde-capture-"));
const browser = await LaunchChromium("2d");
const { page } = await OpenPage(browser, "seed=4", { width: 320, height: 240 });
const files = [];
for (let n = 1; n <= kFrames; n++) {
  await page.waitForFunction(goal => window.tarvelimunde.ticks >= goal, 60 + n * kTicksApart);
  files.push(join(frames, `${String(n).padStart(3, "0")}.png`));
  await page.screenshot({ path: files.at(-1) });
}
await browser.close();
const delay = String(Math.round(kTicksApart * 100 / kRate));
execFileSync("/usr/bin/convert", ["-delay", delay, "-loop", "0", ...files, "-layers", "Optimize", output]);
rmSync(frames, { recursive: true });
