// Keeps Wine's desktop process running for a whole benchmark: Wine ends it
// about a second after its last window closes, and a program started
// while it starts again returns from WaitForInputIdle before it has a
// window. A small window of its own, shown until standard input ends.
//
//   keep_desktop.exe   (prints "ready" once its window is shown)
#include <windows.h>

#include <cstdio>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Waits for the end of standard input, then closes the window.
DWORD WINAPI waitForEnd(void* window) {
    char buffer[64];
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &read, nullptr) &&
           read > 0) {
    }
    PostMessageW(static_cast<HWND>(window), WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int wmain() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"KeepDesktop";
    if (!RegisterClassW(&windowClass)) return 1;
    // In the screen's far corner, out of the measured windows' way.
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"KeepDesktop", L"",
                                  WS_POPUP | WS_VISIBLE, GetSystemMetrics(SM_CXSCREEN) - 2,
                                  GetSystemMetrics(SM_CYSCREEN) - 2, 2, 2, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) return 1;
    HANDLE waiter = CreateThread(nullptr, 0, waitForEnd, window, 0, nullptr);
    if (!waiter) return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CloseHandle(waiter);
    return 0;
}
