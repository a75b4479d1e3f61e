// Mervalin on Windows: starts the form with the user's regional settings,
// shows the window and runs the message loop until it closes.
#include <windows.h>

#include <commctrl.h>

#include <exception>

#include "logic/quiz.h"
#include "model/form.h"
#include "ui/platform.h"
#include "ui/win32/dpi.h"
#include "ui/win32/text.h"
#include "ui/win32/window.h"

namespace {

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
    // No COM here: the window enters it once the annotation service, after
    // the first paint, needs it.
    mervalin::win32::makeDpiAware();
    const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    int status = 1;
    try {
        HWND owner = nullptr;
        const auto platform = mervalin::createPlatform([&owner](std::string_view message) {
            MessageBoxW(owner, mervalin::win32::toWide(message).c_str(), L"Мервалин",
                        MB_OK | MB_ICONWARNING);
        });
        const auto form = mervalin::startForm(*platform);
        mervalin::win32::MainWindow window(instance, *form);
        owner = window.handle();
        window.show(showCommand);
        status = runMessageLoop(window);
    } catch (const std::exception&) {
        MessageBoxW(nullptr, L"Програмата не може да започне.", L"Мервалин", MB_OK | MB_ICONERROR);
    }
    return status;
}
