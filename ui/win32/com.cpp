#include "ui/win32/com.h"

#include <objbase.h>

namespace mervalin::win32 {

ComApartment::~ComApartment() {
    if (tried_ && SUCCEEDED(result_)) CoUninitialize();
}

HRESULT ComApartment::enter() {
    if (!tried_) {
        tried_ = true;
        result_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    }
    return result_;
}

}  // namespace mervalin::win32
