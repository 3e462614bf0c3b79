#include "Simulator.h"

// One page, no outside resources: two phones at the device's size, each a
// picture with its accessible elements laid over it. A pointer on a phone
// is a finger (down, move, up, with the time held); the wheel scrolls. An
// element activated without a pointer (a screen reader, the keyboard) is
// activated by name, and the phone scrolls it into view first.
const char* simulatorPage()
{
    return R"PAGE(<!doctype html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Menutone simulator</title>
<link rel="icon" href="data:,">
<style>
  body { margin: 0; font: 14px -apple-system, "DejaVu Sans", sans-serif; background: #2b2d33; color: #eee; }
  header { padding: 12px 24px; display: flex; gap: 16px; align-items: center; flex-wrap: wrap; }
  header h1 { font-size: 18px; margin: 0 16px 0 0; }
  header a, header label.button { color: #fff; background: #4a4d57; padding: 6px 12px; border-radius: 6px; text-decoration: none; cursor: pointer; }
  #message { color: #ffd479; }
  main { display: flex; gap: 48px; padding: 12px 24px 24px; flex-wrap: wrap; }
  figure { margin: 0; }
  figcaption { margin-bottom: 8px; color: #bbb; }
  /* An iPhone 6s: the body, its earpiece and camera, and the round home button. */
  .device { position: relative; background: #16171a; padding: 60px 14px 64px; border-radius: 52px;
            box-shadow: 0 8px 30px #0008, inset 0 0 0 2px #2c2e33; }
  .device::before { content: ""; position: absolute; top: 27px; left: calc(50% - 24px); width: 48px; height: 6px; border-radius: 3px; background: #2c2e33; }
  .device::after { content: ""; position: absolute; top: 24px; left: calc(50% - 64px); width: 11px; height: 11px; border-radius: 50%;
                   background: #0b0c0e; box-shadow: inset 0 0 0 2px #2c2e33; }
  .home-button { position: absolute; bottom: 9px; left: calc(50% - 23px); width: 46px; height: 46px; border-radius: 50%;
                 border: 2px solid #3a3c42; background: #101113; cursor: pointer; padding: 0; }
  .home-button:active { background: #1d1f23; }
  .home-button:focus-visible { outline: 2px solid #ffd479; outline-offset: 2px; }
  .screen { position: relative; width: 375px; height: 667px; overflow: clip; background: #000; touch-action: none; user-select: none; }
  .screen img { width: 375px; height: 667px; display: block; pointer-events: none; }
  /* Clipped, never scrolled by the browser: focusing an element out of
     sight asks the phone to scroll instead. */
  .elements { position: absolute; inset: 0; overflow: clip; }
  .elements button { position: absolute; background: transparent; border: 0; padding: 0; margin: 0; color: transparent; cursor: pointer; }
  .elements button:focus-visible { outline: 2px solid #ffd479; }
  #log { font-family: monospace; color: #9fd; min-height: 1.2em; }
  #connection { display: none; background: #8a2b2b; color: #fff; padding: 8px 24px; }
  #connection code { background: #0004; padding: 1px 4px; border-radius: 3px; }
  body.disconnected #connection { display: block; }
  .stopped { display: none; position: absolute; inset: 0; align-items: center; justify-content: center; text-align: center;
             background: #000c; color: #fff; font-size: 17px; padding: 24px; z-index: 2; }
  .screen[data-state] .stopped { display: flex; }
</style>
</head>
<body>
<div id="connection" role="alert">Disconnected — start <code>menutone simulator</code> again</div>
<header>
  <h1>Menutone simulator</h1>
  <a href="/store" download="com.harbrook.Menutone.plist" id="download">Download store</a>
  <label class="button" for="upload">Upload store…</label>
  <input type="file" id="upload" accept=".plist,application/x-plist,application/octet-stream" hidden>
  <span id="message" role="status" aria-live="polite"></span>
</header>
<main>
  <figure>
    <figcaption>Settings</figcaption>
    <div class="device"><div class="screen" id="settings" role="region" aria-label="Settings phone"><img alt=""><div class="elements"></div><div class="stopped" role="status"></div></div><button class="home-button" data-phone="settings" aria-label="Home button of the Settings phone"></button></div>
  </figure>
  <figure>
    <figcaption>Home screen</figcaption>
    <div class="device"><div class="screen" id="home" role="region" aria-label="Home screen phone"><img alt=""><div class="elements"></div><div class="stopped" role="status"></div></div><button class="home-button" data-phone="home" aria-label="Home button of the home screen phone"></button></div>
    <p id="log" role="log" aria-live="polite"></p>
  </figure>
</main>
<script>
"use strict";
// One request at a time, in order: a finger's "up" must never overtake its "down".
let queue = Promise.resolve();
const post = (path, params, body) => {
  queue = queue.then(() => fetch(path + "?" + new URLSearchParams(params), { method: "POST", body })).catch(() => {});
  return queue;
};

// The home button closes an open menu, or takes Settings back to its first screen.
for (const button of document.querySelectorAll(".home-button"))
  button.addEventListener("click", () => post("/home", { phone: button.dataset.phone }));

for (const phone of ["settings", "home"]) {
  const screen = document.getElementById(phone);
  let down = null;
  const point = (event) => {
    const box = screen.getBoundingClientRect();
    return { x: (event.clientX - box.left).toFixed(1), y: (event.clientY - box.top).toFixed(1) };
  };
  const held = () => ((performance.now() - down.time) / 1000).toFixed(3);
  let lastMove = 0;
  screen.addEventListener("pointerdown", (event) => {
    if (event.button !== 0) return;
    screen.setPointerCapture(event.pointerId);
    down = { time: performance.now(), last: point(event) };
    post("/touch", { phone, type: "down", ...down.last });
    event.preventDefault();
  });
  screen.addEventListener("pointermove", (event) => {
    if (!down) return;
    const now = performance.now();
    if (now - lastMove < 30) return;
    lastMove = now;
    const at = point(event);
    // A drag on the Settings phone scrolls it, as a finger does.
    if (phone === "settings" && Math.abs(at.y - down.last.y) > 0) post("/scroll", { phone, dy: (down.last.y - at.y).toFixed(1) });
    down.last = at;
    post("/touch", { phone, type: "move", ...at, held: held() });
  });
  const lift = (event) => {
    if (!down) return;
    post("/touch", { phone, type: "up", ...point(event), held: held() });
    down = null;
  };
  screen.addEventListener("pointerup", lift);
  screen.addEventListener("pointercancel", lift);
  screen.addEventListener("wheel", (event) => {
    post("/scroll", { phone, dy: event.deltaY.toFixed(1) });
    event.preventDefault();
  }, { passive: false });
  screen.querySelector(".elements").addEventListener("click", (event) => {
    const target = event.target.closest("button");
    // A pointer's click was already a touch; one without a pointer (keyboard,
    // screen reader) activates the element by its id.
    if (!target || event.detail !== 0) return;
    post("/activate", { phone, id: target.dataset.id });
  });
}

function showFrame(data) {
  const screen = document.getElementById(data.phone);
  if (!screen) return;
  screen.querySelector("img").src = data.frame.image;
  // The elements are kept and updated in place, so a screen reader's place
  // and the keyboard focus survive a new picture.
  const layer = screen.querySelector(".elements");
  const existing = new Map([...layer.children].map((button) => [button.dataset.id, button]));
  const buttons = data.frame.elements.map((element) => {
    const button = existing.get(element.id) || document.createElement("button");
    existing.delete(element.id);
    button.dataset.id = element.id;
    button.setAttribute("aria-label", element.name);
    if (element.role !== "button") button.setAttribute("role", element.role);
    else button.removeAttribute("role");
    if (element.checked !== undefined) button.setAttribute("aria-checked", String(element.checked));
    else button.removeAttribute("aria-checked");
    if (!element.enabled) button.setAttribute("aria-disabled", "true");
    else button.removeAttribute("aria-disabled");
    const f = element.frame;
    Object.assign(button.style, { left: f.x + "px", top: f.y + "px", width: f.width + "px", height: f.height + "px" });
    // The bar lies over rows scrolled beneath it, on the phone as here.
    button.style.zIndex = element.id === "back" || element.id.startsWith("bar:") ? "1" : "";
    return button;
  });
  for (const gone of existing.values()) gone.remove();
  buttons.forEach((button, index) => {
    if (layer.children[index] !== button) layer.insertBefore(button, layer.children[index] || null);
  });
  screen.dataset.frames = String(Number(screen.dataset.frames || 0) + 1);
  // A picture from the phone: it runs.
  delete screen.dataset.state;
  screen.querySelector(".stopped").textContent = "";
}

// The server says when a phone ends on its own, and whether it starts it again.
const phoneNames = { home: "Home screen", settings: "Settings" };
function showPhoneState(data) {
  const screen = document.getElementById(data.phone);
  if (!screen) return;
  screen.dataset.state = data.state;
  screen.querySelector(".stopped").textContent = phoneNames[data.phone] + " stopped" + (data.state === "restarting" ? " — restarting" : "");
}

const events = new EventSource("/events");
// EventSource tries again by itself while the server is away; the page says so meanwhile.
events.addEventListener("open", () => document.body.classList.remove("disconnected"));
events.addEventListener("error", () => document.body.classList.add("disconnected"));
events.addEventListener("frame", (message) => showFrame(JSON.parse(message.data)));
events.addEventListener("phone", (message) => showPhoneState(JSON.parse(message.data)));
events.addEventListener("event", (message) => {
  const data = JSON.parse(message.data);
  const log = document.getElementById("log");
  if (data.event.startsWith("shortcut ")) log.textContent = "Shortcut chosen: " + data.event.slice(9);
  else if (data.event.startsWith("launch ")) log.textContent = "Opened " + data.event.slice(7);
  else if (data.event === "respring") log.textContent = "Respring: the home screen starts over";
  document.body.dataset.lastEvent = data.event;
});
events.addEventListener("failure", (message) => {
  document.getElementById("message").textContent = JSON.parse(message.data).error;
});

document.getElementById("upload").addEventListener("change", async (event) => {
  const file = event.target.files[0];
  if (!file) return;
  const response = await fetch("/store", { method: "POST", body: file });
  document.getElementById("message").textContent = (await response.text()).trim();
  event.target.value = "";
});
</script>
</body>
</html>
)PAGE";
}
