// SPDX-License-Identifier: MIT
// The page's side of the web back end: windows and controls as DOM elements,
// made and changed by number for web_runtime.cpp (web_page.h), and the
// page's events reported back through the exported gradolux_* functions.
// Everything here carries out what C++ asks or reports what the user did;
// what an event means is decided by the run-time.

mergeInto(LibraryManager.library, {
  $GX: {
    // The page's state, made by start(): windows and controls by number.
    s: null,

    start: function (title) {
      GX.s = {
        title: title,
        windows: new Map(),
        controls: new Map(),
        active: 0,
        z: 1,
        suspended: false,
        box: null,
        ended: false,
        boxUser: null,
        idlePending: false,
        measure: null,
      };
      const desktop = document.getElementById('gradolux');
      GX.s.desktop = desktop;
      desktop.textContent = '';
      desktop.addEventListener('pointerdown', GX.pointerDown, true);
      desktop.addEventListener('mousedown', GX.mouseDown, true);
      document.addEventListener('pointerup', GX.pointerUp, true);
      document.addEventListener('pointercancel', GX.pointerCancel, true);
      document.addEventListener('keydown', GX.keyDown, true);
      document.addEventListener('focusin', GX.focusIn, true);
      // A page opened in a second tab keeps its own program; nothing is stored.
      window.gradolux = {
        exitCode: null
      };
    },

    // ---- Windows ------------------------------------------------------------

    // Frame margins (left, top, right, bottom) of each window kind: the
    // sizable main window's, a dialog's and the splash's bare box.
    margins: [[4, 23, 4, 4], [3, 22, 3, 3], [3, 3, 3, 3]],
    kinds: ['main', 'dialog', 'splash'],

    colour: function (rgb) {
      return '#' + rgb.toString(16).padStart(6, '0');
    },

    createWindow: function (number, kind, caption, name, describedBy, width, height, closeBox, minBox,
                            maxBox, dialog, background, icon) {
      const margins = GX.margins[kind];
      const element = document.createElement('div');
      element.className = 'gx-window gx-' + GX.kinds[kind];
      element.hidden = true;
      element.tabIndex = -1;
      element.setAttribute('role', dialog || kind === 2 ? 'dialog' : 'region');
      element.setAttribute('aria-label', name);
      element.style.width = (width + margins[0] + margins[2]) + 'px';
      element.style.height = (height + margins[1] + margins[3]) + 'px';
      const win = {
        number: number,
        kind: kind,
        element: element,
        describedBy: describedBy,
        visible: false,
        blocked: false,
        pressed: null,
      };
      if (kind !== 2) {
        const bar = document.createElement('div');
        bar.className = 'gx-title';
        bar.style.left = margins[0] + 'px';
        bar.style.top = margins[0] + 'px';
        bar.style.width = width + 'px';
        if (icon) {
          const image = document.createElement('img');
          image.className = 'gx-title-icon';
          image.src = icon;
          image.alt = '';
          image.draggable = false;
          bar.appendChild(image);
        }
        const text = document.createElement('span');
        text.className = 'gx-title-text';
        text.textContent = caption;
        text.setAttribute('aria-hidden', 'true');
        bar.appendChild(text);
        win.caption = text;
        const box = function (className, label, action) {
          const button = document.createElement('button');
          button.type = 'button';
          button.className = 'gx-box ' + className;
          button.tabIndex = -1;
          button.setAttribute('aria-label', label);
          if (action)
            button.addEventListener('click', action);
          else
            button.setAttribute('aria-disabled', 'true');
          bar.appendChild(button);
        };
        if (minBox)
          box('gx-min', 'Minimieren', null);
        if (maxBox)
          box('gx-max', 'Maximieren', null);
        if (closeBox)
          box('gx-close', 'Schließen', function () {
            if (!GX.s.suspended && !win.blocked && !GX.s.ended)
              _gradolux_close(number);
          });
        bar.addEventListener('pointerdown', function (event) { GX.dragStart(win, event); });
        element.appendChild(bar);
      }
      const client = document.createElement('div');
      client.className = 'gx-client';
      client.style.left = margins[0] + 'px';
      client.style.top = margins[1] + 'px';
      client.style.width = width + 'px';
      client.style.height = height + 'px';
      client.style.backgroundColor = GX.colour(background);
      element.appendChild(client);
      // What a screen reader is told of the window's status messages.
      const status = document.createElement('div');
      status.className = 'gx-status';
      status.setAttribute('role', 'status');
      status.setAttribute('aria-live', 'polite');
      element.appendChild(status);
      win.client = client;
      win.status = status;
      GX.s.windows.set(number, win);
      GX.s.desktop.appendChild(element);
      return 1;
    },

    destroyWindow: function (number) {
      const win = GX.s.windows.get(number);
      if (!win)
        return;
      // (No destructuring here: the toolchain's minifier loses it.)
      GX.s.controls.forEach(function (control, key) {
        if (control.window === win)
          GX.s.controls.delete(key);
      });
      win.element.remove();
      GX.s.windows.delete(number);
      if (GX.s.active === number)
        GX.activateFront();
    },

    placeWindow: function (number, left, top) {
      const win = GX.s.windows.get(number);
      const margins = GX.margins[win.kind];
      win.element.style.left = (left - margins[0]) + 'px';
      win.element.style.top = (top - margins[1]) + 'px';
    },

    showWindow: function (number) {
      const win = GX.s.windows.get(number);
      win.visible = true;
      win.element.hidden = false;
      GX.activate(number);
    },

    hideWindow: function (number) {
      const win = GX.s.windows.get(number);
      if (!win)
        return;
      win.visible = false;
      win.element.hidden = true;
      if (GX.s.active === number)
        GX.activateFront();
    },

    // After the active window went: the window in front of the others
    // takes its place.
    activateFront: function () {
      GX.s.active = 0;
      let next = null;
      for (const other of GX.s.windows.values())
        if (other.visible && (!next || Number(other.element.style.zIndex) > Number(next.element.style.zIndex)))
          next = other;
      if (next)
        GX.activate(next.number);
    },

    // Brings a window to the front and makes it the active one; the window
    // that was active and the new one are told, in that order.
    activate: function (number) {
      const win = GX.s.windows.get(number);
      if (!win || !win.visible)
        return;
      win.element.style.zIndex = String(++GX.s.z);
      const before = GX.s.active;
      if (before === number)
        return;
      const old = GX.s.windows.get(before);
      if (old) {
        _gradolux_activation(before, 0);
        old.element.classList.remove('gx-active');
      }
      GX.s.active = number;
      win.element.classList.add('gx-active');
      // Until a control takes it, the focus rests on the window itself.
      if (!win.element.contains(document.activeElement))
        win.element.focus({preventScroll: true});
      _gradolux_activation(number, 1);
    },

    block: function (number, on) {
      const win = GX.s.windows.get(number);
      win.blocked = !!on;
      win.element.inert = !!on;
    },

    // ---- Controls -----------------------------------------------------------

    // Shows a caption, its access key underlined when the kind marks one
    // ("&&" stands for a plain "&").
    caption: function (target, text, marks) {
      target.textContent = '';
      if (!marks) {
        target.textContent = text;
        return;
      }
      let plain = '';
      for (let i = 0; i < text.length; ++i) {
        if (text[i] === '&' && i + 1 < text.length && text[i + 1] !== '&') {
          target.appendChild(document.createTextNode(plain));
          plain = '';
          const key = document.createElement('u');
          key.textContent = text[++i];
          target.appendChild(key);
        } else if (text[i] === '&' && i + 1 < text.length) {
          plain += '&';
          ++i;
        } else if (text[i] !== '&') {
          plain += text[i];
        }
      }
      if (plain)
        target.appendChild(document.createTextNode(plain));
    },

    createControl: function (windowNumber, number, container, name, index, kind, text, left, top, width, height,
                             order, tabStop, marks, wraps, alignment, fontPixels, weight, italic, underline,
                             strikeOut, foreground, background, sunken, picture, accessibleName, isDefault) {
      const win = GX.s.windows.get(windowNumber);
      const parent = container ? GX.s.controls.get(container).box : win.client;
      const control = {
        number: number,
        kind: kind,
        window: win,
        order: order,
        marks: !!marks,
        box: null,
        focus: null,
        caption: null,
      };
      let box;
      switch (kind) {
      case 0: // label
        box = document.createElement('div');
        box.className = 'gx-label' + (wraps ? ' gx-wraps' : '');
        control.caption = box;
        break;
      case 1: { // frame: a named group
        box = document.createElement('div');
        box.className = 'gx-frame';
        box.setAttribute('role', 'group');
        const border = document.createElement('div');
        border.className = 'gx-frame-border';
        border.style.top = text ? Math.round(fontPixels * 0.6) + 'px' : '0px';
        box.appendChild(border);
        const caption = document.createElement('span');
        caption.className = 'gx-frame-caption';
        caption.id = 'gx-' + number + '-caption';
        box.appendChild(caption);
        box.setAttribute('aria-labelledby', caption.id);
        control.caption = caption;
        break;
      }
      case 2: { // option button: a radio button with its caption
        box = document.createElement('label');
        box.className = 'gx-option';
        const input = document.createElement('input');
        input.type = 'radio';
        input.className = 'gx-radio';
        input.name = 'gx-' + windowNumber + '-' + container;
        input.addEventListener('change', function () {
          if (!GX.s.suspended && !GX.s.ended)
            _gradolux_chosen(number);
        });
        const caption = document.createElement('span');
        caption.className = 'gx-caption';
        box.appendChild(input);
        box.appendChild(caption);
        control.focus = input;
        control.caption = caption;
        break;
      }
      case 3: // text box
        box = document.createElement('input');
        box.type = 'text';
        box.className = 'gx-textbox';
        box.autocomplete = 'off';
        box.spellcheck = false;
        control.focus = box;
        break;
      case 4: { // command button
        box = document.createElement('button');
        box.type = 'button';
        box.className = 'gx-button';
        const caption = document.createElement('span');
        box.appendChild(caption);
        box.addEventListener('click', function () {
          if (!GX.s.suspended && !GX.s.ended && !win.blocked)
            _gradolux_button(number);
        });
        control.focus = box;
        control.caption = caption;
        break;
      }
      case 5: // image: its picture stretched to its rectangle
      case 6: { // picture box: its picture at its own size
        box = document.createElement(kind === 5 ? 'img' : 'div');
        box.className = kind === 5 ? 'gx-image' : 'gx-picturebox' + (sunken ? ' gx-sunken' : '');
        const image = kind === 5 ? box : document.createElement('img');
        if (kind === 6) {
          image.className = 'gx-picture';
          box.appendChild(image);
          width = height = 32 + (sunken ? 4 : 0);
        }
        image.src = picture;
        image.draggable = false;
        // The picture's name is the control's: on the picture box itself,
        // which may take the focus.
        const named = kind === 5 ? image : box;
        if (accessibleName) {
          named.setAttribute('role', 'img');
          named.setAttribute('aria-label', accessibleName);
        }
        if (named !== image || !accessibleName) {
          image.alt = '';
          image.setAttribute('role', 'presentation');
        }
        if (tabStop && kind === 6)
          control.focus = box;
        break;
      }
      default: // line
        box = document.createElement('div');
        box.className = 'gx-line';
        height = Math.max(1, height);
        break;
      }
      box.dataset.name = name;
      if (index >= 0)
        box.dataset.index = String(index);
      box.style.left = left + 'px';
      box.style.top = top + 'px';
      box.style.width = width + 'px';
      box.style.height = height + 'px';
      box.style.fontSize = fontPixels + 'px';
      box.style.fontWeight = String(weight);
      if (italic)
        box.style.fontStyle = 'italic';
      const decorations = (underline ? ' underline' : '') + (strikeOut ? ' line-through' : '');
      if (decorations)
        box.style.textDecoration = decorations.trim();
      // The run-time gives every control its surface and text colours (a
      // line's surface is the line).
      box.style.color = GX.colour(foreground);
      box.style.backgroundColor = GX.colour(background);
      if (control.caption && kind === 1)
        control.caption.style.backgroundColor = GX.colour(background);
      // A command button's caption is always centred.
      if (kind !== 4)
        box.style.textAlign = ['left', 'right', 'center'][alignment];
      if (control.focus) {
        control.focus.tabIndex = tabStop ? 0 : -1;
        control.focus.dataset.control = String(number);
      }
      if (isDefault)
        box.classList.add('gx-default');
      control.box = box;
      if (control.caption)
        GX.caption(control.caption, text, marks);
      else if (kind === 3)
        box.value = text;
      if (name === win.describedBy) {
        box.id = 'gx-' + number;
        win.element.setAttribute('aria-describedby', box.id);
      }
      GX.s.controls.set(number, control);
      parent.appendChild(box);
      return 1;
    },

    labelBy: function (number, label) {
      const labelBox = GX.s.controls.get(label).box;
      labelBox.id = 'gx-' + label;
      GX.s.controls.get(number).box.setAttribute('aria-labelledby', labelBox.id);
    },

    controlRect: function (number, out) {
      const style = GX.s.controls.get(number).box.style;
      const values = [style.left, style.top, style.width, style.height];
      for (let i = 0; i < 4; ++i)
        HEAP32[(out >> 2) + i] = parseInt(values[i], 10) || 0;
    },

    placeControl: function (number, left, top, width, height) {
      const style = GX.s.controls.get(number).box.style;
      style.left = left + 'px';
      style.top = top + 'px';
      style.width = width + 'px';
      style.height = height + 'px';
    },

    // The size a control's text takes in its own font on one line, in whole
    // CSS pixels, measured as the page lays it out.
    textSize: function (number, out) {
      const control = GX.s.controls.get(number);
      const probe = document.createElement('span');
      probe.className = 'gx-measure';
      const style = control.box.style;
      probe.style.fontSize = style.fontSize;
      probe.style.fontWeight = style.fontWeight;
      probe.style.fontStyle = style.fontStyle;
      probe.textContent = (control.caption || control.box).textContent;
      GX.s.desktop.appendChild(probe);
      const rect = probe.getBoundingClientRect();
      probe.remove();
      HEAP32[out >> 2] = Math.ceil(rect.width - 0.01);
      HEAP32[(out >> 2) + 1] = Math.ceil(rect.height - 0.01);
    },

    // ---- The focus and keys -------------------------------------------------

    focusedIn: function (windowNumber) {
      const focused = document.activeElement;
      const number = focused && focused.dataset ? Number(focused.dataset.control) : 0;
      const control = number ? GX.s.controls.get(number) : null;
      return control && control.window.number === windowNumber ? number : 0;
    },

    focus: function (number) {
      const control = GX.s.controls.get(number);
      if (control && control.focus)
        control.focus.focus({preventScroll: true});
    },

    keyCodes: {Enter: 1, Escape: 3, Delete: 4, ArrowUp: 5, ArrowDown: 6, ArrowLeft: 7, ArrowRight: 8},
    // What the keys that are no characters of their own type.
    typed: {Enter: 13, Escape: 27, Backspace: 8, Tab: 9},

    keyDown: function (event) {
      const s = GX.s;
      if (s.ended)
        return;
      if (s.box) {
        GX.boxKey(event);
        return;
      }
      if (s.suspended) {
        event.preventDefault();
        return;
      }
      const win = s.windows.get(s.active);
      if (!win || win.blocked || event.isComposing)
        return;
      let key = GX.keyCodes[event.key] || 0;
      if (key === 1 && event.code === 'NumpadEnter')
        key = 2;
      let codePoint = 0;
      const characters = Array.from(event.key);
      if (characters.length === 1)
        codePoint = event.key.codePointAt(0);
      else if (GX.typed[event.key])
        codePoint = GX.typed[event.key];
      // With Alt the letter of the key, whatever the layout makes of Alt.
      if (event.altKey && !event.ctrlKey && /^Key[A-Z]$/.test(event.code))
        codePoint = event.code.charCodeAt(3) + 32;
      // Control with a letter types its control character.
      if (event.ctrlKey && !event.altKey && codePoint > 0 && /^Key[A-Z]$/.test(event.code))
        codePoint = event.code.charCodeAt(3) - 64;
      if (!key && !codePoint)
        return;
      const taken = _gradolux_key(win.number, key, codePoint, event.shiftKey, event.ctrlKey, event.altKey);
      if (taken || Asyncify.currData) {
        event.preventDefault();
        event.stopPropagation();
        return;
      }
      if (event.key === 'Tab' && !event.ctrlKey && !event.altKey) {
        event.preventDefault();
        GX.tabStep(win, event.shiftKey ? -1 : 1);
      }
    },

    // Tab and Shift+Tab go round the window's Tab stops in their order.
    tabStep: function (win, direction) {
      const stops = [];
      for (const control of GX.s.controls.values())
        if (control.window === win && control.focus && control.focus.tabIndex >= 0 && control.order >= 0)
          stops.push(control);
      if (!stops.length)
        return;
      stops.sort(function (a, b) { return a.order - b.order; });
      const focused = GX.s.controls.get(GX.focusedIn(win.number));
      let next;
      if (!focused)
        next = direction > 0 ? stops[0] : stops[stops.length - 1];
      else if (direction > 0)
        next = stops.find(function (c) { return c.order > focused.order; }) || stops[0];
      else
        next = stops.slice().reverse().find(function (c) { return c.order < focused.order; }) ||
               stops[stops.length - 1];
      next.focus.focus({preventScroll: true});
    },

    setTabStop: function (number, on) {
      GX.s.controls.get(number).focus.tabIndex = on ? 0 : -1;
    },

    setDefault: function (number, on) {
      GX.s.controls.get(number).box.classList.toggle('gx-default', !!on);
    },

    focusIn: function (event) {
      const s = GX.s;
      if (s.suspended || s.ended)
        return;
      const element = event.target.closest ? event.target.closest('.gx-window') : null;
      for (const win of s.windows.values())
        if (win.element === element) {
          _gradolux_focused(win.number);
          return;
        }
    },

    // ---- The mouse ----------------------------------------------------------

    windowAt: function (target) {
      const element = target && target.closest ? target.closest('.gx-window') : null;
      for (const win of GX.s.windows.values())
        if (win.element === element)
          return win;
      return null;
    },

    // The control of the window under the pointer: the innermost one.
    controlAt: function (target, win) {
      for (let node = target; node && node !== win.element; node = node.parentElement)
        for (const control of GX.s.controls.values())
          if (control.box === node && control.window === win)
            return control;
      return null;
    },

    pointerDown: function (event) {
      const s = GX.s;
      if (s.ended)
        return;
      const win = GX.windowAt(event.target);
      if (!win)
        return;
      if (s.suspended || win.blocked) {
        event.preventDefault();
        return;
      }
      if (s.active !== win.number)
        GX.activate(win.number);
      if (event.button !== 0 || event.target.closest('.gx-title'))
        return;
      const control = GX.controlAt(event.target, win);
      win.pressed = event.pointerId;
      _gradolux_pointer(win.number, control ? control.number : 0, 0);
    },

    // A press on what takes no focus leaves the focus where it is; a press
    // on an option's caption focuses the option, as on its button.
    mouseDown: function (event) {
      const win = GX.windowAt(event.target);
      if (!win)
        return;
      const control = GX.controlAt(event.target, win);
      if (control && control.kind === 2 && event.target !== control.focus && !win.blocked && !GX.s.suspended) {
        event.preventDefault();
        control.focus.focus({preventScroll: true});
        return;
      }
      if (!control || !control.focus)
        event.preventDefault();
    },

    pointerUp: function (event) {
      for (const win of GX.s.windows.values()) {
        if (win.pressed !== event.pointerId)
          continue;
        win.pressed = null;
        if (GX.s.suspended || GX.s.ended)
          return;
        const under = document.elementFromPoint(event.clientX, event.clientY);
        const control = GX.windowAt(under) === win ? GX.controlAt(under, win) : null;
        _gradolux_pointer(win.number, control ? control.number : 0, 1);
        return;
      }
    },

    pointerCancel: function (event) {
      for (const win of GX.s.windows.values())
        if (win.pressed === event.pointerId) {
          win.pressed = null;
          if (!GX.s.suspended && !GX.s.ended)
            _gradolux_pointer(win.number, 0, 2);
        }
    },

    // A window is moved by its title bar.
    dragStart: function (win, event) {
      if (event.button !== 0 || event.target.closest('.gx-box') || win.blocked || GX.s.suspended)
        return;
      const element = win.element;
      const startX = event.clientX - element.offsetLeft;
      const startY = event.clientY - element.offsetTop;
      const move = function (moved) {
        element.style.left = (moved.clientX - startX) + 'px';
        element.style.top = Math.max(0, moved.clientY - startY) + 'px';
      };
      const stop = function () {
        document.removeEventListener('pointermove', move);
        document.removeEventListener('pointerup', stop);
      };
      document.addEventListener('pointermove', move);
      document.addEventListener('pointerup', stop);
    },

    // ---- The message box ----------------------------------------------------

    // Shows the box in front of its owner (or of the page) and resolves
    // once the user closes it with its button, Enter, Escape or its close box.
    messageBox: function (text, title, owner) {
      const s = GX.s;
      s.suspended = true;
      const dialog = document.createElement('dialog');
      dialog.className = 'gx-message';
      dialog.setAttribute('aria-labelledby', 'gx-message-title');
      dialog.setAttribute('aria-describedby', 'gx-message-text');
      const bar = document.createElement('div');
      bar.className = 'gx-title gx-message-title';
      const caption = document.createElement('span');
      caption.className = 'gx-title-text';
      caption.id = 'gx-message-title';
      caption.textContent = title;
      bar.appendChild(caption);
      const close = document.createElement('button');
      close.type = 'button';
      close.className = 'gx-box gx-close';
      close.tabIndex = -1;
      close.setAttribute('aria-label', 'Schließen');
      bar.appendChild(close);
      const body = document.createElement('div');
      body.className = 'gx-message-text';
      body.id = 'gx-message-text';
      body.textContent = text;
      const ok = document.createElement('button');
      ok.type = 'button';
      ok.className = 'gx-button gx-default gx-message-ok';
      ok.textContent = 'OK';
      dialog.appendChild(bar);
      dialog.appendChild(body);
      dialog.appendChild(ok);
      s.desktop.appendChild(dialog);
      dialog.showModal();
      // In front of the owner's centre, or of the page's.
      const ownerWindow = s.windows.get(owner);
      const area = ownerWindow && ownerWindow.visible ? ownerWindow.element.getBoundingClientRect()
                                                      : {left: 0, top: 0, width: innerWidth, height: innerHeight};
      const rect = dialog.getBoundingClientRect();
      dialog.style.left = Math.max(0, Math.round(area.left + (area.width - rect.width) / 2)) + 'px';
      dialog.style.top = Math.max(0, Math.round(area.top + (area.height - rect.height) / 2)) + 'px';
      ok.focus({preventScroll: true});
      return new Promise(function (resolve) {
        const done = function () {
          if (s.box !== dialog)
            return;
          s.box = null;
          dialog.close();
          dialog.remove();
          s.suspended = false;
          if (s.idlePending) {
            s.idlePending = false;
            GX.requestIdle();
          }
          resolve();
        };
        s.box = dialog;
        s.boxDone = done;
        ok.addEventListener('click', done);
        close.addEventListener('click', done);
        // Escape closes the box as its button does; nothing else takes the
        // focus off the button.
        dialog.addEventListener('cancel', function (event) {
          event.preventDefault();
          done();
        });
        dialog.addEventListener('mousedown', function (event) {
          if (event.target !== ok && event.target !== close)
            event.preventDefault();
        });
        // A test's user of the box, who closes it (see gx_messageBox).
        if (s.boxUser)
          s.boxUser();
      });
    },

    boxKey: function (event) {
      if (event.key === 'Tab') {
        event.preventDefault();
        return;
      }
      if (event.key === 'Escape' || event.key === 'Enter') {
        event.preventDefault();
        GX.s.boxDone();
      }
    },

    // ---- Screen readers, the user's settings, idle time, the end -----------

    announce: function (number, text) {
      const status = GX.s.windows.get(number).status;
      // A new node each time, so that the same words twice are heard twice.
      const message = document.createElement('span');
      message.textContent = text;
      status.replaceChildren(message);
    },

    decimalSeparator: function () {
      try {
        const parts = new Intl.NumberFormat(navigator.language).formatToParts(1.5);
        const decimal = parts.find(function (part) { return part.type === 'decimal'; });
        if (decimal)
          return decimal.value;
      } catch (error) {
      }
      return '.';
    },

    requestIdle: function () {
      const run = function () {
        if (GX.s.ended)
          return;
        if (GX.s.suspended) {
          GX.s.idlePending = true;
          return;
        }
        _gradolux_idle();
      };
      // After the next frame is painted, when the page has nothing else to do.
      requestAnimationFrame(function () {
        if (window.requestIdleCallback)
          requestIdleCallback(run, {timeout: 200});
        else
          setTimeout(run, 0);
      });
    },

    prepareText: function (fontPixels, weight, italic, text) {
      if (!GX.s.measure)
        GX.s.measure = document.createElement('canvas').getContext('2d');
      const context = GX.s.measure;
      context.font = (italic ? 'italic ' : '') + weight + ' ' + fontPixels + 'px "Gradolux Sans"';
      context.fillText(text, 0, fontPixels);
    },

    end: function (exitCode, line, again) {
      const s = GX.s;
      s.ended = true;
      s.desktop.textContent = '';
      s.windows.clear();
      s.controls.clear();
      const ended = document.createElement('p');
      ended.className = 'gx-ended';
      ended.setAttribute('role', 'status');
      ended.textContent = line + ' ';
      const link = document.createElement('a');
      link.href = location.pathname.split('/').pop() || './';
      link.textContent = again;
      ended.appendChild(link);
      s.desktop.appendChild(ended);
      window.gradolux.exitCode = exitCode;
      document.title = line;
    },
  },

  gx_start__deps: ['$GX'],
  gx_start: function (title) { GX.start(UTF8ToString(title)); },
  gx_createWindow__deps: ['$GX'],
  gx_createWindow: function (number, kind, caption, name, describedBy, width, height, closeBox, minBox, maxBox,
                             dialog, background, icon) {
    return GX.createWindow(number, kind, UTF8ToString(caption), UTF8ToString(name), UTF8ToString(describedBy),
                           width, height, closeBox, minBox, maxBox, dialog, background, UTF8ToString(icon));
  },
  gx_createControl__deps: ['$GX'],
  gx_createControl: function (win, number, container, name, index, kind, text, left, top, width, height, order,
                              tabStop, marks, wraps, alignment, fontPixels, weight, italic, underline, strikeOut,
                              foreground, background, sunken, picture, accessibleName, isDefault) {
    return GX.createControl(win, number, container, UTF8ToString(name), index, kind, UTF8ToString(text), left,
                            top, width, height, order, tabStop, marks, wraps, alignment, fontPixels, weight,
                            italic, underline, strikeOut, foreground, background, sunken, UTF8ToString(picture),
                            UTF8ToString(accessibleName), isDefault);
  },
  gx_labelBy__deps: ['$GX'],
  gx_labelBy: function (number, label) { GX.labelBy(number, label); },
  gx_destroyWindow__deps: ['$GX'],
  gx_destroyWindow: function (number) { GX.destroyWindow(number); },
  gx_frameMargins__deps: ['$GX'],
  gx_frameMargins: function (number, out) {
    const margins = GX.margins[GX.s.windows.get(number).kind];
    for (let i = 0; i < 4; ++i)
      HEAP32[(out >> 2) + i] = margins[i];
  },
  gx_screen__deps: ['$GX'],
  gx_screen: function (out) {
    HEAP32[out >> 2] = 0;
    HEAP32[(out >> 2) + 1] = 0;
    HEAP32[(out >> 2) + 2] = document.documentElement.clientWidth;
    HEAP32[(out >> 2) + 3] = document.documentElement.clientHeight;
  },
  gx_placeWindow__deps: ['$GX'],
  gx_placeWindow: function (number, left, top) { GX.placeWindow(number, left, top); },
  gx_showWindow__deps: ['$GX'],
  gx_showWindow: function (number) { GX.showWindow(number); },
  gx_hideWindow__deps: ['$GX'],
  gx_hideWindow: function (number) { GX.hideWindow(number); },
  gx_activate__deps: ['$GX'],
  gx_activate: function (number) { GX.activate(number); },
  gx_activeWindow__deps: ['$GX'],
  gx_activeWindow: function () { return GX.s.active; },
  gx_controlRect__deps: ['$GX'],
  gx_controlRect: function (number, out) { GX.controlRect(number, out); },
  gx_placeControl__deps: ['$GX'],
  gx_placeControl: function (number, left, top, width, height) { GX.placeControl(number, left, top, width, height); },
  gx_textSize__deps: ['$GX'],
  gx_textSize: function (number, out) { GX.textSize(number, out); },
  gx_checked__deps: ['$GX'],
  gx_checked: function (number) { return GX.s.controls.get(number).focus.checked ? 1 : 0; },
  gx_check__deps: ['$GX'],
  gx_check: function (number) { GX.s.controls.get(number).focus.checked = true; },
  gx_setCaption__deps: ['$GX'],
  gx_setCaption: function (number, text) {
    const control = GX.s.controls.get(number);
    GX.caption(control.caption, UTF8ToString(text), control.marks);
  },
  gx_setText__deps: ['$GX'],
  gx_setText: function (number, text) { GX.s.controls.get(number).box.value = UTF8ToString(text); },
  gx_setWindowCaption__deps: ['$GX'],
  gx_setWindowCaption: function (number, text) {
    const win = GX.s.windows.get(number);
    const caption = UTF8ToString(text);
    if (win.caption)
      win.caption.textContent = caption;
    win.element.setAttribute('aria-label', caption);
  },
  gx_focusedIn__deps: ['$GX'],
  gx_focusedIn: function (number) { return GX.focusedIn(number); },
  gx_focus__deps: ['$GX'],
  gx_focus: function (number) { GX.focus(number); },
  gx_setTabStop__deps: ['$GX'],
  gx_setTabStop: function (number, on) { GX.setTabStop(number, on); },
  gx_setDefault__deps: ['$GX'],
  gx_setDefault: function (number, on) { GX.setDefault(number, on); },
  gx_block__deps: ['$GX'],
  gx_block: function (number, on) { GX.block(number, on); },
  gx_messageBox__deps: ['$GX'],
  gx_messageBox__sig: 'viii',
  gx_messageBox: function (text, title, owner) {
    // The contract test's probe calls into the program from the page's
    // events it makes itself, where the program cannot be suspended: there
    // the box's user (the probe) works it while it is open and closes it.
    if (GX.s.boxUser) {
      GX.messageBox(UTF8ToString(text), UTF8ToString(title), owner);
      return;
    }
    return Asyncify.handleAsync(function () {
      return GX.messageBox(UTF8ToString(text), UTF8ToString(title), owner);
    });
  },
  gx_announce__deps: ['$GX'],
  gx_announce: function (number, text) { GX.announce(number, UTF8ToString(text)); },
  gx_decimalSeparator__deps: ['$GX'],
  gx_decimalSeparator: function (buffer, size) { stringToUTF8(GX.decimalSeparator(), buffer, size); },
  gx_requestIdle__deps: ['$GX'],
  gx_requestIdle: function () { GX.requestIdle(); },
  gx_prepareText__deps: ['$GX'],
  gx_prepareText: function (fontPixels, weight, italic, text) {
    GX.prepareText(fontPixels, weight, italic, UTF8ToString(text));
  },
  gx_end__deps: ['$GX'],
  gx_end: function (exitCode, line, again) { GX.end(exitCode, UTF8ToString(line), UTF8ToString(again)); },
});
