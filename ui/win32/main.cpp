// Mervalin on Windows: creates the form with the user's regional settings,
// runs its Load, shows the window and runs the message loop until it closes.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <exception>

#include "logic/quiz.h"
#include "model/form.h"
#include "ui/win32/platform.h"
#include "ui/win32/text.h"
#include "ui/win32/window.h"

namespace {

class WindowPlatform final : public mervalin::WindowsPlatform {
public:
    void setOwner(HWND owner) { owner_ = owner; }

    void reportOverflow(std::string_view message) override {
        MessageBoxW(owner_, mervalin::win32::toWide(message).c_str(), L"Мервалин",
                    MB_OK | MB_ICONWARNING);
    }

private:
    HWND owner_ = nullptr;
};

int runMessageLoop(mervalin::win32::MainWindow& window) {
    MSG message;
    BOOL result;
    while ((result = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (result == -1) return 1;
        if (window.preTranslateMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // One single-threaded apartment for WIC and the accessibility service.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
        return 1;
    }
    const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    int status = 1;
    try {
        WindowPlatform platform;
        mervalin::Mervalin form(platform);
        mervalin::attachHandlers(form);
        mervalin::win32::MainWindow window(instance, form);
        platform.setOwner(window.handle());
        mervalin::Form_Load(form);
        window.show(showCommand);
        status = runMessageLoop(window);
    } catch (const std::exception&) {
        MessageBoxW(nullptr, L"Програмата не може да започне.", L"Мервалин", MB_OK | MB_ICONERROR);
    }
    CoUninitialize();
    return status;
}
