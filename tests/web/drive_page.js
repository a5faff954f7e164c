"use strict";
// Uses kadrimo.html in a headless browser as a person would: opens it from
// disk, types answers and presses keys, and prints what the page showed at
// each step as JSON, for page_test.py to judge.
//
//   node drive_page.js chromium|firefox|webkit BROWSER PAGE SCREENSHOT_DIR
const path = require("path");
const fs = require("fs");
const puppeteer = require("puppeteer-core");

const AXE = fs.readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");

const WAIT_END = " . . .";
// Each side of the ends of what is two cells wide: from U+0080, but U+FF61-FF9F.
const EDGES = "\u007f\u0080\uff60\uff61\uff9f\uffa0";

// What the person sees and where the keys go.
function look(page) {
  return page.evaluate(() => {
    const form = document.getElementById("answer-form");
    const field = document.getElementById("answer");
    const box = field.getBoundingClientRect();
    const root = document.documentElement;
    return {
      text: document.getElementById("transcript").textContent,
      wide: Array.from(document.querySelectorAll("#transcript .wide"), (cell) => cell.textContent),
      asking: !form.hidden,
      focus: document.activeElement.id,
      value: field.value,
      field_box: [box.left, box.top, box.width, box.height],
      at_end: window.scrollY + window.innerHeight >= root.scrollHeight - 1,
    };
  });
}

// Opens the page; when it first asked for an answer, counted from the start
// of navigation (WebKit's driver times it by polling).
async function open(page, url) {
  if (page.open_and_time) return page.open_and_time(url);
  await page.evaluateOnNewDocument(() => {
    new MutationObserver((changes, observer) => {
      const form = document.getElementById("answer-form");
      if (form && !form.hidden) {
        window.kadrimo_first_prompt = performance.now();
        observer.disconnect();
      }
    }).observe(document, { subtree: true, childList: true, attributes: true });
  });
  await page.goto(url);
  await page.waitForFunction(() => window.kadrimo_first_prompt !== undefined);
  return page.evaluate(() => window.kadrimo_first_prompt);
}

// What axe-core finds against the page as it stands, one "rule: element" a
// violation. It is evaluated by the driver, so the page's policy lets it in.
async function violations(page) {
  await page.evaluate(AXE);
  return page.evaluate(async () => {
    const found = (await window.axe.run(document)).violations;
    return found.flatMap((rule) => rule.nodes.map((node) => `${rule.id}: ${node.target}`));
  });
}

// Until the program has written something and waits again: for an answer
// or for the key that ends the run.
async function settle(page, before) {
  await page.waitForFunction((previous, end) => {
    const text = document.getElementById("transcript").textContent;
    const asking = !document.getElementById("answer-form").hidden;
    return text !== previous && (asking || text.endsWith(end));
  }, { timeout: 10000 }, before, WAIT_END);
  return look(page);
}

// Text as an input method commits it. Firefox's driver (WebDriver BiDi) takes
// one character a call, so a long answer goes in as one insertion there.
async function commit(page, text) {
  if (text.length > 16) {
    await page.evaluate((line) => document.execCommand("insertText", false, line), text);
  } else {
    for (const character of text) await page.keyboard.sendCharacter(character);
  }
}

async function answer(page, text) {
  const before = (await look(page)).text;
  await commit(page, text);
  await page.keyboard.press("Enter");
  return settle(page, before);
}

// A drag over the first lines, as a person selects text to copy.
async function drag(page) {
  await page.mouse.move(20, 20);
  await page.mouse.down();
  await page.mouse.move(200, 60);
  await page.mouse.up();
}

// The left edge of each "(" on the screen, in order.
function parentheses(page) {
  return page.evaluate(() => {
    const edges = [];
    const walker = document.createTreeWalker(document.getElementById("transcript"),
                                             NodeFilter.SHOW_TEXT);
    for (let node = walker.nextNode(); node; node = walker.nextNode()) {
      for (let i = node.data.indexOf("("); i >= 0; i = node.data.indexOf("(", i + 1)) {
        const range = document.createRange();
        range.setStart(node, i);
        range.setEnd(node, i + 1);
        edges.push(range.getBoundingClientRect().left);
      }
    }
    return edges;
  });
}

async function drive(browser, engine, url, shots, report) {
  const page = await browser.newPage();
  // The module's wasm is inside the page, as a data: URL that it fetches;
  // that never leaves the page. Anything else would.
  page.on("request", (request) => {
    const target = request.url();
    if (target !== url && !target.startsWith("data:")) report.requests.push(target);
  });
  page.on("console", (message) => {
    if (["error", "warn", "assert"].includes(message.type())) report.console.push(message.text());
  });
  page.on("pageerror", (error) => report.console.push(String(error)));
  await page.setViewport({ width: 1280, height: 800 });
  // The network is off where the driver can switch it off (not over BiDi or
  // WebDriver); in every engine any request is reported.
  if (engine === "chromium") await page.setOfflineMode(true);
  report.first_prompt_ms = await open(page, url);
  report.lang = await page.evaluate(() => document.documentElement.lang);
  report.inputmode = await page.evaluate(() =>
    document.getElementById("answer").getAttribute("inputmode"));
  report.opening = await look(page);
  report.axe_opening = await violations(page);
  report.parentheses = await parentheses(page);

  report.width_asked = await answer(page, "1");
  await page.keyboard.type("1920");
  report.typing = await look(page);
  await page.keyboard.press("Enter");
  await settle(page, report.typing.text);
  report.typical = await answer(page, "1080");
  report.axe_wait = await violations(page);
  await page.screenshot({ path: path.join(shots, "finished-1280.png"), fullPage: true });
  await page.setViewport({ width: 360, height: 740 });
  report.narrow_overflow = await page.evaluate(() =>
    document.documentElement.scrollWidth - document.documentElement.clientWidth);
  await page.screenshot({ path: path.join(shots, "finished-360.png"), fullPage: true });

  // None of these ends the run: a held key's repeat, a key while an IME
  // composes, Shift alone, copying with Ctrl+C or Cmd+C, a drag that selects.
  await page.evaluate(() => {
    for (const init of [{ key: "Enter", repeat: true }, { key: "a", isComposing: true }])
      document.dispatchEvent(new KeyboardEvent("keydown", init));
  });
  for (const keys of [["Shift"], ["Control", "c"], ["Meta", "c"]]) {
    for (const key of keys) await page.keyboard.down(key);
    for (const key of keys.reverse()) await page.keyboard.up(key);
  }
  await drag(page);
  report.ignored = await look(page);

  // A printable key ends the run; it must not reach the next run's field.
  await page.keyboard.press("x");
  report.after_key = await settle(page, report.typical.text);
  // Enter pressed twice before the program reads (a fast typist, a slow
  // machine) hands over one answer; its characters at the edges of the
  // double-width range take the widths a console gives them.
  await page.evaluate((text) => {
    const form = document.getElementById("answer-form");
    document.getElementById("answer").value = text;
    form.requestSubmit();
    form.requestSubmit();
  }, "7" + EDGES);
  report.invalid = await settle(page, report.after_key.text);

  // A tap ends it too.
  await page.mouse.click(20, 20);
  report.after_tap = await settle(page, report.invalid.text);
  // A drag while an answer is asked for selects; a tap then refocuses the field.
  await drag(page);
  report.still_selected = await page.evaluate(() => !window.getSelection().isCollapsed);
  await page.mouse.click(300, 150);
  report.refocused = (await look(page)).focus;
  // On a screen shorter than the run, each prompt and the wait come into
  // view; a width longer than what the module reads at once arrives whole.
  await page.setViewport({ width: 360, height: 300 });
  await answer(page, "1");
  report.height_asked = await answer(page, " ".repeat(4095) + "１９２０");
  report.full_width = await answer(page, "1080");
  await page.close();
}

async function main() {
  const [engine, executable, page_file, shots] = process.argv.slice(2);
  const url = "file://" + path.resolve(page_file);
  const report = { requests: [], console: [], edges: EDGES };
  // Root has no sandbox in a container, and a container's /dev/shm may be
  // small or missing; the page is our own file.
  const chromium_args = ["--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu",
                         "--no-first-run", "--disable-extensions"];
  const browser = engine === "webkit" ? await require("./webkit_page").launch(executable)
    : await puppeteer.launch({
      browser: engine === "firefox" ? "firefox" : "chrome",
      executablePath: executable,
      headless: true,
      args: engine === "firefox" ? [] : chromium_args,
    });
  try {
    await drive(browser, engine, url, shots, report);
  } catch (error) {
    report.failure = String(error && error.stack || error);
  } finally {
    await browser.close();
  }
  process.stdout.write(JSON.stringify(report) + "\n");
}

main();
