"use strict";
// The page: the browser's events handed to the program in the core, its
// picture put on the canvas, its run-time error shown in a dialog. In parts:
// start, picture, frame loop, scroll bars, tips, arrangement, pointer input,
// the lattice described, end. Each part keeps its state at its top.
(() => {
  const $ = (id) => document.getElementById(id);
  const form = $("Form1");
  const canvas = $("Picture1");

  // ---- Start: the form and the texts as the core describes them, which the
  // build wrote into the page, laid out at once so that the form's room is
  // kept while the core loads; then the core, the pace the address asks for,
  // the controls, the lattice and the frames.
  let core = null;     // the wasm module
  let layout = null;   // the core's description: the form's rectangles and the bars' settings
  let text = null;     // every text the page shows, by name
  let pace = false;    // slow motion, whose clock the core keeps
  let running = false; // the lattice is built and the frames have begun

  // The loop's own counts, for whoever watches the page run.
  const counts = { frames: 0, shown: 0 };
  window.springLattice = Object.freeze({
    get frames() { return counts.frames; },
    get shown() { return counts.shown; },
  });

  async function start() {
    layout = JSON.parse($("layout").textContent);
    text = layout.Texts;
    document.title = text.Caption;
    $("caption").textContent = text.Caption;
    finger = coarse.matches;
    arrange();
    addEventListener("resize", arrange);
    coarse.addEventListener("change", () => { finger = coarse.matches || finger; relabel(); arrange(); });
    // The core's script follows this one.
    if (document.readyState === "loading") await new Promise((done) => addEventListener("DOMContentLoaded", done));
    try {
      core = await createSpringLattice({ programEnded, described });
    } catch (error) {
      return unstarted(`Spring Lattice could not start: ${error}`);
    }
    const problem = readAddress();
    if (problem !== "") return refuse(problem);
    offerPace();
    makeControls();
    arrange();
    listen();
    form.hidden = false;
    canvas.focus({ preventScroll: true });
    screenRatio = devicePixelRatio;
    ratio = screenRatio * pictureScale;
    if (core._springlattice_load(ratio) !== 0) return;
    size();
    if (pace) core._springlattice_pace_start(performance.now());
    running = true;
    paused = document.visibilityState === "hidden";
    if (!paused) post();
  }

  /// The address's steps-per-second, the page's command line: "" when it
  /// asks for none or for one the core takes, else what is wrong with it.
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
      const address = core._malloc(bytes);
      core.stringToUTF8(value, address, bytes);
      const problem = core.UTF8ToString(core._springlattice_set_pace(address, grace, step));
      core._free(address);
      if (problem !== "") return problem;
    }
    pace = true;
    return "";
  }

  /// Slow motion one tap away, below the form: a link to the address with
  /// the pace of the desktop's Slow Motion, or in slow motion the pace and a
  /// link back to full speed.
  function offerPace() {
    const asked = new URLSearchParams(location.search).getAll("steps-per-second").at(-1);
    const parts = asked === undefined
      ? [link(`Slow motion, ${SlowMotion} steps a second`, `${plainAddress()}?steps-per-second=${SlowMotion}`)]
      : [`Slow motion, ${Number(asked)} steps a second: `, link("Full speed", plainAddress())];
    $("pace").replaceChildren(...parts.map((p) => (typeof p === "string" ? document.createTextNode(p) : p)));
  }

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


  /// The buttons' captions, the scroll bars, and what each control says.
  function makeControls() {
    const exit = $("Command2"), newSimulation = $("Command1");
    exit.textContent = text.ExitCaption;
    newSimulation.textContent = text.NewSimulationCaption;
    mass = new ScrollBar($("HScroll1"), layout.HScroll1, (v) => core._springlattice_mass_changed(v));
    radius = new ScrollBar($("HScroll2"), layout.HScroll2, () => {});
    bars = [mass, radius];
    explain(canvas, text.PictureName, text.PictureDescription, () => (finger ? text.PictureTipFinger : text.PictureTip));
    explain(exit, null, text.ExitDescription, () => text.ExitTip);
    explain(mass.element, text.MassName, text.MassDescription, () => core.UTF8ToString(core._springlattice_mass_tip(mass.value)));
    explain(radius.element, text.RadiusName, text.RadiusDescription,
            () => core.UTF8ToString(core._springlattice_radius_tip(radius.value)));
    explain(newSimulation, null, text.NewSimulationDescription, () => text.NewSimulationTip);
    relabel();
    exit.addEventListener("click", () => core._springlattice_exit());
    newSimulation.addEventListener("click", () => {
      core._springlattice_new_simulation();
      if (tipOwner === mass.element) showTip(mass.element);
    });
  }

  // ---- The picture: the core's pixels, put on the canvas at display
  // refreshes where they differ from what it shows. Its pixels are the
  // screen's at the picture's scale, again whenever either changes (zoom,
  // another screen, a turn): the screen's ratio is read at display refreshes
  // and on a resize, where it can change, and taken up before the next frame,
  // as the window sizes its picture when it clears it.
  const context = canvas.getContext("2d", { alpha: false });
  let image = null;       // ImageData over the core's pixels
  let imageAt = 0;        // where those pixels are in the core's memory
  let unshown = false;    // a picture has been asked for and not yet put
  let askedAt = 0;        // when it was asked for
  let ratio = 0;          // the picture's device pixels per pixel of the window's
  let screenRatio = 0;    // the screen's device pixels per CSS pixel
  let pictureScale = 1;   // CSS px of the picture per pixel of the window's

  function size() {
    canvas.width = core._springlattice_width();
    canvas.height = core._springlattice_height();
    image = null;
    context.fillStyle = "#fff";
    context.fillRect(0, 0, canvas.width, canvas.height);
  }
  function pixels() {
    const at = core._springlattice_pixels();
    if (image === null || image.data.buffer !== core.HEAPU8.buffer || imageAt !== at) {
      const w = canvas.width, h = canvas.height;
      image = new ImageData(new Uint8ClampedArray(core.HEAPU8.buffer, at, w * h * 4), w, h);
      imageAt = at;
    }
    return image;
  }
  // The newest frame is whole here: display frames come between tasks.
  function show() {
    unshown = false;
    if (ended) return;
    screenRatio = devicePixelRatio;
    const at = core._springlattice_to_put() >> 2;
    const [x, y, w, h] = core.HEAP32.subarray(at, at + 4);
    if (w > 0 && h > 0) context.putImageData(pixels(), 0, 0, x, y, w, h);
    core._springlattice_picture_shown(performance.now());
    if (!ended) counts.shown += 1;
  }
  function framed(now) {
    if (!unshown) {
      unshown = true;
      askedAt = now;
      requestAnimationFrame(show);
    }
  }
  function followRatio() {
    const wanted = screenRatio * pictureScale;
    if (wanted === ratio) return;
    ratio = wanted;
    if (core._springlattice_resize(ratio) !== 0) return;
    if (canvas.width !== core._springlattice_width() || canvas.height !== core._springlattice_height()) size();
  }

  // ---- The frame loop. Frames run in tasks that the loop posts to itself,
  // so that the browser hands the user's events over between them, and each
  // is handled before the next frame starts. A task runs frames back to back
  // for at most Budget ms, and stops sooner where the engine can tell that
  // input is waiting. A posted message is a cheap task in every engine, where
  // a message channel's costs thirty times as much in WebKit. In slow motion
  // the core says when a frame is due and how long to wait for the next. A
  // hidden page (a background tab, a minimised window, a locked phone) runs
  // no frame; shown again, it goes on from the frame awaited, which slow
  // motion's clock makes due at once.
  const Budget = 1;
  // A picture asked for that long ago (ms) is overdue: the loop then yields
  // through a timer, which lets an engine that puts messages first draw.
  const Overdue = 20;
  const token = "springlattice-frame";
  const scheduling = navigator.scheduling;
  const inputWaiting = typeof scheduling?.isInputPending === "function"
    ? () => scheduling.isInputPending({ includeContinuous: true }) : () => false;
  let waiting = false; // a task or a timer of the loop's is pending
  let timer = 0;
  let paused = false;  // the page is hidden

  function post() {
    waiting = true;
    window.postMessage(token, "*");
  }
  function later(ms) {
    waiting = true;
    timer = setTimeout(() => { timer = 0; tick(true); }, ms);
  }
  function tick(fromTimer) {
    waiting = false;
    if (ended || paused) return;
    followRatio();
    if (ended) return;
    const began = performance.now();
    let now = began, ran = 0;
    while (!pace || core._springlattice_pace_due(now)) {
      if (core._springlattice_frame() !== 0) return;
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

  // ---- Scroll bars, as the window's: arrows by the small change, the track
  // by the large change, the thumb dragged; keys and the wheel.
  let mass = null;    // the mass bar
  let radius = null;  // the cutting radius bar
  let bars = [];

  class ScrollBar {
    constructor(element, settings, onChange) {
      const { min, max, value, small, large } = settings;
      Object.assign(this, { element, min, max, value, small, large, onChange });
      this.track = element.querySelector(".track");
      this.thumb = element.querySelector(".thumb");
      this.place(settings);
      element.setAttribute("aria-valuemin", min);
      element.setAttribute("aria-valuemax", max);
      element.addEventListener("keydown", (e) => this.key(e));
      element.addEventListener("wheel", (e) => {
        e.preventDefault();
        if (e.deltaY !== 0) this.set(this.value + Math.sign(e.deltaY) * Math.min(3 * this.small, this.large));
      }, { passive: false });
      element.addEventListener("pointerdown", (e) => this.press(e));
    }
    /// The thumb travels the track less its own width: the bar's length less
    /// three squares of its height; none where the bar is shorter.
    place(rect) {
      this.room = Math.max(0, rect.width - 3 * rect.height);
      this.render();
    }
    /// A whole number within the range, whatever the pointer or the track's
    /// room made of it.
    set(value) {
      if (!Number.isFinite(value)) return;
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
      const grip = e.clientX - this.thumb.getBoundingClientRect().left;
      const drag = (m) => {
        const x = m.clientX - this.track.getBoundingClientRect().left - grip;
        if (this.room > 0) this.set(this.min + x / this.scaledRoom() * (this.max - this.min));
        placeTip(m.clientX, m.clientY, m.pointerType);
      };
      part.classList.add("held");
      this.element.addEventListener("lostpointercapture", release, { once: true });
      if (part === this.thumb) {
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
    /// The thumb's room as the screen shows it, in a form that may be scaled.
    scaledRoom() {
      return this.room * (this.track.getBoundingClientRect().width / (this.track.offsetWidth || 1));
    }
  }

  // ---- Tips: the control's own, shown when the pointer rests on it and at
  // once while a thumb is dragged; the bars' carry their values.
  const tip = $("tip");
  const tips = new Map();
  let tipOwner = null;
  let tipTimer = null;

  function showTip(element, x, y, pointerType) {
    const words = tips.get(element)();
    if (ended) return;
    tipOwner = element;
    tip.textContent = words;
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
  /// What speaks of the mouse is worded for the finger on a touch screen.
  function relabel() {
    $("Picture1-description").textContent = finger ? text.PictureDescriptionFinger : text.PictureDescription;
    $("HScroll2-description").textContent = finger ? text.RadiusDescriptionFinger : text.RadiusDescription;
  }

  // ---- The arrangement. With a mouse, Form1's, from the core's layout; on a
  // screen smaller than the form with its caption, shrunk to fit, centred.
  // On a touch screen the same controls are arranged for the finger: the
  // picture as large as fits, the bars and buttons below it or beside it,
  // each at least a fingertip tall. "The screen" is the layout viewport less
  // the safe-area insets, so a pinch zooms the page without re-fitting it.
  // The caption's height and the page's margins are the style sheet's.
  const Fingertip = 48; // CSS px of a control for the finger
  const Gap = 8;        // CSS px between controls for the finger
  const coarse = matchMedia("(pointer: coarse)");
  let finger = false;   // the controls are arranged for the finger

  function screenSize() {
    const insets = getComputedStyle($("insets"));
    const across = parseFloat(insets.paddingLeft) + parseFloat(insets.paddingRight);
    const down = parseFloat(insets.paddingTop) + parseFloat(insets.paddingBottom);
    return [document.documentElement.clientWidth - across, document.documentElement.clientHeight - down];
  }
  /// The style sheet's numbers: the caption's height, the margin round a
  /// fitted form, the page's padding above and below a form that is not,
  /// and the room of the pace's line below the form.
  function styled() {
    const body = getComputedStyle(document.body), line = $("pace");
    return { caption: $("caption").offsetHeight, margin: parseFloat(body.getPropertyValue("--margin")),
             padding: parseFloat(body.getPropertyValue("--padding")),
             paceLine: line.hidden ? 0 : line.offsetHeight + parseFloat(getComputedStyle(line).marginTop) };
  }
  /// Form1's controls, the form scaled by fit.
  function formPlaces(width, height, { caption, margin, padding, paceLine }) {
    const { Client } = layout;
    const holds = width >= Client.width + 2 * margin && height >= caption + Client.height + 2 * padding;
    // A fitted picture as many whole device pixels across as the picture has.
    const across = layout.Picture1.width * devicePixelRatio;
    const fit = holds ? 1 : Math.floor(across * Math.min(1, (width - 2 * margin) / Client.width,
                                                          (height - 2 * margin - caption - paceLine) / Client.height)) / across;
    const rects = {};
    for (const id of layout.Controls) rects[id] = layout[id];
    return { fitted: !holds, fit, client: Client, rects, scale: fit };
  }
  /// The controls for the finger: the picture with the bars and buttons
  /// below it, or beside it, whichever gives the larger picture.
  function fingerPlaces(width, height, { caption, margin, paceLine }) {
    const { Picture1: picture } = layout;
    const room = [width - 2 * margin, height - 2 * margin - caption - paceLine];
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
    document.body.classList.toggle("finger", finger);
    const style = styled();
    screenRatio = devicePixelRatio;
    const places = finger ? fingerPlaces(width, height, style) : formPlaces(width, height, style);
    const px = (n) => `${n}px`, root = document.documentElement.style;
    root.setProperty("--client-width", px(places.client.width));
    root.setProperty("--client-height", px(places.client.height));
    root.setProperty("--fit", String(places.fit));
    form.style.transform = places.fit < 1 ? `scale(${places.fit})` : "";
    for (const [id, r] of Object.entries(places.rects)) {
      const element = $(id).style;
      for (const side of ["left", "top", "width", "height"]) element.setProperty(`--${side}`, px(r[side]));
    }
    document.body.classList.toggle("fitted", places.fitted);
    // Centred down the screen as well as across it.
    const main = document.querySelector("main").style;
    const wide = places.client.width * places.fit;
    const tall = style.caption + places.client.height * places.fit + style.paceLine;
    const centre = (room, size) => px(Math.max(0, Math.floor((room - 2 * style.margin - size) / 2)));
    main.marginTop = places.fitted ? centre(height, tall) : "";
    main.marginLeft = places.fitted ? centre(width, wide) : "";
    for (const bar of bars) bar.place(places.rects[bar.element.id]);
    // A screen too small for any picture keeps the last scale it had.
    if (places.scale > 0) pictureScale = places.scale;
  }
  /// The first touch on a screen that did not say it is one arranges the
  /// controls for the finger.
  function touched(e) {
    if (e.pointerType !== "touch" || finger) return;
    finger = true;
    relabel();
    arrange();
  }

  // ---- Pointer input on the picture. Every move the pointer made, also
  // those the browser gathered into one event, is handed on; with the left
  // button alone (or a finger or pen touching) it cuts. As in the window, a
  // press begun elsewhere (on a button, between the controls) and dragged
  // over the picture hands it nothing.
  const pressed = new Set(); // pointers pressed on the picture and not yet lifted

  function listen() {
    addEventListener("pointerdown", touched, { capture: true });
    addEventListener("message", (e) => {
      if (e.source === window && e.data === token) tick(false);
    });
    document.addEventListener("visibilitychange", followVisibility);
    canvas.addEventListener("pointerdown", (e) => {
      hideTip();
      pressed.add(e.pointerId);
      canvas.setPointerCapture(e.pointerId);
    });
    for (const type of ["pointerup", "pointercancel"]) addEventListener(type, (e) => pressed.delete(e.pointerId), true);
    canvas.addEventListener("pointermove", moved);
    // No menu over the form, from a right click or a long press, as in the window.
    form.addEventListener("contextmenu", (e) => e.preventDefault());
  }
  /// The pointer's place on the picture, in the window's pixels whatever the
  /// picture's scale, then in twips.
  function moved(e) {
    if (e.buttons !== 0 && !pressed.has(e.pointerId)) return;
    const box = canvas.getBoundingClientRect();
    if (!(box.width > 0)) return;
    const twips = layout.TwipsPerPixel * layout.Picture1.width / box.width;
    const moves = e.getCoalescedEvents ? e.getCoalescedEvents() : [];
    for (const m of moves.length > 0 ? moves : [e]) {
      core._springlattice_pointer_moved(m.buttons & 7, (m.clientX - box.left) * twips, (m.clientY - box.top) * twips,
                                        radius.value);
    }
  }

  // ---- The lattice described, for a screen reader, as the core words it
  // when the words are due: the summary after the picture's usage text in
  // its description, each account of a change in a polite live region that
  // is spoken whichever control has the focus. Neither is seen.
  function described(summary, account) {
    if (summary !== "") $("Picture1-summary").textContent = summary;
    if (account !== "") $("account").textContent = account;
  }

  // ---- The end of the program: after Exit, or after a run-time error. The
  // core tells it once, at the moment it comes, from inside the call that
  // ended it, through programEnded, which the script gave it as it was made:
  // the frames and the form stop, and the page shows the error's message in
  // a dialog, then says how to start again. Nothing runs after it: the core
  // runs nothing once ended, and the script's own timers and events look at
  // what programEnded set.
  const status = $("status");
  let ended = false;

  function programEnded() {
    ended = true;
    form.inert = true;
    hideTip();
    const message = core.UTF8ToString(core._springlattice_error());
    if (message === "") return saysEnded();
    const dialog = $("error");
    $("error-title").textContent = text.ProgramName;
    $("error-text").textContent = message;
    dialog.addEventListener("close", saysEnded, { once: true });
    dialog.showModal();
  }
  /// The address without its query: the page at full speed.
  const plainAddress = () => location.href.split(/[?#]/)[0];
  const SlowMotion = 120; // steps a second, as the desktop's Slow Motion
  /// The page cannot run: no form and no pace, what went wrong instead.
  function unstarted(...parts) {
    $("client").hidden = true;
    $("pace").hidden = true;
    say(...parts);
  }
  function saysEnded() {
    say(`${text.ProgramName} has ended. `, link("Reload the page", location.href), " to start it again.");
    status.scrollIntoView({ block: "nearest" });
  }
  /// An address the page does not take: what it takes, and nothing runs.
  function refuse(problem) {
    const plain = plainAddress(), slow = `?steps-per-second=${SlowMotion}`;
    unstarted(`${text.ProgramName} cannot start: ${problem} `, link("Open it at full speed", plain),
              ", or in slow motion with ", link(slow, plain + slow), ".");
  }
  /// Says something in the page's own text, never as markup.
  function say(...parts) {
    status.replaceChildren(...parts.map((p) => (typeof p === "string" ? document.createTextNode(p) : p)));
    status.hidden = false;
  }
  function link(words, href) {
    const a = document.createElement("a");
    a.textContent = words;
    a.href = href;
    return a;
  }

  start();
})();
