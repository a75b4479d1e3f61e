// The main window on Windows: standard Win32 controls bound to the form
// model. The model is the only state; each control shows its model control
// and reports the user's actions to it.
#pragma once

#include <windows.h>

#include <oleacc.h>
#include <wrl/client.h>

#include <array>
#include <memory>
#include <vector>

#include "model/form.h"
#include "ui/layout.h"
#include "ui/win32/com.h"
#include "ui/win32/picture.h"

namespace mervalin::win32 {

// The window class, by which other programs (the tests' inspector among
// them) find the window.
inline constexpr wchar_t kWindowClass[] = L"Mervalin";

// Each control's identifier: 1000, plus 100 times its array's place in
// layout::Array counted from 1, plus its element index. Label1(3) is 1103,
// List1(1) 1201, List2 1300, Text2(2) 1502, Command1(0) 1600. Outside tools
// rely on these numbers.
constexpr int controlId(layout::Array array, int index) {
    return 1000 + 100 * (static_cast<int>(array) + 1) + index;
}

// The live region, which carries the form's announcements to screen readers
// (ui/win32/announcer.h); no control of the design.
inline constexpr int kLiveRegionId = 1800;

class Announcer;

class MainWindow {
public:
    // Creates the window, hidden, with every control of the design showing
    // the form's current state; show() shows it. The form must outlive the
    // window. Throws
    // std::runtime_error when Windows refuses to create the window.
    MainWindow(HINSTANCE instance, Mervalin& form);
    ~MainWindow();

    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND handle() const { return window_; }
    void show(int showCommand);

    // Gives the window the first look at each message of the thread's
    // queue, for keyboard navigation between the controls. Returns true
    // when the message has been dealt with and must not be dispatched.
    bool preTranslateMessage(MSG& message);

private:
    class ListBinding;
    class TextBinding;

    struct Control {
        const layout::Placement* placement;
        HWND handle;
    };

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND createControl(const layout::Placement& placement);
    void nameControlsForScreenReaders();
    void nameForScreenReaders(HWND control, const layout::Placement& placement);
    // The timer that gives the controls their accessible names once the
    // window has been painted.
    static constexpr UINT_PTR kNameForScreenReaders = 1;
    // The design's font, client area and icons at the DPI of dpi_.
    HFONT createFont() const;
    SIZE frameSize() const;
    void fitClientArea(SIZE frame);
    void loadIcons();
    // Lays the window out again for a new DPI.
    void applyDpi(UINT dpi, const RECT* suggested);
    void moveFocus(HWND next);
    void drawButton(const DRAWITEMSTRUCT& item) const;
    void drawPicture(const DRAWITEMSTRUCT& item);
    bool isLabel(HWND control) const;
    bool isTextBox(HWND control) const;
    int pixels(int twips) const { return layout::toPixels(twips, static_cast<int>(dpi_)); }

    Mervalin& form_;
    HINSTANCE instance_;
    HWND window_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    HFONT font_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HBRUSH labelBrush_ = nullptr;
    HBRUSH buttonBrush_ = nullptr;
    std::vector<Control> controls_;
    std::array<HWND, Mervalin::kLabel1Count> labels_{};
    std::vector<HWND> textBoxes_;
    HWND button_ = nullptr;
    HWND picture_ = nullptr;
    // The control to give the focus back to when the window is activated.
    HWND focus_ = nullptr;
    Picture diagram_;
    // Before the COM objects, which are released first.
    ComApartment com_;
    Microsoft::WRL::ComPtr<IAccPropServices> accessibility_;
    std::vector<std::unique_ptr<ListBinding>> listBindings_;
    std::vector<std::unique_ptr<TextBinding>> textBindings_;
    std::unique_ptr<Announcer> announcer_;
};

}  // namespace mervalin::win32
