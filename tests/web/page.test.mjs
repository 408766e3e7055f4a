// The page in a real browser, once with each presenter: pixels against the
// replay tool, the flow and the tick rate, bad parameters, full screen.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

import { Compare, LaunchChromium, OpenPage, ReplayPng, Shot } from "./chromium.mjs";

const scratch = mkdtempSync(join(tmpdir(), "tarvelimunde-web-"));
after(() => rmSync(scratch, { recursive: true, force: true }));

// seed, width, height, ticks, palette, reserved
const kStills = [
  [7, 320, 240, 500, 256, 20],
  [0, 1, 1, 10, 256, 20],
  [4294967295, 640, 480, 3000, 16, 20],       // several figures; the other rotation
  [12345, 200, 600, 1200, 256, 0],
  [99, 1023, 97, 800, 65536, 256],
  [5, 64, 48, 0, 256, 20],
  [2024, 1920, 1080, 20000, 256, 236],
];

const IsBlack = (image, i) => (image.data[i] | image.data[i + 1] | image.data[i + 2]) === 0;

for (const presenter of ["webgl2", "2d"]) {
  describe(`presenter ${presenter}`, () => {
    let browser;
    before(async () => { browser = await LaunchChromium(presenter); });
    after(async () => { await browser.close(); });

    for (const [seed, width, height, ticks, palette, reserved] of kStills) {
      test(`ticks=${ticks} equals the replay: seed ${seed}, ${width}x${height}, palette ${palette}, reserved ${reserved}`,
           async () => {
        const query = `seed=${seed}&width=${width}&height=${height}&ticks=${ticks}&palette=${palette}&reserved=${reserved}`;
        const { page, errors } = await OpenPage(browser, query, { width: 1920, height: 1080 });
        await page.waitForFunction(() => window.tarvelimunde.frames === 1);
        assert.equal(await page.evaluate(() => window.tarvelimunde.presenter), presenter);
        const { differing, first } = Compare(ReplayPng(scratch, { seed, width, height, ticks, palette, reserved }),
                                             await Shot(page, width, height));
        assert.equal(differing, 0, `${differing} pixels differ, the first at ${first}`);
        assert.deepEqual(errors, []);
        await page.close();
      });
    }

    // The page's clock is the test's: time passes only when the test lets it.
    async function OpenHeld(query) {
      const opened = await OpenPage(browser, query, undefined, 1, { clock: true });
      await opened.page.waitForFunction(() => window.tarvelimunde.presenter !== "");
      return opened;
    }
    // The ticks run so far and the page's time, read together.
    const Sample = page => page.evaluate(() => [window.tarvelimunde.ticks, performance.now()]);

    async function RunTicks(page, count) {
      const [start] = await Sample(page);
      for (let frame = 0; frame < 1000 && (await Sample(page))[0] < start + count; frame++)
        await page.clock.runFor(16);
      assert.ok((await Sample(page))[0] >= start + count, `${count} ticks did not come`);
    }

    test("the colours flow: drawn pixels change colour within 13 ticks", async () => {
      // Seed 4's first figure lasts 294 ticks, so no erase comes between the frames.
      const { page, errors } = await OpenHeld("seed=4");
      await RunTicks(page, 32);
      const before = await Shot(page, 640, 480);
      await RunTicks(page, 13);
      const later = await Shot(page, 640, 480);
      let drawn = 0, changed = 0;
      for (let i = 0; i < before.data.length; i += 4) {
        if (IsBlack(before, i) || IsBlack(later, i))
          continue;
        drawn++;
        changed += before.data[i] !== later.data[i] || before.data[i + 1] !== later.data[i + 1] ||
                   before.data[i + 2] !== later.data[i + 2];
      }
      assert.ok(drawn > 100, `only ${drawn} pixels drawn in both frames`);
      assert.ok(changed > drawn / 2, `${changed} of ${drawn} drawn pixels changed colour`);
      assert.deepEqual(errors, []);
      await page.close();
    });

    for (const rate of [64, 200]) {
      test(`ticks advance at ${rate} a second of the page's clock, and a pause is not made up for`, async () => {
        const { page, errors } = await OpenHeld(rate === 64 ? "" : `rate=${rate}`);
        // Ticks are run at animation frames, so a count may be off by a frame's worth and a tick.
        const Near = (ticks, seconds) => Math.abs(ticks - rate * seconds) <= rate * seconds * 0.02 + 2;
        await page.clock.runFor(100);
        const [startTicks, startMs] = await Sample(page);
        await page.clock.runFor(2000);
        const [ticks, ms] = await Sample(page);
        const seconds = (ms - startMs) / 1000;
        assert.ok(Near(ticks - startTicks, seconds), `${ticks - startTicks} ticks in ${seconds} s`);
        // A hidden page gets no frames; once it gets them again it goes on from where it was.
        await page.clock.fastForward(60000);
        await page.clock.runFor(1000);
        const [resumed, resumedMs] = await Sample(page);
        assert.ok(Near(resumed - ticks, 1), `${resumed - ticks} ticks in the ${(resumedMs - ms) / 1000} s after the pause`);
        assert.deepEqual(errors, []);
        await page.close();
      });
    }
  });
}

describe("page manners", () => {
  let browser;
  before(async () => { browser = await LaunchChromium("webgl2"); });
  after(async () => { await browser.close(); });

  const kBad = [
    ["seed=-1", "seed", "-1", "0 to 4294967295"],
    ["seed=4294967296", "seed", "4294967296", "0 to 4294967295"],
    ["seed=", "seed", "", "0 to 4294967295"],
    ["width=0&height=10", "width", "0", "1 to 8192"],
    ["height=8193", "height", "8193", "1 to 8192"],
    ["palette=65537", "palette", "65537", "0 to 65536"],
    ["reserved=2e2", "reserved", "2e2", "0 to 256"],
    ["ticks=1000001", "ticks", "1000001", "0 to 1000000"],
    ["seed=1&rate=0", "rate", "0", "1 to 1000"],
    ["rate=1.5", "rate", "1.5", "1 to 1000"],
    ["seed=" + "9".repeat(100), "seed", "9".repeat(24) + "\u2026", "0 to 4294967295"],
  ];
  for (const [query, name, value, range] of kBad) {
    test(`?${query} shows one line naming ${name}`, async () => {
      const { page, errors } = await OpenPage(browser, query);
      const message = page.locator("#message");
      await message.waitFor();
      assert.equal(await message.textContent(), `Parameter ${name}: "${value}" is not a whole number from ${range}.`);
      const lines = await message.evaluate(m => {
        const range = document.createRange();
        range.selectNodeContents(m);
        return new Set([...range.getClientRects()].map(box => Math.round(box.top))).size;
      });
      assert.equal(lines, 1);
      assert.equal(await page.locator("canvas").count(), 0);
      assert.deepEqual(errors, []);
      await page.close();
    });
  }

  test("the canvas fills the window in device pixels at scale factor 2", async () => {
    const { page, errors } = await OpenPage(browser, "seed=3", { width: 300, height: 200 }, 2);
    await page.waitForFunction(() => window.tarvelimunde.frames > 0);
    const box = await page.locator("canvas").evaluate(c => [c.width, c.height, c.clientWidth, c.clientHeight]);
    assert.deepEqual(box, [600, 400, 300, 200]);
    assert.deepEqual(errors, []);
    await page.close();
  });

  // How full screen is entered, what is done there, and whether it is left.
  const kFullScreen = [
    ["F", "mouse 3 px", false],
    ["F", "mouse 5 px", true],
    ["click", "mouse 4 px", false],
    ["click", "mouse 3+2 px", true],
    ["F", "key", true],
    ["click", "click", true],
  ];
  for (const [enter, act, leaves] of kFullScreen) {
    test(`full screen by ${enter}, then ${act}: ${leaves ? "left" : "kept"}`, async () => {
      const { page, errors } = await OpenPage(browser, "seed=3");
      await page.waitForFunction(() => window.tarvelimunde.frames > 0);
      // Every request to leave counts, also one still under way.
      await page.evaluate(() => {
        const leave = Document.prototype.exitFullscreen;
        window.leaveRequests = 0;
        document.exitFullscreen = function () { window.leaveRequests++; return leave.call(this); };
      });
      await page.mouse.move(100, 100);
      if (enter === "F")
        await page.keyboard.press("f");
      else
        await page.mouse.click(100, 100);
      await page.waitForFunction(() => document.fullscreenElement !== null);
      await page.mouse.move(100, 100);
      if (act === "key")
        await page.keyboard.press("a");
      else if (act === "click")
        await page.mouse.click(100, 100);
      else {
        const [dx, dy] = act === "mouse 3+2 px" ? [3, 2] : [Number(act.split(" ")[1]), 0];
        await page.mouse.move(100 + dx, 100 + dy);
      }
      if (leaves)
        await page.waitForFunction(() => document.fullscreenElement === null);
      assert.equal(await page.evaluate(() => window.leaveRequests), leaves ? 1 : 0);
      assert.deepEqual(errors, []);
      await page.close();
    });
  }
});
