// A long still: the page shows one line of progress, stays responsive while
// it works, and ends with the still the replay tool draws.
import { after, test } from "node:test";
import assert from "node:assert/strict";
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

import { Compare, LaunchChromium, OpenPage, ReplayPng, Shot } from "./chromium.mjs";

const scratch = mkdtempSync(join(tmpdir(), "tarvelimunde-progress-"));
after(() => rmSync(scratch, { recursive: true, force: true }));

// The page's clock is the test's: each reading is 5 ms later than the last,
// whatever the machine's speed. The still's slices then hold the same ticks on
// every machine (chunks stay at 64 ticks, 10 of them to a 50 ms slice), so
// 400000 ticks take some 600 turns of the page, each with its progress line,
// which a recorder notes as the page shows it.
function HoldTheClock() {
  let now = 0;
  Performance.prototype.now = () => (now += 5);
  window.progressSeen = [];
  new MutationObserver(() => {
    const message = document.getElementById("message");
    if (message && !message.hidden)
      window.progressSeen.push([message.textContent, window.tarvelimunde?.frames ?? 0]);
  }).observe(document, { subtree: true, childList: true, characterData: true, attributes: true });
}

test("a still of 400000 ticks shows its progress and stays responsive", async () => {
  const [seed, width, height, ticks] = [11, 320, 240, 400000];
  const browser = await LaunchChromium("2d");
  try {
    const { page, errors } = await OpenPage(browser, `seed=${seed}&width=${width}&height=${height}&ticks=${ticks}`,
                                            undefined, 1, { initScript: HoldTheClock });
    // Answered while the ticks are still running, in one look so that the end
    // cannot come between: a page frozen until the end never answers this.
    const answered = await page.waitForFunction(() => {
      const message = document.getElementById("message");
      return /^[0-9]+ %$/.test(message.textContent) && !message.hidden && window.tarvelimunde.frames === 0 &&
             message.textContent;
    });
    const whileRunning = Number.parseInt(await answered.jsonValue(), 10);

    await page.waitForFunction(() => window.tarvelimunde.frames === 1);
    assert.equal(await page.evaluate(() => document.getElementById("message").hidden), true);
    // One line, counting up from the first slice to the last, all before the still.
    const seen = await page.evaluate(() => window.progressSeen);
    const percentages = seen.map(([text]) => Number.parseInt(text, 10));
    assert.ok(seen.every(([text, frames]) => /^[0-9]+ %$/.test(text) && frames === 0), JSON.stringify(seen.slice(0, 5)));
    assert.ok(percentages.every((p, i) => i === 0 || p >= percentages[i - 1]), "the progress went back");
    assert.ok(percentages[0] <= 1 && percentages.at(-1) >= 98, `from ${percentages[0]} % to ${percentages.at(-1)} %`);
    assert.ok(whileRunning < 100);

    const { differing, first } = Compare(ReplayPng(scratch, { seed, width, height, ticks }),
                                         await Shot(page, width, height));
    assert.equal(differing, 0, `${differing} pixels differ, the first at ${first}`);
    assert.deepEqual(errors, []);
  } finally {
    await browser.close();
  }
});
