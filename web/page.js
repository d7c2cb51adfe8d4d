"use strict";
(() => {
  const $ = (id) => document.getElementById(id);
  const form = $("Form1");
  const canvas = $("Picture1");
  const status = $("status");
  const tip = $("tip");

  // The loop's own counts, for whoever watches the page run.
  const counts = { frames: 0, shown: 0 };
  window.springLattice = Object.freeze({
    get frames() { return counts.frames; },
    get shown() { return counts.shown; },
  });

  let core = null;       // the wasm module
  let ended = false;     // Exit or a run-time error: nothing runs any more

  /// Says something in the page's own text, never as markup.
  function say(...parts) {
    status.replaceChildren(...parts.map((p) => (typeof p === "string" ? document.createTextNode(p) : p)));
    status.hidden = false;
  }
  function link(text, href) {
    const a = document.createElement("a");
    a.textContent = text;
    a.href = href;
    return a;
  }

  // ---- The end of the program: after Exit, or after a run-time error's message.
  function end() {
    ended = true;
    core._springlattice_exit();
    form.inert = true;
    hideTip();
    say(`${core.text.ProgramName} has ended. `, link("Reload the page", location.href), " to start it again.");
    status.scrollIntoView({ block: "nearest" });
  }
  function fail() {
    ended = true;
    form.inert = true;
    hideTip();
    const dialog = $("error");
    $("error-title").textContent = core.text.ProgramName;
    $("error-text").textContent = core.UTF8ToString(core._springlattice_error());
    dialog.addEventListener("close", end, { once: true });
    dialog.showModal();
  }
  /// Runs a handler's call into the core; a run-time error ends the program.
  function guarded(call) {
    if (ended) return;
    if (call() !== 0) fail();
  }

  // ---- The picture: the core's pixels, put on the canvas at display refreshes.
  const context = canvas.getContext("2d", { alpha: false });
  let image = null;          // ImageData over the core's pixels
  let unshown = false;

  function size() {
    canvas.width = core._springlattice_width();
    canvas.height = core._springlattice_height();
    image = null;
    context.fillStyle = "#fff";
    context.fillRect(0, 0, canvas.width, canvas.height);
  }
  function pixels() {
    const buffer = core.HEAPU8.buffer;
    if (image === null || image.data.buffer !== buffer) {
      const w = canvas.width, h = canvas.height;
      image = new ImageData(new Uint8ClampedArray(buffer, core._springlattice_pixels(), w * h * 4), w, h);
    }
    return image;
  }
  // The newest frame is whole here: display frames come between tasks.
  function show() {
    unshown = false;
    if (ended) return;
    screenRatio = devicePixelRatio;
    const at = core._springlattice_show() >> 2;
    const [x, y, w, h] = core.HEAP32.subarray(at, at + 4);
    if (w > 0 && h > 0) context.putImageData(pixels(), 0, 0, x, y, w, h);
    counts.shown += 1;
  }
  function framed(now) {
    if (!unshown) {
      unshown = true;
      askedAt = now;
      requestAnimationFrame(show);
    }
  }

  // The pixel ratio: the picture's pixels are the screen's at the picture's
  // scale, again whenever either changes (zoom, another screen, a turn). The
  // screen's is read at display refreshes and on a resize, where it can
  // change, and taken up before the next frame, as the window sizes its
  // picture when it clears it.
  let ratio = 0;
  let screenRatio = 0;
  function followRatio() {
    const wanted = screenRatio * pictureScale;
    if (wanted === ratio) return;
    ratio = wanted;
    if (core._springlattice_resize(ratio)) size();
  }

  // ---- The frame loop. Frames run in tasks that the loop posts to itself,
  // so that the browser hands the user's events over between them, and each
  // is handled before the next frame starts. A task runs frames back to back
  // for at most Budget ms, and stops sooner where the engine can tell that
  // input is waiting. A posted message is a cheap task in every engine, where
  // a message channel's costs thirty times as much in WebKit.
  const Budget = 1;
  // A picture asked for that long ago (ms) is overdue: the loop then yields
  // through a timer, which lets an engine that puts messages first draw.
  const Overdue = 20;
  const token = "springlattice-frame";
  const post = () => { waiting = true; window.postMessage(token, "*"); };
  addEventListener("message", (e) => {
    if (e.source === window && e.data === token) tick(false);
  });
  const scheduling = navigator.scheduling;
  const inputWaiting = typeof scheduling?.isInputPending === "function"
    ? () => scheduling.isInputPending({ includeContinuous: true }) : () => false;

  let pace = false;    // slow motion, whose clock the core keeps
  let waiting = false; // a task or a timer of the loop's is pending
  let timer = 0;
  let paused = false; // the page is hidden
  let askedAt = 0;    // when the picture not yet shown was asked for
  let running = false; // the lattice is built and the frames have begun

  /// The step performance.now() moves by: the greatest common divisor, in
  /// whole microseconds, of how far it has moved at a few readings. A busy
  /// machine's pauses between readings make the moves longer, never coarser.
  function clockStep() {
    const gcd = (a, b) => (b === 0 ? a : gcd(b, a % b));
    const first = performance.now();
    let step = 0;
    for (let seen = 0, last = first; seen < 8;) {
      const t = performance.now();
      if (t - first > 200) break;
      if (t !== last) {
        step = gcd(step, Math.round((t - first) * 1000));
        last = t;
        seen++;
      }
    }
    return step > 0 ? step / 1000 : 1;
  }

  function later(ms) {
    waiting = true;
    timer = setTimeout(() => { timer = 0; tick(true); }, ms);
  }
  function tick(fromTimer) {
    waiting = false;
    if (ended || paused) return;
    followRatio();
    const began = performance.now();
    let now = began, ran = 0;
    while (!pace || core._springlattice_pace_due(now)) {
      if (core._springlattice_frame() !== 0) return fail();
      counts.frames += 1;
      ran += 1;
      now = performance.now();
      if (pace) core._springlattice_pace_ran(now);
      if (now - began >= Budget || inputWaiting()) break;
    }
    if (ran > 0) framed(now);
    // A timer set from a timer's task is stretched to 4 ms: a shorter wait is
    // set from a task of the loop's own, and under a millisecond the loop
    // only yields.
    const wait = pace ? core._springlattice_pace_wait(now) : 0;
    if (unshown && now - askedAt > Overdue) later(0);
    else if (wait >= 4 || (wait >= 1 && !fromTimer)) later(Math.floor(wait));
    else post();
  }

  // A hidden page (a background tab, a minimised window, a locked phone)
  // runs no frame. Shown again, it goes on from the frame awaited, which
  // slow motion's clock makes due at once.
  function followVisibility() {
    const hidden = document.visibilityState === "hidden";
    if (hidden === paused) return;
    paused = hidden;
    if (paused) {
      clearTimeout(timer);
      if (timer !== 0) waiting = false;
      timer = 0;
      return;
    }
    if (ended || !running) return;
    if (pace) core._springlattice_pace_resume(performance.now());
    if (!waiting) post();
  }
  document.addEventListener("visibilitychange", followVisibility);

  // ---- Scroll bars, as the window's: arrows by the small change, the track
  // by the large change, the thumb dragged; keys and the wheel.
  class ScrollBar {
    constructor(element, settings, onChange) {
      const { min, max, value, small, large } = settings;
      Object.assign(this, { element, min, max, value, small, large, onChange });
      this.place(settings);
      this.track = element.querySelector(".track");
      this.thumb = element.querySelector(".thumb");
      element.setAttribute("aria-valuemin", min);
      element.setAttribute("aria-valuemax", max);
      this.render();
      element.addEventListener("keydown", (e) => this.key(e));
      element.addEventListener("wheel", (e) => {
        e.preventDefault();
        if (e.deltaY !== 0) this.set(this.value + Math.sign(e.deltaY) * Math.min(3 * this.small, this.large));
      }, { passive: false });
      element.addEventListener("pointerdown", (e) => this.press(e));
    }
    /// The thumb travels the track less its own width: the bar's length less
    /// three squares of its height.
    place(rect) {
      this.room = rect.width - 3 * rect.height;
      if (this.thumb) this.render();
    }
    set(value) {
      value = Math.min(this.max, Math.max(this.min, Math.round(value)));
      if (value === this.value || ended) return;
      this.value = value;
      // The handler first: the tip tells what the change has done.
      this.onChange(value);
      this.render();
    }
    render() {
      this.element.setAttribute("aria-valuenow", this.value);
      this.thumb.style.left = `${Math.round((this.value - this.min) / (this.max - this.min) * this.room)}px`;
      if (tipOwner === this.element) showTip(this.element);
    }
    key(e) {
      const steps = { ArrowRight: this.small, ArrowDown: this.small, ArrowLeft: -this.small, ArrowUp: -this.small,
                      PageDown: this.large, PageUp: -this.large };
      if (e.key in steps) this.set(this.value + steps[e.key]);
      else if (e.key === "Home") this.set(this.min);
      else if (e.key === "End") this.set(this.max);
      else return;
      e.preventDefault();
    }
    press(e) {
      if (e.button !== 0 || ended) return;
      e.preventDefault();
      this.element.focus({ preventScroll: true });
      this.element.setPointerCapture(e.pointerId);
      const part = e.target.closest(".arrow, .thumb, .track");
      let repeat = null;
      const release = () => {
        clearTimeout(repeat);
        part.classList.remove("held");
        this.element.removeEventListener("pointermove", drag);
        if (part === this.thumb) hideTip();
      };
      const drag = (m) => {
        const room = this.track.clientWidth - this.thumb.offsetWidth;
        const x = m.clientX - this.track.getBoundingClientRect().left - grip;
        this.set(this.min + x / room * (this.max - this.min));
        placeTip(m.clientX, m.clientY, m.pointerType);
      };
      let grip = 0;
      part.classList.add("held");
      this.element.addEventListener("lostpointercapture", release, { once: true });
      if (part === this.thumb) {
        grip = e.clientX - this.thumb.getBoundingClientRect().left;
        this.element.addEventListener("pointermove", drag);
        showTip(this.element, e.clientX, e.clientY, e.pointerType);
        return;
      }
      // An arrow or the track: one step now, then more while held, as long as
      // the thumb has not reached the pointer.
      const step = () => {
        if (part.classList.contains("arrow")) {
          this.set(this.value + (part.classList.contains("less") ? -this.small : this.small));
          return true;
        }
        const thumb = this.thumb.getBoundingClientRect();
        if (e.clientX >= thumb.left && e.clientX < thumb.right) return false;
        this.set(this.value + (e.clientX < thumb.left ? -this.large : this.large));
        return true;
      };
      const again = (delay) => { repeat = setTimeout(() => { if (!ended && step()) again(50); }, delay); };
      if (step()) again(400);
    }
  }

  // ---- Tips: the control's own, shown when the pointer rests on it and at
  // once while a thumb is dragged; the bars' carry their values.
  let tipOwner = null;
  let tipTimer = null;
  const tips = new Map();
  function showTip(element, x, y, pointerType) {
    tipOwner = element;
    tip.textContent = tips.get(element)();
    tip.hidden = false;
    if (x !== undefined) placeTip(x, y, pointerType);
  }
  /// The tip beside the pointer, or above a finger, where it is not hidden.
  function placeTip(x, y, pointerType = "mouse") {
    if (pointerType === "touch") {
      tip.style.left = `${Math.max(4, Math.min(x - tip.offsetWidth / 2, innerWidth - tip.offsetWidth - 4))}px`;
      tip.style.top = `${Math.max(4, y - tip.offsetHeight - 56)}px`;
      return;
    }
    tip.style.left = `${Math.min(x + 12, innerWidth - tip.offsetWidth - 4)}px`;
    tip.style.top = `${y + 20}px`;
  }
  function hideTip() {
    clearTimeout(tipTimer);
    tipOwner = null;
    tip.hidden = true;
  }
  function explain(element, name, description, tipText) {
    if (name !== null) element.setAttribute("aria-label", name);
    $(`${element.id}-description`).textContent = description;
    tips.set(element, tipText);
    element.addEventListener("pointerenter", (e) => {
      if (e.pointerType !== "mouse") return;
      clearTimeout(tipTimer);
      tipTimer = setTimeout(() => { if (!ended) showTip(element, e.clientX, e.clientY); }, 700);
    });
    element.addEventListener("pointerleave", () => {
      if (!element.querySelector(".held")) hideTip();
    });
  }

  // ---- Start.
  // ---- The arrangement. With a mouse, Form1's, from the core's table; on a
  // screen smaller than the form with its caption, shrunk to fit, centred.
  // On a touch screen the same controls are arranged for the finger: the
  // picture as large as fits, the bars and buttons below it or beside it,
  // each at least a fingertip tall. "The screen" is the layout viewport less
  // the safe-area insets, so a pinch zooms the page without re-fitting it.
  const Margin = 8;    // CSS px round a fitted form
  const Fingertip = 48; // CSS px of a control for the finger
  const Gap = 8;       // CSS px between controls for the finger
  const Caption = 28;  // the caption's height, CSS px
  const coarse = matchMedia("(pointer: coarse)");
  let finger = false;  // the controls are arranged for the finger
  let pictureScale = 1; // CSS px of the picture per pixel of the window's
  let table = null;    // the core's form
  let bars = [];

  function screenSize() {
    const insets = getComputedStyle($("insets"));
    const across = parseFloat(insets.paddingLeft) + parseFloat(insets.paddingRight);
    const down = parseFloat(insets.paddingTop) + parseFloat(insets.paddingBottom);
    return [document.documentElement.clientWidth - across, document.documentElement.clientHeight - down];
  }
  /// Form1's controls, the form scaled by fit.
  function formPlaces(width, height) {
    const { Client } = table;
    const holds = width >= Client.width + 2 * Margin && height >= Caption + Client.height + 48;
    // A fitted picture as many whole device pixels across as the picture has.
    const across = table.Picture1.width * devicePixelRatio;
    const fit = holds ? 1 : Math.floor(across * Math.min(1, (width - 2 * Margin) / Client.width,
                                                          (height - 2 * Margin - Caption) / Client.height)) / across;
    const rects = {};
    for (const id of ["Picture1", "Command2", "HScroll1", "HScroll2", "Command1"]) rects[id] = table[id];
    return { fitted: !holds, fit, client: Client, rects, scale: fit };
  }
  /// The controls for the finger: the picture with the bars and buttons
  /// below it, or beside it, whichever gives the larger picture.
  function fingerPlaces(width, height) {
    const { Picture1: picture } = table;
    const room = [width - 2 * Margin, height - 2 * Margin - Caption];
    const below = 3 * Fingertip + 3 * Gap;             // two bars and a row of two buttons
    const column = Math.min(320, Math.max(180, Math.floor(room[0] * 0.3)));
    const scaleOf = (w, h) => Math.max(0, Math.min(1, w / picture.width, h / picture.height));
    const under = scaleOf(room[0], room[1] - below);
    const beside = scaleOf(room[0] - column - Gap, room[1]);
    const across = Math.floor(Math.max(under, beside) * picture.width);
    const scale = across / picture.width, down = picture.height * scale;
    const rects = { Picture1: { left: 0, top: 0, width: across, height: down } };
    let client;
    if (under >= beside) {
      const w = Math.max(across, Math.min(room[0], picture.width)), half = (w - 3 * Gap) / 2;
      let y = Math.ceil(down) + Gap;
      rects.HScroll1 = { left: Gap, top: y, width: w - 2 * Gap, height: Fingertip };
      rects.HScroll2 = { left: Gap, top: (y += Fingertip + Gap), width: w - 2 * Gap, height: Fingertip };
      y += Fingertip + Gap;
      rects.Command1 = { left: Gap, top: y, width: half, height: Fingertip };
      rects.Command2 = { left: 2 * Gap + half, top: y, width: half, height: Fingertip };
      rects.Picture1.left = Math.floor((w - across) / 2);
      client = { width: w, height: y + Fingertip + Gap };
    } else {
      const x = across + Gap, w = Math.min(column, room[0] - x) - Gap;
      const tall = Math.max(Math.ceil(down), 4 * Fingertip + 5 * Gap);
      let y = Math.floor((tall - 4 * Fingertip - 3 * Gap) / 2);
      for (const id of ["HScroll1", "HScroll2", "Command1", "Command2"]) {
        rects[id] = { left: x, top: y, width: w, height: Fingertip };
        y += Fingertip + Gap;
      }
      client = { width: x + w + Gap, height: tall };
    }
    return { fitted: true, fit: 1, client, rects, scale };
  }
  /// Lays the page out for the screen as it is now; a change of the
  /// picture's scale is taken up before the next frame.
  function arrange() {
    const [width, height] = screenSize();
    screenRatio = devicePixelRatio;
    const places = finger ? fingerPlaces(width, height) : formPlaces(width, height);
    const px = (n) => `${n}px`, root = document.documentElement.style;
    root.setProperty("--client-width", px(places.client.width));
    root.setProperty("--client-height", px(places.client.height));
    root.setProperty("--fit", String(places.fit));
    form.style.transform = places.fit < 1 ? `scale(${places.fit})` : "";
    for (const [id, r] of Object.entries(places.rects)) {
      const style = $(id).style;
      for (const side of ["left", "top", "width", "height"]) style.setProperty(`--${side}`, px(r[side]));
    }
    document.body.classList.toggle("fitted", places.fitted);
    document.body.classList.toggle("finger", finger);
    // Centred down the screen as well as across it.
    const main = document.querySelector("main").style;
    const wide = places.client.width * places.fit, tall = Caption + places.client.height * places.fit;
    const centre = (room, size) => px(Math.max(0, Math.floor((room - 2 * Margin - size) / 2)));
    main.marginTop = places.fitted ? centre(height, tall) : "";
    main.marginLeft = places.fitted ? centre(width, wide) : "";
    for (const bar of bars) bar.place(places.rects[bar.element.id]);
    pictureScale = places.scale;
  }
  /// The first touch on a screen that did not say it is one arranges the
  /// controls for the finger.
  function touched(e) {
    if (e.pointerType !== "touch" || finger) return;
    finger = true;
    relabel();
    arrange();
  }
  let relabel = () => {};

  function readAddress() {
    const values = new URLSearchParams(location.search).getAll("steps-per-second");
    if (values.length === 0) return "";
    // A frame is due once the clock is within its own step of the frame's
    // time. The browser holds tasks back for its own work (a picture, a
    // timer's lateness) for up to a picture's wait: frames that late are made
    // up, so that the pace holds. A longer stall is not made up, as in the
    // window.
    const step = clockStep();
    const grace = Math.max(step, Overdue);
    for (const value of values) {
      const bytes = core.lengthBytesUTF8(value) + 1;
      const text = core._malloc(bytes);
      core.stringToUTF8(value, text, bytes);
      const problem = core.UTF8ToString(core._springlattice_set_pace(text, grace, step));
      core._free(text);
      if (problem !== "") return problem;
    }
    pace = true;
    return "";
  }

  function load(module) {
    core = module;
    const names = ["Caption", "ProgramName", "ExitCaption", "NewSimulationCaption", "PictureName",
                   "PictureDescription", "PictureTip", "ExitDescription", "ExitTip", "MassName", "MassDescription",
                   "RadiusName", "RadiusDescription", "NewSimulationDescription", "NewSimulationTip",
                   "PictureDescriptionFinger", "PictureTipFinger", "RadiusDescriptionFinger"];
    const text = {};
    names.forEach((name, i) => { text[name] = core.UTF8ToString(core._springlattice_text(i)); });
    core.text = text;
    document.title = text.Caption;
    $("caption").textContent = text.Caption;
    table = JSON.parse(core.UTF8ToString(core._springlattice_form()));
    finger = coarse.matches;
    arrange();

    const problem = readAddress();
    if (problem !== "") {
      const plain = location.href.split(/[?#]/)[0];
      say(`${text.ProgramName} cannot start: ${problem} `, link("Open it at full speed", plain),
          ", or in slow motion with ", link("?steps-per-second=120", `${plain}?steps-per-second=120`), ".");
      return;
    }

    const exit = $("Command2"), newSimulation = $("Command1");
    exit.textContent = text.ExitCaption;
    newSimulation.textContent = text.NewSimulationCaption;
    const mass = new ScrollBar($("HScroll1"), table.HScroll1, (v) => guarded(() => core._springlattice_mass_changed(v)));
    const radius = new ScrollBar($("HScroll2"), table.HScroll2, () => {});
    bars = [mass, radius];
    const massTip = () => core.UTF8ToString(core._springlattice_mass_tip(mass.value));
    explain(canvas, text.PictureName, text.PictureDescription, () => (finger ? text.PictureTipFinger : text.PictureTip));
    explain(exit, null, text.ExitDescription, () => text.ExitTip);
    explain(mass.element, text.MassName, text.MassDescription, massTip);
    explain(radius.element, text.RadiusName, text.RadiusDescription,
            () => core.UTF8ToString(core._springlattice_radius_tip(radius.value)));
    explain(newSimulation, null, text.NewSimulationDescription, () => text.NewSimulationTip);
    // What speaks of the mouse is worded for the finger on a touch screen.
    relabel = () => {
      $("Picture1-description").textContent = finger ? text.PictureDescriptionFinger : text.PictureDescription;
      $("HScroll2-description").textContent = finger ? text.RadiusDescriptionFinger : text.RadiusDescription;
    };
    relabel();
    arrange();
    addEventListener("resize", arrange);
    coarse.addEventListener("change", () => { finger = coarse.matches || finger; relabel(); arrange(); });
    addEventListener("pointerdown", touched, { capture: true });

    exit.addEventListener("click", () => { if (!ended) end(); });
    newSimulation.addEventListener("click", () => {
      guarded(() => core._springlattice_new_simulation());
      if (tipOwner === mass.element) showTip(mass.element);
    });
    // Every move the pointer made, also those the browser gathered into one
    // event; with the left button alone (or a finger or pen touching) it cuts.
    canvas.addEventListener("pointerdown", (e) => {
      hideTip();
      canvas.setPointerCapture(e.pointerId);
    });
    // The pointer's place on the picture, in the window's pixels whatever the
    // picture's scale, then in twips.
    canvas.addEventListener("pointermove", (e) => {
      const moves = e.getCoalescedEvents ? e.getCoalescedEvents() : [];
      const box = canvas.getBoundingClientRect(), twips = table.TwipsPerPixel * table.Picture1.width / box.width;
      for (const m of moves.length > 0 ? moves : [e]) {
        guarded(() => core._springlattice_pointer_moved(m.buttons & 7, (m.clientX - box.left) * twips,
                                                        (m.clientY - box.top) * twips, radius.value));
      }
    });
    // No menu over the form, from a right click or a long press, as in the window.
    form.addEventListener("contextmenu", (e) => e.preventDefault());

    form.hidden = false;
    $("client").hidden = false;
    canvas.focus({ preventScroll: true });
    screenRatio = devicePixelRatio;
    ratio = screenRatio * pictureScale;
    if (core._springlattice_load(ratio) !== 0) return fail();
    size();
    if (pace) core._springlattice_pace_start(performance.now());
    running = true;
    paused = document.visibilityState === "hidden";
    if (!paused) post();
  }

  createSpringLattice().then(load, (error) => say(`Spring Lattice could not start: ${error}`));
})();
