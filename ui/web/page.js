// The page's side of ui/web/window.cpp (an emscripten JavaScript library):
// it makes each control of the design as the native HTML element that
// browsers already make keyboard- and screen-reader-friendly, shows what the
// C++ side hands it, and reports the user's presses back, raw. It decides
// nothing: what a press means is the core's.
mergeInto(LibraryManager.library, {
  $Page: {
    form: null,     // the element that is the window's client area
    frame: null,    // its box in the page, which shrinks with it: the main landmark
    width: 0,
    height: 0,
    controls: {},   // by control number (ControlId::number())
    message: null,  // the message box, the one multi-line text box
    messageHeight: 0,
    grown: 0,       // how much taller than designed the form is, on paper
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

    // layout::Kind and layout::Colour of ui/layout.h, in their order.
    kinds: ['label', 'list', 'text', 'button', 'picture'],
    roles: ['window', 'label', 'button', 'button-text', 'field', 'text', 'paper', 'ink'],
    // layout::SystemColour, as CSS names the system's colours.
    systemColours: ['Canvas', 'CanvasText', 'ButtonFace', 'ButtonText', 'Highlight',
                    'HighlightText'],
    // Each role's colour, by the CSS variable that holds it: the design's,
    // then the one in high contrast.
    colours: {},
    // Whether the browser asks for high contrast: its forced colours, as
    // Windows' high contrast or a browser's own setting turns them on.
    highContrast: null,
    // mervalin::Input of model/controls.h, by name.
    input: {press: 0, move: 1, activate: 2, up: 3, down: 4, pageUp: 5, pageDown: 6, home: 7,
            end: 8},

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
      Page.frame.style.height = (Page.height + Page.grown) * scale + 'px';
    },

    // Printed, the message box holds its whole text with no scroll bar, and
    // the form grows with it; back on the screen both are as designed. The
    // text is measured with the scroll bar gone, at its printed width.
    print: function(printing) {
      var box = Page.message;
      box.style.overflowY = printing ? 'hidden' : '';
      Page.grown = printing ? Math.max(0, box.scrollHeight - box.clientHeight) : 0;
      box.style.height = Page.messageHeight + Page.grown + 'px';
      Page.form.style.height = Page.height + Page.grown + 'px';
      Page.fit();
    },

    // A colour by its variable: the design's, then the one in high contrast.
    setColour: function(name, designed, highContrast) {
      Page.colours[name] = [designed, highContrast];
      Page.showColours();
    },

    // Every colour in the look the browser now asks for.
    showColours: function() {
      var high = Page.highContrast.matches ? 1 : 0;
      Object.keys(Page.colours).forEach(function(name) {
        document.documentElement.style.setProperty(name, Page.colours[name][high]);
      });
    },

    report: function(control, input, item) {
      _mervalin_input(control, input, item);
    },

    // The keys whose meaning on a list the core decides; the browser never
    // sees them.
    keys: {ArrowUp: 'up', ArrowDown: 'down', PageUp: 'pageUp', PageDown: 'pageDown',
           Home: 'home', End: 'end', ' ': 'activate', Enter: 'activate'},

    // Reports every change of a <select>'s selection, raw, whatever made it:
    // a mouse press as the button goes down, with the option under it (or
    // -1 off the options, on the scroll bar); a tap or a pen's press once it
    // comes up, if it did not become a scroll; the core's keys; and every
    // input and change event, which browsers raise for type-ahead, for an
    // iPad's picker, for WebDriver's click on an option and for an assistive
    // tool's choice, as a move. A move to the choice already shown changes
    // nothing, so two reports of one change are one.
    watchList: function(select, control) {
      var tapped = null;
      var optionOf = function(event) {
        return event.target instanceof HTMLOptionElement ? event.target : null;
      };
      select.addEventListener('pointerdown', function(event) {
        var option = optionOf(event);
        if (event.pointerType !== 'mouse') {
          tapped = option;
        } else if (event.button === 0) {
          Page.report(control, Page.input.press, option ? option.index : -1);
        }
      });
      select.addEventListener('pointerup', function(event) {
        var option = tapped;
        tapped = null;
        if (event.pointerType !== 'mouse' && option && option.parentNode === select) {
          Page.report(control, Page.input.press, option.index);
        }
      });
      select.addEventListener('pointercancel', function() { tapped = null; });
      var moved = function() { Page.report(control, Page.input.move, select.selectedIndex); };
      select.addEventListener('input', moved);
      select.addEventListener('change', moved);
      // Chromium's accessibility action "select" on the chosen option takes
      // the choice away, with no event at all; so a list that shows another
      // choice than the core's last is reported again, as a move, a moment
      // later.
      select.coreChoice = -1;
      setInterval(function() {
        if (select.selectedIndex !== select.coreChoice) moved();
      }, 250);
      select.addEventListener('keydown', function(event) {
        var key = Page.keys[event.key];
        if (!key || event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return;
        event.preventDefault();
        Page.report(control, Page.input[key], -1);
      });
    },

    // The diagram's artwork, which the page carries once, as SVG, in the
    // colours of the roles of its paper and ink.
    diagram: function(paper, ink) {
      var artwork = document.getElementById('diagram').content.firstElementChild.cloneNode(true);
      artwork.setAttribute('aria-hidden', 'true');
      artwork.setAttribute('focusable', 'false');
      artwork.querySelector('.paper').style.fill = 'var(--colour-' + Page.roles[paper] + ')';
      artwork.querySelector('.ink').style.color = 'var(--colour-' + Page.roles[ink] + ')';
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
        Page.frame.appendChild(dialog);
      }
      document.getElementById('overflow-message').textContent = message;
      if (!dialog.open) dialog.showModal();
    }
  },

  mervalin_page_window__deps: ['$Page'],
  mervalin_page_window: function(width, height, caption, captionLength, font, fontLength,
                                 fontPoints) {
    document.title = UTF8ToString(caption, captionLength);
    document.documentElement.style.setProperty(
        '--font', fontPoints + 'pt "' + UTF8ToString(font, fontLength) +
        '", Times, "Liberation Serif", serif');
    Page.frame = document.getElementById('frame');
    Page.form = document.getElementById('mervalin');
    Page.width = width;
    Page.height = height;
    Page.form.style.width = width + 'px';
    Page.form.style.height = height + 'px';
    Page.announcer = document.getElementById('announcer');
    Page.highContrast = matchMedia('(forced-colors: active)');
    Page.highContrast.addEventListener('change', Page.showColours);
    Page.fit();
    window.addEventListener('resize', Page.fit);
    window.addEventListener('beforeprint', function() { Page.print(true); });
    window.addEventListener('afterprint', function() { Page.print(false); });
  },

  mervalin_page_colour__deps: ['$Page'],
  mervalin_page_colour: function(role, rgb, highContrast) {
    Page.setColour('--colour-' + Page.roles[role], Page.colour(rgb),
                   Page.systemColours[highContrast]);
  },

  // The chosen item: outside high contrast in the browser's own colours of
  // a list's selection.
  mervalin_page_chosen_item__deps: ['$Page'],
  mervalin_page_chosen_item: function(background, text) {
    Page.setColour('--chosen', 'SelectedItem', Page.systemColours[background]);
    Page.setColour('--chosen-text', 'SelectedItemText', Page.systemColours[text]);
  },

  mervalin_page_control__deps: ['$Page'],
  mervalin_page_control: function(control, kind, left, top, width, height, label, flags,
                                  background, text, caption, captionLength, name, nameLength) {
    // The bits of flags, as ui/web/window.cpp sets them.
    var takesFocus = flags & 1, readOnly = flags & 2, multiLine = flags & 4,
        scrollBar = flags & 8, sunken = flags & 16, centred = flags & 32, heading = flags & 64;
    var element;
    var className = Page.kinds[kind];
    switch (className) {
      case 'label':
        // The window's title is the page's heading; it looks as a label.
        element = document.createElement(heading ? 'h1' : 'label');
        element.textContent = UTF8ToString(caption, captionLength);
        break;
      case 'list':
        element = document.createElement('select');
        // Any size above 1 makes a list box rather than a drop-down; the
        // design gives its height.
        element.size = 2;
        Page.watchList(element, control);
        break;
      case 'text':
        if (multiLine) {
          element = document.createElement('textarea');
          className = 'message';
          Page.message = element;
          Page.messageHeight = height;
        } else {
          element = document.createElement('input');
          element.type = 'text';
          className = 'result';
        }
        element.readOnly = !!readOnly;
        break;
      case 'button':
        element = document.createElement('button');
        element.type = 'button';
        element.textContent = UTF8ToString(caption, captionLength);
        // Mouse, touch, Enter, Space and an assistive tool's action alike.
        element.addEventListener('click', function() {
          Page.report(control, Page.input.press, -1);
        });
        break;
      default:
        element = document.createElement('div');
        element.setAttribute('role', 'img');
        element.appendChild(Page.diagram(background, text));
        break;
    }
    element.id = 'control' + control;
    element.className = className + (sunken ? ' sunken' : '') + (centred ? ' centred' : '') +
                        (scrollBar ? ' scroll' : '');
    element.style.left = left + 'px';
    element.style.top = top + 'px';
    element.style.width = width + 'px';
    element.style.height = height + 'px';
    element.style.backgroundColor = 'var(--colour-' + Page.roles[background] + ')';
    element.style.color = 'var(--colour-' + Page.roles[text] + ')';
    if (!takesFocus) element.tabIndex = -1;
    if (label >= 0) {
      Page.controls[label].htmlFor = element.id;
    } else if (nameLength > 0 && className !== 'label' && className !== 'button') {
      element.setAttribute('aria-label', UTF8ToString(name, nameLength));
    }
    Page.controls[control] = element;
    Page.form.appendChild(element);
  },

  mervalin_page_list_insert__deps: ['$Page'],
  mervalin_page_list_insert: function(control, index, text, length, spoken, spokenLength) {
    var option = document.createElement('option');
    option.textContent = UTF8ToString(text, length);
    if (spokenLength > 0) option.setAttribute('aria-label', UTF8ToString(spoken, spokenLength));
    Page.controls[control].add(option, index);
  },

  mervalin_page_list_clear__deps: ['$Page'],
  mervalin_page_list_clear: function(control) {
    Page.controls[control].length = 0;
    Page.controls[control].coreChoice = -1;
  },

  mervalin_page_list_select__deps: ['$Page'],
  mervalin_page_list_select: function(control, index) {
    var select = Page.controls[control];
    select.coreChoice = index;
    // The same choice again leaves the list scrolled where the pupil put it.
    if (select.selectedIndex === index) return;
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
