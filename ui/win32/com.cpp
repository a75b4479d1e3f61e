#include "ui/win32/com.h"

#include <objbase.h>

#include "ui/win32/library.h"

namespace mervalin::win32 {

ComApartment::~ComApartment() {
    if (tried_ && SUCCEEDED(result_)) uninitialize_();
}

HRESULT ComApartment::enter() {
    if (tried_) return result_;
    tried_ = true;
    // Kept loaded until the program ends: the objects made through it, and
    // the DLLs they load, need it for as long as they live.
    HMODULE ole = loadSystemLibrary(L"ole32.dll");
    using Initialize = HRESULT(WINAPI*)(void* reserved, DWORD model);
    const auto initialize = lookUp<Initialize>(ole, "CoInitializeEx");
    createInstance_ = lookUp<CreateInstance>(ole, "CoCreateInstance");
    uninitialize_ = lookUp<Uninitialize>(ole, "CoUninitialize");
    if (!initialize || !createInstance_ || !uninitialize_) {
        result_ = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
        return result_;
    }
    result_ = initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    return result_;
}

HRESULT ComApartment::createInstance(REFCLSID classId, REFIID interfaceId, void** object) const {
    if (!tried_ || FAILED(result_)) return CO_E_NOTINITIALIZED;
    return createInstance_(classId, nullptr, CLSCTX_INPROC_SERVER, interfaceId, object);
}

}  // namespace mervalin::win32
