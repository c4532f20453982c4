#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
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

// glibc keeps the installed locales in one archive that it maps whole. When the address space is
// too small for that, setlocale fails just as it does for a locale that is not installed; a mapping
// of the archive that fails for want of memory tells the two apart.
bool LocalesOutOfReach() {
  const int fd = ::open("/usr/lib/locale/locale-archive", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool outOfReach = false;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && status.st_size > 0) {
    const auto size = static_cast<std::size_t>(status.st_size);
    void* view = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (view == MAP_FAILED) {
      outOfReach = errno == ENOMEM;
    } else {
      ::munmap(view, size);
    }
  }
  ::close(fd);
  return outOfReach;
}

}  // namespace

void Start(int argc, char** argv) {
  gArgc = argc;
  gArgv = argv;
  // Only the categories read are loaded, as each slows the start. A locale not installed leaves C;
  // one out of memory's reach ends the start, for C would read German "1.500" as 2 ms.
  const bool charset = std::setlocale(LC_CTYPE, "") != nullptr;
  const bool separators = std::setlocale(LC_NUMERIC, "") != nullptr;
  if (!(charset && separators) && LocalesOutOfReach()) {
    try {
      ReportFailure(FailureReport(kOutOfMemory));
    } catch (...) {
      // No memory even for the report: the status alone has to say it.
    }
    std::exit(1);
  }
  // On Windows a write to a pipe whose reader is gone just fails; here it would kill the process.
  std::signal(SIGPIPE, SIG_IGN);
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
  // argv[0] as started, so that a symlink or a copy under another name shows that name.
  // A process may be started with no argv[0] at all; it still has a name to show.
  const char* started = runtime::gArgc > 0 && runtime::gArgv[0] != nullptr ? runtime::gArgv[0] : "";
  std::u16string name = runtime::BaseName(runtime::FromLocaleLenient(started), false);
  return name.empty() ? runtime::FromLocaleLenient(build::kProgramName) : name;
}

}  // namespace App
