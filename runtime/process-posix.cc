#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <string_view>

#include "process.h"
#include "text.h"

namespace runtime {

namespace {

int gArgc = 0;
char** gArgv = nullptr;

}  // namespace

void Start(int argc, char** argv) {
  // First, before anything can be written, a start-up failure's report on standard error included:
  // on Windows a write to a pipe whose reader is gone just fails; here it would kill the process.
  std::signal(SIGPIPE, SIG_IGN);
  gArgc = argc;
  gArgv = argv;
  // The locale is not loaded here: the texts that need it load it (user_locale.h).
}

std::u16string CommandTail() {
  std::size_t size = 0;
  for (int i = 1; i < gArgc; ++i) size += std::strlen(gArgv[i]) + 1;
  std::string bytes;
  bytes.reserve(size);  // one allocation: a long tail's cost is mostly its fresh pages
  for (int i = 1; i < gArgc; ++i) {
    if (i > 1) bytes += ' ';
    bytes += gArgv[i];
  }
  return FromLocale(bytes);
}

std::string_view StartedName() {
  return gArgc > 0 && gArgv[0] != nullptr ? gArgv[0] : "";
}

void ReportFailure(const std::string& line) {
  const std::string text = line + "\n";
  ssize_t written;
  do {
    written = ::write(STDERR_FILENO, text.data(), text.size());
  } while (written < 0 && errno == EINTR);
}

}  // namespace runtime
