"use strict";
// One browser session, whatever the engine: Chromium and Firefox through
// puppeteer-core, WebKit (WebKitGTK's MiniBrowser through WebKitWebDriver)
// through selenium-webdriver, behind one set of calls: go to a page, run a
// function in it, wait until one returns true, type, point, resize, take a
// picture, ask axe-core, and at the end what the page wrote to its console
// and which requests it made.
const fs = require("fs");
const net = require("net");
const os = require("os");
const path = require("path");
const { spawn } = require("child_process");

const AXE = fs.readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");
// Root has no sandbox in a container, and a container's /dev/shm may be
// small or missing; the pages are our own.
const CHROMIUM_ARGS = ["--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu", "--no-first-run",
                       "--disable-extensions"];

// Keeps what the page would have written to the console, its errors and
// what its policy refused, in window.kadrimo_console, from now on: WebKit's
// driver passes none of them on.
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

// Chromium or Firefox. With `app`, Chromium opens that address as an
// installed site's window (which needs a display: a headless browser has no
// such window), as its icon on a home screen does.
async function puppeteer_engine(engine, executable, options, seen) {
  const puppeteer = require("puppeteer-core");
  const chromium = engine === "chromium";
  const browser = await puppeteer.launch({
    browser: chromium ? "chrome" : "firefox",
    executablePath: executable,
    headless: !options.app,
    args: chromium ? [...CHROMIUM_ARGS, ...(options.app ? [`--app=${options.app}`] : [])] : [],
  });
  const page = options.app ? (await browser.pages())[0] : await browser.newPage();
  page.on("request", (request) => seen.requests.push(request.url()));
  page.on("console", (message) => {
    if (["error", "warn", "assert"].includes(message.type())) seen.console.push(message.text());
  });
  page.on("pageerror", (error) => seen.console.push(String(error)));
  await page.setViewport({ width: 1280, height: 800 });
  return {
    page: page,
    goto: (url) => page.goto(url),
    run: (fn, ...args) => page.evaluate(fn, ...args),
    keyboard: page.keyboard,
    mouse: page.mouse,
    set_viewport: (viewport) => page.setViewport(viewport),
    shot: (file) => page.screenshot({ path: file, fullPage: true }),
    // Chromium through the system's picker, which the button opens; Firefox
    // takes the file into the input itself (WebDriver BiDi has no picker).
    pick: async (button, input, file) => {
      if (!chromium) return (await page.$(input)).uploadFile(file);
      const [picker] = await Promise.all([page.waitForFileChooser(), page.click(button)]);
      await picker.accept([file]);
    },
    collect: async () => {},
    close: () => browser.close(),
  };
}

function free_port() {
  return new Promise((resolve) => {
    const server = net.createServer().listen(0, "127.0.0.1", () => {
      const port = server.address().port;
      server.close(() => resolve(port));
    });
  });
}

// MiniBrowser's window is never narrower than 447 px, so with `framed` the
// page is shown in a frame of the viewport's size at the window's top left,
// and everything is done inside that frame. The driver passes no requests
// or console messages on: the page's own resource timings and a wrapped
// console stand for them, gathered before each load and at the end.
async function webkit_engine(executable, options, seen) {
  const { Builder, By, Key } = require("selenium-webdriver");
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
        binary: executable, args: ["--automation", "--allow-file-access-from-file-urls=true"],
      },
    })
    .build();
  await driver.manage().window().setRect({ x: 0, y: 0, width: 1400, height: 900 });
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "kadrimo-webkit-"));
  const frame_file = path.join(scratch, "frame.html");
  const run = (fn, ...args) => driver.executeScript(
    typeof fn === "string" ? fn : `return (${fn}).apply(null, arguments);`, ...args);
  let size = { width: 1280, height: 800 };
  let frame = null;
  const outside = async (script) => {
    await driver.switchTo().defaultContent();
    await driver.executeScript(script);
    await driver.switchTo().frame(frame);
  };
  const KEYS = { Enter: Key.ENTER, Shift: Key.SHIFT, Control: Key.CONTROL, Meta: Key.META,
                 ArrowLeft: Key.ARROW_LEFT, ArrowRight: Key.ARROW_RIGHT, Home: Key.HOME, End: Key.END,
                 Tab: Key.TAB };
  const actions = () => driver.actions({ async: true });
  const keys = (...sent) => actions().sendKeys(...sent.map((key) => KEYS[key] || key)).perform();
  return {
    page: null,
    goto: async (url) => {
      if (!options.framed) {
        await driver.get(url);
      } else {
        fs.writeFileSync(frame_file, `<!doctype html><body style="margin:0">` +
          `<iframe src="${url}" style="border:0;display:block;` +
          `width:${size.width}px;height:${size.height}px"></iframe>` +
          // Focus given to the page inside must be the frame's first.
          `<script>document.querySelector("iframe").focus()</script>`);
        await driver.get("file://" + frame_file);
        frame = await driver.findElement(By.css("iframe"));
        await driver.switchTo().frame(frame);
      }
      await run(catch_console);
    },
    run: run,
    keyboard: {
      sendCharacter: (character) => keys(character),
      type: (text) => keys(text),
      press: (key) => keys(key),
      down: (key) => actions().keyDown(KEYS[key] || key).perform(),
      up: (key) => actions().keyUp(KEYS[key] || key).perform(),
    },
    mouse: {
      move: (x, y) => actions().move({ x: x, y: y, origin: "viewport" }).perform(),
      down: () => actions().press().perform(),
      up: () => actions().release().perform(),
      // GTK takes a press near the last one, and soon after it, for a double
      // click, which selects a word: a tap comes after that time, as a person's.
      click: async (x, y) => {
        await new Promise((resolve) => setTimeout(resolve, 600));
        await actions().move({ x: x, y: y, origin: "viewport" }).click().perform();
      },
    },
    set_viewport: async (viewport) => {
      size = viewport;
      if (!frame) return;
      await outside(`const f = document.querySelector("iframe");
        f.style.width = "${size.width}px"; f.style.height = "${size.height}px";`);
      // Until the frame has been laid out and painted at its new size.
      await run(() => new Promise((resolve) =>
        requestAnimationFrame(() => requestAnimationFrame(resolve))));
    },
    // The window's, the frame at its top left: WebKitWebDriver's pictures of
    // an element come out shifted by the browser's toolbar.
    shot: async (file) =>
      fs.writeFileSync(file, Buffer.from(await driver.takeScreenshot(), "base64")),
    // WebDriver types a file's path into its input; there is no picker.
    pick: async (button, input, file) => (await driver.findElement(By.css(input))).sendKeys(file),
    collect: async () => {
      const found = await run(() => ({
        requests: performance.getEntriesByType("resource").map((entry) => entry.name),
        console: window.kadrimo_console || [],
      }));
      seen.requests.push(...found.requests);
      seen.console.push(...found.console);
    },
    close: async () => {
      await driver.quit();
      server.kill();
      fs.rmSync(scratch, { recursive: true, force: true });
    },
  };
}

// Opens a session. `seen.requests` are the page's requests but the pages it
// was sent to and data: URLs (a page's wasm is one, inside it).
async function open_session(engine, executable, options = {}) {
  const seen = { console: [], requests: [] };
  const visited = new Set(options.app ? [options.app] : []);
  const inner = engine === "webkit" ? await webkit_engine(executable, options, seen)
    : await puppeteer_engine(engine, executable, options, seen);
  const session = {
    ...inner,
    console: seen.console,
    requests: () => seen.requests.filter((url) => !visited.has(url) && !url.startsWith("data:")),
    goto: async (url) => {
      await inner.collect();
      visited.add(url);
      await inner.goto(url);
    },
    // Polls FN in the page until it returns true; how long that took, in ms.
    // A page that navigates while it is asked (an app window opening its
    // site, a worker taking over) answers with an error: that is a "not yet".
    until: async (fn, what, ...args) => {
      const started = Date.now();
      let refused = null;
      const poll = () => inner.run(fn, ...args).catch((error) => (refused = error, false));
      while (!(await poll())) {
        if (Date.now() - started > 30000) {
          throw new Error(`timed out waiting for ${what}${refused ? `; last: ${refused}` : ""}`);
        }
        await new Promise((resolve) => setTimeout(resolve, 10));
      }
      return Date.now() - started;
    },
    // What axe-core finds against the page as it stands, one "rule: element"
    // a violation. It is run by the driver, so the page's policy lets it in.
    violations: async () => {
      await inner.run(AXE);
      return inner.run(async () => (await window.axe.run(document)).violations
        .flatMap((rule) => rule.nodes.map((node) => `${rule.id}: ${node.target}`)));
    },
    close: async () => {
      await inner.collect().catch(() => {});
      await inner.close();
    },
  };
  return session;
}

// Runs a scenario (NAME_scenario.js) in one session and prints what it saw
// as JSON, for web_test.py to judge.
//
//   node session.js page|site ENGINE BROWSER ARGUMENTS_AS_JSON
async function main() {
  const [name, engine, executable, json] = process.argv.slice(2);
  const report = {};
  let session = null;
  const open = async (options) => (session = await open_session(engine, executable, options));
  try {
    await require(`./${name}_scenario`).run(open, engine, JSON.parse(json), report);
  } catch (error) {
    report.failure = String(error && error.stack || error);
  } finally {
    if (session) {
      await session.close();
      report.console = session.console;
      report.requests = session.requests();
    }
  }
  // A server left listening by a failed step would keep node alive.
  process.stdout.write(JSON.stringify(report) + "\n", () => process.exit(0));
}

if (require.main === module) main();
