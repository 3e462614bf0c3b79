// Takes the README's picture of the simulator page: a new root, the
// Settings app on Menutone's configuration screen, and the home screen with
// Camera's quick actions open.
//   MENUTONE_COMMAND=build/bin/menutone node tests/browser/screenshot.mjs docs/simulator.png
import { spawn, execFileSync } from "node:child_process";
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { createRequire } from "node:module";

const { chromium } = createRequire(import.meta.url)("playwright-core");
const command = process.env.MENUTONE_COMMAND;
const output = process.argv[2];
if (!command || !output) {
  console.error("usage: MENUTONE_COMMAND=menutone node screenshot.mjs OUTPUT.png");
  process.exit(2);
}

const folder = mkdtempSync(join(tmpdir(), `menutone-screenshot-${process.pid}-`));
let simulator, browser;
try {
  execFileSync(command, ["root", "create", join(folder, "root")], { stdio: "ignore" });
  simulator = spawn(command, ["simulator", "--root", join(folder, "root"), "--port", "0"], { stdio: ["ignore", "pipe", "inherit"] });
  const address = await new Promise((resolve, reject) => {
    let heard = "";
    simulator.stdout.on("data", (chunk) => {
      heard += chunk;
      const found = heard.match(/http:\/\/127\.0\.0\.1:\d+\//);
      if (found) resolve(found[0]);
    });
    simulator.on("exit", (code) => reject(new Error(`the simulator ended (${code}) before it listened`)));
  });
  browser = await chromium.launch({ executablePath: process.env.CHROMIUM || "/usr/bin/chromium", args: ["--no-sandbox"] });
  const page = await browser.newPage({ viewport: { width: 1000, height: 900 }, deviceScaleFactor: 1 });
  await page.goto(address);
  await page.waitForFunction(() => ["settings", "home"].every((id) => Number(document.getElementById(id).dataset.frames) > 0));
  const settings = page.getByRole("region", { name: "Settings phone" });
  const home = page.getByRole("region", { name: "Home screen phone" });
  await settings.getByRole("button", { name: "Configuration", exact: true }).click();
  await page.waitForTimeout(500);
  const camera = await home.getByRole("button", { name: "Camera", exact: true }).boundingBox();
  await page.mouse.move(camera.x + camera.width / 2, camera.y + camera.height / 3);
  await page.mouse.down();
  await home.getByRole("button", { name: "Take Selfie" }).waitFor();
  await page.mouse.up();
  await page.waitForTimeout(500);
  await page.screenshot({ path: output });
} finally {
  await browser?.close();
  if (simulator && simulator.exitCode === null) {
    const ended = new Promise((resolve) => simulator.on("exit", resolve));
    simulator.kill("SIGINT");
    await ended;
  }
  rmSync(folder, { recursive: true, force: true });
}
