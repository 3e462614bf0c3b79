#include "Simulator.h"

#include <springboard/SBWallpaper.h>
#include <uikit/UIGraphics.h>

namespace {

// One page, no outside resources: two phones at the device's size, each a
// picture with its accessible elements laid over it, scaled together to fit
// the window. A pointer on a phone is a finger (down, move, up, with the time
// held); the wheel scrolls. An element activated without a pointer (a screen
// reader, the keyboard) is activated by name, and the phone scrolls it into
// view first; the menu key or Shift+F10 on an app presses it fully.
// {{DEVICES}} and {{WALLPAPERS}} stand for the menus' options.
constexpr const char* pageTemplate = R"PAGE(<!doctype html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Menutone simulator</title>
<link rel="icon" href="data:,">
<style>
  html { overflow-x: hidden; }
  body { margin: 0; font: 14px -apple-system, Inter, "DejaVu Sans", sans-serif; background: #2b2d33; color: #eee; }
  header { padding: 10px 24px; display: flex; gap: 12px 16px; align-items: center; flex-wrap: wrap; }
  header h1 { font-size: 18px; margin: 0 8px 0 0; }
  header a, header label.button, header select, header button.button { color: #fff; background: #4a4d57; padding: 6px 12px; border-radius: 6px; border: 0;
                                                  font: inherit; text-decoration: none; cursor: pointer; }
  header a:focus-visible, header label.button:focus-visible, header select:focus-visible, header button.button:focus-visible { outline: 2px solid #ffd479; outline-offset: 2px; }
  #message { color: #ffd479; }
  main { display: flex; gap: 48px; padding: 8px 24px 16px; justify-content: center; align-items: flex-start; }
  main.stacked { flex-direction: column; align-items: center; gap: 16px; }
  figure { margin: 0; }
  figcaption { height: 22px; color: #bbb; display: flex; gap: 12px; align-items: center; }
  /* Whether the open menu's title reads on its plate: green passes WCAG AA, amber does not. */
  #contrast { display: none; font-size: 12px; padding: 1px 8px; border-radius: 9px; color: #111; }
  #contrast[data-verdict] { display: inline-block; }
  #contrast[data-verdict="pass"] { background: #6fd08c; }
  #contrast[data-verdict="fail"] { background: #ffc45c; }
  /* The phone is laid out at its size in points and scaled as a whole to fit
     the window; .fit takes the scaled size in the page's flow. */
  .fit { position: relative; }
  /* An iPhone 6s: the body, its earpiece and camera, and the round home button. */
  .device { position: absolute; left: 0; top: 0; transform-origin: 0 0; transform: scale(var(--scale, 1));
            background: #16171a; padding: 60px 14px 64px; border-radius: 52px; box-shadow: 0 8px 30px #0008, inset 0 0 0 2px #2c2e33; }
  .device::before { content: ""; position: absolute; top: 27px; left: calc(50% - 24px); width: 48px; height: 6px; border-radius: 3px; background: #2c2e33; }
  .device::after { content: ""; position: absolute; top: 24px; left: calc(50% - 64px); width: 11px; height: 11px; border-radius: 50%;
                   background: #0b0c0e; box-shadow: inset 0 0 0 2px #2c2e33; }
  .home-button { position: absolute; bottom: 9px; left: calc(50% - 23px); width: 46px; height: 46px; border-radius: 50%;
                 border: 2px solid #3a3c42; background: #101113; cursor: pointer; padding: 0; }
  .home-button:active { background: #1d1f23; }
  .home-button:focus-visible { outline: 2px solid #ffd479; outline-offset: 2px; }
  .screen { position: relative; width: 375px; height: 667px; overflow: clip; background: #000; touch-action: none; user-select: none; }
  .screen img { width: 100%; height: 100%; display: block; pointer-events: none; }
  /* Clipped, never scrolled by the browser: focusing an element out of
     sight asks the phone to scroll instead. */
  .elements { position: absolute; inset: 0; overflow: clip; }
  .elements button { position: absolute; background: transparent; border: 0; padding: 0; margin: 0; color: transparent; cursor: pointer; }
  .elements button:focus-visible { outline: 2px solid #ffd479; }
  #log { font-family: monospace; color: #9fd; min-height: 1.2em; margin: 8px 0 0; }
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
  <select id="device" aria-label="Phone">{{DEVICES}}</select>
  <select id="wallpaper" aria-label="Wallpaper"><option value="" selected>Wallpaper…</option>{{WALLPAPERS}}<option value="photo">Your photo…</option></select>
  <input type="file" id="photo" accept="image/jpeg,image/png,image/heic,image/heif,image/webp,.heic,.heif,.webp" hidden>
  <button type="button" id="match" class="button">Match wallpaper</button>
  <a href="/store" download="com.harbrook.Menutone.plist" id="download">Download store</a>
  <label class="button" for="upload" tabindex="0" role="button">Upload store…</label>
  <input type="file" id="upload" accept=".plist,application/x-plist,application/octet-stream" hidden>
  <span id="message" role="status" aria-live="polite"></span>
</header>
<main>
  <figure>
    <figcaption>Settings</figcaption>
    <div class="fit"><div class="device"><div class="screen" id="settings" role="region" aria-label="Settings phone"><img alt=""><div class="elements"></div><div class="stopped" role="status"></div></div><button class="home-button" data-phone="settings" aria-label="Home button of the Settings phone"></button></div></div>
  </figure>
  <figure>
    <figcaption>Home screen <span id="contrast" role="status" aria-live="polite"></span></figcaption>
    <div class="fit"><div class="device"><div class="screen" id="home" role="region" aria-label="Home screen phone"><img alt=""><div class="elements"></div><div class="stopped" role="status"></div></div><button class="home-button" data-phone="home" aria-label="Home button of the home screen phone"></button></div></div>
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
const say = (text) => (document.getElementById("message").textContent = text);

// Both phones scale together to the window's height; on a window too narrow
// for both side by side they stack, each as wide as the window allows.
const bezel = { width: 28, height: 124 };
function fit() {
  const main = document.querySelector("main");
  const screens = [...document.querySelectorAll(".screen")];
  const deviceWidth = Math.max(...screens.map((screen) => screen.offsetWidth)) + bezel.width;
  const deviceHeight = Math.max(...screens.map((screen) => screen.offsetHeight)) + bezel.height;
  const top = main.getBoundingClientRect().top + window.scrollY;
  // Below the phones: the home screen's log line and the page's margin.
  const availableHeight = window.innerHeight - top - 22 - 40 - 16;
  const availableWidth = document.documentElement.clientWidth - 48;
  const byHeight = availableHeight / deviceHeight;
  const sideBySide = Math.min(byHeight, (availableWidth - 48) / (2 * deviceWidth));
  const isStacked = sideBySide < byHeight * 0.75;
  const scale = Math.max(0.25, isStacked ? Math.min(byHeight, availableWidth / deviceWidth) : sideBySide);
  main.classList.toggle("stacked", isStacked);
  for (const screen of screens) {
    const device = screen.closest(".device");
    device.style.setProperty("--scale", scale);
    Object.assign(device.parentElement.style, { width: (screen.offsetWidth + bezel.width) * scale + "px", height: (screen.offsetHeight + bezel.height) * scale + "px" });
  }
  document.body.dataset.scale = scale.toFixed(3);
}
window.addEventListener("resize", fit);
fit();

// The home button closes an open menu, or takes Settings back to its first screen.
for (const button of document.querySelectorAll(".home-button"))
  button.addEventListener("click", () => post("/home", { phone: button.dataset.phone }));

for (const phone of ["settings", "home"]) {
  const screen = document.getElementById(phone);
  let down = null;
  // Where the pointer is on the phone, in the phone's points.
  const point = (event) => {
    const box = screen.getBoundingClientRect();
    const scale = box.width / screen.offsetWidth;
    return { x: ((event.clientX - box.left) / scale).toFixed(1), y: ((event.clientY - box.top) / scale).toFixed(1) };
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
  // A phone has no secondary click; the menu key is handled below.
  screen.addEventListener("contextmenu", (event) => event.preventDefault());
  const layer = screen.querySelector(".elements");
  layer.addEventListener("click", (event) => {
    const target = event.target.closest("button");
    // A pointer's click was already a touch; one without a pointer (keyboard,
    // screen reader) activates the element by its id.
    if (!target || event.detail !== 0) return;
    post("/activate", { phone, id: target.dataset.id });
  });
  layer.addEventListener("keydown", (event) => onElementKey(phone, layer, event));
}

// The keyboard's way to a shortcut menu: the menu key or Shift+F10 on an app
// presses it fully; the arrows move through the open menu's items, Escape
// closes it and the app's icon has the focus again.
let focusOnNextFrame = null;
function onElementKey(phone, layer, event) {
  const target = event.target.closest("button");
  if (!target || phone !== "home") return;
  const id = target.dataset.id;
  const isMenuKey = event.key === "ContextMenu" || (event.shiftKey && event.key === "F10");
  if (isMenuKey && id.startsWith("icon:")) {
    focusOnNextFrame = { menuOf: id };
    post("/press", { phone, id });
    event.preventDefault();
    return;
  }
  if (!id.startsWith("item:")) return;
  const items = [...layer.querySelectorAll('button[data-id^="item:"]')];
  const at = items.indexOf(target);
  const next = { ArrowDown: at + 1, ArrowUp: at - 1, Home: 0, End: items.length - 1 }[event.key];
  if (next !== undefined) {
    items[(next + items.length) % items.length].focus();
    event.preventDefault();
  } else if (event.key === "Escape") {
    focusOnNextFrame = { element: layer.dataset.menuOf };
    post("/home", { phone });
    event.preventDefault();
  }
}

function showFrame(data) {
  const screen = document.getElementById(data.phone);
  if (!screen) return;
  screen.querySelector("img").src = data.frame.image;
  if (data.frame.width && (screen.offsetWidth !== data.frame.width || screen.offsetHeight !== data.frame.height)) {
    Object.assign(screen.style, { width: data.frame.width + "px", height: data.frame.height + "px" });
    fit();
  }
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
  if (focusOnNextFrame && data.phone === "home") {
    const first = layer.querySelector('button[data-id^="item:"]');
    if (focusOnNextFrame.menuOf && first) {
      layer.dataset.menuOf = focusOnNextFrame.menuOf;
      first.focus();
      focusOnNextFrame = null;
    } else if (focusOnNextFrame.element && !first) {
      layer.querySelector(`button[data-id="${CSS.escape(focusOnNextFrame.element)}"]`)?.focus();
      focusOnNextFrame = null;
    }
  }
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
events.addEventListener("device", (message) => (document.getElementById("device").value = JSON.parse(message.data).device));
events.addEventListener("event", (message) => {
  const data = JSON.parse(message.data);
  // A measurement, not something the home screen did.
  if (data.event.startsWith("contrast ")) return showContrast(data.event);
  const log = document.getElementById("log");
  if (data.event.startsWith("shortcut ")) log.textContent = "Shortcut chosen: " + data.event.slice(9);
  else if (data.event.startsWith("launch ")) log.textContent = "Opened " + data.event.slice(7);
  else if (data.event === "respring") log.textContent = "Respring: the home screen starts over";
  if (data.event === "closed" || data.event === "respring") delete document.getElementById("contrast").dataset.verdict;
  document.body.dataset.lastEvent = data.event;
});
events.addEventListener("failure", (message) => say(JSON.parse(message.data).error));

// "contrast RATIO pass|fail": the open menu's title on its plate.
function showContrast(event) {
  const [, ratio, verdict] = event.split(" ");
  const badge = document.getElementById("contrast");
  badge.dataset.verdict = verdict;
  badge.textContent = `Title ${Number(ratio).toFixed(1)}:1 ${verdict === "pass" ? "reads" : "is hard to read"}`;
}
document.getElementById("match").addEventListener("click", () => post("/match", {}));

document.getElementById("device").addEventListener("change", (event) => {
  say("Starting both phones as " + event.target.selectedOptions[0].textContent + "…");
  post("/device", { name: event.target.value }).then(() => say(""));
});

// An upload's answer, said as the server gives it.
async function upload(path, params, file) {
  const response = await fetch(path + "?" + new URLSearchParams(params), { method: "POST", body: file });
  say((await response.text()).trim());
}
const wallpaper = document.getElementById("wallpaper");
wallpaper.addEventListener("change", () => {
  if (wallpaper.value === "photo") document.getElementById("photo").click();
  else if (wallpaper.value) upload("/wallpaper", { name: wallpaper.value });
  // A menu of actions: it reads "Wallpaper…" again.
  wallpaper.value = "";
});
document.getElementById("photo").addEventListener("change", async (event) => {
  const file = event.target.files[0];
  if (file) await upload("/wallpaper", {}, file);
  event.target.value = "";
});
document.getElementById("upload").addEventListener("change", async (event) => {
  const file = event.target.files[0];
  if (file) await upload("/store", {}, file);
  event.target.value = "";
});
// The upload's label is a button for the keyboard too.
document.querySelector('label[for="upload"]').addEventListener("keydown", (event) => {
  if (event.key !== "Enter" && event.key !== " ") return;
  document.getElementById("upload").click();
  event.preventDefault();
});
</script>
</body>
</html>
)PAGE";

std::string escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void replace(std::string& page, std::string_view placeholder, const std::string& text)
{
    page.replace(page.find(placeholder), placeholder.size(), text);
}

}

std::string simulatorPage(const std::string& device)
{
    std::string page = pageTemplate;
    std::string devices;
    for (auto& phone : kDevices) {
        devices += "<option value=\"" + escaped(phone.optionName) + "\"" + (device == phone.optionName ? " selected" : "") + ">" + escaped(phone.name)
            + "</option>";
    }
    replace(page, "{{DEVICES}}", devices);
    std::string wallpapers;
    for (auto& wallpaper : builtInWallpapers())
        wallpapers += "<option value=\"" + escaped(wallpaper.name) + "\">" + escaped(wallpaper.name) + "</option>";
    replace(page, "{{WALLPAPERS}}", wallpapers);
    return page;
}
