#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <string_view>

#include "appinfo.h"
#include "build_info.h"
#include "failure.h"
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

void ReportFailure(const std::string& line) {
  const std::string text = line + "\n";
  ssize_t written;
  do {
    written = ::write(STDERR_FILENO, text.data(), text.size());
  } while (written < 0 && errno == EINTR);
}

}  // namespace runtime

namespace App {

std::u16string Title() {
  return build::kTitle;
}
std::int16_t Major() {
  return build::kMajor;
}
std::int16_t Minor() {
  return build::kMinor;
}
std::int16_t Revision() {
  return build::kRevision;
}
std::u16string LegalCopyright() {
  return build::kLegalCopyright;
}

std::u16string EXEName() {
  // argv[0] as started, so that a symlink or a copy under another name shows that name. The whole
  // file name: here "waitms-1.0" or "wm.sh" is what the user types to run it again.
  // A process may be started with no argv[0] at all; it still has a name to show.
  const std::string_view started =
      runtime::gArgc > 0 && runtime::gArgv[0] != nullptr ? runtime::gArgv[0] : "";
  const std::size_t slash = started.rfind('/');
  const std::string_view name =
      slash == std::string_view::npos ? started : started.substr(slash + 1);
  return runtime::FromLocaleLenient(name.empty() ? build::kProgramName : name);
}

}  // namespace App
