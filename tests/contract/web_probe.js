// SPDX-License-Identifier: MIT
// The contract test's probe for the web back end, the page's side: the
// windows read back from the page, and input given as the page's events,
// with what the browser does by itself after them (the focus a press moves,
// the click a release makes, the click Space makes on a button) done here
// as the browser would.

mergeInto(LibraryManager.library, {
  $PROBE__deps: ['$GX'],
  $PROBE: {
    pressed: null,

    window: function (number) {
      return GX.s.windows.get(number);
    },
    box: function (number) {
      const control = GX.s.controls.get(number);
      return control ? control.box : null;
    },
    writeRect: function (out, rect) {
      HEAP32[out >> 2] = Math.round(rect[0]);
      HEAP32[(out >> 2) + 1] = Math.round(rect[1]);
      HEAP32[(out >> 2) + 2] = Math.round(rect[2]);
      HEAP32[(out >> 2) + 3] = Math.round(rect[3]);
    },
    string: function (text) {
      return allocateUTF8(text);
    },

    // ---- input, as the browser delivers it ----------------------------------

    focusable: function (target) {
      return target && target.closest ? target.closest('button, input, [tabindex]') : null;
    },
    mouse: function (x, y, down) {
      const target = document.elementFromPoint(x, y);
      if (!target)
        return;
      const init = {bubbles: true, cancelable: true, composed: true, clientX: x, clientY: y, button: 0,
                    buttons: down ? 1 : 0, pointerId: 1, isPrimary: true, pointerType: 'mouse'};
      if (down) {
        target.dispatchEvent(new PointerEvent('pointerdown', init));
        const press = new MouseEvent('mousedown', init);
        target.dispatchEvent(press);
        // The browser's own step: the press focuses what it lands on.
        const focusable = PROBE.focusable(target);
        if (!press.defaultPrevented && focusable && !focusable.closest('[inert]'))
          focusable.focus();
        PROBE.pressed = target;
        return;
      }
      target.dispatchEvent(new PointerEvent('pointerup', init));
      target.dispatchEvent(new MouseEvent('mouseup', init));
      // A click goes to what both the press and the release were on.
      const pressed = PROBE.pressed;
      PROBE.pressed = null;
      if (!pressed)
        return;
      let common = pressed;
      while (common && !common.contains(target))
        common = common.parentElement;
      if (common && !common.closest('[inert]'))
        common.dispatchEvent(new MouseEvent('click', init));
    },
    key: function (key, code, shift, alt) {
      const init = {bubbles: true, cancelable: true, composed: true, key: key, code: code, shiftKey: !!shift,
                    altKey: !!alt};
      const target = document.activeElement || document.body;
      const down = new KeyboardEvent('keydown', init);
      target.dispatchEvent(down);
      const taken = down.defaultPrevented;
      const focused = document.activeElement;
      if (!taken && key.length === 1 && !alt && focused && focused.type === 'text') {
        // Typed into a text box.
        focused.setRangeText(key, focused.selectionStart, focused.selectionEnd, 'end');
        focused.dispatchEvent(new InputEvent('input', {bubbles: true, data: key, inputType: 'insertText'}));
      }
      focused.dispatchEvent(new KeyboardEvent('keyup', init));
      // Space on a button or an option clicks it once released.
      if (!taken && key === ' ' && focused && (focused.tagName === 'BUTTON' || focused.type === 'radio'))
        focused.click();
    },
  },

  probe_done: function (code) { window.contractExit = code; },
  probe_activate__deps: ['$PROBE'],
  probe_activate: function (number) { if (PROBE.window(number)) GX.activate(number); },
  probe_focus__deps: ['$PROBE'],
  probe_focus: function (number) { if (PROBE.box(number)) GX.focus(number); },
  probe_key__deps: ['$PROBE'],
  probe_key: function (key, code, shift, alt) { PROBE.key(UTF8ToString(key), UTF8ToString(code), shift, alt); },
  probe_mouse__deps: ['$PROBE'],
  probe_mouse: function (x, y, down) { PROBE.mouse(x, y, down); },
  probe_centre__deps: ['$PROBE'],
  probe_centre: function (number, out) {
    const box = PROBE.box(number);
    if (!box) {
      PROBE.writeRect(out, [-1, -1, 0, 0]);
      return;
    }
    const rect = box.getBoundingClientRect();
    PROBE.writeRect(out, [rect.left + rect.width / 2, rect.top + rect.height / 2, 0, 0]);
  },
  probe_clientOrigin__deps: ['$PROBE'],
  probe_clientOrigin: function (number, out) {
    if (!PROBE.window(number)) {
      PROBE.writeRect(out, [0, 0, 0, 0]);
      return;
    }
    const client = PROBE.window(number).client;
    const rect = client.getBoundingClientRect();
    const style = getComputedStyle(client);
    PROBE.writeRect(out, [rect.left, rect.top, parseFloat(style.width), parseFloat(style.height)]);
  },
  probe_outerRect__deps: ['$PROBE'],
  probe_outerRect: function (number, out) {
    if (!PROBE.window(number)) {
      PROBE.writeRect(out, [0, 0, 0, 0]);
      return;
    }
    const rect = PROBE.window(number).element.getBoundingClientRect();
    PROBE.writeRect(out, [rect.left, rect.top, rect.width, rect.height]);
  },
  probe_controlRect__deps: ['$PROBE'],
  // Where the page lays the control out in its container, shown or not.
  probe_controlRect: function (number, out) {
    const box = PROBE.box(number);
    if (!box) {
      PROBE.writeRect(out, [0, 0, 0, 0]);
      return;
    }
    const style = getComputedStyle(box);
    PROBE.writeRect(out, [parseFloat(style.left), parseFloat(style.top), parseFloat(style.width),
                          parseFloat(style.height)]);
  },
  probe_font__deps: ['$PROBE'],
  probe_font: function (number, out) {
    const control = GX.s.controls.get(number);
    if (!control) {
      PROBE.writeRect(out, [0, 0, 0, 0]);
      return;
    }
    const style = getComputedStyle(control.caption || control.box);
    PROBE.writeRect(out, [parseFloat(style.fontSize), parseInt(style.fontWeight, 10), 0, 0]);
  },
  probe_colours__deps: ['$PROBE'],
  // The colours the page paints a control with, as 0x00BBGGRR: the first
  // background behind it that is not transparent, and its text's colour.
  probe_colours: function (number, out) {
    const control = GX.s.controls.get(number);
    if (!control) {
      PROBE.writeRect(out, [0, 0, 0, 0]);
      return;
    }
    const bgr = function (css) {
      const parts = css.match(/[0-9.]+/g).map(Number);
      return parts[0] | (parts[1] << 8) | (parts[2] << 16);
    };
    const opaque = function (css) {
      const parts = css.match(/[0-9.]+/g);
      return parts && (parts.length < 4 || Number(parts[3]) > 0);
    };
    let surface = control.box;
    while (surface.parentElement && !opaque(getComputedStyle(surface).backgroundColor))
      surface = surface.parentElement;
    PROBE.writeRect(out, [bgr(getComputedStyle(surface).backgroundColor),
                          bgr(getComputedStyle(control.caption || control.box).color), 0, 0]);
  },
  probe_text__deps: ['$PROBE'],
  probe_text: function (number) {
    const control = GX.s.controls.get(number);
    if (!control)
      return PROBE.string('');
    return PROBE.string(control.kind === 3 ? control.box.value : (control.caption || control.box).textContent);
  },
  probe_windowCaption__deps: ['$PROBE'],
  probe_windowCaption: function (number) {
    const win = PROBE.window(number);
    if (!win)
      return PROBE.string('');
    return PROBE.string(win.caption ? win.caption.textContent : win.element.getAttribute('aria-label'));
  },
  probe_visible__deps: ['$PROBE'],
  probe_visible: function (number) {
    const win = PROBE.window(number);
    return win && win.element.isConnected && !win.element.hidden ? 1 : 0;
  },
  probe_exists__deps: ['$PROBE'],
  probe_exists: function (number) {
    return PROBE.window(number) && PROBE.window(number).element.isConnected ? 1 : 0;
  },
  probe_closeFrame__deps: ['$PROBE'],
  probe_closeFrame: function (number) {
    const close = PROBE.window(number) ? PROBE.window(number).element.querySelector('.gx-close') : null;
    if (close)
      close.dispatchEvent(new MouseEvent('click', {bubbles: true, cancelable: true}));
  },
  probe_hasTitleBar__deps: ['$PROBE'],
  probe_hasTitleBar: function (number) {
    return PROBE.window(number) && PROBE.window(number).element.querySelector('.gx-title') ? 1 : 0;
  },
  probe_isMain__deps: ['$PROBE'],
  probe_isMain: function (number) { return PROBE.window(number) && PROBE.window(number).kind === 0 ? 1 : 0; },
  probe_active__deps: ['$PROBE'],
  probe_active: function (number) { return GX.s.active === number ? 1 : 0; },
  probe_focused__deps: ['$PROBE'],
  probe_focused: function (number) { return GX.focusedIn(number); },
  probe_takesInput__deps: ['$PROBE'],
  probe_takesInput: function (number) {
    if (!PROBE.window(number))
      return 0;
    const element = PROBE.window(number).element;
    return !element.inert && !element.closest('[inert]') && !document.querySelector('dialog[open]') ? 1 : 0;
  },
  probe_exitCodes__deps: ['$PROBE'],
  probe_exitCodes: function () { return window.gradolux.exitCode === null ? -1 : window.gradolux.exitCode; },
  // The name the page gives a control (0: the window) for screen readers:
  // the texts its aria-labelledby names, its aria-label, its alt text or
  // the text of the label around it, or its own text.
  probe_accessibleName__deps: ['$PROBE'],
  probe_accessibleName: function (windowNumber, number) {
    if (!PROBE.window(windowNumber) || (number && !PROBE.box(number)))
      return PROBE.string('');
    let element = number ? PROBE.box(number) : PROBE.window(windowNumber).element;
    const control = number ? GX.s.controls.get(number) : null;
    if (control && control.focus && control.focus !== element)
      element = control.focus;
    const byIds = element.getAttribute('aria-labelledby');
    let name;
    if (byIds)
      name = byIds.split(' ').map(function (id) { return document.getElementById(id).textContent; }).join(' ');
    else if (element.getAttribute('aria-label'))
      name = element.getAttribute('aria-label');
    else if (element.tagName === 'IMG')
      name = element.alt;
    else if (element.closest('label'))
      name = element.closest('label').textContent;
    else
      name = element.textContent;
    return PROBE.string(name.replace(/\s+/g, ' ').trim());
  },
  probe_listen__deps: ['$PROBE'],
  probe_listen: function () {
    PROBE.heard = new Map();
    for (const win of GX.s.windows.values())
      PROBE.heard.set(win.status, win.status.firstChild);
  },
  probe_heard__deps: ['$PROBE'],
  probe_heard: function () {
    const heard = [];
    for (const win of GX.s.windows.values()) {
      const message = win.status.firstChild;
      if (message && (!PROBE.heard || PROBE.heard.get(win.status) !== message))
        heard.push(message.textContent);
    }
    return PROBE.string(heard.join('\n'));
  },
  probe_userNumber__deps: ['$PROBE'],
  probe_userNumber: function () { return PROBE.string(new Intl.NumberFormat(navigator.language).format(1.5)); },
  // A control's text in its own font: its width on one line, the lines it
  // takes wrapped at the room the control gives it, and that room.
  probe_measure__deps: ['$PROBE'],
  probe_measure: function (number, out) {
    const control = GX.s.controls.get(number);
    if (!control) {
      for (let i = 0; i < 5; ++i)
        HEAP32[(out >> 2) + i] = 0;
      return;
    }
    const shown = control.caption || control.box;
    const style = getComputedStyle(shown);
    const probe = document.createElement('span');
    probe.className = 'gx-measure';
    probe.style.fontSize = style.fontSize;
    probe.style.fontWeight = style.fontWeight;
    probe.textContent = shown.textContent;
    GX.s.desktop.appendChild(probe);
    const width = probe.getBoundingClientRect().width;
    const line = probe.getBoundingClientRect().height;
    let room = control.box.getBoundingClientRect().width;
    if (control.kind === 2)
      room = control.box.getBoundingClientRect().right - shown.getBoundingClientRect().left;
    probe.style.whiteSpace = 'pre-wrap';
    probe.style.display = 'inline-block';
    probe.style.width = room + 'px';
    const lines = shown.textContent ? Math.max(1, Math.round(probe.getBoundingClientRect().height / line)) : 0;
    probe.remove();
    HEAP32[out >> 2] = Math.ceil(width - 0.01);
    HEAP32[(out >> 2) + 1] = lines;
    HEAP32[(out >> 2) + 2] = Math.round(line);
    HEAP32[(out >> 2) + 3] = Math.round(room);
    HEAP32[(out >> 2) + 4] = Math.round(control.box.getBoundingClientRect().height);
  },
  probe_screen__deps: ['$PROBE'],
  probe_screen: function (out) {
    PROBE.writeRect(out, [0, 0, document.documentElement.clientWidth, document.documentElement.clientHeight]);
  },
  // The next message box runs its user's checks while it is open, then is
  // closed with its button.
  probe_duringNextBox__deps: ['$PROBE'],
  probe_duringNextBox: function () {
    GX.s.boxUser = function () {
      GX.s.boxUser = null;
      _probe_boxOpen();
      const ok = document.querySelector('dialog.gx-message .gx-message-ok');
      if (ok)
        ok.click();
    };
  },
});
