// tincture reads colours as CSS does: every CSS colour name, and rgb() and
// hsl() in both syntaxes, against what chromium paints for the same text.
//   TINCTURE_COMMAND=build/bin/tincture node --test tests/browser/css-colors.test.mjs

import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";

const { chromium } = createRequire(import.meta.url)("playwright-core");
const browserPath = process.env.CHROMIUM || "/usr/bin/chromium";
const tincture = process.env.TINCTURE_COMMAND || "build/bin/tincture";

const forms = [
  "rgb(255 0 0)", "rgb(255, 0, 0)", "rgba(10, 20, 30, 0.5)", "rgb(10 20 30 / 25%)", "rgb(100% 50% 0%)", "RGB(1 2 3)",
  "hsl(0 100% 50%)", "hsl(120, 100%, 25%)", "hsl(210 50% 40% / 0.75)", "hsla(300, 20%, 80%, 0.1)", "hsl(-30 60% 70%)", "hsl(725 40% 50%)",
  "hsl(33.3 77.7% 44.4%)", "#abc", "#abcd", "#a1b2c3", "#a1b2c3d4", "transparent", "RebeccaPurple",
];

// The names our table holds; chromium says what each is, and CSS has 148.
const names = [...readFileSync(new URL("../../tincture/core/CSSColorNames.cpp", import.meta.url), "utf8").matchAll(/\{ "([a-z]+)", 0x/g)].map((m) => m[1]);

test("every CSS colour name and rgb() and hsl() form reads as chromium paints it", async () => {
  assert.equal(names.length, 148);
  const inputs = [...names, ...forms];
  const browser = await chromium.launch({ executablePath: browserPath, args: ["--no-sandbox"] });
  let painted;
  try {
    const page = await browser.newPage();
    painted = await page.evaluate((texts) => {
      const canvas = document.createElement("canvas");
      canvas.width = canvas.height = 1;
      const context = canvas.getContext("2d", { willReadFrequently: true });
      return texts.map((text) => {
        // A style the browser refuses leaves the sentinel in place.
        context.clearRect(0, 0, 1, 1);
        context.fillStyle = "#0a0b0c";
        context.fillStyle = text;
        context.fillRect(0, 0, 1, 1);
        const [r, g, b, a] = context.getImageData(0, 0, 1, 1).data;
        return { r, g, b, a, isKnown: text === "#0a0b0c" || context.fillStyle !== "#0a0b0c" };
      });
    }, inputs);
  } finally {
    await browser.close();
  }
  const lines = execFileSync(tincture, ["show", "--format", "json"], { input: inputs.join("\n") + "\n", encoding: "utf8" }).trim().split("\n");
  assert.equal(lines.length, inputs.length);
  for (let i = 0; i < inputs.length; ++i) {
    const want = painted[i];
    assert.ok(want.isKnown, `chromium does not know ${inputs[i]}`);
    const read = JSON.parse(lines[i]);
    const alpha = Math.round(read.a * 255);
    assert.ok(Math.abs(alpha - want.a) <= 1, `${inputs[i]}: alpha ${alpha}, chromium ${want.a}`);
    if (want.a === 0)
      continue;
    // Canvas pixels are stored premultiplied, so a translucent one comes back a few steps off.
    const tolerance = want.a === 255 ? 1 : Math.ceil(255 / want.a) + 1;
    for (const channel of ["r", "g", "b"]) {
      const ours = Math.round(read[channel] * 255);
      assert.ok(Math.abs(ours - want[channel]) <= tolerance, `${inputs[i]}: ${channel} ${ours}, chromium ${want[channel]}`);
    }
  }
});
