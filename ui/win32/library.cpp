#include "ui/win32/library.h"

#include <string>

namespace mervalin::win32 {

namespace {

#ifdef MERVALIN_FORCE_FALLBACKS
constexpr bool kForceFallbacks = true;
#else
constexpr bool kForceFallbacks = false;
#endif

// LOAD_LIBRARY_SEARCH_SYSTEM32, which the headers of Windows 7 do not have.
constexpr DWORD kSearchSystem32 = 0x800;

}  // namespace

HMODULE loadSystemLibrary(const wchar_t* name) {
    if (!kForceFallbacks) {
        if (HMODULE module = LoadLibraryExW(name, nullptr, kSearchSystem32)) return module;
        if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    }
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L'\\' + name;
    return LoadLibraryW(path.c_str());
}

namespace detail {

FARPROC lookUp(HMODULE module, const char* name) {
    return module ? GetProcAddress(module, name) : nullptr;
}

FARPROC lookUpNewer(HMODULE module, const char* name) {
    return kForceFallbacks ? nullptr : lookUp(module, name);
}

}  // namespace detail

}  // namespace mervalin::win32
