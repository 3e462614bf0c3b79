// Takes the README's picture of the simulator page: a new root, the
// Settings app on Menutone's configuration screen, and the home screen with
// Camera's quick actions open.
//   MENUTONE_COMMAND=build/bin/menutone node tests/browser/screenshot.mjs docs/simulator.png
import { openSimulator } from "./simulator-session.mjs";

const command = process.env.MENUTONE_COMMAND;
const output = process.argv[2];
if (!command || !output) {
  console.error("usage: MENUTONE_COMMAND=menutone node screenshot.mjs OUTPUT.png");
  process.exit(2);
}

const session = await openSimulator(command, { folderPrefix: `menutone-screenshot-${process.pid}-`, viewport: { width: 1366, height: 768 }, deviceScaleFactor: 1 });
try {
  const page = session.page;
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
  await session.close();
}
