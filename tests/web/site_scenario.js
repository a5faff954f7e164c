"use strict";
// The hosted site used as a visitor would: served on 127.0.0.1 (a secure
// context, as a host's HTTPS is), opened, its worker let take over, a
// dialogue run with the server stopped, then the next build served and
// visited again; before all that, its index.html opened from disk, as an
// unzipped site may be. What it saw goes into the report.
const fs = require("fs");
const http = require("http");
const path = require("path");
const { settle } = require("./page_scenario");

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

const asking = () => {
  const form = document.getElementById("answer-form");
  return form !== null && !form.hidden;
};

// Opens the site and waits for its first prompt, with its worker in control.
async function visit(session, url) {
  await session.goto(url);
  await session.until(asking, "the first prompt");
  await session.until(() => navigator.serviceWorker.controller !== null, "the worker");
  return session.run(async () => ({
    banner: document.getElementById("transcript").textContent.split("\n")[0],
    state: (await navigator.serviceWorker.ready).active.state,
    caches: await caches.keys(),
  }));
}

// Hands each answer over as an input method commits it; what the screen
// gained from the last Enter to the wait is what a screen reader is given of
// the log, one addition after another.
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
    await settle(session, before);
  }
  return session.run(() => ({
    text: document.getElementById("transcript").textContent,
    added: window.kadrimo_added.join(""),
  }));
}

// Chromium only: what it finds against installing the site, and the site as
// installed on a phone of 390 x 844 with a notch and a home bar.
async function as_installed(session, shots, report) {
  const cdp = await session.page.createCDPSession();
  report.installability = (await cdp.send("Page.getInstallabilityErrors")).installabilityErrors;
  report.manifest_errors = (await cdp.send("Page.getAppManifest")).errors;
  await session.set_viewport({ width: 390, height: 844, deviceScaleFactor: 2, isMobile: true,
                               hasTouch: true });
  await cdp.send("Emulation.setSafeAreaInsetsOverride",
                 { insets: { top: 47, topMax: 47, bottom: 34, bottomMax: 34, left: 0, right: 0 } });
  // A phone's viewport reloads the page.
  await session.until(asking, "the prompt on the phone");
  report.installed = await session.run(() => {
    const first = document.createRange();
    first.selectNodeContents(document.getElementById("transcript"));
    const text = first.getClientRects()[0];
    const enter = document.getElementById("enter").getBoundingClientRect();
    const [x, y] = [enter.left + enter.width / 2, enter.top + enter.height / 2];
    const field = document.getElementById("answer");
    return {
      standalone: matchMedia("(display-mode: standalone)").matches,
      text_top: text.top + window.scrollY,
      bottom_padding: parseFloat(getComputedStyle(document.body).paddingBottom),
      // Where a finger 44 px across lands around the button's centre.
      taps: [[0, -21], [0, 21], [-21, 0], [21, 0]].map(([dx, dy]) =>
        (document.elementFromPoint(x + dx, y + dy) || {}).id),
      field_font: getComputedStyle(field).fontSize,
      field_height: field.getBoundingClientRect().height,
    };
  });
  // A tap far below the text, the field not focused, focuses it.
  await session.run(() => document.activeElement.blur());
  await session.page.touchscreen.tap(195, 780);
  report.installed.tapped_below = await session.run(() => document.activeElement.id);
  await session.shot(path.join(shots, "installed-390.png"));
}

// A gallery's "Share -> kadrimo": a multipart POST of a 64 x 48 PNG to the
// manifest's share_target, which the worker answers itself; the page it
// opens types the picture's size at the width prompt.
async function share(session, report) {
  await session.run(async () => {
    const canvas = Object.assign(document.createElement("canvas"), { width: 64, height: 48 });
    const blob = await new Promise((resolve) => canvas.toBlob(resolve, "image/png"));
    const transfer = new DataTransfer();
    transfer.items.add(new File([blob], "shared.png", { type: "image/png" }));
    const form = Object.assign(document.createElement("form"),
                               { method: "post", enctype: "multipart/form-data", action: "share" });
    const input = Object.assign(document.createElement("input"), { type: "file", name: "picture" });
    input.files = transfer.files;
    form.append(input);
    document.body.append(form);
    form.submit();
  });
  await session.until(() => location.search === "" && !document.getElementById("answer-form").hidden,
                      "the page the shared picture opens");
  report.shared = await dialogue(session, ["1"]);
  report.shared.caches = await session.run(() => caches.keys());
}

async function run(open, engine, { page, site, next_site, shots }, report) {
  report.served = [];
  const server = await serve(site, 0, report.served);
  const url = `http://127.0.0.1:${server.port}/`;
  // Chromium's window is the site's as an app's: it has opened the site
  // itself. A visit while its worker takes over could load from the network
  // a page that the worker's claim just missed, so the visit waits for it to
  // be active.
  const session = await open({ app: engine === "chromium" ? url : null });
  if (engine === "chromium") {
    await session.until(asking, "the app window");
    await session.run(async () => (await navigator.serviceWorker.ready).active.state);
  }
  report.first_visit = await visit(session, url);
  report.axe_opening = await session.violations();
  report.run = await dialogue(session, ["1", "1920", "1080"]);
  report.axe_wait = await session.violations();
  await session.shot(path.join(shots, "site-1280.png"));
  if (engine === "chromium") {
    await visit(session, url);
    await as_installed(session, shots, report);
    await session.set_viewport({ width: 1280, height: 800 });
  }

  // The host is down: the visitor's next visit still runs a whole dialogue.
  await server.stop();
  report.offline_visit = await visit(session, url);
  report.offline = await dialogue(session, ["1", "1920", "1080"]);
  await share(session, report);

  // The next build is hosted: a visit finds it, its worker takes over, and
  // the visit after that runs it, from its cache alone.
  const next = await serve(next_site, server.port, report.served);
  await visit(session, url);
  await session.until(async (old) => {
    const names = await caches.keys();
    return names.length === 1 && names[0] !== old;
  }, "the next build's cache", report.first_visit.caches[0]);
  report.updated_visit = await visit(session, url);
  await next.stop();

  // The page on its own, served as one file: it asks for no worker.
  report.page_served = [];
  const alone = await serve(path.dirname(page), 0, report.page_served);
  await session.goto(`http://127.0.0.1:${alone.port}/${path.basename(page)}`);
  await session.until(asking, "the first prompt of the page served alone");
  await alone.stop();

  // The unzipped site opened from disk runs as the page does, with nothing
  // on the console for the worker it cannot have.
  await session.goto("file://" + path.resolve(site, "index.html"));
  await session.until(asking, "the first prompt from disk");
  report.from_disk = await dialogue(session, ["1", "1920", "1080"]);
}

module.exports = { run };
