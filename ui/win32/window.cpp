#include "ui/win32/window.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <exception>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "ui/diagram.h"
#include "ui/input.h"
#include "ui/win32/announcer.h"
#include "ui/win32/contrast.h"
#include "ui/win32/dpi.h"
#include "ui/win32/resource.h"
#include "ui/win32/text.h"

namespace mervalin::win32 {

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;

COLORREF toColorRef(layout::Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

// The index of a system colour for GetSysColor().
int systemIndex(layout::SystemColour colour) {
    switch (colour) {
        case layout::SystemColour::Window:
            return COLOR_WINDOW;
        case layout::SystemColour::WindowText:
            return COLOR_WINDOWTEXT;
        case layout::SystemColour::ButtonFace:
            return COLOR_BTNFACE;
        case layout::SystemColour::ButtonText:
            return COLOR_BTNTEXT;
        case layout::SystemColour::Highlight:
            return COLOR_HIGHLIGHT;
        case layout::SystemColour::HighlightText:
            break;
    }
    return COLOR_HIGHLIGHTTEXT;
}

// Outside high contrast, the system's own colour of the roles that the
// design leaves to it (text fields and their text), or -1.
int ownSystemIndex(layout::Colour colour) {
    switch (colour) {
        case layout::Colour::Field:
            return COLOR_WINDOW;
        case layout::Colour::Text:
            return COLOR_WINDOWTEXT;
        default:
            return -1;
    }
}

void registerWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, kWindowClass, &windowClass)) return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MERVALIN));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // No brush: the window paints its background itself, in the colour
    // that high contrast decides (WM_ERASEBKGND).
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

// Reports every change of a list box's selection to the form, raw, whatever
// made it, and shows the form's choice. A press is the button going down,
// with the item under the pointer (or -1 below the last one); the moving
// keys, Space and Enter are the form's to decide, so the list box never sees
// them; and any other change of the list box's selection, found after each
// message it handles (type-ahead, a drag, LB_SETCURSEL from another process,
// as screen readers, voice control and switch access send it through the
// list box's accessibility proxies), is a move. LBN_SELCHANGE is not used:
// it comes only for some of these. The form's own changes are shown with
// messages that report nothing back.
class MainWindow::ListInput final {
public:
    ListInput(Mervalin& form, ControlId id, HWND handle) : form_(form), id_(id), control_(handle) {
        SetWindowSubclass(control_, inputProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    ~ListInput() {
        if (IsWindow(control_)) RemoveWindowSubclass(control_, inputProc, 0);
    }

    ListInput(const ListInput&) = delete;
    ListInput& operator=(const ListInput&) = delete;

    HWND handle() const { return control_; }

    // Sends a message that shows the form's state, reporting nothing.
    LRESULT show(UINT message, WPARAM wParam, LPARAM lParam) {
        const bool was = std::exchange(quiet_, true);
        const LRESULT result = SendMessageW(control_, message, wParam, lParam);
        quiet_ = was;
        return result;
    }

private:
    static LRESULT CALLBACK inputProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR data) {
        auto* self = reinterpret_cast<ListInput*>(data);
        if (message == WM_NCDESTROY) {
            RemoveWindowSubclass(control, inputProc, 0);
            return DefSubclassProc(control, message, wParam, lParam);
        }
        if (self->quiet_) return DefSubclassProc(control, message, wParam, lParam);
        switch (message) {
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK: {
                // The high word is 1 when the point is below the last item.
                const auto hit = static_cast<DWORD>(self->show(LB_ITEMFROMPOINT, 0, lParam));
                const LRESULT result = self->quietly(message, wParam, lParam);
                self->report(Input::Press, HIWORD(hit) == 0 ? static_cast<int>(LOWORD(hit)) : -1);
                return result;
            }
            case WM_KEYDOWN:
                if (const std::optional<Input> key = keyInput(wParam)) {
                    self->report(*key, -1);
                    return 0;
                }
                break;
            case WM_CHAR:
                // Space has been reported as a key; as a character the list
                // box would search for an item that begins with it.
                if (wParam == L' ') return 0;
                break;
            default:
                break;
        }
        const LRESULT result = DefSubclassProc(control, message, wParam, lParam);
        self->noticeChange();
        return result;
    }

    // The form decides the moving keys, and Space presses the chosen item.
    // Enter reaches the window as IDOK, from IsDialogMessage.
    static std::optional<Input> keyInput(WPARAM key) {
        if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return std::nullopt;
        switch (key) {
            case VK_UP:
                return Input::Up;
            case VK_DOWN:
                return Input::Down;
            case VK_PRIOR:
                return Input::PageUp;
            case VK_NEXT:
                return Input::PageDown;
            case VK_HOME:
                return Input::Home;
            case VK_END:
                return Input::End;
            case VK_SPACE:
                return Input::Activate;
            default:
                return std::nullopt;
        }
    }

    LRESULT quietly(UINT message, WPARAM wParam, LPARAM lParam) {
        const bool was = std::exchange(quiet_, true);
        const LRESULT result = DefSubclassProc(control_, message, wParam, lParam);
        quiet_ = was;
        return result;
    }

    // The list box changed its selection by itself: a move.
    void noticeChange() {
        const auto shown = static_cast<int>(show(LB_GETCURSEL, 0, 0));
        if (shown != chosen()) report(Input::Move, shown);
    }

    int chosen() const {
        const ListBox& list = id_.array == Array::List2 ? form_.List2() : form_.List1(id_.index);
        return list.selectedIndex();
    }

    void report(Input input, int item) { userInput(form_, id_, input, item); }

    Mervalin& form_;
    ControlId id_;
    HWND control_;
    bool quiet_ = false;
};

MainWindow::MainWindow(HINSTANCE instance, Mervalin& form) : form_(form), instance_(instance) {
    for (layout::Colour colour : layout::kColours) {
        if (ownSystemIndex(colour) < 0) {
            brushes_[static_cast<std::size_t>(colour)] =
                CreateSolidBrush(toColorRef(layout::designed(colour)));
        }
    }
    highContrast_ = systemHighContrast();
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
        for (const layout::Control& design : layout::kControls) {
            HWND control = createControl(design);
            if (!control) throw std::runtime_error("creating a control failed");
            controls_.push_back({&design, control});
            if (&design == &layout::firstFocus()) focus_ = control;
        }
        // After every control of the design, so that it names none of them.
        announcer_ = std::make_unique<Announcer>(instance_, window_, kLiveRegionId);
        form_.setView(this);
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
    form_.setView(nullptr);
    if (window_) DestroyWindow(window_);
    listInputs_.clear();
    if (font_) DeleteObject(font_);
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
    for (HBRUSH made : brushes_) {
        if (made) DeleteObject(made);
    }
}

HWND MainWindow::createControl(const layout::Control& design) {
    const wchar_t* className = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = design.border == layout::Border::Sunken ? WS_EX_CLIENTEDGE : 0;
    const std::wstring text = toWide(
        design.kind == layout::Kind::Picture ? layout::accessibleName(design) : design.caption);
    if (design.verticalScrollBar) style |= WS_VSCROLL;
    // Every control is a group of its own, so that the arrow keys never move
    // the focus (IsDialogMessage moves it within a group otherwise, from the
    // button even to the label after it).
    style |= WS_GROUP;
    if (layout::takesFocus(design)) style |= WS_TABSTOP;
    switch (design.kind) {
        case layout::Kind::Label:
            style |= (design.align == layout::Align::Centre ? SS_CENTER : SS_LEFT) | SS_NOPREFIX;
            break;
        case layout::Kind::List:
            // No LBS_SORT: the model keeps its lists in order itself. No
            // integral height: the design gives the exact height.
            className = L"LISTBOX";
            style |= LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
            break;
        case layout::Kind::TextBox:
            className = L"EDIT";
            if (design.readOnly) style |= ES_READONLY;
            style |= design.multiLine ? ES_MULTILINE | ES_AUTOVSCROLL : ES_AUTOHSCROLL;
            break;
        case layout::Kind::Button:
            className = L"BUTTON";
            style |= BS_OWNERDRAW;
            break;
        case layout::Kind::Picture:
            // Owner-drawn, so that the window text can carry the description
            // (a bitmap static takes its text for a resource name).
            style |= SS_OWNERDRAW;
            break;
    }
    const layout::Rect& r = design.rect;
    HWND control = CreateWindowExW(
        exStyle, className, text.c_str(), style, pixels(r.left), pixels(r.top), pixels(r.width),
        pixels(r.height), window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id.number())), instance_, nullptr);
    if (!control) return nullptr;
    // Before the lists are filled, so that they scroll by the final height
    // of their items.
    if (font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (design.kind == layout::Kind::List) {
        listInputs_.push_back(std::make_unique<ListInput>(form_, design.id, control));
    }
    return control;
}

HWND MainWindow::listBox(ControlId id) const {
    for (const auto& list : listInputs_) {
        if (GetDlgCtrlID(list->handle()) == id.number()) return list->handle();
    }
    return nullptr;
}

void MainWindow::insertItem(ControlId id, int index, std::string_view text,
                            std::string_view spoken) {
    for (const auto& list : listInputs_) {
        if (GetDlgCtrlID(list->handle()) != id.number()) continue;
        const std::wstring wide = toWide(text);
        // LB_INSERTSTRING appends at -1.
        const auto count = static_cast<int>(list->show(LB_GETCOUNT, 0, 0));
        const WPARAM where = index >= count ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index);
        list->show(LB_INSERTSTRING, where, reinterpret_cast<LPARAM>(wide.c_str()));
        nameItemForScreenReaders(list->handle(), index, spoken);
    }
}

void MainWindow::nameItemForScreenReaders(HWND list, int index, std::string_view spoken) {
    // Child ids count the items from 1. Before the annotation service has
    // started, the items are named once it has.
    if (!accessibility_ || spoken.empty()) return;
    const std::wstring name = toWide(spoken);
    accessibility_->SetHwndPropStr(list, static_cast<DWORD>(OBJID_CLIENT),
                                   static_cast<DWORD>(index + 1), PROPID_ACC_NAME, name.c_str());
}

void MainWindow::clearItems(ControlId id) {
    for (const auto& list : listInputs_) {
        if (GetDlgCtrlID(list->handle()) == id.number()) list->show(LB_RESETCONTENT, 0, 0);
    }
}

void MainWindow::select(ControlId id, int index) {
    for (const auto& list : listInputs_) {
        // -1 takes the selection away.
        if (GetDlgCtrlID(list->handle()) == id.number()) {
            list->show(LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        }
    }
}

void MainWindow::setText(ControlId id, std::string_view text) {
    // Edit controls break lines with CR LF, as the model does.
    const layout::Control* design = layout::find(id);
    if (design && design->kind == layout::Kind::TextBox) {
        SetDlgItemTextW(window_, id.number(), toWide(text).c_str());
    }
}

void MainWindow::announce(std::string_view text) { announcer_->announce(text); }

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
    for (const auto& control : controls_) nameForScreenReaders(control.handle, *control.design);
    for (const auto& list : listInputs_) {
        const auto id = layout::findNumber(GetDlgCtrlID(list->handle()))->id;
        const ListBox& items = id.array == Array::List2 ? form_.List2() : form_.List1(id.index);
        for (int i = 0; i < items.count(); ++i) {
            nameItemForScreenReaders(list->handle(), i, items.spokenItem(i));
        }
    }
}

void MainWindow::nameForScreenReaders(HWND control, const layout::Control& design) {
    const std::string_view accessibleName = layout::accessibleName(design);
    if (!accessibility_ || accessibleName.empty()) return;
    const std::wstring name = toWide(accessibleName);
    accessibility_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                   PROPID_ACC_NAME, name.c_str());
    if (design.kind == layout::Kind::Picture) {
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
        const layout::Rect& r = control.design->rect;
        SetWindowPos(control.handle, nullptr, pixels(r.left), pixels(r.top), pixels(r.width),
                     pixels(r.height), SWP_NOZORDER | SWP_NOACTIVATE);
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

const layout::Control* MainWindow::designOf(HWND control) {
    return control ? layout::findNumber(GetDlgCtrlID(control)) : nullptr;
}

COLORREF MainWindow::colour(layout::Colour role) const {
    if (highContrast_) return GetSysColor(systemIndex(layout::highContrast(role)));
    const int own = ownSystemIndex(role);
    return own >= 0 ? GetSysColor(own) : toColorRef(layout::designed(role));
}

HBRUSH MainWindow::brush(layout::Colour role) const {
    // The system's brushes follow its colours by themselves.
    if (highContrast_) return GetSysColorBrush(systemIndex(layout::highContrast(role)));
    const int own = ownSystemIndex(role);
    return own >= 0 ? GetSysColorBrush(own) : brushes_[static_cast<std::size_t>(role)];
}

void MainWindow::showColours() {
    highContrast_ = systemHighContrast();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindow::drawButton(const DRAWITEMSTRUCT& item, const layout::Control& design) const {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;

    FillRect(dc, &rect, brush(design.background));
    // A frame in the text's colour marks the focus even while Windows hides
    // focus rectangles (until the keyboard is first used).
    if (focused) {
        FrameRect(dc, &rect, brush(design.text));
        InflateRect(&rect, -1, -1);
    }
    DrawEdge(dc, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);

    const std::wstring caption = windowText(item.hwndItem);
    RECT textRect = rect;
    if (pressed) OffsetRect(&textRect, 1, 1);
    HGDIOBJ previousFont = SelectObject(dc, font_);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = SetTextColor(dc, colour(design.text));
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
    diagram_.draw(item.hDC, item.rcItem, dpi_, colour(diagram::kPaper), colour(diagram::kInk));
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
                // Enter, as IsDialogMessage reports it, on the control that
                // has the focus.
                if (LOWORD(wParam) == IDOK) {
                    if (const layout::Control* design = designOf(GetFocus())) {
                        userInput(form_, design->id, Input::Activate);
                    }
                }
                return 0;
            }
            const layout::Control* design = designOf(from);
            if (design && design->kind == layout::Kind::Button) {
                // Click, Space and the accessible default action; an
                // owner-drawn button reports the second click of a double
                // click as a double click only.
                if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
                    userInput(form_, design->id, Input::Press);
                }
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
            // Labels, and read-only edit controls, which ask here as static
            // text does, in the colours of their roles.
            const auto dc = reinterpret_cast<HDC>(wParam);
            const layout::Control* design = designOf(reinterpret_cast<HWND>(lParam));
            if (!design || design->kind == layout::Kind::Picture) break;
            SetBkColor(dc, colour(design->background));
            SetTextColor(dc, colour(design->text));
            return reinterpret_cast<LRESULT>(brush(design->background));
        }
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(window_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, brush(layout::Colour::Window));
            return 1;
        }
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
            // High contrast turned on or off (SPI_SETHIGHCONTRAST), or other
            // system colours: everything again in the colours of now.
            showColours();
            break;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const layout::Control* design = designOf(item.hwndItem);
            if (design && design->kind == layout::Kind::Button) {
                drawButton(item, *design);
                return TRUE;
            }
            if (design && design->kind == layout::Kind::Picture) {
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
                for (const auto& list : listInputs_) {
                    const auto count = static_cast<int>(list->show(LB_GETCOUNT, 0, 0));
                    for (int i = 0; i < count; ++i) {
                        accessibility_->ClearHwndProps(list->handle(),
                                                       static_cast<DWORD>(OBJID_CLIENT),
                                                       static_cast<DWORD>(i + 1), names, 1);
                    }
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
