#include "user_locale.h"

#include <cctype>
#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "failure.h"

namespace runtime {

namespace {

std::int32_t FailureFor(int error) {
  switch (error) {
    case ENOMEM:
      return kOutOfMemory;
    case EMFILE:
    case ENFILE:
      return kTooManyFiles;
    case EACCES:
      return kPermissionDenied;
    default:
      return kFileNotFound;
  }
}

std::string Lower(std::string_view text, bool alnumOnly) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (!alnumOnly || std::isalnum(byte) != 0) out += static_cast<char>(std::tolower(byte));
  }
  return out;
}

// C, POSIX and C.UTF-8 in any spelling ("c.utf8"): an interval reads the same in each (C.UTF-8's
// numbers are C's, and a character outside ASCII is no number in either), and a static program
// may meet a system that lacks C.UTF-8's files.
bool IsC(std::string_view name) {
  if (name.size() > 2 && (name[0] == 'C' || name[0] == 'c') && name[1] == '.') {
    return Lower(name.substr(2), true) == "utf8";  // the charset as glibc compares it
  }
  const std::string lower = Lower(name, false);
  return lower == "c" || lower == "posix";
}

// The report goes to a terminal: a byte that is not printable ASCII is escaped, never written raw.
std::string Quoted(std::string_view name) {
  std::string out = "\"";
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '"' || byte == '\\') out += '\\';
    if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      out += escaped;
    }
  }
  return out + '"';
}

}  // namespace

void UseLocale(int category, bool needed) {
  // A bit per category tried: the first text decides, and the interval comes before any name.
  static unsigned tried = 0;
  const unsigned bit = 1u << category;
  if ((tried & bit) != 0) return;
  tried |= bit;

  errno = 0;
  if (std::setlocale(category, "") != nullptr || !needed) return;
  const int error = errno;
  // The variable glibc took the name from: the first of these that is set and not empty.
  for (const char* variable :
       {"LC_ALL", category == LC_CTYPE ? "LC_CTYPE" : "LC_NUMERIC", "LANG"}) {
    const char* name = std::getenv(variable);
    if (name == nullptr || *name == '\0') continue;
    if (IsC(name)) return;
    throw FatalError(FailureFor(error), std::string(": can't load the locale ") + Quoted(name) +
                                            " named by " + variable);
  }
}

}  // namespace runtime
