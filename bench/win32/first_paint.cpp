// Times a Windows program's start, from CreateProcess to two moments:
//   idle     WaitForInputIdle returns: the program's thread first waits for
//            input with nothing left to do;
//   painted  the program has a visible top-level window, and neither it nor
//            any window inside it has anything left to paint: at idle, or
//            else as soon as a poll every millisecond finds it so.
// Then reads the program's peak working set and committed memory, and ends
// it. Under Wine, WaitForInputIdle can return before the program has any
// window (while Wine's desktop process starts), so the output also says
// whether a window existed at that moment.
//
//   first_paint.exe PROGRAM.exe
// prints: first-paint idle-ms=... paint-ms=... window-at-idle=0|1
//         peak-working-set-kb=... committed-kb=...
#include <windows.h>

#include <psapi.h>

#include <cstddef>
#include <cstdio>
#include <string>

namespace {

struct Search {
    DWORD process;
    HWND window;
};

BOOL CALLBACK findWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window)) return TRUE;
    search->window = window;
    return FALSE;
}

// The program's visible top-level window, or null.
HWND windowOf(DWORD process) {
    Search search{process, nullptr};
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
    return search.window;
}

BOOL CALLBACK findUnpainted(HWND window, LPARAM data) {
    if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(data) = true;
        return FALSE;
    }
    return TRUE;
}

bool painted(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    bool unpainted = false;
    EnumChildWindows(window, findUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

double milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: first_paint PROGRAM.exe\n");
        return 2;
    }
    std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, start, idle, paint;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fwprintf(stderr, L"cannot start %ls\n", argv[1]);
        return 1;
    }
    const DWORD waited = WaitForInputIdle(process.hProcess, 60'000);
    QueryPerformanceCounter(&idle);
    // Wine's idle thread has no paint message left, so a window that
    // exists at idle has been painted then; otherwise wait for it.
    const HWND windowAtIdle = windowOf(process.dwProcessId);
    bool done = windowAtIdle && painted(windowAtIdle);
    paint = idle;
    for (int poll = 0; poll < 60'000 && !done; ++poll) {
        Sleep(1);
        const HWND window = windowOf(process.dwProcessId);
        done = window && painted(window);
        QueryPerformanceCounter(&paint);
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10'000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (waited != 0 || !done) {
        std::fwprintf(stderr, L"%ls did not %ls\n", argv[1],
                      waited != 0 ? L"become idle" : L"paint its window");
        return 1;
    }
    std::printf(
        "first-paint idle-ms=%.3f paint-ms=%.3f window-at-idle=%d peak-working-set-kb=%zu "
        "committed-kb=%zu\n",
        milliseconds(start, idle, frequency), milliseconds(start, paint, frequency),
        windowAtIdle ? 1 : 0, static_cast<std::size_t>(memory.PeakWorkingSetSize / 1024),
        static_cast<std::size_t>(memory.PagefileUsage / 1024));
    return 0;
}
