#include "ui/win32/announcer.h"

#include <oleauto.h>
#include <uiautomationcore.h>

#include <stdexcept>

#include "ui/win32/library.h"
#include "ui/win32/text.h"

namespace mervalin::win32 {

namespace {

// UiaRaiseNotificationEvent and UiaHostProviderFromHwnd, from
// uiautomationcore.dll. Not imported: Windows before 10 1709 lacks the
// first, Wine lacks it and the program must start all the same. The
// notification's texts are BSTRs, made by OLE Automation, which is loaded
// with them rather than imported: nothing else needs it.
using RaiseNotification = HRESULT(WINAPI*)(IRawElementProviderSimple* provider, int kind,
                                           int processing, BSTR displayString, BSTR activityId);
using HostProviderFromHwnd = HRESULT(WINAPI*)(HWND window, IRawElementProviderSimple** provider);
using AllocString = BSTR(WINAPI*)(const OLECHAR* text);
using FreeString = void(WINAPI*)(BSTR text);

// Windows 8's live-region event, which the headers of Windows 7 do not
// have; Windows 7 passes it on to whoever listens, as any event.
constexpr DWORD kLiveRegionChanged = 0x8019;

// The values of NotificationKind_ActionCompleted and
// NotificationProcessing_ImportantMostRecent, which mingw-w64's headers do
// not have: a check's result, and only the latest one matters.
constexpr int kActionCompleted = 2;
constexpr int kImportantMostRecent = 1;

struct UiAutomation {
    RaiseNotification raiseNotification = nullptr;
    HostProviderFromHwnd hostProviderFromHwnd = nullptr;
    AllocString allocString = nullptr;
    FreeString freeString = nullptr;
};

// Looked up once, at the first announcement, so that start-up does not load
// UI Automation.
const UiAutomation& uiAutomation() {
    static const UiAutomation functions = [] {
        UiAutomation found;
        HMODULE core = loadSystemLibrary(L"uiautomationcore.dll");
        found.raiseNotification = lookUpNewer<RaiseNotification>(core, "UiaRaiseNotificationEvent");
        if (!found.raiseNotification) return found;
        found.hostProviderFromHwnd = lookUp<HostProviderFromHwnd>(core, "UiaHostProviderFromHwnd");
        HMODULE automation = loadSystemLibrary(L"oleaut32.dll");
        found.allocString = lookUp<AllocString>(automation, "SysAllocString");
        found.freeString = lookUp<FreeString>(automation, "SysFreeString");
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
    NotifyWinEvent(kLiveRegionChanged, liveRegion_, OBJID_CLIENT, CHILDID_SELF);
    raiseNotification(wide);
}

void Announcer::raiseNotification(const std::wstring& text) {
    const UiAutomation& uia = uiAutomation();
    if (!uia.raiseNotification || !uia.hostProviderFromHwnd || !uia.allocString ||
        !uia.freeString) {
        return;
    }
    IRawElementProviderSimple* provider = nullptr;
    if (FAILED(uia.hostProviderFromHwnd(window_, &provider)) || !provider) return;
    BSTR message = uia.allocString(text.c_str());
    BSTR activity = uia.allocString(L"Mervalin.Verdict");
    uia.raiseNotification(provider, kActionCompleted, kImportantMostRecent, message, activity);
    uia.freeString(activity);
    uia.freeString(message);
    provider->Release();
}

}  // namespace mervalin::win32
