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

// page.js's numbers for the kinds of input, which are mervalin::Input's.
static_assert(static_cast<int>(mervalin::Input::Press) == 0 &&
              static_cast<int>(mervalin::Input::Move) == 1 &&
              static_cast<int>(mervalin::Input::Activate) == 2 &&
              static_cast<int>(mervalin::Input::Up) == 3 &&
              static_cast<int>(mervalin::Input::Down) == 4 &&
              static_cast<int>(mervalin::Input::PageUp) == 5 &&
              static_cast<int>(mervalin::Input::PageDown) == 6 &&
              static_cast<int>(mervalin::Input::Home) == 7 &&
              static_cast<int>(mervalin::Input::End) == 8);

// The user's input on a control, named by its number; item -1 for none.
EMSCRIPTEN_KEEPALIVE void mervalin_input(int control, int input, int item) {
    if (!thePage || input < 0 || input > static_cast<int>(mervalin::Input::End)) return;
    thePage->input(control, static_cast<mervalin::Input>(input), item);
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
