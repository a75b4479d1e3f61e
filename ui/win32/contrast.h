// Whether Windows asks for high contrast.
#pragma once

namespace mervalin::win32 {

// What SPI_GETHIGHCONTRAST says. Wine always says no; so mervalin-test.exe,
// the tests' build of the program, also says yes when the environment has
// MERVALIN_HIGH_CONTRAST=1 (ui/win32/CMakeLists.txt). mervalin.exe never
// reads it.
bool systemHighContrast();

}  // namespace mervalin::win32
