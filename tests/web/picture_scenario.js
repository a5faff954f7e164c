"use strict";
// The user's own picture on the page, in the page scenario's session: made in
// the browser (a landscape PNG whose pixels tell where they came from, a
// 12 MP JPEG stored landscape with EXIF orientation 6, bad files), dropped,
// pasted and picked; the sizes it typed, the frames drawn, the frame moved,
// the files saved and decoded, the bad ones refused. What it saw goes into
// the report.
const fs = require("fs");
const os = require("os");
const path = require("path");

// In the page: makes the test pictures and keeps every file the page saves
// (its downloads are kept from happening).
function prepare() {
  // Each pixel says where it is: red the low byte of x, green of y, blue
  // their high nibbles.
  async function coded_png(width, height) {
    const canvas = document.createElement("canvas");
    [canvas.width, canvas.height] = [width, height];
    const context = canvas.getContext("2d");
    const pixels = context.createImageData(width, height);
    for (let y = 0, i = 0; y < height; y++) {
      for (let x = 0; x < width; x++, i += 4) {
        pixels.data.set([x & 255, y & 255, ((x >> 8) << 4) | (y >> 8), 255], i);
      }
    }
    context.putImageData(pixels, 0, 0);
    return new Promise((resolve) => canvas.toBlob(resolve, "image/png"));
  }
  // A JPEG stored WIDTH x HEIGHT with an EXIF block (APP1) saying it is
  // shown turned a quarter clockwise (orientation 6).
  async function turned_jpeg(width, height) {
    const canvas = document.createElement("canvas");
    [canvas.width, canvas.height] = [width, height];
    const context = canvas.getContext("2d");
    context.fillStyle = "#3060a0";
    context.fillRect(0, 0, width, height);
    context.fillStyle = "#f0c040";
    context.fillRect(0, 0, width / 4, height);
    const jpeg = new Uint8Array(await (await new Promise((resolve) =>
      canvas.toBlob(resolve, "image/jpeg", 0.9))).arrayBuffer());
    const exif = [0xff, 0xe1, 0, 34, 0x45, 0x78, 0x69, 0x66, 0, 0, 0x4d, 0x4d, 0, 0x2a, 0, 0, 0, 8,
                  0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, 6, 0, 0, 0, 0, 0, 0];
    return new Blob([jpeg.subarray(0, 2), new Uint8Array(exif), jpeg.subarray(2)],
                    { type: "image/jpeg" });
  }
  window.kadrimo_test = {
    landscape: async () => new File([await coded_png(1920, 1080)], "landscape.png",
                                    { type: "image/png" }),
    turned: async () => new File([await turned_jpeg(4032, 3024)], "portrait.jpg",
                                 { type: "image/jpeg" }),
    bad: () => [new File(["not a picture"], "text.jpg", { type: "image/jpeg" }),
                new File([], "empty.png", { type: "image/png" }),
                new File(['<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 3 2"/>'], "sized.svg",
                         { type: "image/svg+xml" })],
    saved: [],
  };
  const blobs = new Map();
  const create = URL.createObjectURL;
  URL.createObjectURL = (blob) => {
    const url = create(blob);
    blobs.set(url, blob);
    return url;
  };
  HTMLAnchorElement.prototype.click = function () {
    window.kadrimo_test.saved.push({ name: this.download, blob: blobs.get(this.href) });
  };
}

// What the page shows of the picture.
function picture_look() {
  const panel = document.getElementById("picture");
  const tag = (id) => {
    const frame = document.getElementById(id);
    return frame.hidden ? null : frame.querySelector(".tag").textContent;
  };
  const shown = (id) => !document.getElementById(id).hidden;
  const slider = document.getElementById("inner-frame");
  return {
    text: document.getElementById("transcript").textContent,
    asking: !document.getElementById("answer-form").hidden,
    pick_offered: shown("pick"),
    note: document.getElementById("note").textContent,
    shown: !panel.hidden,
    outer: panel.hidden ? null : tag("outer-frame"),
    inner: panel.hidden ? null : tag("inner-frame"),
    caption: document.getElementById("picture-caption").textContent,
    offset: Number(slider.getAttribute("aria-valuenow")),
    controls: ["save-cut", "save-margins"].filter(shown),
    view_width: document.getElementById("picture-view").getBoundingClientRect().width,
    screen_width: document.documentElement.clientWidth,
  };
}

// The saved files, each decoded: its name, type and size, and the pixels at
// the given places, as [r, g, b, a].
function saved_files(places) {
  return Promise.all(window.kadrimo_test.saved.map(async ({ name, blob }) => {
    const bitmap = await createImageBitmap(blob);
    const canvas = document.createElement("canvas");
    [canvas.width, canvas.height] = [bitmap.width, bitmap.height];
    const context = canvas.getContext("2d", { willReadFrequently: true });
    context.drawImage(bitmap, 0, 0);
    return {
      name: name, type: blob.type, size: [bitmap.width, bitmap.height],
      pixels: places.map(([x, y]) => Array.from(context.getImageData(x, y, 1, 1).data)),
    };
  }));
}

async function until_note(session, what) {
  await session.until(() => document.getElementById("note").textContent !== "", what);
  return session.run(picture_look);
}

// Gives the page a file made by kadrimo_test[MAKE], as HOW: a drop or a
// paste. Firefox hands a page's own paste event no files, so there a paste
// is a drop.
function give(session, how, make, index = 0) {
  if (session.engine === "firefox") how = "drop";
  return session.run(async (how, make, index) => {
    const made = await window.kadrimo_test[make]();
    const transfer = new DataTransfer();
    transfer.items.add(Array.isArray(made) ? made[index] : made);
    const event = how === "drop" ? new DragEvent("drop", { dataTransfer: transfer, bubbles: true })
      : new ClipboardEvent("paste", { clipboardData: transfer, bubbles: true });
    document.getElementById(how === "drop" ? "screen" : "answer").dispatchEvent(event);
  }, how, make, index);
}

async function run(session, { answer, settle, look }, engine, shots, report) {
  session.engine = engine;
  await session.run(prepare);
  await session.set_viewport({ width: 1280, height: 800 });
  // A new run; the landscape PNG is dropped at the menu, held, and types its
  // size at the picture's width prompt.
  await session.keyboard.press("x");
  await settle(session, "");
  await give(session, "drop", "landscape");
  report.held = await until_note(session, "the dropped picture");
  report.landscape = await answer(session, "0");
  await session.until(() => !document.getElementById("picture").hidden, "the picture");
  report.landscape = await session.run(picture_look);
  report.axe_picture = await session.violations();
  await session.shot(path.join(shots, "landscape-1280.png"));
  await session.set_viewport({ width: 390, height: 844 });
  report.landscape_390 = await session.run(picture_look);
  await session.shot(path.join(shots, "landscape-390.png"));
  await session.set_viewport({ width: 1280, height: 800 });

  // The frame inside dragged to the right, then one arrow key's step back;
  // both files saved. None of it ends the run.
  const box = await session.run(() => {
    const frame = document.getElementById("inner-frame").getBoundingClientRect();
    return [frame.left + frame.width / 2, frame.top + frame.height / 2];
  });
  await session.mouse.move(box[0], box[1]);
  await session.mouse.down();
  await session.mouse.move(box[0] + 50, box[1]);
  await session.mouse.up();
  report.dragged = (await session.run(picture_look)).offset;
  await session.keyboard.press("ArrowLeft");
  report.moved = (await session.run(picture_look)).offset;
  await session.mouse.click(...(await session.run(() => {
    const button = document.getElementById("save-cut");
    button.scrollIntoView();
    const box = button.getBoundingClientRect();
    return [box.left + 5, box.top + 5];
  })));
  await session.until(() => window.kadrimo_test.saved.length === 1, "the cut picture");
  // A second picture while a save is working is refused.
  report.busy = await session.run(async () => {
    document.getElementById("save-margins").click();
    const transfer = new DataTransfer();
    transfer.items.add(new File([new Uint8Array(8)], "second.png", { type: "image/png" }));
    document.dispatchEvent(new DragEvent("drop", { dataTransfer: transfer, bubbles: true }));
    return document.getElementById("note").textContent;
  });
  await session.until(() => window.kadrimo_test.saved.length === 2, "the picture with margins");
  report.saved = await session.run(saved_files, [[0, 0], [0, 803], [0, 804], [0, 1883], [0, 1884]]);
  report.after_saving = await session.run(picture_look);

  // The next key ends the run, and the next run has no picture; the 12 MP
  // JPEG, picked at the width prompt, types the size it is seen at.
  await session.keyboard.press("x");
  report.next_run = await settle(session, report.after_saving.text);
  report.next_run.shown = (await session.run(picture_look)).shown;
  report.width_asked = await answer(session, "1");
  report.width_asked.pick_offered = (await session.run(picture_look)).pick_offered;
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "kadrimo-picture-"));
  const jpeg = path.join(scratch, "portrait.jpg");
  fs.writeFileSync(jpeg, Buffer.from(await session.run(async () => {
    const bytes = new Uint8Array(await (await window.kadrimo_test.turned()).arrayBuffer());
    let text = "";
    for (let i = 0; i < bytes.length; i += 0x8000) {
      text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    }
    return btoa(text);
  }), "base64"));
  let started = Date.now();
  await session.pick("#pick", "#picture-file", jpeg);
  await session.until(() => !document.getElementById("picture").hidden, "the picked picture");
  report.typed_ms = Date.now() - started;
  report.portrait = await session.run(picture_look);
  await session.shot(path.join(shots, "portrait-1280.png"));
  await session.set_viewport({ width: 390, height: 844 });
  await session.shot(path.join(shots, "portrait-390.png"));
  await session.set_viewport({ width: 1280, height: 800 });
  started = Date.now();
  await session.run(() => document.getElementById("save-cut").click());
  await session.until(() => window.kadrimo_test.saved.length === 3, "the cut JPEG");
  report.saved_ms = Date.now() - started;
  report.saved_jpeg = (await session.run(saved_files, []))[2];
  fs.rmSync(scratch, { recursive: true, force: true });

  // Bad pictures at the width prompt: each refused with its message, the
  // prompt still waiting, nothing typed; then one after the width is typed.
  await session.keyboard.press("x");
  await settle(session, report.portrait.text);
  const before_bad = await answer(session, "1");
  report.bad = [];
  for (const index of [0, 1, 2]) {
    await session.run(() => (document.getElementById("note").textContent = ""));
    await give(session, index === 1 ? "paste" : "drop", "bad", index);
    report.bad.push(await until_note(session, "a bad picture refused"));
  }
  report.bad_before = before_bad.text;
  await answer(session, "1920");
  await give(session, "paste", "landscape");
  report.late = await until_note(session, "the late picture");
  report.late_run = await answer(session, "1080");
  report.late_run.shown = (await session.run(picture_look)).shown;

  // Results that need no frame, that give none, and a margin too large to
  // save.
  for (const [name, answers] of [["same", ["16", "9"]], ["no_frames", ["1", "0"]],
                                 ["too_large", ["1", "100000"]]]) {
    const ended = (await look(session)).text;
    await session.keyboard.press("x");
    await settle(session, ended);
    await give(session, "drop", "landscape");
    await until_note(session, "the dropped picture");
    await answer(session, "9");
    await answer(session, answers[0]);
    await answer(session, answers[1]);
    await session.until(() => !document.getElementById("picture").hidden, "the picture");
    report[name] = await session.run(picture_look);
  }
  await session.run(() => document.getElementById("save-margins").click());
  report.too_large_saved = await session.until(() =>
    document.getElementById("note").textContent.startsWith("大きすぎ"), "the save refused");
  report.too_large_saved = await session.run(picture_look);
}

module.exports = { run };
