// The page's side of the dialogue: the screen the program writes to, the
// field its answers are typed in, and the wait for a key at the end of a run.
// The module calls read, write, result, target and wait_for_key
// (host_page.cpp); the user's own picture is kadrimo_picture's (picture.js).
/* exported kadrimo_page */
var kadrimo_page = (function () {
  "use strict";
  const screen = document.getElementById("screen");
  const transcript = document.getElementById("transcript");
  const form = document.getElementById("answer-form");
  const field = document.getElementById("answer");
  const pick = document.getElementById("pick");
  const encoder = new TextEncoder();
  // Each write is whole characters: the module passes its output on only at
  // a flush, after a prompt or the results.
  const decoder = new TextDecoder("shift_jis");
  // What has been typed and not yet read: UTF-8, one Uint8Array per line,
  // with the text to show when it is read if a picture typed it.
  const lines = [];
  let wake_reader = null;
  // Where the run stands for a picture: its width asked for now; the results
  // as printed, to draw the frames from, and the target's size, to save at.
  let picture_width_asked = false;
  let results = [];
  let target_size = null;

  // A console gives each double-byte Shift-JIS character two cells and every
  // other one a single cell; so does the page, whatever the fonts, so the
  // menu lines stay aligned as they are in a console.
  function is_wide(character) {
    const code = character.codePointAt(0);
    return code >= 0x80 && !(code >= 0xff61 && code <= 0xff9f);
  }

  function show(text) {
    let narrow = "";
    for (const character of text) {
      if (!is_wide(character)) {
        narrow += character;
        continue;
      }
      if (narrow) transcript.append(narrow);
      narrow = "";
      const cell = document.createElement("span");
      cell.className = "wide";
      cell.textContent = character;
      transcript.append(cell);
    }
    if (narrow) transcript.append(narrow);
  }

  // Where the program waits, the end of what it wrote comes into view (the
  // field is hidden while it writes, so only then is there a place to show).
  function show_the_end() {
    window.scrollTo(0, document.documentElement.scrollHeight);
  }

  function ask() {
    pick.hidden = !picture_width_asked;
    form.hidden = false;
    field.value = "";
    field.focus();
    show_the_end();
  }

  // Enter in the field hands its line over, as a console's line input does,
  // and shows it where it was typed.
  form.addEventListener("submit", function (event) {
    event.preventDefault();
    if (!wake_reader) return;
    const line = field.value + "\n";
    form.hidden = true;
    show(line);
    lines.push({ bytes: encoder.encode(line), echo: "" });
    wake();
  });

  function wake() {
    const wake_up = wake_reader;
    wake_reader = null;
    wake_up();
  }

  // The picture's size answers the width and the height prompts, each shown
  // as it is read, as if keyed there.
  function type_picture(width, height) {
    form.hidden = true;
    for (const side of [width, height]) {
      const line = side + "\n";
      lines.push({ bytes: encoder.encode(line), echo: line });
    }
    if (wake_reader) wake();
  }

  // A tap anywhere, below the text too, brings the field back into focus,
  // unless text is being selected to be copied, or the tap opens the picker
  // (a phone's keypad would come up over it).
  document.addEventListener("click", function (event) {
    if (event.target === pick) return;
    if (!form.hidden && window.getSelection().isCollapsed) field.focus();
  });

  async function read(bytes, capacity) {
    if (lines.length === 0 && picture_width_asked) kadrimo_picture.width_asked();
    if (lines.length === 0) {
      await new Promise(function (resolve) {
        wake_reader = resolve;
        ask();
      });
    }
    const line = lines[0];
    if (line.echo) show(line.echo);
    line.echo = "";
    const count = Math.min(capacity, line.bytes.length);
    HEAPU8.set(line.bytes.subarray(0, count), bytes);
    if (count === line.bytes.length) lines.shift();
    else line.bytes = line.bytes.subarray(count);
    return count;
  }

  function write(bytes, width_asked) {
    kadrimo_picture.running();
    if (picture_width_asked && !width_asked) kadrimo_picture.width_gone();
    picture_width_asked = width_asked;
    show(decoder.decode(bytes));
  }

  function result(which, label, number) {
    results[which] = { label: decoder.decode(label), number: decoder.decode(number) };
  }

  function target(width, height) {
    target_size = { width: width, height: height };
  }

  // Keys that only change others (Shift, Ctrl, ...), shortcuts such as copy,
  // a held key's repeats (Enter held on the last answer) and a tap that ends
  // a selection do not end the run; the key that does is kept from reaching
  // the next run's field, so it is never typed into its first answer.
  const modifier_keys = ["Shift", "Control", "Alt", "Meta", "AltGraph", "CapsLock", "Fn"];

  // Working the picture (its frame, its controls, Tab between them) does
  // not end the run either.
  function wait_for_key() {
    kadrimo_picture.show(results, target_size);
    return new Promise(function (resolve) {
      function finish(event) {
        event.preventDefault();
        document.removeEventListener("keydown", on_key, true);
        document.removeEventListener("click", on_tap, true);
        transcript.textContent = "";
        lines.length = 0;
        picture_width_asked = false;
        results = [];
        target_size = null;
        kadrimo_picture.release();
        resolve();
      }
      function on_key(event) {
        if (event.repeat || event.isComposing) return;
        if (event.ctrlKey || event.metaKey || modifier_keys.includes(event.key)) return;
        if (kadrimo_picture.works(event)) return;
        finish(event);
      }
      function on_tap(event) {
        if (!window.getSelection().isCollapsed || kadrimo_picture.works(event)) return;
        finish(event);
      }
      document.addEventListener("keydown", on_key, true);
      document.addEventListener("click", on_tap, true);
      screen.focus();
      show_the_end();
    });
  }

  // Served as the site (its index.html names a manifest), the page has a
  // worker keep it for offline use; opened from disk or on its own, none.
  // Where the browser refuses one (a private window, say), it goes on without.
  const site = document.querySelector('link[rel="manifest"]') !== null;
  if (site && "serviceWorker" in navigator)
    navigator.serviceWorker.register("sw.js").catch(function () {});

  kadrimo_picture.start({ type: type_picture, site: site });

  return { read: read, write: write, result: result, target: target, wait_for_key: wait_for_key };
})();
