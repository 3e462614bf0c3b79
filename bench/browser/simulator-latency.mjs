// How long a person waits on the simulator page, measured in the browser:
// a click on a Settings switch until the Settings phone's new picture has
// loaded, and until the home screen's open menu, restyled by the change,
// has loaded; how many pictures a second the page shows while the switch
// slides (a quarter second); and, for a push to Configuration and back, how
// many while the screen slides (0.35 s) and how long until the new screen's
// elements can be clicked. Medians over the clicks.
//   MENUTONE_COMMAND=build/bin/menutone node bench/browser/simulator-latency.mjs [CLICKS]
// (playwright-core comes from tests/browser, where scripts/install-deps puts it)
import { openSimulator } from "../../tests/browser/simulator-session.mjs";

const command = process.env.MENUTONE_COMMAND;
const clicks = Number(process.argv[2] || 21);
if (!command) {
  console.error("simulator-latency: set MENUTONE_COMMAND to the menutone program");
  process.exit(2);
}

const session = await openSimulator(command, { folderPrefix: "menutone-latency-" });
try {
  const page = session.page;
  // Every picture's load, timed in the page.
  await page.evaluate(() => {
    window.loads = { settings: [], home: [] };
    for (const id of ["settings", "home"])
      document.querySelector(`#${id} img`).addEventListener("load", () => window.loads[id].push(performance.now()));
    document.getElementById("settings").addEventListener("pointerup", () => (window.clickedAt = performance.now()));
  });
  const boxOf = (phone, name) =>
    page.evaluate(
      ([phone, name]) => {
        // Where the phone's element is now, as the page scales the phones.
        const box = document.getElementById(phone).querySelector(`button[aria-label="${name}"]`).getBoundingClientRect();
        return { x: box.left + box.width / 2, y: box.top + box.height / 2 };
      },
      [phone, name]);

  // The Mail menu open, as a designer would keep it while trying colours.
  const mail = await boxOf("home", "Mail");
  await page.mouse.move(mail.x, mail.y);
  await page.mouse.down();
  await page.getByRole("region", { name: "Home screen phone" }).getByRole("button", { name: "New Message" }).waitFor();
  await page.mouse.up();
  await page.waitForTimeout(300);

  const settingsWaits = [], menuWaits = [], animationRates = [];
  for (let i = 0; i < clicks; i++) {
    const toggle = await boxOf("settings", "Enabled");
    const counts = await page.evaluate(() => ({ settings: window.loads.settings.length, home: window.loads.home.length }));
    await page.mouse.click(toggle.x, toggle.y);
    await page.waitForFunction((counts) => window.loads.settings.length > counts.settings && window.loads.home.length > counts.home, counts);
    const times = await page.evaluate((counts) => ({ clicked: window.clickedAt, settings: window.loads.settings[counts.settings], home: window.loads.home[counts.home] }), counts);
    settingsWaits.push(times.settings - times.clicked);
    menuWaits.push(times.home - times.clicked);
    // Past the Settings phone's settled picture, so the next click starts quiet.
    await page.waitForTimeout(450);
    // The pictures shown while the switch slid: from the first after the click, a quarter second.
    const sliding = await page.evaluate((counts) => window.loads.settings.slice(counts.settings).filter((at, _, all) => at - all[0] < 250).length, counts);
    animationRates.push(sliding / 0.25);
  }
  // Push and pop: pictures during the slide, and the click until the new screen answers.
  const slideRates = [], readyWaits = [];
  const settings = page.getByRole("region", { name: "Settings phone" });
  for (let i = 0; i < Math.max(3, Math.floor(clicks / 3)); i++) {
    for (const [target, arrives] of [["Configuration", "Use preset"], ["Menutone", "Enabled"]]) {
      const button = settings.getByRole("button", { name: target, exact: true });
      const at = await button.boundingBox();
      const before = await page.evaluate((arrives) => {
        // The moment the new screen's element is laid over its picture.
        const layer = document.querySelector("#settings .elements");
        window.readyAt = undefined;
        new MutationObserver((changes, observer) => {
          if (layer.querySelector(`button[aria-label="${arrives}"]`)) {
            window.readyAt = performance.now();
            observer.disconnect();
          }
        }).observe(layer, { childList: true, subtree: true, attributes: true });
        return window.loads.settings.length;
      }, arrives);
      await page.mouse.click(at.x + at.width / 2, at.y + at.height / 2);
      await page.waitForFunction(() => window.readyAt !== undefined);
      readyWaits.push(await page.evaluate(() => window.readyAt - window.clickedAt));
      const sliding = await page.evaluate((before) => window.loads.settings.slice(before).filter((at, _, all) => at - all[0] < 350).length, before);
      slideRates.push(sliding / 0.35);
      await page.waitForTimeout(450);
    }
  }
  const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
  const describe = (values) => `median ${median(values).toFixed(1)} ms, min ${Math.min(...values).toFixed(1)}, max ${Math.max(...values).toFixed(1)}`;
  console.log(`click to the new Settings picture (${clicks} clicks): ${describe(settingsWaits)}`);
  console.log(`click to the restyled menu on the home screen: ${describe(menuWaits)}`);
  console.log(`pictures a second while the switch slides: median ${median(animationRates).toFixed(0)}, min ${Math.min(...animationRates).toFixed(0)}`);
  console.log(`pictures a second while a pushed or popped screen slides: median ${median(slideRates).toFixed(0)}, min ${Math.min(...slideRates).toFixed(0)}`);
  console.log(`click to the pushed or popped screen answering clicks (${readyWaits.length}): ${describe(readyWaits)}`);
} finally {
  await session.close();
}
