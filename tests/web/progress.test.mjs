// A long still: the page shows one line of progress, stays responsive while
// it works, and ends with the still the replay tool draws.
import { after, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { PNG } from "pngjs";

import { LaunchChromium, OpenPage, replayTool } from "./chromium.mjs";

const scratch = mkdtempSync(join(tmpdir(), "tarvelimunde-progress-"));
after(() => rmSync(scratch, { recursive: true, force: true }));

test("a still of 400000 ticks shows its progress and stays responsive", async () => {
  const [seed, width, height, ticks] = [11, 320, 240, 400000];
  const browser = await LaunchChromium("2d");
  try {
    const { page, errors } = await OpenPage(browser, `seed=${seed}&width=${width}&height=${height}&ticks=${ticks}`);
    // Answered while the ticks are still running, in one look so that the end
    // cannot come between: a page frozen until the end never answers this.
    await page.waitForFunction(() => {
      const message = document.getElementById("message");
      return /^[0-9]+ %$/.test(message.textContent) && !message.hidden && window.tarvelimunde.frames === 0;
    });

    await page.waitForFunction(() => window.tarvelimunde.frames === 1, null, { timeout: 120000 });
    assert.equal(await page.evaluate(() => document.getElementById("message").hidden), true);
    const file = join(scratch, "still.png");
    execFileSync(replayTool, ["--seed", seed, "--size", `${width}x${height}`, "--ticks", ticks, "--png", file]
                 .map(String));
    const expected = PNG.sync.read(readFileSync(file));
    const shot = PNG.sync.read(await page.screenshot({ clip: { x: 0, y: 0, width, height } }));
    let differing = 0;
    for (let i = 0; i < expected.data.length; i += 4)
      differing += expected.data[i] !== shot.data[i] || expected.data[i + 1] !== shot.data[i + 1] ||
                   expected.data[i + 2] !== shot.data[i + 2];
    assert.equal(differing, 0, `${differing} pixels differ`);
    assert.deepEqual(errors, []);
  } finally {
    await browser.close();
  }
});
