// The application's metadata, read at run time each time it is asked for. Any read may raise a
// run-time failure (on Windows the values come from the executable's version resource).
// appinfo.cc holds what every system shares, appinfo-<platform>.cc the rest.
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
// dropped too ("pause.exe" shows as "pause"); elsewhere the name stays whole ("pause.exe" shows as
// "pause.exe"), as a dot there is part of the name the user types.
std::u16string EXEName();

}  // namespace App
