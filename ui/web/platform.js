// The regional settings behind ui/web/platform.cpp (an emscripten JavaScript
// library). In a browser the user's languages are navigator.languages; under
// node, which runs the scenario runner, they come from the locale variables
// as on Linux (LC_ALL, then LC_NUMERIC or LC_COLLATE, then LANG).
mergeInto(LibraryManager.library, {
  $RegionalSettings: {
    cache: {},

    // "bg_BG.UTF-8" -> "bg-BG"; nothing for "C" and "POSIX".
    fromEnvironment: function(category) {
      var names = ['LC_ALL', category, 'LANG'];
      for (var i = 0; i < names.length; i++) {
        var value = process.env[names[i]];
        if (!value) continue;
        var tag = value.split('.')[0].split('@')[0];
        if (tag === 'C' || tag === 'POSIX') return undefined;
        return [tag.replace(/_/g, '-')];
      }
      return undefined;
    },

    locales: function(category) {
      var wanted = ENVIRONMENT_IS_NODE ? RegionalSettings.fromEnvironment(category)
                                       : navigator.languages;
      try {
        // Throws for a tag that is not one.
        Intl.getCanonicalLocales(wanted);
        return wanted;
      } catch (e) {
        return undefined;
      }
    },

    get: function(key, make) {
      if (!RegionalSettings.cache[key]) RegionalSettings.cache[key] = make();
      return RegionalSettings.cache[key];
    },

    collator: function() {
      return RegionalSettings.get('collator', function() {
        // 'accent': letters that differ only in case are equal.
        return new Intl.Collator(RegionalSettings.locales('LC_COLLATE'),
                                 {sensitivity: 'accent'});
      });
    },

    // A formatter with the given number of fraction digits, and the locale's
    // digits 0..9 (not every locale writes Latin ones).
    numbers: function(fractionDigits) {
      return RegionalSettings.get('numbers' + fractionDigits, function() {
        var locales = RegionalSettings.locales('LC_NUMERIC');
        var plainDigits = new Intl.NumberFormat(locales, {useGrouping: false});
        var digits = [];
        for (var d = 0; d < 10; d++) digits.push(plainDigits.format(d));
        return {
          format: new Intl.NumberFormat(locales, {minimumFractionDigits: fractionDigits,
                                                  maximumFractionDigits: fractionDigits}),
          digits: digits
        };
      });
    },

    // "-2415.00" -> "-2,415.00" (en-US), "2415,00" (bg-BG). The whole part
    // goes through Intl as an exact integer (a BigInt), with fraction digits
    // that are then replaced by the plain text's own.
    localise: function(plain) {
      var parts = /^(-?)([0-9]+)(?:\.([0-9]+))?$/.exec(plain);
      if (!parts) return plain;
      var fraction = parts[3] || '';
      var numbers = RegionalSettings.numbers(fraction.length);
      var whole = BigInt(parts[2]);
      var value = whole;
      if (parts[1] === '-') value = whole === BigInt(0) ? -0 : -whole;
      return numbers.format.formatToParts(value).map(function(part) {
        if (part.type !== 'fraction') return part.value;
        return fraction.replace(/[0-9]/g, function(digit) { return numbers.digits[digit]; });
      }).join('');
    }
  },

  mervalin_compare_text__deps: ['$RegionalSettings'],
  mervalin_compare_text: function(a, aLength, b, bLength) {
    return RegionalSettings.collator().compare(UTF8ToString(a, aLength), UTF8ToString(b, bLength));
  },

  mervalin_localise_number__deps: ['$RegionalSettings', 'malloc'],
  mervalin_localise_number: function(plain, length) {
    var text = RegionalSettings.localise(UTF8ToString(plain, length));
    var size = lengthBytesUTF8(text) + 1;
    var memory = _malloc(size);
    if (memory) stringToUTF8(text, memory, size);
    return memory;
  }
});
