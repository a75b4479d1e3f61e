// inspect: finds Mervalin's main window and prints what it shows, for the
// end-to-end tests. They drive the real program with X input and read it
// back with this, from outside its process, as any other program could.
//
//   inspect [--wait SECONDS]   the window and each control, one JSON object
//   inspect --names            the same, each control also with the name a
//                              screen reader gets for it from outside (its
//                              MSAA accessible name, "accName")
//   inspect --close            asks the window to close, waits until it has
//   inspect --clipboard        the clipboard's text as a JSON string
//   inspect --serve            answers commands from standard input, a line
//                              each, with a line each, for as long as the
//                              input lasts: "state" and "names" as above,
//                              "brief" as "state" without the lists' items,
//                              "select ID INDEX" (sends the list box ID
//                              LB_SETCURSEL from this process, as assistive
//                              tools do; answers true or false), "clipboard"
//   inspect --listen SECONDS   listens as a screen reader does, out of the
//                              program's process, for SECONDS: prints
//                              {"listening":true} once it does, then one
//                              line for each live-region change the window
//                              raises, with the changed object's accessible
//                              name: {"event":32793,"id":1800,"name":"..."}
//
// Exit status 0; 1 when no window appears within the wait (default 0).
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

namespace {

constexpr wchar_t kWindowClass[] = L"Mervalin";
constexpr UINT kTimeoutMs = 3000;

std::string utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
    return result;
}

// A JSON string literal of the text.
std::string quoted(std::wstring_view text) {
    std::string result = "\"";
    for (char c : utf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            result += '\\';
            result += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(byte));
            result += escape;
        } else {
            result += c;
        }
    }
    result += '"';
    return result;
}

std::string number(long long value) { return std::to_string(value); }

// Builds JSON text by appending only: GCC 12 warns wrongly (-Wrestrict) on
// "literal" + std::string at -O3.
class Json {
public:
    Json& raw(std::string_view part) {
        text_.append(part);
        return *this;
    }
    Json& key(std::string_view name) {
        if (!text_.empty() && text_.back() != '{' && text_.back() != '[') text_ += ',';
        text_ += '"';
        text_.append(name);
        text_ += "\":";
        return *this;
    }
    Json& value(long long n) { return raw(number(n)); }
    Json& flag(bool b) { return raw(b ? "true" : "false"); }
    Json& value(std::wstring_view chars) { return raw(quoted(chars)); }
    Json& rect(const RECT& r) {
        text_ += '[';
        text_ += number(r.left);
        text_ += ',';
        text_ += number(r.top);
        text_ += ',';
        text_ += number(r.right - r.left);
        text_ += ',';
        text_ += number(r.bottom - r.top);
        text_ += ']';
        return *this;
    }
    Json& pair(long long a, long long b) {
        text_ += '[';
        text_ += number(a);
        text_ += ',';
        text_ += number(b);
        text_ += ']';
        return *this;
    }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// Messages to another process go through SendMessageTimeout, so that a hung
// program fails the test instead of hanging it.
LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kTimeoutMs,
                             &result)) {
        return -1;
    }
    return static_cast<LRESULT>(result);
}

std::wstring text(HWND window) {
    const LRESULT length = send(window, WM_GETTEXTLENGTH);
    if (length <= 0) return {};
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        send(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return buffer;
}

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool isClass(HWND window, const wchar_t* name) {
    return _wcsicmp(className(window).c_str(), name) == 0;
}

void listBoxFields(Json& json, HWND list, bool withItems) {
    const LRESULT count = withItems ? send(list, LB_GETCOUNT) : 0;
    json.key("items").raw("[");
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = send(list, LB_GETTEXTLEN, static_cast<WPARAM>(i));
        std::wstring item(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
        const LRESULT copied =
            send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
        item.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        if (i > 0) json.raw(",");
        json.value(item);
    }
    json.raw("]");
    json.key("selected").value(send(list, LB_GETCURSEL));
    json.key("topIndex").value(send(list, LB_GETTOPINDEX));
    json.key("itemHeight").value(send(list, LB_GETITEMHEIGHT));
}

void editFields(Json& json, HWND edit) {
    const auto selection = static_cast<DWORD>(send(edit, EM_GETSEL));
    json.key("lines").value(send(edit, EM_GETLINECOUNT));
    json.key("selection").pair(LOWORD(selection), HIWORD(selection));
}

// The icon's size, or true for an icon whose size cannot be read from here.
void iconField(Json& json, std::string_view name, HICON icon) {
    json.key(name);
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) {
        json.raw(icon ? "true" : "null");
        return;
    }
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    const LONG height = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    json.pair(bitmap.bmWidth, height);
}

// The accessible name of an object, as a screen reader reads it; false when
// it has none.
bool accessibleName(IAccessible* object, VARIANT child, std::wstring& name) {
    BSTR text = nullptr;
    if (object->get_accName(child, &text) != S_OK || !text) return false;
    name.assign(text, SysStringLen(text));
    SysFreeString(text);
    return true;
}

void accessibleNameField(Json& json, HWND control) {
    json.key("accName");
    IAccessible* object = nullptr;
    std::wstring name;
    if (SUCCEEDED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                             IID_IAccessible, reinterpret_cast<void**>(&object))) &&
        object) {
        VARIANT self;
        VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        const bool named = accessibleName(object, self, name);
        object->Release();
        if (named) {
            json.value(name);
            return;
        }
    }
    json.raw("null");
}

// withItems false leaves each list's items out, for a quicker look.
std::string describe(HWND window, bool withNames, bool withItems = true) {
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(thread, &gui);

    RECT frame{};
    GetWindowRect(window, &frame);
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);

    Json json;
    json.raw("{");
    json.key("title").value(text(window));
    json.key("class").value(className(window));
    json.key("style").value(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)));
    json.key("exStyle").value(static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
    json.key("frame").rect(frame);
    json.key("clientOrigin").pair(origin.x, origin.y);
    json.key("clientSize").pair(client.right, client.bottom);
    json.key("active").flag(gui.hwndActive == window);
    json.key("focus").value(gui.hwndFocus ? GetDlgCtrlID(gui.hwndFocus) : 0);
    iconField(json, "bigIcon", reinterpret_cast<HICON>(send(window, WM_GETICON, ICON_BIG)));
    iconField(json, "smallIcon", reinterpret_cast<HICON>(send(window, WM_GETICON, ICON_SMALL)));

    // In z-order, which is also the order in which Tab visits them.
    json.key("controls").raw("[");
    bool first = true;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT screen{};
        GetWindowRect(child, &screen);
        RECT r = screen;
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
        json.raw(first ? "{" : ",{");
        first = false;
        json.key("id").value(GetDlgCtrlID(child));
        json.key("class").value(className(child));
        json.key("style").value(static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)));
        json.key("exStyle").value(static_cast<DWORD>(GetWindowLongW(child, GWL_EXSTYLE)));
        json.key("rect").rect(r);
        json.key("screen").rect(screen);
        POINT inside{0, 0};
        ClientToScreen(child, &inside);
        json.key("clientOrigin").pair(inside.x, inside.y);
        json.key("visible").flag(IsWindowVisible(child) != FALSE);
        json.key("text").value(text(child));
        if (isClass(child, L"ListBox")) listBoxFields(json, child, withItems);
        if (isClass(child, L"Edit")) editFields(json, child);
        if (withNames) accessibleNameField(json, child);
        json.raw("}");
    }
    json.raw("]}\n");
    return json.text();
}

HWND findWindow(double waitSeconds) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitSeconds * 1000);
    for (;;) {
        HWND window = FindWindowW(kWindowClass, nullptr);
        if (window && IsWindowVisible(window)) return window;
        if (GetTickCount64() >= deadline) return nullptr;
        Sleep(100);
    }
}

std::string clipboardText() {
    std::wstring content;
    for (int attempt = 0; attempt < 20 && !OpenClipboard(nullptr); ++attempt) Sleep(50);
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            content = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    std::string json = quoted(content);
    json += '\n';
    return json;
}

void print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// Called out of context, on this thread's message loop, for each live-region
// change of the program's process.
void CALLBACK liveRegionChanged(HWINEVENTHOOK, DWORD event, HWND window, LONG objectId,
                                LONG childId, DWORD, DWORD) {
    Json json;
    json.raw("{");
    json.key("event").value(static_cast<long long>(event));
    json.key("id").value(window ? GetDlgCtrlID(window) : 0);
    json.key("name");
    IAccessible* object = nullptr;
    VARIANT child;
    VariantInit(&child);
    std::wstring name;
    if (SUCCEEDED(AccessibleObjectFromEvent(window, static_cast<DWORD>(objectId),
                                            static_cast<DWORD>(childId), &object, &child)) &&
        object) {
        if (accessibleName(object, child, name)) {
            json.value(name);
        } else {
            json.raw("null");
        }
        object->Release();
        VariantClear(&child);
    } else {
        json.raw("null");
    }
    json.raw("}\n");
    print(json.text());
}

void listen(HWND window, double seconds) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                        liveRegionChanged, process, 0, WINEVENT_OUTOFCONTEXT);
    if (!hook) {
        std::fputs("inspect: SetWinEventHook failed\n", stderr);
        return;
    }
    print("{\"listening\":true}\n");
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    UnhookWinEvent(hook);
}

// The commands of --serve, until standard input ends.
void serve(HWND window) {
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "state" || command == "names" || command == "brief") {
            print(describe(window, command == "names", command != "brief"));
        } else if (command == "select") {
            int id = 0;
            int index = -1;
            words >> id >> index;
            HWND list = GetDlgItem(window, id);
            const bool sent = list && send(list, LB_SETCURSEL, static_cast<WPARAM>(index)) != -1;
            print(sent ? "true\n" : "false\n");
        } else if (command == "clipboard") {
            print(clipboardText());
        } else {
            print("null\n");
        }
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    // Coordinates in physical pixels, whatever the DPI.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

    double wait = 0;
    double listenSeconds = 0;
    std::wstring_view command;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view argument = argv[i];
        if (argument == L"--wait" && i + 1 < argc) {
            wait = std::wcstod(argv[++i], nullptr);
        } else if (argument == L"--listen" && i + 1 < argc) {
            command = argument;
            listenSeconds = std::wcstod(argv[++i], nullptr);
        } else {
            command = argument;
        }
    }

    if (command == L"--clipboard") {
        print(clipboardText());
        return 0;
    }
    HWND window = findWindow(wait);
    if (!window) {
        std::fputs("inspect: no Mervalin window\n", stderr);
        return 1;
    }
    if (command == L"--close") {
        PostMessageW(window, WM_CLOSE, 0, 0);
        for (int i = 0; i < 100 && IsWindow(window); ++i) Sleep(100);
        return IsWindow(window) ? 1 : 0;
    }
    // Only the screen reader's view needs COM, for the accessible objects.
    if (command == L"--listen" || command == L"--names" || command == L"--serve") {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    if (command == L"--listen") {
        listen(window, listenSeconds);
        return 0;
    }
    if (command == L"--names") {
        print(describe(window, true));
        return 0;
    }
    if (command == L"--serve") {
        serve(window);
        return 0;
    }
    if (!command.empty()) {
        std::fputs(
            "usage: inspect [--wait SECONDS] [--names | --close | --clipboard | --serve | "
            "--listen SECONDS]\n",
            stderr);
        return 2;
    }
    print(describe(window, false));
    return 0;
}
