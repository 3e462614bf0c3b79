// The simulator page in a real browser: a person's pointer and keyboard on
// the two phones, and the menu restyling as the Settings app changes it.
//   MENUTONE_COMMAND=build/bin/menutone node --test tests/browser/
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { spawn } from "node:child_process";
import { rmSync, existsSync, readdirSync, readFileSync } from "node:fs";
import { request } from "node:http";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { deflateSync } from "node:zlib";

import { openSimulator } from "./simulator-session.mjs";

const isRunning = (pid) => {
  try {
    process.kill(pid, 0);
    return true;
  } catch (error) {
    return error.code !== "ESRCH";
  }
};
const command = process.env.MENUTONE_COMMAND;

let session, folder, simulator, address, page;

before(async () => {
  assert.ok(command, "MENUTONE_COMMAND names the menutone program");
  // Named after this process; a folder left by a run that was killed is removed.
  for (const name of readdirSync(tmpdir())) {
    const owner = Number(name.match(/^menutone-browser-(\d+)-/)?.[1]);
    if (owner > 0 && !isRunning(owner)) rmSync(join(tmpdir(), name), { recursive: true, force: true });
  }
  session = await openSimulator(command, { folderPrefix: `menutone-browser-${process.pid}-` });
  ({ folder, simulator, address, page } = session);
});

after(async () => {
  if (!session) return;
  session.simulator = simulator; // the one started again, if a test did
  await session.close();
});

const home = () => page.getByRole("region", { name: "Home screen phone" });
const settings = () => page.getByRole("region", { name: "Settings phone" });
const lastEvent = () => page.evaluate(() => document.body.dataset.lastEvent || "");
const frameCount = (id) => page.evaluate((id) => Number(document.getElementById(id).dataset.frames), id);

test("a long press on an icon opens its menu, whose items are buttons a click chooses", async () => {
  const box = await boxOf("Home screen phone", "Photos");
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

// The palette's colours the menu tests look for: Dark Red (index 25) as a
// title, and Orange, the background of Sky Blue's complementary preset.
const darkRed = [191, 57, 42];
const orange = [229, 125, 34];

// How many pixels in the top half of a menu item (its title) are within a
// few steps of the colour, read from the picture the page shows.
async function titlePixelsNear(itemName, rgb) {
  return page.evaluate(async ([name, rgb]) => {
    const screen = document.getElementById("home");
    const item = screen.querySelector(`[aria-label="${name}"]`);
    const image = screen.querySelector("img");
    // A picture just put in place is drawn once it is decoded.
    await image.decode().catch(() => {});
    const canvas = document.createElement("canvas");
    canvas.width = 375;
    canvas.height = 667;
    const context = canvas.getContext("2d");
    context.drawImage(image, 0, 0, 375, 667);
    const x = parseFloat(item.style.left), y = parseFloat(item.style.top);
    const pixels = context.getImageData(x, y, parseFloat(item.style.width) * 0.6, parseFloat(item.style.height) / 2).data;
    let count = 0;
    for (let i = 0; i < pixels.length; i += 4) {
      if (Math.max(...[0, 1, 2].map((channel) => Math.abs(pixels[i + channel] - rgb[channel]))) <= 24) count++;
    }
    return count;
  }, [itemName, rgb]);
}

// Where an element of a phone is on the page now, as the phones are scaled
// to fit the window.
async function boxOf(phone, name) {
  const element = page.getByRole("region", { name: phone }).getByRole("button", { name, exact: true });
  await element.waitFor();
  return element.boundingBox();
}

async function openMenuOf(appName, firstItem) {
  const box = await boxOf("Home screen phone", appName);
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 3);
  await page.mouse.down();
  await home().getByRole("button", { name: firstItem }).waitFor();
  await page.mouse.up();
}

async function closeMenu() {
  // The middle of the screen, away from any menu.
  const box = await home().boundingBox();
  await page.mouse.click(box.x + box.width / 2, box.y + box.height * 0.49);
  await page.waitForFunction(() => document.body.dataset.lastEvent === "closed");
}

// Activates a Settings element as a screen reader or the keyboard does: by
// its name, scrolled into view first by the phone if it is out of sight.
async function activate(role, name) {
  const element = settings().getByRole(role, { name, exact: true });
  await element.focus();
  await page.keyboard.press(role === "switch" ? "Space" : "Enter");
}

test("Configuration, Title color, Dark Red by their names turn the Mail menu's titles dark red in the page's pixels", async () => {
  await openMenuOf("Mail", "New Message");
  assert.equal(await titlePixelsNear("New Message", darkRed), 0, "black titles to begin with");
  await closeMenu();

  await settings().getByRole("button", { name: "Configuration", exact: true }).click();
  await settings().getByRole("button", { name: "Title color", exact: true }).click();
  // Dark Red is far down the list, out of sight: reached by name.
  await settings().getByRole("button", { name: "Dark Red", exact: true }).waitFor({ state: "attached" });
  await activate("button", "Dark Red");
  await settings().getByRole("button", { name: "Configuration", exact: true }).waitFor(); // the back button
  await settings().getByRole("button", { name: "Configuration", exact: true }).click();
  await settings().getByRole("button", { name: "Title color", exact: true }).waitFor();

  await openMenuOf("Mail", "New Message");
  const pixels = await titlePixelsNear("New Message", darkRed);
  assert.ok(pixels > 30, `dark red title pixels: ${pixels}`);
});

test("Use preset and a preset built from a colour restyle the open menu without the home screen being touched", async () => {
  assert.equal(await home().getByRole("button", { name: "New Message" }).count(), 1, "the Mail menu is still open");
  const pictureBefore = await home().locator("img").getAttribute("src");
  await activate("switch", "Use preset");
  await settings().getByRole("switch", { name: "Use preset", checked: true }).waitFor();
  await settings().getByRole("button", { name: "Preset color", exact: true }).click();
  await settings().getByRole("radio", { name: "Complementary" }).click();
  // Sky Blue's complementary set: Dark Teal titles on an Orange plate.
  await settings().getByRole("button", { name: "Sky Blue", exact: true }).click();
  // Store, notification, tweak: the menu is built again in the preset's
  // colours. Each change of the store brings a picture (the preset switched
  // on without colours first); the one with the plate counts.
  await page.waitForFunction((before) => document.querySelector("#home img").src !== before, pictureBefore);
  const store = join(folder, "root/var/mobile/Library/Preferences/com.harbrook.Menutone.plist");
  let plate = await titlePixelsNear("New Message", orange);
  for (const start = Date.now(); plate < 500 && Date.now() - start < 20000; plate = await titlePixelsNear("New Message", orange))
    await new Promise((resolve) => setTimeout(resolve, 100));
  assert.ok(plate >= 500, `orange plate pixels: ${plate}; the store:\n${readFileSync(store, "utf8")}`);
  assert.equal(await titlePixelsNear("New Message", darkRed), 0, "the preset's title colour replaced Dark Red");
  assert.equal(await home().getByRole("button", { name: "New Message" }).count(), 1, "still open");
  await settings().getByRole("button", { name: "Configuration", exact: true }).click();
  await settings().getByRole("button", { name: "Menutone", exact: true }).click();
  await settings().getByRole("switch", { name: "Enabled" }).waitFor();
});

test("the keyboard flips Enabled and the open menu loses Menutone's style", async () => {
  const pictureBefore = await home().locator("img").getAttribute("src");
  await activate("switch", "Enabled");
  await settings().getByRole("switch", { name: "Enabled", checked: false }).waitFor();
  await page.waitForFunction((before) => document.querySelector("#home img").src !== before, pictureBefore);
  await activate("switch", "Enabled");
  await settings().getByRole("switch", { name: "Enabled", checked: true }).waitFor();
  await closeMenu();
});

test("Yes in the respring alert starts the home screen over", async () => {
  await settings().getByRole("button", { name: "Respring", exact: true }).click();
  // The home screen's picture count when the page hears of the respring,
  // taken in the page: the new home screen's first picture may come at once.
  await page.evaluate(() => {
    const log = document.getElementById("log");
    new MutationObserver((changes, observer) => {
      if (!log.textContent.startsWith("Respring")) return;
      window.framesAtRespring = Number(document.getElementById("home").dataset.frames);
      observer.disconnect();
    }).observe(log, { childList: true, characterData: true, subtree: true });
  });
  await settings().getByRole("button", { name: "Yes", exact: true }).click();
  await page.getByRole("log").filter({ hasText: "Respring: the home screen starts over" }).waitFor();
  await page.waitForFunction(() => Number(document.getElementById("home").dataset.frames) > window.framesAtRespring);
  await home().getByRole("button", { name: "Photos" }).waitFor();
  await settings().getByRole("switch", { name: "Enabled" }).waitFor();
});

test("each phone's round home button takes Settings back to its first screen", async () => {
  await settings().getByRole("button", { name: "Configuration", exact: true }).click();
  await settings().getByRole("switch", { name: "Use preset" }).waitFor();
  await page.getByRole("button", { name: "Home button of the Settings phone" }).click();
  // The list's row, not the back button that also reads "Menutone".
  const entry = settings().locator('[data-id="row:0:0"][aria-label="Menutone"]');
  await entry.waitFor();
  assert.equal(await settings().getByRole("switch", { name: "Use preset" }).count(), 0);
  if (process.env.MENUTONE_SCREENSHOTS) await page.screenshot({ path: join(process.env.MENUTONE_SCREENSHOTS, "home-button.png") });
  // Back into Menutone for the tests after this one, by the keyboard.
  await entry.focus();
  await page.keyboard.press("Enter");
  await settings().getByRole("switch", { name: "Enabled" }).waitFor();
});

test("a store from a device uploads through the page and a malformed one is refused with the reason", async () => {
  await page.locator("#upload").setInputFiles({ name: "com.harbrook.Menutone.plist", mimeType: "application/x-plist", buffer: Buffer.from(storeWithRedTitles) });
  await page.getByRole("status").filter({ hasText: "the store was replaced" }).waitFor();
  const store = join(folder, "root/var/mobile/Library/Preferences/com.harbrook.Menutone.plist");
  const before = readFileSync(store);
  await page.locator("#upload").setInputFiles({ name: "broken.plist", mimeType: "application/x-plist", buffer: Buffer.from("<plist><dict><key>a</key></plist>") });
  await page.getByRole("status").filter({ hasText: "the store was not changed" }).waitFor();
  assert.deepEqual(readFileSync(store), before);
  const downloaded = await page.evaluate(async () => (await fetch("/store")).text());
  assert.match(downloaded, /<key>shortcutTitleColor<\/key>\s*<integer>25<\/integer>/);
});

test("the open menu's contrast badge turns amber for a title that vanishes, and Match wallpaper makes it read", async () => {
  const badge = page.locator("#contrast");
  await openMenuOf("Mail", "New Message");
  await page.waitForFunction(() => document.getElementById("contrast").dataset.verdict === "pass");
  const whiteTitles = storeWithRedTitles.replace("<integer>25</integer>", "<integer>12</integer>");
  await page.locator("#upload").setInputFiles({ name: "white.plist", mimeType: "application/x-plist", buffer: Buffer.from(whiteTitles) });
  await page.waitForFunction(() => document.getElementById("contrast").dataset.verdict === "fail");
  assert.match(await badge.textContent(), /^Title 1\.\d:1 is hard to read$/);
  await page.getByRole("button", { name: "Match wallpaper" }).click();
  await page.waitForFunction(() => document.getElementById("contrast").dataset.verdict === "pass");
  assert.match(await badge.textContent(), /^Title \d+\.\d:1 reads$/);
  const store = readFileSync(join(folder, "root/var/mobile/Library/Preferences/com.harbrook.Menutone.plist"), "utf8");
  assert.doesNotMatch(store, /<key>shortcutTitleColor<\/key>\s*<integer>12<\/integer>/);
  await closeMenu();
  assert.equal(await badge.isVisible(), false, "no menu, no badge");
});

test("the menu key on a focused app opens its menu, the arrows walk its items and Escape gives the app the focus again", async () => {
  const focused = () => page.evaluate(() => document.activeElement?.getAttribute("aria-label") || "");
  await home().getByRole("button", { name: "Mail", exact: true }).focus();
  await page.keyboard.press("Shift+F10");
  await page.waitForFunction(() => document.activeElement?.dataset.id === "item:0");
  assert.equal(await lastEvent(), "menu com.apple.mobilemail");
  const items = await home().locator('button[data-id^="item:"]').evaluateAll((buttons) => buttons.map((button) => button.getAttribute("aria-label")));
  assert.ok(items.length >= 2, `items: ${items}`);
  await page.keyboard.press("ArrowDown");
  assert.equal(await focused(), items[1]);
  await page.keyboard.press("ArrowUp");
  await page.keyboard.press("ArrowUp");
  assert.equal(await focused(), items.at(-1), "the arrows wrap round");
  await page.keyboard.press("Escape");
  await page.waitForFunction(() => document.body.dataset.lastEvent === "closed");
  await page.waitForFunction(() => document.activeElement?.getAttribute("aria-label") === "Mail");

  // The context-menu key does the same, and Enter on an item chooses it.
  await page.keyboard.press("ContextMenu");
  await page.waitForFunction(() => document.activeElement?.dataset.id === "item:0");
  await page.keyboard.press("Enter");
  await page.waitForFunction(() => document.body.dataset.lastEvent.startsWith("shortcut "));
});

test("Tab reaches every control of the page, Upload store… included, by a name that is no file name", async () => {
  await page.locator("h1").click();
  const reached = [];
  for (let i = 0; i < 8; i++) {
    await page.keyboard.press("Tab");
    reached.push(await page.evaluate(() => {
      const element = document.activeElement;
      return element.getAttribute("aria-label") || element.textContent.trim();
    }));
  }
  for (const name of ["Phone", "Wallpaper", "Download store", "Upload store…"]) assert.ok(reached.includes(name), `${name} in ${reached}`);
  const names = await page.locator("[aria-label]").evaluateAll((elements) => elements.map((element) => element.getAttribute("aria-label")));
  assert.deepEqual(names.filter((name) => /\.(png|jpe?g|plist)$/i.test(name) || name === "Right"), []);
});

// A PNG of one colour, made here so that no picture tool is needed.
function solidPNG(width, height, [r, g, b]) {
  const crcTable = Array.from({ length: 256 }, (_, n) => {
    let c = n;
    for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    return c >>> 0;
  });
  const crc = (bytes) => {
    let c = 0xffffffff;
    for (const byte of bytes) c = crcTable[(c ^ byte) & 0xff] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
  };
  const chunk = (type, data) => {
    const body = Buffer.concat([Buffer.from(type, "latin1"), data]);
    const length = Buffer.alloc(4);
    length.writeUInt32BE(data.length);
    const check = Buffer.alloc(4);
    check.writeUInt32BE(crc(body));
    return Buffer.concat([length, body, check]);
  };
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 2, 0, 0, 0], 8);
  const row = Buffer.concat([Buffer.from([0]), Buffer.from(Array.from({ length: width }, () => [r, g, b]).flat())]);
  const pixels = deflateSync(Buffer.concat(Array.from({ length: height }, () => row)));
  return Buffer.concat([Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]), chunk("IHDR", header), chunk("IDAT", pixels), chunk("IEND", Buffer.alloc(0))]);
}

// The home phone's picture at a point (in points), as the page shows it.
async function homePixel(x, y) {
  return page.evaluate(async ([x, y]) => {
    const screen = document.getElementById("home");
    const image = screen.querySelector("img");
    await image.decode().catch(() => {});
    const canvas = document.createElement("canvas");
    [canvas.width, canvas.height] = [screen.offsetWidth, screen.offsetHeight];
    const context = canvas.getContext("2d");
    context.drawImage(image, 0, 0, canvas.width, canvas.height);
    return [...context.getImageData(x, y, 1, 1).data.slice(0, 3)];
  }, [x, y]);
}

test("a photo uploaded as the wallpaper is drawn on the home screen, and a malformed one is refused with the old one kept", async () => {
  const framesBefore = await frameCount("home");
  await page.locator("#photo").setInputFiles({ name: "magenta.png", mimeType: "image/png", buffer: solidPNG(90, 160, [200, 0, 200]) });
  await page.getByRole("status").filter({ hasText: "the wallpaper is your photo" }).waitFor();
  await page.waitForFunction((before) => Number(document.getElementById("home").dataset.frames) > before, framesBefore);
  // Bare wallpaper: the left edge of the first page's empty last row.
  const [r, g, b] = await homePixel(20, 530);
  assert.ok(r > 150 && g < 60 && b > 150, `magenta expected, not ${[r, g, b]}`);

  const kept = join(folder, "root/var/mobile/Library/SpringBoard/HomeBackground.jpg");
  const before = readFileSync(kept);
  await page.locator("#photo").setInputFiles({ name: "holiday.jpg", mimeType: "image/jpeg", buffer: Buffer.from("\xff\xd8\xff\xe0 not really a JPEG") });
  await page.getByRole("status").filter({ hasText: "the wallpaper was not changed" }).waitFor();
  assert.deepEqual(readFileSync(kept), before);

  // A built-in one by the menu.
  await page.getByRole("combobox", { name: "Wallpaper" }).selectOption("Graphite");
  await page.getByRole("status").filter({ hasText: "the wallpaper is Graphite" }).waitFor();
  assert.notDeepEqual(readFileSync(kept), before);
});

test("the phone menu turns both phones into the 6s Plus and back", async () => {
  const sizeOf = (id) => page.evaluate((id) => {
    const screen = document.getElementById(id);
    return [screen.offsetWidth, screen.offsetHeight, screen.querySelector("img").naturalWidth];
  }, id);
  await page.getByRole("combobox", { name: "Phone" }).selectOption({ label: "iPhone 6s Plus" });
  for (const id of ["home", "settings"])
    await page.waitForFunction((id) => document.getElementById(id).offsetWidth === 414, id, { timeout: 30000 });
  await page.waitForFunction(() => document.querySelector("#home img").naturalWidth === 1242);
  assert.deepEqual(await sizeOf("home"), [414, 736, 1242]);
  await home().getByRole("button", { name: "Photos" }).waitFor();
  await settings().getByRole("switch", { name: "Enabled" }).waitFor();
  const fitted = await page.locator("#home").boundingBox();
  assert.ok(fitted.y + fitted.height <= 900, "the taller phone still fits the window");

  await page.getByRole("combobox", { name: "Phone" }).selectOption({ label: "iPhone 6s" });
  for (const id of ["home", "settings"])
    await page.waitForFunction((id) => document.getElementById(id).offsetWidth === 375, id, { timeout: 30000 });
  await page.waitForFunction(() => document.querySelector("#home img").naturalWidth === 750);
  await settings().getByRole("switch", { name: "Enabled" }).waitFor();
});

test("the phones fit a laptop's window, a 4K screen and a narrow one, and a click lands where it is drawn", async () => {
  const other = await session.browser.newPage({ viewport: { width: 1366, height: 768 } });
  try {
    await other.goto(address);
    await other.waitForFunction(() => ["settings", "home"].every((id) => Number(document.getElementById(id).dataset.frames) > 0));
    const layout = () => other.evaluate(() => ({
      devices: [...document.querySelectorAll(".device")].map((device) => device.getBoundingClientRect().toJSON()),
      isStacked: document.querySelector("main").classList.contains("stacked"),
      scrollsSideways: document.documentElement.scrollWidth > document.documentElement.clientWidth,
      window: [innerWidth, innerHeight],
    }));
    let seen = await layout();
    assert.equal(seen.isStacked, false);
    for (const box of seen.devices) assert.ok(box.bottom <= 768 && box.right <= 1366 && box.top >= 0, `inside the window: ${JSON.stringify(box)}`);
    assert.equal(seen.scrollsSideways, false);
    // A click on the scaled picture lands on the app drawn there.
    const weather = await other.getByRole("region", { name: "Home screen phone" }).getByRole("button", { name: "Weather", exact: true }).boundingBox();
    await other.mouse.click(weather.x + weather.width / 2, weather.y + weather.height / 3);
    await page.waitForFunction(() => document.body.dataset.lastEvent === "launch com.apple.weather");

    // The page lays out again on the resize event, which comes with the next frame.
    const resize = async (width, height) => {
      await other.setViewportSize({ width, height });
      await other.waitForFunction(([width, height]) => innerWidth === width && innerHeight === height, [width, height]);
      await other.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
    };
    await resize(3840, 2160);
    seen = await layout();
    assert.ok(seen.devices.every((box) => box.height > 1500 && box.bottom <= 2160), `grown to the screen: ${JSON.stringify(seen.devices)}`);

    await resize(520, 900);
    seen = await layout();
    assert.equal(seen.isStacked, true);
    assert.equal(seen.scrollsSideways, false);
    for (const box of seen.devices) assert.ok(box.left >= 0 && box.right <= 520, `inside the width: ${JSON.stringify(box)}`);
  } finally {
    await other.close();
  }
});

test("a request naming another host is refused", async () => {
  const { port } = new URL(address);
  const status = await new Promise((resolve, reject) => {
    request({ host: "127.0.0.1", port, path: "/", headers: { Host: `rebound.example:${port}` } }, (response) => {
      response.resume();
      resolve(response.statusCode);
    }).on("error", reject).end();
  });
  assert.equal(status, 403);
});

test("a home screen that dies is shown stopped, started again and drawn again", async () => {
  const pid = Number(readFileSync(join(folder, "root/var/run/SpringBoard.pid"), "utf8"));
  const framesBefore = await frameCount("home");
  process.kill(pid, "SIGKILL");
  await home().getByText("Home screen stopped — restarting").waitFor();
  await page.waitForFunction((before) => Number(document.getElementById("home").dataset.frames) > before && !document.getElementById("home").dataset.state, framesBefore);
  assert.ok(await home().getByRole("button", { name: "Photos" }).isVisible());
});

test("the page says when the server is gone and comes back with it", async () => {
  const ended = new Promise((resolve) => simulator.on("exit", resolve));
  simulator.kill("SIGINT");
  assert.equal(await ended, 0);
  // An empty lock file of the preferences' writers may stay, as cfprefsd's does.
  assert.deepEqual(readdirSync(join(folder, "root/var/run")).filter((name) => name !== "cfprefsd.lock"), ["notify"]);
  assert.ok(!existsSync(join(folder, "root/var/run/SpringBoard.pid")), "the home screen gave back its pid file");
  await page.getByRole("alert").filter({ hasText: "Disconnected — start menutone simulator again" }).waitFor();

  // Started again on the same port, the page reconnects by itself.
  const { port } = new URL(address);
  simulator = spawn(command, ["simulator", "--root", join(folder, "root"), "--port", port], { stdio: ["ignore", "pipe", "inherit"] });
  const framesBefore = await frameCount("home");
  await page.waitForFunction((before) => Number(document.getElementById("home").dataset.frames) > before, framesBefore, { timeout: 30000 });
  assert.ok(!(await page.getByRole("alert").isVisible()));
});
