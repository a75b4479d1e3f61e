// The main window on Windows: standard Win32 controls made from the design
// table and shown through the form's one view. The model is the only state;
// each control shows its model control and reports the user's input to the
// one input entry. Each control's id is its ControlId::number().
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

// The live region, which carries the form's announcements to screen readers
// (ui/win32/announcer.h); no control of the design.
inline constexpr int kLiveRegionId = 1800;

class Announcer;

class MainWindow final : private FormView {
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
    class ListInput;

    struct Control {
        const layout::Control* design;
        HWND handle;
    };

    // What the form shows, through FormView.
    void insertItem(ControlId list, int index, std::string_view text,
                    std::string_view spoken) override;
    void clearItems(ControlId list) override;
    void select(ControlId list, int index) override;
    void setText(ControlId box, std::string_view text) override;
    void announce(std::string_view text) override;
    // The list box of a list of the table, or null.
    HWND listBox(ControlId id) const;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND createControl(const layout::Control& design);
    void nameControlsForScreenReaders();
    void nameForScreenReaders(HWND control, const layout::Control& design);
    // A list item's name for screen readers, when the form gives it one.
    void nameItemForScreenReaders(HWND list, int index, std::string_view spoken);
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
    void drawButton(const DRAWITEMSTRUCT& item, const layout::Control& design) const;
    void drawPicture(const DRAWITEMSTRUCT& item);
    // The design of one of the window's controls, or null.
    static const layout::Control* designOf(HWND control);
    // The colour of a role, and a brush of it, which the window owns: the
    // design's, or in high contrast the system's colour of the table.
    COLORREF colour(layout::Colour role) const;
    HBRUSH brush(layout::Colour role) const;
    // Takes up whether the system now asks for high contrast, and with
    // which colours, and draws everything again.
    void showColours();
    int pixels(int twips) const { return layout::toPixels(twips, static_cast<int>(dpi_)); }

    Mervalin& form_;
    HINSTANCE instance_;
    HWND window_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    HFONT font_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    // By layout::Colour, for the roles the design gives a colour of its own.
    std::array<HBRUSH, layout::kColours.size()> brushes_{};
    bool highContrast_ = false;
    std::vector<Control> controls_;
    // The control to give the focus back to when the window is activated.
    HWND focus_ = nullptr;
    Picture diagram_;
    // Before the COM objects, which are released first.
    ComApartment com_;
    Microsoft::WRL::ComPtr<IAccPropServices> accessibility_;
    std::vector<std::unique_ptr<ListInput>> listInputs_;
    std::unique_ptr<Announcer> announcer_;
};

}  // namespace mervalin::win32
