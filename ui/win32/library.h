// Windows' own DLLs and the functions of Windows newer than Windows 7 SP1,
// looked up at run time. The program imports only what Windows 7 SP1 has
// (ui/win32/imports.txt lists it); whatever came later is found here, and
// each caller has the way of Windows 7 in its place.
#pragma once

#include <windows.h>

namespace mervalin::win32 {

// A DLL of Windows, loaded from the system folder and never from the
// program's own or the current one; nullptr when Windows has none of that
// name. Windows 7 without its update KB2533623 refuses the search flag that
// does this; the DLL is then loaded by its full path in the system folder.
HMODULE loadSystemLibrary(const wchar_t* name);

namespace detail {
FARPROC lookUp(HMODULE module, const char* name);
FARPROC lookUpNewer(HMODULE module, const char* name);
}  // namespace detail

// A function of module, or nullptr when the module does not have it.
template <typename Function>
Function lookUp(HMODULE module, const char* name) {
    // Through the generic function type, which GCC lets any function
    // pointer be cast to and from.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(detail::lookUp(module, name)));
}

// The same, for a function that Windows 7 SP1 does not have. A build with
// MERVALIN_FORCE_FALLBACKS (for the tests only) finds none of them, and so
// takes every way of Windows 7, on any Windows.
template <typename Function>
Function lookUpNewer(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(detail::lookUpNewer(module, name)));
}

}  // namespace mervalin::win32
