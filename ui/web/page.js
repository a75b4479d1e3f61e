// The page's side of ui/web/window.cpp (an emscripten JavaScript library):
// it makes each control of the design as the native HTML element that
// browsers already make keyboard- and screen-reader-friendly, shows what the
// C++ side hands it, and reports the user's presses back, raw. It decides
// nothing: what a press means is the core's.
mergeInto(LibraryManager.library, {
  $Page: {
    form: null,     // the element that is the window's client area
    frame: null,    // its box in the page, which shrinks with it
    width: 0,
    height: 0,
    controls: [],   // by control number, the place in the design table
    announcer: null,
    pending: [],    // work that reads the layout, done once the C++ side is done

    // Runs fn once the current call from the C++ side has returned: reading
    // the layout in the middle of building the form would lay it out again
    // and again, each time with the message box's long text.
    later: function(fn) {
      if (Page.pending.push(fn) > 1) return;
      Promise.resolve().then(function() {
        var work = Page.pending;
        Page.pending = [];
        work.forEach(function(f) { f(); });
      });
    },

    // The kinds of window.h, in its order.
    kinds: ['label', 'list', 'result', 'message', 'button', 'picture'],

    colour: function(rgb) {
      return '#' + (0x1000000 + rgb).toString(16).slice(1);
    },

    // Only a screen narrower than the form shrinks it, to the width it has;
    // anywhere else the form keeps its size, so that the browser's zoom
    // works on it as on any page.
    fit: function() {
      var available = document.documentElement.clientWidth;
      var scale = 1;
      if (screen.width < Page.width && available < Page.width) scale = available / Page.width;
      Page.form.style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
      Page.frame.style.width = Page.width * scale + 'px';
      Page.frame.style.height = Page.height * scale + 'px';
    },

    // A <select size> reports a click when the button comes up after it went
    // down on an item (not on the scroll bar), with the item then selected,
    // wherever a drag took it; and each key that moved the selection, with
    // the item it left selected, as the browser tells it at once with an
    // input event (a key that moves nothing raises nothing in the core).
    watchList: function(select, control) {
      var pressedOnItem = false;
      var keyDown = false;
      select.addEventListener('mousedown', function(event) {
        pressedOnItem = event.button === 0 && event.target instanceof HTMLOptionElement;
      });
      window.addEventListener('mouseup', function(event) {
        if (event.button !== 0 || !pressedOnItem) return;
        pressedOnItem = false;
        _mervalin_press_item(control, select.selectedIndex, 0);
      });
      select.addEventListener('keydown', function() { keyDown = true; });
      select.addEventListener('keyup', function() { keyDown = false; });
      select.addEventListener('blur', function() { keyDown = false; });
      select.addEventListener('input', function() {
        if (keyDown) _mervalin_press_item(control, select.selectedIndex, 1);
      });
    },

    // The diagram's artwork, which the page carries once, as SVG.
    diagram: function() {
      var artwork = document.getElementById('diagram').content.firstElementChild.cloneNode(true);
      artwork.setAttribute('aria-hidden', 'true');
      artwork.setAttribute('focusable', 'false');
      return artwork;
    },

    showOverflow: function(message) {
      var dialog = document.getElementById('overflow');
      if (!dialog) {
        dialog = document.createElement('dialog');
        dialog.id = 'overflow';
        dialog.setAttribute('aria-describedby', 'overflow-message');
        dialog.setAttribute('aria-label', document.title);
        var text = document.createElement('p');
        text.id = 'overflow-message';
        var form = document.createElement('form');
        form.method = 'dialog';
        var close = document.createElement('button');
        close.textContent = 'OK';
        form.appendChild(close);
        dialog.appendChild(text);
        dialog.appendChild(form);
        document.body.appendChild(dialog);
      }
      document.getElementById('overflow-message').textContent = message;
      if (!dialog.open) dialog.showModal();
    }
  },

  mervalin_page_window__deps: ['$Page'],
  mervalin_page_window: function(width, height, caption, captionLength, font, fontLength,
                                 fontPoints, windowColour, labelColour, buttonColour) {
    document.title = UTF8ToString(caption, captionLength);
    var style = document.documentElement.style;
    style.setProperty('--window-colour', Page.colour(windowColour));
    style.setProperty('--label-colour', Page.colour(labelColour));
    style.setProperty('--button-colour', Page.colour(buttonColour));
    style.setProperty('--font', fontPoints + 'pt "' + UTF8ToString(font, fontLength) +
                      '", Times, "Liberation Serif", serif');
    Page.frame = document.getElementById('frame');
    Page.form = document.getElementById('mervalin');
    Page.width = width;
    Page.height = height;
    Page.form.style.width = width + 'px';
    Page.form.style.height = height + 'px';
    Page.announcer = document.getElementById('announcer');
    Page.fit();
    window.addEventListener('resize', Page.fit);
  },

  mervalin_page_control__deps: ['$Page'],
  mervalin_page_control: function(control, kind, left, top, width, height, takesFocus, label,
                                  text, textLength, name, nameLength) {
    var element;
    switch (Page.kinds[kind]) {
      case 'label':
        element = document.createElement('label');
        element.textContent = UTF8ToString(text, textLength);
        break;
      case 'list':
        element = document.createElement('select');
        // Any size above 1 makes a list box rather than a drop-down; the
        // design gives its height.
        element.size = 2;
        Page.watchList(element, control);
        break;
      case 'result':
        element = document.createElement('input');
        element.type = 'text';
        element.readOnly = true;
        break;
      case 'message':
        element = document.createElement('textarea');
        element.readOnly = true;
        break;
      case 'button':
        element = document.createElement('button');
        element.type = 'button';
        element.textContent = UTF8ToString(text, textLength);
        // Mouse, Enter and Space alike.
        element.addEventListener('click', function() { _mervalin_press_button(control); });
        break;
      default:
        element = document.createElement('div');
        element.setAttribute('role', 'img');
        element.appendChild(Page.diagram());
        break;
    }
    element.id = 'control' + control;
    element.className = Page.kinds[kind];
    element.style.left = left + 'px';
    element.style.top = top + 'px';
    element.style.width = width + 'px';
    element.style.height = height + 'px';
    if (!takesFocus) element.tabIndex = -1;
    if (label >= 0) {
      Page.controls[label].htmlFor = element.id;
    } else if (nameLength > 0) {
      element.setAttribute('aria-label', UTF8ToString(name, nameLength));
    }
    Page.controls[control] = element;
    Page.form.appendChild(element);
  },

  mervalin_page_list_insert__deps: ['$Page'],
  mervalin_page_list_insert: function(control, index, text, length) {
    var option = document.createElement('option');
    option.textContent = UTF8ToString(text, length);
    Page.controls[control].add(option, index);
  },

  mervalin_page_list_clear__deps: ['$Page'],
  mervalin_page_list_clear: function(control) {
    Page.controls[control].length = 0;
  },

  mervalin_page_list_select__deps: ['$Page'],
  mervalin_page_list_select: function(control, index) {
    var select = Page.controls[control];
    select.selectedIndex = index;
    // Scrolled into view, as a list box does.
    Page.later(function() {
      var option = select.options[select.selectedIndex];
      if (!option) return;
      var top = option.offsetTop - select.clientTop;
      if (top < select.scrollTop) {
        select.scrollTop = top;
      } else if (top + option.offsetHeight > select.scrollTop + select.clientHeight) {
        select.scrollTop = top + option.offsetHeight - select.clientHeight;
      }
    });
  },

  mervalin_page_text__deps: ['$Page'],
  mervalin_page_text: function(control, text, length) {
    var element = Page.controls[control];
    element.value = UTF8ToString(text, length);
    // The caret at the start, as in the other windows: the box shows the
    // beginning of the text, also when it has the focus.
    Page.later(function() {
      element.setSelectionRange(0, 0);
      element.scrollTop = 0;
    });
  },

  mervalin_page_focus__deps: ['$Page'],
  mervalin_page_focus: function(control) {
    var element = Page.controls[control];
    Page.later(function() { element.focus(); });
  },

  // A new paragraph each time, so that the same verdict twice is read twice.
  mervalin_page_announce__deps: ['$Page'],
  mervalin_page_announce: function(text, length) {
    var line = document.createElement('p');
    line.textContent = UTF8ToString(text, length);
    Page.announcer.replaceChildren(line);
  },

  mervalin_page_overflow__deps: ['$Page'],
  mervalin_page_overflow: function(message, length) {
    Page.showOverflow(UTF8ToString(message, length));
  }
});
