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
// The executable's file name as it was started, without directory and extension.
std::u16string EXEName();

}  // namespace App

namespace runtime {

// "dir/waitms.exe" -> "waitms": the part after the last slash (or backslash, when `backslash`),
// less its last extension. A leading dot starts the name, not an extension.
std::u16string BaseName(std::u16string_view path, bool backslash);

}  // namespace runtime
