// tincture's value types against independent truth: culori for the
// conversions, the WCAG luminance and the deficiency matrices; chromium's
// painting for the CSS Color 4 forms (hwb, lab, lch, oklab, oklch).
//   TINCTURE_COMMAND=build/bin/tincture node --test tests/browser/tincture-values.test.mjs

import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { createRequire } from "node:module";

const require = createRequire(import.meta.url);
const { chromium } = require("playwright-core");
const culori = await import("culori");
const tincture = process.env.TINCTURE_COMMAND || "build/bin/tincture";

// In sRGB's gamut, so that chromium paints them as written.
const forms = [
  "#3399db", "#e74c3c80", "rebeccapurple", "rgb(12 200 100)", "hsl(210 50% 40%)", "hwb(120 20% 30%)", "hwb(300 10% 10% / 0.5)",
  "lab(50 40 -20)", "lab(75% 10 30)", "lch(50 30 120deg)", "lch(62 20 0.5turn)", "oklab(0.6 0.05 -0.08)", "oklab(40% -0.05 0.04)",
  "oklch(62.8% 0.2 29.23)", "oklch(0.7 0.1 200)", "oklch(0.9 0.03 90 / 40%)", "white", "black", "gray", "#777",
];

const read = (inputs) => JSON.parse(execFileSync(tincture, ["format", "hex", "--json", ...inputs], { encoding: "utf8" }));

test("each colour reads and converts as culori computes it", () => {
  const values = read(forms);
  assert.equal(values.length, forms.length);
  const near = (ours, theirs, tolerance, what) => assert.ok(Math.abs(ours - theirs) <= tolerance, `${what}: ours ${ours}, culori ${theirs}`);
  // Hues of colours with almost no chroma say nothing.
  const nearHue = (ours, theirs, chroma, what) => {
    if (chroma < 1e-3 || theirs === undefined) return;
    near(Math.abs(((ours - theirs + 540) % 360) - 180), 0, 0.05, what);
  };
  for (const [i, input] of forms.entries()) {
    const value = values[i];
    const parsed = culori.parse(input);
    const rgb = culori.rgb(parsed);
    for (const channel of ["r", "g", "b"]) near(value.rgb[channel], rgb[channel], 2e-4, `${input} ${channel}`);
    near(value.rgb.alpha, rgb.alpha ?? 1, 1e-9, `${input} alpha`);
    const lab = culori.lab(rgb), lch = culori.lch(rgb), oklab = culori.oklab(rgb), oklch = culori.oklch(rgb);
    for (const key of ["l", "a", "b"]) near(value.lab[key === "l" ? "L" : key], lab[key], 0.02, `${input} lab ${key}`);
    near(value.lch.C, lch.c, 0.02, `${input} lch C`);
    nearHue(value.lch.h, lch.h, lch.c, `${input} lch h`);
    for (const key of ["l", "a", "b"]) near(value.oklab[key === "l" ? "L" : key], oklab[key], 2e-4, `${input} oklab ${key}`);
    near(value.oklch.C, oklch.c, 2e-4, `${input} oklch C`);
    nearHue(value.oklch.h, oklch.h, oklch.c, `${input} oklch h`);
    const hsl = culori.hsl(rgb), hwb = culori.hwb(rgb);
    near(value.hsl.s, hsl.s, 1e-4, `${input} hsl s`);
    near(value.hsl.l, hsl.l, 1e-4, `${input} hsl l`);
    nearHue(value.hsl.h, hsl.h, hsl.s, `${input} hsl h`);
    near(value.hwb.w, hwb.w, 1e-4, `${input} hwb w`);
    near(value.hwb.b, hwb.b, 1e-4, `${input} hwb b`);
    near(value.luminance, culori.wcagLuminance(rgb), 1e-5, `${input} luminance`);
  }
});

test("the CSS Color 4 forms read as chromium paints them", async () => {
  const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || "/usr/bin/chromium", args: ["--no-sandbox"] });
  let painted;
  try {
    const page = await browser.newPage();
    painted = await page.evaluate((texts) => texts.map((text) => {
      const canvas = document.createElement("canvas");
      canvas.width = canvas.height = 1;
      const context = canvas.getContext("2d", { willReadFrequently: true });
      context.fillStyle = text;
      context.fillRect(0, 0, 1, 1);
      return [...context.getImageData(0, 0, 1, 1).data];
    }), forms);
  } finally {
    await browser.close();
  }
  const values = read(forms);
  for (const [i, input] of forms.entries()) {
    const [r, g, b, a] = painted[i];
    assert.ok(Math.abs(Math.round(values[i].rgb.alpha * 255) - a) <= 1, `${input}: alpha`);
    // Canvas pixels are premultiplied: a translucent one comes back a few steps off.
    const tolerance = a === 255 ? 1 : Math.ceil(255 / a) + 1;
    for (const [channel, want] of [["r", r], ["g", g], ["b", b]]) {
      const ours = Math.round(Math.min(1, Math.max(0, values[i].rgb[channel])) * 255);
      assert.ok(Math.abs(ours - want) <= tolerance, `${input}: ${channel} ${ours}, chromium ${want}`);
    }
  }
});

test("a malformed colour is refused with where and what was expected", () => {
  const refuse = (input) => {
    try {
      execFileSync(tincture, ["format", "hex", input], { encoding: "utf8", stdio: ["ignore", "pipe", "pipe"] });
    } catch (error) {
      return { status: error.status, message: error.stderr };
    }
    return { status: 0 };
  };
  assert.deepEqual(refuse("zzz"), { status: 2, message: 'tincture: format: "zzz" at column 1: unknown colour name "zzz"\n' });
  assert.match(refuse("oklch(0.5 0.1)").message, /expected three arguments in oklch\(\)/);
  assert.match(refuse("lab(50, 20, 10)").message, /lab\(\) takes its arguments without commas/);
  assert.match(refuse("rgb(1 2 x)").message, /at column 9: expected a number/);
  assert.match(refuse("#12345").message, /expected 3, 4, 6 or 8 hex digits/);
});

const run = (...args) => JSON.parse(execFileSync(tincture, args, { encoding: "utf8" }));

test("mix, colorblind and contrast agree with culori and apca-w3", async () => {
  const { APCAcontrast, sRGBtoY } = require("apca-w3");
  const near = (ours, theirs, tolerance, what) => assert.ok(Math.abs(ours - theirs) <= tolerance, `${what}: ours ${ours}, theirs ${theirs}`);
  for (const [a, b, t] of [["red", "blue", 0.5], ["#3498db", "#f1c40f", 0.25], ["white", "black", 0.7]]) {
    const [ours] = run("mix", a, b, "--fraction", String(t), "--json");
    const theirs = culori.rgb(culori.interpolate([a, b], "oklab")(t));
    for (const channel of ["r", "g", "b"]) near(ours[channel], Math.min(1, Math.max(0, theirs[channel])), 2e-4, `mix ${a} ${b} ${t} ${channel}`);
  }
  // culori applies Machado's matrices to the numbers it is given: given
  // linear values, it gives linear values, which sRGB's curve encodes.
  const linear = culori.converter("lrgb");
  for (const [kind, filter] of [["protanopia", culori.filterDeficiencyProt], ["deuteranopia", culori.filterDeficiencyDeuter], ["tritanopia", culori.filterDeficiencyTrit]]) {
    for (const severity of [1, 0.6]) {
      for (const input of ["#e74c3c", "#2ecc71", "#3498db"]) {
        const [ours] = run("colorblind", kind, "--severity", String(severity), input, "--json");
        const l = linear(culori.parse(input));
        const seen = filter(severity)({ mode: "rgb", r: l.r, g: l.g, b: l.b });
        const theirs = culori.rgb({ mode: "lrgb", r: seen.r, g: seen.g, b: seen.b });
        for (const channel of ["r", "g", "b"]) near(ours[channel], Math.min(1, Math.max(0, theirs[channel])), 2e-4, `${kind} ${severity} ${input} ${channel}`);
      }
    }
  }
  for (const [text, background] of [["#777777", "#ffffff"], ["#ffffff", "#2c3e50"], ["#e74c3c", "#ecf0f1"]]) {
    const ours = JSON.parse(execFileSync(tincture, ["contrast", text, background, "--json"], { encoding: "utf8" }));
    near(ours.ratio, culori.wcagContrast(text, background), 1e-9, `ratio ${text} on ${background}`);
    const rgb = (hex) => [1, 3, 5].map((at) => parseInt(hex.slice(at, at + 2), 16));
    near(ours.apcaLc, APCAcontrast(sRGBtoY(rgb(text)), sRGBtoY(rgb(background))), 1e-9, `Lc ${text} on ${background}`);
    assert.equal(ours.AA, ours.ratio >= 4.5);
  }
});

test("sort-by, distinct and their arguments behave as a person expects", () => {
  const hues = run("sort-by", "hue", "#3498db", "#e74c3c", "#2ecc71", "--json").map((color) => color.hex);
  const hueOf = (hex) => culori.oklch(hex).h;
  assert.deepEqual(hues, [...hues].sort((a, b) => hueOf(a) - hueOf(b)));
  const distinct = JSON.parse(execFileSync(tincture, ["distinct", "5", "--fixed", "#ffffff", "--json"], { encoding: "utf8" }));
  assert.equal(distinct.colors.length, 5);
  assert.equal(distinct.colors[0].hex, "#FFFFFF", "the fixed colour is kept");
  assert.ok(distinct.leastDistance > 30, `five colours are far apart: ${distinct.leastDistance}`);
  const again = JSON.parse(execFileSync(tincture, ["distinct", "5", "--fixed", "#ffffff", "--json"], { encoding: "utf8" }));
  assert.deepEqual(again, distinct, "seeded: the same answer every time");
  const lines = execFileSync(tincture, ["rotate", "180"], { input: "#ff0000\n\n#00ffff\n", encoding: "utf8" });
  assert.equal(lines, "#00FFFF\n#FF0000\n", "colours one a line on standard input");
});

test("gradient --steps samples OKLab from A to B as culori interpolates it", () => {
  const ours = run("gradient", "#e74c3c", "#3498db", "--steps", "5", "--json");
  const theirs = culori.samples(5).map(culori.interpolate(["#e74c3c", "#3498db"], "oklab")).map(culori.rgb);
  assert.equal(ours.length, 5);
  ours.forEach((color, i) => {
    for (const channel of ["r", "g", "b"])
      assert.ok(Math.abs(color[channel] - Math.min(1, Math.max(0, theirs[i][channel]))) < 2e-4, `step ${i} ${channel}: ${color[channel]} vs ${theirs[i][channel]}`);
  });
});
