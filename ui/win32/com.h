// COM on the window's thread, entered only when something first needs it.
// Nothing the window shows needs COM, and entering it loads and starts
// Windows' object machinery, a good part of a start-up under Wine. The
// program does not import OLE: its DLL is loaded on entering.
#pragma once

#include <windows.h>

#include <unknwn.h>

namespace mervalin::win32 {

class ComApartment {
public:
    ComApartment() = default;
    // Leaves the apartment if enter() entered it. Every COM object of the
    // thread must have been released by then.
    ~ComApartment();

    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // Enters a single-threaded apartment on this thread the first time; a
    // success code while the thread is in one, and otherwise the error that
    // entering it gave, every time, without trying again.
    HRESULT enter();

    // CoCreateInstance of an in-process server, once entered;
    // CO_E_NOTINITIALIZED before.
    HRESULT createInstance(REFCLSID classId, REFIID interfaceId, void** object) const;

private:
    using CreateInstance = HRESULT(WINAPI*)(REFCLSID classId, IUnknown* outer, DWORD context,
                                            REFIID interfaceId, void** object);
    using Uninitialize = void(WINAPI*)();

    bool tried_ = false;
    HRESULT result_ = E_FAIL;
    CreateInstance createInstance_ = nullptr;
    Uninitialize uninitialize_ = nullptr;
};

}  // namespace mervalin::win32
