// The user's own picture: taken from the picker, a drop or a paste (or shared
// to the installed site), its size typed for the user at the picture's width
// prompt, and after the results shown with both results drawn on it as
// frames, to be saved cut or with margins. It never leaves the device: it is
// decoded, drawn and encoded here, and saved as a download.
/* exported kadrimo_picture */
var kadrimo_picture = (function () {
  "use strict";
  const note = document.getElementById("note");
  const panel = document.getElementById("picture");
  const view = document.getElementById("picture-view");
  const canvas = document.getElementById("picture-canvas");
  const outer = document.getElementById("outer-frame");
  const clip = document.getElementById("inner-clip");
  const inner = document.getElementById("inner-frame");
  const caption = document.getElementById("picture-caption");
  const save_cut = document.getElementById("save-cut");
  const save_margins = document.getElementById("save-margins");
  const share = document.getElementById("share");
  const margin_canvas = document.getElementById("margin-canvas");
  const size_choice = document.getElementById("save-size");
  const target_choice = document.getElementById("target-choice");
  const fill_choice = document.getElementById("margin-fill");
  const chooser = document.getElementById("picture-file");
  // What the browser writes as itself; any other picture is cut to PNG.
  const kept_types = ["image/jpeg", "image/png", "image/webp"];
  const say = {
    empty: "空のファイルです。絵を選んでください。",
    svg: "SVG の絵には画素の大きさがないので、使えません。",
    unreadable: "この絵は読めませんでした(絵でないファイルか、大きすぎる絵です)。",
    too_many_pixels: (width, height) =>
      `この絵は大きすぎます(${width}×${height})。使えるのは5000万画素までの絵です。`,
    busy: "保存中です。終わってから絵を渡してください。",
    late: "横幅はもう入力されているので、この絵はこの計算には使いません。",
    held: (size) => `絵を受け取りました(${size})。横幅を入力するところで使います。`,
    unused: "横幅が絵から入力されなかったので、この計算では絵を使いませんでした。",
    same: "この絵はもう目標の縦横比です。",
    no_frame: (line) => `${line} は正の有限な数でないので、枠を描けません。`,
    working: "保存しています…",
    saved: (name) => `保存しました: ${name}`,
    own_too_large: (size) => `${size.width}×${size.height} では大きすぎて保存できません(1677万画素まで)。`,
    choose_target: "目標の大きさなら保存できます。",
    no_memory: "メモリが足りず、保存できませんでした。",
    not_encoded: "このブラウザーはこの絵を書き出せませんでした。",
    no_target: (width, height) => `目標の大きさ(${width}×${height})は保存できる大きさでないので、` +
      "元の大きさで保存します。",
  };

  // The picture's life in a run, one state at a time:
  //   none      no picture;
  //   decoding  a file given is being read (a picture held before stays
  //             held until the new one is read);
  //   held      read, waiting for the width prompt;
  //   typed     its size answered the width prompt: this run's picture;
  //   shown     shown with its frames, after the results;
  //   saving    a file being made from it.
  // page.js tells only that the width prompt is up, waiting for an answer,
  // and that it is gone; it types what this gives it.
  let state = "none";
  let width_prompt = "to come";  // then "up", then "gone"
  let page = null;     // { type(width, height), site }
  let held = null;     // { name, type, bitmap } from held on, until the run ends
  let latest = 0;      // the file given last: the one to keep
  let urls = [];
  let frames = null;   // the frame inside and the one outside, as shown
  let made = null;     // the last file saved, to share

  function tell(text) {
    note.textContent = text;
  }

  // Numbers the module answers with, in its memory (picture_exports.cpp).
  function answer(at, count) {
    return Array.from(HEAPF64.subarray(at >> 3, (at >> 3) + count));
  }

  // A picture may come before the module runs (shared to the site, it comes
  // with the page); the module's first write says it does.
  let started = null;
  const module_running = new Promise((resolve) => (started = resolve));

  // The size in the file's first bytes, read before anything decodes it.
  async function header_of(file) {
    await module_running;
    const bytes = new Uint8Array(await file.slice(0, _picture_header_capacity()).arrayBuffer());
    HEAPU8.set(bytes, _picture_header_buffer());
    const [, width, height, too_large] = answer(_picture_header(bytes.length), 4);
    return { width: width, height: height, too_large: too_large === 1 };
  }

  // The file as a bitmap of the size the user sees (EXIF orientation
  // applied), or the reason it is refused: one too large to decode safely
  // is refused from its header, undecoded.
  async function decoded(file) {
    if (file.size === 0) return say.empty;
    if (file.type === "image/svg+xml") return say.svg;
    const header = await header_of(file);
    if (header.too_large) return say.too_many_pixels(header.width, header.height);
    let bitmap = null;
    try {
      bitmap = await createImageBitmap(file);
    } catch {
      return say.unreadable;
    }
    if (!_picture_too_large(bitmap.width, bitmap.height)) return bitmap;
    bitmap.close();
    return say.too_many_pixels(bitmap.width, bitmap.height);
  }

  // Read here, so a bad file is refused at once, at the same prompt; a file
  // given once the width has been answered is refused once read, when it is
  // known to be a picture.
  async function take(file) {
    if (state === "saving") return tell(say.busy);
    const mine = ++latest;
    if (state === "none" || state === "held") state = "decoding";
    const bitmap = await decoded(file);
    const replaced = mine !== latest;  // by a file given after it
    if (state === "decoding" && !replaced) state = held ? "held" : "none";
    const late = (state !== "none" && state !== "held") || width_prompt === "gone";
    if (typeof bitmap !== "string" && (replaced || late)) bitmap.close();
    if (replaced) return;
    if (typeof bitmap === "string") return tell(bitmap);
    if (late) return tell(state === "saving" ? say.busy : say.late);
    if (held) held.bitmap.close();
    held = { name: file.name || "picture", type: file.type, bitmap: bitmap };
    state = "held";
    tell(say.held(`${bitmap.width}×${bitmap.height}`));
    if (width_prompt === "up") type();
  }

  function first_file(list) {
    return list && list.length > 0 ? list[0] : null;
  }

  chooser.addEventListener("change", function () {
    const file = first_file(chooser.files);
    chooser.value = "";
    if (file) take(file);
  });
  document.getElementById("pick").addEventListener("click", () => chooser.click());
  // The picker's own click is no tap on the page: it must not bring the
  // field, and a phone's keypad, back over the picker.
  chooser.addEventListener("click", (event) => event.stopPropagation());
  document.addEventListener("dragover", (event) => event.preventDefault());
  document.addEventListener("drop", function (event) {
    event.preventDefault();
    const file = first_file(event.dataTransfer && event.dataTransfer.files);
    if (file) take(file);
  });
  // A pasted picture; pasted text goes into the field as before.
  document.addEventListener("paste", function (event) {
    const file = first_file(event.clipboardData && event.clipboardData.files);
    if (!file) return;
    event.preventDefault();
    take(file);
  });

  // The picture's size as the user sees it, typed for them; from now on
  // this run's picture.
  function type() {
    state = "typed";
    tell("");
    page.type(held.bitmap.width, held.bitmap.height);
  }

  // The program waits at the width prompt with nothing typed ahead: a held
  // picture answers it.
  function width_asked() {
    width_prompt = "up";
    if (state === "held") type();
  }

  function width_gone() {
    width_prompt = "gone";
  }

  // Each result as printed ("inf" and "nan" read as NaN) is a frame inside
  // the picture (cut away around it) or outside it (a margin added), along
  // its own axis, or neither (picture/geometry.hpp).
  const places = ["none", "same", "inside", "outside"];
  function frames_of(results, width, height) {
    const found = { inside: null, outside: null, notes: [] };
    results.forEach(function (printed, which) {
      const [axis, place, size, offset] =
        answer(_picture_frame(which, Number(printed.number), width, height), 4);
      const frame = { axis: axis === 0 ? "x" : "y", size: size, offset: offset,
                      line: printed.label + printed.number };
      if (places[place] === "none") found.notes.push(say.no_frame(frame.line));
      else if (places[place] !== "same") found[places[place]] = frame;
    });
    if (!found.inside && !found.outside && found.notes.length === 0) found.notes.push(say.same);
    return found;
  }

  // A frame as the module takes it, with the picture's size.
  function frame_args(frame) {
    return [frame.axis === "x" ? 0 : 1, frame.size, frame.offset, held.bitmap.width, held.bitmap.height];
  }

  // The whole that the frame outside makes, in the picture's pixels, and
  // where the picture stands in it.
  function whole() {
    const [width, height, x, y] = answer(_picture_margins(...frame_args(frames.outside)), 4);
    return { width: width, height: height, x: x, y: y };
  }

  // Where the picture stands in that whole drawn at width x height.
  function placed_in(box, width, height) {
    return answer(_picture_scaled(box.x, box.y, held.bitmap.width, held.bitmap.height, box.width, box.height,
                                  width, height), 4);
  }

  function place(element, left, top, width, height, box) {
    element.style.left = (100 * left) / box.width + "%";
    element.style.top = (100 * top) / box.height + "%";
    element.style.width = (100 * width) / box.width + "%";
    element.style.height = (100 * height) / box.height + "%";
  }

  function tag(element, text) {
    element.querySelector(".tag").textContent = text;
  }

  // The picture, scaled to the screen, and the frame outside, in its own
  // pixels: drawn once a run.
  function draw() {
    const bitmap = held.bitmap;
    const [width, height] = [bitmap.width, bitmap.height];
    const out = frames.outside;
    const box = out ? whole() : { width: width, height: height, x: 0, y: 0 };
    view.style.aspectRatio = `${box.width} / ${box.height}`;
    view.style.width = `min(100%, calc(70vh * ${box.width / box.height}))`;
    const scale = Math.min(1, 2048 / Math.max(width, height));
    canvas.width = Math.max(1, Math.round(width * scale));
    canvas.height = Math.max(1, Math.round(height * scale));
    canvas.getContext("2d").drawImage(bitmap, 0, 0, canvas.width, canvas.height);
    place(canvas, box.x, box.y, width, height, box);
    place(clip, box.x, box.y, width, height, box);
    outer.hidden = !out;
    if (out) {
      place(outer, 0, 0, box.width, box.height, box);
      tag(outer, out.line);
    }
    save_cut.hidden = !frames.inside;
    save_margins.hidden = fill_choice.hidden = !out;
    size_choice.hidden = !frames.inside && !out;
    place_cut();
    paint_margins();
  }

  // The frame inside where it stands, again at each move.
  function place_cut() {
    const cut = frames.inside;
    inner.hidden = !cut;
    if (!cut) return;
    const [x, y, width, height] = answer(_picture_cut(...frame_args(cut)), 4);
    place(inner, x, y, width, height, { width: held.bitmap.width, height: held.bitmap.height });
    tag(inner, cut.line);
    inner.setAttribute("aria-orientation", cut.axis === "x" ? "horizontal" : "vertical");
    inner.setAttribute("aria-valuemax", String(free_room()));
    inner.setAttribute("aria-valuenow", String(cut.offset));
  }

  // The room the cut leaves: where a move to the far end stops.
  function free_room() {
    return _picture_moved_cut(...frame_args(frames.inside), Infinity);
  }

  function move_to(offset) {
    frames.inside.offset = _picture_moved_cut(...frame_args(frames.inside), offset);
    place_cut();
  }

  // Dragged with a mouse or a finger, or moved with the arrow keys.
  let drag = null;
  inner.addEventListener("pointerdown", function (event) {
    const cut = frames.inside;
    const along = cut.axis === "x" ? "clientX" : "clientY";
    const shown = canvas.getBoundingClientRect();
    const per_pixel = cut.axis === "x" ? shown.width / held.bitmap.width
      : shown.height / held.bitmap.height;
    drag = { along: along, from: event[along], offset: cut.offset, per_pixel: per_pixel };
    inner.setPointerCapture(event.pointerId);
    inner.focus();
    event.preventDefault();
  });
  inner.addEventListener("pointermove", function (event) {
    if (drag) move_to(drag.offset + (event[drag.along] - drag.from) / drag.per_pixel);
  });
  inner.addEventListener("pointerup", () => (drag = null));
  inner.addEventListener("pointercancel", () => (drag = null));
  // A key that ends the run reaches the frame after the picture is gone.
  inner.addEventListener("keydown", function (event) {
    if (!frames) return;
    const cut = frames.inside;
    const step = Math.max(1, Math.round(free_room() / 20));
    const keys = cut.axis === "x" ? { ArrowLeft: -step, ArrowRight: step }
      : { ArrowUp: -step, ArrowDown: step };
    keys.Home = -Infinity;
    keys.End = Infinity;
    if (!(event.key in keys)) return;
    event.preventDefault();
    move_to(cut.offset + keys[event.key]);
  });

  // The margins' fills, in the module's order (margin_fill).
  const fills = ["transparent", "white", "black", "edge", "blur"];
  function chosen_fill() {
    return document.querySelector('input[name="fill"]:checked').value;
  }

  // The fill shown at once in the frame outside: the picture as shown, given
  // its margins by the module as a save is, at the shown size.
  function paint_margins() {
    const out = frames.outside;
    const context = margin_canvas.getContext("2d");
    context.clearRect(0, 0, margin_canvas.width, margin_canvas.height);
    if (!out || chosen_fill() === "transparent") return;
    const box = whole();
    const scale = Math.min(1, 1024 / Math.max(box.width, box.height));
    const width = Math.max(1, Math.round(box.width * scale));
    const height = Math.max(1, Math.round(box.height * scale));
    const place = placed_in(box, width, height);
    try {
      if (!load(canvas, 0, 0, canvas.width, canvas.height)) return;
      const pixels = made_pixels(fills.indexOf(chosen_fill()), width, height, place);
      if (!pixels) return;
      margin_canvas.width = width;
      margin_canvas.height = height;
      context.putImageData(pixels, 0, 0);
    } finally {
      _picture_free();
    }
  }
  fill_choice.addEventListener("change", paint_margins);

  // A rectangle of a picture (the held bitmap, or the shown canvas) copied
  // into the module, in pieces of at most 4096 x 4096 pixels, the most a
  // canvas holds on every browser; false where the module has not the room.
  const piece_side = 4096;
  function load(source, left, top, width, height) {
    const at = _picture_source(width, height);
    if (!at) return false;
    const piece = document.createElement("canvas");
    const context = piece.getContext("2d", { willReadFrequently: true });
    for (let y = 0; y < height; y += piece_side) {
      for (let x = 0; x < width; x += piece_side) {
        piece.width = Math.min(piece_side, width - x);
        piece.height = Math.min(piece_side, height - y);
        context.drawImage(source, left + x, top + y, piece.width, piece.height, 0, 0, piece.width, piece.height);
        const pixels = context.getImageData(0, 0, piece.width, piece.height).data;
        const row = 4 * piece.width;
        for (let line = 0; line < piece.height; line++) {
          HEAPU8.set(pixels.subarray(line * row, (line + 1) * row), at + 4 * ((y + line) * width + x));
        }
      }
    }
    return true;
  }

  // What the module made of the loaded pixels (picture_made's arguments), as
  // pixels for a canvas, or null where memory ran short.
  function made_pixels(fill, width, height, place) {
    const at = _picture_made(fill, width, height, ...place);
    if (!at) return null;
    return new ImageData(new Uint8ClampedArray(HEAPU8.subarray(at, at + 4 * width * height)), width, height);
  }

  // The sizes a picture may be saved at: its own pixels, or the target's.
  function target_pixels() {
    const chosen = document.querySelector('input[name="size"]:checked');
    return chosen && chosen.value === "target" ? frames.target : null;
  }

  function too_large(size) {
    return say.own_too_large(size) + (frames.target && !target_pixels() ? say.choose_target : "");
  }

  // The cut (the frame inside) or the picture with its margins (outside),
  // at the chosen size: its pixels, or a failure named.
  function picture_to_save(which) {
    const bitmap = held.bitmap;
    const target = target_pixels();
    if (which === "cut") {
      const [x, y, width, height] = answer(_picture_cut(...frame_args(frames.inside)), 4);
      const size = target || { width: width, height: height };
      if (!_picture_fits(size.width, size.height)) return too_large(size);
      if (!load(bitmap, x, y, width, height)) return say.no_memory;
      return made_pixels(255, size.width, size.height, [0, 0, 0, 0]) || say.no_memory;
    }
    const box = whole();
    const size = target || { width: box.width, height: box.height };
    if (!_picture_fits(size.width, size.height)) return too_large(size);
    const place = placed_in(box, size.width, size.height);
    if (!load(bitmap, 0, 0, bitmap.width, bitmap.height)) return say.no_memory;
    return made_pixels(fills.indexOf(chosen_fill()), size.width, size.height, place) || say.no_memory;
  }

  function encoded(pixels, type) {
    const made_canvas = document.createElement("canvas");
    made_canvas.width = pixels.width;
    made_canvas.height = pixels.height;
    const context = made_canvas.getContext("2d");
    if (!context) return Promise.resolve(null);
    context.putImageData(pixels, 0, 0);
    return new Promise((resolve) => made_canvas.toBlob(resolve, type, 0.92));
  }

  // The cut keeps the picture's own format where the browser writes it; the
  // margins too, once filled with a colour, but a transparent fill needs PNG.
  function type_for(which) {
    const kept = kept_types.includes(held.type) ? held.type : "image/png";
    return which === "margins" && chosen_fill() === "transparent" ? "image/png" : kept;
  }

  // Saved as a download, named after the picture and its new size; where the
  // browser shares files, the share control offers the file just saved.
  async function save(which) {
    if (state !== "shown") return;
    state = "saving";
    tell(say.working);
    let pixels = say.no_memory;
    let blob = null;
    try {
      pixels = picture_to_save(which);
      if (typeof pixels !== "string") blob = await encoded(pixels, type_for(which));
    } catch {
      pixels = say.no_memory;
    } finally {
      _picture_free();
    }
    if (state !== "saving") return;  // the run ended meanwhile
    state = "shown";
    if (typeof pixels === "string") return tell(pixels);
    if (!blob) return tell(say.not_encoded);
    const extension = blob.type.split("/")[1].replace("jpeg", "jpg");
    const name = `${held.name.replace(/\.[^.]*$/, "")}-${pixels.width}x${pixels.height}.${extension}`;
    const url = URL.createObjectURL(blob);
    urls.push(url);
    const link = document.createElement("a");
    link.href = url;
    link.download = name;
    link.click();
    tell(say.saved(name));
    made = new File([blob], name, { type: blob.type });
    share.hidden = !(navigator.canShare && navigator.canShare({ files: [made] }));
  }

  save_cut.addEventListener("click", () => save("cut"));
  save_margins.addEventListener("click", () => save("margins"));
  share.addEventListener("click", function () {
    if (made) navigator.share({ files: [made] }).catch(() => {});
  });

  // The target's size is offered where a picture may be saved at it; the
  // choices start at the picture's own size, with transparent margins.
  function offer_target(target) {
    const [width, height] = target ? answer(_picture_target(target.width, target.height), 2) : [0, 0];
    frames.target = width > 0 ? { width: width, height: height } : null;
    target_choice.hidden = !frames.target;
    if (frames.target) target_choice.querySelector("span").textContent = `目標の大きさ(${width}×${height})`;
    else if (target) frames.notes.push(say.no_target(target.width, target.height));
    size_choice.querySelector('input[value="own"]').checked = true;
    fill_choice.querySelector('input[value="transparent"]').checked = true;
  }

  // After the results: the picture that typed this run's size, with its
  // frames.
  function show(results, target) {
    if (state === "held" || state === "decoding") tell(say.unused);
    if (state !== "typed" || results.length !== 2) return;
    state = "shown";
    frames = frames_of(results, held.bitmap.width, held.bitmap.height);
    offer_target(target);
    caption.textContent = frames.notes.join(" ");
    share.hidden = true;
    panel.hidden = false;
    draw();
  }

  // The run is over: nothing of the picture is kept.
  function release() {
    if (held) held.bitmap.close();
    for (const url of urls) URL.revokeObjectURL(url);
    held = frames = made = null;
    state = "none";
    width_prompt = "to come";
    urls = [];
    panel.hidden = true;
    tell("");
  }

  // Whether an event works the picture: a tap on it or its controls, Tab
  // between them, a key that moves its frame or presses a control.
  const working_keys = ["Tab", "ArrowLeft", "ArrowRight", "ArrowUp", "ArrowDown", "Home", "End",
                        "Enter", " "];
  function works(event) {
    if (panel.hidden) return false;
    if (event.type === "click") return panel.contains(event.target);
    return event.key === "Tab" || (panel.contains(event.target) && working_keys.includes(event.key));
  }

  // Shared to the installed site: its worker keeps the picture for the page
  // it opens, in a cache of its own, which is emptied as it is taken.
  async function take_shared() {
    const name = document.querySelector('meta[name="kadrimo-shared"]').content +
      new URL("./", location.href).href;
    const kept = await (await caches.open(name)).match("picture");
    await caches.delete(name);
    history.replaceState(null, "", "./");
    if (!kept) return;
    const blob = await kept.blob();
    take(new File([blob], decodeURIComponent(kept.headers.get("X-Name") || ""), { type: blob.type }));
  }

  function start(hooks) {
    page = hooks;
    if (location.search === "?shared" && hooks.site)
      take_shared().catch(() => tell(say.unreadable));
  }

  return { start: start, running: () => started(), width_asked: width_asked, width_gone: width_gone,
           show: show, release: release, works: works };
})();
