#include "ui/win32/announcer.h"

#include <oleauto.h>
#include <uiautomationcore.h>

#include <stdexcept>

#include "ui/win32/text.h"

namespace mervalin::win32 {

namespace {

// UiaRaiseNotificationEvent and UiaHostProviderFromHwnd, from
// uiautomationcore.dll. Not imported: Windows before 10 1709 lacks the
// first, Wine lacks it and the program must start all the same.
using RaiseNotification = HRESULT(WINAPI*)(IRawElementProviderSimple* provider, int kind,
                                           int processing, BSTR displayString, BSTR activityId);
using HostProviderFromHwnd = HRESULT(WINAPI*)(HWND window, IRawElementProviderSimple** provider);

// The values of NotificationKind_ActionCompleted and
// NotificationProcessing_ImportantMostRecent, which mingw-w64's headers do
// not have: a check's result, and only the latest one matters.
constexpr int kActionCompleted = 2;
constexpr int kImportantMostRecent = 1;

struct UiAutomation {
    RaiseNotification raiseNotification = nullptr;
    HostProviderFromHwnd hostProviderFromHwnd = nullptr;
};

template <typename Function>
Function lookUp(HMODULE module, const char* name) {
    // Through the generic function type, which GCC lets any function
    // pointer be cast to and from.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Looked up once, at the first announcement, so that start-up does not load
// UI Automation.
const UiAutomation& uiAutomation() {
    static const UiAutomation functions = [] {
        UiAutomation found;
        HMODULE core =
            LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!core) return found;
        found.raiseNotification = lookUp<RaiseNotification>(core, "UiaRaiseNotificationEvent");
        found.hostProviderFromHwnd = lookUp<HostProviderFromHwnd>(core, "UiaHostProviderFromHwnd");
        return found;
    }();
    return functions;
}

}  // namespace

Announcer::Announcer(HINSTANCE instance, HWND window, int controlId) : window_(window) {
    // Visible, since screen readers pass over events of hidden windows, but
    // of no size, so that it draws nothing and takes no click. Created last,
    // it comes before no control, and so names none.
    liveRegion_ = CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 0, 0, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, nullptr);
    if (!liveRegion_) throw std::runtime_error("creating the live region failed");
}

void Announcer::announce(std::string_view text) {
    const std::wstring wide = toWide(text);
    SetWindowTextW(liveRegion_, wide.c_str());
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, liveRegion_, OBJID_CLIENT, CHILDID_SELF);
    raiseNotification(wide);
}

void Announcer::raiseNotification(const std::wstring& text) {
    const UiAutomation& uia = uiAutomation();
    if (!uia.raiseNotification || !uia.hostProviderFromHwnd) return;
    IRawElementProviderSimple* provider = nullptr;
    if (FAILED(uia.hostProviderFromHwnd(window_, &provider)) || !provider) return;
    BSTR message = SysAllocString(text.c_str());
    BSTR activity = SysAllocString(L"Mervalin.Verdict");
    uia.raiseNotification(provider, kActionCompleted, kImportantMostRecent, message, activity);
    SysFreeString(activity);
    SysFreeString(message);
    provider->Release();
}

}  // namespace mervalin::win32
