"use strict";
// WebKit for drive_page.js: WebKitGTK's MiniBrowser through WebKitWebDriver
// and selenium-webdriver, behind the few page calls of puppeteer's that the
// driver makes. MiniBrowser's window is never narrower than 447 px, so the
// page is shown in a frame of the viewport's size, at the window's top left,
// and everything is done inside that frame. The driver passes no requests or
// console messages on: the page's own resource timings and a wrapped console
// stand for them. The first prompt is timed by polling, to 10 ms.
const fs = require("fs");
const net = require("net");
const os = require("os");
const path = require("path");
const { spawn } = require("child_process");
const { Builder, By, Key } = require("selenium-webdriver");

const KEYS = { Enter: Key.ENTER, Shift: Key.SHIFT, Control: Key.CONTROL, Meta: Key.META };

function free_port() {
  return new Promise((resolve) => {
    const server = net.createServer().listen(0, "127.0.0.1", () => {
      const port = server.address().port;
      server.close(() => resolve(port));
    });
  });
}

function as_script(fn) {
  return typeof fn === "string" ? fn : `return (${fn}).apply(null, arguments);`;
}

// Keeps what the page would have written to the console, its errors and
// what its policy refused, in window.kadrimo_console, from now on.
function catch_console() {
  window.kadrimo_console = [];
  for (const kind of ["error", "warn", "assert"]) {
    const original = console[kind];
    console[kind] = (...parts) => {
      window.kadrimo_console.push(parts.join(" "));
      original.apply(console, parts);
    };
  }
  window.addEventListener("error", (event) => window.kadrimo_console.push(event.message));
  window.addEventListener("unhandledrejection", (event) =>
    window.kadrimo_console.push(String(event.reason)));
  document.addEventListener("securitypolicyviolation", (event) =>
    window.kadrimo_console.push("refused by the policy: " + event.blockedURI));
}

function page_of(driver, frame_file) {
  const listeners = { request: [], console: [] };
  let frame = null;
  let size = { width: 1280, height: 800 };
  const into = async () => {
    await driver.switchTo().defaultContent();
    await driver.switchTo().frame(frame);
  };
  const evaluate = async (fn, ...args) => driver.executeScript(as_script(fn), ...args);
  const outer = async (script) => {
    await driver.switchTo().defaultContent();
    await driver.executeScript(script);
    await into();
  };
  const keys = (actions) => driver.actions({ async: true }).sendKeys(...actions).perform();
  const pointer = () => driver.actions({ async: true });
  return {
    on: (event, listener) => (listeners[event] = listeners[event] || []).push(listener),
    setViewport: async (viewport) => {
      size = viewport;
      if (frame) {
        await outer(`const f = document.querySelector("iframe");
          f.style.width = "${size.width}px"; f.style.height = "${size.height}px";`);
        // Until the frame has been laid out and painted at its new size.
        await evaluate(() => new Promise((resolve) =>
          requestAnimationFrame(() => requestAnimationFrame(resolve))));
      }
    },
    // Opens the page; how long until it first asked for an answer.
    open_and_time: async (url) => {
      const start = Date.now();
      fs.writeFileSync(frame_file, `<!doctype html><body style="margin:0">` +
        `<iframe src="${url}" style="border:0;display:block;` +
        `width:${size.width}px;height:${size.height}px"></iframe>` +
        // Focus given to the page inside must be the frame's first.
        `<script>document.querySelector("iframe").focus()</script>`);
      await driver.get("file://" + frame_file);
      frame = await driver.findElement(By.css("iframe"));
      await into();
      await evaluate(catch_console);
      for (;;) {
        const asking = await evaluate(() => !document.getElementById("answer-form").hidden);
        if (asking) break;
        await new Promise((resolve) => setTimeout(resolve, 10));
      }
      return Date.now() - start;
    },
    evaluate: evaluate,
    waitForFunction: async (fn, options, ...args) => {
      const until = Date.now() + (options && options.timeout || 30000);
      for (;;) {
        if (await evaluate(fn, ...args)) return;
        if (Date.now() > until) throw new Error("waitForFunction: timed out");
        await new Promise((resolve) => setTimeout(resolve, 20));
      }
    },
    keyboard: {
      sendCharacter: (character) => keys([character]),
      type: (text) => keys([text]),
      press: (key) => keys([KEYS[key] || key]),
      down: (key) => driver.actions({ async: true }).keyDown(KEYS[key] || key).perform(),
      up: (key) => driver.actions({ async: true }).keyUp(KEYS[key] || key).perform(),
    },
    mouse: {
      move: (x, y) => pointer().move({ x: x, y: y, origin: "viewport" }).perform(),
      down: () => pointer().press().perform(),
      up: () => pointer().release().perform(),
      // GTK takes a press near the last one, and soon after it, for a double
      // click, which selects a word: a tap comes after that time, as a person's.
      click: async (x, y) => {
        await new Promise((resolve) => setTimeout(resolve, 600));
        await pointer().move({ x: x, y: y, origin: "viewport" }).click().perform();
      },
    },
    // The window's, the frame at its top left: WebKitWebDriver's pictures of
    // an element come out shifted by the browser's toolbar.
    screenshot: async ({ path: file }) => {
      fs.writeFileSync(file, Buffer.from(await driver.takeScreenshot(), "base64"));
    },
    close: async () => {
      const seen = await evaluate(() => ({
        requests: performance.getEntriesByType("resource").map((entry) => entry.name),
        console: window.kadrimo_console,
      }));
      for (const url of seen.requests) {
        for (const listener of listeners.request) listener({ url: () => url });
      }
      for (const text of seen.console) {
        for (const listener of listeners.console) listener({ type: () => "error", text: () => text });
      }
    },
  };
}

// WebKitWebDriver driving MiniBrowser, its window at the display's top left.
async function start(mini_browser) {
  const port = await free_port();
  const server = spawn("WebKitWebDriver", [`--port=${port}`], { stdio: "ignore" });
  await new Promise((resolve) => setTimeout(resolve, 500));
  const driver = await new Builder()
    .usingServer(`http://127.0.0.1:${port}`)
    .withCapabilities({
      browserName: "MiniBrowser",
      // A file's page is of its own origin, so the frame could not give the
      // field the focus; with file access allowed, files share one.
      "webkitgtk:browserOptions": {
        binary: mini_browser, args: ["--automation", "--allow-file-access-from-file-urls=true"],
      },
    })
    .build();
  await driver.manage().window().setRect({ x: 0, y: 0, width: 1400, height: 900 });
  return {
    driver: driver,
    close: async () => {
      await driver.quit();
      server.kill();
    },
  };
}

async function launch(mini_browser) {
  const session = await start(mini_browser);
  const frame_dir = fs.mkdtempSync(path.join(os.tmpdir(), "kadrimo-webkit-"));
  return {
    newPage: async () => page_of(session.driver, path.join(frame_dir, "frame.html")),
    close: async () => {
      await session.close();
      fs.rmSync(frame_dir, { recursive: true, force: true });
    },
  };
}

module.exports = { launch, start, as_script, catch_console };
