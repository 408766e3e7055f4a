// Prints the page's figures: its size, and per presented frame the
// presenter's own time, the renderer's main-thread time and the CPU time of
// all of Chromium's processes, with each presenter at 1920x1080 and 3840x2160
// in headless Chromium. There is no GPU here: WebGL runs on the software
// renderer, which the page itself would decline for canvas 2D.
import { readdirSync, readFileSync, statSync } from "node:fs";

import { LaunchChromium, OpenPage, pageFile } from "./chromium.mjs";

const kSeconds = 4;
const kClockTicks = 100;
const row = (label, value) => console.log(label.padEnd(58) + value);

// User and system CPU time of this process's descendants (the browser's), in ms.
function BrowserCpuMs() {
  const parents = new Map(), times = new Map();
  for (const pid of readdirSync("/proc").filter(name => /^[0-9]+$/.test(name))) {
    try {
      const fields = readFileSync(`/proc/${pid}/stat`, "utf8").replace(/^.*\) /, "").split(" ");
      parents.set(pid, fields[1]);
      times.set(pid, (Number(fields[11]) + Number(fields[12])) * 1000 / kClockTicks);
    } catch {
      // Gone meanwhile.
    }
  }
  const ours = new Set([String(process.pid)]);
  let total = 0;
  for (let grown = true; grown;) {
    grown = false;
    for (const [pid, parent] of parents) {
      if (!ours.has(pid) && ours.has(parent)) {
        ours.add(pid);
        total += times.get(pid);
        grown = true;
      }
    }
  }
  return total;
}

const pageBytes = statSync(pageFile).size;
row("build/web/tarvelimunde.html (goal 100 KB)", `${pageBytes} bytes (${(pageBytes / 1024).toFixed(1)} KiB)`);

for (const presenter of ["2d", "webgl2"]) {
  const browser = await LaunchChromium(presenter);
  for (const [width, height] of [[1920, 1080], [3840, 2160]]) {
    const { page, errors } = await OpenPage(browser, `seed=4&width=${width}&height=${height}`, { width, height });
    const session = await page.context().newCDPSession(page);
    await session.send("Performance.enable");
    const Sample = async () => {
      const { metrics } = await session.send("Performance.getMetrics");
      const status = await page.evaluate(() => ({ ...window.tarvelimunde }));
      return { task: metrics.find(m => m.name === "TaskDuration").value * 1000, cpu: BrowserCpuMs(), ...status };
    };
    // Past start-up and the first full frame, then a few seconds of flow.
    await page.waitForFunction(() => window.tarvelimunde.ticks >= 16);
    const first = await Sample();
    await page.waitForTimeout(kSeconds * 1000);
    const last = await Sample();
    const frames = last.frames - first.frames;
    const label = `${last.presenter} ${width}x${height}`;
    const PerFrame = key => `${((last[key] - first[key]) / frames).toFixed(3)} ms`;
    row(`${label}: presenter per frame`, `${PerFrame("presentMs")} (${frames} frames in ${kSeconds} s)`);
    row(`${label}: renderer main thread per frame`, PerFrame("task"));
    row(`${label}: all browser processes' CPU per frame`, PerFrame("cpu"));
    if (errors.length)
      row("  console errors", errors.join(" | "));
    await page.close();
  }
  await browser.close();
}
