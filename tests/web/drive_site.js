"use strict";
// Uses the hosted site as a visitor would: serves it on 127.0.0.1 (a secure
// context, as a host's HTTPS is), opens it, lets its worker take over, runs a
// dialogue with the server stopped, then serves the next build and visits
// again. Prints what it saw as JSON, for site_test.py to judge.
//
//   node drive_site.js chromium|firefox|webkit BROWSER SITE NEXT_SITE SCREENSHOT_DIR
const fs = require("fs");
const http = require("http");
const path = require("path");
const puppeteer = require("puppeteer-core");

const AXE = fs.readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");
const TYPES = { ".html": "text/html; charset=utf-8", ".js": "text/javascript",
                ".webmanifest": "application/manifest+json", ".png": "image/png" };

// A static host of one folder; every request it answers is logged with its
// status. Without a cache of the browser's own, each visit asks it again.
function serve(folder, port, log) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://host").pathname).slice(1);
    const file = path.join(folder, name === "" ? "index.html" : name);
    const found = !name.includes("..") && fs.existsSync(file) && fs.statSync(file).isFile();
    log.push([request.url, found ? 200 : 404]);
    response.writeHead(found ? 200 : 404, {
      "Content-Type": found ? TYPES[path.extname(file)] || "application/octet-stream" : "text/plain",
      "Cache-Control": "no-cache",
    });
    response.end(found ? fs.readFileSync(file) : "not found");
  });
  const sockets = new Set();
  server.on("connection", (socket) => {
    sockets.add(socket);
    socket.on("close", () => sockets.delete(socket));
  });
  return new Promise((resolve) => server.listen(port, "127.0.0.1", () => resolve({
    port: server.address().port,
    // Gone as a host that is down: nothing listens, open connections drop.
    stop: () => new Promise((done) => {
      server.close(done);
      for (const socket of sockets) socket.destroy();
    }),
  })));
}

// One page in Chromium or Firefox, through puppeteer. Chromium's is the
// window of the site opened as an app (on a virtual display: a headless one
// has no such window), as its icon on a home screen opens it.
async function puppeteer_session(engine, executable, url) {
  const chromium = engine === "chromium";
  const browser = await puppeteer.launch({
    browser: chromium ? "chrome" : "firefox",
    executablePath: executable,
    headless: !chromium,
    args: chromium ? ["--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu", "--no-first-run",
                      "--disable-extensions", `--app=${url}`] : [],
  });
  const page = chromium ? (await browser.pages())[0] : await browser.newPage();
  const seen = [];
  page.on("console", (message) => {
    if (["error", "warn", "assert"].includes(message.type())) seen.push(message.text());
  });
  page.on("pageerror", (error) => seen.push(String(error)));
  await page.setViewport({ width: 1280, height: 800 });
  return {
    page: page,
    console: seen,
    goto: (url) => page.goto(url),
    run: (fn, ...args) => page.evaluate(fn, ...args),
    shot: (file) => page.screenshot({ path: file, fullPage: true }),
    close: () => browser.close(),
  };
}

// The window of MiniBrowser, through WebKitWebDriver. Its driver passes no
// console messages on, so the page's are caught from each load on.
async function webkit_session(executable) {
  const webkit = require("./webkit_page");
  const { driver, close } = await webkit.start(executable);
  const seen = [];
  const run = (fn, ...args) => driver.executeScript(webkit.as_script(fn), ...args);
  const collect = async () => seen.push(...(await run(() => window.kadrimo_console || [])));
  return {
    console: seen,
    goto: async (url) => {
      await collect();
      await driver.get(url);
      await run(webkit.catch_console);
    },
    run: run,
    shot: async (file) =>
      fs.writeFileSync(file, Buffer.from(await driver.takeScreenshot(), "base64")),
    close: async () => {
      await collect();
      await close();
    },
  };
}

async function until(session, fn, what, ...args) {
  process.stderr.write(`drive_site: waiting for ${what}\n`);
  const limit = Date.now() + 30000;
  while (!(await session.run(fn, ...args))) {
    if (Date.now() > limit) throw new Error(`timed out waiting for ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

const asking = () => {
  const form = document.getElementById("answer-form");
  return form !== null && !form.hidden;
};

// Opens the site and waits for its first prompt, with its worker in control.
async function visit(session, url) {
  await session.goto(url);
  await until(session, asking, "the first prompt");
  await until(session, () => navigator.serviceWorker.controller !== null, "the worker");
  return session.run(async () => ({
    banner: document.getElementById("transcript").textContent.split("\n")[0],
    state: (await navigator.serviceWorker.ready).active.state,
    caches: await caches.keys(),
  }));
}

// Types each answer as an input method commits it and hands it over; what
// the screen gained from the last Enter to the wait is what a screen reader
// is given of the log, one addition after another.
async function dialogue(session, answers) {
  for (const [index, text] of answers.entries()) {
    const before = await session.run(() => document.getElementById("transcript").textContent);
    await session.run((line, last) => {
      if (last) {
        window.kadrimo_added = [];
        new MutationObserver((changes) => {
          for (const change of changes) {
            for (const node of change.addedNodes) window.kadrimo_added.push(node.textContent);
            if (change.type === "characterData") window.kadrimo_added.push(change.target.data);
          }
        }).observe(document.getElementById("screen"),
                   { subtree: true, childList: true, characterData: true });
      }
      document.getElementById("answer").value = line;
      document.getElementById("answer-form").requestSubmit();
    }, text, index === answers.length - 1);
    await until(session, (previous) => {
      const shown = document.getElementById("transcript").textContent;
      return shown !== previous && (!document.getElementById("answer-form").hidden ||
                                    shown.endsWith(" . . ."));
    }, `the answer ${text}`, before);
  }
  return session.run(() => ({
    text: document.getElementById("transcript").textContent,
    added: window.kadrimo_added.join(""),
  }));
}

async function violations(session) {
  await session.run(AXE);
  return session.run(async () => (await window.axe.run(document)).violations
    .flatMap((rule) => rule.nodes.map((node) => `${rule.id}: ${node.target}`)));
}

// Chromium only: what it finds against installing the site, and the site as
// installed on a phone of 390 x 844 with a notch and a home bar.
async function as_installed(session, shots, report) {
  const cdp = await session.page.createCDPSession();
  report.installability = (await cdp.send("Page.getInstallabilityErrors")).installabilityErrors;
  report.manifest_errors = (await cdp.send("Page.getAppManifest")).errors;
  await session.page.setViewport({ width: 390, height: 844, deviceScaleFactor: 2, isMobile: true,
                                   hasTouch: true });
  await cdp.send("Emulation.setSafeAreaInsetsOverride",
                 { insets: { top: 47, topMax: 47, bottom: 34, bottomMax: 34, left: 0, right: 0 } });
  // A phone's viewport reloads the page.
  await until(session, asking, "the prompt on the phone");
  report.installed = await session.run(() => {
    const first = document.createRange();
    first.selectNodeContents(document.getElementById("transcript"));
    const text = first.getClientRects()[0];
    const enter = document.getElementById("enter").getBoundingClientRect();
    const [x, y] = [enter.left + enter.width / 2, enter.top + enter.height / 2];
    return {
      standalone: matchMedia("(display-mode: standalone)").matches,
      text_top: text.top + window.scrollY,
      bottom_padding: parseFloat(getComputedStyle(document.body).paddingBottom),
      // Where a finger 44 px across lands around the button's centre.
      taps: [[0, -21], [0, 21], [-21, 0], [21, 0]].map(([dx, dy]) =>
        (document.elementFromPoint(x + dx, y + dy) || {}).id),
      field_font: getComputedStyle(document.getElementById("answer")).fontSize,
    };
  });
  await session.shot(path.join(shots, "installed-390.png"));
}

async function drive(engine, session, server, url, next_site, shots, report) {
  // Chromium's app window has opened the site itself; a visit while its
  // worker takes over could load from the network a page that the worker's
  // claim just missed, so the visit waits for it to be active.
  if (engine === "chromium") {
    await until(session, asking, "the app window");
    await session.run(async () => (await navigator.serviceWorker.ready).active.state);
  }
  report.first_visit = await visit(session, url);
  report.axe_opening = await violations(session);
  report.run = await dialogue(session, ["1", "1920", "1080"]);
  report.axe_wait = await violations(session);
  await session.shot(path.join(shots, "site-1280.png"));
  if (engine === "chromium") {
    await visit(session, url);
    await as_installed(session, shots, report);
    await session.page.setViewport({ width: 1280, height: 800 });
  }

  // The host is down: the visitor's next visit still runs a whole dialogue.
  await server.stop();
  report.offline_visit = await visit(session, url);
  report.offline = await dialogue(session, ["1", "1920", "1080"]);

  // The next build is hosted: a visit finds it, its worker takes over, and
  // the visit after that runs it, from its cache alone.
  const next = await serve(next_site, server.port, report.requests);
  await visit(session, url);
  await until(session, async (old) => {
    const names = await caches.keys();
    return names.length === 1 && names[0] !== old;
  }, "the next build's cache", report.first_visit.caches[0]);
  report.updated_visit = await visit(session, url);
  await next.stop();
}

async function main() {
  const [engine, executable, site, next_site, shots] = process.argv.slice(2);
  const report = { requests: [] };
  const server = await serve(site, 0, report.requests);
  const url = `http://127.0.0.1:${server.port}/`;
  const session = engine === "webkit" ? await webkit_session(executable)
    : await puppeteer_session(engine, executable, url);
  try {
    await drive(engine, session, server, url, next_site, shots, report);
  } catch (error) {
    report.failure = String(error && error.stack || error);
  } finally {
    await session.close();
  }
  report.console = session.console;
  // A server left listening by a failed step would keep node alive.
  process.stdout.write(JSON.stringify(report) + "\n", () => process.exit(0));
}

main();
