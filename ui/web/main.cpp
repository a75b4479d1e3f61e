// Mervalin in a browser: starts the form with the browser's regional
// settings and builds the page. The browser's own event loop then delivers
// the user's presses to the exported functions below; the form and the page
// live as long as the page is open.
#include <emscripten/emscripten.h>

#include <cstddef>
#include <memory>
#include <string_view>

#include "logic/quiz.h"
#include "model/form.h"
#include "ui/platform.h"
#include "ui/web/window.h"

// Defined in JavaScript, ui/web/page.js: the overflow report in a dialog.
extern "C" void mervalin_page_overflow(const char* message, std::size_t length);

namespace {

mervalin::web::Page* thePage = nullptr;

}  // namespace

extern "C" {

// input: 0 for a mouse click, 1 for a key (ListBox::Input).
EMSCRIPTEN_KEEPALIVE void mervalin_press_item(int control, int index, int input) {
    if (!thePage) return;
    thePage->pressItem(
        control, index,
        input == 0 ? mervalin::ListBox::Input::Mouse : mervalin::ListBox::Input::Keyboard);
}

EMSCRIPTEN_KEEPALIVE void mervalin_press_button(int control) {
    if (thePage) thePage->pressButton(control);
}

}  // extern "C"

int main() {
    // Released only when the page goes away, with the whole module.
    static const auto platform = mervalin::createPlatform(
        [](std::string_view message) { mervalin_page_overflow(message.data(), message.size()); });
    static const auto form = mervalin::startForm(*platform);
    static mervalin::web::Page page(*form);
    thePage = &page;
    return 0;
}
