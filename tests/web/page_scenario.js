"use strict";
// kadrimo.html used as a person would: opened from disk, answers typed,
// keys pressed, taps and drags; what the page showed at each step goes into
// the report.
const path = require("path");

const WAIT_END = " . . .";
// Each side of the ends of what is two cells wide: from U+0080, but U+FF61-FF9F.
const EDGES = "\u007f\u0080\uff60\uff61\uff9f\uffa0";

// What the person sees and where the keys go.
function look(session) {
  return session.run(() => {
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

// Until the program has written something and waits again: for an answer
// or for the key that ends the run.
async function settle(session, before) {
  await session.until((previous, end) => {
    const text = document.getElementById("transcript").textContent;
    const asking = !document.getElementById("answer-form").hidden;
    return text !== previous && (asking || text.endsWith(end));
  }, "the program to wait again", before, WAIT_END);
  return look(session);
}

// Text as an input method commits it. Firefox's driver (WebDriver BiDi) takes
// one character a call, so a long answer goes in as one insertion there.
async function answer(session, text) {
  const before = (await look(session)).text;
  if (text.length > 16) {
    await session.run((line) => document.execCommand("insertText", false, line), text);
  } else {
    for (const character of text) await session.keyboard.sendCharacter(character);
  }
  await session.keyboard.press("Enter");
  return settle(session, before);
}

// A drag over the first lines, as a person selects text to copy.
async function drag(session) {
  await session.mouse.move(20, 20);
  await session.mouse.down();
  await session.mouse.move(200, 60);
  await session.mouse.up();
}

// The left edge of each "(" on the screen, in order.
function parentheses(session) {
  return session.run(() => {
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

async function run(open, engine, { page, shots }, report) {
  // WebKit's window is wider than a phone: the page goes into a frame.
  const session = await open({ framed: true });
  report.edges = EDGES;
  // The network is off where the driver can switch it off (not over BiDi or
  // WebDriver); in every engine any request is reported.
  if (engine === "chromium") await session.page.setOfflineMode(true);
  await session.goto("file://" + path.resolve(page));
  report.first_prompt_ms = await session.until(
    () => !document.getElementById("answer-form").hidden, "the first prompt");
  report.lang = await session.run(() => document.documentElement.lang);
  report.inputmode = await session.run(() =>
    document.getElementById("answer").getAttribute("inputmode"));
  report.opening = await look(session);
  report.axe_opening = await session.violations();
  report.parentheses = await parentheses(session);

  report.width_asked = await answer(session, "1");
  await session.keyboard.type("1920");
  report.typing = await look(session);
  await session.keyboard.press("Enter");
  await settle(session, report.typing.text);
  report.typical = await answer(session, "1080");
  report.axe_wait = await session.violations();
  await session.shot(path.join(shots, "finished-1280.png"));
  await session.set_viewport({ width: 360, height: 740 });
  report.narrow_overflow = await session.run(() =>
    document.documentElement.scrollWidth - document.documentElement.clientWidth);
  await session.shot(path.join(shots, "finished-360.png"));

  // None of these ends the run: a held key's repeat, a key while an IME
  // composes, Shift alone, copying with Ctrl+C or Cmd+C, a drag that selects.
  await session.run(() => {
    for (const init of [{ key: "Enter", repeat: true }, { key: "a", isComposing: true }])
      document.dispatchEvent(new KeyboardEvent("keydown", init));
  });
  for (const keys of [["Shift"], ["Control", "c"], ["Meta", "c"]]) {
    for (const key of keys) await session.keyboard.down(key);
    for (const key of keys.reverse()) await session.keyboard.up(key);
  }
  await drag(session);
  report.ignored = await look(session);

  // A printable key ends the run; it must not reach the next run's field.
  await session.keyboard.press("x");
  report.after_key = await settle(session, report.typical.text);
  // Enter pressed twice before the program reads (a fast typist, a slow
  // machine) hands over one answer; its characters at the edges of the
  // double-width range take the widths a console gives them.
  await session.run((text) => {
    const form = document.getElementById("answer-form");
    document.getElementById("answer").value = text;
    form.requestSubmit();
    form.requestSubmit();
  }, "7" + EDGES);
  report.invalid = await settle(session, report.after_key.text);

  // A tap ends it too.
  await session.mouse.click(20, 20);
  report.after_tap = await settle(session, report.invalid.text);
  // A drag while an answer is asked for selects; a tap then, below the
  // text, refocuses the field.
  await drag(session);
  report.still_selected = await session.run(() => !window.getSelection().isCollapsed);
  await session.mouse.click(300, 700);
  report.refocused = (await look(session)).focus;
  // On a screen shorter than the run, each prompt and the wait come into
  // view; a width longer than what the module reads at once arrives whole.
  await session.set_viewport({ width: 360, height: 300 });
  await answer(session, "1");
  report.height_asked = await answer(session, " ".repeat(4095) + "１９２０");
  report.full_width = await answer(session, "1080");
  report.picture = {};
  await require("./picture_scenario").run(session, { answer, settle, look }, engine, shots,
                                          report.picture);
}

module.exports = { run, settle };
