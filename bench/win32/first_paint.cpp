// Times a Windows program's start: from CreateProcess until the program's
// thread first waits for input with nothing left to do (WaitForInputIdle),
// which is after its first window has been painted, since paint messages
// are handled only when no other message is waiting. Then reads the
// program's peak working set and committed memory, and ends it.
//
//   first_paint.exe PROGRAM.exe
// prints: first-paint ms=... peak-working-set-kb=... committed-kb=...
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: first_paint PROGRAM.exe\n");
        return 2;
    }
    std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, start, idle;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fwprintf(stderr, L"cannot start %ls\n", argv[1]);
        return 1;
    }
    const DWORD waited = WaitForInputIdle(process.hProcess, 60'000);
    QueryPerformanceCounter(&idle);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10'000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (waited != 0) {
        std::fwprintf(stderr, L"%ls did not become idle\n", argv[1]);
        return 1;
    }
    const double ms = static_cast<double>(idle.QuadPart - start.QuadPart) * 1000.0 /
                      static_cast<double>(frequency.QuadPart);
    std::printf("first-paint ms=%.3f peak-working-set-kb=%zu committed-kb=%zu\n", ms,
                memory.PeakWorkingSetSize / 1024, memory.PagefileUsage / 1024);
    return 0;
}
