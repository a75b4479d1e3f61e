#include "ui/win32/window.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <exception>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>

#include "ui/win32/announcer.h"
#include "ui/win32/dpi.h"
#include "ui/win32/resource.h"
#include "ui/win32/text.h"

namespace mervalin::win32 {

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;

COLORREF toColorRef(layout::Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

void registerWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, kWindowClass, &windowClass)) return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MERVALIN));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // Windows deletes a class's brush when the class goes away.
    windowClass.hbrBackground = CreateSolidBrush(toColorRef(layout::kWindowColour));
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&windowClass)) throw std::runtime_error("RegisterClassExW failed");
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

}  // namespace

// Keeps a list box showing its model list, and reports the user's presses to
// the model, raw: a click once the button comes up (the list box has
// selected the item under it, or wherever a drag ended), and each key the
// list box handled. The model decides what they mean. LBN_SELCHANGE is not
// used: Windows sends it for a click twice or once, depending on whether the
// selection moved, and for a key that moved nothing. The model's own changes
// are shown with messages that raise no notification.
class MainWindow::ListBinding final : public ListBoxObserver {
public:
    ListBinding(ListBox& list, HWND handle) : list_(list), control_(handle) {
        for (int i = 0; i < list.count(); ++i) itemInserted(i);
        selectionChanged(list.selectedIndex());
        list.setObserver(this);
        SetWindowSubclass(control_, inputProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    ~ListBinding() {
        list_.setObserver(nullptr);
        if (IsWindow(control_)) RemoveWindowSubclass(control_, inputProc, 0);
    }

    ListBinding(const ListBinding&) = delete;
    ListBinding& operator=(const ListBinding&) = delete;

    void itemInserted(int index) override {
        const std::wstring text = toWide(list_.item(index));
        // LB_INSERTSTRING appends at -1.
        const WPARAM where =
            index >= itemCount() ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index);
        SendMessageW(control_, LB_INSERTSTRING, where, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void cleared() override { SendMessageW(control_, LB_RESETCONTENT, 0, 0); }
    void selectionChanged(int index) override {
        // -1 takes the selection away.
        SendMessageW(control_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }

private:
    static LRESULT CALLBACK inputProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR data) {
        auto* self = reinterpret_cast<ListBinding*>(data);
        switch (message) {
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK: {
                // The high word is 1 when the point is below the last item.
                const auto hit =
                    static_cast<DWORD>(SendMessageW(control, LB_ITEMFROMPOINT, 0, lParam));
                self->pressedOnItem_ = HIWORD(hit) == 0;
                break;
            }
            case WM_LBUTTONUP: {
                const LRESULT result = DefSubclassProc(control, message, wParam, lParam);
                if (std::exchange(self->pressedOnItem_, false)) {
                    self->pressed(ListBox::Input::Mouse);
                }
                return result;
            }
            case WM_KEYDOWN:
            case WM_CHAR: {
                const LRESULT result = DefSubclassProc(control, message, wParam, lParam);
                self->pressed(ListBox::Input::Keyboard);
                return result;
            }
            case WM_NCDESTROY:
                RemoveWindowSubclass(control, inputProc, 0);
                break;
            default:
                break;
        }
        return DefSubclassProc(control, message, wParam, lParam);
    }

    void pressed(ListBox::Input input) {
        const auto index = static_cast<int>(SendMessageW(control_, LB_GETCURSEL, 0, 0));
        list_.press(index, input);
        // Whatever the list box did, it shows the model's selection.
        if (static_cast<int>(SendMessageW(control_, LB_GETCURSEL, 0, 0)) != list_.selectedIndex()) {
            selectionChanged(list_.selectedIndex());
        }
    }

    int itemCount() const { return static_cast<int>(SendMessageW(control_, LB_GETCOUNT, 0, 0)); }

    ListBox& list_;
    HWND control_;
    bool pressedOnItem_ = false;
};

// Keeps an edit control showing its model text box. Edit controls break
// lines with CR LF, as the model does.
class MainWindow::TextBinding final : public TextBoxObserver {
public:
    TextBinding(TextBox& box, HWND handle) : box_(box), control_(handle) {
        textChanged();
        box.setObserver(this);
    }
    ~TextBinding() { box_.setObserver(nullptr); }

    TextBinding(const TextBinding&) = delete;
    TextBinding& operator=(const TextBinding&) = delete;

    void textChanged() override { SetWindowTextW(control_, toWide(box_.text()).c_str()); }

private:
    TextBox& box_;
    HWND control_;
};

MainWindow::MainWindow(HINSTANCE instance, Mervalin& form) : form_(form), instance_(instance) {
    labelBrush_ = CreateSolidBrush(toColorRef(layout::kLabelColour));
    buttonBrush_ = CreateSolidBrush(toColorRef(layout::kButtonColour));
    registerWindowClass(instance, windowProc);

    // Laid out once, at the final size: the window at the system's DPI,
    // which a new window has unless Windows opens it on a monitor of
    // another; then each control at its place with its font.
    dpi_ = systemDpi();
    const std::wstring caption = toWide(layout::kCaption);
    SIZE frame = frameSize();
    CreateWindowExW(kWindowExStyle, kWindowClass, caption.c_str(), kWindowStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, frame.cx, frame.cy, nullptr, nullptr, instance, this);
    if (!window_) throw std::runtime_error("CreateWindowExW failed");
    try {
        if (const UINT dpi = windowDpi(window_); dpi != dpi_) {
            dpi_ = dpi;
            frame = frameSize();
            SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        }
        fitClientArea(frame);
        font_ = createFont();
        loadIcons();
        // In the design's order: Windows moves the focus in this order, and
        // screen readers name a list or an edit box by the label before it.
        for (const layout::Placement& placement : layout::kControls) {
            HWND control = createControl(placement);
            if (!control) throw std::runtime_error("creating a control failed");
            controls_.push_back({&placement, control});
            if (&placement == &layout::firstFocus()) focus_ = control;
        }
        // After every control of the design, so that it names none of them.
        announcer_ =
            std::make_unique<Announcer>(instance_, window_, kLiveRegionId, form_.announcement());
        // Starting the annotation service takes longer than everything else
        // at start-up together (a tenth of a second under Wine), so it waits
        // until the first paint; the lists and result boxes are read by
        // their labels until then. A timer message comes only after every
        // paint message.
        SetTimer(window_, kNameForScreenReaders, USER_TIMER_MINIMUM, nullptr);
    } catch (...) {
        DestroyWindow(window_);
        throw;
    }
}

MainWindow::~MainWindow() {
    if (window_) DestroyWindow(window_);
    listBindings_.clear();
    textBindings_.clear();
    if (font_) DeleteObject(font_);
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
    DeleteObject(labelBrush_);
    DeleteObject(buttonBrush_);
}

HWND MainWindow::createControl(const layout::Placement& placement) {
    const wchar_t* className = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    std::wstring text;
    // Every control that takes the focus is a group of its own, so that the
    // arrow keys never move the focus (IsDialogMessage moves it within a
    // group otherwise).
    const DWORD kFocusable = layout::takesFocus(placement.array) ? WS_TABSTOP | WS_GROUP : 0;
    switch (placement.array) {
        case layout::Array::Label1:
            style |= SS_CENTER | SS_NOPREFIX;
            text = toWide(form_.Label1(placement.index).caption);
            break;
        case layout::Array::List1:
        case layout::Array::List2:
            // No LBS_SORT: the model keeps its lists in order itself. No
            // integral height: the design gives the exact height.
            className = L"LISTBOX";
            style |= kFocusable | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case layout::Array::Text1:
            className = L"EDIT";
            style |= kFocusable | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case layout::Array::Text2:
            className = L"EDIT";
            style |= kFocusable | ES_AUTOHSCROLL | ES_READONLY;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case layout::Array::Command1:
            className = L"BUTTON";
            style |= kFocusable | BS_OWNERDRAW;
            text = toWide(form_.Command1(0).caption());
            break;
        case layout::Array::Picture1:
            // Owner-drawn, so that the window text can carry the description
            // (a bitmap static takes its text for a resource name).
            style |= SS_OWNERDRAW;
            exStyle = WS_EX_CLIENTEDGE;
            text = toWide(layout::accessibleName(placement, form_));
            break;
    }
    HWND control = CreateWindowExW(
        exStyle, className, text.c_str(), style, pixels(placement.left), pixels(placement.top),
        pixels(placement.width), pixels(placement.height), window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(placement.array, placement.index))),
        instance_, nullptr);
    if (!control) return nullptr;
    // Before the lists are filled, so that they scroll by the final height
    // of their items.
    if (font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

    switch (placement.array) {
        case layout::Array::Label1:
            labels_[static_cast<std::size_t>(placement.index)] = control;
            break;
        case layout::Array::List1:
            listBindings_.push_back(
                std::make_unique<ListBinding>(form_.List1(placement.index), control));
            break;
        case layout::Array::List2:
            listBindings_.push_back(std::make_unique<ListBinding>(form_.List2(), control));
            break;
        case layout::Array::Text1:
            textBoxes_.push_back(control);
            textBindings_.push_back(
                std::make_unique<TextBinding>(form_.Text1(placement.index), control));
            break;
        case layout::Array::Text2:
            textBoxes_.push_back(control);
            textBindings_.push_back(
                std::make_unique<TextBinding>(form_.Text2(placement.index), control));
            break;
        case layout::Array::Command1:
            button_ = control;
            break;
        case layout::Array::Picture1:
            picture_ = control;
            break;
    }
    return control;
}

void MainWindow::nameControlsForScreenReaders() {
    // The accessible names are also given explicitly, for the controls that
    // have no label; without this service they are only read by their label.
    if (accessibility_) return;
    if (const HRESULT entered = com_.enter(); FAILED(entered)) {
        // The window works on, and screen readers still read the lists and
        // boxes by their labels and the picture by its text; only the
        // message box goes unnamed, which the user is told.
        wchar_t message[160];
        swprintf(message, std::size(message),
                 L"Екранните четци няма да чуят името на полето за съобщения: "
                 L"COM не се включи (грешка 0x%08lX).",
                 static_cast<unsigned long>(entered));
        MessageBoxW(window_, message, L"Мервалин", MB_OK | MB_ICONWARNING);
        return;
    }
    if (FAILED(com_.createInstance(CLSID_AccPropServices, IID_IAccPropServices,
                                   reinterpret_cast<void**>(accessibility_.GetAddressOf())))) {
        return;
    }
    for (const auto& control : controls_) nameForScreenReaders(control.handle, *control.placement);
}

void MainWindow::nameForScreenReaders(HWND control, const layout::Placement& placement) {
    const std::string_view accessibleName = layout::accessibleName(placement, form_);
    if (!accessibility_ || accessibleName.empty()) return;
    const std::wstring name = toWide(accessibleName);
    accessibility_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                   PROPID_ACC_NAME, name.c_str());
    if (placement.array == layout::Array::Picture1) {
        // Zeroed as VariantInit would, without importing OLE Automation
        // for it: its DLL would load at every start (0.2 MiB).
        VARIANT role{};
        role.vt = VT_I4;
        role.lVal = ROLE_SYSTEM_GRAPHIC;
        accessibility_->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                    PROPID_ACC_ROLE, role);
    }
}

HFONT MainWindow::createFont() const {
    // Times New Roman in points; RUSSIAN_CHARSET picks the Cyrillic glyphs
    // on systems whose own code page is not Cyrillic.
    const std::wstring family = toWide(layout::kFontFamily);
    return CreateFontW(-MulDiv(layout::kFontPoints, static_cast<int>(dpi_), 72), 0, 0, 0, FW_NORMAL,
                       FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN,
                       family.c_str());
}

SIZE MainWindow::frameSize() const {
    // The client area is the design's size; the frame around it is whatever
    // this DPI makes of the caption and borders.
    RECT frame = {0, 0, pixels(layout::kClientWidth), pixels(layout::kClientHeight)};
    adjustWindowRectForDpi(frame, kWindowStyle, kWindowExStyle, dpi_);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void MainWindow::fitClientArea(SIZE frame) {
    // Should the frame differ from what adjustWindowRectForDpi said (a
    // caption that wraps, a theme, Windows 7 at another DPI), correct by
    // what is missing.
    RECT client{};
    GetClientRect(window_, &client);
    const int missingWidth = pixels(layout::kClientWidth) - client.right;
    const int missingHeight = pixels(layout::kClientHeight) - client.bottom;
    if (missingWidth != 0 || missingHeight != 0) {
        SetWindowPos(window_, nullptr, 0, 0, frame.cx + missingWidth, frame.cy + missingHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
}

void MainWindow::loadIcons() {
    const auto dpi = dpi_;
    HICON big = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_MERVALIN), IMAGE_ICON,
                                              systemMetricForDpi(SM_CXICON, dpi),
                                              systemMetricForDpi(SM_CYICON, dpi), LR_DEFAULTCOLOR));
    HICON small = static_cast<HICON>(LoadImageW(
        instance_, MAKEINTRESOURCEW(IDI_MERVALIN), IMAGE_ICON, systemMetricForDpi(SM_CXSMICON, dpi),
        systemMetricForDpi(SM_CYSMICON, dpi), LR_DEFAULTCOLOR));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
    bigIcon_ = big;
    smallIcon_ = small;
}

void MainWindow::applyDpi(UINT dpi, const RECT* suggested) {
    dpi_ = dpi;
    HFONT font = createFont();
    for (const Control& control : controls_) {
        const layout::Placement& placement = *control.placement;
        SetWindowPos(control.handle, nullptr, pixels(placement.left), pixels(placement.top),
                     pixels(placement.width), pixels(placement.height),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (font) SendMessageW(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (font) {
        if (font_) DeleteObject(font_);
        font_ = font;
    }

    const SIZE frame = frameSize();
    SetWindowPos(window_, nullptr, suggested ? suggested->left : 0, suggested ? suggested->top : 0,
                 frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE | (suggested ? 0 : SWP_NOMOVE));
    fitClientArea(frame);
    loadIcons();
    InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
}

bool MainWindow::preTranslateMessage(MSG& message) {
    if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
    // Escape means nothing here; a multi-line edit control that is handled
    // as in a dialog box would close the window on it.
    if ((message.message == WM_KEYDOWN || message.message == WM_KEYUP ||
         message.message == WM_CHAR) &&
        message.wParam == VK_ESCAPE) {
        return true;
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

void MainWindow::moveFocus(HWND next) {
    if (!next) return;
    // As a dialog box does: an edit control reached by the keyboard has its
    // text selected, ready to copy.
    if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
        SendMessageW(next, EM_SETSEL, 0, -1);
    }
    SetFocus(next);
}

bool MainWindow::isLabel(HWND control) const {
    return std::find(labels_.begin(), labels_.end(), control) != labels_.end();
}

bool MainWindow::isTextBox(HWND control) const {
    return std::find(textBoxes_.begin(), textBoxes_.end(), control) != textBoxes_.end();
}

void MainWindow::drawButton(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;

    FillRect(dc, &rect, buttonBrush_);
    // A dark frame marks the focus even while Windows hides focus
    // rectangles (until the keyboard is first used).
    if (focused) {
        FrameRect(dc, &rect, GetSysColorBrush(COLOR_WINDOWTEXT));
        InflateRect(&rect, -1, -1);
    }
    DrawEdge(dc, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);

    const std::wstring caption = windowText(item.hwndItem);
    RECT textRect = rect;
    if (pressed) OffsetRect(&textRect, 1, 1);
    HGDIOBJ previousFont = SelectObject(dc, font_);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, caption.c_str(), -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(dc, previousColour);
    SetBkMode(dc, previousMode);
    SelectObject(dc, previousFont);

    if (focused && !(item.itemState & ODS_NOFOCUSRECT)) {
        InflateRect(&rect, -1, -1);
        DrawFocusRect(dc, &rect);
    }
}

void MainWindow::drawPicture(const DRAWITEMSTRUCT& item) {
    diagram_.draw(item.hDC, item.rcItem, dpi_);
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // An exception must not unwind through Windows' own frames.
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (...) {
        std::terminate();
    }
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam != kNameForScreenReaders) break;
            KillTimer(window_, kNameForScreenReaders);
            nameControlsForScreenReaders();
            return 0;
        case WM_COMMAND: {
            const auto from = reinterpret_cast<HWND>(lParam);
            const UINT code = HIWORD(wParam);
            if (!from) {
                // Enter, as IsDialogMessage reports it: presses the button
                // when the button has the focus.
                if (LOWORD(wParam) == IDOK && GetFocus() == button_) form_.Command1(0).press();
                return 0;
            }
            if (from == button_) {
                // An owner-drawn button reports the second click of a
                // double click as a double click only.
                if (code == BN_CLICKED || code == BN_DOUBLECLICKED) form_.Command1(0).press();
                return 0;
            }
            break;
        }
        case WM_NEXTDLGCTL:
            // A multi-line edit control passes Tab on with this message, which
            // only a dialog box's procedure would otherwise handle.
            if (LOWORD(lParam)) {
                moveFocus(reinterpret_cast<HWND>(wParam));
            } else {
                moveFocus(GetNextDlgTabItem(window_, GetFocus(), wParam != 0));
            }
            return 0;
        case WM_CTLCOLORSTATIC: {
            const auto dc = reinterpret_cast<HDC>(wParam);
            const auto control = reinterpret_cast<HWND>(lParam);
            if (isLabel(control)) {
                SetBkColor(dc, toColorRef(layout::kLabelColour));
                SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
                return reinterpret_cast<LRESULT>(labelBrush_);
            }
            if (isTextBox(control)) {
                // Read-only edit controls ask here, as static text does; they
                // keep the ordinary edit background.
                SetBkColor(dc, GetSysColor(COLOR_WINDOW));
                SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            }
            break;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.hwndItem == button_) {
                drawButton(item);
                return TRUE;
            }
            if (item.hwndItem == picture_) {
                drawPicture(item);
                return TRUE;
            }
            break;
        }
        case WM_DPICHANGED:
            applyDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(window_, focus)) focus_ = focus;
            }
            break;
        case WM_SETFOCUS:
            // The window itself has nothing to type into; the focus goes back
            // to the control that last had it.
            if (focus_ && IsWindow(focus_)) SetFocus(focus_);
            return 0;
        case WM_DESTROY:
            if (accessibility_) {
                const MSAAPROPID names[] = {PROPID_ACC_NAME, PROPID_ACC_ROLE};
                for (const Control& control : controls_) {
                    accessibility_->ClearHwndProps(control.handle, static_cast<DWORD>(OBJID_CLIENT),
                                                   CHILDID_SELF, names, ARRAYSIZE(names));
                }
            }
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace mervalin::win32
