// The application's metadata, read at run time each time it is asked for. Any read may raise a
// run-time failure (on Windows the values come from the executable's version resource).
#pragma once

#include <cstdint>
#include <string>

namespace App {

std::u16string Title();
std::int16_t Major();
std::int16_t Minor();
std::int16_t Revision();
std::u16string LegalCopyright();
// The executable's file name as it was started, without its folder. On Windows the extension is
// dropped too ("pause.exe" shows as "pause"); other systems' file names have none to drop.
std::u16string EXEName();

}  // namespace App
