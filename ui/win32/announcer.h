// Delivers the form's announcements to Windows screen readers without
// moving the focus, the two ways they listen:
//   - a UI Automation notification on the window (UiaRaiseNotificationEvent,
//     as Windows' own Calculator announces its results), for Narrator; the
//     function is looked up when first needed, since Windows has it only
//     from Windows 10 1709 on and Wine not at all;
//   - an MSAA live-region change (EVENT_OBJECT_LIVEREGIONCHANGED) on the
//     live region, a static control of no size whose text, and so whose
//     accessible name, is the announcement; NVDA speaks it.
// Neither needs COM on this thread: the static's accessible object is made
// by oleacc in the screen reader's process, and UI Automation looks after
// its own.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace mervalin::win32 {

class Announcer final {
public:
    // Creates the live region as the last child of window, with the given
    // control identifier. Throws std::runtime_error when Windows refuses to
    // create it.
    Announcer(HINSTANCE instance, HWND window, int controlId);

    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;

    HWND liveRegion() const { return liveRegion_; }

    // Says the text both ways.
    void announce(std::string_view text);

private:
    void raiseNotification(const std::wstring& text);

    HWND window_;
    HWND liveRegion_ = nullptr;
};

}  // namespace mervalin::win32
