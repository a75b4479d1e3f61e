#include "ui/win32/contrast.h"

#include <windows.h>

namespace mervalin::win32 {

bool systemHighContrast() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0) {
        return true;
    }
#ifdef MERVALIN_TEST_SWITCHES
    wchar_t value[2] = {};
    return GetEnvironmentVariableW(L"MERVALIN_HIGH_CONTRAST", value, 2) == 1 && value[0] == L'1';
#else
    return false;
#endif
}

}  // namespace mervalin::win32
