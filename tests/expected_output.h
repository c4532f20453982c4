// What the program writes, byte for byte, for the tests that run it whole.
#pragma once

#include <string>

namespace expected_output {

inline const std::string kHeading = "Korvane - WaitMs 1.00.0004";
inline const std::string kInfinite = "INFINITE value not supported!\r\n";
// The copyright line in UTF-8, and as a charset without Cyrillic letters writes it.
inline const std::string kCopyrightUtf8 = "(c) Корване, 2010. Посвящается всем, кто умеет ждать.";
inline const std::string kCopyrightAscii = "(c) ???????, 2010. ??????????? ????, ??? ????? ?????.";

// The eight lines of the usage text.
inline std::string Usage(const std::string& copyright, const std::string& name = "waitms",
                         const std::string& heading = kHeading) {
  return heading + "\r\n" + copyright + "\r\n\r\nUsage: " + name +
         "[.EXE] Interval\r\n"
         "\r\n"
         "  Interval - Number of miliseconds to wait.\r\n"
         "             Must be greather or equal zero.\r\n"
         "             Can't be INFINITE.\r\n";
}

}  // namespace expected_output
