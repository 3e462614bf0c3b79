// The simulator page in a real browser: a person's pointer and keyboard on
// the two phones, and the menu restyling as the Settings app changes it.
//   MENUTONE_COMMAND=build/apps/menutone node --test tests/browser/
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { spawn, execFileSync } from "node:child_process";
import { mkdtempSync, rmSync, existsSync, readdirSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { createRequire } from "node:module";

const { chromium } = createRequire(import.meta.url)("playwright-core");
const command = process.env.MENUTONE_COMMAND;
const browserPath = process.env.CHROMIUM || "/usr/bin/chromium";

let folder, simulator, address, browser, page;

before(async () => {
  assert.ok(command, "MENUTONE_COMMAND names the menutone program");
  folder = mkdtempSync(join(tmpdir(), "menutone-browser-"));
  execFileSync(command, ["root", "create", join(folder, "root")], { stdio: "ignore" });
  simulator = spawn(command, ["simulator", "--root", join(folder, "root"), "--port", "0"], { stdio: ["ignore", "pipe", "inherit"] });
  address = await new Promise((resolve, reject) => {
    let heard = "";
    simulator.stdout.on("data", (chunk) => {
      heard += chunk;
      const found = heard.match(/http:\/\/127\.0\.0\.1:\d+\//);
      if (found) resolve(found[0]);
    });
    simulator.on("exit", (code) => reject(new Error(`the simulator ended (${code}) before it listened`)));
  });
  browser = await chromium.launch({ executablePath: browserPath, args: ["--no-sandbox"] });
  page = await browser.newPage({ viewport: { width: 1000, height: 900 } });
  await page.goto(address);
  // Both phones have drawn a first picture.
  await page.waitForFunction(() => ["settings", "home"].every((id) => Number(document.getElementById(id).dataset.frames) > 0));
});

after(async () => {
  await browser?.close();
  if (simulator && simulator.exitCode === null) {
    const ended = new Promise((resolve) => simulator.on("exit", resolve));
    simulator.kill("SIGINT");
    await ended;
  }
  if (folder) rmSync(folder, { recursive: true, force: true });
});

const home = () => page.getByRole("region", { name: "Home screen phone" });
const settings = () => page.getByRole("region", { name: "Settings phone" });
const lastEvent = () => page.evaluate(() => document.body.dataset.lastEvent || "");
const frameCount = (id) => page.evaluate((id) => Number(document.getElementById(id).dataset.frames), id);

// Holds the pointer on an element for the time given, in milliseconds.
async function hold(locator, milliseconds) {
  const box = await locator.boundingBox();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 3);
  await page.mouse.down();
  await page.waitForTimeout(milliseconds);
  await page.mouse.up();
}

test("a long press on an icon opens its menu, whose items are buttons a click chooses", async () => {
  const box = await home().getByRole("button", { name: "Photos" }).boundingBox();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 3);
  // Times taken in the page: from the pointer going down to the menu's
  // items being laid over the picture.
  await page.evaluate(() => {
    const screen = document.getElementById("home");
    screen.addEventListener("pointerdown", () => (window.pressedAt = performance.now()), { once: true });
    new MutationObserver((changes, observer) => {
      if (screen.querySelector('[aria-label="Most Recent"]')) {
        window.menuShownAt = performance.now();
        observer.disconnect();
      }
    }).observe(screen, { childList: true, subtree: true });
  });
  await page.mouse.down();
  // The menu opens under the finger still held, after the full press.
  const mostRecent = home().getByRole("button", { name: "Most Recent" });
  await mostRecent.waitFor();
  const shownAfter = await page.evaluate(() => window.menuShownAt - window.pressedAt);
  console.log(`# a held click to its menu on the page: ${shownAfter.toFixed(0)} ms (the press itself takes 500 ms)`);
  await page.mouse.up();
  assert.equal(await lastEvent(), "menu com.apple.mobileslideshow");

  await mostRecent.click();
  await page.waitForFunction(() => document.body.dataset.lastEvent.startsWith("shortcut "));
  assert.equal(await page.getByRole("log").textContent(), "Shortcut chosen: com.apple.photos.most-recent");
  await home().getByRole("button", { name: "Photos" }).waitFor();
});

test("a short click on an icon opens the app instead", async () => {
  await home().getByRole("button", { name: "Weather" }).click();
  await page.waitForFunction(() => document.body.dataset.lastEvent === "launch com.apple.weather");
  assert.equal(await home().getByRole("button", { name: "Most Recent" }).count(), 0);
});

const storeWithRedTitles = `<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict><key>shortcutTitleColor</key><integer>25</integer></dict></plist>\n`;

test("the keyboard reaches every Settings row and the open menu restyles as a switch flips", async () => {
  // Titles in a colour of the palette, so turning Menutone off shows.
  assert.equal(await page.evaluate(async (store) => (await fetch("/store", { method: "POST", body: store })).status, storeWithRedTitles), 200);
  await hold(home().getByRole("button", { name: "Photos" }), 700);
  await home().getByRole("button", { name: "Most Recent" }).waitFor();
  const pictureBefore = await home().locator("img").getAttribute("src");

  // Tab to the Enabled switch and flip it with the space bar, as without a mouse.
  const enabled = settings().getByRole("switch", { name: "Enabled" });
  assert.equal(await enabled.getAttribute("aria-checked"), "true");
  await enabled.focus();
  const homeFrames = await frameCount("home");
  await page.keyboard.press("Space");
  await settings().getByRole("switch", { name: "Enabled", checked: false }).waitFor();
  // Store, notification, tweak: the menu is built again without Menutone's style.
  await page.waitForFunction((before) => Number(document.getElementById("home").dataset.frames) > before, homeFrames);
  await page.waitForFunction((before) => document.querySelector("#home img").src !== before, pictureBefore);

  // Enter on a row opens its screen; the back button comes back.
  await settings().getByRole("switch", { name: "Enabled" }).focus();
  await page.keyboard.press("Space");
  await settings().getByRole("switch", { name: "Enabled", checked: true }).waitFor();
  await settings().getByRole("button", { name: "Configuration" }).focus();
  await page.keyboard.press("Enter");
  await settings().getByRole("button", { name: "Menutone" }).waitFor();
  await settings().getByRole("button", { name: "Menutone" }).click();
  await settings().getByRole("switch", { name: "Enabled" }).waitFor();
});

test("a store from a device uploads through the page and a bad one is refused with the reason", async () => {
  await page.locator("#upload").setInputFiles({ name: "com.harbrook.Menutone.plist", mimeType: "application/x-plist", buffer: Buffer.from(storeWithRedTitles) });
  await page.getByRole("status").filter({ hasText: "the store was replaced" }).waitFor();
  await page.locator("#upload").setInputFiles({ name: "notes.txt", mimeType: "text/plain", buffer: Buffer.from("shopping list") });
  await page.getByRole("status").filter({ hasText: "the store was not changed" }).waitFor();
  const downloaded = await page.evaluate(async () => (await fetch("/store")).text());
  assert.match(downloaded, /<key>shortcutTitleColor<\/key>\s*<integer>25<\/integer>/);
});

test("closing the simulator gives back the home screen's pid file", async () => {
  await browser.close();
  browser = null;
  const ended = new Promise((resolve) => simulator.on("exit", resolve));
  simulator.kill("SIGINT");
  assert.equal(await ended, 0);
  assert.deepEqual(readdirSync(join(folder, "root/var/run")), ["notify"]);
  assert.ok(!existsSync(join(folder, "root/var/run/SpringBoard.pid")));
});
