// `menutone simulator` on a new root in a temporary folder of its own, its
// page open in Debian's chromium with both phones' first pictures drawn; the
// test, the benchmark and the README's picture all start it this way.
import { spawn, execFileSync } from "node:child_process";
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { createRequire } from "node:module";

const { chromium } = createRequire(import.meta.url)("playwright-core");

// Resolves to { folder, simulator, address, browser, page }; session.close()
// ends the browser and the simulator (Ctrl-C) and removes the folder, also
// after a failure midway.
export async function openSimulator(command, { folderPrefix, viewport = { width: 1000, height: 900 }, deviceScaleFactor } = {}) {
  const session = { folder: mkdtempSync(join(tmpdir(), folderPrefix)) };
  session.close = async () => {
    await session.browser?.close();
    const simulator = session.simulator;
    if (simulator && simulator.exitCode === null) {
      const ended = new Promise((resolve) => simulator.on("exit", resolve));
      simulator.kill("SIGINT");
      await ended;
    }
    rmSync(session.folder, { recursive: true, force: true });
  };
  try {
    const root = join(session.folder, "root");
    execFileSync(command, ["root", "create", root], { stdio: "ignore" });
    session.simulator = spawn(command, ["simulator", "--root", root, "--port", "0"], { stdio: ["ignore", "pipe", "inherit"] });
    session.address = await new Promise((resolve, reject) => {
      let heard = "";
      session.simulator.stdout.on("data", (chunk) => {
        heard += chunk;
        const found = heard.match(/http:\/\/127\.0\.0\.1:\d+\//);
        if (found) resolve(found[0]);
      });
      session.simulator.on("exit", (code) => reject(new Error(`the simulator ended (${code}) before it listened`)));
    });
    session.browser = await chromium.launch({ executablePath: process.env.CHROMIUM || "/usr/bin/chromium", args: ["--no-sandbox"] });
    session.page = await session.browser.newPage(deviceScaleFactor ? { viewport, deviceScaleFactor } : { viewport });
    await session.page.goto(session.address);
    await session.page.waitForFunction(() => ["settings", "home"].every((id) => Number(document.getElementById(id).dataset.frames) > 0));
  } catch (error) {
    await session.close();
    throw error;
  }
  return session;
}
